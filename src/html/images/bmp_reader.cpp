// Format notes (Windows bitmap files):
// - File header, 14 bytes: "BM", file size, two reserved words, offset of the pixel data.
// - Info header: its first 4 bytes give its size. 12 is the old core header (16-bit width and
//   height, planes, bit count; palette entries of 3 bytes). 40 and longer (52, 56, 64, 108,
//   124) share the first 40 bytes: width, height (negative: rows top-down), planes, bit count,
//   compression, image size, resolution, colours used, colours important; palette entries of
//   4 bytes (blue, green, red, unused).
// - Bit-field compression (3, or 6 with alpha) gives red, green, blue masks for 16 and 32
//   bits: inside headers of 52 bytes and longer, else in the 12 (16) bytes after the header.
// - Rows are padded to 4 bytes and stored bottom-up unless the height is negative.
// - RLE8/RLE4 (compression 1/2): pairs (count, value) repeat a pixel (RLE4: two alternating
//   nibbles); (0, 0) ends a row, (0, 1) ends the bitmap, (0, 2, dx, dy) moves the position,
//   (0, n >= 3) is followed by n literal pixels padded to a 16-bit boundary. Pixels that no
//   code reaches keep colour index 0. Compressed bitmaps are always bottom-up.
#include "html/images/bmp_reader.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace brisomel {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;
constexpr size_t kFileHeaderSize = 14;

// Little-endian reads from a span; callers check the bounds first.
uint16_t U16(std::span<const uint8_t> b, size_t p) { return uint16_t(b[p] | (b[p + 1] << 8)); }
uint32_t U32(std::span<const uint8_t> b, size_t p) {
  return uint32_t(b[p]) | (uint32_t(b[p + 1]) << 8) | (uint32_t(b[p + 2]) << 16) |
         (uint32_t(b[p + 3]) << 24);
}

// One colour component selected by a bit-field mask, widened to 8 bits by repeating its bits
// (5 bits abcde become abcdeabc), so that full scale stays full scale.
struct Field {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Field(uint32_t m) : mask(m) {
    if (m) {
      shift = std::countr_zero(m);
      bits = std::min(32 - shift, static_cast<int>(std::bit_width(m >> shift)));
    }
  }
  uint32_t Extract(uint32_t pixel) const {
    if (!bits) return 0;
    uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return (v >> (bits - 8)) & 0xFF;
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
      int take = 8 - filled;
      out |= take >= bits ? v << (take - bits) : v >> (bits - take);
      filled += bits;
    }
    return out & 0xFF;
  }
};

struct Info {
  int64_t width = 0;
  int64_t height = 0;
  bool top_down = false;
  int bits = 0;
  uint32_t compression = kBiRgb;
  uint32_t colours_used = 0;
  uint32_t masks[3] = {0, 0, 0};
  size_t palette_pos = 0;
  size_t palette_entry = 4;
};

bool ReadInfo(std::span<const uint8_t> f, Info& info) {
  if (f.size() < kFileHeaderSize + 4) return false;
  uint32_t size = U32(f, kFileHeaderSize);
  size_t h = kFileHeaderSize;
  if (size == 12) {
    if (f.size() < h + 12) return false;
    info.width = U16(f, h + 4);
    info.height = U16(f, h + 6);
    info.bits = U16(f, h + 10);
    info.palette_pos = h + 12;
    info.palette_entry = 3;
    return true;
  }
  if (size < 40 || size > f.size() - h) return false;
  info.width = static_cast<int32_t>(U32(f, h + 4));
  int64_t height = static_cast<int32_t>(U32(f, h + 8));
  info.top_down = height < 0;
  info.height = height < 0 ? -height : height;
  info.bits = U16(f, h + 14);
  info.compression = U32(f, h + 16);
  info.colours_used = U32(f, h + 32);
  info.palette_pos = h + size;
  if (info.compression == kBiBitfields || info.compression == kBiAlphaBitfields) {
    size_t masks = h + 40;
    if (size < 52) {
      // The masks follow a 40-byte header (a fourth, alpha, with compression 6).
      info.palette_pos = h + size + (info.compression == kBiAlphaBitfields ? 16 : 12);
    }
    if (masks + 12 > f.size()) return false;
    for (int i = 0; i < 3; ++i) info.masks[i] = U32(f, masks + 4 * i);
  } else if (info.bits == 16) {
    info.masks[0] = 0x7C00, info.masks[1] = 0x03E0, info.masks[2] = 0x001F;
  } else if (info.bits == 32) {
    info.masks[0] = 0xFF0000, info.masks[1] = 0x00FF00, info.masks[2] = 0x0000FF;
  }
  return true;
}

class Decoder {
 public:
  Decoder(std::span<const uint8_t> f, const Info& info, std::vector<uint32_t> palette, Bitmap& out)
      : f_(f), info_(info), palette_(std::move(palette)), out_(out) {}

  // Uncompressed rows; false when the file holds fewer rows than the header claims.
  bool Plain(size_t data) {
    int64_t stride = (int64_t{info_.bits} * info_.width + 31) / 32 * 4;
    if (data > f_.size() || stride * info_.height > static_cast<int64_t>(f_.size() - data)) {
      return false;
    }
    Field r(info_.masks[0]), g(info_.masks[1]), b(info_.masks[2]);
    const int w = out_.width;
    for (int row = 0; row < out_.height; ++row) {
      const uint8_t* s = f_.data() + data + stride * row;
      int y = info_.top_down ? row : out_.height - 1 - row;
      uint32_t* d = &out_.pixels[static_cast<size_t>(y) * w];
      switch (info_.bits) {
        case 1:
          for (int x = 0; x < w; ++x) d[x] = Colour((s[x >> 3] >> (7 - (x & 7))) & 1);
          break;
        case 4:
          for (int x = 0; x < w; ++x) d[x] = Colour((s[x >> 1] >> (x & 1 ? 0 : 4)) & 15);
          break;
        case 8:
          for (int x = 0; x < w; ++x) d[x] = Colour(s[x]);
          break;
        case 16:
          for (int x = 0; x < w; ++x) {
            uint32_t p = s[2 * x] | (s[2 * x + 1] << 8);
            d[x] = (r.Extract(p) << 16) | (g.Extract(p) << 8) | b.Extract(p);
          }
          break;
        case 24:
          for (int x = 0; x < w; ++x) {
            d[x] =
                uint32_t(s[3 * x]) | (uint32_t(s[3 * x + 1]) << 8) | (uint32_t(s[3 * x + 2]) << 16);
          }
          break;
        case 32:
          if (info_.masks[0] == 0xFF0000 && info_.masks[1] == 0xFF00 && info_.masks[2] == 0xFF) {
            for (int x = 0; x < w; ++x) d[x] = U32(f_, data + stride * row + 4 * x) & 0xFFFFFF;
          } else {
            for (int x = 0; x < w; ++x) {
              uint32_t p = U32(f_, data + stride * row + 4 * x);
              d[x] = (r.Extract(p) << 16) | (g.Extract(p) << 8) | b.Extract(p);
            }
          }
          break;
      }
    }
    return true;
  }

  // RLE8 or RLE4 codes; data that ends early leaves the rest at colour index 0.
  void RunLength(size_t data, bool four) {
    std::fill(out_.pixels.begin(), out_.pixels.end(), Colour(0));
    const int64_t w = out_.width, h = out_.height;
    int64_t x = 0, y = 0;  // y counts rows from the bottom
    size_t p = data;
    auto put = [&](uint32_t index) {
      if (x < w && y < h) out_.pixels[static_cast<size_t>(h - 1 - y) * w + x] = Colour(index);
      ++x;
    };
    while (p + 2 <= f_.size() && y < h) {
      uint8_t count = f_[p], value = f_[p + 1];
      p += 2;
      if (count > 0) {
        // Pixels past the row's end are dropped; stop counting there to bound the work.
        for (int i = 0; i < count && x < w; ++i)
          put(four ? (i & 1 ? value & 15 : value >> 4) : value);
        continue;
      }
      if (value == 0) {
        x = 0, ++y;
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        if (p + 2 > f_.size()) break;
        x += f_[p], y += f_[p + 1];
        p += 2;
      } else {
        size_t bytes = four ? (value + 1) / 2 : value;
        size_t available = std::min(bytes, f_.size() - p);
        for (int i = 0; i < value; ++i) {
          size_t at = four ? i / 2 : i;
          if (at >= available) break;
          uint8_t v = f_[p + at];
          put(four ? (i & 1 ? v & 15 : v >> 4) : v);
        }
        p += (bytes + 1) & ~size_t{1};
      }
    }
  }

 private:
  uint32_t Colour(uint32_t index) const { return index < palette_.size() ? palette_[index] : 0; }

  std::span<const uint8_t> f_;
  const Info& info_;
  std::vector<uint32_t> palette_;
  Bitmap& out_;
};

}  // namespace

std::optional<Bitmap> ReadWindowsBitmap(std::span<const uint8_t> f, int64_t max_pixels) {
  try {
    if (f.size() < kFileHeaderSize || f[0] != 'B' || f[1] != 'M') return std::nullopt;
    Info info;
    if (!ReadInfo(f, info)) return std::nullopt;
    if (info.width <= 0 || info.height <= 0) return std::nullopt;
    if (info.width * info.height > std::min(max_pixels, kMaxImagePixels)) return std::nullopt;

    bool rle = info.compression == kBiRle8 || info.compression == kBiRle4;
    switch (info.compression) {
      case kBiRgb:
        if (info.bits != 1 && info.bits != 4 && info.bits != 8 && info.bits != 16 &&
            info.bits != 24 && info.bits != 32) {
          return std::nullopt;
        }
        break;
      case kBiRle8:
      case kBiRle4:
        if (info.bits != (info.compression == kBiRle8 ? 8 : 4) || info.top_down) {
          return std::nullopt;
        }
        break;
      case kBiBitfields:
      case kBiAlphaBitfields:
        if (info.bits != 16 && info.bits != 32) return std::nullopt;
        break;
      default:
        return std::nullopt;  // embedded JPEG or PNG, or unknown
    }

    std::vector<uint32_t> palette;
    if (info.bits <= 8) {
      uint32_t count = 1u << info.bits;
      if (info.colours_used > 0 && info.colours_used < count) count = info.colours_used;
      if (info.palette_pos > f.size() || count * info.palette_entry > f.size() - info.palette_pos) {
        return std::nullopt;
      }
      palette.resize(count);
      for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = &f[info.palette_pos + i * info.palette_entry];
        palette[i] = uint32_t(e[0]) | (uint32_t(e[1]) << 8) | (uint32_t(e[2]) << 16);
      }
    }
    size_t palette_end = info.palette_pos + palette.size() * info.palette_entry;
    size_t data = U32(f, 10);
    if (data < palette_end || data >= f.size()) data = palette_end;

    Bitmap out = Bitmap::Rgb32(static_cast<int>(info.width), static_cast<int>(info.height));
    Decoder decoder(f, info, std::move(palette), out);
    if (rle) {
      decoder.RunLength(data, info.compression == kBiRle4);
    } else if (!decoder.Plain(data)) {
      return std::nullopt;
    }
    return out;
  } catch (...) {  // out of memory
    return std::nullopt;
  }
}

}  // namespace brisomel
