#include "archive/pattern_search.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace brisomel {
namespace {

constexpr int kWindowSize = 255;

void LowerAscii(uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (bytes[i] >= 'A' && bytes[i] <= 'Z') bytes[i] = static_cast<uint8_t>(bytes[i] - 'A' + 'a');
  }
}

// Index of the first match at or after `from`, or -1.
int Find(const uint8_t* window, int size, const uint8_t* pattern, int length, int from) {
  if (from > size - length) return -1;
  const uint8_t* end = window + size;
  const uint8_t* found = std::search(window + from, end, pattern, pattern + length);
  return found == end ? -1 : static_cast<int>(found - window);
}

// The file's bytes at any position, read ahead in large blocks: the search's windows step back
// by the pattern's length each time, and a system call per 255-byte window is what would cost
// (under Wine most of all).
class BlockReader {
 public:
  explicit BlockReader(File& file) : file_(file) {}
  // Copies up to `count` bytes from `position` on; fewer at the end of the file or on failure.
  int32_t Read(int64_t position, uint8_t* out, int32_t count) {
    if (position < start_ || position + count > start_ + length_) {
      if (!file_.Seek(position)) return 0;
      start_ = position;
      length_ = std::max<int32_t>(0, file_.Read(block_.data(), static_cast<int32_t>(block_.size())));
    }
    const int32_t n = static_cast<int32_t>(
        std::clamp<int64_t>(start_ + length_ - position, 0, static_cast<int64_t>(count)));
    std::copy_n(block_.data() + (position - start_), n, out);
    return n;
  }

 private:
  File& file_;
  std::vector<uint8_t> block_ = std::vector<uint8_t>(1 << 16);
  int64_t start_ = 0;
  int32_t length_ = 0;
};

}  // namespace

int64_t FindPatternInFile(Files& files, const std::string& file_name, const uint8_t* pattern,
                          size_t length, int occurrence) {
  if (length == 0 || length > kWindowSize || occurrence < 1) return -1;
  std::unique_ptr<File> file = files.OpenRead(file_name);
  if (!file) return -1;
  const int pattern_length = static_cast<int>(length);
  uint8_t current[kWindowSize];
  std::copy(pattern, pattern + length, current);
  // Windows step back by the pattern's length; a pattern as long as the window steps back one
  // byte less, so that the search always moves forward.
  const int overlap = std::min(pattern_length, kWindowSize - 1);
  uint8_t window[kWindowSize];
  BlockReader reader(*file);
  int64_t position = 0;
  int64_t last_counted = -1;
  int count = 0;
  for (;;) {
    const int32_t read = reader.Read(position, window, kWindowSize);
    if (read <= 0) break;
    const int64_t start = position;
    position += read;
    int i = Find(window, read, current, pattern_length, 0);
    if (i < 0) {
      LowerAscii(window, read);
      LowerAscii(current, length);
      i = Find(window, read, current, pattern_length, 0);
    }
    // A match inside the overlap was counted by the window before.
    while (i >= 0 && start + i <= last_counted)
      i = Find(window, read, current, pattern_length, i + 1);
    if (i >= 0) {
      last_counted = start + i;
      if (++count == occurrence) return start + i;
    }
    if (read == kWindowSize) position -= overlap;
  }
  return -1;
}

}  // namespace brisomel
