// The shared palette of 8-bit displays and nearest-colour matching.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace brisomel {

// The 20 static colours of a 256-colour display (entries 0-9 and 246-255, 0x00RRGGBB); the
// entries between are black.
std::vector<uint32_t> SystemPalette();

// 256 entries: the system palette with entries 10-224 replaced by a colour cube (levels 55,
// 115, 165, 205, 235, 255; blue slowest, red fastest; without the all-255 colour) and
// entries 225-248 by 24 greys from 135 to 250 in steps of 5.
std::vector<uint32_t> MakeSharedPalette();

// The entry nearest to `colour` by squared distance in red, green and blue; the first of
// equals, as the display driver picks it.
int NearestPaletteIndex(std::span<const uint32_t> palette, uint32_t colour);

// Nearest-entry lookups repeated over many pixels, remembering answers.
class TNearestColour {
 public:
  explicit TNearestColour(std::span<const uint32_t> palette);
  int Index(uint32_t colour);

 private:
  std::span<const uint32_t> palette_;
  std::vector<int16_t> cache_;  // by 15-bit key: -1 unknown
  std::vector<uint32_t> cache_colour_;
};

}  // namespace brisomel
