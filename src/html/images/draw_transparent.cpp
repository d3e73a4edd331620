#include "html/images/draw_transparent.h"

namespace brisomel {

void DrawTransparent(Canvas& canvas, const Bitmap& image, const Bitmap& mask, const Rect& dest) {
  if (image.empty() || mask.width != image.width || mask.height != image.height) return;
  if (canvas.GetDeviceCaps().monochrome()) return;
  const Rect source{0, 0, image.width, image.height};
  // The image with its transparent pixels black (image AND NOT mask); the original stays as
  // it is, so nothing needs restoring afterwards.
  Bitmap cleared = Bitmap::Rgb32(image.width, image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      size_t i = static_cast<size_t>(y) * image.width + x;
      cleared.pixels[i] = mask.indices[i] ? 0 : image.ColorAt(x, y);
    }
  }
  canvas.SaveState();
  canvas.SetStretchMode(StretchMode::kWhiteOnBlack);
  canvas.StretchBitmap(dest, mask, source, kSrcAnd);
  canvas.SetStretchMode(StretchMode::kColorOnColor);
  canvas.StretchBitmap(dest, cleared, source, kSrcPaint);
  canvas.RestoreState();
}

}  // namespace brisomel
