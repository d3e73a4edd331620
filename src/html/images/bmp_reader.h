// Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up and top-down rows,
// RLE8 and RLE4, bit-field masks, and the old core header.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "html/images/limits.h"
#include "platform/bitmap.h"

namespace brisomel {

// Decodes a whole ".bmp" file (file header included) into a 32-bit bitmap. Any malformed,
// truncated or unsupported file gives none; never throws. Images of more than `max_pixels`
// pixels give none as well.
std::optional<Bitmap> ReadWindowsBitmap(std::span<const uint8_t> file,
                                        int64_t max_pixels = kMaxImagePixels);

}  // namespace brisomel
