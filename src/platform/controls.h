// The controls port: native form controls inside the viewer's paint window. The engine creates
// one per form control, sizes and places it in the paint window's client coordinates, fills it
// (text, items, checked state), reads back what the user did, and listens to its events.
//
// One interface serves every kind; an operation that means nothing for a kind (items of an
// edit, the checked state of a list box) does nothing and answers empty. Bounds are those of
// the whole window, frame included; a radio button's bounds are those of the borderless panel
// it sits in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/geometry.h"

namespace brisomel {

enum class TControlKind {
  ckEdit,         // single-line edit
  ckPassword,     // single-line edit showing "*" for every character
  ckButton,       // push button
  ckCheckBox,     // check box without caption
  ckRadioButton,  // radio button without caption, in a panel of its own
  ckListBox,      // list box
  ckComboBox,     // drop-down list (no typing)
  ckMemo,         // multi-line edit
};

struct TControlOptions {
  bool MultiSelect = false;  // list box: multiple and extended selection
  bool WordWrap = false;     // memo: word wrap and a vertical scroll bar; else both bars
};

// What a control reports. The engine sets these right after creating the control.
struct TControlEvents {
  std::function<void()> OnClick;   // buttons, check boxes, radio buttons, by the user
  std::function<void()> OnEnter;   // the control took the focus
  std::function<void()> OnExit;    // the control lost the focus
  std::function<void()> OnReturn;  // Enter pressed in a single-line edit
};

class WindowControl {
 public:
  virtual ~WindowControl() = default;
  virtual TControlKind Kind() const = 0;

  virtual void SetBounds(const Rect& bounds) = 0;
  virtual Rect Bounds() const = 0;
  // The window size that gives a client area of `client` (frame and scroll bars added).
  virtual Size WindowSizeForClient(Size client) const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  virtual void SetFont(const FontSpec& font) = 0;
  virtual bool Focused() const = 0;
  virtual void SetFocus() = 0;

  // Edit and memo text (lines joined by CR LF), button caption; UTF-16 like all engine text.
  virtual void SetText(std::u16string_view text) = 0;
  virtual std::u16string Text() const = 0;
  virtual void SetMaxLength(int length) = 0;  // 0: no limit
  // Caret at the start, nothing selected, scrolled to the top (memo reset).
  virtual void ResetCaret() = 0;
  // Memo lines as the control holds them.
  virtual int LineCount() const = 0;
  virtual std::u16string Line(int index) const = 0;
  // The first line or item shown at the top.
  virtual int TopIndex() const = 0;
  virtual void SetTopIndex(int index) = 0;

  // Check boxes and radio buttons.
  virtual void SetChecked(bool checked) = 0;
  virtual bool Checked() const = 0;
  // A radio button's panel colour; the panel repaints.
  virtual void SetPanelColor(Color color) = 0;

  // List and combo boxes.
  // Replaces the items (none current, none selected).
  virtual void SetItems(const std::vector<std::u16string>& items) = 0;
  virtual int ItemCount() const = 0;
  virtual std::u16string ItemText(int index) const = 0;
  // The current item (-1: none). In a single-selection list the current item is the selected
  // one.
  virtual void SetItemIndex(int index) = 0;
  virtual int ItemIndex() const = 0;
  // Selection of one item of a multiple-selection list box.
  virtual void SetSelected(int index, bool selected) = 0;
  virtual bool Selected(int index) const = 0;

  TControlEvents Events;
};

// Makes the controls of one paint window.
class Controls {
 public:
  virtual ~Controls() = default;
  // A control at `bounds`, hidden until shown; null when the platform refused.
  virtual std::unique_ptr<WindowControl> Create(TControlKind kind, const TControlOptions& options,
                                                const Rect& bounds) = 0;
  // The font the screen uses for control captions and default widths.
  virtual FontSpec ScreenFont() const = 0;
};

}  // namespace brisomel
