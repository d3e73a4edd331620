#include "html/images/png_image.h"

#include <png.h>

#include <algorithm>
#include <bit>
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

// The bytes R, G, B, A of a pixel, read as one little-endian word, as 0x00RRGGBB.
static_assert(std::endian::native == std::endian::little, "pixels are read as little-endian words");
uint32_t FromRgba(uint32_t p) { return (p & 0xFF) << 16 | (p & 0xFF00) | ((p >> 16) & 0xFF); }

// Row y holds 3-byte red, green, blue pixels at its start; they become 0x00RRGGBB words,
// from the right so that no byte is overwritten before it is read. A pixel's three bytes and
// the one after them, read as a big-endian word, are 0xRRGGBBxx: one load, one byte swap and
// one shift per pixel (the last pixel's extra byte is still inside the row's words).
void WidenRgb(Bitmap& out, int y) {
  uint32_t* row = &out.pixels[static_cast<size_t>(y) * out.width];
  const auto* bytes = reinterpret_cast<const uint8_t*>(row);
  for (int x = out.width - 1; x >= 0; --x) {
    uint32_t word;
    std::memcpy(&word, bytes + 3 * static_cast<size_t>(x), sizeof word);
    row[x] = __builtin_bswap32(word) >> 8;
  }
}

// libpng's structures, released however the decode ends, and the alpha gathered so far. No
// C++ object with a destructor is live in the frame that calls setjmp.
struct State {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<png_bytep> rows;
  std::vector<uint8_t> alpha;  // taken when the first pixel below full alpha shows up
  std::vector<uint8_t> mask;   // with it: 1 where alpha is below half
  bool partial = false;        // some alpha lies between 0 and 255
  bool rows_read = false;      // every row is decoded: what follows the image cannot spoil it
  ~State() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }

  // Moves the alpha of row y (in the top byte of each pixel) into `alpha`, and "below half"
  // into `mask`, and turns the pixel from libpng's red, green, blue, alpha bytes into the
  // bitmap's 0x00RRGGBB, all in one pass. The planes are byte arrays, which could alias the
  // row as far as the compiler knows; restrict-qualified pointers let it vectorise the loop.
  void TakeAlpha(Bitmap& out, int y) {
    const size_t start = static_cast<size_t>(y) * out.width;
    uint32_t* __restrict row = &out.pixels[start];
    const int width = out.width;
    if (alpha.empty()) {
      uint32_t all = 0xFF000000u;
      for (int x = 0; x < width; ++x) all &= row[x];
      if (all == 0xFF000000u) {
        for (int x = 0; x < width; ++x) row[x] = FromRgba(row[x]);
        return;
      }
      // The rows above were opaque. Each plane grows by a row at a time, so that it is
      // written once, while the row is in the cache, rather than cleared in advance.
      alpha.reserve(out.pixels.size());
      mask.reserve(out.pixels.size());
      alpha.assign(start, 0xFF);
      mask.assign(start, 0);
    }
    alpha.resize(start + width);
    mask.resize(start + width);
    uint8_t* __restrict a = &alpha[start];
    uint8_t* __restrict m = &mask[start];
    unsigned between = 0;
    for (int x = 0; x < width; ++x) {
      const uint32_t p = row[x];
      const auto v = static_cast<uint8_t>(p >> 24);
      a[x] = v;
      m[x] = static_cast<uint8_t>((p >> 31) ^ 1);
      between |= static_cast<uint8_t>(v - 1) < 254;
      row[x] = FromRgba(p);
    }
    partial |= between != 0;
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
  const bool has_alpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                         png_get_valid(png, info, PNG_INFO_tRNS) != 0;

  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  // Opaque pictures come as red, green, blue bytes and are widened to the bitmap's words in
  // place; the others as red, green, blue, alpha, put in order while their alpha is taken.
  // Either way one pass of ours replaces libpng's filler and byte-swap passes.
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{width} * (has_alpha ? 4 : 3)) return false;

  out.format = Bitmap::Format::kRgb32;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.pixels.resize(size_t{width} * height);
  auto row = [&](png_uint_32 y) {
    return reinterpret_cast<png_bytep>(&out.pixels[size_t{y} * width]);
  };
  if (passes == 1) {
    // Row by row, each row's alpha taken while it is still in the cache.
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, row(y), nullptr);
      if (has_alpha)
        s.TakeAlpha(out, static_cast<int>(y));
      else
        WidenRgb(out, static_cast<int>(y));
    }
  } else {
    s.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) s.rows[y] = row(y);
    png_read_image(png, s.rows.data());
    for (png_uint_32 y = 0; y < height; ++y) {
      if (has_alpha)
        s.TakeAlpha(out, static_cast<int>(y));
      else
        WidenRgb(out, static_cast<int>(y));
    }
  }
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
    if (!s->alpha.empty()) {
      image.mask.emplace();
      image.mask->format = Bitmap::Format::kMask1;
      image.mask->width = out.width;
      image.mask->height = out.height;
      image.mask->indices = std::move(s->mask);
      image.alpha = std::move(s->alpha);
      image.partial_alpha = s->partial;
    }
    image.bitmap = std::move(out);
    return image;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace brisomel
