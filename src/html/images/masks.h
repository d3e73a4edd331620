// Transparency masks, remapping to the shared palette, and device-independent copies.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/bitmap.h"

namespace brisomel {

// A monochrome mask of the bitmap's size: white where the pixel has the transparent colour,
// black elsewhere. The transparent colour is `colour` when `use_colour`, else the pixel at
// the bottom-left corner. For an 8-bit bitmap the colour is matched to its nearest palette
// entry and every pixel of that entry is transparent. None for an empty bitmap.
std::unique_ptr<Bitmap> MakeMask(const Bitmap& bitmap, bool use_colour, uint32_t colour);

// With a shared palette (8-bit displays): the bitmap re-made as 8 bits through that palette,
// each colour taken to its nearest entry. Without one, the bitmap unchanged.
std::unique_ptr<Bitmap> RemapToPalette(std::unique_ptr<Bitmap> bitmap,
                                       std::span<const uint32_t> shared_palette);

// A device-independent copy: bit count (1, 8 or 24; 16 and 32 become 24), a colour table of
// 2^bits entries for 8 bits or less, and bottom-up rows of ((bits * width + 31) / 32) * 4
// bytes.
class TDib {
 public:
  // From a bitmap; `palette` (if not empty) is the palette selected while reading it, which
  // turns a colour bitmap into 8 bits through nearest entries.
  static std::optional<TDib> Create(const Bitmap& bitmap, std::span<const uint32_t> palette = {});

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitCount() const { return bit_count_; }
  size_t RowBytes() const { return (static_cast<size_t>(bit_count_) * width_ + 31) / 32 * 4; }
  size_t ImageSize() const { return RowBytes() * height_; }
  const std::vector<uint32_t>& ColourTable() const { return table_; }
  const std::vector<uint8_t>& Bits() const { return bits_; }

  // A new bitmap from header and pixels: 8-bit copies keep their table as palette.
  Bitmap MakeDeviceBitmap() const;

 private:
  int width_ = 0, height_ = 0, bit_count_ = 24;
  std::vector<uint32_t> table_;
  std::vector<uint8_t> bits_;
};

}  // namespace brisomel
