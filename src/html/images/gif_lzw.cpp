#include "html/images/gif_lzw.h"

#include <bit>
#include <cstring>

namespace brisomel {
namespace {

// Copies `n` bytes forward from `src` to `dst` (dst > src), correct also when they overlap:
// a run that repeats itself (dst - src < n) is rebuilt byte by byte as it is written. May
// write up to 7 bytes past dst + n.
inline void ForwardCopy(uint8_t* dst, const uint8_t* src, size_t n) {
  if (static_cast<size_t>(dst - src) >= 8) {
    for (size_t i = 0; i < n; i += 8) std::memcpy(dst + i, src + i, 8);
  } else {
    for (size_t i = 0; i < n; ++i) dst[i] = src[i];
  }
}

}  // namespace

TGifLzwDecoder::Outcome TGifLzwDecoder::Decode(std::span<const uint8_t> data, int min_code_size,
                                               uint8_t* out, size_t count) {
  if (min_code_size < 1 || min_code_size > 8) return {0, Result::kBadCodeSize};
  const uint32_t clear = 1u << min_code_size;
  const uint32_t end = clear + 1;
  uint32_t next = clear + 2;
  int width = min_code_size + 1;
  uint32_t mask = (1u << width) - 1;

  const uint8_t* in = data.data();
  const uint8_t* in_end = in + data.size();
  uint64_t bits = 0;
  int have = 0;

  size_t pos = 0;
  bool have_prev = false;
  size_t prev_pos = 0, prev_len = 0;

  while (pos < count) {
    if (have < width) {
      if (in_end - in >= 8) {
        // Whole bytes that fit go in at once; bits of a byte that did not fit are loaded
        // again, at the same place, by the next refill.
        uint64_t v;
        std::memcpy(&v, in, 8);
        if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
        bits |= v << have;
        int take = (63 - have) >> 3;
        in += take;
        have += 8 * take;
      } else {
        while (have < width) {
          if (in == in_end) return {pos, Result::kDataEnded};
          bits |= uint64_t{*in++} << have;
          have += 8;
        }
      }
    }
    uint32_t code = static_cast<uint32_t>(bits) & mask;
    bits >>= width;
    have -= width;

    if (code == clear) {
      next = clear + 2;
      width = min_code_size + 1;
      mask = (1u << width) - 1;
      have_prev = false;
      continue;
    }
    if (code == end) return {pos, Result::kEndCode};

    size_t len;
    if (code < clear) {
      out[pos] = static_cast<uint8_t>(code);
      len = 1;
    } else if (!have_prev) {
      return {pos, Result::kBadCode};  // a string code before any string was made
    } else if (code < next) {
      len = length_[code];
      size_t n = len <= count - pos ? len : count - pos;
      ForwardCopy(out + pos, out + position_[code], n);
    } else if (code == next && next < kMaxCodes) {
      // The previous string plus its own first byte: it starts where the previous one did.
      len = prev_len + 1;
      size_t n = len <= count - pos ? len : count - pos;
      ForwardCopy(out + pos, out + prev_pos, n);
    } else {
      return {pos, Result::kBadCode};
    }

    if (have_prev && next < kMaxCodes) {
      position_[next] = static_cast<uint32_t>(prev_pos);
      length_[next] = static_cast<uint16_t>(prev_len + 1);
      ++next;
      if (next >= (1u << width) && width < kMaxBits) {
        ++width;
        mask = (1u << width) - 1;
      }
    }
    have_prev = true;
    prev_pos = pos;
    prev_len = len;
    pos += len;
  }
  return {count, Result::kFilled};
}

}  // namespace brisomel
