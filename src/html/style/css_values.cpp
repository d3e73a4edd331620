// Longhand values, the entry points for declarations, and the description of specified
// values. Shorthands are in css_shorthands.cpp.
#include "html/style/css_values.h"

#include <cmath>
#include <cstdio>
#include <span>

#include "html/style/css_value_reader.h"
#include "text/utf.h"

namespace brisomel {

using namespace css_read;

namespace {

using T = CssTokenType;
using P = StyleProperty;

struct Keyword {
  std::string_view name;
  uint8_t value;
};
template <typename E>
constexpr Keyword K(std::string_view name, E value) {
  return {name, static_cast<uint8_t>(value)};
}

// The first names are the canonical ones (used when describing); aliases follow.
constexpr Keyword kDisplay[] = {
    K("inline", CssDisplay::Inline),
    K("block", CssDisplay::Block),
    K("list-item", CssDisplay::ListItem),
    K("inline-block", CssDisplay::InlineBlock),
    K("table", CssDisplay::Table),
    K("inline-table", CssDisplay::InlineTable),
    K("table-row-group", CssDisplay::TableRowGroup),
    K("table-header-group", CssDisplay::TableHeaderGroup),
    K("table-footer-group", CssDisplay::TableFooterGroup),
    K("table-row", CssDisplay::TableRow),
    K("table-column-group", CssDisplay::TableColumnGroup),
    K("table-column", CssDisplay::TableColumn),
    K("table-cell", CssDisplay::TableCell),
    K("table-caption", CssDisplay::TableCaption),
    K("none", CssDisplay::None),
    // Layout models this reader does not have: their boxes are laid out as blocks.
    K("flex", CssDisplay::Block),
    K("grid", CssDisplay::Block),
    K("flow-root", CssDisplay::Block),
    K("inline-flex", CssDisplay::InlineBlock),
    K("inline-grid", CssDisplay::InlineBlock),
    K("contents", CssDisplay::Inline),
};
constexpr Keyword kVisibility[] = {K("visible", CssVisibility::Visible),
                                   K("hidden", CssVisibility::Hidden),
                                   K("collapse", CssVisibility::Collapse)};
constexpr Keyword kFloat[] = {K("none", CssFloat::None), K("left", CssFloat::Left),
                              K("right", CssFloat::Right), K("inline-start", CssFloat::Left),
                              K("inline-end", CssFloat::Right)};
constexpr Keyword kClear[] = {K("none", CssClear::None),         K("left", CssClear::Left),
                              K("right", CssClear::Right),       K("both", CssClear::Both),
                              K("inline-start", CssClear::Left), K("inline-end", CssClear::Right)};
constexpr Keyword kFontStyle[] = {K("normal", CssFontStyle::Normal),
                                  K("italic", CssFontStyle::Italic),
                                  K("oblique", CssFontStyle::Oblique)};
constexpr Keyword kTextAlign[] = {K("left", CssTextAlign::Left),
                                  K("right", CssTextAlign::Right),
                                  K("center", CssTextAlign::Center),
                                  K("justify", CssTextAlign::Justify),
                                  K("start", CssTextAlign::Left),
                                  K("end", CssTextAlign::Right),
                                  K("-webkit-center", CssTextAlign::Center),
                                  K("-moz-center", CssTextAlign::Center)};
constexpr Keyword kWhiteSpace[] = {
    K("normal", CssWhiteSpace::Normal),    K("pre", CssWhiteSpace::Pre),
    K("nowrap", CssWhiteSpace::Nowrap),    K("pre-wrap", CssWhiteSpace::PreWrap),
    K("pre-line", CssWhiteSpace::PreLine), K("break-spaces", CssWhiteSpace::PreWrap)};
constexpr Keyword kVerticalAlign[] = {
    K("baseline", CssVerticalAlign::Baseline), K("sub", CssVerticalAlign::Sub),
    K("super", CssVerticalAlign::Super),       K("top", CssVerticalAlign::Top),
    K("text-top", CssVerticalAlign::TextTop),  K("middle", CssVerticalAlign::Middle),
    K("bottom", CssVerticalAlign::Bottom),     K("text-bottom", CssVerticalAlign::TextBottom)};
constexpr Keyword kListStyleType[] = {
    K("disc", CssListStyleType::Disc),
    K("circle", CssListStyleType::Circle),
    K("square", CssListStyleType::Square),
    K("decimal", CssListStyleType::Decimal),
    K("decimal-leading-zero", CssListStyleType::DecimalLeadingZero),
    K("lower-roman", CssListStyleType::LowerRoman),
    K("upper-roman", CssListStyleType::UpperRoman),
    K("lower-alpha", CssListStyleType::LowerAlpha),
    K("upper-alpha", CssListStyleType::UpperAlpha),
    K("none", CssListStyleType::None),
    K("lower-latin", CssListStyleType::LowerAlpha),
    K("upper-latin", CssListStyleType::UpperAlpha),
};
constexpr Keyword kBorderStyle[] = {
    K("none", CssBorderStyle::None),     K("hidden", CssBorderStyle::Hidden),
    K("dotted", CssBorderStyle::Dotted), K("dashed", CssBorderStyle::Dashed),
    K("solid", CssBorderStyle::Solid),   K("double", CssBorderStyle::Double),
    K("groove", CssBorderStyle::Groove), K("ridge", CssBorderStyle::Ridge),
    K("inset", CssBorderStyle::Inset),   K("outset", CssBorderStyle::Outset)};
constexpr Keyword kFontSize[] = {
    K("xx-small", FontSizeKeyword::XxSmall), K("x-small", FontSizeKeyword::XSmall),
    K("small", FontSizeKeyword::Small),      K("medium", FontSizeKeyword::Medium),
    K("large", FontSizeKeyword::Large),      K("x-large", FontSizeKeyword::XLarge),
    K("xx-large", FontSizeKeyword::XxLarge), K("xxx-large", FontSizeKeyword::XxxLarge),
    K("smaller", FontSizeKeyword::Smaller),  K("larger", FontSizeKeyword::Larger)};
constexpr Keyword kFontWeight[] = {K("bolder", FontWeightKeyword::Bolder),
                                   K("lighter", FontWeightKeyword::Lighter)};
constexpr Keyword kDecoration[] = {
    {"underline", kDecorationUnderline},
    {"overline", kDecorationOverline},
    {"line-through", kDecorationLineThrough},
};

struct Unit {
  std::string_view name;
  CssUnit unit;
};
constexpr Unit kUnits[] = {{"px", CssUnit::Px}, {"em", CssUnit::Em},   {"ex", CssUnit::Ex},
                           {"ch", CssUnit::Ch}, {"rem", CssUnit::Rem}, {"pt", CssUnit::Pt},
                           {"pc", CssUnit::Pc}, {"in", CssUnit::In},   {"cm", CssUnit::Cm},
                           {"mm", CssUnit::Mm}, {"q", CssUnit::Q}};

constexpr std::string_view kGenericFamilies[] = {
    "serif",         "sans-serif",   "monospace",  "cursive", "fantasy", "system-ui", "ui-serif",
    "ui-sans-serif", "ui-monospace", "ui-rounded", "math",    "emoji",   "fangsong"};

std::span<const Keyword> KeywordsOf(P property) {
  switch (property) {
    case P::Display:
      return kDisplay;
    case P::Visibility:
      return kVisibility;
    case P::Float:
      return kFloat;
    case P::Clear:
      return kClear;
    case P::FontStyle:
      return kFontStyle;
    case P::TextAlign:
      return kTextAlign;
    case P::WhiteSpace:
      return kWhiteSpace;
    case P::VerticalAlign:
      return kVerticalAlign;
    case P::ListStyleType:
      return kListStyleType;
    case P::FontSize:
      return kFontSize;
    case P::FontWeight:
      return kFontWeight;
    case P::BorderTopStyle:
    case P::BorderRightStyle:
    case P::BorderBottomStyle:
    case P::BorderLeftStyle:
      return kBorderStyle;
    default:
      return {};
  }
}

bool FindKeyword(const CssToken& token, std::span<const Keyword> table, uint8_t& out) {
  if (token.type != T::Ident) return false;
  for (const Keyword& keyword : table) {
    if (CssEqualsIgnoreCase(token.text, keyword.name)) {
      out = keyword.value;
      return true;
    }
  }
  return false;
}

bool IsGenericFamily(std::u16string_view name) {
  for (std::string_view generic : kGenericFamilies)
    if (CssEqualsIgnoreCase(name, generic)) return true;
  return false;
}

bool NeedsQuotes(const FontFamily& family) {
  if (family.generic) return false;
  if (family.name.empty() || IsGenericFamily(family.name)) return true;
  for (char16_t ch : family.name) {
    const bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                       (ch >= '0' && ch <= '9') || ch == '-' || ch == '_' || ch == ' ' ||
                       ch >= 0x80;
    if (!plain) return true;
  }
  return family.name[0] >= '0' && family.name[0] <= '9';
}

// text-decoration: none, or lines in any order, with a style and a colour that are accepted
// and not kept.
bool ParseTextDecoration(const Components& c, CssValue& out) {
  uint8_t lines = 0;
  bool none = false, style = false, color = false;
  for (size_t i = 0; i < c.size(); ++i) {
    uint8_t line = 0;
    CssValue ignored;
    if (IsIdent(c[i], "none") && !none) {
      none = true;
    } else if (FindKeyword(c[i], kDecoration, line) && !(lines & line)) {
      lines |= line;
    } else if (IsIdent(c[i], "blink")) {
    } else if (!style &&
               (IsIdent(c[i], "solid") || IsIdent(c[i], "double") || IsIdent(c[i], "dotted") ||
                IsIdent(c[i], "dashed") || IsIdent(c[i], "wavy"))) {
      style = true;
    } else if (!color && ParseColorValue(c, i, ignored)) {
      color = true;
    } else {
      return false;
    }
  }
  if (c.size() == 0 || (none && lines)) return false;
  out = KeywordValue(lines);
  return true;
}

bool FindLonghand(std::u16string_view name, P& out) {
  for (int i = 0; i < kStylePropertyCount; ++i) {
    const P property = static_cast<P>(i);
    if (CssEqualsIgnoreCase(name, StylePropertyName(property))) {
      out = property;
      return true;
    }
  }
  return false;
}

std::string FormatNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

std::string HexColor(const CssRgba& rgba) {
  char buffer[32];
  if (rgba.a == 255)
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", rgba.r, rgba.g, rgba.b);
  else
    std::snprintf(buffer, sizeof buffer, "rgba(%d,%d,%d,%s)", rgba.r, rgba.g, rgba.b,
                  FormatNumber(std::round(rgba.a / 2.55) / 100).c_str());
  return buffer;
}

}  // namespace

namespace css_read {

bool IsIdent(const CssToken& token, std::string_view lower) {
  return token.type == T::Ident && CssEqualsIgnoreCase(token.text, lower);
}

Components Split(const std::vector<CssToken>& tokens, CssRange range) {
  Components components{tokens, {}, {}};
  size_t i = SkipCssWhitespace(tokens, range.begin, range.end);
  while (i < range.end) {
    components.starts.push_back(i);
    i = SkipCssComponentValue(tokens, i, range.end);
    components.ends.push_back(i);
    i = SkipCssWhitespace(tokens, i, range.end);
  }
  return components;
}

CssValue KeywordValue(uint8_t keyword) {
  CssValue value;
  value.kind = CssValueKind::Keyword;
  value.keyword = keyword;
  return value;
}

CssValue KindValue(CssValueKind kind) {
  CssValue value;
  value.kind = kind;
  return value;
}

CssValue PxValue(double px) {
  CssValue value;
  value.kind = CssValueKind::Length;
  value.number = px;
  return value;
}

// A length (or a percentage where allowed). Numbers must be finite.
bool ParseLength(const CssToken& token, bool allow_percent, bool allow_negative, CssValue& out) {
  if (!std::isfinite(token.number)) return false;
  if (!allow_negative && token.number < 0) return false;
  if (token.type == T::Number && token.number == 0) {
    out = PxValue(0);
    return true;
  }
  if (token.type == T::Percentage && allow_percent) {
    out = KindValue(CssValueKind::Percentage);
    out.number = token.number;
    return true;
  }
  if (token.type != T::Dimension) return false;
  for (const Unit& unit : kUnits) {
    if (CssEqualsIgnoreCase(token.text, unit.name)) {
      out = KindValue(CssValueKind::Length);
      out.unit = unit.unit;
      out.number = token.number;
      return true;
    }
  }
  return false;
}

bool ParseColorValue(const Components& c, size_t index, CssValue& out) {
  const CssToken& token = c[index];
  if (IsIdent(token, "currentcolor")) {
    out = KindValue(CssValueKind::CurrentColor);
    return true;
  }
  if (IsIdent(token, "-brisomel-link")) {
    out = KindValue(CssValueKind::LinkColor);
    return true;
  }
  size_t i = c.starts[index];
  CssRgba rgba;
  if (!ParseCssColor(c.tokens, i, c.ends[index], rgba) || i != c.ends[index]) return false;
  out = KindValue(CssValueKind::Color);
  out.color = rgba;
  return true;
}

// url(x), url("x"), none, or a gradient (taken as no image).
bool ParseImage(const Components& c, size_t index, const std::u16string& base, CssValue& out) {
  const CssToken& token = c[index];
  out = KindValue(CssValueKind::Image);
  if (IsIdent(token, "none")) return true;
  std::u16string url;
  if (token.type == T::Url) {
    url = token.text;
  } else if (token.type == T::Function && CssEqualsIgnoreCase(token.text, "url")) {
    CssRange inside;
    SkipCssBlock(c.tokens, c.starts[index], c.ends[index], inside);
    const Components args = Split(c.tokens, inside);
    if (args.size() != 1 || args[0].type != T::String) return false;
    url = args[0].text;
  } else if (token.type == T::Function) {
    const std::u16string name = CssAsciiLower(token.text);
    return name.find(u"gradient") != std::u16string::npos;
  } else {
    return false;
  }
  out.image = std::make_shared<StyleImage>(StyleImage{std::move(url), base});
  return true;
}

// A comma-separated list of family names: a string, or identifiers joined by single spaces.
std::shared_ptr<const FontFamilyList> ParseFamilies(const std::vector<CssToken>& tokens,
                                                    CssRange range) {
  auto list = std::make_shared<FontFamilyList>();
  FontFamily current;
  bool has_string = false;
  int idents = 0;
  auto finish = [&]() {
    if (!has_string && idents == 0) return false;
    current.generic = !has_string && idents == 1 && IsGenericFamily(current.name);
    if (current.generic) current.name = CssAsciiLower(current.name);
    // Keywords that cannot name a family unquoted.
    if (!has_string && idents == 1)
      for (std::string_view reserved : {"inherit", "initial", "unset", "default"})
        if (CssEqualsIgnoreCase(current.name, reserved)) return false;
    list->families.push_back(std::move(current));
    current = FontFamily();
    has_string = false;
    idents = 0;
    return true;
  };
  for (size_t i = range.begin; i < range.end; ++i) {
    const CssToken& token = tokens[i];
    switch (token.type) {
      case T::Whitespace:
        break;
      case T::String:
        if (has_string || idents > 0) return nullptr;
        current.name = token.text;
        has_string = true;
        break;
      case T::Ident:
        if (has_string) return nullptr;
        if (idents++ > 0) current.name += u' ';
        current.name += token.text;
        break;
      case T::Comma:
        if (!finish()) return nullptr;
        break;
      default:
        return nullptr;
    }
  }
  if (!finish()) return nullptr;
  for (const FontFamily& family : list->families) {
    if (!list->text.empty()) list->text += ", ";
    const std::string name = Utf16ToUtf8(family.name);
    if (!NeedsQuotes(family)) {
      list->text += name;
      continue;
    }
    list->text += '"';
    for (char ch : name) {
      if (ch == '"' || ch == '\\') list->text += '\\';
      list->text += ch;
    }
    list->text += '"';
  }
  return list;
}
// One component as the value of a longhand.
bool ParseLonghand(P property, const Components& c, size_t index, const std::u16string& base,
                   CssValue& out) {
  const CssToken& token = c[index];
  uint8_t keyword = 0;
  switch (property) {
    case P::Display:
    case P::Visibility:
    case P::Float:
    case P::Clear:
    case P::FontStyle:
    case P::TextAlign:
    case P::WhiteSpace:
    case P::BorderTopStyle:
    case P::BorderRightStyle:
    case P::BorderBottomStyle:
    case P::BorderLeftStyle:
      if (!FindKeyword(token, KeywordsOf(property), keyword)) return false;
      out = KeywordValue(keyword);
      return true;
    case P::VerticalAlign:
      if (FindKeyword(token, kVerticalAlign, keyword)) {
        out = KeywordValue(keyword);
        return true;
      }
      // A shift by a length or percentage: kept at the baseline, the nearest this layout has.
      if (!ParseLength(token, true, true, out)) return false;
      out = KeywordValue(static_cast<uint8_t>(CssVerticalAlign::Baseline));
      return true;
    case P::ListStyleType:
      if (FindKeyword(token, kListStyleType, keyword)) {
        out = KeywordValue(keyword);
        return true;
      }
      // Counter styles this reader does not draw fall back to decimal, as CSS says for
      // unknown ones; a string marker is drawn as a disc.
      if (token.type == T::Ident) {
        out = KeywordValue(static_cast<uint8_t>(CssListStyleType::Decimal));
        return true;
      }
      if (token.type == T::String) {
        out = KeywordValue(static_cast<uint8_t>(CssListStyleType::Disc));
        return true;
      }
      return false;
    case P::Color:
    case P::BackgroundColor:
    case P::BorderTopColor:
    case P::BorderRightColor:
    case P::BorderBottomColor:
    case P::BorderLeftColor:
      return ParseColorValue(c, index, out);
    case P::BackgroundImage:
      return ParseImage(c, index, base, out);
    case P::Width:
      if (IsIdent(token, "auto")) {
        out = KindValue(CssValueKind::Keyword);
        return true;
      }
      return ParseLength(token, true, false, out);
    case P::MarginTop:
    case P::MarginRight:
    case P::MarginBottom:
    case P::MarginLeft:
      if (IsIdent(token, "auto")) {
        out = KindValue(CssValueKind::Keyword);
        return true;
      }
      return ParseLength(token, true, true, out);
    case P::PaddingTop:
    case P::PaddingRight:
    case P::PaddingBottom:
    case P::PaddingLeft:
      return ParseLength(token, true, false, out);
    case P::TextIndent:
      return ParseLength(token, true, true, out);
    case P::BorderTopWidth:
    case P::BorderRightWidth:
    case P::BorderBottomWidth:
    case P::BorderLeftWidth:
      if (IsIdent(token, "thin"))
        out = PxValue(1);
      else if (IsIdent(token, "medium"))
        out = PxValue(3);
      else if (IsIdent(token, "thick"))
        out = PxValue(5);
      else
        return ParseLength(token, false, false, out);
      return true;
    case P::FontSize:
      if (FindKeyword(token, kFontSize, keyword)) {
        out = KeywordValue(keyword);
        return true;
      }
      return ParseLength(token, true, false, out);
    case P::FontWeight:
      if (FindKeyword(token, kFontWeight, keyword)) {
        out = KeywordValue(keyword);
        return true;
      }
      out = KindValue(CssValueKind::Number);
      if (IsIdent(token, "normal"))
        out.number = 400;
      else if (IsIdent(token, "bold"))
        out.number = 700;
      else if (token.type == T::Number && token.number >= 1 && token.number <= 1000)
        out.number = token.number;
      else
        return false;
      return true;
    case P::TextDecoration:
    case P::FontFamily:
      return false;  // read from the whole value
  }
  return false;
}

}  // namespace css_read

bool ParseStyleDeclaration(std::u16string_view name, const std::vector<CssToken>& tokens,
                           CssRange value, bool important, const std::u16string& base,
                           std::vector<StyleDeclaration>& out) {
  const Components c = Split(tokens, value);
  if (c.size() == 0) return false;
  Expansion expansion;
  expansion.important = important;

  // Global keywords stand alone and apply to every longhand.
  if (c.size() == 1 && c[0].type == T::Ident) {
    CssValueKind global = CssValueKind::Keyword;
    if (IsIdent(c[0], "inherit")) global = CssValueKind::Inherit;
    if (IsIdent(c[0], "initial")) global = CssValueKind::Initial;
    if (IsIdent(c[0], "unset")) global = CssValueKind::Unset;
    if (global != CssValueKind::Keyword) {
      P property;
      if (FindLonghand(name, property)) {
        expansion.Add(property, KindValue(global));
      } else {
        if (const std::vector<P>* longhands = css_read::ShorthandLonghands(name))
          for (P longhand : *longhands) expansion.Add(longhand, KindValue(global));
      }
      if (expansion.declarations.empty()) return false;
      out.insert(out.end(), expansion.declarations.begin(), expansion.declarations.end());
      return true;
    }
  }

  P property;
  if (FindLonghand(name, property)) {
    CssValue parsed;
    if (property == P::FontFamily) {
      parsed = KindValue(CssValueKind::Families);
      parsed.families = ParseFamilies(tokens, value);
      if (!parsed.families) return false;
    } else if (property == P::TextDecoration) {
      if (!ParseTextDecoration(c, parsed)) return false;
    } else if (c.size() != 1 || !ParseLonghand(property, c, 0, base, parsed)) {
      return false;
    }
    out.push_back({property, important, std::move(parsed)});
    return true;
  }
  std::string lower;
  for (char16_t ch : name) {
    if (ch >= 0x80) return false;
    lower.push_back(static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch));
  }
  if (!ParseShorthand(lower, c, value, base, expansion)) return false;
  out.insert(out.end(), expansion.declarations.begin(), expansion.declarations.end());
  return true;
}

std::vector<StyleDeclaration> ParseStyleDeclarations(std::u16string_view text,
                                                     const std::u16string& base) {
  const std::vector<CssToken> tokens = TokenizeCss(text);
  std::vector<StyleDeclaration> out;
  for (const CssRawDeclaration& raw : ParseCssDeclarations(tokens, {0, tokens.size()}))
    ParseStyleDeclaration(raw.name, tokens, raw.value, raw.important, base, out);
  return out;
}

std::shared_ptr<const FontFamilyList> ParseFontFamilyList(std::u16string_view text) {
  const std::vector<CssToken> tokens = TokenizeCss(text);
  return ParseFamilies(tokens, {0, tokens.size() - 1});
}

std::string DescribeCssValue(StyleProperty property, const CssValue& value) {
  switch (value.kind) {
    case CssValueKind::Keyword: {
      if (property == P::TextDecoration) {
        std::string text;
        for (const Keyword& line : kDecoration) {
          if (!(value.keyword & line.value)) continue;
          if (!text.empty()) text += ' ';
          text += line.name;
        }
        return text.empty() ? "none" : text;
      }
      if (property == P::Width || (property >= P::MarginTop && property <= P::MarginLeft))
        return "auto";
      for (const Keyword& keyword : KeywordsOf(property))
        if (keyword.value == value.keyword) return std::string(keyword.name);
      return "?";
    }
    case CssValueKind::Length: {
      static constexpr const char* kNames[] = {"px", "em", "ex", "ch", "rem", "pt",
                                               "pc", "in", "cm", "mm", "q"};
      return FormatNumber(value.number) + kNames[static_cast<int>(value.unit)];
    }
    case CssValueKind::Percentage:
      return FormatNumber(value.number) + "%";
    case CssValueKind::Number:
      return FormatNumber(value.number);
    case CssValueKind::Color:
      return value.color.a == 0 ? "transparent" : HexColor(value.color);
    case CssValueKind::CurrentColor:
      return "currentcolor";
    case CssValueKind::LinkColor:
      return "-brisomel-link";
    case CssValueKind::Families:
      return value.families ? value.families->text : "?";
    case CssValueKind::Image:
      return value.image ? "url(\"" + Utf16ToUtf8(value.image->url) + "\")" : "none";
    case CssValueKind::Inherit:
      return "inherit";
    case CssValueKind::Initial:
      return "initial";
    case CssValueKind::Unset:
      return "unset";
  }
  return "?";
}

}  // namespace brisomel
