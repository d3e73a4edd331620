// A TABLE: rows of cells, each cell a TCell of its own sections, and a caption cell.
//
// Layout in brief. The grid is first made rectangular: column spans get covered slots after
// the cell, row spans are cut to the rows left and get covered slots in the rows below; more
// than kMaxCols columns is a processing error. Each column then gets a minimum and a maximum
// width from the cells' own measurements (spanning cells widen their columns in proportion),
// and, unless some cell has a pixel width and the table none, a percentage. The available
// width is spread over the columns: percentages first, the rest between minimum and maximum
// in proportion to their difference. Row heights come from the cells laid out at their
// columns' width, spanning cells adding what they lack evenly to their rows. The grid is
// placed left, centred or right, or floats with the following flow running beside it.
//
// Widths include one CellSpacing each (the gap left of the column); the grid ends with one
// more. Cell content sits CellSpacing + CellPadding in from its column's left and its row's
// top.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/document/section_base.h"
#include "html/document/table_cells.h"
#include "html/reader/attributes.h"

namespace brisomel {

class ThtmlTable : public TSectionBase {
 public:
  static constexpr int kMaxCols = 30;

  // Reads ALIGN, BGCOLOR, BORDER, CELLPADDING, CELLSPACING, WIDTH, BORDERCOLOR and HSPACE;
  // `Justify` (1 left, 2 centre, 3 right) is the enclosing alignment.
  ThtmlTable(TSectionList* List, int32_t Level, TCell* OwnerCell, uint8_t Justify,
             const TAttributeList& Attributes);
  const char* ClassName() const override { return "ThtmlTable"; }

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override;
  void CopySelection() override;
  int32_t LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                 int32_t& Curs) override;
  int32_t Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                int32_t Y) override;
  // Cell hit tests use DrawX and DrawY, the place of the last paint.
  bool KeepsPaintOrigin() const override { return true; }
  void NotePaintOrigin(int32_t X, int32_t Y) override {
    DrawX = X + TableLeft;
    DrawY = Y;
  }
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
  std::string DumpSuffix(int32_t X) const override;
  void DumpChildren(std::string& out, int indent, int32_t X) const override;

  // Builder: a finished row joins the table.
  void AddRow(std::unique_ptr<TCellList> Row) { Rows.push_back(std::move(Row)); }

  // Normalises the grid once (background colours, spans, the column count).
  void Initialize();

  std::vector<std::unique_ptr<TCellList>> Rows;
  std::unique_ptr<TCellObj> Caption;
  bool Initialized = false;
  bool HasBorder = false;
  bool CaptionAtTop = true;
  int32_t TableLeft = 0;
  int32_t Indent = 0;
  uint8_t Justify = 1;
  bool Float = false;
  int32_t NumCols = 0;
  int32_t TableWidth = 0;
  int32_t OuterWidth = 0;
  int32_t WidthAttr = 0;
  bool AsPercent = false;
  bool HasAbsoluteCellWidth = false;
  int32_t CaptionHeight = 0;
  int32_t TableHeight = 0;
  int32_t CellPadding = 1;
  int32_t CellSpacing = 2;
  int32_t CaptionMinWidth = 0;
  std::array<int32_t, kMaxCols + 1> Widths{};
  std::array<int32_t, kMaxCols + 1> Percents{};
  int32_t HSpace = 5;
  int32_t Level = 0;
  int32_t DrawX = 0, DrawY = 0;
  bool HasBgColor = false;
  Color BgColor = 0;
  bool HasBorderColor = false;
  Color BorderColor = 0;

 private:
  using TWidths = std::array<int32_t, kMaxCols + 1>;
  ThtmlTable(TSectionList* List, const ThtmlTable& Source);

  // Column measures, with the totals over the columns.
  struct TColumnMeasure {
    TWidths Min{}, Max{};
    int32_t TotalMin = 0, TotalMax = 0;
  };
  // The pixel attributes as the page gives them; ApplyZoom sets the working ones (and the
  // cells') from them at the document's zoom before every measure and layout.
  struct TGivenPixels {
    int32_t WidthAttr = 0, CellPadding = 1, CellSpacing = 2, HSpace = 5;
  };
  TGivenPixels Given_;
  void ApplyZoom();
  // Padding added to every cell's measured widths.
  int32_t CellExtra() const { return 2 * CellPadding + CellSpacing; }
  void ColumnMinMax(Canvas& canvas, TColumnMeasure& m);
  void PercentMinMax(Canvas& canvas, int32_t TheWidth, TColumnMeasure& m);
  // A cell's measured widths with the padding.
  void CellMinMax(Canvas& canvas, TCellObj& cell, int32_t& Mn, int32_t& Mx);
  void AssignPercentWidths(int32_t Width, const TColumnMeasure& m);
  void SetWidths(int32_t NewWidth, const TColumnMeasure& m);
  void SpreadWidths(int32_t NewWidth, const TColumnMeasure& m);
  // Step 2 of the layout: the column widths for NewWidth.
  void ColumnWidths(Canvas& canvas, int32_t NewWidth);
  // Whether the percentage-aware measure applies.
  bool UsesPercents() const { return !HasAbsoluteCellWidth || WidthAttr > 0; }
  void RowHeights(Canvas& canvas, int32_t Y, int32_t Curs);
  int32_t CaptionWidth(Canvas& canvas);
  // Distinct row (or column) spans of the real cells, ascending.
  std::vector<int32_t> Spans(bool rows) const;
  // The X of each column from the grid's left, and one past the last.
  TWidths ColumnX() const;
  // Measures kept within one layout of the document, by the width they were taken for (-1:
  // the plain measure). Lookup copies them (and the percentages) out.
  bool RecallMeasure(int32_t key, TColumnMeasure& m);
  void KeepMeasure(int32_t key, const TColumnMeasure& m);

  bool HasCaption() const { return Caption && Caption->HasContent(); }
  void PaintCaption(Canvas& canvas, const Rect& ARect, int32_t X, int32_t Y);
  // The cell under (X, Y) (document X of the last paint, Y from the table's top): its slot
  // and the Y relative to its content top. Null outside every cell with content.
  TCellObj* CellAt(int32_t X, int32_t Y, int32_t& CellY, int32_t& CellX);

  struct TKeptMeasure {
    int64_t generation = -1;
    int32_t key = 0;
    TColumnMeasure measure;
    TWidths percents{};
  };
  std::array<TKeptMeasure, 2> kept_;
  size_t next_kept_ = 0;
};

}  // namespace brisomel
