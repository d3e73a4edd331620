// Helpers for the image tests: an in-memory files port, byte builders, and running the Linux
// tools that the differential tests compare with.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace brisomel::test {

using Bytes = std::vector<uint8_t>;

class MemoryFile : public File {
 public:
  explicit MemoryFile(const Bytes& bytes) : bytes_(bytes) {}
  int32_t Read(void* buffer, int32_t count) override {
    size_t n = std::min<size_t>(count, bytes_.size() - pos_);
    std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  bool Seek(int64_t offset) override {
    if (offset < 0 || static_cast<size_t>(offset) > bytes_.size()) return false;
    pos_ = static_cast<size_t>(offset);
    return true;
  }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  bool Close() override { return true; }

 private:
  const Bytes& bytes_;
  size_t pos_ = 0;
};

// Files by name in memory; reads only.
class MemoryFiles : public Files {
 public:
  std::map<std::string, Bytes> files;
  int opens = 0;

  std::unique_ptr<File> OpenRead(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return nullptr;
    ++opens;
    return std::make_unique<MemoryFile>(it->second);
  }
  std::unique_ptr<File> CreateWrite(const std::string&) override { return nullptr; }
  bool Exists(const std::string& path) override { return files.count(path) > 0; }
  bool DirectoryExists(const std::string&) override { return false; }
  bool Delete(const std::string& path) override { return files.erase(path) > 0; }
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  std::string CurrentDirectory() override { return ""; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  std::string FullPath(const std::string& path) override { return path; }
  std::string ExecutablePath() override { return ""; }
  std::string SystemTempDirectory() override { return ""; }
  bool CreateDirectoryExclusive(const std::string&) override { return false; }
  bool RemoveDirectory(const std::string&) override { return false; }
  std::unique_ptr<File> HoldLock(const std::string&) override { return nullptr; }
  void RandomBytes(void* buffer, int32_t count) override { std::memset(buffer, 0, count); }
  char Separator() override { return '/'; }
};

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void PutBig32(Bytes& b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(v >> s));
}
inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A folder under the build folder for files the differential tests make.
inline std::string WorkDir(const std::string& name) {
  std::string dir = std::string(BRISOMEL_BUILD_DIR) + "/images_tests/" + name;
  std::string cmd = "mkdir -p '" + dir + "'";
  if (std::system(cmd.c_str()) != 0) return "";
  return dir;
}

#ifdef BRISOMEL_HAVE_PEERS
// Runs a shell command and returns its standard output; `ok` tells whether it exited 0.
inline Bytes Capture(const std::string& command, bool* ok = nullptr) {
  Bytes out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) {
    if (ok) *ok = false;
    return out;
  }
  uint8_t buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
  int status = pclose(p);
  if (ok) *ok = status == 0;
  return out;
}
inline bool HaveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}
#endif

}  // namespace brisomel::test
