// Table cells and rows: their attributes, copies, and remembered layouts.
#include "html/document/table_cells.h"

#include <algorithm>
#include <string>

#include "html/document/section_list.h"
#include "html/reader/text_utils.h"

namespace brisomel {
namespace {

// A layout may reuse an earlier one only while the document's layout that made it runs.
bool LayoutCurrent(const TCell& cell, int64_t generation) {
  const TSectionList* list = cell.MasterList;
  return list && list->InLayout && list->LayoutGeneration == generation;
}

}  // namespace

TCellObj::TCellObj(TSectionList* List, const TAttributeList& Attributes, int32_t VAlign_)
    : VAlign(VAlign_), Cell(std::make_unique<TCell>(List)) {
  for (const auto& attribute : Attributes) {
    const TAttribute& a = *attribute;
    switch (a.Symbol) {
      case symBgcolor:
        if (auto c = ColorFromText(a.Text)) {
          Cell->HasBkColor = true;
          Cell->BkColor = *c | kPaletteRelative;
        }
        break;
      case symColspan:
        if (a.Value > 1) ColSpan = std::min(a.Value, kMaxColSpan);
        break;
      case symRowspan:
        if (a.Value > 1) RowSpan = std::min(a.Value, kMaxRowSpan);
        break;
      case symWidth:
        if (a.Text.find(u'%') != std::u16string::npos) {
          AsPercent = true;
          WidthAttr = a.Value >= 1 && a.Value <= 100 ? a.Value * 10 : 0;
        } else if (a.Value > 0) {
          AsPercent = false;
          WidthAttr = a.Value;
        }
        break;
      case symHeight:
        if (a.Value > 0) SpecHt = std::min(a.Value, kMaxDocumentY);
        break;
      default:
        break;
    }
  }
  given_width_ = WidthAttr;
  given_height_ = SpecHt;
}

TCellObj TCellObj::Covered(int32_t ColSpan_, int32_t RowSpan_) {
  TCellObj slot;
  slot.ColSpan = ColSpan_;
  slot.RowSpan = RowSpan_;
  return slot;
}

TCellObj TCellObj::CreateCopy(TSectionList& Parent) const {
  TCellObj copy;
  copy.ColSpan = ColSpan;
  copy.RowSpan = RowSpan;
  copy.Wd = Wd;
  copy.Ht = Ht;
  copy.ContentHt = ContentHt;
  copy.SpecHt = SpecHt;
  copy.VOffset = VOffset;
  copy.VAlign = VAlign;
  copy.WidthAttr = WidthAttr;
  copy.AsPercent = AsPercent;
  copy.given_width_ = given_width_;
  copy.given_height_ = given_height_;
  if (Cell) {
    copy.Cell = std::make_unique<TCell>(&Parent);
    copy.Cell->YValue = Cell->YValue;
    copy.Cell->StartCurs = Cell->StartCurs;
    copy.Cell->Len = Cell->Len;
    copy.Cell->IMgr = Cell->IMgr;
    for (const auto& s : Cell->Sections) {
      auto section = s->CreateCopy(Parent);
      section->ParentSectionList = &Parent;
      section->OwnerCell = copy.Cell.get();
      copy.Cell->Sections.push_back(std::move(section));
    }
  }
  return copy;
}

int32_t TCellObj::LayOutContent(Canvas& canvas, int32_t Y, int32_t Width, int32_t& Curs) {
  if (!Cell) return 0;
  if (LayoutCurrent(*Cell, laid_generation_) && laid_width_ == Width && laid_y_ == Y &&
      laid_curs_ == Curs) {
    Curs += Cell->Len;
    return laid_height_;
  }
  const int32_t start = Curs;
  int32_t max_width = 0;
  const int32_t height = Cell->LayOut(canvas, Y, Width, max_width, Curs);
  const TSectionList* list = Cell->MasterList;
  laid_generation_ = list && list->InLayout ? list->LayoutGeneration : -1;
  laid_width_ = Width;
  laid_y_ = Y;
  laid_curs_ = start;
  laid_height_ = height;
  return height;
}

int32_t TCellObj::ContentHeight(Canvas& canvas, int32_t Y, int32_t Width, int32_t Curs) {
  if (!Cell) return 0;
  if (LayoutCurrent(*Cell, laid_generation_) && laid_width_ == Width) return laid_height_;
  return LayOutContent(canvas, Y, Width, Curs);
}

void TCellList::ProcessAttributes(const TAttributeList& Attributes) {
  if (const TAttribute* a = Attributes.Find(symBgcolor)) {
    if (auto c = ColorFromText(a->Text)) {
      HasBkColor = true;
      BkColor = *c | kPaletteRelative;
    }
  }
}

std::unique_ptr<TCellList> TCellList::CreateCopy(TSectionList& Parent) const {
  auto copy = std::make_unique<TCellList>();
  copy->RowHeight = RowHeight;
  copy->SpanHeight = SpanHeight;
  copy->Cells.reserve(Cells.size());
  for (const TCellObj& cell : Cells) copy->Cells.push_back(cell.CreateCopy(Parent));
  return copy;
}

}  // namespace brisomel
