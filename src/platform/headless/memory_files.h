// An in-memory files port: a flat map of paths to byte vectors, for tests and fuzzing.
// Paths are used as given ('/' separators); directories are recorded by name.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace brisomel {

class MemoryFiles : public Files {
 public:
  using Bytes = std::vector<uint8_t>;

  // Test set-up and inspection.
  void Put(const std::string& path, Bytes bytes);
  const Bytes* Get(const std::string& path) const;
  std::vector<std::string> FilePaths() const;
  bool fail_create = false;  // CreateWrite fails
  bool fail_close = false;   // Close of written files reports failure
  std::string temp_directory = "/tmp/";
  std::string executable = "/program.exe";

  std::unique_ptr<File> OpenRead(const std::string& path) override;
  std::unique_ptr<File> CreateWrite(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool Delete(const std::string& path) override;
  std::vector<std::string> List(const std::string& directory, const std::string& pattern) override;
  std::string CurrentDirectory() override { return current_; }
  bool SetCurrentDirectory(const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  std::string ExecutablePath() override { return executable; }
  std::string SystemTempDirectory() override { return temp_directory; }
  bool CreateDirectoryExclusive(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  std::unique_ptr<File> HoldLock(const std::string& path) override;
  void RandomBytes(void* buffer, int32_t count) override;
  char Separator() override { return '/'; }

  // Drops every lock, as if the processes holding them had ended.
  void ReleaseAllLocks();

 private:
  friend class MemoryFile;
  static std::string Trim(const std::string& path);

  std::map<std::string, std::shared_ptr<Bytes>> files_;
  std::set<std::string> directories_{"/", "/tmp"};
  std::shared_ptr<std::set<std::string>> locks_ = std::make_shared<std::set<std::string>>();
  std::string current_ = "/";
  uint64_t random_ = 0x9E3779B97F4A7C15ull;
};

}  // namespace brisomel
