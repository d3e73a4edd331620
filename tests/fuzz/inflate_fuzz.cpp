// Inflate on arbitrary bytes: the fast path and the simple decoder must agree, and neither may
// crash, hang or write past the limit.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive/inflate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte picks an output limit, so the limit paths are reached too.
  uint64_t limit = brisomel::Inflater::kNoLimit;
  if (size > 0) {
    if (data[0] < 128) limit = static_cast<uint64_t>(data[0]) * 1031;
    ++data;
    --size;
  }
  std::vector<uint8_t> fast, simple;
  fast.reserve(1 << 16);
  const auto a = brisomel::InflateBuffer(data, size, fast, limit, true);
  const auto b = brisomel::InflateBuffer(data, size, simple, limit, false);
  if (a != b || fast != simple || fast.size() > limit) std::abort();
  return 0;
}
