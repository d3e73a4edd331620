// Computed values of the properties the style module knows, one compact struct per distinct
// style. The engine shares them: elements with the same values point at the same struct, so a
// page of many thousand elements holds only as many structs as it has distinct styles.
//
// Values are computed as far as the element alone allows: font sizes and lengths in em, ex,
// rem, pt, in, cm and mm become pixels (1in = 96px = 72pt), colours become platform colours,
// "currentColor" becomes the element's colour, relative font weights and sizes are resolved
// against the parent. Percentages of margins, paddings, text-indent and width stay
// percentages (layout resolves them against the containing width).
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/canvas.h"

namespace brisomel {

// A colour that lets what is beneath show through (background-color's initial value, or any
// colour written with zero alpha). Neither palette-relative nor a system colour.
constexpr Color kTransparentColor = 0x01000000;

// The longhand properties, in the order the text form lists them.
#define BRISOMEL_STYLE_PROPERTIES(X)                                                               \
  X(Display, "display", false)                                                                     \
  X(Visibility, "visibility", true) X(Float, "float", false) X(Clear, "clear", false) X(           \
      Width, "width", false) X(Color, "color", true) X(BackgroundColor, "background-color", false) \
      X(BackgroundImage, "background-image", false) X(FontFamily, "font-family", true) X(          \
          FontSize, "font-size", true) X(FontWeight, "font-weight", true)                          \
          X(FontStyle, "font-style", true) X(TextDecoration, "text-decoration", true) X(           \
              TextAlign, "text-align", true) X(TextIndent, "text-indent", true)                    \
              X(WhiteSpace, "white-space", true) X(VerticalAlign, "vertical-align", false) X(      \
                  ListStyleType, "list-style-type", true) X(MarginTop, "margin-top", false)        \
                  X(MarginRight, "margin-right", false) X(MarginBottom, "margin-bottom", false) X( \
                      MarginLeft, "margin-left", false) X(PaddingTop, "padding-top", false)        \
                      X(PaddingRight, "padding-right", false) X(                                   \
                          PaddingBottom, "padding-bottom",                                         \
                          false) X(PaddingLeft, "padding-left",                                    \
                                   false) X(BorderTopWidth, "border-top-width", false)             \
                          X(BorderRightWidth, "border-right-width",                                \
                            false) X(BorderBottomWidth, "border-bottom-width",                     \
                                     false) X(BorderLeftWidth, "border-left-width", false)         \
                              X(BorderTopStyle, "border-top-style", false)                         \
                                  X(BorderRightStyle, "border-right-style", false)                 \
                                      X(BorderBottomStyle, "border-bottom-style", false) X(        \
                                          BorderLeftStyle, "border-left-style", false)             \
                                          X(BorderTopColor, "border-top-color", false) X(          \
                                              BorderRightColor, "border-right-color", false)       \
                                              X(BorderBottomColor, "border-bottom-color", false)   \
                                                  X(BorderLeftColor, "border-left-color", false)

enum class StyleProperty : uint8_t {
#define BRISOMEL_STYLE_ENUM(name, text, inherited) name,
  BRISOMEL_STYLE_PROPERTIES(BRISOMEL_STYLE_ENUM)
#undef BRISOMEL_STYLE_ENUM
};
#define BRISOMEL_STYLE_COUNT(name, text, inherited) +1
inline constexpr int kStylePropertyCount = 0 BRISOMEL_STYLE_PROPERTIES(BRISOMEL_STYLE_COUNT);
#undef BRISOMEL_STYLE_COUNT

inline constexpr uint64_t PropertyBit(StyleProperty property) {
  return uint64_t{1} << static_cast<int>(property);
}

// The longhands children inherit. text-decoration is among them: decorations reach the text
// of descendants, which add their own.
#define BRISOMEL_STYLE_INHERITED(name, text, inherited) \
  | (inherited ? PropertyBit(StyleProperty::name) : 0)
inline constexpr uint64_t kInheritedProperties =
    0 BRISOMEL_STYLE_PROPERTIES(BRISOMEL_STYLE_INHERITED);
#undef BRISOMEL_STYLE_INHERITED

// The CSS name of a longhand.
const char* StylePropertyName(StyleProperty property);
inline constexpr bool IsInheritedProperty(StyleProperty property) {
  return (kInheritedProperties & PropertyBit(property)) != 0;
}

// Sides of margins, paddings and borders, in the order CSS lists them.
enum StyleSide : uint8_t { kSideTop, kSideRight, kSideBottom, kSideLeft };

enum class CssDisplay : uint8_t {
  Inline,
  Block,
  ListItem,
  InlineBlock,
  Table,
  InlineTable,
  TableRowGroup,
  TableHeaderGroup,
  TableFooterGroup,
  TableRow,
  TableColumnGroup,
  TableColumn,
  TableCell,
  TableCaption,
  None,
};
enum class CssVisibility : uint8_t { Visible, Hidden, Collapse };
enum class CssFontStyle : uint8_t { Normal, Italic, Oblique };
enum TextDecorationLine : uint8_t {
  kDecorationNone = 0,
  kDecorationUnderline = 1,
  kDecorationOverline = 2,
  kDecorationLineThrough = 4,
};
enum class CssTextAlign : uint8_t { Left, Right, Center, Justify };
enum class CssWhiteSpace : uint8_t { Normal, Pre, Nowrap, PreWrap, PreLine };
enum class CssBorderStyle : uint8_t {
  None,
  Hidden,
  Dotted,
  Dashed,
  Solid,
  Double,
  Groove,
  Ridge,
  Inset,
  Outset,
};
enum class CssFloat : uint8_t { None, Left, Right };
enum class CssClear : uint8_t { None, Left, Right, Both };
enum class CssVerticalAlign : uint8_t {
  Baseline,
  Sub,
  Super,
  Top,
  TextTop,
  Middle,
  Bottom,
  TextBottom
};
enum class CssListStyleType : uint8_t {
  Disc,
  Circle,
  Square,
  Decimal,
  DecimalLeadingZero,
  LowerRoman,
  UpperRoman,
  LowerAlpha,
  UpperAlpha,
  None,
};

// A computed length: pixels, a percentage (for layout to resolve) or auto, held in 32 bits
// with a resolution of 1/1024 (of a pixel or of a percent), up to 500000 either way.
class StyleLength {
 public:
  constexpr StyleLength() = default;
  static StyleLength Px(double px) { return StyleLength(px, kPx); }
  static StyleLength Percent(double percent) { return StyleLength(percent, kPercent); }
  static constexpr StyleLength Auto() { return StyleLength(kAuto); }

  bool IsPx() const { return UnitOf() == kPx; }
  bool IsPercent() const { return UnitOf() == kPercent; }
  bool IsAuto() const { return UnitOf() == kAuto; }
  // Pixels or percent, by kind; 0 for auto.
  double Value() const { return static_cast<double>((raw_ - UnitOf()) / 4) / kScale; }
  // Pixels; a percentage of `reference` pixels; `if_auto` for auto.
  double Resolve(double reference, double if_auto = 0) const;

  bool operator==(const StyleLength&) const = default;

 private:
  static constexpr int32_t kScale = 1024;
  enum Unit : int32_t { kPx = 0, kPercent = 1, kAuto = 2 };
  StyleLength(double value, Unit unit);
  explicit constexpr StyleLength(Unit unit) : raw_(unit) {}
  int32_t UnitOf() const { return raw_ & 3; }

  int32_t raw_ = 0;  // value in 1024ths times four, plus the unit
};

// One font face of a font-family list; generic families (serif, sans-serif, monospace,
// cursive, fantasy, system-ui, ...) are marked.
struct FontFamily {
  std::u16string name;
  bool generic = false;
};
struct FontFamilyList {
  std::vector<FontFamily> families;
  std::string text;  // the list written as CSS (UTF-8), for the text form
};

// A background image: the URL as written and the location of the sheet it was written in
// (empty for the page's own STYLE blocks and attributes), which relative URLs resolve against.
struct StyleImage {
  std::u16string url;
  std::u16string base;
};

struct ComputedStyle {
  // Properties whose value comes from the page's own styles (sheets, STYLE attributes or HTML
  // presentational hints) on this element or, for inherited properties, on an ancestor;
  // the others hold the built-in HTML defaults or initial values. One PropertyBit each.
  uint64_t author_set = 0;

  const FontFamilyList* font_family = nullptr;   // never null in a style the engine hands out
  const StyleImage* background_image = nullptr;  // null: none

  Color color = 0;
  Color background_color = kTransparentColor;
  Color border_color[4] = {};

  StyleLength font_size;  // pixels
  StyleLength margin[4];
  StyleLength padding[4];
  StyleLength text_indent;
  StyleLength width = StyleLength::Auto();

  int16_t border_width[4] = {};  // pixels; 0 where the side's style is none or hidden
  uint16_t font_weight = 400;    // 1..1000

  CssDisplay display = CssDisplay::Inline;
  CssVisibility visibility = CssVisibility::Visible;
  CssFontStyle font_style = CssFontStyle::Normal;
  uint8_t text_decoration = kDecorationNone;  // TextDecorationLine bits
  CssTextAlign text_align = CssTextAlign::Left;
  CssWhiteSpace white_space = CssWhiteSpace::Normal;
  CssBorderStyle border_style[4] = {};
  CssFloat float_mode = CssFloat::None;
  CssClear clear = CssClear::None;
  CssVerticalAlign vertical_align = CssVerticalAlign::Baseline;
  CssListStyleType list_style_type = CssListStyleType::Disc;
  uint8_t reserved[4] = {};  // keeps the struct free of padding, so it can be hashed as bytes

  bool operator==(const ComputedStyle&) const = default;

  bool AuthorSet(StyleProperty property) const { return (author_set & PropertyBit(property)) != 0; }
  double FontSizePx() const { return font_size.Value(); }
  bool HasBorder(StyleSide side) const { return border_width[side] > 0; }
};

static_assert(std::has_unique_object_representations_v<ComputedStyle>,
              "ComputedStyle is hashed and compared as bytes; it must have no padding");

// The text form: "name:value" for every property whose value differs from `defaults`,
// separated by "; ", in the order of BRISOMEL_STYLE_PROPERTIES. Four equal sides of a margin,
// padding or border are written as the shorthand ("margin:8px", "border:1px solid #000000");
// a border side is written as "border-left:1px solid #c0c0c0". Colours are #rrggbb or
// "transparent"; lengths are px (up to two decimals), % or auto.
std::string DescribeComputedStyle(const ComputedStyle& style, const ComputedStyle& defaults);

}  // namespace brisomel
