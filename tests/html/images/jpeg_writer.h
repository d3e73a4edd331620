// Writes small JPEG files with libjpeg, for tests that need one where cjpeg is not around.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "test_support.h"

// clang-format off
#include <cstdio>  // before jpeglib.h, which uses FILE and size_t
#include <jpeglib.h>
// clang-format on

namespace brisomel::test {

// A w x h baseline JPEG of `colour(x, y)` (0x00RRGGBB).
template <typename Colour>
Bytes MakeJpeg(int w, int h, Colour colour, int quality = 95) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = w, c.image_height = h, c.input_components = 3, c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(size_t(w) * 3);
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < w; ++x) {
      uint32_t p = colour(x, int(c.next_scanline));
      row[3 * x] = uint8_t(p >> 16), row[3 * x + 1] = uint8_t(p >> 8), row[3 * x + 2] = uint8_t(p);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes b(out, out + size);
  std::free(out);
  return b;
}

}  // namespace brisomel::test
