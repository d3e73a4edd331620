// Tables: TABLE with its rows, cells and caption. Cell and caption content is read as a body
// that ends at the next TD, TH, TR, CAPTION or one of their end tags, or at the table's end;
// that symbol is then handled here. Text standing between cells is placed in front of the
// table. Each cell starts with the inline state the table started with.
#include <exception>

#include "html/reader/parser.h"

namespace brisomel {
namespace {

constexpr std::bitset<kSymbolCount> CellSet() {
  std::bitset<kSymbolCount> set;
  for (TSymbol s :
       {symTableEnd, symTd, symTdEnd, symTr, symTrEnd, symTh, symThEnd, symCaption, symCaptionEnd})
    set.set(s);
  return set;
}
const std::bitset<kSymbolCount> kCellSet = CellSet();

// ALIGN of TD, TH or TR: left, center or right; anything else none.
TParseAlign CellAlign(const TAttributeList& attributes) {
  const TAttribute* align = attributes.Find(symAlign);
  if (!align) return paNone;
  const std::u16string text = LowerCase(align->Text);
  if (text == u"left") return paLeft;
  if (text == u"center") return paCenter;
  if (text == u"right") return paRight;
  return paNone;
}

TParseVAlign VerticalAlign(const TAttributeList& attributes, TParseVAlign default_valign) {
  const TAttribute* valign = attributes.Find(symValign);
  if (!valign) return default_valign;
  const std::u16string text = LowerCase(valign->Text);
  if (text == u"top" || text == u"baseline") return pvTop;
  if (text == u"middle") return pvMiddle;
  if (text == u"bottom") return pvBottom;
  return default_valign;
}

}  // namespace

void THtmlParser::ParseTable(int level) {
  if (!CanNest()) {
    // Too deep: read on as if this TABLE tag were absent.
    tok_.NextSymbol();
    return;
  }
  if (in_href_) EndLink();
  const size_t font_depth = fonts_.size();
  const uint8_t extra_style = State.ExtraStyle;
  const TParseAlign saved_align = default_align_;
  CloseSection();
  TParseContainer* outer = document_.Container();
  // Input that ends inside a comment, or a stopped load, unwinds out of here past the table,
  // row and cell owned below: the builder must then name the outer container again, never one
  // of those. Declared first, so it runs after they are gone.
  struct RestoreOnUnwind {
    THtmlParser& parser;
    TParseContainer* outer;
    int exceptions = std::uncaught_exceptions();
    ~RestoreOnUnwind() {
      if (std::uncaught_exceptions() > exceptions) parser.document_.SetContainer(outer);
    }
  } restore{*this, outer};
  document_.SetContainer(nullptr);
  std::unique_ptr<TParseTable> table =
      document_.NewTable(level, outer, default_align_, tok_.Attributes);
  std::unique_ptr<TParseRow> row;
  std::unique_ptr<TParseCell> cell;
  TParseAlign row_align = paNone;
  TParseVAlign row_valign = pvMiddle;

  auto reset_inline_state = [&] {
    if (in_href_) EndLink();
    while (fonts_.size() > font_depth) PopFont();
    State.ExtraStyle = extra_style;
  };
  // The finished cell goes to the row; nothing is appended until the next cell or caption
  // names a container (the cell handed to the row is no longer the parser's to name).
  auto finish_cell = [&] {
    if (!cell) return;
    document_.SetContainer(cell.get());
    CloseSection();
    document_.SetContainer(nullptr);
    if (row) row->Add(std::move(cell));
    cell.reset();
  };
  auto finish_row = [&] {
    if (!row) return;
    finish_cell();
    table->AddRow(std::move(row));
  };

  ++depth_;
  tok_.NextSymbol();
  while (tok_.Symbol != symTableEnd && tok_.Symbol != symEof) {
    const TSymbol symbol = tok_.Symbol;
    switch (symbol) {
      case symText: {
        // A section left open (a cell's content ended by BODY end) stays where it was.
        CloseSection();
        TParseContainer* inside = document_.Container();
        document_.SetContainer(outer);
        ParseBody(0, kCellSet);
        CloseSection();
        document_.SetContainer(inside);
        break;
      }
      case symTd:
      case symTh: {
        reset_inline_state();
        if (row) {
          finish_cell();
        } else {
          row = document_.NewRow();
          row_align = paNone;
          row_valign = pvMiddle;
        }
        default_align_ = row_align != paNone ? row_align : symbol == symTh ? paCenter : paLeft;
        if (symbol == symTh) {
          State.ExtraStyle |= kFontBold;
        } else {
          State.ExtraStyle &= ~kFontBold;
        }
        if (const TParseAlign align = CellAlign(tok_.Attributes); align != paNone)
          default_align_ = align;
        cell = document_.NewCell(tok_.Attributes, VerticalAlign(tok_.Attributes, row_valign));
        document_.SetContainer(cell.get());
        tok_.SkipBlanks();
        tok_.NextSymbol();
        tok_.ParagraphLatch = true;
        ParseBody(0, kCellSet);
        break;  // the symbol that ended the cell is handled next
      }
      case symTdEnd:
      case symThEnd:
        finish_cell();
        tok_.NextSymbol();
        break;
      case symTr:
        if (in_href_) EndLink();
        finish_row();
        row = document_.NewRow();
        row_align = CellAlign(tok_.Attributes);
        row_valign = VerticalAlign(tok_.Attributes, pvMiddle);
        row->ProcessAttributes(tok_.Attributes);
        tok_.NextSymbol();
        break;
      case symTrEnd:
        if (in_href_) EndLink();
        finish_row();
        tok_.NextSymbol();
        break;
      case symCaption:
        reset_inline_state();
        finish_cell();
        if (const TAttribute* align = tok_.Attributes.Find(symAlign))
          table->SetCaptionAtTop(LowerCase(align->Text) != u"bottom");
        document_.SetContainer(&table->Caption());
        default_align_ = paCenter;
        tok_.NextSymbol();
        ParseBody(0, kCellSet);
        CloseSection();
        document_.SetContainer(nullptr);
        if (tok_.Symbol == symCaptionEnd) tok_.NextSymbol();
        break;
      default:
        tok_.NextSymbol();
        break;
    }
  }
  --depth_;
  if (in_href_) EndLink();
  while (fonts_.size() > font_depth) PopFont();
  finish_row();
  finish_cell();
  document_.SetContainer(outer);
  document_.AppendTable(std::move(table));
  State.ExtraStyle = extra_style;
  default_align_ = saved_align;
  tok_.NextSymbol();
}

}  // namespace brisomel
