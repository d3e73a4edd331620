// The controls port in memory.
#include "platform/headless/memory_controls.h"

#include <algorithm>

#include "text/utf.h"

namespace brisomel {
namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kSilver = 0xC0C0C0;
constexpr Color kGrey = 0x808080;
constexpr Color kBlack = 0x000000;
constexpr Color kNavy = 0x800000;

bool IsList(TControlKind kind) {
  return kind == TControlKind::ckListBox || kind == TControlKind::ckComboBox;
}

// A two-pixel 3-D frame inside `r`: sunken has the dark edges left and top.
void Frame(Canvas& canvas, const Rect& r, bool sunken) {
  Color outer_lt = sunken ? kGrey : kWhite, outer_rb = sunken ? kWhite : kBlack;
  Color inner_lt = sunken ? kBlack : kSilver, inner_rb = sunken ? kSilver : kGrey;
  auto edges = [&](const Rect& e, Color lt, Color rb) {
    canvas.FillRect(Rect{e.left, e.top, e.right, e.top + 1}, lt);
    canvas.FillRect(Rect{e.left, e.top, e.left + 1, e.bottom}, lt);
    canvas.FillRect(Rect{e.left, e.bottom - 1, e.right, e.bottom}, rb);
    canvas.FillRect(Rect{e.right - 1, e.top, e.right, e.bottom}, rb);
  };
  edges(r, outer_lt, outer_rb);
  edges(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, inner_lt, inner_rb);
}

void DrawText(Canvas& canvas, int x, int y, const Rect& clip, std::u16string_view text,
              Color color) {
  canvas.SetTextColor(color);
  canvas.SetBkMode(BkMode::kTransparent);
  canvas.ExtTextOut(x, y, kTextClipped, &clip, text);
}

}  // namespace

MemoryControl::MemoryControl(MemoryControls& owner, TControlKind kind,
                             const TControlOptions& options)
    : owner_(owner), kind_(kind), options_(options) {}

MemoryControl::~MemoryControl() { owner_.Forget(this); }

void MemoryControl::SetBounds(const Rect& bounds) {
  bounds_ = bounds;
  if (kind_ == TControlKind::ckComboBox) bounds_.bottom = bounds_.top + kComboHeight;
}

Size MemoryControl::WindowSizeForClient(Size client) const {
  Size s{client.cx + 2 * kFrame, client.cy + 2 * kFrame};
  if (kind_ == TControlKind::ckMemo) {
    s.cx += kScrollBar;
    if (!options_.WordWrap) s.cy += kScrollBar;
  }
  return s;
}

bool MemoryControl::Focused() const { return owner_.Focused() == this; }

void MemoryControl::SetFocus() { owner_.Focus(this); }

void MemoryControl::SetText(std::u16string_view text) {
  text_ = text;
  lines_valid_ = false;
  if (max_length_ > 0 && (kind_ == TControlKind::ckEdit || kind_ == TControlKind::ckPassword) &&
      static_cast<int>(text_.size()) > max_length_)
    text_.resize(static_cast<size_t>(max_length_));
}

const std::vector<std::u16string>& MemoryControl::Lines() const {
  if (lines_valid_) return lines_;
  lines_.clear();
  lines_valid_ = true;
  size_t start = 0;
  while (start < text_.size()) {
    size_t end = text_.find(u"\r\n", start);
    if (end == std::u16string::npos) end = text_.size();
    lines_.push_back(text_.substr(start, end - start));
    // A text ending in a line break has no further line.
    start = end + 2;
  }
  return lines_;
}

int MemoryControl::LineCount() const {
  if (kind_ != TControlKind::ckMemo) return 0;
  return static_cast<int>(Lines().size());
}

std::u16string MemoryControl::Line(int index) const {
  const std::vector<std::u16string>& lines = Lines();
  return index >= 0 && index < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(index)]
                                                              : std::u16string();
}

void MemoryControl::SetTopIndex(int index) {
  int count = kind_ == TControlKind::ckMemo ? LineCount() : ItemCount();
  top_index_ = std::clamp(index, 0, std::max(count - 1, 0));
}

void MemoryControl::SetItems(const std::vector<std::u16string>& items) {
  if (!IsList(kind_)) return;
  items_ = items;
  selected_.assign(items_.size(), false);
  item_index_ = -1;
  top_index_ = 0;
}

std::u16string MemoryControl::ItemText(int index) const {
  return index >= 0 && index < ItemCount() ? items_[static_cast<size_t>(index)] : std::u16string();
}

void MemoryControl::SetItemIndex(int index) {
  if (!IsList(kind_)) return;
  item_index_ = index >= 0 && index < ItemCount() ? index : -1;
  if (!options_.MultiSelect) {
    std::fill(selected_.begin(), selected_.end(), false);
    if (item_index_ >= 0) selected_[static_cast<size_t>(item_index_)] = true;
  }
}

void MemoryControl::SetSelected(int index, bool selected) {
  if (index < 0 || index >= ItemCount()) return;
  if (!options_.MultiSelect) {
    if (selected) SetItemIndex(index);
    return;
  }
  selected_[static_cast<size_t>(index)] = selected;
}

bool MemoryControl::Selected(int index) const {
  return index >= 0 && index < ItemCount() && selected_[static_cast<size_t>(index)];
}

// --- What a user does ---

void MemoryControl::Click() {
  SetFocus();
  switch (kind_) {
    case TControlKind::ckCheckBox:
      checked_ = !checked_;
      break;
    case TControlKind::ckRadioButton:
      checked_ = true;
      break;
    case TControlKind::ckButton:
      break;
    default:
      return;  // other controls report no clicks
  }
  if (Events.OnClick) Events.OnClick();
}

void MemoryControl::Type(std::string_view keys) {
  SetFocus();
  lines_valid_ = false;
  for (char16_t c : Utf8ToUtf16(keys)) {
    if (c == '\r') {
      if (kind_ == TControlKind::ckMemo) {
        text_ += u"\r\n";
      } else {
        PressReturn();
      }
      continue;
    }
    if (kind_ != TControlKind::ckEdit && kind_ != TControlKind::ckPassword &&
        kind_ != TControlKind::ckMemo)
      continue;
    if (max_length_ > 0 && static_cast<int>(text_.size()) >= max_length_) continue;
    text_.push_back(c);
  }
}

void MemoryControl::PressReturn() {
  if (kind_ != TControlKind::ckEdit && kind_ != TControlKind::ckPassword) return;
  if (Events.OnReturn) Events.OnReturn();
}

void MemoryControl::PickItem(int index) {
  if (!IsList(kind_) || index < 0 || index >= ItemCount()) return;
  SetFocus();
  if (options_.MultiSelect) {
    selected_[static_cast<size_t>(index)] = !selected_[static_cast<size_t>(index)];
    item_index_ = index;
  } else {
    SetItemIndex(index);
  }
}

// --- Drawing ---

void MemoryControl::Paint(Canvas& canvas) const {
  const Rect r = bounds_;
  if (r.empty()) return;
  canvas.SaveState();
  canvas.SetFont(font_);
  canvas.SetTextAlign(kAlignLeft | kAlignTop);
  const int text_height = canvas.GetTextMetrics().height;
  const Rect inner{r.left + kFrame, r.top + kFrame, r.right - kFrame, r.bottom - kFrame};
  switch (kind_) {
    case TControlKind::ckEdit:
    case TControlKind::ckPassword: {
      canvas.FillRect(r, kWhite);
      Frame(canvas, r, true);
      std::u16string shown =
          kind_ == TControlKind::ckPassword ? std::u16string(text_.size(), u'*') : text_;
      DrawText(canvas, inner.left + 2, r.top + (r.height() - text_height) / 2, inner, shown,
               kBlack);
      break;
    }
    case TControlKind::ckButton: {
      canvas.FillRect(r, kSilver);
      Frame(canvas, r, false);
      int w = canvas.TextExtent(text_).cx;
      DrawText(canvas, r.left + (r.width() - w) / 2, r.top + (r.height() - text_height) / 2, inner,
               text_, kBlack);
      break;
    }
    case TControlKind::ckCheckBox: {
      canvas.FillRect(r, kWhite);
      Frame(canvas, r, true);
      if (checked_) {
        int x = r.left + 3, ym = r.top + r.height() / 2;
        canvas.SetPen(Pen{PenStyle::kSolid, 2, kBlack});
        canvas.MoveTo(x, ym);
        canvas.LineTo(x + 2, ym + 2);
        canvas.LineTo(x + 6, ym - 2);
      }
      break;
    }
    case TControlKind::ckRadioButton: {
      canvas.FillRect(r, panel_color_);
      const Rect circle{r.left, r.top, r.left + 13, r.top + 13};
      canvas.SetBrush(Brush{BrushStyle::kSolid, kWhite});
      canvas.SetPen(Pen{PenStyle::kSolid, 1, kGrey});
      canvas.Ellipse(circle);
      if (checked_) {
        canvas.SetBrush(Brush{BrushStyle::kSolid, kBlack});
        canvas.SetPen(Pen{PenStyle::kSolid, 1, kBlack});
        canvas.Ellipse(Rect{r.left + 4, r.top + 4, r.left + 9, r.top + 9});
      }
      break;
    }
    case TControlKind::ckListBox: {
      canvas.FillRect(r, kWhite);
      Frame(canvas, r, true);
      int y = inner.top;
      for (int i = top_index_; i < ItemCount() && y < inner.bottom; ++i, y += text_height) {
        const bool marked = options_.MultiSelect ? Selected(i) : i == item_index_;
        if (marked)
          canvas.FillRect(Rect{inner.left, y, inner.right, std::min(y + text_height, inner.bottom)},
                          kNavy);
        DrawText(canvas, inner.left + 1, y, inner, items_[static_cast<size_t>(i)],
                 marked ? kWhite : kBlack);
      }
      break;
    }
    case TControlKind::ckComboBox: {
      canvas.FillRect(r, kWhite);
      Frame(canvas, r, true);
      const Rect button{std::max(inner.left, inner.right - kScrollBar), inner.top, inner.right,
                        inner.bottom};
      canvas.FillRect(button, kSilver);
      Frame(canvas, button, false);
      const int ax = (button.left + button.right) / 2, ay = (button.top + button.bottom) / 2 - 1;
      canvas.SetBrush(Brush{BrushStyle::kSolid, kBlack});
      canvas.SetPen(Pen{PenStyle::kSolid, 1, kBlack});
      canvas.Polygon({Point{ax - 3, ay}, Point{ax + 3, ay}, Point{ax, ay + 3}});
      const Rect field{inner.left, inner.top, button.left, inner.bottom};
      DrawText(canvas, field.left + 2, r.top + (r.height() - text_height) / 2, field,
               ItemText(item_index_), kBlack);
      break;
    }
    case TControlKind::ckMemo: {
      canvas.FillRect(r, kWhite);
      Frame(canvas, r, true);
      Rect text_area = inner;
      text_area.right = std::max(text_area.left, text_area.right - kScrollBar);
      if (!options_.WordWrap)
        text_area.bottom = std::max(text_area.top, text_area.bottom - kScrollBar);
      canvas.FillRect(Rect{text_area.right, inner.top, inner.right, inner.bottom}, kSilver);
      if (!options_.WordWrap)
        canvas.FillRect(Rect{inner.left, text_area.bottom, inner.right, inner.bottom}, kSilver);
      const std::vector<std::u16string>& lines = Lines();
      int y = text_area.top;
      for (size_t i = static_cast<size_t>(top_index_); i < lines.size() && y < text_area.bottom;
           ++i, y += text_height)
        DrawText(canvas, text_area.left + 2, y, text_area, lines[i], kBlack);
      break;
    }
  }
  canvas.RestoreState();
}

// --- The factory ---

std::unique_ptr<WindowControl> MemoryControls::Create(TControlKind kind,
                                                      const TControlOptions& options,
                                                      const Rect& bounds) {
  auto control = std::make_unique<MemoryControl>(*this, kind, options);
  control->SetBounds(bounds);
  control->SetVisible(false);
  controls_.push_back(control.get());
  return control;
}

void MemoryControls::Focus(MemoryControl* control) {
  if (focused_ == control) return;
  MemoryControl* old = focused_;
  focused_ = control;
  if (old && old->Events.OnExit) old->Events.OnExit();
  if (control && control->Events.OnEnter) control->Events.OnEnter();
}

void MemoryControls::Paint(Canvas& canvas) const {
  for (const MemoryControl* c : controls_)
    if (c->Visible()) c->Paint(canvas);
}

void MemoryControls::Forget(MemoryControl* control) {
  std::erase(controls_, control);
  if (focused_ == control) focused_ = nullptr;
}

}  // namespace brisomel
