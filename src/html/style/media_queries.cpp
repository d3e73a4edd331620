#include "html/style/media_queries.h"

#include <cmath>

namespace brisomel {
namespace {

using T = CssTokenType;

constexpr double kMediaEmPx = 16;

bool IsIdent(const CssToken& token, std::string_view lower) {
  return token.type == T::Ident && CssEqualsIgnoreCase(token.text, lower);
}

bool WidthOf(const CssToken& token, double& px) {
  if (token.type == T::Number && token.number == 0) {
    px = 0;
    return true;
  }
  if (token.type != T::Dimension || !std::isfinite(token.number)) return false;
  if (CssEqualsIgnoreCase(token.text, "px"))
    px = token.number;
  else if (CssEqualsIgnoreCase(token.text, "em") || CssEqualsIgnoreCase(token.text, "rem"))
    px = token.number * kMediaEmPx;
  else if (CssEqualsIgnoreCase(token.text, "pt"))
    px = token.number * 4 / 3;
  else if (CssEqualsIgnoreCase(token.text, "in"))
    px = token.number * 96;
  else if (CssEqualsIgnoreCase(token.text, "cm"))
    px = token.number * 96 / 2.54;
  else if (CssEqualsIgnoreCase(token.text, "mm"))
    px = token.number * 96 / 25.4;
  else
    return false;
  return true;
}

// "(name: value)" or "(name)"; only width features can match.
bool FeatureMatches(const std::vector<CssToken>& tokens, CssRange inside, const StyleMedia& media) {
  size_t i = SkipCssWhitespace(tokens, inside.begin, inside.end);
  if (i >= inside.end || tokens[i].type != T::Ident) return false;
  std::u16string name = CssAsciiLower(tokens[i].text);
  i = SkipCssWhitespace(tokens, i + 1, inside.end);
  if (i >= inside.end) return false;  // "(color)" and other boolean features
  if (tokens[i].type != T::Colon) return false;
  i = SkipCssWhitespace(tokens, i + 1, inside.end);
  double px = 0;
  if (i >= inside.end || !WidthOf(tokens[i], px)) return false;
  if (SkipCssWhitespace(tokens, i + 1, inside.end) != inside.end) return false;
  if (name.starts_with(u"min-device-") || name.starts_with(u"max-device-"))
    name.erase(4, 7);
  else if (name == u"device-width")
    name = u"width";
  const double width = media.viewport_width;
  if (name == u"width") return width == px;
  if (name == u"min-width") return width >= px;
  if (name == u"max-width") return width <= px;
  return false;
}

bool TypeMatches(const CssToken& type, const StyleMedia& media) {
  if (IsIdent(type, "all")) return true;
  if (IsIdent(type, "screen")) return !media.printing;
  if (IsIdent(type, "print")) return media.printing;
  return false;
}

// One query between commas; `valid` is false when it does not parse.
bool QueryMatches(const std::vector<CssToken>& tokens, CssRange range, const StyleMedia& media,
                  bool& valid) {
  std::vector<size_t> parts;
  for (size_t i = SkipCssWhitespace(tokens, range.begin, range.end); i < range.end;
       i = SkipCssWhitespace(tokens, i, range.end)) {
    parts.push_back(i);
    i = SkipCssComponentValue(tokens, i, range.end);
  }
  valid = false;
  size_t p = 0;
  bool negate = false;
  bool result = true;
  if (p < parts.size() && tokens[parts[p]].type == T::Ident) {
    if (IsIdent(tokens[parts[p]], "not")) {
      negate = true;
      ++p;
    } else if (IsIdent(tokens[parts[p]], "only")) {
      ++p;
    }
    if (p >= parts.size() || tokens[parts[p]].type != T::Ident) return false;
    result = TypeMatches(tokens[parts[p]], media);
    ++p;
    if (p < parts.size() && !IsIdent(tokens[parts[p]], "and")) return false;
    if (p < parts.size()) ++p;
    if (p >= parts.size() && IsIdent(tokens[parts[p - 1]], "and")) return false;
  } else if (parts.empty()) {
    return false;
  }
  for (bool first = true; p < parts.size(); first = false) {
    if (!first) {
      if (!IsIdent(tokens[parts[p]], "and") || p + 1 >= parts.size()) return false;
      ++p;
    }
    if (tokens[parts[p]].type != T::OpenParen) return false;
    CssRange inside;
    SkipCssBlock(tokens, parts[p], range.end, inside);
    result = FeatureMatches(tokens, inside, media) && result;
    ++p;
  }
  valid = true;
  return negate ? !result : result;
}

}  // namespace

bool MediaListMatches(const std::vector<CssToken>& tokens, CssRange range,
                      const StyleMedia& media) {
  if (SkipCssWhitespace(tokens, range.begin, range.end) >= range.end) return true;
  size_t start = range.begin;
  for (size_t i = range.begin;; i = SkipCssComponentValue(tokens, i, range.end)) {
    if (i >= range.end || tokens[i].type == T::Comma) {
      bool valid = false;
      if (QueryMatches(tokens, {start, i}, media, valid) && valid) return true;
      if (i >= range.end) return false;
      start = i + 1;
    }
  }
}

bool MediaListMatches(std::u16string_view text, const StyleMedia& media) {
  const std::vector<CssToken> tokens = TokenizeCss(text);
  return MediaListMatches(tokens, {0, tokens.size() - 1}, media);
}

}  // namespace brisomel
