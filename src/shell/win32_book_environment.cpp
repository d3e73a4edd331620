#include "shell/win32_book_environment.h"

#include <windows.h>

#include "archive/attached_archive.h"
#include "platform/files.h"

namespace brisomel {
namespace {

class Win32BookEnvironment : public BookEnvironment {
 public:
  Win32BookEnvironment()
      : files_(MakePlatformFiles()),
        system_(MakePlatformSystem()),
        archive_(std::make_unique<AttachedArchive>(*files_, *system_)) {}

  std::string CurrentDirectory() override {
    char buffer[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
  }
  bool ChangeDirectory(const std::string& path) override {
    return SetCurrentDirectoryA(path.c_str()) != 0;
  }
  bool FileExists(const std::string& path) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  void ExtractAttachedArchive() override { archive_->ExtractAttachedArchive(); }
  std::string GetTempDirectory() override { return archive_->GetTempDirectory(); }
  void DeleteExtractedFiles() override { archive_->DeleteExtractedFiles(); }

 private:
  std::unique_ptr<Files> files_;
  std::unique_ptr<System> system_;
  std::unique_ptr<AttachedArchive> archive_;
};

}  // namespace

std::unique_ptr<BookEnvironment> MakeWin32BookEnvironment() {
  return std::make_unique<Win32BookEnvironment>();
}

}  // namespace brisomel
