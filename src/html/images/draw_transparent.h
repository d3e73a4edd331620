// Drawing a bitmap through its transparency mask.
#pragma once

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/geometry.h"

namespace brisomel {

// Stretches `image` into `dest` showing the background where `mask` is white: the mask is
// ANDed onto the destination (stretched white-on-black, so thin transparent lines survive a
// shrink), then the image with its transparent pixels cleared is ORed on (colour-on-colour).
// Nothing is drawn on a monochrome destination, or when the mask's size differs from the
// image's. The canvas's stretch mode is left as it was.
void DrawTransparent(Canvas& canvas, const Bitmap& image, const Bitmap& mask, const Rect& dest);

}  // namespace brisomel
