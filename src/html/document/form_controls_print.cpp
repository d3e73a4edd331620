// Form controls on paper: each prints as a drawing of itself in a box of its size with a 3-D
// frame, showing its current state (text, caption, check mark, visible list items).
#include <algorithm>
#include <string>
#include <vector>

#include "html/document/drawing.h"
#include "html/document/form_controls.h"

namespace brisomel {
namespace {

Rect Box(int32_t X, int32_t Y, int32_t W, int32_t H) { return Rect{X, Y, X + W, Y + H}; }

// Lines of text from (X + 4, Y + 4) down, one text height apart, clipped to the box inset by
// 4 pixels at the top left and 8 at the bottom right.
void PrintLines(Canvas& canvas, const Rect& box, const FontSpec& font,
                const std::vector<std::u16string>& lines) {
  canvas.SaveState();
  canvas.SetFont(font);
  canvas.SetTextAlign(kAlignLeft | kAlignTop);
  canvas.SetBkMode(BkMode::kTransparent);
  canvas.SetTextColor(0);
  const int32_t height = canvas.GetTextMetrics().height;
  const Rect clip{box.left + 4, box.top + 4, box.right - 8, box.bottom - 8};
  for (size_t i = 0; i < lines.size(); ++i) {
    const int32_t y = box.top + 4 + static_cast<int32_t>(i) * height;
    if (y >= clip.bottom) break;
    canvas.ExtTextOut(box.left + 4, y, kTextClipped, &clip, lines[i]);
  }
  canvas.RestoreState();
}

}  // namespace

void TEditFormControlObj::PrintAt(Canvas& canvas, int32_t X, int32_t Y) {
  const Rect box = Box(X, Y, Width(), Height());
  DrawControlFrame(canvas, box, false);
  canvas.SaveState();
  canvas.SetFont(FixedFont());
  canvas.SetTextAlign(kAlignLeft | kAlignTop);
  canvas.SetBkMode(BkMode::kTransparent);
  canvas.SetTextColor(0);
  const int32_t height = canvas.GetTextMetrics().height;
  const Rect clip{box.left + 4, box.top, box.right - 8, box.bottom};
  // A password prints as its stars, as the screen shows it.
  const std::u16string text = Password ? std::u16string(Text().size(), u'*') : Text();
  canvas.ExtTextOut(X + 4, Y + (Height() - height) / 2, kTextClipped, &clip,
                    text);
  canvas.RestoreState();
}

void TButtonFormControlObj::PrintAt(Canvas& canvas, int32_t X, int32_t Y) {
  const Rect box = Box(X, Y, Width(), Height());
  DrawControlFrame(canvas, box, true);
  const std::u16string caption = TheControl ? TheControl->Text() : Caption();
  canvas.SaveState();
  canvas.SetFont(CaptionFont());
  canvas.SetTextAlign(kAlignLeft | kAlignTop);
  canvas.SetBkMode(BkMode::kTransparent);
  canvas.SetTextColor(0);
  const Size extent = canvas.TextExtent(caption);
  canvas.ExtTextOut(X + (Width() - extent.cx) / 2, Y + (Height() - extent.cy) / 2, kTextClipped,
                    &box, caption);
  canvas.RestoreState();
}

void TCheckBoxFormControlObj::PrintAt(Canvas& canvas, int32_t X, int32_t Y) {
  const Rect box = Box(X, Y, Width(), Height());
  DrawControlFrame(canvas, box, false);
  if (!Checked()) return;
  canvas.SaveState();
  const int32_t ymid = Y + Height() / 2;
  canvas.SetPen(Pen{PenStyle::kSolid, 1, 0});
  canvas.MoveTo(X + 3, ymid);
  canvas.LineTo(X + 5, ymid + 2);
  canvas.LineTo(X + 9, ymid - 2);
  canvas.RestoreState();
}

void TRadioButtonFormControlObj::PrintAt(Canvas& canvas, int32_t X, int32_t Y) {
  const Pen pen = canvas.pen();
  const Brush brush = canvas.brush();
  const Rect circle{X, Y, X + 14, Y + 14};
  const bool monochrome = canvas.GetDeviceCaps().monochrome();
  canvas.SetPen(Pen{PenStyle::kNull, 1, 0});
  canvas.SetBrush(Brush{BrushStyle::kSolid, 0xFFFFFF});
  canvas.Ellipse(circle);
  const Point upper_right{X + 14, Y}, lower_left{X, Y + 14};
  if (monochrome) {
    canvas.SetPen(Pen{PenStyle::kSolid, 1, 0});
    canvas.Arc(circle, upper_right, lower_left);
    canvas.Arc(circle, lower_left, upper_right);
  } else {
    canvas.SetPen(Pen{PenStyle::kSolid, 2, kColorBtnShadow});
    canvas.Arc(circle, upper_right, lower_left);
    canvas.SetPen(Pen{PenStyle::kSolid, 2, 0xC0C0C0});
    canvas.Arc(circle, lower_left, upper_right);
  }
  if (Checked()) {
    canvas.SetPen(Pen{PenStyle::kSolid, 1, 0});
    canvas.SetBrush(Brush{BrushStyle::kSolid, 0});
    canvas.Ellipse(Rect{X + 5, Y + 5, X + 9, Y + 9});
  }
  canvas.SetPen(pen);
  canvas.SetBrush(brush);
}

void TTextAreaFormControlObj::PrintAt(Canvas& canvas, int32_t X, int32_t Y) {
  const Rect box = Box(X, Y, Width(), Height());
  DrawControlFrame(canvas, box, false);
  std::vector<std::u16string> lines = Lines();
  if (static_cast<int32_t>(lines.size()) > Rows)
    lines.resize(static_cast<size_t>(std::max(Rows, 0)));
  PrintLines(canvas, box, FixedFont(), lines);
}

void TListBoxFormControlObj::PrintAt(Canvas& canvas, int32_t X, int32_t Y) {
  const Rect box = Box(X, Y, Width(), Height());
  DrawControlFrame(canvas, box, false);
  const int count = static_cast<int>(TheOptions.size());
  const int top = std::clamp(TheControl ? TheControl->TopIndex() : 0, 0, count);
  const int shown = std::clamp(Size, 0, count - top);
  std::vector<std::u16string> lines;
  for (int i = top; i < top + shown; ++i) lines.push_back(TheOptions[static_cast<size_t>(i)].Text);
  PrintLines(canvas, box, FixedFont(), lines);
}

void TComboFormControlObj::PrintAt(Canvas& canvas, int32_t X, int32_t Y) {
  const Rect box = Box(X, Y, Width(), Height());
  DrawControlFrame(canvas, box, false);
  const int current = ItemIndex();
  if (current < 0 || current >= static_cast<int>(TheOptions.size())) return;
  PrintLines(canvas, box, FixedFont(), {TheOptions[static_cast<size_t>(current)].Text});
}

}  // namespace brisomel
