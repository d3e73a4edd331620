#include "platform/headless/memory_files.h"

#include <algorithm>
#include <cstring>

namespace brisomel {

class MemoryFile : public File {
 public:
  MemoryFile(std::shared_ptr<MemoryFiles::Bytes> bytes, bool fail_close,
             std::shared_ptr<std::set<std::string>> locks = nullptr, std::string lock = {})
      : bytes_(std::move(bytes)),
        fail_close_(fail_close),
        locks_(std::move(locks)),
        lock_(std::move(lock)) {}
  ~MemoryFile() override { Close(); }

  int32_t Read(void* buffer, int32_t count) override {
    if (!bytes_ || count <= 0 || position_ >= bytes_->size()) return 0;
    const size_t n = std::min<size_t>(count, bytes_->size() - position_);
    std::memcpy(buffer, bytes_->data() + position_, n);
    position_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void* buffer, int32_t count) override {
    if (!bytes_ || count <= 0) return 0;
    if (bytes_->size() < position_ + count) bytes_->resize(position_ + count);
    std::memcpy(bytes_->data() + position_, buffer, count);
    position_ += count;
    return count;
  }
  bool Seek(int64_t offset) override {
    if (!bytes_ || offset < 0) return false;
    position_ = static_cast<size_t>(offset);
    return true;
  }
  int64_t Size() override { return bytes_ ? static_cast<int64_t>(bytes_->size()) : -1; }
  bool Close() override {
    if (!bytes_) return true;
    bytes_.reset();
    if (locks_) locks_->erase(lock_);
    return !fail_close_;
  }

 private:
  std::shared_ptr<MemoryFiles::Bytes> bytes_;
  size_t position_ = 0;
  bool fail_close_;
  std::shared_ptr<std::set<std::string>> locks_;
  std::string lock_;
};

std::string MemoryFiles::Trim(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

void MemoryFiles::Put(const std::string& path, Bytes bytes) {
  files_[path] = std::make_shared<Bytes>(std::move(bytes));
}

const MemoryFiles::Bytes* MemoryFiles::Get(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? nullptr : it->second.get();
}

std::vector<std::string> MemoryFiles::FilePaths() const {
  std::vector<std::string> paths;
  for (const auto& [path, bytes] : files_) paths.push_back(path);
  return paths;
}

std::unique_ptr<File> MemoryFiles::OpenRead(const std::string& path) {
  auto it = files_.find(path);
  if (it == files_.end()) return nullptr;
  return std::make_unique<MemoryFile>(it->second, false);
}

std::unique_ptr<File> MemoryFiles::CreateWrite(const std::string& path) {
  const std::string p = FullPath(path);
  const size_t slash = p.rfind('/');
  const std::string parent = slash == 0 ? "/" : p.substr(0, slash);
  if (fail_create || p.back() == '/' || directories_.count(p) || !directories_.count(parent) ||
      locks_->count(p)) {
    return nullptr;
  }
  auto bytes = std::make_shared<Bytes>();
  files_[p] = bytes;
  return std::make_unique<MemoryFile>(bytes, fail_close);
}

bool MemoryFiles::Exists(const std::string& path) { return files_.count(FullPath(path)) != 0; }

bool MemoryFiles::DirectoryExists(const std::string& path) {
  return directories_.count(Trim(FullPath(path))) != 0;
}

bool MemoryFiles::Delete(const std::string& path) {
  const std::string p = FullPath(path);
  if (locks_->count(p)) return false;
  return files_.erase(p) != 0;
}

std::vector<std::string> MemoryFiles::List(const std::string& directory,
                                           const std::string& pattern) {
  std::string dir = Trim(FullPath(directory));
  if (dir != "/") dir += '/';
  std::vector<std::string> names;
  auto add = [&](const std::string& path) {
    if (path.size() <= dir.size() || path.compare(0, dir.size(), dir) != 0) return;
    std::string name = path.substr(dir.size());
    if (name.find('/') == std::string::npos && MatchesWildcard(name, pattern)) {
      names.push_back(name);
    }
  };
  for (const auto& [path, bytes] : files_) add(path);
  for (const auto& path : directories_) add(path);
  return names;
}

bool MemoryFiles::SetCurrentDirectory(const std::string& path) {
  std::string p = Trim(FullPath(path));
  if (!directories_.count(p)) return false;
  current_ = p;
  return true;
}

std::string MemoryFiles::FullPath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return current_ == "/" ? "/" + path : current_ + "/" + path;
}

bool MemoryFiles::CreateDirectoryExclusive(const std::string& path) {
  std::string p = Trim(FullPath(path));
  if (files_.count(p)) return false;
  return directories_.insert(p).second;
}

bool MemoryFiles::RemoveDirectory(const std::string& path) {
  std::string p = Trim(FullPath(path));
  if (!directories_.count(p) || !List(p, "*").empty()) return false;
  directories_.erase(p);
  return true;
}

std::unique_ptr<File> MemoryFiles::HoldLock(const std::string& path) {
  const std::string p = FullPath(path);
  if (locks_->count(p)) return nullptr;
  auto it = files_.find(p);
  if (it == files_.end()) it = files_.emplace(p, std::make_shared<Bytes>()).first;
  locks_->insert(p);
  return std::make_unique<MemoryFile>(it->second, false, locks_, p);
}

void MemoryFiles::RandomBytes(void* buffer, int32_t count) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  for (int32_t i = 0; i < count; ++i) {
    random_ = random_ * 6364136223846793005ull + 1442695040888963407ull;
    bytes[i] = static_cast<uint8_t>(random_ >> 56);
  }
}

void MemoryFiles::ReleaseAllLocks() { locks_->clear(); }

}  // namespace brisomel
