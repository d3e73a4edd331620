// A stand-in for the machine and the attached book: records what the start-up sequence asks
// for; files exist when listed, or on disk when asked to look there.
#pragma once

#include <windows.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/startup.h"

namespace brisomel {

class FakeEnvironment : public BookEnvironment {
 public:
  std::string CurrentDirectory() override {
    log.push_back("cwd");
    return cwd;
  }
  bool ChangeDirectory(const std::string& path) override {
    log.push_back("cd " + path);
    cwd = path;
    return true;
  }
  bool FileExists(const std::string& path) override {
    return files.count(path) > 0 ||
           (use_disk && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES);
  }
  void ExtractAttachedArchive() override {
    log.push_back("extract");
    if (fail_extraction) throw std::runtime_error("I/O error 32");
    cwd = temp;
  }
  std::string GetTempDirectory() override { return temp; }
  void DeleteExtractedFiles() override { log.push_back("delete"); }

  std::vector<std::string> log;
  std::set<std::string> files;
  std::string cwd = "C:\\start";
  std::string temp = "C:\\temp\\brisomel-x\\";
  bool use_disk = false;
  bool fail_extraction = false;
};

}  // namespace brisomel
