// The controls port on real Win32 controls: EDIT (single-line, password and multi-line), BUTTON
// (push button, auto check box, auto radio button), LISTBOX and COMBOBOX (drop-down list),
// children of one paint window. A radio button sits in a borderless panel window of its own
// that paints the panel colour behind it.
//
// Clicks reach the paint window as WM_COMMAND; the factory subclasses the paint window (and
// each control, for focus changes and the Enter key) to turn them into the controls' events,
// and restores the paint window's procedure when it goes. The factory must outlive its
// controls.
//
// Controls are created hidden; the engine shows them where it paints them. Each control keeps
// the bounds it was given (with the platform's height for a drop-down list), so that placing
// thousands of controls costs one move each.
#pragma once

#include <memory>

#include "platform/controls.h"

struct HWND__;

namespace brisomel {

class Win32Controls : public Controls {
 public:
  explicit Win32Controls(HWND__* parent);
  ~Win32Controls() override;
  Win32Controls(const Win32Controls&) = delete;
  Win32Controls& operator=(const Win32Controls&) = delete;

  std::unique_ptr<WindowControl> Create(TControlKind kind, const TControlOptions& options,
                                        const Rect& bounds) override;
  FontSpec ScreenFont() const override { return FontSpec{"MS Sans Serif", 8}; }

  HWND__* Parent() const { return parent_; }
  // The window a control's events come from (the radio button inside its panel), for tests
  // that send it messages; the window its bounds are those of (the panel).
  static HWND__* InputWindow(const WindowControl& control);
  static HWND__* OuterWindow(const WindowControl& control);

  struct FontCache;

 private:
  HWND__* parent_;
  void* old_procedure_ = nullptr;
  std::unique_ptr<FontCache> fonts_;  // one font object per description, for all controls
};

}  // namespace brisomel
