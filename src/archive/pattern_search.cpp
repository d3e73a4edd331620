#include "archive/pattern_search.h"

#include <algorithm>
#include <memory>

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
  int64_t position = 0;
  int64_t last_counted = -1;
  int count = 0;
  for (;;) {
    const int32_t read = file->Read(window, kWindowSize);
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
    if (read == kWindowSize) {
      position -= overlap;
      if (!file->Seek(position)) break;
    }
  }
  return -1;
}

}  // namespace brisomel
