// Shorthands: margin, padding, border and its side and part forms, font, background and
// list-style, each read into the longhands it sets.
#include <span>

#include "html/style/css_value_reader.h"

namespace brisomel::css_read {
namespace {

using T = CssTokenType;
using P = StyleProperty;

constexpr P kMargins[] = {P::MarginTop, P::MarginRight, P::MarginBottom, P::MarginLeft};
constexpr P kPaddings[] = {P::PaddingTop, P::PaddingRight, P::PaddingBottom, P::PaddingLeft};
constexpr P kBorderWidths[] = {P::BorderTopWidth, P::BorderRightWidth, P::BorderBottomWidth,
                               P::BorderLeftWidth};
constexpr P kBorderStyles[] = {P::BorderTopStyle, P::BorderRightStyle, P::BorderBottomStyle,
                               P::BorderLeftStyle};
constexpr P kBorderColors[] = {P::BorderTopColor, P::BorderRightColor, P::BorderBottomColor,
                               P::BorderLeftColor};

// One to four values for top, right, bottom and left.
bool ParseSides(const P (&sides)[4], const Components& c, const std::u16string& base,
                Expansion& out) {
  if (c.size() < 1 || c.size() > 4) return false;
  CssValue values[4];
  for (size_t i = 0; i < c.size(); ++i)
    if (!ParseLonghand(sides[i], c, i, base, values[i])) return false;
  static constexpr int kSource[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
  for (int side = 0; side < 4; ++side) out.Add(sides[side], values[kSource[c.size() - 1][side]]);
  return true;
}

// Width, style and colour in any order, each at most once, for the given sides.
bool ParseBorder(std::span<const int> sides, const Components& c, Expansion& out) {
  if (c.size() < 1 || c.size() > 3) return false;
  CssValue width = PxValue(3), style = KeywordValue(0),
           color = KindValue(CssValueKind::CurrentColor);
  bool have_width = false, have_style = false, have_color = false;
  for (size_t i = 0; i < c.size(); ++i) {
    CssValue value;
    if (!have_style && ParseLonghand(P::BorderTopStyle, c, i, {}, value)) {
      style = value;
      have_style = true;
    } else if (!have_width && ParseLonghand(P::BorderTopWidth, c, i, {}, value)) {
      width = value;
      have_width = true;
    } else if (!have_color && ParseColorValue(c, i, value)) {
      color = value;
      have_color = true;
    } else {
      return false;
    }
  }
  for (int side : sides) {
    out.Add(kBorderWidths[side], width);
    out.Add(kBorderStyles[side], style);
    out.Add(kBorderColors[side], color);
  }
  return true;
}

// [style || variant || weight || stretch]? size [/ line-height]? family-list
bool ParseFont(const Components& c, CssRange range, Expansion& out) {
  CssValue style = KeywordValue(static_cast<uint8_t>(CssFontStyle::Normal));
  CssValue weight = KindValue(CssValueKind::Number);
  weight.number = 400;
  size_t i = 0;
  for (int taken = 0; i < c.size() && taken < 4; ++taken, ++i) {
    CssValue value;
    if (IsIdent(c[i], "normal") || IsIdent(c[i], "small-caps")) continue;
    if (ParseLonghand(P::FontStyle, c, i, {}, value)) {
      style = value;
    } else if (c[i].type != T::Number && ParseLonghand(P::FontWeight, c, i, {}, value)) {
      weight = value;
    } else if (c[i].type == T::Number && c[i].number >= 1 && c[i].number <= 1000) {
      weight = KindValue(CssValueKind::Number);
      weight.number = c[i].number;
    } else if (c[i].type == T::Ident &&
               CssAsciiLower(c[i].text).find(u"condensed") != std::u16string::npos) {
    } else if (c[i].type == T::Ident &&
               CssAsciiLower(c[i].text).find(u"expanded") != std::u16string::npos) {
    } else {
      break;
    }
  }
  CssValue size;
  if (i >= c.size() || !ParseLonghand(P::FontSize, c, i, {}, size)) return false;
  ++i;
  if (i < c.size() && c[i].type == T::Delim && c[i].delim == '/') {
    ++i;
    if (i >= c.size()) return false;
    CssValue line_height;
    const bool valid = IsIdent(c[i], "normal") || (c[i].type == T::Number && c[i].number >= 0) ||
                       ParseLength(c[i], true, false, line_height);
    if (!valid) return false;
    ++i;
  }
  if (i >= c.size()) return false;
  auto families = ParseFamilies(c.tokens, {c.starts[i], range.end});
  if (!families) return false;
  CssValue family = KindValue(CssValueKind::Families);
  family.families = std::move(families);
  out.Add(P::FontStyle, style);
  out.Add(P::FontWeight, weight);
  out.Add(P::FontSize, size);
  out.Add(P::FontFamily, family);
  return true;
}

bool IsBackgroundExtra(const CssToken& token) {
  static constexpr std::string_view kWords[] = {
      "repeat",     "repeat-x",    "repeat-y",    "no-repeat", "space", "round",   "scroll",
      "fixed",      "local",       "left",        "right",     "top",   "bottom",  "center",
      "border-box", "padding-box", "content-box", "auto",      "cover", "contain", "text"};
  for (std::string_view word : kWords)
    if (IsIdent(token, word)) return true;
  CssValue ignored;
  return ParseLength(token, true, true, ignored) || (token.type == T::Delim && token.delim == '/');
}

// One layer: a colour and an image, among repeat, attachment, position, size and box words,
// which are accepted and not kept.
bool ParseBackground(const Components& c, const std::u16string& base, Expansion& out) {
  CssValue color = KindValue(CssValueKind::Color);
  color.color = {0, 0, 0, 0};
  CssValue image = KindValue(CssValueKind::Image);
  bool have_color = false, have_image = false;
  if (c.size() == 0) return false;
  for (size_t i = 0; i < c.size(); ++i) {
    CssValue value;
    if (c[i].type == T::Comma) return false;
    if (IsBackgroundExtra(c[i])) continue;
    if (!have_image && ParseImage(c, i, base, value)) {
      image = value;
      have_image = true;
    } else if (!have_color && ParseColorValue(c, i, value)) {
      color = value;
      have_color = true;
    } else {
      return false;
    }
  }
  out.Add(P::BackgroundColor, color);
  out.Add(P::BackgroundImage, image);
  return true;
}

// type || position || image; "none" sets the type to none unless a type is given.
bool ParseListStyle(const Components& c, const std::u16string& base, Expansion& out) {
  if (c.size() < 1 || c.size() > 3) return false;
  CssValue type;
  bool have_type = false, have_position = false, have_image = false;
  int nones = 0;
  for (size_t i = 0; i < c.size(); ++i) {
    CssValue value;
    if (IsIdent(c[i], "none")) {
      ++nones;
    } else if (!have_position && (IsIdent(c[i], "inside") || IsIdent(c[i], "outside"))) {
      have_position = true;
    } else if (!have_image && c[i].type != T::Ident && ParseImage(c, i, base, value)) {
      have_image = true;
    } else if (!have_type && ParseLonghand(P::ListStyleType, c, i, base, value)) {
      type = value;
      have_type = true;
    } else {
      return false;
    }
  }
  if (nones > 2 || (nones == 2 && (have_type || have_image))) return false;
  if (!have_type)
    type = KeywordValue(
        static_cast<uint8_t>(nones > 0 ? CssListStyleType::None : CssListStyleType::Disc));
  out.Add(P::ListStyleType, type);
  return true;
}

struct Shorthand {
  std::string_view name;
  std::vector<P> longhands;
};

const std::vector<Shorthand>& Shorthands() {
  static const std::vector<Shorthand> kShorthands = {
      {"margin", {std::begin(kMargins), std::end(kMargins)}},
      {"padding", {std::begin(kPaddings), std::end(kPaddings)}},
      {"border-width", {std::begin(kBorderWidths), std::end(kBorderWidths)}},
      {"border-style", {std::begin(kBorderStyles), std::end(kBorderStyles)}},
      {"border-color", {std::begin(kBorderColors), std::end(kBorderColors)}},
      {"border-top", {P::BorderTopWidth, P::BorderTopStyle, P::BorderTopColor}},
      {"border-right", {P::BorderRightWidth, P::BorderRightStyle, P::BorderRightColor}},
      {"border-bottom", {P::BorderBottomWidth, P::BorderBottomStyle, P::BorderBottomColor}},
      {"border-left", {P::BorderLeftWidth, P::BorderLeftStyle, P::BorderLeftColor}},
      {"border",
       {P::BorderTopWidth, P::BorderRightWidth, P::BorderBottomWidth, P::BorderLeftWidth,
        P::BorderTopStyle, P::BorderRightStyle, P::BorderBottomStyle, P::BorderLeftStyle,
        P::BorderTopColor, P::BorderRightColor, P::BorderBottomColor, P::BorderLeftColor}},
      {"font", {P::FontStyle, P::FontWeight, P::FontSize, P::FontFamily}},
      {"background", {P::BackgroundColor, P::BackgroundImage}},
      {"list-style", {P::ListStyleType}},
  };
  return kShorthands;
}

}  // namespace

const std::vector<P>* ShorthandLonghands(std::u16string_view name) {
  for (const Shorthand& shorthand : Shorthands())
    if (CssEqualsIgnoreCase(name, shorthand.name)) return &shorthand.longhands;
  return nullptr;
}

bool ParseShorthand(std::string_view name, const Components& c, CssRange range,
                    const std::u16string& base, Expansion& out) {
  static constexpr int kAllSides[] = {0, 1, 2, 3};
  if (name == "margin") return ParseSides(kMargins, c, base, out);
  if (name == "padding") return ParseSides(kPaddings, c, base, out);
  if (name == "border-width") return ParseSides(kBorderWidths, c, base, out);
  if (name == "border-style") return ParseSides(kBorderStyles, c, base, out);
  if (name == "border-color") return ParseSides(kBorderColors, c, base, out);
  if (name == "border") return ParseBorder(kAllSides, c, out);
  if (name == "border-top") return ParseBorder(std::span(kAllSides, 1), c, out);
  if (name == "border-right") return ParseBorder(std::span(kAllSides + 1, 1), c, out);
  if (name == "border-bottom") return ParseBorder(std::span(kAllSides + 2, 1), c, out);
  if (name == "border-left") return ParseBorder(std::span(kAllSides + 3, 1), c, out);
  if (name == "font") return ParseFont(c, range, out);
  if (name == "background") return ParseBackground(c, base, out);
  if (name == "list-style") return ParseListStyle(c, base, out);
  return false;
}

}  // namespace brisomel::css_read
