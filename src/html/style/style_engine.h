// The style module's entry point: style sheets, the cascade and computed values for a page
// that is read front to back, without an element tree.
//
// The caller keeps a stack of open elements in the engine: Push() an element when it opens
// (tag, attributes as written, presentational hints) and receive its computed values; Pop()
// it when it closes. Selectors match against the element and the ancestors on the stack;
// inherited properties come from the parent on the stack; the root's parent is the document
// (the caller's default font size, face and colours). Styles are shared: equal computed values
// are one ComputedStyle, valid as long as the engine, so the document model can keep a pointer
// per element or section for the price of a pointer.
//
// Cascade order, lowest first: the built-in HTML sheet, presentational hints, the page's
// sheets (by specificity, then source order), STYLE attributes; then the !important
// declarations of the page's sheets and STYLE attributes. Rules are indexed by the id, first
// class or type of their rightmost compound (other rules sit in one bucket matched against
// every element), so an element is matched only against rules that can apply to it; a count
// of the names on the stack turns away descendant and child rules whose ancestors are not
// there before they walk the stack. Elements with the same parent style and the same matched
// rules share one computation.
//
// Reading notes:
// - A sheet applies to the elements pushed after it is added. Ancestors already open count
//   for its descendant and child selectors (".x p" matches a P pushed later inside an open
//   element of class x).
// - :first-child is worked out from the pushes: an element is a first child when nothing was
//   pushed under its parent before it.
// - @media is evaluated when a sheet is added (StyleMedia: printing or not, window width).
//
// ---------------------------------------------------------------------------------------------
// How the HTML reader uses it (the plan for joining it to the parser and the document builder;
// read from src/html/reader/parser*.cpp and src/html/document/document_builder.cpp)
//
// 1. Tokenizer. It must keep what styles need: the names of tags and attributes it has no
//    symbol for (SPAN, STYLE, LINK, THEAD, TBODY, TFOOT, COL, COLGROUP, LABEL, ABBR, ACRONYM,
//    DFN, Q, INS, DEL, NOBR, NOSCRIPT, IFRAME, FIELDSET, LEGEND, and the HTML5 sectioning
//    elements SECTION, ARTICLE, NAV, HEADER, FOOTER, MAIN, ASIDE, FIGURE, FIGCAPTION, DETAILS,
//    SUMMARY, MARK, TIME are read as symUnknownTag today and dropped, attributes and all; CLASS,
//    ID and STYLE are symUnknownAttr and lose their names). Either symbols for the ones above
//    plus CLASS, ID, STYLE, REL, MEDIA, or the upper-case name kept beside every unknown
//    symbol. STYLE's content is read raw up to </STYLE> like a script (with InScript set, so
//    "<!-- ... -->" around it is not removed as a comment).
// 2. Sheets. The page is in memory before the parse starts, so the parser first scans it for
//    STYLE blocks and LINK REL=stylesheet (MEDIA checked with MediaListMatches), in document
//    order: AddSheet(text of the block, {}, media) and LinkSheet(href, page location, media).
//    The loader (SetLoader) opens book files relative to `base` with the path rules of the
//    reader, decodes them (a BOM, else UTF-8 when it is valid, else the page's encoding) and
//    gives the file's full path as the location. Scanning first makes a sheet in the BODY
//    style the elements before it too, as in a browser. During the parse STYLE and LINK are
//    skipped.
// 3. The element stack. The builder owns the StyleEngine for one parse and mirrors the open
//    elements:
//    - Blocks the recursion already brackets (ParseList for OL/UL/DIR/MENU/DL/BLOCKQUOTE,
//      ParseCentered for CENTER/DIV, ParseTable with its TR/TD/TH/CAPTION, ParsePre, FORM)
//      push at entry and pop back to the depth they started at (PopTo) when they return, so
//      implied ends and missing end tags need no special case.
//    - Elements that end implicitly (P, H1..H6, ADDRESS, LI, DD, DT) push at their tag and are
//      popped at their end tag or when the next block starts (the places that call
//      CloseSection before a new block: the next P, LI, DD/DT, heading, list, table or the
//      container's end).
//    - Inline elements (A, B, STRONG, I, EM, U, S, STRIKE, CITE, VAR, TT, CODE, KBD, SAMP,
//      FONT, BIG, SMALL, SUB, SUP, SPAN, ...) push at the start tag and pop at the matching end
//      tag (popping what was opened above them), and at the end of their block.
//    - Void elements (IMG, BR, HR, INPUT, SELECT, TEXTAREA, BASEFONT) push and pop at once; the
//      returned style still applies to them (IMG width, float and border; HR margins).
//    HTML and BODY are pushed when met, or implied before the first content element.
// 4. What the builder asks. Push returns the element's computed values; Current() is the
//    innermost open element's. Sections take alignment (text-align), indents (margin-left,
//    padding-left, border-left, text-indent), spacing (margin-top/bottom), widths, float and
//    clear from the block that opens them; text runs take colour and the font (font-family
//    list in order, size in px, weight, style, text-decoration) from the innermost element;
//    white-space pre/pre-wrap make a block preformatted; display:none drops what is read
//    while such an element is open, visibility:hidden keeps its space but draws nothing;
//    cells take background-color, vertical-align, width and borders; BODY's background colour
//    and image become the document's (images relative to StyleImage::base, or to the page
//    when it is empty); LI markers take list-style-type. AuthorSet() tells which values come
//    from the page rather than the built-in sheet, so the existing HTML behaviour (levels,
//    paragraph and heading spaces, the font stack) can stay where the page says nothing.
// 5. Presentational hints. The parser hands attributes that style as CSS text in
//    StyleElement::hints (colours as #rrggbb from ColorFromText): BODY TEXT, BGCOLOR and
//    BACKGROUND (color, background-color, background-image); FONT COLOR, SIZE and FACE (color,
//    font-size in pt from the size table, font-family); ALIGN of P, DIV, H1..H6 (text-align);
//    TABLE WIDTH, BGCOLOR, BORDER and ALIGN=left/right (width, background-color, border,
//    float); TR and cell ALIGN, VALIGN and BGCOLOR (cells also get their row's ALIGN, as the
//    parser's row defaults do today); cell WIDTH and NOWRAP; IMG WIDTH, ALIGN=left/right and
//    BORDER; OL and UL TYPE (list-style-type).
// 6. The dump. `--dump --styles` writes "style " and Describe(style) after the line of each
//    element that has one (an empty text: nothing differs from the document's defaults).
// 7. Printing. @media print rules need a StyleEngine made with StyleMedia::printing set, so
//    the printed copy is parsed again with it (or print rules are left out).
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "html/style/computed_style.h"
#include "html/style/style_compute.h"
#include "html/style/style_sheet.h"

namespace brisomel {

// The document's defaults: what the root element inherits.
struct StyleDefaults {
  double font_size = 16;                                       // px ("medium")
  std::u16string font_family = u"\"Times New Roman\", serif";  // a CSS font-family list
  Color color = Rgb(0, 0, 0);
  Color background = Rgb(255, 255, 255);  // partly transparent colours are blended over it
  Color link_color = Rgb(0, 0, 255);
};

struct StyleAttribute {
  std::u16string_view name;  // any case
  std::u16string_view value;
};

struct StyleElement {
  std::u16string_view tag;  // any case
  // As written; ID, CLASS, STYLE and HREF are read from here too.
  std::span<const StyleAttribute> attributes;
  // Presentational hints as CSS declarations ("color: #ff0000; width: 50%").
  std::u16string_view hints;
};

class StyleEngine {
 public:
  // With `html_sheet`, the built-in HTML sheet comes first.
  explicit StyleEngine(StyleDefaults defaults = {}, StyleMedia media = {}, bool html_sheet = true);
  StyleEngine(const StyleEngine&) = delete;
  StyleEngine& operator=(const StyleEngine&) = delete;

  // Sheets. `location` is the sheet's own (empty for a STYLE block: URLs in it are relative
  // to the page); `media` is the MEDIA attribute (empty: all).
  void SetLoader(StyleSheetLoader loader) { loader_ = std::move(loader); }
  void AddSheet(std::u16string_view text, std::u16string_view location = {},
                std::u16string_view media = {});
  // A LINK REL=stylesheet: loaded through the loader; false when the media do not match or
  // the loader finds nothing.
  bool LinkSheet(std::u16string_view href, std::u16string_view base,
                 std::u16string_view media = {});
  // BODY LINK: the colour the built-in sheet gives links.
  void SetLinkColor(Color color);

  // The element stack.
  const ComputedStyle& Push(const StyleElement& element);
  void Pop();
  void PopTo(size_t depth);
  size_t Depth() const { return depth_; }
  // The innermost open element's values (the document's when none is open).
  const ComputedStyle& Current() const;
  // What the root element inherits; the reference of Describe.
  const ComputedStyle& DocumentStyle() const { return *document_style_; }

  // The text form of `style` against the document's defaults ("display:block; color:#008000").
  std::string Describe(const ComputedStyle& style) const;
  // Every rule, one per line, in cascade order (tests and debugging).
  std::string DescribeRules() const;
  size_t RuleCount() const { return rules_.size(); }
  // How many distinct computed styles were made.
  size_t StyleCount() const { return styles_.size(); }

 private:
  enum Layer : uint8_t { kBuiltIn, kHints, kPage, kStyleAttribute };
  struct IndexedRule {
    const ComplexSelector* selector;
    const std::vector<StyleDeclaration>* declarations;
    uint32_t specificity;
    Layer layer;
    // Names (types, ids, classes) the selector needs among the ancestors; 0 ends the list.
    std::array<uint32_t, 4> ancestor_names;
  };
  // One open element: its names as written (for resolving them again after a sheet adds
  // names) and what matching and inheritance need.
  struct Frame {
    std::u16string tag, id, classes;
    std::vector<std::pair<std::u16string, std::u16string>> attributes;  // lower-case names
    size_t attribute_count = 0;
    const ComputedStyle* style = nullptr;
    uint32_t children = 0;
    // The cascade key and style of the last child: siblings alike need no look-up.
    std::string child_key;
    const ComputedStyle* child_style = nullptr;
  };
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    size_t operator()(std::u16string_view text) const {
      return std::hash<std::u16string_view>()(text);
    }
  };

  void AddRules(std::vector<std::shared_ptr<const StyleRule>> rules, Layer layer);
  void Resolve(const Frame& frame, SelectorSubject& subject) const;
  void CountNames(const SelectorSubject& subject, int change);
  void Match();
  const std::vector<StyleDeclaration>* InlineBlock(std::u16string_view text);
  void ForgetComputations();
  const ComputedStyle* Cascade(const ComputedStyle& parent,
                               const std::vector<StyleDeclaration>* hints,
                               const std::vector<StyleDeclaration>* style_attribute);
  const ComputedStyle* Intern(const ComputedStyle& style);

  StyleDefaults defaults_;
  StyleMedia media_;
  StyleSheetLoader loader_;
  StyleAtoms atoms_;
  std::shared_ptr<const FontFamilyList> default_family_;
  StyleComputeContext compute_;

  std::vector<std::shared_ptr<const StyleRule>> rules_;  // the built-in ones are shared
  std::vector<IndexedRule> indexed_;
  std::unordered_map<uint32_t, std::vector<uint32_t>> by_id_, by_class_, by_tag_;
  std::vector<uint32_t> universal_;

  std::unordered_map<std::u16string, std::unique_ptr<std::vector<StyleDeclaration>>, TextHash,
                     std::equal_to<>>
      inline_blocks_;
  std::deque<ComputedStyle> styles_;
  std::unordered_map<std::string_view, const ComputedStyle*> interned_;
  std::unordered_map<std::string, const ComputedStyle*, TextHash, std::equal_to<>> memo_;
  const ComputedStyle* document_style_ = nullptr;

  std::deque<Frame> frames_;  // a deque: subjects view the frames' strings
  std::vector<SelectorSubject> subjects_;
  size_t depth_ = 0;
  std::vector<uint32_t> matched_;
  // How many open elements carry each name, the one being matched left out: a rule whose
  // ancestors need a name that no open element has is skipped without walking the stack.
  std::vector<uint32_t> name_counts_;
  std::string key_;
  Frame document_frame_;  // holds the root's key and style, as a frame holds its children's
};

}  // namespace brisomel
