// Declarations as the cascade uses them: each declaration of a sheet or STYLE attribute is read
// once, when the sheet is read, into longhand declarations with parsed (specified) values.
// Shorthands (margin, padding, border, border-top/right/bottom/left, border-width/style/color,
// font, background, list-style) expand into their longhands, resetting the ones they leave out
// as CSS says. Unknown properties and values that do not parse are dropped whole.
//
// Reading notes:
// - Lengths take px, pt, pc, in, cm, mm, q, em, ex, ch and rem; a unitless number is a length
//   only when it is 0. Functions such as calc() and var() make a declaration invalid.
// - Colours with an alpha between 0 and 1 are kept with their alpha here; computing blends
//   them over the document background.
// - "inherit", "initial" and "unset" are accepted alone for every property.
// - Gradients in background and background-image are accepted as no image.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/style/computed_style.h"
#include "html/style/css_colors.h"
#include "html/style/css_parser.h"

namespace brisomel {

enum class CssValueKind : uint8_t {
  Keyword,       // `keyword` holds the property's enum value (or TextDecorationLine bits)
  Length,        // `number` in `unit`
  Percentage,    // `number` percent
  Number,        // font-weight
  Color,         // `color`
  CurrentColor,  // the element's colour (the parent's for the color property itself)
  LinkColor,     // the document's link colour (the built-in sheet's colour for links)
  Families,      // `families`
  Image,         // `image` (null: none)
  Inherit,
  Initial,
  Unset,
};

enum class CssUnit : uint8_t { Px, Em, Ex, Ch, Rem, Pt, Pc, In, Cm, Mm, Q };

// Keywords of font-size (Keyword values of FontSize).
enum class FontSizeKeyword : uint8_t {
  XxSmall,
  XSmall,
  Small,
  Medium,
  Large,
  XLarge,
  XxLarge,
  XxxLarge,
  Smaller,
  Larger,
};
// Keywords of font-weight besides numbers (Keyword values of FontWeight).
enum class FontWeightKeyword : uint8_t { Bolder, Lighter };

struct CssValue {
  CssValueKind kind = CssValueKind::Initial;
  uint8_t keyword = 0;
  CssUnit unit = CssUnit::Px;
  double number = 0;
  CssRgba color;
  std::shared_ptr<const FontFamilyList> families;
  std::shared_ptr<const StyleImage> image;
};

struct StyleDeclaration {
  StyleProperty property = StyleProperty::Display;
  bool important = false;
  CssValue value;
};

// Reads one declaration (name as written, value tokens) and appends its longhands to `out`.
// `base` is the location of the sheet, kept with URLs. False (nothing appended) when the
// property is unknown or the value invalid.
bool ParseStyleDeclaration(std::u16string_view name, const std::vector<CssToken>& tokens,
                           CssRange value, bool important, const std::u16string& base,
                           std::vector<StyleDeclaration>& out);

// A declaration list (a STYLE attribute's text, hints) read whole.
std::vector<StyleDeclaration> ParseStyleDeclarations(std::u16string_view text,
                                                     const std::u16string& base = {});

// Writes a specified value as CSS (for describing sheets in tests and debugging).
std::string DescribeCssValue(StyleProperty property, const CssValue& value);

// A font-family list from its CSS text ("Verdana, sans-serif"); null when it does not parse.
std::shared_ptr<const FontFamilyList> ParseFontFamilyList(std::u16string_view text);

}  // namespace brisomel
