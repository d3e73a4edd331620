#include "html/style/css_parser.h"

#include <algorithm>

namespace brisomel {
namespace {

using T = CssTokenType;

bool IsOpener(T type) {
  return type == T::OpenCurly || type == T::OpenSquare || type == T::OpenParen ||
         type == T::Function;
}

T CloserOf(T opener) {
  switch (opener) {
    case T::OpenCurly:
      return T::CloseCurly;
    case T::OpenSquare:
      return T::CloseSquare;
    default:
      return T::CloseParen;  // "(" and functions
  }
}

// Skips the component value at `i`; `closed` tells whether its matching closer was found.
size_t SkipValue(const std::vector<CssToken>& tokens, size_t i, size_t end, bool& closed) {
  closed = true;
  if (i >= end) return end;
  if (!IsOpener(tokens[i].type)) return i + 1;
  std::vector<T> closers{CloserOf(tokens[i].type)};
  for (++i; i < end; ++i) {
    const T type = tokens[i].type;
    if (type == closers.back()) {
      closers.pop_back();
      if (closers.empty()) return i + 1;
    } else if (IsOpener(type)) {
      closers.push_back(CloserOf(type));
    }
  }
  closed = false;
  return end;
}

// An at-rule starting at `i` (its at-keyword): the prelude runs to ";" or a "{" block.
size_t ParseAtRule(const std::vector<CssToken>& tokens, size_t i, size_t end, CssRawRule& rule) {
  rule.at_rule = true;
  rule.name = tokens[i].text;
  rule.prelude.begin = ++i;
  while (i < end) {
    if (tokens[i].type == T::Semicolon) {
      rule.prelude.end = i;
      return i + 1;
    }
    if (tokens[i].type == T::OpenCurly) {
      rule.prelude.end = i;
      const size_t after = SkipCssBlock(tokens, i, end, rule.block);
      rule.has_block = true;
      return after;
    }
    i = SkipCssComponentValue(tokens, i, end);
  }
  rule.prelude.end = end;
  return end;
}

// A qualified rule starting at `i`: false when the range ends before its block.
bool ParseQualifiedRule(const std::vector<CssToken>& tokens, size_t& i, size_t end,
                        CssRawRule& rule) {
  rule.prelude.begin = i;
  while (i < end) {
    if (tokens[i].type == T::OpenCurly) {
      rule.prelude.end = i;
      const size_t after = SkipCssBlock(tokens, i, end, rule.block);
      rule.has_block = true;
      i = after;
      return true;
    }
    i = SkipCssComponentValue(tokens, i, end);
  }
  return false;
}

// The end of a range, without the Eof token that ends the token list.
size_t RangeEnd(const std::vector<CssToken>& tokens, CssRange range) {
  size_t end = std::min(range.end, tokens.size());
  if (end > 0 && end == tokens.size() && tokens[end - 1].type == T::Eof) --end;
  return end;
}

}  // namespace

size_t SkipCssComponentValue(const std::vector<CssToken>& tokens, size_t i, size_t end) {
  bool closed = false;
  return SkipValue(tokens, i, end, closed);
}

size_t SkipCssBlock(const std::vector<CssToken>& tokens, size_t i, size_t end, CssRange& contents) {
  bool closed = false;
  const size_t after = SkipValue(tokens, i, end, closed);
  contents = {std::min(i + 1, after), closed ? after - 1 : after};
  return after;
}

size_t SkipCssWhitespace(const std::vector<CssToken>& tokens, size_t i, size_t end) {
  while (i < end && tokens[i].type == T::Whitespace) ++i;
  return i;
}

std::vector<CssRawRule> ParseCssRules(const std::vector<CssToken>& tokens, CssRange range,
                                      bool top_level) {
  std::vector<CssRawRule> rules;
  size_t i = range.begin;
  const size_t end = RangeEnd(tokens, range);
  while (i < end) {
    const T type = tokens[i].type;
    if (type == T::Whitespace || type == T::Eof ||
        (top_level && (type == T::Cdo || type == T::Cdc))) {
      ++i;
      continue;
    }
    CssRawRule rule;
    if (type == T::AtKeyword) {
      i = ParseAtRule(tokens, i, end, rule);
      rules.push_back(std::move(rule));
    } else if (ParseQualifiedRule(tokens, i, end, rule)) {
      rules.push_back(std::move(rule));
    }
  }
  return rules;
}

std::vector<CssRawDeclaration> ParseCssDeclarations(const std::vector<CssToken>& tokens,
                                                    CssRange range) {
  std::vector<CssRawDeclaration> declarations;
  size_t i = range.begin;
  const size_t end = RangeEnd(tokens, range);
  auto skip_to_semicolon = [&](size_t from) {
    while (from < end && tokens[from].type != T::Semicolon)
      from = SkipCssComponentValue(tokens, from, end);
    return from;
  };
  while (i < end) {
    const T type = tokens[i].type;
    if (type == T::Whitespace || type == T::Semicolon || type == T::Eof) {
      ++i;
      continue;
    }
    if (type == T::AtKeyword) {
      CssRawRule dropped;
      i = ParseAtRule(tokens, i, end, dropped);
      continue;
    }
    if (type != T::Ident) {
      i = skip_to_semicolon(i);
      continue;
    }
    const size_t stop = skip_to_semicolon(i);
    CssRawDeclaration declaration;
    declaration.name = tokens[i].text;
    size_t j = SkipCssWhitespace(tokens, i + 1, stop);
    i = stop;
    if (j >= stop || tokens[j].type != T::Colon) continue;
    j = SkipCssWhitespace(tokens, j + 1, stop);
    size_t last = stop;
    auto trim_end = [&] {
      while (last > j && tokens[last - 1].type == T::Whitespace) --last;
    };
    trim_end();
    // "!" and "important" (whitespace between them allowed) end an important value.
    if (last > j && tokens[last - 1].type == T::Ident &&
        CssEqualsIgnoreCase(tokens[last - 1].text, "important")) {
      size_t bang = last - 1;
      while (bang > j && tokens[bang - 1].type == T::Whitespace) --bang;
      if (bang > j && tokens[bang - 1].type == T::Delim && tokens[bang - 1].delim == '!') {
        declaration.important = true;
        last = bang - 1;
        trim_end();
      }
    }
    declaration.value = {j, last};
    declarations.push_back(std::move(declaration));
  }
  return declarations;
}

}  // namespace brisomel
