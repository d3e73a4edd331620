// One step over UTF-8, shared by the page sniffer and the decoder: the length of the sequence
// at `p` and whether it is a valid character; for an invalid one, the length of its maximal
// invalid part (at least 1), which one U+FFFD replaces. The format notes are in text/utf.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brisomel {

struct Utf8Step {
  size_t length;
  bool valid;
};

inline Utf8Step ScanUtf8(const uint8_t* p, const uint8_t* end) {
  const uint8_t lead = *p;
  if (lead < 0x80) return {1, true};
  size_t need;
  uint8_t low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {1, false};
  }
  size_t k = 1;
  while (k <= need && p + k < end && p[k] >= low && p[k] <= high) {
    low = 0x80;
    high = 0xBF;
    ++k;
  }
  return {k, k == need + 1};
}

}  // namespace brisomel
