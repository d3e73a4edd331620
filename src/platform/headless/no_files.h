// A files port that has no files: every open fails and every directory is empty. For
// documents whose images all come through the bitmap request.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace brisomel {

class NoFiles : public Files {
 public:
  std::unique_ptr<File> OpenRead(const std::string&) override { return nullptr; }
  std::unique_ptr<File> CreateWrite(const std::string&) override { return nullptr; }
  bool Exists(const std::string&) override { return false; }
  bool DirectoryExists(const std::string&) override { return false; }
  bool Delete(const std::string&) override { return false; }
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  std::string CurrentDirectory() override { return ""; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  std::string FullPath(const std::string& path) override { return path; }
  std::string ExecutablePath() override { return ""; }
  std::string SystemTempDirectory() override { return ""; }
  bool CreateDirectoryExclusive(const std::string&) override { return false; }
  bool RemoveDirectory(const std::string&) override { return false; }
  std::unique_ptr<File> HoldLock(const std::string&) override { return nullptr; }
  void RandomBytes(void*, int32_t) override {}
  char Separator() override { return '/'; }
};

}  // namespace brisomel
