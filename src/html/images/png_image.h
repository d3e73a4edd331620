// PNG decoding through libpng: every colour type and bit depth, interlaced or not, to a
// 32-bit bitmap, with a mask from tRNS or the alpha channel.
//
// Format notes the glue relies on: the 8-byte signature, then chunks (4-byte big-endian
// length, 4-byte type, data, CRC). IHDR gives width, height, bit depth (1, 2, 4, 8, 16) and
// colour type (0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGB + alpha); tRNS gives palette
// alphas or one transparent grey/RGB value. libpng expands everything to 8-bit RGBA here:
// palettes and low-depth greys are expanded, 16-bit samples scaled with rounding (v / 257),
// tRNS turned into alpha. Deflate cannot shrink data more than about 1032:1, so a file whose
// rows would need more than that of its own size is refused before any pixel memory is taken.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "html/images/limits.h"
#include "platform/bitmap.h"

namespace brisomel {

struct TPngImage {
  Bitmap bitmap;               // kRgb32
  std::optional<Bitmap> mask;  // kMask1, white where alpha is below half; none when opaque
  std::vector<uint8_t> alpha;  // each pixel's alpha, 0 to 255; empty when opaque
  bool partial_alpha = false;  // some pixel is neither fully transparent nor opaque

  // None for any error (bad signature, CRC, truncated data, too large); never throws and
  // never ends the process.
  static std::optional<TPngImage> Decode(std::span<const uint8_t> data,
                                         int64_t max_pixels = kMaxImagePixels);
};

}  // namespace brisomel
