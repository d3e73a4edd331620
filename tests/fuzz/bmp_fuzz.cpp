// The Windows bitmap reader on any bytes, and masks of what it reads.
#include <cstddef>
#include <cstdint>

#include "html/images/bmp_reader.h"
#include "html/images/masks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto bmp = brisomel::ReadWindowsBitmap({data, size}, 1 << 16);  // small pictures: more runs
  if (bmp) brisomel::MakeMask(*bmp, false, 0);
  return 0;
}
