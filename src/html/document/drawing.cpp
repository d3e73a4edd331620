// Drawing helpers of document objects.
#include "html/document/drawing.h"

#include <string>

namespace brisomel {
namespace {

constexpr Color kSilver = 0xC0C0C0;
constexpr Color kWhite = 0xFFFFFF;

// A background counts as white when it is an explicit white or the window colour while that
// colour is white.
bool IsWhite(Canvas& canvas, Color background) {
  if (IsSystemColor(background)) {
    return background == kColorWindow && canvas.ResolveColor(background) == kWhite;
  }
  return (background & 0xFFFFFF) == kWhite;
}

}  // namespace

void DrawWrappedText(Canvas& canvas, const Rect& rect, std::u16string_view text) {
  int line_height = canvas.TextExtent(u"A").cy;
  if (line_height <= 0) {
    return;
  }
  canvas.SetTextAlign(kAlignLeft | kAlignTop);
  int y = rect.top;
  std::u16string line;
  auto flush = [&] {
    if (!line.empty() && y + line_height <= rect.bottom) {
      canvas.ExtTextOut(rect.left, y, kTextClipped, &rect, line);
    }
    y += line_height;
    line.clear();
  };
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] <= u' ') {
      ++i;
    }
    size_t end = i;
    while (end < text.size() && text[end] != u' ') {
      ++end;
    }
    std::u16string_view word = text.substr(i, end - i);
    while (!word.empty() && word.back() <= u' ') {
      word.remove_suffix(1);
    }
    i = end;
    if (word.empty()) {
      continue;
    }
    std::u16string candidate =
        line.empty() ? std::u16string(word) : line + u' ' + std::u16string(word);
    if (!line.empty() && canvas.TextExtent(candidate).cx > rect.width()) {
      flush();
      if (y + line_height > rect.bottom) {
        return;  // nothing more fits
      }
      line = std::u16string(word);
    } else {
      line = std::move(candidate);
    }
  }
  if (!line.empty()) {
    flush();
  }
}

void DrawControlFrame(Canvas& canvas, const Rect& r, bool raised) {
  if (r.empty()) {
    return;
  }
  Pen pen = canvas.pen();
  Brush brush = canvas.brush();
  canvas.FillRect(r, kWhite);
  if (canvas.GetDeviceCaps().monochrome()) {
    canvas.SetPen(Pen{PenStyle::kInsideFrame, 1, 0});
    canvas.SetBrush(Brush{BrushStyle::kHollow, 0});
    canvas.Rectangle(r);
  } else {
    // Two lines of each colour inside the rectangle, drawn as the platform's 3-D frames are:
    // the left-top lines stop one pixel short of the far corners, so the colours meet on the
    // diagonals of the top-right and bottom-left corners.
    Color top_left = raised ? kSilver : kColorBtnShadow;
    Color bottom_right = raised ? kColorBtnShadow : kSilver;
    int l = r.left, t = r.top, rt = r.right, b = r.bottom;
    canvas.SetPen(Pen{PenStyle::kInsideFrame, 2, top_left});
    canvas.FillRect(Rect{l, t, rt - 1, t + 1}, top_left);
    canvas.FillRect(Rect{l, t + 1, rt - 2, t + 2}, top_left);
    canvas.FillRect(Rect{l, t + 2, l + 1, b - 1}, top_left);
    canvas.FillRect(Rect{l + 1, t + 2, l + 2, b - 2}, top_left);
    canvas.SetPen(Pen{PenStyle::kInsideFrame, 2, bottom_right});
    canvas.FillRect(Rect{l, b - 1, rt, b}, bottom_right);
    canvas.FillRect(Rect{rt - 1, t, rt, b - 1}, bottom_right);
    canvas.FillRect(Rect{l + 1, b - 2, rt - 1, b - 1}, bottom_right);
    canvas.FillRect(Rect{rt - 2, t + 1, rt - 1, b - 2}, bottom_right);
  }
  canvas.SetPen(pen);
  canvas.SetBrush(brush);
}

void DrawCellBorder(bool printing, Color background, Canvas& canvas, const Rect& r, bool raised) {
  Color dark, light;
  if (printing && canvas.GetDeviceCaps().monochrome()) {
    dark = light = 0;
  } else {
    dark = kColorBtnShadow;
    light = printing || IsWhite(canvas, background) ? kSilver : kColorBtnHighlight;
  }
  Color top_left = raised ? light : dark;
  Color bottom_right = raised ? dark : light;
  Pen pen = canvas.pen();
  Point position = canvas.position();
  canvas.SetPen(Pen{PenStyle::kSolid, 1, top_left});
  canvas.MoveTo(r.left, r.bottom);
  canvas.LineTo(r.left, r.top);
  canvas.LineTo(r.right, r.top);
  canvas.SetPen(Pen{PenStyle::kSolid, 1, bottom_right});
  canvas.MoveTo(r.right, r.top);
  canvas.LineTo(r.right, r.bottom);
  canvas.LineTo(r.left, r.bottom);
  canvas.SetPen(pen);
  canvas.MoveTo(position.x, position.y);
}

}  // namespace brisomel
