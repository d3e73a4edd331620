#include "html/images/image_type.h"

#include <algorithm>
#include <cstring>

namespace brisomel {

TImageType ImageTypeOf(std::span<const uint8_t> b) {
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return itBitmap;
  if (b.size() >= 4 && std::memcmp(b.data(), "GIF8", 4) == 0) {
    return b.size() >= 5 && b[4] == '9' ? itGif89 : itGif;
  }
  if (b.size() >= 4 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') return itPng;
  if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8) return itJpeg;
  return itUnknown;
}

std::optional<uint32_t> GifTransparentColor(std::span<const uint8_t> file_start) {
  std::span<const uint8_t> b = file_start.first(std::min(file_start.size(), kGifColorTestBytes));
  if (ImageTypeOf(b) != itGif89 || b.size() < 13) return std::nullopt;
  // Format notes: 6-byte signature, 7-byte screen descriptor whose packed byte (offset 10)
  // announces a global table of 3 * 2^(n+1) bytes when bit 7 is set. The graphic control
  // extension is 0x21 0xF9, block size, packed (bit 0: transparency), delay (2), index.
  uint8_t packed = b[10];
  if (!(packed & 0x80)) return std::nullopt;  // no global table to take the colour from
  size_t table = 13;
  size_t table_size = 3u << ((packed & 7) + 1);
  size_t ext = table + table_size;
  if (ext + 7 > b.size()) return std::nullopt;
  if (b[ext] != 0x21 || b[ext + 1] != 0xF9 || !(b[ext + 3] & 1)) return std::nullopt;
  size_t entry = table + 3 * size_t{b[ext + 6]};
  if (entry + 3 > ext) return std::nullopt;
  return (uint32_t{b[entry]} << 16) | (uint32_t{b[entry + 1]} << 8) | b[entry + 2];
}

namespace {
uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
}  // namespace

std::optional<uint32_t> PngTransparentColor(std::span<const uint8_t> file) {
  // The signature is skipped, not checked: a ".png" file that holds a bitmap or JPEG takes its
  // transparent colour from whatever chunks its bytes happen to spell.
  if (file.size() < 8) return std::nullopt;
  constexpr uint8_t kPalette = 3;
  int colour_type = -1;
  std::optional<uint32_t> first_colour;
  size_t pos = 8;
  // Each chunk: 4-byte big-endian length, 4-byte type, data, 4-byte CRC. The walk needs only
  // IHDR's colour type, PLTE's first entry and tRNS's first alpha.
  while (pos + 8 <= file.size()) {
    uint32_t length = BigEndian32(&file[pos]);
    const uint8_t* type = &file[pos + 4];
    size_t data = pos + 8;
    if (length > file.size() - data) return std::nullopt;  // chunk runs past the end
    auto is = [&](const char* name) { return std::memcmp(type, name, 4) == 0; };
    if (is("IEND") || is("IDAT")) break;
    if (is("IHDR")) {
      if (length < 10) return std::nullopt;
      colour_type = file[data + 9];
      if (colour_type != kPalette) break;
    } else if (is("PLTE")) {
      if (colour_type == kPalette && length >= 3) {
        first_colour =
            (uint32_t{file[data]} << 16) | (uint32_t{file[data + 1]} << 8) | file[data + 2];
      }
    } else if (is("tRNS")) {
      if (colour_type == kPalette && first_colour && length >= 1 && file[data] < 127) {
        return first_colour;
      }
      break;
    }
    // length <= size - data, so data + length + 4 cannot wrap.
    pos = data + length + 4;
  }
  return std::nullopt;
}

}  // namespace brisomel
