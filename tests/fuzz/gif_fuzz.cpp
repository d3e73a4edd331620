// The GIF decoder on any bytes: full decode, header-only read, then every frame, a few
// animation steps and a copy.
#include <cstddef>
#include <cstdint>

#include "html/images/gif_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using brisomel::TGIFImage;
  std::span<const uint8_t> bytes(data, size);
  TGIFImage header;
  header.ReadHeaderFromStream(bytes);
  TGIFImage gif;
  uint32_t now = 0;
  gif.SetClock([&now] { return now; });
  gif.SetPixelBudget(1 << 20);  // keeps each run small; the real budget is tested elsewhere
  if (!gif.LoadFromStream(bytes)) return 0;
  for (int n = 0; n <= gif.FrameCount() + 1 && n < 40; ++n) gif.SetCurrentFrame(n);
  gif.SetAnimate(true);
  for (int i = 0; i < 8; ++i) {
    now += 100000;
    gif.Step(nullptr);
  }
  auto copy = gif.Copy();
  copy->SetCurrentFrame(0);
  return 0;
}
