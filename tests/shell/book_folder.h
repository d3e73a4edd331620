// A folder of real files under the temporary directory for tests of the main window, removed
// again at the end.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace brisomel {

class BookFolder {
 public:
  explicit BookFolder(const std::string& name) {
    char buffer[MAX_PATH + 1] = {};
    GetTempPathA(sizeof buffer, buffer);
    path_ = std::string(buffer) + name + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~BookFolder() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      if (!DeleteFileA(it->c_str())) RemoveDirectoryA(it->c_str());
    }
    RemoveDirectoryA(path_.c_str());
  }
  BookFolder(const BookFolder&) = delete;
  BookFolder& operator=(const BookFolder&) = delete;

  // The folder's path, ending in a separator.
  const std::string& Path() const { return path_; }
  // Writes a file into the folder; answers its full path.
  std::string Write(const std::string& name, const std::string& content) {
    const std::string file = path_ + name;
    std::ofstream(file, std::ios::binary) << content;
    made_.push_back(file);
    return file;
  }
  std::string MakeDirectory(const std::string& name) {
    const std::string dir = path_ + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    made_.push_back(dir);
    return dir;
  }
  // Files the program itself writes there (the corner image), removed at the end too.
  void Forget(const std::string& file) { made_.push_back(file); }

 private:
  std::string path_;
  std::vector<std::string> made_;
};

}  // namespace brisomel
