// Reading declaration values: what the longhands (css_values.cpp) and the shorthands
// (css_shorthands.cpp) share. Internal to the style module.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/style/css_values.h"

namespace brisomel::css_read {

// A value's component values: where each starts and ends (whitespace between them skipped).
struct Components {
  const std::vector<CssToken>& tokens;
  std::vector<size_t> starts;
  std::vector<size_t> ends;
  size_t size() const { return starts.size(); }
  const CssToken& operator[](size_t i) const { return tokens[starts[i]]; }
};
Components Split(const std::vector<CssToken>& tokens, CssRange range);

bool IsIdent(const CssToken& token, std::string_view lower);

CssValue KeywordValue(uint8_t keyword);
CssValue KindValue(CssValueKind kind);
CssValue PxValue(double px);

// A length (or a percentage where allowed); a unitless number only when it is 0.
bool ParseLength(const CssToken& token, bool allow_percent, bool allow_negative, CssValue& out);
// A colour, currentColor, or the built-in link colour keyword.
bool ParseColorValue(const Components& c, size_t index, CssValue& out);
// url(x), url("x"), none, or a gradient (taken as no image).
bool ParseImage(const Components& c, size_t index, const std::u16string& base, CssValue& out);
// A comma-separated list of family names; null when it does not parse.
std::shared_ptr<const FontFamilyList> ParseFamilies(const std::vector<CssToken>& tokens,
                                                    CssRange range);
// Component `index` as the whole value of a longhand (not text-decoration or font-family,
// which read the whole value).
bool ParseLonghand(StyleProperty property, const Components& c, size_t index,
                   const std::u16string& base, CssValue& out);

// The longhands a shorthand sets, in order.
struct Expansion {
  std::vector<StyleDeclaration> declarations;
  bool important = false;
  void Add(StyleProperty property, CssValue value) {
    declarations.push_back({property, important, std::move(value)});
  }
};

// The longhands of a shorthand name (any case), or null.
const std::vector<StyleProperty>* ShorthandLonghands(std::u16string_view name);
// A shorthand (lower-case name) read into its longhands; false when the value is invalid.
bool ParseShorthand(std::string_view name, const Components& c, CssRange range,
                    const std::u16string& base, Expansion& out);

}  // namespace brisomel::css_read
