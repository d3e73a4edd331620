#include "html/images/png_image.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace brisomel {
namespace {

// Deflate's best case is 1032 output bytes per input byte (runs of 258 in 2 bits); some slack
// covers the zlib header and the smallest files.
constexpr int64_t kMaxDeflateRatio = 1032;
constexpr int64_t kRatioSlack = 4096;

struct Source {
  std::span<const uint8_t> data;
  size_t pos = 0;
};

void ReadFromSource(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (length > source->data.size() - source->pos) png_error(png, "PNG data ends early");
  std::memcpy(out, source->data.data() + source->pos, length);
  source->pos += length;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// libpng's structures, released however the decode ends. No C++ object with a destructor is
// live in the frame that calls setjmp.
struct State {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<png_bytep> rows;
  bool rows_read = false;  // every row is decoded: what follows the image cannot spoil it
  ~State() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

bool Run(State& s, Source& source, int64_t max_pixels, Bitmap& out) {
  png_structp png = s.png;
  png_infop info = s.info;
  if (setjmp(png_jmpbuf(png))) return s.rows_read;
  png_set_read_fn(png, &source, ReadFromSource);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || int64_t{width} * height > max_pixels) return false;
  const int64_t file_rows = (static_cast<int64_t>(png_get_rowbytes(png, info)) + 1) * height;
  if (file_rows > kMaxDeflateRatio * static_cast<int64_t>(source.data.size()) + kRatioSlack)
    return false;

  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);  // the bitmap's byte order: blue, green, red, then alpha
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;

  out.format = Bitmap::Format::kRgb32;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.pixels.resize(size_t{width} * height);
  s.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    s.rows[y] = reinterpret_cast<png_bytep>(&out.pixels[size_t{y} * width]);
  png_read_image(png, s.rows.data());
  // Damage after the last row (a missing IEND, a bad CRC in a trailing text chunk) leaves the
  // picture whole, so it is shown, as browsers and image viewers show it.
  s.rows_read = true;
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

std::optional<TPngImage> TPngImage::Decode(std::span<const uint8_t> data, int64_t max_pixels) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return std::nullopt;
  max_pixels = std::min(max_pixels, kMaxImagePixels);
  try {
    auto s = std::make_unique<State>();
    s->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!s->png) return std::nullopt;
    s->info = png_create_info_struct(s->png);
    if (!s->info) return std::nullopt;
    // The bitmap's storage is owned outside the frame that calls setjmp.
    Source source{data};
    Bitmap out;
    if (!Run(*s, source, max_pixels, out)) return std::nullopt;

    TPngImage image;
    bool transparent = false;
    for (uint32_t p : out.pixels)
      if ((p >> 24) != 0xFF) {
        transparent = true;
        break;
      }
    if (transparent) {
      image.mask = Bitmap::Mask(out.width, out.height);
      image.alpha.resize(out.pixels.size());
      for (size_t i = 0; i < out.pixels.size(); ++i) {
        const auto a = static_cast<uint8_t>(out.pixels[i] >> 24);
        image.alpha[i] = a;
        image.mask->indices[i] = a < 128 ? 1 : 0;
      }
    }
    for (uint32_t& p : out.pixels) p &= 0xFFFFFF;  // the unused byte is 0 in bitmaps
    image.bitmap = std::move(out);
    return image;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace brisomel
