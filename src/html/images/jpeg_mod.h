// JPEG decoding through libjpeg: 24-bit colour, or 8-bit through a given palette.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "html/images/limits.h"
#include "platform/bitmap.h"

namespace brisomel {

class TJpegMod {
 public:
  // Progressive files with more scans than this give no image: each scan walks the whole
  // image again, and hostile files pile up thousands of tiny scans.
  static constexpr int kMaxScans = 100;

  // 24-bit output (a kRgb32 bitmap) when `palette` is empty; otherwise 8-bit output (a
  // kIndexed8 bitmap) whose indices address `palette` (at most 256 entries), dithered by
  // libjpeg's own quantizer. None for any error; never throws and never ends the process.
  static std::optional<Bitmap> Decode(std::span<const uint8_t> data,
                                      std::span<const uint32_t> palette = {},
                                      int64_t max_pixels = kMaxImagePixels);
};

}  // namespace brisomel
