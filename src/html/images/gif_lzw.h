// The LZW decoder of GIF image data.
//
// Format notes: codes are packed least significant bit first; they start one bit wider than
// the minimum code size and widen when the next free code reaches the width's limit, up to 12
// bits (4096 codes). The clear code (1 << min) resets the table, the end code (clear + 1)
// ends the data. Once the table is full, codes stay 12 bits wide and the table stays as it is
// until a clear code (the "deferred clear" that encoders use). A code equal to the next free
// one stands for the previous string plus its own first byte.
//
// Every string the table holds was, when its code was made, written to the output right
// before the string that followed it; so a code is stored as the position and length of an
// earlier run of the output, and decoding it is a forward copy from there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace brisomel {

class TGifLzwDecoder {
 public:
  static constexpr int kMaxBits = 12;
  static constexpr int kMaxCodes = 1 << kMaxBits;
  // Slack the output buffer needs past its `count` bytes: copies run in 8-byte steps.
  static constexpr size_t kOutputSlack = 16;

  enum class Result {
    kFilled,       // the output is full
    kEndCode,      // the end code came first
    kDataEnded,    // the data ran out before either
    kBadCode,      // a code that is neither in the table nor the next one to be made
    kBadCodeSize,  // minimum code size outside 1..8
  };
  struct Outcome {
    size_t written;
    Result result;
  };

  // Decodes `data` (the image's data sub-blocks joined) into `out`, which holds `count`
  // bytes plus kOutputSlack writable bytes after them.
  Outcome Decode(std::span<const uint8_t> data, int min_code_size, uint8_t* out, size_t count);

 private:
  uint32_t position_[kMaxCodes];
  uint16_t length_[kMaxCodes];
};

}  // namespace brisomel
