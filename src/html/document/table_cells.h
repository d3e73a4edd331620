// The parts of a table: a grid slot (TCellObj) holding one cell of content, and a row
// (TCellList) of slots. A slot covered by another cell's column span has ColSpan 0; one
// covered by a row span has RowSpan 0. Covered slots hold no cell at all.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "html/document/section_base.h"
#include "html/reader/attributes.h"
#include "html/reader/html_fonts.h"

namespace brisomel {

class TCellObj {
 public:
  // Spans beyond these are cut before any slot is made, so a hostile span cannot make the
  // grid large or slow.
  static constexpr int32_t kMaxColSpan = 1000;
  static constexpr int32_t kMaxRowSpan = 65534;

  // A covered slot.
  TCellObj() = default;
  // A cell from the attributes of TD or TH (BGCOLOR, COLSPAN, ROWSPAN, WIDTH, HEIGHT);
  // VAlign 0 top, 1 middle, 2 bottom.
  TCellObj(TSectionList* List, const TAttributeList& Attributes, int32_t VAlign);
  TCellObj(TCellObj&&) = default;
  TCellObj& operator=(TCellObj&&) = default;

  static TCellObj Covered(int32_t ColSpan, int32_t RowSpan);
  // A copy for another document: the content is copied, the background colour is not.
  TCellObj CreateCopy(TSectionList& Parent) const;

  // A real cell that holds sections; covered slots and empty cells have no content.
  bool HasContent() const { return Cell && Cell->Count() > 0; }

  // Lays the content out at Y for Width; the content height. A layout at the same Y, width
  // and position count within one layout of the document is not repeated.
  int32_t LayOutContent(Canvas& canvas, int32_t Y, int32_t Width, int32_t& Curs);
  // The content height at Width, without caring where: the last layout's when it was at the
  // same width within this layout of the document, else a layout at Y.
  int32_t ContentHeight(Canvas& canvas, int32_t Y, int32_t Width, int32_t Curs);
  // Forgets the remembered layout.
  void Forget() { laid_generation_ = -1; }
  // Sets the pixel width and height from the page's values at the document's zoom.
  void ApplyZoom(const TFontSettings& zoom) {
    WidthAttr = AsPercent ? given_width_ : zoom.Zoomed(given_width_);
    SpecHt = zoom.Zoomed(given_height_);
  }

  int32_t ColSpan = 1;
  int32_t RowSpan = 1;
  int32_t Wd = 0;  // widths of the spanned columns
  int32_t Ht = 0;  // heights of the spanned rows
  int32_t ContentHt = 0;
  int32_t SpecHt = 0;
  int32_t VOffset = 0;
  int32_t VAlign = 0;
  int32_t WidthAttr = 0;  // pixels, or tenths of a percent when AsPercent
  bool AsPercent = false;
  std::unique_ptr<TCell> Cell;

 private:
  int32_t given_width_ = 0, given_height_ = 0;  // WidthAttr and SpecHt as the page gives them
  int64_t laid_generation_ = -1;
  int32_t laid_width_ = 0, laid_y_ = 0, laid_curs_ = 0, laid_height_ = 0;
};

// One row.
class TCellList {
 public:
  // BGCOLOR of TR.
  void ProcessAttributes(const TAttributeList& Attributes);
  std::unique_ptr<TCellList> CreateCopy(TSectionList& Parent) const;

  std::vector<TCellObj> Cells;
  int32_t RowHeight = 0;
  int32_t SpanHeight = 0;
  bool HasBkColor = false;
  Color BkColor = 0;
};

}  // namespace brisomel
