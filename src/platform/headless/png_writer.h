// PNG output of bitmaps (native builds, libpng).
#pragma once

#include <string>

#include "platform/bitmap.h"

namespace brisomel {

// Writes any bitmap (32-bit, mask or indexed) as an 8-bit RGB PNG; false on failure.
bool WritePng(const Bitmap& bitmap, const std::string& path);

}  // namespace brisomel
