#include "pack/host.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "settings/key_value_text.h"
#include "text/utf.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace brisomel::pack {

#ifdef _WIN32

namespace {

// Converts to the system code page; `exact` tells whether every character had a form there.
std::string ToCodePage(const std::wstring& wide, bool* exact) {
  *exact = true;
  if (wide.empty()) return {};
  BOOL used_default = FALSE;
  int length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          nullptr, 0, nullptr, &used_default);
  if (length <= 0) {
    *exact = false;
    return {};
  }
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      bytes.data(), length, nullptr, &used_default);
  *exact = !used_default;
  return bytes;
}

}  // namespace

std::FILE* OpenForReading(const std::filesystem::path& path) {
  return _wfopen(path.c_str(), L"rb");
}

std::FILE* CreateExclusive(const std::filesystem::path& path) {
  int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
}

bool SyncFile(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool TruncateFile(std::FILE* file, uint64_t size) {
  return _chsize(_fileno(file), static_cast<long>(size)) == 0;  // books stay below 2 GB
}

bool NameBytes(const std::filesystem::path& name, std::string* bytes) {
  const std::wstring wide = name.generic_wstring();
  const std::u16string units(wide.begin(), wide.end());
  *bytes = Utf16ToUtf8(units);
  return Utf8ToUtf16(*bytes) == units;  // no unpaired surrogate
}

std::string Show(const std::filesystem::path& path) {
  bool exact = false;
  return ToCodePage(path.wstring(), &exact);
}

bool ArgumentText(const std::filesystem::path& arg, std::u16string* text) {
  const std::wstring& wide = arg.native();
  text->assign(wide.begin(), wide.end());
  return Utf8ToUtf16(Utf16ToUtf8(*text)) == *text;  // no unpaired surrogate
}

std::string ShowText(std::u16string_view text) {
  bool exact = false;
  return ToCodePage(std::wstring(text.begin(), text.end()), &exact);
}

std::filesystem::path SelfPath() {
  std::wstring buffer(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return {};
  buffer.resize(length);
  return std::filesystem::path(buffer);
}

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

#else

std::FILE* OpenForReading(const std::filesystem::path& path) {
  return std::fopen(path.c_str(), "rb");
}

std::FILE* CreateExclusive(const std::filesystem::path& path) {
  // A book is a program: let it be executable where the umask allows.
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0777);
  if (fd < 0) {
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
  }
  return file;
}

bool SyncFile(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool TruncateFile(std::FILE* file, uint64_t size) {
  return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
}

bool NameBytes(const std::filesystem::path& name, std::string* bytes) {
  *bytes = name.generic_string();
  return IsUtf8(*bytes);
}

std::string Show(const std::filesystem::path& path) { return path.string(); }

bool ArgumentText(const std::filesystem::path& arg, std::u16string* text) {
  if (!IsUtf8(arg.native())) return false;
  *text = Utf8ToUtf16(arg.native());
  return true;
}

std::string ShowText(std::u16string_view text) { return Utf16ToUtf8(text); }

std::filesystem::path SelfPath() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self;
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

#endif

}  // namespace brisomel::pack
