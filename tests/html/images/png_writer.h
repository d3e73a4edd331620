// Small PNG files for tests, written with libpng's simplified API (so they can be made
// wherever the tests run, Wine included), and a CRC fix-up for hand-edited chunks.
#pragma once

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "test_support.h"

namespace brisomel::test {

// An 8-bit RGBA PNG of 0xAARRGGBB pixels.
inline Bytes WritePng(int width, int height, const std::vector<uint32_t>& argb) {
  std::vector<uint8_t> rgba;
  for (uint32_t p : argb)
    for (int shift : {16, 8, 0, 24}) rgba.push_back(static_cast<uint8_t>(p >> shift));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) return {};
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

// Recomputes the CRC of the chunk whose length field starts at `at`.
inline void FixChunkCrc(Bytes& png, size_t at) {
  const uint32_t length = uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 |
                          uint32_t{png[at + 2]} << 8 | png[at + 3];
  const uint32_t crc = static_cast<uint32_t>(crc32(0, &png[at + 4], length + 4));
  for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
}

}  // namespace brisomel::test
