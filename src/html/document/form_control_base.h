// The base of every form control: what a form asks of its controls (reset, submission pairs),
// what the document's layout and painting ask (size, placing and showing the window control,
// printing), and the window control itself, made through the document's controls port.
// Text sections hold controls at marker 0x02 and place them like inline objects; the classes of
// the real controls are in form_controls.h, their form in html_form.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/controls.h"

namespace brisomel {

class ThtmlForm;
class TSectionList;
class TAttributeList;

class TFormControlObj {
 public:
  // A control outside any form and document (layout tests).
  TFormControlObj() = default;
  // Reads VALUE and NAME and joins the document's open form; when none is open an implicit
  // form without attributes is opened first. The caller hands the new control to its form
  // (ThtmlForm::Add).
  TFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos);
  virtual ~TFormControlObj();
  TFormControlObj(const TFormControlObj&) = delete;
  TFormControlObj& operator=(const TFormControlObj&) = delete;

  // The class name the layout dump prints.
  virtual const char* ClassName() const { return "TFormControlObj"; }

  // --- The form's operations ---
  // The window control that takes the focus.
  virtual WindowControl* ActiveControl() const { return TheControl.get(); }
  // Draws the control at (X, Y) for printing.
  virtual void PrintAt(Canvas& canvas, int32_t X, int32_t Y) {}
  virtual void ResetToValue() {}
  // The Index-th answer of a submission: false when there is none; S is the "name=value" pair,
  // or empty when this answer gives no pair.
  virtual bool GetSubmission(int Index, std::u16string& S) { return false; }
  // Sets the size from the control's font measured on the canvas.
  virtual void MeasureSize(Canvas& canvas) {}

  // --- Layout and painting ---
  virtual int32_t Width() const { return Width_; }
  virtual int32_t Height() const { return Height_; }
  // Shows the window control at (X, Top) of the paint window.
  virtual void Show(int32_t X, int32_t Top);
  virtual void Hide();
  // Moves the window control out of sight to the left, where it can keep the focus.
  virtual void MoveOff();
  virtual bool HasFocus() const;
  // A radio button's panel takes the colour behind it.
  virtual void SetPanelColor(Color color) {}
  // An image input records where it was hit (offsets inside the image), and a click there.
  virtual void SetClickOffsets(int32_t X, int32_t Y) {}
  virtual void ImageClick() {}

  int32_t Pos = 0;          // character position in its section
  int32_t YValue = 0;       // document Y of the line that holds it
  bool ShowIt = false;      // drawn in the last paint
  bool OnBaseline = false;  // the bottom sits on the text baseline, not on the line's bottom
  bool HasWindow = true;    // has a window control (hidden fields and image inputs do not)
  TSectionList* MasterList = nullptr;
  ThtmlForm* MyForm = nullptr;
  std::u16string Value;   // VALUE
  bool HasValue = false;  // VALUE was given
  std::u16string Name;    // NAME
  std::unique_ptr<WindowControl> TheControl;

 protected:
  // Makes the window control through the document's controls port (none without a port), at
  // top -400 and the current size, with the focus events wired to the document.
  WindowControl* CreateControl(TControlKind kind, const TControlOptions& options = {});
  // Sets the size; the window control takes it when it is shown.
  void SetSize(int32_t width, int32_t height);
  // The fixed-pitch 10-point face of edits, memos and lists, and the face of captions.
  FontSpec FixedFont() const;
  FontSpec CaptionFont() const;

  int32_t Width_ = 0, Height_ = 0;
};

}  // namespace brisomel
