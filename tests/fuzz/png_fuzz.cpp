// The PNG decoder on any bytes, and masks of what it decodes. Chunk CRCs are put right
// before decoding, so that mutations reach the decoder instead of stopping at the CRC test
// (inputs whose chunks run past the end keep their bytes as they are).
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "html/images/masks.h"
#include "html/images/png_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> png(data, data + size);
  for (size_t at = 8; at + 12 <= png.size();) {
    const size_t length =
        size_t{png[at]} << 24 | size_t{png[at + 1]} << 16 | size_t{png[at + 2]} << 8 | png[at + 3];
    if (length > png.size() - at - 12) break;
    const uLong crc = crc32(0, &png[at + 4], static_cast<uInt>(length + 4));
    for (int i = 0; i < 4; ++i)
      png[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
  auto image = brisomel::TPngImage::Decode(png, 1 << 18);  // small pictures: more runs
  if (image) brisomel::MakeMask(image->bitmap, false, 0);
  return 0;
}
