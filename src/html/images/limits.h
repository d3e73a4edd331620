// Limits every decoder applies to untrusted files.
#pragma once

#include <cstdint>

namespace brisomel {

// Width x height above 16384 x 16384 gives no image: larger buffers than any page needs, and
// more than a 32-bit process can hold.
inline constexpr int64_t kMaxImagePixels = int64_t{16384} * 16384;

}  // namespace brisomel
