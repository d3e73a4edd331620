// PNG output through libpng; errors come back through setjmp so they end in a false result.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "platform/headless/png_writer.h"

namespace brisomel {

bool WritePng(const Bitmap& bitmap, const std::string& path) {
  if (bitmap.empty()) {
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  std::vector<png_byte> row(static_cast<size_t>(bitmap.width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, bitmap.width, bitmap.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      uint32_t c = bitmap.ColorAt(x, y);
      size_t i = static_cast<size_t>(x) * 3;
      row[i] = (c >> 16) & 0xFF;
      row[i + 1] = (c >> 8) & 0xFF;
      row[i + 2] = c & 0xFF;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace brisomel
