#include "html/images/palette.h"

namespace brisomel {

std::vector<uint32_t> SystemPalette() {
  std::vector<uint32_t> p(256, 0);
  const uint32_t low[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                            0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
  const uint32_t high[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                             0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (int i = 0; i < 10; ++i) {
    p[i] = low[i];
    p[246 + i] = high[i];
  }
  return p;
}

std::vector<uint32_t> MakeSharedPalette() {
  std::vector<uint32_t> p = SystemPalette();
  const uint32_t levels[6] = {55, 115, 165, 205, 235, 255};
  int i = 10;
  for (int b = 0; b < 6; ++b) {
    for (int g = 0; g < 6; ++g) {
      for (int r = 0; r < 6; ++r) {
        if (r == 5 && g == 5 && b == 5) continue;
        p[i++] = (levels[r] << 16) | (levels[g] << 8) | levels[b];
      }
    }
  }
  for (int k = 0; k < 24; ++k) {
    uint32_t v = 135 + 5 * k;
    p[225 + k] = (v << 16) | (v << 8) | v;
  }
  return p;
}

int NearestPaletteIndex(std::span<const uint32_t> palette, uint32_t colour) {
  int best = 0;
  int64_t best_distance = INT64_MAX;
  int r = (colour >> 16) & 255, g = (colour >> 8) & 255, b = colour & 255;
  for (size_t i = 0; i < palette.size(); ++i) {
    int dr = r - int((palette[i] >> 16) & 255);
    int dg = g - int((palette[i] >> 8) & 255);
    int db = b - int(palette[i] & 255);
    int64_t d = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
    if (d < best_distance) {
      best_distance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

TNearestColour::TNearestColour(std::span<const uint32_t> palette)
    : palette_(palette), cache_(1 << 15, -1), cache_colour_(1 << 15, 0) {}

int TNearestColour::Index(uint32_t colour) {
  colour &= 0xFFFFFF;
  uint32_t key = ((colour >> 9) & 0x7C00) | ((colour >> 6) & 0x03E0) | ((colour >> 3) & 0x1F);
  if (cache_[key] >= 0 && cache_colour_[key] == colour) return cache_[key];
  int index = NearestPaletteIndex(palette_, colour);
  cache_[key] = static_cast<int16_t>(index);
  cache_colour_[key] = colour;
  return index;
}

}  // namespace brisomel
