// The form controls: one class per kind of INPUT, TEXTAREA and SELECT. Each makes its window
// control through the document's controls port, measures it with its font, sets it to its
// initial state (ResetToValue), answers its submission pairs, reacts to the user and prints
// itself. Without a controls port (a document that is never shown) a control keeps its
// initial state and answers from it.
//
// Sizes ("A" measured in the control's font; client sizes get the window's frame added):
//   edit        width("A") x SIZE + 5 wide, 20 high
//   button      caption width + 20 by height("A") + 8, in the caption face
//   check box   13 x 13; radio button: a 13 x 14 panel
//   text area   client width("A") x COLS + 5 by height("A") x ROWS + 5
//   list box    client width("A") x longest option + 15 by height("A") x SIZE (SIZE absent:
//               the number of options, 1 to 8)
//   combo box   width("A" in the caption face) x longest option + 30, the platform's height
// Every size is held to kMaxControlSize, so hostile attributes cannot overflow the layout.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "html/document/form_control_base.h"
#include "html/reader/attributes.h"
#include "html/reader/symbols.h"

namespace brisomel {

class TCell;

constexpr int32_t kMaxControlSize = 32000;

// INPUT "text", "password", or with a missing or unknown TYPE.
class TEditFormControlObj : public TFormControlObj {
 public:
  TEditFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos,
                      bool Password);
  const char* ClassName() const override { return "TEditFormControlObj"; }
  void PrintAt(Canvas& canvas, int32_t X, int32_t Y) override;
  void ResetToValue() override;
  bool GetSubmission(int Index, std::u16string& S) override;
  void MeasureSize(Canvas& canvas) override;
  std::u16string Text() const;

  int32_t Size = 20;
  int32_t MaxLength = 0;
  bool Password;
};

// INPUT "submit", "reset" and "button".
class TButtonFormControlObj : public TFormControlObj {
 public:
  enum TKind { bkSubmit = 0, bkReset = 1, bkButton = 2 };
  TButtonFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos,
                        TKind Kind);
  const char* ClassName() const override { return "TButtonFormControlObj"; }
  void ResetToValue() override;
  void PrintAt(Canvas& canvas, int32_t X, int32_t Y) override;
  void MeasureSize(Canvas& canvas) override;
  // What a click does: the object-click event, then a reset or a submission.
  void Clicked();
  std::u16string Caption() const;

  TKind Kind;
  std::string OnClickText;
};

// INPUT "checkbox".
class TCheckBoxFormControlObj : public TFormControlObj {
 public:
  TCheckBoxFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos);
  const char* ClassName() const override { return "TCheckBoxFormControlObj"; }
  void PrintAt(Canvas& canvas, int32_t X, int32_t Y) override;
  void ResetToValue() override;
  bool GetSubmission(int Index, std::u16string& S) override;
  bool Checked() const;

  bool IsChecked = false;
  std::string OnClickText;
};

// INPUT "radio": a radio button in a borderless panel of its own.
class TRadioButtonFormControlObj : public TFormControlObj {
 public:
  TRadioButtonFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos,
                             TCell* Cell);
  const char* ClassName() const override { return "TRadioButtonFormControlObj"; }
  void PrintAt(Canvas& canvas, int32_t X, int32_t Y) override;
  void ResetToValue() override;
  bool GetSubmission(int Index, std::u16string& S) override;
  void SetPanelColor(Color color) override;
  bool Checked() const;
  void SetChecked(bool checked);

  bool IsChecked = false;
  std::string OnClickText;
  TCell* Cell;

 private:
  bool Model_ = false;  // the checked state without a window control
};

// INPUT "hidden": a pair, nothing on the page.
class THiddenFormControlObj : public TFormControlObj {
 public:
  THiddenFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos);
  const char* ClassName() const override { return "THiddenFormControlObj"; }
  bool GetSubmission(int Index, std::u16string& S) override;
};

// INPUT "image": drawn as a document image; a click on it submits the click point.
class TImageFormControlObj : public TFormControlObj {
 public:
  TImageFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos);
  const char* ClassName() const override { return "TImageFormControlObj"; }
  bool GetSubmission(int Index, std::u16string& S) override;
  void SetClickOffsets(int32_t X, int32_t Y) override;
  void ImageClick() override;

  int32_t XPos = -1, YPos = 0;  // the click point; XPos -1 when there is none
  int32_t XTmp = 0, YTmp = 0;   // the last hit offsets
};

// TEXTAREA: a memo.
class TTextAreaFormControlObj : public TFormControlObj {
 public:
  TTextAreaFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos);
  const char* ClassName() const override { return "TTextAreaFormControlObj"; }
  void PrintAt(Canvas& canvas, int32_t X, int32_t Y) override;
  void ResetToValue() override;
  bool GetSubmission(int Index, std::u16string& S) override;
  void MeasureSize(Canvas& canvas) override;
  // A line of the initial content.
  void AddText(std::u16string_view Line);
  std::vector<std::u16string> Lines() const;

  int32_t Rows = 5;
  int32_t Cols = 30;
  bool Wrap = false;
  std::vector<std::u16string> TheText;

 private:
  std::vector<std::u16string> SubmitLines_;  // the lines of the submission under way
};

// One OPTION: its VALUE (none when absent) and SELECTED.
struct TOptionObj {
  std::optional<std::u16string> Value;
  bool Selected = false;
};

struct TOptionItem {
  std::u16string Text;
  TOptionObj Option;
};

// SELECT with MULTIPLE or SIZE > 1: a list box.
class TListBoxFormControlObj : public TFormControlObj {
 public:
  TListBoxFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos);
  const char* ClassName() const override { return "TListBoxFormControlObj"; }
  void PrintAt(Canvas& canvas, int32_t X, int32_t Y) override;
  void ResetToValue() override;
  bool GetSubmission(int Index, std::u16string& S) override;
  void MeasureSize(Canvas& canvas) override;
  void AddOption(std::u16string_view Text, const std::optional<std::u16string>& Value,
                 bool Selected);
  // The current item, and whether item I is selected (the current one without MULTIPLE).
  int ItemIndex() const;
  bool ItemSelected(int I) const;

  int32_t Size = -1;
  int32_t LongestOption = 3;
  bool Multiple = false;
  std::vector<TOptionItem> TheOptions;

 protected:
  TListBoxFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos,
                         bool Combo);
  // The pair of item I.
  std::u16string Pair(int I) const;
  std::vector<std::u16string> OptionTexts() const;
  int Current_ = -1;  // the current item without a window control
};

// Any other SELECT: a drop-down list.
class TComboFormControlObj : public TListBoxFormControlObj {
 public:
  TComboFormControlObj(TSectionList* List, const TAttributeList& Attributes, int32_t Pos);
  const char* ClassName() const override { return "TComboFormControlObj"; }
  void PrintAt(Canvas& canvas, int32_t X, int32_t Y) override;
  void ResetToValue() override;
  bool GetSubmission(int Index, std::u16string& S) override;
  void MeasureSize(Canvas& canvas) override;
};

// The control an INPUT, TEXTAREA or SELECT makes, joined to its form (TYPE read in lower case:
// "text" and "password" edits, "submit", "reset" and "button" buttons, "radio", "checkbox",
// "hidden", "image"; anything else an edit; SELECT a list box with MULTIPLE or SIZE > 1, else a
// combo box). `Cell` is the cell that holds it (radio buttons take its colour). Null for other
// symbols.
TFormControlObj* MakeFormControl(TSectionList& List, TSymbol Sy, const TAttributeList& Attributes,
                                 int32_t Pos, TCell* Cell);

}  // namespace brisomel
