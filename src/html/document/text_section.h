// Text sections: a block of running text in one buffer where every inline image (0x04) and
// form control (0x02) takes one marker character, with its font runs, images and controls.
//
// Line layout: each line fits as many characters as the width between the float edges at the
// line's Y allows (FitChars measures whole stretches of one font and binary-searches within
// them), then breaks at the last space or object marker, or between two characters of East
// Asian text where the line breaking rules allow (text/line_break.h); a word longer than the
// line stays whole, and trailing spaces stay on their line. A float met at the start of a line is
// placed at once (the line is narrowed by it); a float met after something else is placed below the
// line. Lines take the height of the tallest font run they touch and grow for images and
// controls by their alignment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/document/document_images.h"
#include "html/document/fonts.h"
#include "html/document/form_control_base.h"
#include "html/document/section_base.h"
#include "html/reader/attributes.h"
#include "html/reader/symbols.h"

namespace brisomel {

constexpr char16_t kImageMarker = 0x04;
constexpr char16_t kControlMarker = 0x02;

struct LineRec {
  int32_t Start = 0;  // index of the first character in Buff
  int32_t SpaceBefore = 0;
  int32_t SpaceAfter = 0;
  int32_t LineHt = 0;
  int32_t LineImgHt = 0;
  int32_t Ln = 0;
  int32_t Descent = 0;
  int32_t LineIndent = 0;
  int32_t DrawX = 0;
  int32_t DrawY = 0;
  int32_t Total() const { return SpaceBefore + LineHt + SpaceAfter; }
};

class TSection : public TSectionBase {
 public:
  static constexpr int32_t kMaxSectionText = 20000;
  static constexpr int32_t kListIndent = 35;

  // An empty section whose first run is a copy of Font (with the document's extra style
  // bits), linked when UrlTarget is given. The document's script state returns to normal.
  TSection(TSectionList& List, int32_t Level, uint8_t Justify, const TUrlTarget* UrlTarget,
           const TMyFont& Font);
  const char* ClassName() const override { return "TSection"; }

  // Building.
  void AddText(std::u16string_view S) override;
  void ChangeFont(const TMyFont& Font);
  // symHref starts a link with UrlTarget's address and target; any other symbol (symAEnd)
  // ends it.
  void HRef(TSymbol Sy, const TMyFont& Font, const TUrlTarget* UrlTarget);
  TImageObj* AddImage(const TAttributeList& Attributes, TCell* Cell);
  // Places a form control (owned elsewhere) at the current position.
  void AddFormControl(TFormControlObj* Control);
  // The control of an INPUT, SELECT or TEXTAREA, joined to the document's open form: an image
  // input is added as an image that refers to it, a hidden field takes no position, every
  // other control takes a marker. Null for other symbols.
  TFormControlObj* AddFormControl(TSymbol Sy, TCell* Cell, const TAttributeList& Attributes);
  void ProcessClear(const TAttributeList& Attributes);
  uint8_t CheckEmpty();

  // Section interface.
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  void CopySelection() override;
  int32_t LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                 int32_t& Curs) override;
  int32_t Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                int32_t Y) override;
  bool LinkAt(Canvas& canvas, int32_t X, int32_t Y, TUrlTarget& UrlTarget,
              TFormControlObj*& FormControl) override;
  bool ImageAt(int32_t X, int32_t Y, TImageObj*& Obj, int32_t& IX, int32_t& IY) override;
  int32_t PositionAt(Canvas& canvas, int32_t X, int32_t Y, int32_t& XR, int32_t& YR,
                     int32_t& CaretHt, bool& InText) override;
  int32_t FindString(int32_t From, std::u16string_view ToFind, bool MatchCase) override;
  bool PositionToPoint(Canvas& canvas, int32_t Position, int32_t& X, int32_t& Y) override;
  bool CharAt(int32_t Position, char16_t& Ch, TSectionBase*& Obj) override;
  void RefreshFonts() override;
  void MeasureWidths(Canvas& canvas, int32_t& Min, int32_t& Max) override;
  void DumpDetails(std::string& out, int indent) const override;

  // Width helpers.
  int32_t BuffWidth(Canvas& canvas, int32_t Start, int32_t Count, bool TrimTrailing) const;
  // The largest K in 0..N with extent(first K characters at P) - overhang <= Avail, in the
  // font the canvas holds.
  int32_t FitCount(Canvas& canvas, int32_t Avail, int32_t N, int32_t P, int32_t Overhang,
                   int32_t* Width = nullptr) const;
  int32_t FitChars(Canvas& canvas, int32_t Width, std::vector<TImageObj*>& FloatList,
                   int32_t& MaxFloatHt, IndentManager& IMgr, int32_t Y, int32_t Remaining,
                   int32_t Start);

  // The text; Buff.size() is Len.
  std::u16string Buff;
  std::unique_ptr<TFontList> Fonts;
  TImageObjList Images;
  std::vector<TFormControlObj*> FormControls;  // not owned
  int32_t Level = 0;
  int32_t Indent = 0;
  int32_t ListNumber = 0;
  std::vector<LineRec> Lines;
  std::unique_ptr<TMyFont> BaseFont;
  uint8_t ListType = 0;   // 0 none, 1 numbered, 2 bullet, 3 definition
  uint8_t Justify = 1;    // 1 left, 2 centre, 3 right
  uint8_t ClearMode = 0;  // 0 none, 1 left, 2 right, 3 both
  int32_t ContentLeft = 0;

 protected:
  // For CreateCopy.
  TSection(TSectionList& List, const TSection& Source);
  // Preformatted text keeps every space.
  virtual bool KeepsSpaces() const { return false; }
  virtual void DrawMarker(Canvas& canvas, int32_t X, int32_t Baseline, const LineRec& line) {}
  void FinishLine(Canvas& canvas, IndentManager& IMgr, int32_t& Y, int32_t Start, int32_t n,
                  int32_t MaxFloatHt, std::vector<TImageObj*>& FloatList);
  void PlaceFloat(TImageObj& image, IndentManager& IMgr, int32_t Y);
  void DrawLine(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X, int32_t& Y,
                LineRec& line, bool first, int32_t SelStart, int32_t SelEnd);
  TFormControlObj* ControlAt(int32_t Pos) const;
  int32_t ControlDistance(int32_t Pos) const;
  // The line that holds Y (relative to the section's top), with that line's top; -1 if none.
  int LineAtY(int32_t Y, int32_t& LineTop) const;
  int32_t ClearSpace(IndentManager& IMgr, int32_t Y) const;
  // Selects the run's font at P on the canvas; the run.
  const TFontObj* SelectRun(Canvas& canvas, int32_t P) const;
  const TFontObj* RunAt(int32_t P) const;
  int RunIndexAt(int32_t P) const;
  int32_t RunLengthAt(int32_t P) const;
  // Characters of a line (from Start, at most Count) that fit in Avail pixels, and their width.
  int32_t FitInLine(Canvas& canvas, int32_t Start, int32_t Count, int32_t Avail,
                    int32_t& Width) const;
  // Whether a line may break between Buff[At - 1] and Buff[At] inside East Asian text (never
  // inside a surrogate pair).
  bool EastAsianBreakBefore(int32_t At) const;
  // Characters to the next image, control or font change from P.
  int32_t StretchLength(int32_t P, int32_t End) const;
  // Width of [Start, End) of plain text in its runs (no objects inside).
  int32_t TextWidth(Canvas& canvas, int32_t Start, int32_t End) const;

  bool Pre = false;
  bool OnlyFloats_ = true;
  int32_t PaintShift_ = 0;  // paint Y minus layout Y of the current paint  // every character so
                            // far is the marker of a floating image
};

// One line of PRE text: every space kept, no wrapping.
class TPreFormated : public TSection {
 public:
  TPreFormated(TSectionList& List, int32_t Level, const TMyFont& Font,
               const TUrlTarget* UrlTarget = nullptr, uint8_t Justify = 1);
  const char* ClassName() const override { return "TPreFormated"; }
  void AddText(std::u16string_view S) override;
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  int32_t LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                 int32_t& Curs) override;
  void MeasureWidths(Canvas& canvas, int32_t& Min, int32_t& Max) override;

 protected:
  TPreFormated(TSectionList& List, const TPreFormated& Source);
  bool KeepsSpaces() const override { return true; }
};

// LI inside UL, DIR or MENU: a bullet unless the list is PLAIN.
class TUListItem : public TSection {
 public:
  TUListItem(TSectionList& List, int32_t Level, const TUrlTarget* UrlTarget, const TMyFont& Font,
             bool Plain = false);
  const char* ClassName() const override { return "TUListItem"; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  bool Plain;

 protected:
  TUListItem(TSectionList& List, const TUListItem& Source);
  void DrawMarker(Canvas& canvas, int32_t X, int32_t Baseline, const LineRec& line) override;
};

// LI inside OL: a number (or letter or Roman numeral) and a full stop.
class TOListItem : public TSection {
 public:
  TOListItem(TSectionList& List, int32_t Level, const TUrlTarget* UrlTarget, const TMyFont& Font,
             char NumberStyle, int32_t Number);
  const char* ClassName() const override { return "TOListItem"; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  char NumberStyle;

 protected:
  TOListItem(TSectionList& List, const TOListItem& Source);
  void DrawMarker(Canvas& canvas, int32_t X, int32_t Baseline, const LineRec& line) override;
};

// DD and DT: indented, no marker.
class TDListItem : public TSection {
 public:
  TDListItem(TSectionList& List, int32_t Level, const TUrlTarget* UrlTarget, const TMyFont& Font);
  const char* ClassName() const override { return "TDListItem"; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;

 protected:
  TDListItem(TSectionList& List, const TDListItem& Source);
};

// The label of an ordered list item without its full stop: "A".."Z" and "a".."z" (capped at
// Z), Roman numerals "I"/"i" (above 20 shown as 20), decimal otherwise. Numbers below 1 show
// in decimal in every style.
std::u16string ListLabel(char NumberStyle, int32_t Number);

}  // namespace brisomel
