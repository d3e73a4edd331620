// Recognising image files by their first bytes, and finding the transparent colour of a GIF
// or PNG file without decoding its pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace brisomel {

enum TImageType : int {
  itUnknown = 0,
  itBitmap = 1,  // "BM"
  itGif = 2,     // "GIF8" not followed by '9'
  itGif89 = 3,   // "GIF89"
  itPng = 4,     // 0x89 "PNG"
  itJpeg = 5,    // 0xFF 0xD8
};

// How many leading bytes the type test looks at.
inline constexpr size_t kImageTypeBytes = 11;
// How many leading bytes the GIF transparent-colour test looks at.
inline constexpr size_t kGifColorTestBytes = 790;

TImageType ImageTypeOf(std::span<const uint8_t> first_bytes);

// The transparent colour (0x00RRGGBB) of a GIF89 whose graphic control extension directly
// follows the global colour table; none otherwise. Looks at the first 790 bytes only.
std::optional<uint32_t> GifTransparentColor(std::span<const uint8_t> file_start);

// The transparent colour (0x00RRGGBB) of a palette PNG whose tRNS makes its first palette
// entry transparent (alpha below 127); none otherwise. Walks the chunk headers only.
std::optional<uint32_t> PngTransparentColor(std::span<const uint8_t> file);

}  // namespace brisomel
