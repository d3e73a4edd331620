// The files port on Win32: paths arrive in UTF-8 and go to the wide file API, so a name in
// any script is found, created and listed as it is.
#include <windows.h>

#include <string>
#include <vector>

// The port's operations share names with Win32 macros: use the W functions by name.
#undef MessageBox
#undef RemoveDirectory
#undef SetCurrentDirectory

#include "platform/files.h"
#include "platform/win32/wide_text.h"

// RtlGenRandom: the system's random source, exported by advapi32 under this name.
extern "C" BOOLEAN NTAPI SystemFunction036(PVOID buffer, ULONG length);

namespace brisomel {
namespace {

class Win32File : public File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override { Close(); }

  int32_t Read(void* buffer, int32_t count) override {
    if (handle_ == INVALID_HANDLE_VALUE || count <= 0) return 0;
    DWORD read = 0;
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &read, nullptr)) return 0;
    return static_cast<int32_t>(read);
  }
  int32_t Write(const void* buffer, int32_t count) override {
    if (handle_ == INVALID_HANDLE_VALUE || count <= 0) return 0;
    DWORD written = 0;
    if (!WriteFile(handle_, buffer, static_cast<DWORD>(count), &written, nullptr)) return 0;
    return static_cast<int32_t>(written);
  }
  bool Seek(int64_t offset) override {
    if (handle_ == INVALID_HANDLE_VALUE || offset < 0) return false;
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
  }
  int64_t Size() override {
    LARGE_INTEGER size;
    if (handle_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle_, &size)) return -1;
    return size.QuadPart;
  }
  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

std::unique_ptr<File> Wrap(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(handle);
}

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

class Win32Files : public Files {
 public:
  std::unique_ptr<File> OpenRead(const std::string& path) override {
    return Wrap(CreateFileW(WideText(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  std::unique_ptr<File> CreateWrite(const std::string& path) override {
    return Wrap(CreateFileW(WideText(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  bool Exists(const std::string& path) override {
    DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool DirectoryExists(const std::string& path) override {
    DWORD attributes = GetFileAttributesW(WideText(WithoutTrailingSeparator(path)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool Delete(const std::string& path) override { return DeleteFileW(WideText(path).c_str()) != 0; }
  std::vector<std::string> List(const std::string& directory, const std::string& pattern) override {
    std::vector<std::string> names;
    std::string query = directory;
    if (!query.empty() && query.back() != '\\' && query.back() != '/') query += '\\';
    query += '*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(WideText(query).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      std::string name = Utf8Text(data.cFileName);
      if (name == "." || name == "..") continue;
      if (MatchesWildcard(name, pattern)) names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
  }
  std::string CurrentDirectory() override {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    return Utf8Text(std::wstring_view(buffer, n));
  }
  bool SetCurrentDirectory(const std::string& path) override {
    return SetCurrentDirectoryW(WideText(path).c_str()) != 0;
  }
  std::string FullPath(const std::string& path) override {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetFullPathNameW(WideText(path).c_str(), MAX_PATH + 1, buffer, nullptr);
    if (n == 0 || n > MAX_PATH) return path;
    return Utf8Text(std::wstring_view(buffer, n));
  }
  std::string ExecutablePath() override {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return Utf8Text(std::wstring_view(buffer, n));
  }
  std::string SystemTempDirectory() override {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > 255) return {};
    std::string result = Utf8Text(std::wstring_view(buffer, n));
    if (result.back() != '\\') result += '\\';
    return result;
  }
  bool CreateDirectoryExclusive(const std::string& path) override {
    // The user's temporary directory already admits only its owner; the new directory
    // inherits that.
    return CreateDirectoryW(WideText(WithoutTrailingSeparator(path)).c_str(), nullptr) != 0;
  }
  bool RemoveDirectory(const std::string& path) override {
    return RemoveDirectoryW(WideText(WithoutTrailingSeparator(path)).c_str()) != 0;
  }
  std::unique_ptr<File> HoldLock(const std::string& path) override {
    // No sharing: any other open of the file fails while this handle lives, and the system
    // closes it when the process ends, however it ends.
    return Wrap(CreateFileW(WideText(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  void RandomBytes(void* buffer, int32_t count) override {
    if (count <= 0) return;
    if (SystemFunction036(buffer, static_cast<ULONG>(count))) return;
    // Fallback: clock and process id; the exclusive creation keeps a guessed name unused.
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t seed = static_cast<uint64_t>(counter.QuadPart) ^
                    (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^ GetTickCount();
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (int32_t i = 0; i < count; ++i) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      bytes[i] = static_cast<unsigned char>(seed >> 56);
    }
  }
  char Separator() override { return '\\'; }
};

}  // namespace

std::unique_ptr<Files> MakePlatformFiles() { return std::make_unique<Win32Files>(); }

}  // namespace brisomel
