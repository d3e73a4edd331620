#include "html/images/masks.h"

#include <algorithm>

#include "html/images/palette.h"

namespace brisomel {

std::unique_ptr<Bitmap> MakeMask(const Bitmap& bitmap, bool use_colour, uint32_t colour) {
  try {
    if (bitmap.empty()) return nullptr;
    const int w = bitmap.width, h = bitmap.height;
    auto mask = std::make_unique<Bitmap>(Bitmap::Mask(w, h));
    const size_t n = static_cast<size_t>(w) * h;
    switch (bitmap.format) {
      case Bitmap::Format::kRgb32: {
        uint32_t key =
            (use_colour ? colour : bitmap.pixels[static_cast<size_t>(h - 1) * w]) & 0xFFFFFF;
        for (size_t i = 0; i < n; ++i) mask->indices[i] = (bitmap.pixels[i] & 0xFFFFFF) == key;
        break;
      }
      case Bitmap::Format::kIndexed8: {
        // The colour is taken palette-relative: the pixels of its nearest entry match.
        uint32_t key_colour = use_colour ? colour : bitmap.ColorAt(0, h - 1);
        int key = NearestPaletteIndex(bitmap.palette, key_colour);
        for (size_t i = 0; i < n; ++i) mask->indices[i] = bitmap.indices[i] == key;
        break;
      }
      case Bitmap::Format::kMask1: {
        uint8_t key = use_colour ? (colour & 0xFFFFFF) == 0xFFFFFF
                                 : bitmap.indices[static_cast<size_t>(h - 1) * w];
        for (size_t i = 0; i < n; ++i) mask->indices[i] = bitmap.indices[i] == key;
        break;
      }
    }
    return mask;
  } catch (...) {
    return nullptr;
  }
}

std::optional<TDib> TDib::Create(const Bitmap& b, std::span<const uint32_t> palette) {
  try {
    if (b.empty()) return std::nullopt;
    TDib dib;
    dib.width_ = b.width;
    dib.height_ = b.height;
    if (!palette.empty() && b.format != Bitmap::Format::kMask1) {
      dib.bit_count_ = 8;
      dib.table_.assign(256, 0);
      std::copy_n(palette.begin(), std::min<size_t>(palette.size(), 256), dib.table_.begin());
    } else if (b.format == Bitmap::Format::kIndexed8) {
      dib.bit_count_ = 8;
      dib.table_.assign(256, 0);
      std::copy_n(b.palette.begin(), std::min<size_t>(b.palette.size(), 256), dib.table_.begin());
    } else if (b.format == Bitmap::Format::kMask1) {
      dib.bit_count_ = 1;
      dib.table_ = {0x000000, 0xFFFFFF};
    } else {
      dib.bit_count_ = 24;
    }
    const size_t row = dib.RowBytes();
    dib.bits_.assign(row * b.height, 0);
    TNearestColour nearest(palette);
    for (int y = 0; y < b.height; ++y) {
      uint8_t* d = &dib.bits_[row * (b.height - 1 - y)];
      for (int x = 0; x < b.width; ++x) {
        size_t i = static_cast<size_t>(y) * b.width + x;
        switch (dib.bit_count_) {
          case 1:
            if (b.indices[i]) d[x >> 3] |= uint8_t(0x80 >> (x & 7));
            break;
          case 8:
            d[x] = palette.empty() ? b.indices[i] : uint8_t(nearest.Index(b.ColorAt(x, y)));
            break;
          default: {
            uint32_t c = b.pixels[i];
            d[3 * x] = uint8_t(c), d[3 * x + 1] = uint8_t(c >> 8), d[3 * x + 2] = uint8_t(c >> 16);
          }
        }
      }
    }
    return dib;
  } catch (...) {
    return std::nullopt;
  }
}

Bitmap TDib::MakeDeviceBitmap() const {
  Bitmap out;
  out.width = width_;
  out.height = height_;
  const size_t row = RowBytes();
  const size_t n = static_cast<size_t>(width_) * height_;
  if (bit_count_ == 8) {
    out.format = Bitmap::Format::kIndexed8;
    out.palette = table_;
    out.indices.resize(n);
  } else if (bit_count_ == 1) {
    out.format = Bitmap::Format::kMask1;
    out.indices.resize(n);
  } else {
    out.format = Bitmap::Format::kRgb32;
    out.pixels.resize(n);
  }
  for (int y = 0; y < height_; ++y) {
    const uint8_t* s = &bits_[row * (height_ - 1 - y)];
    for (int x = 0; x < width_; ++x) {
      size_t i = static_cast<size_t>(y) * width_ + x;
      if (bit_count_ == 8) {
        out.indices[i] = s[x];
      } else if (bit_count_ == 1) {
        out.indices[i] = (s[x >> 3] >> (7 - (x & 7))) & 1;
      } else {
        out.pixels[i] = s[3 * x] | (uint32_t(s[3 * x + 1]) << 8) | (uint32_t(s[3 * x + 2]) << 16);
      }
    }
  }
  return out;
}

std::unique_ptr<Bitmap> RemapToPalette(std::unique_ptr<Bitmap> bitmap,
                                       std::span<const uint32_t> shared_palette) {
  if (!bitmap || shared_palette.empty()) return bitmap;
  auto dib = TDib::Create(*bitmap, shared_palette);
  if (!dib) return bitmap;
  try {
    auto remapped = std::make_unique<Bitmap>(dib->MakeDeviceBitmap());
    if (remapped->palette.empty())
      remapped->palette.assign(shared_palette.begin(), shared_palette.end());
    return remapped;
  } catch (...) {
    return bitmap;
  }
}

}  // namespace brisomel
