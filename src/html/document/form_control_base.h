// What the document's layout and painting need of a form control. The form controls
// themselves (edit, button, check box, list box, ...) come with the forms of a later issue and
// derive from this; text sections hold them at marker 0x02 and place them like inline objects.
#pragma once

#include <cstdint>

#include "platform/canvas.h"

namespace brisomel {

class TFormControlObj {
 public:
  virtual ~TFormControlObj() = default;

  // Size of the control on the page.
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // Sits on the text baseline (edits, buttons) rather than on the bottom of the text area.
  virtual bool OnBaseline() const { return false; }
  // Measures itself on the canvas before a document layout.
  virtual void Measure(Canvas& canvas) {}
  // Screen: shows the window control at (X, Top) in window coordinates.
  virtual void Show(int32_t X, int32_t Top) {}
  // Printing: draws itself at (X, Top).
  virtual void Print(Canvas& canvas, int32_t X, int32_t Top) {}
  // Hides the window control, or moves it off to the left when focus must stay in the page.
  virtual void Hide() {}
  virtual void MoveOff() {}
  virtual bool HasFocus() const { return false; }
  // Fills a radio button's panel with the colour behind it.
  virtual void SetPanelColor(Color color) {}
  // Records the click offsets of an image input.
  virtual void SetClickOffsets(int32_t X, int32_t Y) {}

  int32_t Pos = 0;        // character position in its section
  int32_t YValue = 0;     // document Y of the line that holds it
  bool ShowIt = false;    // drawn in the current paint
  bool HasWindow = true;  // has a window control (hidden fields do not)
};

}  // namespace brisomel
