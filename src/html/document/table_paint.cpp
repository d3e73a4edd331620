// A table's painting (cell backgrounds, the spacing colour, 3-D borders, the page-break rules
// of printing), its position questions and text operations across cells and caption, and its
// part of the layout dump.
#include <algorithm>
#include <string>

#include "html/document/drawing.h"
#include "html/document/section_list.h"
#include "html/document/table.h"

namespace brisomel {

void ThtmlTable::PaintCaption(Canvas& canvas, const Rect& ARect, int32_t X, int32_t Y) {
  if (HasCaption()) Caption->Cell->Paint(canvas, ARect, OuterWidth, X + Indent, Y);
}

int32_t ThtmlTable::Paint(Canvas& canvas, const Rect& ARect, IndentManager& IMgr, int32_t X,
                          int32_t Y) {
  TSectionList& list = *ParentSectionList;
  const int32_t yoff = list.YOff;
  const int32_t page_middle = ARect.top + ARect.height() / 2 + yoff;
  NotePaintOrigin(X, Y);
  if (list.Printing && Y > page_middle && Y < list.PageBottom && Y + DrawHeight > list.PageBottom &&
      DrawHeight < ARect.height()) {
    // Started low on the page and does not fit: the page ends above it.
    list.PageBottom = Y;
    return Y + SectionHeight;
  }
  if (Y + DrawHeight - yoff < ARect.top || Y - yoff >= ARect.bottom ||
      (list.Printing && Y >= list.PageBottom))
    return Y + SectionHeight;

  int32_t grid_top = Y;
  if (CaptionAtTop) {
    PaintCaption(canvas, ARect, X, Y);
    grid_top += CaptionHeight;
  }
  Region spacing;
  if (HasBorderColor) {
    const Rect grid{DrawX, grid_top - yoff, DrawX + TableWidth, grid_top + TableHeight - yoff};
    spacing = Region::FromRect(grid).Intersect(Region::FromRect(ARect));
  }
  const TWidths column_x = ColumnX();
  int32_t row_top = grid_top;
  for (size_t k = 0; k < Rows.size(); ++k) {
    TCellList& row = *Rows[k];
    const int32_t top = row_top;
    row_top = std::min(row_top + row.RowHeight, kMaxDocumentY);
    if (top + row.SpanHeight - yoff < ARect.top || top - yoff >= ARect.bottom) continue;
    if (list.Printing) {
      if (top >= list.PageBottom) continue;
      if (top > page_middle && top + row.SpanHeight > list.PageBottom &&
          row.SpanHeight < ARect.height()) {
        list.PageBottom = k == 0 ? top : top + CellSpacing / 2;
        continue;
      }
    }
    for (size_t i = 0; i < row.Cells.size() && i < static_cast<size_t>(NumCols); ++i) {
      TCellObj& c = row.Cells[i];
      if (!c.HasContent()) continue;
      const int32_t cx = DrawX + column_x[i];
      const Rect back{cx + CellSpacing, top + CellSpacing - yoff, cx + c.Wd, top + c.Ht - yoff};
      if (c.Cell->HasBkColor) canvas.FillRect(back, c.Cell->BkColor);
      c.Cell->Paint(canvas, ARect, c.Wd - CellSpacing - 2 * CellPadding,
                    cx + CellSpacing + CellPadding, top + CellSpacing + CellPadding + c.VOffset);
      const Rect framed{back.left - 1, back.top - 1, back.right, back.bottom};
      if (HasBorder) DrawCellBorder(list.Printing, list.Background, canvas, framed, false);
      if (HasBorderColor) {
        const Rect cut =
            HasBorder ? Rect{framed.left, framed.top, framed.right + 1, framed.bottom + 1} : back;
        spacing = spacing.Subtract(Region::FromRect(cut));
      }
    }
  }
  if (HasBorderColor && !spacing.empty()) canvas.FillRegion(spacing, BorderColor);
  if (HasBorder) {
    const Rect frame{DrawX, grid_top - yoff, DrawX + TableWidth - 1,
                     grid_top + TableHeight - 1 - yoff};
    DrawCellBorder(list.Printing, list.Background, canvas, frame, true);
  }
  if (!CaptionAtTop) PaintCaption(canvas, ARect, X, grid_top + TableHeight);
  return Y + SectionHeight;
}

// --- Position questions ---

TCellObj* ThtmlTable::CellAt(int32_t X, int32_t Y, int32_t& CellY, int32_t& CellTop) {
  const int32_t grid_y = CaptionAtTop ? Y - CaptionHeight : Y;
  if (grid_y < 0 || grid_y >= TableHeight || X < DrawX || X > DrawX + TableWidth) return nullptr;
  const TWidths column_x = ColumnX();
  int32_t row_top = 0;
  for (auto& row : Rows) {
    if (grid_y < row_top) break;
    for (size_t i = 0; i < row->Cells.size() && i < static_cast<size_t>(NumCols); ++i) {
      TCellObj& c = row->Cells[i];
      if (!c.HasContent()) continue;
      const int32_t cx = DrawX + column_x[i];
      if (X >= cx && X < cx + c.Wd && grid_y >= row_top && grid_y < row_top + c.Ht) {
        CellTop = (Y - grid_y) + row_top + CellSpacing + CellPadding + c.VOffset;
        CellY = Y - CellTop;
        return &c;
      }
    }
    row_top += row->RowHeight;
  }
  return nullptr;
}

// The caption's part of the table: Y relative to the caption top, and its top from the
// table's top; false when (X, Y) is not in it.
static bool InCaption(const ThtmlTable& t, int32_t X, int32_t Y, int32_t& CaptionY,
                      int32_t& CaptionTop) {
  if (!t.Caption || !t.Caption->HasContent()) return false;
  const int32_t left = t.DrawX - t.TableLeft + t.Indent;
  if (X < left || X > left + t.OuterWidth) return false;
  CaptionTop = t.CaptionAtTop ? 0 : t.TableHeight;
  CaptionY = Y - CaptionTop;
  return CaptionY >= 0 && CaptionY < t.CaptionHeight;
}

bool ThtmlTable::LinkAt(Canvas& canvas, int32_t X, int32_t Y, TUrlTarget& UrlTarget,
                        TFormControlObj*& FormControl) {
  if (Y < 0 || Y >= DrawHeight) return false;
  int32_t y, top;
  if (InCaption(*this, X, Y, y, top))
    return Caption->Cell->LinkAt(canvas, X, y, UrlTarget, FormControl);
  TCellObj* c = CellAt(X, Y, y, top);
  return c && c->Cell->LinkAt(canvas, X, y, UrlTarget, FormControl);
}

bool ThtmlTable::ImageAt(int32_t X, int32_t Y, TImageObj*& Obj, int32_t& IX, int32_t& IY) {
  if (Y < 0 || Y >= DrawHeight) return false;
  int32_t y, top;
  if (InCaption(*this, X, Y, y, top)) return Caption->Cell->ImageAt(X, y, Obj, IX, IY);
  TCellObj* c = CellAt(X, Y, y, top);
  return c && c->Cell->ImageAt(X, y, Obj, IX, IY);
}

int32_t ThtmlTable::PositionAt(Canvas& canvas, int32_t X, int32_t Y, int32_t& XR, int32_t& YR,
                               int32_t& CaretHt, bool& InText) {
  if (Y < 0 || Y >= SectionHeight) return -1;
  int32_t y, top;
  TCell* cell = nullptr;
  if (InCaption(*this, X, Y, y, top)) {
    cell = Caption->Cell.get();
  } else if (TCellObj* c = CellAt(X, Y, y, top)) {
    cell = c->Cell.get();
  }
  if (!cell) return -1;
  TCell* found = nullptr;
  const int32_t position = cell->PositionAt(canvas, X, y, XR, YR, CaretHt, found, InText);
  if (position >= 0) YR += top;
  return position;
}

// --- Text operations: the caption above, the cells row by row, the caption below ---

namespace {

template <typename Visit>
bool EachCell(ThtmlTable& t, Visit visit) {
  const bool caption = t.Caption && t.Caption->HasContent();
  if (caption && t.CaptionAtTop && visit(*t.Caption->Cell)) return true;
  for (auto& row : t.Rows) {
    for (TCellObj& c : row->Cells) {
      if (c.HasContent() && visit(*c.Cell)) return true;
    }
  }
  return caption && !t.CaptionAtTop && visit(*t.Caption->Cell);
}

}  // namespace

int32_t ThtmlTable::FindString(int32_t From, std::u16string_view ToFind, bool MatchCase) {
  int32_t found = -1;
  EachCell(*this, [&](TCell& cell) {
    found = cell.FindString(From, ToFind, MatchCase);
    return found >= 0;
  });
  return found;
}

bool ThtmlTable::CharAt(int32_t Position, char16_t& Ch, TSectionBase*& Obj) {
  return EachCell(*this, [&](TCell& cell) { return cell.CharAt(Position, Ch, Obj); });
}

bool ThtmlTable::PositionToPoint(Canvas& canvas, int32_t Position, int32_t& X, int32_t& Y) {
  // Sections answer X from their cell's left; the cell's place in the table is added.
  if (HasCaption() && CaptionAtTop && Caption->Cell->PositionToPoint(canvas, Position, X, Y)) {
    X += Indent;
    return true;
  }
  const TWidths column_x = ColumnX();
  for (auto& row : Rows) {
    for (size_t i = 0; i < row->Cells.size() && i < static_cast<size_t>(NumCols); ++i) {
      TCellObj& c = row->Cells[i];
      if (c.HasContent() && c.Cell->PositionToPoint(canvas, Position, X, Y)) {
        X += TableLeft + column_x[i] + CellSpacing + CellPadding;
        return true;
      }
    }
  }
  if (HasCaption() && !CaptionAtTop && Caption->Cell->PositionToPoint(canvas, Position, X, Y)) {
    X += Indent;
    return true;
  }
  return false;
}

void ThtmlTable::CopySelection() {
  EachCell(*this, [](TCell& cell) {
    cell.CopySelection();
    return false;
  });
}

// --- Dump ---

std::string ThtmlTable::DumpSuffix(int32_t X) const {
  return " w=" + std::to_string(TableWidth) + " x=" + std::to_string(X + TableLeft);
}

void ThtmlTable::DumpChildren(std::string& out, int indent, int32_t X) const {
  const std::string pad(static_cast<size_t>(indent), ' ');
  auto sections = [&](const TCell& cell, int32_t x) {
    for (const auto& s : cell.Sections) DumpSection(*s, out, indent + 2, x);
  };
  const bool caption = Caption && Caption->HasContent();
  const int32_t caption_x = X + Indent;
  const int32_t caption_y = CaptionAtTop ? YValue : YValue + TableHeight;
  auto dump_caption = [&] {
    out += pad + "caption x=" + std::to_string(caption_x) + " y=" + std::to_string(caption_y) +
           " w=" + std::to_string(OuterWidth) + " h=" + std::to_string(CaptionHeight) + "\n";
    sections(*Caption->Cell, caption_x);
  };
  if (caption && CaptionAtTop) dump_caption();
  TWidths column_x{};
  for (int i = 0; i < NumCols; ++i) column_x[i + 1] = column_x[i] + Widths[i];
  int32_t row_top = YValue + (CaptionAtTop ? CaptionHeight : 0);
  for (size_t k = 0; k < Rows.size(); ++k) {
    const TCellList& row = *Rows[k];
    for (size_t i = 0; i < row.Cells.size(); ++i) {
      const TCellObj& c = row.Cells[i];
      if (!c.Cell) continue;
      const int32_t x = X + TableLeft + column_x[std::min<size_t>(i, kMaxCols)];
      out += pad + "cell row=" + std::to_string(k) + " col=" + std::to_string(i) +
             " x=" + std::to_string(x) + " y=" + std::to_string(row_top) +
             " w=" + std::to_string(c.Wd) + " h=" + std::to_string(c.Ht) + "\n";
      sections(*c.Cell, x + CellSpacing + CellPadding);
    }
    row_top += row.RowHeight;
  }
  if (caption && !CaptionAtTop) dump_caption();
}

}  // namespace brisomel
