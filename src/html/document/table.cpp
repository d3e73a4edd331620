// A table's attributes, its grid normalisation, layout and copies. Column widths are in
// table_widths.cpp; painting, position questions and the dump in table_paint.cpp.
//
// Layout reuse. A cell is laid out once to learn its height and again at its final place, and
// a table inside a cell is laid out with that cell each time, so nested tables would cost
// twice as much per level. Within one layout of the document a cell therefore remembers its
// last layout: asked for its height at the same width it answers from it, and laid out again
// at the same place it is left as it is. The first layout is placed where the cell is most
// likely to end up, so the second is usually skipped. Measured column widths are kept the
// same way.
#include "html/document/table.h"

#include <algorithm>
#include <map>

#include "html/document/section_list.h"
#include "html/reader/text_utils.h"

namespace brisomel {

ThtmlTable::ThtmlTable(TSectionList* List, int32_t Level_, TCell* Owner, uint8_t Justify_,
                       const TAttributeList& Attributes)
    : TSectionBase(List), Justify(Justify_), Level(Level_) {
  OwnerCell = Owner;
  for (const auto& attribute : Attributes) {
    const TAttribute& a = *attribute;
    switch (a.Symbol) {
      case symAlign: {
        const std::u16string v = UpperCase(a.Text);
        if (v == u"CENTER") {
          Justify = 2;
        } else if (v == u"LEFT") {
          Justify = 1;
          Float = true;
        } else if (v == u"RIGHT") {
          Justify = 3;
          Float = true;
        }
        break;
      }
      case symBgcolor:
        if (auto c = ColorFromText(a.Text)) {
          HasBgColor = true;
          BgColor = *c | kPaletteRelative;
        }
        break;
      case symBorder:
        HasBorder = a.Value > 0;
        break;
      case symCellpadding:
        if (a.Value >= 0) CellPadding = std::min(a.Value, 50);
        break;
      case symCellspacing:
        if (a.Value >= 0) CellSpacing = std::min(a.Value, 40);
        break;
      case symWidth:
        if (a.Text.find(u'%') != std::u16string::npos) {
          AsPercent = true;
          WidthAttr = a.Value >= 1 && a.Value <= 100 ? a.Value * 10 : 0;
        } else if (a.Value > 0) {
          AsPercent = false;
          WidthAttr = std::min(a.Value, kMaxDocumentY);
        }
        break;
      case symBordercolor:
        if (auto c = ColorFromText(a.Text)) {
          HasBorderColor = true;
          BorderColor = *c | kPaletteRelative;
        }
        break;
      case symHspace:
        HSpace = std::min(20, a.Value < 0 ? -std::max(a.Value, -20) : a.Value);
        break;
      default:
        break;
    }
  }
  if (HasBorder) CellSpacing = std::max(1, CellSpacing + 2);
  Given_ = {WidthAttr, CellPadding, CellSpacing, HSpace};
  Caption = std::make_unique<TCellObj>(List, TAttributeList(), 0);
}

void ThtmlTable::ApplyZoom() {
  const TFontSettings& zoom = *ParentSectionList;
  WidthAttr = AsPercent ? Given_.WidthAttr : zoom.Zoomed(Given_.WidthAttr);
  CellPadding = zoom.Zoomed(Given_.CellPadding);
  CellSpacing = zoom.Zoomed(Given_.CellSpacing);
  HSpace = zoom.Zoomed(Given_.HSpace);
  for (auto& row : Rows) {
    for (TCellObj& c : row->Cells) c.ApplyZoom(zoom);
  }
}

ThtmlTable::ThtmlTable(TSectionList* List, const ThtmlTable& Source) : TSectionBase(List) {
  CopyBase(Source);
  DrawHeight = Source.DrawHeight;
  YValue = Source.YValue;
  StartCurs = Source.StartCurs;
  Len = Source.Len;
  Initialized = Source.Initialized;
  HasBorder = Source.HasBorder;
  CaptionAtTop = Source.CaptionAtTop;
  TableLeft = Source.TableLeft;
  Indent = Source.Indent;
  Justify = Source.Justify;
  Float = Source.Float;
  NumCols = Source.NumCols;
  TableWidth = Source.TableWidth;
  OuterWidth = Source.OuterWidth;
  WidthAttr = Source.WidthAttr;
  AsPercent = Source.AsPercent;
  HasAbsoluteCellWidth = Source.HasAbsoluteCellWidth;
  CaptionHeight = Source.CaptionHeight;
  TableHeight = Source.TableHeight;
  CellPadding = Source.CellPadding;
  CellSpacing = Source.CellSpacing;
  CaptionMinWidth = Source.CaptionMinWidth;
  Widths = Source.Widths;
  Percents = Source.Percents;
  HSpace = Source.HSpace;
  Given_ = Source.Given_;
  Level = Source.Level;
  // Printed tables show no fills: no background and no border colour.
  for (const auto& row : Source.Rows) Rows.push_back(row->CreateCopy(*List));
  Caption = std::make_unique<TCellObj>(Source.Caption->CreateCopy(*List));
}

std::unique_ptr<TSectionBase> ThtmlTable::CreateCopy(TSectionList& Parent) const {
  return std::unique_ptr<TSectionBase>(new ThtmlTable(&Parent, *this));
}

// --- The grid ---

void ThtmlTable::Initialize() {
  if (Initialized) return;
  const TSectionList* list = ParentSectionList;
  if (!HasBgColor && OwnerCell && OwnerCell->HasBkColor && !(list && list->Printing)) {
    HasBgColor = true;
    BgColor = OwnerCell->BkColor;
  }
  for (auto& row : Rows) {
    for (TCellObj& c : row->Cells) {
      if (!c.Cell) continue;
      if (!c.Cell->HasBkColor && row->HasBkColor) {
        c.Cell->HasBkColor = true;
        c.Cell->BkColor = row->BkColor;
      }
      if (!c.Cell->HasBkColor && HasBgColor) {
        c.Cell->HasBkColor = true;
        c.Cell->BkColor = BgColor;
      }
    }
  }
  auto too_many = [] { throw EProcessError("Table has too many Columns"); };
  // Column spans: covered slots after each spanning cell. A row that would pass the column
  // limit fails before its slots are made.
  for (auto& row : Rows) {
    int64_t total = 0;
    for (const TCellObj& c : row->Cells) total += std::max(c.ColSpan, 1);
    if (total > kMaxCols) too_many();
    for (size_t i = row->Cells.size(); i-- > 0;) {
      TCellObj& c = row->Cells[i];
      if (c.ColSpan > 1) {
        if (c.WidthAttr > 0 && !c.AsPercent) HasAbsoluteCellWidth = true;
        const int32_t span = c.ColSpan, row_span = c.RowSpan;
        for (int32_t k = 1; k < span; ++k)
          row->Cells.insert(row->Cells.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                            TCellObj::Covered(0, row_span));
      } else if (c.Cell && c.WidthAttr > 0 && !c.AsPercent) {
        HasAbsoluteCellWidth = true;
      }
    }
  }
  // Row spans: cut to the rows left, and covered slots in the rows below (padded first).
  const size_t rows = Rows.size();
  auto longest = [this] {
    size_t n = 0;
    for (const auto& row : Rows) n = std::max(n, row->Cells.size());
    return n;
  };
  for (size_t i = 0; i < longest(); ++i) {
    for (size_t j = 0; j < rows; ++j) {
      if (i >= Rows[j]->Cells.size()) continue;
      TCellObj& c = Rows[j]->Cells[i];
      if (c.RowSpan <= 1) continue;
      c.RowSpan = static_cast<int32_t>(std::min<size_t>(c.RowSpan, rows - j));
      const size_t below = static_cast<size_t>(c.RowSpan);
      for (size_t k = j + 1; k < j + below; ++k) {
        auto& cells = Rows[k]->Cells;
        if (cells.size() >= kMaxCols) too_many();
        while (cells.size() < i) cells.push_back(TCellObj::Covered(0, 0));
        cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(i), TCellObj::Covered(0, 0));
      }
    }
  }
  NumCols = static_cast<int32_t>(longest());
  if (NumCols > kMaxCols) too_many();
  Initialized = true;
}

std::vector<int32_t> ThtmlTable::Spans(bool rows) const {
  std::vector<int32_t> spans;
  for (const auto& row : Rows) {
    for (const TCellObj& c : row->Cells) {
      if (c.Cell) spans.push_back(rows ? c.RowSpan : c.ColSpan);
    }
  }
  std::sort(spans.begin(), spans.end());
  spans.erase(std::unique(spans.begin(), spans.end()), spans.end());
  return spans;
}

ThtmlTable::TWidths ThtmlTable::ColumnX() const {
  TWidths x{};
  for (int i = 0; i < NumCols; ++i) x[i + 1] = x[i] + Widths[i];
  return x;
}

// --- Measuring ---

void ThtmlTable::MeasureWidths(Canvas& canvas, int32_t& Min, int32_t& Max) {
  Initialize();
  ApplyZoom();
  TColumnMeasure m;
  if (UsesPercents()) {
    PercentMinMax(canvas, WidthAttr > 0 && !AsPercent ? WidthAttr : 0, m);
  } else {
    ColumnMinMax(canvas, m);
  }
  m.TotalMin += CellSpacing;
  m.TotalMax += CellSpacing;
  if (WidthAttr > 0 && !AsPercent) {
    m.TotalMin = std::max(m.TotalMin, WidthAttr);
    m.TotalMax = std::max(m.TotalMax, WidthAttr);
  }
  CaptionWidth(canvas);
  Min = std::max(CaptionMinWidth, m.TotalMin);
  Max = std::max(CaptionMinWidth, m.TotalMax);
}

int32_t ThtmlTable::CaptionWidth(Canvas& canvas) {
  CaptionMinWidth = 0;
  if (HasCaption()) {
    int32_t mx = 0;
    Caption->Cell->MeasureWidths(canvas, CaptionMinWidth, mx);
  }
  return CaptionMinWidth;
}

void ThtmlTable::RefreshFonts() {
  for (auto& row : Rows) {
    for (TCellObj& c : row->Cells) {
      if (c.Cell) c.Cell->RefreshFonts();
    }
  }
  Caption->Cell->RefreshFonts();
}

// --- Layout ---

void ThtmlTable::RowHeights(Canvas& canvas, int32_t Y, int32_t Curs) {
  const size_t rows = Rows.size();
  for (auto& row : Rows) row->RowHeight = 0;
  const TWidths x = ColumnX();
  // Where each cell's content will most likely be laid out: its row's top as known so far and
  // its position count from the cells before it.
  std::map<int32_t, std::vector<std::pair<size_t, size_t>>> by_span;
  for (size_t k = 0; k < rows; ++k) {
    auto& cells = Rows[k]->Cells;
    for (size_t i = 0; i < cells.size(); ++i) {
      if (cells[i].Cell) by_span[cells[i].RowSpan].push_back({k, i});
    }
  }
  std::vector<int32_t> row_curs(rows, Curs);
  for (size_t k = 0, curs = static_cast<size_t>(Curs); k < rows; ++k) {
    row_curs[k] = static_cast<int32_t>(std::min<size_t>(curs, INT32_MAX));
    for (const TCellObj& c : Rows[k]->Cells) {
      if (c.Cell) curs += static_cast<size_t>(std::max(c.Cell->Len, 0));
    }
  }
  for (auto& entry : by_span) {
    const int32_t span = entry.first;
    const auto& cells = entry.second;
    size_t current = rows;
    int32_t E = 0, curs = Curs;
    // The top of the current row from the heights known so far: rows above it change no more
    // in this round, so the sum grows as the rows are walked down.
    size_t summed = 0;
    int64_t top = Y;
    int32_t row_top = Y;
    auto finish_row = [&] {
      if (current == rows) return;
      if (span == 1) {
        Rows[current]->RowHeight = E;
      } else {
        int64_t sum = 0;
        for (int32_t r = 0; r < span; ++r) sum += Rows[current + r]->RowHeight;
        if (sum < E) {
          const int32_t diff = E - static_cast<int32_t>(sum);
          for (int32_t r = 0; r < span; ++r) Rows[current + r]->RowHeight += diff / span;
          Rows[current + span - 1]->RowHeight += diff % span;
        }
      }
    };
    for (auto [k, i] : cells) {
      if (k != current) {
        finish_row();
        current = k;
        E = 0;
        curs = row_curs[k];
        for (; summed < k; ++summed) top += Rows[summed]->RowHeight;
        row_top = static_cast<int32_t>(std::min<int64_t>(top, kMaxDocumentY));
      }
      TCellObj& c = Rows[k]->Cells[i];
      const int32_t last = std::min(static_cast<int32_t>(i) + std::max(c.ColSpan, 1), NumCols);
      c.Wd = x[last] - x[i];
      const int32_t width = std::max(c.Wd - CellSpacing - 2 * CellPadding, 0);
      const int32_t guess_y = row_top + CellSpacing + CellPadding + c.VOffset;
      c.ContentHt = c.ContentHeight(canvas, guess_y, width, curs);
      curs += std::max(c.Cell->Len, 0);
      const int32_t height = std::max(c.ContentHt, c.SpecHt - 2 * CellPadding);
      E = std::max(E, std::min(height + 2 * CellPadding + CellSpacing, kMaxDocumentY));
    }
    finish_row();
  }
}

int32_t ThtmlTable::LayOut(Canvas& canvas, int32_t Y, IndentManager& IMgr, int32_t& MaxWidth,
                           int32_t& Curs) {
  YValue = Y;
  StartCurs = Curs;
  IMgr.SetLevel(Y, Level);
  ApplyZoom();
  int32_t avail = IMgr.RightEdge(Y) - IMgr.LeftEdge(Y);
  if (WidthAttr > 0) avail = AsPercent ? MulDiv(avail, WidthAttr, 1000) : WidthAttr;
  const int32_t new_width = std::max(avail - CellSpacing, 20);
  Initialize();

  ColumnWidths(canvas, new_width);
  int64_t table_width = CellSpacing;
  for (int i = 0; i < NumCols; ++i) table_width += Widths[i];
  TableWidth = static_cast<int32_t>(std::min<int64_t>(table_width, kMaxDocumentY));
  CaptionWidth(canvas);
  OuterWidth = std::max(TableWidth, CaptionMinWidth);

  // The caption above the grid; laid out first so that the cells know where they go.
  int32_t y = Y;
  SectionHeight = 0;
  CaptionHeight = 0;
  if (CaptionAtTop && Caption->Cell) {
    CaptionHeight = Caption->LayOutContent(canvas, y, OuterWidth, Curs);
    SectionHeight = CaptionHeight;
    y += CaptionHeight;
  }
  RowHeights(canvas, y, Curs);

  const size_t rows = Rows.size();
  for (size_t k = 0; k < rows; ++k) {
    TCellList& row = *Rows[k];
    SectionHeight = std::min(SectionHeight + row.RowHeight, kMaxDocumentY);
    row.SpanHeight = 0;
    for (TCellObj& c : row.Cells) {
      if (!c.Cell) continue;
      int64_t ht = 0;
      for (size_t r = k; r < k + static_cast<size_t>(std::max(c.RowSpan, 1)) && r < rows; ++r)
        ht += Rows[r]->RowHeight;
      c.Ht = static_cast<int32_t>(std::min<int64_t>(ht, kMaxDocumentY));
      row.SpanHeight = std::max(row.SpanHeight, c.Ht);
      if (!c.HasContent()) continue;
      const int32_t room_y = c.Ht - c.ContentHt - CellSpacing - 2 * CellPadding;
      c.VOffset = c.VAlign == 1 ? room_y / 2 : c.VAlign == 2 ? room_y : 0;
      const int32_t width = std::max(c.Wd - CellSpacing - 2 * CellPadding, 0);
      c.LayOutContent(canvas, y + CellSpacing + CellPadding + c.VOffset, width, Curs);
    }
    y = std::min(y + row.RowHeight, kMaxDocumentY);
  }
  SectionHeight = std::min(SectionHeight + CellSpacing, kMaxDocumentY);
  TableHeight = SectionHeight - CaptionHeight;
  if (!CaptionAtTop && Caption->Cell) {
    CaptionHeight = Caption->LayOutContent(canvas, y + CellSpacing, OuterWidth, Curs);
    SectionHeight = std::min(SectionHeight + CaptionHeight, kMaxDocumentY);
  }

  const int32_t free_width = IMgr.RightEdge(YValue) - IMgr.LeftEdge(YValue);
  Indent = 0;
  if (OuterWidth < free_width) {
    if (Justify == 2) {
      Indent = (free_width - OuterWidth) / 2;
    } else if (Justify == 3) {
      Indent = free_width - OuterWidth;
    }
  }
  Indent += IMgr.LeftEdge(YValue);
  TableLeft = (OuterWidth - TableWidth) / 2 + Indent;

  Len = Curs - StartCurs;
  MaxWidth = OuterWidth;
  DrawHeight = SectionHeight;
  if (Float) {
    IMgr.AddBlockIndent(YValue, OuterWidth + HSpace + 1, Justify, DrawHeight);
    SectionHeight = 0;
  }
  return SectionHeight;
}

}  // namespace brisomel
