// TPageViewer: selecting text with the mouse, drag auto-scroll, word selection, find, and
// copying the selection.
#include <algorithm>
#include <climits>

#include "html/viewer/page_viewer.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// Word characters: digits, ASCII letters and the Latin-1 letters (not the multiplication and
// division signs). Apostrophes, hyphens and underscores end words.
// ASCII letters and digits, and every character from U+00C0 on except the multiplication
// and division signs and the punctuation blocks (general, CJK, fullwidth ASCII punctuation).
bool IsWordChar(char16_t c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;
  if ((c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F)) return false;
  return !((c >= 0xFF00 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20));
}

}  // namespace

int32_t TPageViewer::PositionAtPanelPoint(int X, int Y, bool* InText) {
  int32_t xr = 0, yr = 0, caret = 0;
  TCell* cell = nullptr;
  bool in_text = false;
  const int32_t pos =
      Document_->PositionAt(Windows_.ScreenCanvas(), X, DocY(Y), xr, yr, caret, cell, in_text);
  if (InText) *InText = in_text;
  return pos;
}

void TPageViewer::StartSelection(int X, int Y) {
  Selecting_ = true;
  SelectionAnchor_ = PositionAtPanelPoint(X, Y);
  if (SelectionAnchor_ < 0) return;
  if (Document_->SelB < Document_->SelE) Invalidate();
  Document_->SelB = Document_->SelE = SelectionAnchor_;
  FindStart = SelectionAnchor_;
}

void TPageViewer::ExtendSelection(int X, int Y) {
  if (!Selecting_ || SelectionAnchor_ < 0) return;
  Y = std::clamp(Y, 0, Height());
  const int32_t P = PositionAtPanelPoint(X, Y);
  if (P >= 0 && P != FindStart && !NoSelect_) {
    Document_->SelB = std::min(SelectionAnchor_, P);
    Document_->SelE = std::max(SelectionAnchor_, P);
    Invalidate();
  }
  if (P >= 0) FindStart = P;
}

void TPageViewer::StartAutoScroll() {
  AutoScrolling_ = true;
  PaintPanel_->Window().SetTimer(kAutoScrollTimer, kAutoScrollInterval);
}

void TPageViewer::StopAutoScroll() {
  if (!AutoScrolling_) return;
  AutoScrolling_ = false;
  PaintPanel_->Window().KillTimer(kAutoScrollTimer);
}

void TPageViewer::AutoScrollStep() {
  const Point p = PaintPanel_->Window().CursorPos();
  const int height = Height();
  if (!AutoScrolling_ || !Selecting_ || (p.y > 0 && p.y <= height)) {
    StopAutoScroll();
    return;
  }
  const bool far = p.y < -15 || p.y > height + 15;
  const int32_t step = far ? 8 * 16 : 16;
  const int32_t target = VerticalPosition() + (p.y <= 0 ? -step : step);
  ScrollTo(target);
  ExtendSelection(p.x, p.y);
  Invalidate();
}

void TPageViewer::HTMLDoubleClick(int X, int Y) {
  if (NoSelect_ || Processing_ || LinkFollowed_) return;
  const int32_t P = PositionAtPanelPoint(X, Y);
  if (P < 0) return;
  FindStart = P;
  // The position must lie on the clicked line (a click past a line's end gives the start of
  // the next one): compare it with the start of the clicked line.
  Canvas& canvas = Windows_.ScreenCanvas();
  const int32_t line_start = PositionAtPanelPoint(INT_MIN / 4, Y);
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  if (line_start < 0 || !Document_->PositionToPoint(canvas, FindStart, x1, y1) ||
      !Document_->PositionToPoint(canvas, line_start, x2, y2) || y1 != y2) {
    return;
  }
  char16_t ch = 0;
  TSectionBase* holder = nullptr;
  if (!Document_->CharAt(FindStart, ch, holder) || !IsWordChar(ch)) return;
  auto word_at = [&](int32_t pos) {
    char16_t c = 0;
    TSectionBase* obj = nullptr;
    return pos >= 0 && Document_->CharAt(pos, c, obj) && obj == holder && IsWordChar(c);
  };
  int32_t first = FindStart, last = FindStart;
  while (word_at(last + 1)) ++last;
  while (word_at(first - 1)) --first;
  Document_->SelB = first;
  Document_->SelE = last + 1;
  Invalidate();
}

bool TPageViewer::FindText(std::u16string_view S, bool MatchCase) {
  if (S.empty()) return false;
  // At most 255 code units, and never half of a surrogate pair.
  std::u16string_view text = S.substr(0, 255);
  if (text.size() < S.size() && IsHighSurrogate(text.back())) text.remove_suffix(1);
  const int32_t M = Document_->FindString(FindStart, text, MatchCase);
  if (M < 0) return false;
  const auto length = static_cast<int32_t>(text.size());
  Document_->SelB = M;
  Document_->SelE = M + length;
  FindStart = M + length;
  int32_t x = 0, y = 0;
  if (Document_->PositionToPoint(Windows_.ScreenCanvas(), M, x, y)) ScrollIntoView(y);
  Invalidate();
  return true;
}

int32_t TPageViewer::SelLength() { return Document_->SelectionLength(); }

void TPageViewer::SetSelLength(int32_t Value) {
  if (Value != 0) return;
  Document_->SelE = Document_->SelB;
  Invalidate();
}

void TPageViewer::CopyToClipboard() {
  const std::u16string text = SelText();
  if (!text.empty()) Windows_.SetClipboardText(Utf16ToUtf8(text));
}

}  // namespace brisomel
