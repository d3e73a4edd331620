// The built-in corner image that the reader writes out as "rhcorner.gif" when the book has
// none: an animated, looping GIF89a of 48 x 36 pixels (made by resources/make_resources.py).
#pragma once

#include <cstdint>
#include <span>

namespace brisomel {

std::span<const uint8_t> CornerImageBytes();

}  // namespace brisomel
