#include "shell/win32_book_environment.h"

#include <windows.h>

#if BRISOMEL_HAVE_ARCHIVE
#include "archive/attached_archive.h"
#include "platform/files.h"
#endif

namespace brisomel {
namespace {

class Win32BookEnvironment : public BookEnvironment {
 public:
  Win32BookEnvironment() {
#if BRISOMEL_HAVE_ARCHIVE
    files_ = MakePlatformFiles();
    system_ = MakePlatformSystem();
    archive_ = std::make_unique<AttachedArchive>(*files_, *system_);
#endif
  }

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

#if BRISOMEL_HAVE_ARCHIVE
  void ExtractAttachedArchive() override { archive_->ExtractAttachedArchive(); }
  std::string GetTempDirectory() override { return archive_->GetTempDirectory(); }
  void DeleteExtractedFiles() override { archive_->DeleteExtractedFiles(); }
#else
  // Built without the archive layer: nothing is extracted, glyphs come from the program.
  void ExtractAttachedArchive() override {}
  std::string GetTempDirectory() override {
    char buffer[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string(".\\");
  }
  void DeleteExtractedFiles() override {}
#endif

 private:
#if BRISOMEL_HAVE_ARCHIVE
  std::unique_ptr<Files> files_;
  std::unique_ptr<System> system_;
  std::unique_ptr<AttachedArchive> archive_;
#endif
};

}  // namespace

std::unique_ptr<BookEnvironment> MakeWin32BookEnvironment() {
  return std::make_unique<Win32BookEnvironment>();
}

}  // namespace brisomel
