// Bitmaps as engine data: the decoders make them, the canvas only draws them.
//
// Rows are stored top-down. Colour pixels are 32-bit values 0x00RRGGBB (the byte order of a
// 32-bit DIB in memory: blue, green, red, unused). A mask holds one byte per pixel: 1 where
// the pixel is white (transparent in the masks the images use), 0 where black. An indexed
// bitmap holds one byte per pixel and a palette of up to 256 0x00RRGGBB entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brisomel {

struct Bitmap {
  enum class Format { kRgb32, kMask1, kIndexed8 };

  Format format = Format::kRgb32;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;   // kRgb32: width * height
  std::vector<uint8_t> indices;   // kMask1, kIndexed8: width * height
  std::vector<uint32_t> palette;  // kIndexed8

  static Bitmap Rgb32(int width, int height, uint32_t fill = 0) {
    Bitmap b;
    b.format = Format::kRgb32;
    b.width = width;
    b.height = height;
    b.pixels.assign(static_cast<size_t>(width) * height, fill);
    return b;
  }
  static Bitmap Mask(int width, int height, uint8_t fill = 0) {
    Bitmap b;
    b.format = Format::kMask1;
    b.width = width;
    b.height = height;
    b.indices.assign(static_cast<size_t>(width) * height, fill);
    return b;
  }
  bool empty() const { return width <= 0 || height <= 0; }
  // The colour at (x, y) as 0x00RRGGBB, whatever the format (a mask reads white or black).
  uint32_t ColorAt(int x, int y) const {
    size_t i = static_cast<size_t>(y) * width + x;
    switch (format) {
      case Format::kRgb32: return pixels[i] & 0xFFFFFF;
      case Format::kMask1: return indices[i] ? 0xFFFFFF : 0;
      case Format::kIndexed8: return indices[i] < palette.size() ? palette[indices[i]] & 0xFFFFFF : 0;
    }
    return 0;
  }
};

}  // namespace brisomel
