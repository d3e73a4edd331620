// The block interface of a document and the containers that hold blocks.
//
// Every block (text section, list item, rule, spacing, table) derives from TSectionBase and
// answers one fixed set of operations: lay itself out from a document Y, paint itself, and
// answer the viewer's position questions. A TCell is an ordered list of blocks with one float
// and indent manager (IndentManager); it is a whole document (TSectionList derives from it)
// and, later, every table cell.
//
// Float manager: floats and list indents are records [YT, YB) of an X offset, left ones from
// the cell's left edge, right ones (negative) from its right edge. The left edge at Y is the
// largest left offset covering Y, the right edge the smallest right offset. List levels add a
// left record that stays open (YB far below) until the level closes.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "html/document/fonts.h"
#include "platform/canvas.h"

namespace brisomel {

class TSectionList;
class TCell;
class TImageObj;
class TFormControlObj;

// A layout error inside one section: the enclosing cell shows the message and removes the
// section.
class EProcessError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Document Y saturates here: heights of hostile pages never overflow the 32-bit sums.
constexpr int32_t kMaxDocumentY = 1 << 30;

// One indent record: offset X over document rows [YT, YB). ID 0 marks a float, otherwise the
// list level that opened it.
struct IndentRec {
  int32_t X = 0;
  int32_t YT = 0;
  int32_t YB = 0;
  int32_t ID = 0;
};

class IndentManagerBasic {
 public:
  int32_t Width = 0;      // width available to the cell
  int32_t ClipWidth = 0;  // width drawing is clipped to
  std::vector<IndentRec> L, R;
  int32_t Level = 0;
  int32_t LfEdge = 0, RtEdge = 0;
};

class IndentManager : public IndentManagerBasic {
 public:
  void Reset() {
    L.clear();
    R.clear();
    PrunedLeftBottom = PrunedRightBottom = -1;
  }
  // Drops float records that end at or above Y: layout moves down only, so they are never
  // asked about again. Their bottoms still count for MaxFloatBottom and ClearBottoms.
  void Prune(int32_t Y);
  void Init(int32_t Lf, int32_t Rt) {
    LfEdge = Lf;
    RtEdge = Rt;
    Level = 0;
  }
  int32_t LeftEdge(int32_t Y) const;
  int32_t RightEdge(int32_t Y) const;
  // Align 1: a left record; 3: a right record; W wide over [Y, Y + H).
  void AddBlockIndent(int32_t Y, int32_t W, int Align, int32_t H);
  // A new float record drops the float records it covers (no further in, ending no lower,
  // starting no later): they could never decide an edge again, and floats stacked in a row
  // would otherwise make every edge query walk all of them.
  void AddLeft(int32_t X, int32_t YT, int32_t YB, int32_t ID = 0);
  void AddRight(int32_t X, int32_t YT, int32_t YB, int32_t ID = 0);
  int32_t MaxFloatBottom() const;
  void ClearBottoms(int32_t& LeftBottom, int32_t& RightBottom) const;
  int32_t ListFloatBottom() const;
  void SetLevel(int32_t Y, int32_t NewLevel);

  int32_t PrunedLeftBottom = -1, PrunedRightBottom = -1;
};

// Receives selected text: a collector keeps it, a counter counts it.
class TTextSink {
 public:
  virtual ~TTextSink() = default;
  virtual void AddText(std::u16string_view text) = 0;
};

class TTextCollector : public TTextSink {
 public:
  void AddText(std::u16string_view text) override { Text.append(text); }
  std::u16string Text;
};

// Counts every character except the object markers 0x02 and 0x04.
class TTextCounter : public TTextSink {
 public:
  void AddText(std::u16string_view text) override;
  int64_t Count = 0;
};

class TSectionBase {
 public:
  explicit TSectionBase(TSectionList* list) : ParentSectionList(list) {}
  virtual ~TSectionBase() = default;
  TSectionBase(const TSectionBase&) = delete;
  TSectionBase& operator=(const TSectionBase&) = delete;

  // The class name the layout dump prints.
  virtual const char* ClassName() const = 0;
  // A copy of this section for another document (printing).
  virtual std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const = 0;
  // Appends this section's part of the selection to the document's text sink.
  virtual void CopySelection() {}
  // Lays out from document Y; returns the height added to the flow.
  virtual int32_t LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                         int32_t& Curs);
  // Paints at document Y; returns the Y below the section.
  virtual int32_t Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                        int32_t Y);
  // Sections whose hit tests use the place of their last paint (tables) say so here; a cell
  // that passes over them off screen gives them that place through NotePaintOrigin.
  virtual bool KeepsPaintOrigin() const { return false; }
  virtual void NotePaintOrigin(int32_t X, int32_t Y) {}
  // Y is relative to the section's top in LinkAt, ImageAt and PositionAt.
  virtual bool LinkAt(Canvas& canvas, int32_t X, int32_t Y, TUrlTarget& UrlTarget,
                      TFormControlObj*& FormControl) {
    return false;
  }
  virtual bool ImageAt(int32_t X, int32_t Y, TImageObj*& Obj, int32_t& IX, int32_t& IY) {
    return false;
  }
  virtual int32_t PositionAt(Canvas& canvas, int32_t X, int32_t Y, int32_t& XR, int32_t& YR,
                             int32_t& CaretHt, bool& InText) {
    return -1;
  }
  virtual int32_t FindString(int32_t From, std::u16string_view ToFind, bool MatchCase) {
    return -1;
  }
  // Document coordinates of a character position.
  virtual bool PositionToPoint(Canvas& canvas, int32_t Position, int32_t& X, int32_t& Y) {
    return false;
  }
  virtual bool CharAt(int32_t Position, char16_t& Ch, TSectionBase*& Obj) { return false; }
  virtual void RefreshFonts() { ComputeHeight(); }
  virtual void ComputeHeight() {}
  virtual void MeasureWidths(Canvas& canvas, int32_t& Min, int32_t& Max) { Min = Max = 0; }
  // Text sections append text; other kinds ignore it.
  virtual void AddText(std::u16string_view S) {}
  // Extra lines of the layout dump under the section line (text lines, images).
  virtual void DumpDetails(std::string& out, int indent) const {}
  // Text the layout dump adds at the end of the section line; X as for DumpChildren.
  virtual std::string DumpSuffix(int32_t X) const { return {}; }
  // The lines under the section line; X is the document X of the holding cell's left.
  virtual void DumpChildren(std::string& out, int indent, int32_t X) const {
    DumpDetails(out, indent);
  }

  TSectionList* ParentSectionList;
  TCell* OwnerCell = nullptr;  // the cell the section was added to
  int32_t SectionHeight = 0;
  int32_t DrawHeight = 0;
  int32_t YValue = 0;
  int32_t StartCurs = 0;
  int32_t Len = 0;

 protected:
  // Copies what every section copies (the height).
  void CopyBase(const TSectionBase& source) { SectionHeight = source.SectionHeight; }
};

class TCell {
 public:
  explicit TCell(TSectionList* Master) : MasterList(Master) {}
  virtual ~TCell();
  TCell(const TCell&) = delete;
  TCell& operator=(const TCell&) = delete;

  // Appends a section (ignores null) and makes it part of the master document.
  void Add(std::unique_ptr<TSectionBase> Section);
  int Count() const { return static_cast<int>(Sections.size()); }
  TSectionBase& operator[](int index) const { return *Sections[index]; }

  void RefreshFonts();
  int32_t LayOut(Canvas& canvas, int32_t Y, int32_t Width, int32_t& MaxWidth, int32_t& Curs);
  void MeasureWidths(Canvas& canvas, int32_t& Min, int32_t& Max);
  int32_t Paint(Canvas& canvas, const Rect& ARect, int32_t ClipWidth, int32_t X, int32_t Y);
  // Y relative to the cell's top.
  bool LinkAt(Canvas& canvas, int32_t X, int32_t Y, TUrlTarget& UrlTarget,
              TFormControlObj*& FormControl);
  bool ImageAt(int32_t X, int32_t Y, TImageObj*& Obj, int32_t& IX, int32_t& IY);
  // The first section whose [top, top + SectionHeight) holds Y; null past the end.
  TSectionBase* SectionAt(int32_t Y, int32_t& Top, int& Index);
  int32_t PositionAt(Canvas& canvas, int32_t X, int32_t Y, int32_t& XR, int32_t& YR,
                     int32_t& CaretHt, TCell*& SCell, bool& InText);
  int32_t FindString(int32_t From, std::u16string_view ToFind, bool MatchCase);
  bool CharAt(int32_t Position, char16_t& Ch, TSectionBase*& Obj);
  bool PositionToPoint(Canvas& canvas, int32_t Position, int32_t& X, int32_t& Y);
  void CopySelection();

  TSectionList* MasterList;
  int32_t YValue = 0;
  int32_t StartCurs = 0;
  int32_t Len = 0;
  IndentManager IMgr;
  bool HasBkColor = false;
  Color BkColor = 0;
  std::vector<std::unique_ptr<TSectionBase>> Sections;

 private:
  // Where each section paints, from the cell's top, as the last layout left the heights:
  // Tops[i] is the sum of the heights above section i, ReachBelow[i] the lowest bottom (top
  // plus the larger of its flow and drawn height) of sections 0..i, and LowestTopFrom[i] the
  // smallest top of sections i..end. Painting one screen starts at the first section that
  // reaches into it and stops where every following section starts below it. Empty or of
  // another size than Sections when out of date: painting then visits every section.
  void IndexSectionExtents();
  void ForgetSectionExtents();
  std::vector<int64_t> Tops, ReachBelow, LowestTopFrom;
  std::vector<size_t> OriginKeepers;  // indices of the sections that keep a paint origin

  // Shows a section's processing error and removes the section.
  void ReportAndRemove(const EProcessError& error, size_t index);
};

}  // namespace brisomel
