#include "pack/icon_file.h"

#include <cstring>

namespace brisomel::pack {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
// BITMAPINFOHEADER and its later, longer forms (V2 to V5).
constexpr uint32_t kMinBitmapHeader = 40;
constexpr uint32_t kMaxBitmapHeader = 124;

std::string Size(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

bool SideFits(int64_t side) { return side >= 1 && side <= kMaxIconSide; }

bool ExaminePng(ByteView bytes, IconImage* image, std::string* why) {
  // The IHDR chunk: length 13, type, width and height (big-endian), depth, colour type.
  constexpr size_t kIhdr = sizeof kPngSignature;
  if (!bytes.Has(kIhdr, 8 + 13) || bytes.U32BigEndian(kIhdr) != 13 ||
      std::memcmp(bytes.data() + kIhdr + 4, "IHDR", 4) != 0) {
    *why = "is a damaged PNG picture (no IHDR header)";
    return false;
  }
  uint32_t width = bytes.U32BigEndian(kIhdr + 8);
  uint32_t height = bytes.U32BigEndian(kIhdr + 12);
  int depth = bytes.U8(kIhdr + 16);
  int color_type = bytes.U8(kIhdr + 17);
  if (!SideFits(width) || !SideFits(height)) {
    *why = "is " + std::to_string(width) + "x" + std::to_string(height) +
           " pixels; icon images are 1 to 256 pixels wide and high";
    return false;
  }
  // Channels per colour type and the depths PNG allows for it.
  struct ColorType {
    int type, channels;
    const char* depths;
  };
  static constexpr ColorType kColorTypes[] = {{0, 1, "\1\2\4\10\20"},
                                              {2, 3, "\10\20"},
                                              {3, 1, "\1\2\4\10"},
                                              {4, 2, "\10\20"},
                                              {6, 4, "\10\20"}};
  for (const ColorType& known : kColorTypes) {
    if (known.type == color_type && depth != 0 && std::strchr(known.depths, depth) != nullptr) {
      image->width = static_cast<int>(width);
      image->height = static_cast<int>(height);
      image->bit_count = known.channels * depth;
      image->color_count = 0;
      image->png = true;
      return true;
    }
  }
  *why = "is a damaged PNG picture (colour type " + std::to_string(color_type) + " with " +
         std::to_string(depth) + "-bit samples)";
  return false;
}

bool ExamineBitmap(ByteView bytes, IconImage* image, std::string* why) {
  if (!bytes.Has(0, 4)) {
    *why = "is too short to hold a bitmap header";
    return false;
  }
  uint32_t header = bytes.U32(0);
  if (header < kMinBitmapHeader || header > kMaxBitmapHeader) {
    *why = "is neither a PNG picture nor a bitmap (header size " + std::to_string(header) + ")";
    return false;
  }
  if (!bytes.Has(0, header)) {
    *why = "is too short to hold its bitmap header";
    return false;
  }
  int64_t width = static_cast<int32_t>(bytes.U32(4));
  int64_t doubled = static_cast<int32_t>(bytes.U32(8));
  int planes = bytes.U16(12);
  int bits = bytes.U16(14);
  uint32_t compression = bytes.U32(16);
  uint64_t colors_used = bytes.U32(32);
  // The height counts the colour bitmap and the mask.
  int64_t height = doubled / 2;
  if (doubled % 2 != 0 || !SideFits(width) || !SideFits(height)) {
    *why = "is a bitmap of " + std::to_string(width) + "x" + std::to_string(doubled) +
           " (with its mask); icon images are 1 to 256 pixels wide and high, the height doubled";
    return false;
  }
  if (planes != 1) {
    *why = "has " + std::to_string(planes) + " colour planes (bitmaps have 1)";
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    *why = "has " + std::to_string(bits) + " bits per pixel (1, 4, 8, 16, 24 or 32 are known)";
    return false;
  }
  bool masks = compression == kBiBitfields && (bits == 16 || bits == 32);
  if (compression != kBiRgb && !masks) {
    *why = "is a compressed bitmap (method " + std::to_string(compression) +
           "); icons hold uncompressed bitmaps";
    return false;
  }
  uint64_t palette = colors_used;
  if (bits <= 8) {
    uint64_t most = uint64_t{1} << bits;
    if (colors_used > most) {
      *why = "lists " + std::to_string(colors_used) + " palette colours for " +
             std::to_string(bits) + " bits per pixel";
      return false;
    }
    palette = colors_used == 0 ? most : colors_used;
  }
  auto stride = [](int64_t pixels, int depth) { return (uint64_t(pixels) * depth + 31) / 32 * 4; };
  uint64_t needed = header + (masks && header == kMinBitmapHeader ? 12 : 0) + palette * 4 +
                    stride(width, bits) * uint64_t(height) + stride(width, 1) * uint64_t(height);
  if (needed > bytes.size()) {
    *why = "is a " + Size(int(width), int(height)) + " bitmap of " + std::to_string(bits) +
           " bits per pixel that needs " + std::to_string(needed) + " bytes but holds " +
           std::to_string(bytes.size());
    return false;
  }
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->bit_count = bits;
  image->color_count = bits < 8 ? static_cast<uint8_t>(1u << bits) : 0;
  image->png = false;
  return true;
}

// What a file that is not an icon file looks like, for the message.
std::string WhatItIs(ByteView bytes) {
  if (bytes.Has(0, sizeof kPngSignature) &&
      std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0) {
    return "is a PNG picture, not an icon file";
  }
  if (bytes.Has(0, 2) && bytes.data()[0] == 'B' && bytes.data()[1] == 'M') {
    return "is a bitmap picture, not an icon file";
  }
  if (bytes.U16(0) == 0 && bytes.U16(2) == 2) return "is a cursor file, not an icon file";
  return "is not an icon file";
}

}  // namespace

bool ExamineIconImage(ByteView bytes, IconImage* image, std::string* why) {
  if (bytes.size() == 0) {
    *why = "is empty";
    return false;
  }
  if (bytes.Has(0, sizeof kPngSignature) &&
      std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0) {
    return ExaminePng(bytes, image, why);
  }
  return ExamineBitmap(bytes, image, why);
}

bool ReadIconFile(ByteView bytes, std::vector<IconImage>* images, std::string* error) {
  images->clear();
  std::vector<IconImage> read;
  if (bytes.size() == 0) {
    *error = "is empty";
    return false;
  }
  if (!bytes.Has(0, kIconHeaderSize) || bytes.U16(0) != 0 || bytes.U16(2) != 1) {
    *error = WhatItIs(bytes);
    return false;
  }
  size_t count = bytes.U16(4);
  if (count == 0) {
    *error = "holds no images";
    return false;
  }
  uint64_t directory_end = kIconHeaderSize + count * kIconDirectoryEntrySize;
  if (!bytes.Has(0, directory_end)) {
    *error = "is cut short: its directory of " + std::to_string(count) +
             " images runs past the end of the file";
    return false;
  }
  for (size_t i = 0; i < count; ++i) {
    size_t entry = kIconHeaderSize + i * kIconDirectoryEntrySize;
    uint32_t size = bytes.U32(entry + 8);
    uint32_t offset = bytes.U32(entry + 12);
    std::string which = "image " + std::to_string(i + 1);
    if (size == 0) {
      *error = which + " is empty";
      return false;
    }
    if (offset < directory_end || !bytes.Has(offset, size)) {
      *error = which + " lies outside the file (" + std::to_string(size) + " bytes at offset " +
               std::to_string(offset) + " of " + std::to_string(bytes.size()) + ")";
      return false;
    }
    IconImage image;
    std::string why;
    ByteView data = bytes.Sub(offset, size);
    if (!ExamineIconImage(data, &image, &why)) {
      *error = which + " " + why;
      return false;
    }
    image.data = data.Copy();
    read.push_back(std::move(image));
  }
  *images = std::move(read);
  return true;
}

std::vector<uint8_t> WriteIconFile(const std::vector<IconImage>& images) {
  std::vector<uint8_t> out;
  Append16(out, 0);
  Append16(out, 1);
  Append16(out, static_cast<uint16_t>(images.size()));
  uint32_t offset =
      static_cast<uint32_t>(kIconHeaderSize + images.size() * kIconDirectoryEntrySize);
  for (const IconImage& image : images) {
    out.push_back(static_cast<uint8_t>(image.width));  // 256 is written as 0
    out.push_back(static_cast<uint8_t>(image.height));
    out.push_back(image.color_count);
    out.push_back(0);
    Append16(out, 1);
    Append16(out, static_cast<uint16_t>(image.bit_count));
    Append32(out, static_cast<uint32_t>(image.data.size()));
    Append32(out, offset);
    offset += static_cast<uint32_t>(image.data.size());
  }
  for (const IconImage& image : images) out.insert(out.end(), image.data.begin(), image.data.end());
  return out;
}

}  // namespace brisomel::pack
