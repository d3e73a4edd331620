#include "platform/win32/state_files_win32.h"

#include <windows.h>

#include <vector>

#include "platform/files.h"
#include "text/utf.h"

namespace brisomel {
namespace {

std::wstring Wide(const std::u16string& path) { return std::wstring(path.begin(), path.end()); }

// The files port already speaks the wide API (its paths are UTF-8, converted back without
// loss); only the replace is added here.
class Win32StateFiles : public StateFiles {
 public:
  Win32StateFiles() : files_(MakePlatformFiles()) {}

  std::unique_ptr<File> OpenRead(const std::u16string& path) override {
    return files_->OpenRead(Utf16ToUtf8(path));
  }
  std::unique_ptr<File> CreateWrite(const std::u16string& path) override {
    return files_->CreateWrite(Utf16ToUtf8(path));
  }
  bool DirectoryExists(const std::u16string& path) override {
    return files_->DirectoryExists(Utf16ToUtf8(path));
  }
  bool CreateDirectoryExclusive(const std::u16string& path) override {
    return files_->CreateDirectoryExclusive(Utf16ToUtf8(path));
  }
  bool Delete(const std::u16string& path) override { return files_->Delete(Utf16ToUtf8(path)); }
  bool Replace(const std::u16string& from, const std::u16string& to) override {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  void RandomBytes(void* buffer, int32_t count) override { files_->RandomBytes(buffer, count); }
  char16_t Separator() override { return u'\\'; }

 private:
  std::unique_ptr<Files> files_;
};

}  // namespace

std::unique_ptr<StateFiles> MakeWin32StateFiles() { return std::make_unique<Win32StateFiles>(); }

std::u16string Win32StateFolder() {
  return StateFolderOnWindows([](std::u16string_view name) {
    const std::wstring variable(name.begin(), name.end());
    std::vector<wchar_t> value(MAX_PATH + 1);
    for (;;) {
      const DWORD n =
          GetEnvironmentVariableW(variable.c_str(), value.data(), static_cast<DWORD>(value.size()));
      if (n == 0) return std::u16string();
      if (n < value.size()) return std::u16string(value.begin(), value.begin() + n);
      value.resize(n);
    }
  });
}

}  // namespace brisomel
