// Read-only files through stdio for the renderer: enough for pages and images.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace brisomel::render {

inline std::string ToPosix(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// Read-only files through stdio; enough for image loading.
class ReadFile : public File {
 public:
  explicit ReadFile(std::FILE* f) : f_(f) {}
  ~ReadFile() override { Close(); }
  int32_t Read(void* buffer, int32_t count) override {
    return f_ && count > 0
               ? static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), f_))
               : 0;
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  bool Seek(int64_t offset) override {
    return f_ && std::fseek(f_, static_cast<long>(offset), SEEK_SET) == 0;
  }
  int64_t Size() override {
    struct stat st {};
    return f_ && fstat(fileno(f_), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
  }
  bool Close() override {
    bool ok = !f_ || std::fclose(f_) == 0;
    f_ = nullptr;
    return ok;
  }

 private:
  std::FILE* f_;
};

class ReadOnlyFiles : public Files {
 public:
  std::unique_ptr<File> OpenRead(const std::string& path) override {
    std::FILE* f = std::fopen(ToPosix(path).c_str(), "rb");
    return f ? std::make_unique<ReadFile>(f) : nullptr;
  }
  std::unique_ptr<File> CreateWrite(const std::string&) override { return nullptr; }
  bool Exists(const std::string& path) override {
    struct stat st {};
    return stat(ToPosix(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }
  bool DirectoryExists(const std::string& path) override {
    struct stat st {};
    return stat(ToPosix(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  bool Delete(const std::string&) override { return false; }
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  std::string CurrentDirectory() override { return "."; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  std::string FullPath(const std::string& path) override { return path; }
  std::string ExecutablePath() override { return ""; }
  std::string SystemTempDirectory() override { return "/tmp/"; }
  bool CreateDirectoryExclusive(const std::string&) override { return false; }
  bool RemoveDirectory(const std::string&) override { return false; }
  std::unique_ptr<File> HoldLock(const std::string&) override { return nullptr; }
  void RandomBytes(void* buffer, int32_t count) override {
    std::fill_n(static_cast<char*>(buffer), count, 0);
  }
  char Separator() override { return '/'; }
};

}  // namespace brisomel::render
