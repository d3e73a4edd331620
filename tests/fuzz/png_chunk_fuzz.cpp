// The PNG chunk walk, the GIF colour test and the type test on any bytes.
#include <cstddef>
#include <cstdint>

#include "html/images/image_type.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  brisomel::ImageTypeOf(bytes);
  brisomel::PngTransparentColor(bytes);
  brisomel::GifTransparentColor(bytes);
  return 0;
}
