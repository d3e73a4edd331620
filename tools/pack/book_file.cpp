#include "pack/book_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "pack/host.h"

namespace brisomel::pack {

namespace fs = std::filesystem;

bool BookFile::Create(const fs::path& output, std::string* error) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    fs::path candidate = output;
    candidate += suffix;
    file_ = CreateExclusive(candidate);
    if (file_ != nullptr) {
      path_ = candidate;
      return true;
    }
    if (errno != EEXIST) {
      break;
    }
  }
  *error = "cannot create '" + Show(output) + "': " + std::strerror(errno);
  return false;
}

bool BookFile::Write(const void* bytes, size_t count) {
  if (count == 0) {
    return true;
  }
  if (offset_ + count > max_size_) {
    too_large_ = true;
    return false;
  }
  if (std::fwrite(bytes, 1, count, file_) != count) {
    errno_ = errno;
    return false;
  }
  offset_ += count;
  end_ = std::max(end_, offset_);
  return true;
}

bool BookFile::Seek(uint64_t offset) {
  // Offsets stay below the book's maximum size, which fits a long.
  if (offset > end_ || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
    errno_ = errno;
    return false;
  }
  offset_ = offset;
  return true;
}

std::string BookFile::error() const {
  if (too_large_) {
    return "the book would be larger than " + std::to_string(max_size_) + " bytes";
  }
  return std::strerror(errno_);
}

bool BookFile::Commit(const fs::path& output, std::string* error) {
  bool synced = std::fflush(file_) == 0 && (end_ == offset_ || TruncateFile(file_, offset_)) &&
                SyncFile(file_);
  int sync_errno = errno;
  bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!synced || !closed) {
    *error = "cannot write '" + Show(output) + "': " + std::strerror(synced ? errno : sync_errno);
    return false;
  }
  std::error_code status;
  fs::rename(path_, output, status);
  if (status) {
    *error = "cannot replace '" + Show(output) + "': " + status.message();
    return false;
  }
  path_.clear();
  return true;
}

void BookFile::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
  file_ = nullptr;
  std::error_code ignored;
  if (!path_.empty()) {
    fs::remove(path_, ignored);
  }
  path_.clear();
}

}  // namespace brisomel::pack
