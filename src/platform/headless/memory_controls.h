// The controls port in memory: every control is a plain state object that engine tests drive
// as a user would (click, type, press Enter, pick items, move the focus) and read back, and
// that the renderer draws onto its picture with the software canvas.
//
// Sizes follow a classic 3-D look: a sunken frame of 2 pixels around edits, memos and lists,
// 16-pixel scroll bars, drop-down lists 22 pixels tall whatever height they are given. Memo
// lines are the hard lines of the text (no soft wrapping).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/controls.h"

namespace brisomel {

class MemoryControls;

class MemoryControl : public WindowControl {
 public:
  static constexpr int kFrame = 2;
  static constexpr int kScrollBar = 16;
  static constexpr int kComboHeight = 22;

  MemoryControl(MemoryControls& owner, TControlKind kind, const TControlOptions& options);
  ~MemoryControl() override;

  TControlKind Kind() const override { return kind_; }
  void SetBounds(const Rect& bounds) override;
  Rect Bounds() const override { return bounds_; }
  Size WindowSizeForClient(Size client) const override;
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void SetFont(const FontSpec& font) override { font_ = font; }
  bool Focused() const override;
  void SetFocus() override;

  void SetText(std::u16string_view text) override;
  std::u16string Text() const override { return text_; }
  void SetMaxLength(int length) override { max_length_ = length; }
  void ResetCaret() override { top_index_ = 0; }
  int LineCount() const override;
  std::u16string Line(int index) const override;
  int TopIndex() const override { return top_index_; }
  void SetTopIndex(int index) override;

  void SetChecked(bool checked) override { checked_ = checked; }
  bool Checked() const override { return checked_; }
  void SetPanelColor(Color color) override { panel_color_ = color; }

  void SetItems(const std::vector<std::u16string>& items) override;
  int ItemCount() const override { return static_cast<int>(items_.size()); }
  std::u16string ItemText(int index) const override;
  void SetItemIndex(int index) override;
  int ItemIndex() const override { return item_index_; }
  void SetSelected(int index, bool selected) override;
  bool Selected(int index) const override;

  // --- What a user does ---
  // A mouse click: focus, then a button reports it, a check box toggles, a radio button
  // checks itself, each reporting the click.
  void Click();
  // Typed characters at the end of the text (within the maximum length); "\r" in a memo starts
  // a new line, in an edit it is Enter. The keys are UTF-8.
  void Type(std::string_view keys);
  void PressReturn();
  // A click on item `index` of a list (a multiple-selection list toggles it) or a pick from a
  // drop-down list.
  void PickItem(int index);

  const TControlOptions& Options() const { return options_; }
  const FontSpec& Font() const { return font_; }
  Color PanelColor() const { return panel_color_; }
  // Draws the control at its bounds.
  void Paint(Canvas& canvas) const;

 private:
  // The memo's lines, split once per change of the text.
  const std::vector<std::u16string>& Lines() const;

  MemoryControls& owner_;
  TControlKind kind_;
  TControlOptions options_;
  Rect bounds_;
  bool visible_ = false;
  FontSpec font_;
  std::u16string text_;
  mutable std::vector<std::u16string> lines_;
  mutable bool lines_valid_ = false;
  int max_length_ = 0;
  int top_index_ = 0;
  bool checked_ = false;
  Color panel_color_ = 0xC0C0C0;
  std::vector<std::u16string> items_;
  std::vector<bool> selected_;
  int item_index_ = -1;
};

// The factory must outlive the controls it made.
class MemoryControls : public Controls {
 public:
  std::unique_ptr<WindowControl> Create(TControlKind kind, const TControlOptions& options,
                                        const Rect& bounds) override;
  FontSpec ScreenFont() const override { return FontSpec{"MS Sans Serif", 8}; }

  // Live controls in creation order.
  const std::vector<MemoryControl*>& All() const { return controls_; }
  MemoryControl* Focused() const { return focused_; }
  // Moves the focus (null: to the paint window itself), reporting exit and enter.
  void Focus(MemoryControl* control);
  // Draws every visible control onto the canvas, in creation order.
  void Paint(Canvas& canvas) const;

 private:
  friend class MemoryControl;
  void Forget(MemoryControl* control);
  std::vector<MemoryControl*> controls_;
  MemoryControl* focused_ = nullptr;
};

}  // namespace brisomel
