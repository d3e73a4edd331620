// The book's settings entry, the reading-state file and the book identity on any bytes. What a
// state file yields must come back unchanged through writing and reading again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/book_settings.h"
#include "settings/reading_state.h"
#include "settings/state_store.h"

namespace {

class BytesFile : public brisomel::File {
 public:
  BytesFile(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int32_t Read(void* buffer, int32_t count) override {
    size_t got = std::min<size_t>(count, size_ - position_);
    std::copy_n(data_ + position_, got, static_cast<uint8_t*>(buffer));
    position_ += got;
    return static_cast<int32_t>(got);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  bool Seek(int64_t offset) override {
    if (offset < 0 || static_cast<uint64_t>(offset) > size_) return false;
    position_ = static_cast<size_t>(offset);
    return true;
  }
  int64_t Size() override { return static_cast<int64_t>(size_); }
  bool Close() override { return true; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brisomel;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  BookSettings settings = ReadBookSettings(text);
  if (ReadBookSettings(WriteBookSettings(settings)).title != settings.title) abort();
  ReadingState state = ReadReadingState(text);
  if (!(ReadReadingState(WriteReadingState(state)) == state)) abort();
  BytesFile book(data, size);
  if (BookIdentity(book).size() != 16) abort();
  return 0;
}
