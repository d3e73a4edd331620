// Drawing the GIF's composite picture on a canvas. Opaque animations (frame 1 opaque) are
// simply stretched. Transparent ones show the page beneath: the composite (black where
// transparent) is XORed, the composite mask ANDed and the composite ORed, which leaves the
// background where the mask is white. With disposal 0 or 1 this happens in a drawing buffer
// that holds what lies under the image, so the picture is put on the canvas in one copy.
#include "html/images/gif_image.h"
#include "platform/canvas.h"

namespace brisomel {

void TGIFImage::RefreshBuffer(Canvas& buffer, int x, int y, const TGifBackdrop& backdrop) {
  const int w = buffer_size_.cx, h = buffer_size_.cy;
  if (backdrop.has_cell_colour) {
    buffer.FillRect(Rect{0, 0, w, h}, backdrop.cell_colour);
  } else if (backdrop.image && !backdrop.image->empty()) {
    // Tiles placed in document coordinates, so that they line up with the page's.
    const Bitmap& tile = *backdrop.image;
    int doc_x = x + backdrop.scroll.x, doc_y = y + backdrop.scroll.y;
    int start_x = -(((doc_x % tile.width) + tile.width) % tile.width);
    int start_y = -(((doc_y % tile.height) + tile.height) % tile.height);
    for (int ty = start_y; ty < h; ty += tile.height) {
      for (int tx = start_x; tx < w; tx += tile.width) buffer.DrawBitmap(tx, ty, tile);
    }
  } else {
    buffer.FillRect(Rect{0, 0, w, h}, backdrop.colour);
  }
  buffer_needs_refresh_ = false;
}

void TGIFImage::Draw(Canvas& canvas, int x, int y, int w, int h, const TGifBackdrop& backdrop) {
  last_drawn_ = TImageRect{x, y, w, h};
  if (!visible_ || empty_ || header_only_ || frames_.empty() || w <= 0 || h <= 0) return;
  const Rect dest{x, y, x + w, y + h};
  const Rect source{0, 0, width_, height_};
  canvas.SaveState();
  canvas.SetStretchMode(StretchMode::kColorOnColor);
  if (!frames_[0]->transparent) {
    canvas.StretchBitmap(dest, composite_, source, kSrcCopy);
  } else if (frames_[current_frame_ - 1]->disposal <= dmLeave) {
    if (!buffer_ || buffer_size_.cx != w || buffer_size_.cy != h) {
      buffer_ = canvas.CreateCompatible(w, h);
      buffer_size_ = Size{w, h};
      buffer_needs_refresh_ = true;
    }
    if (buffer_) {
      if (buffer_needs_refresh_) RefreshBuffer(*buffer_, x, y, backdrop);
      const Rect all{0, 0, w, h};
      buffer_->SetStretchMode(StretchMode::kColorOnColor);
      buffer_->StretchBitmap(all, composite_, source, kSrcInvert);
      buffer_->StretchBitmap(all, composite_mask_, source, kSrcAnd);
      buffer_->StretchBitmap(all, composite_, source, kSrcPaint);
      canvas.CopyFrom(dest, *buffer_, Point{0, 0}, kSrcCopy);
    }
  } else {
    canvas.StretchBitmap(dest, composite_, source, kSrcInvert);
    canvas.StretchBitmap(dest, composite_mask_, source, kSrcAnd);
    canvas.StretchBitmap(dest, composite_, source, kSrcPaint);
  }
  canvas.RestoreState();
}

}  // namespace brisomel
