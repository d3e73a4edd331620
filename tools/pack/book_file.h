// The book while it is written: a new file beside the output, created exclusively under an
// unpredictable name, that takes the output's place only once it is complete. Anything that
// goes wrong before that removes it, so a failed run never leaves a partial book behind and
// never touches an existing one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace brisomel::pack {

class BookFile {
 public:
  explicit BookFile(uint64_t max_size) : max_size_(max_size) {}
  ~BookFile() { Discard(); }
  BookFile(const BookFile&) = delete;
  BookFile& operator=(const BookFile&) = delete;

  bool Create(const std::filesystem::path& output, std::string* error);

  // Writes at the current position. False when writing fails or the book would pass its
  // maximum size; `error` says which.
  bool Write(const void* bytes, size_t count);
  bool Write(const std::vector<uint8_t>& bytes) { return Write(bytes.data(), bytes.size()); }
  // Moves the position to a place already written (to rewrite an entry or patch a header).
  bool Seek(uint64_t offset);
  uint64_t offset() const { return offset_; }
  // Why the last Write or Seek failed.
  std::string error() const;

  // Ends the book at the current position, makes it durable and puts it in place of `output`.
  bool Commit(const std::filesystem::path& output, std::string* error);
  // Removes the unfinished book.
  void Discard();

 private:
  uint64_t max_size_;
  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  uint64_t offset_ = 0;
  uint64_t end_ = 0;  // one past the furthest byte written
  bool too_large_ = false;
  int errno_ = 0;
};

}  // namespace brisomel::pack
