// The CSS parser's rule and declaration level: splits a token list into rules (at-rules and
// qualified rules, each with a prelude and an optional block) and a block into declarations
// (name, value, !important). Ranges index the caller's token list, which must outlive them.
//
// Reading notes (error recovery as the CSS syntax describes it):
// - Blocks ({}, [], (), functions) nest: a component value runs to its matching closer, and a
//   closer of another kind inside it is an ordinary token. A block left open ends with the
//   range. Skipping is iterative, so deep nesting costs no stack.
// - A qualified rule whose block never starts (the range ends first) is dropped.
// - At the top level of a sheet, CDO and CDC are skipped (so "<!-- ... -->" around a STYLE
//   block's text does no harm); inside blocks they are ordinary tokens.
// - Declaration lists follow the list-of-declarations reading: an at-rule inside is consumed
//   and dropped; a declaration runs to the next ";" outside nested blocks; anything that does
//   not start with an identifier is skipped up to the next ";". A "{" block inside a
//   declaration list therefore swallows everything up to the next ";" (nested style rules are
//   not read).
// - "!important" is recognised at the end of a value, whitespace and case aside; the value's
//   leading and trailing whitespace is dropped.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "html/style/css_tokenizer.h"

namespace brisomel {

struct CssRange {
  size_t begin = 0;
  size_t end = 0;
  bool empty() const { return begin >= end; }
};

struct CssRawRule {
  bool at_rule = false;
  std::u16string name;  // at-rule name as written, without "@"
  CssRange prelude;
  bool has_block = false;
  CssRange block;  // the block's contents, without its braces
};

struct CssRawDeclaration {
  std::u16string name;  // as written
  CssRange value;       // without surrounding whitespace and !important
  bool important = false;
};

// The index just past the component value that starts at `i` (a whole block or function for
// an opener), never beyond `end`.
size_t SkipCssComponentValue(const std::vector<CssToken>& tokens, size_t i, size_t end);

// The block or function at `i` (an opener): `contents` is what stands between the opener and
// its matching closer (or the end of the range when it is left open). Returns the index after
// the block.
size_t SkipCssBlock(const std::vector<CssToken>& tokens, size_t i, size_t end, CssRange& contents);

// Index of the first non-whitespace token at or after `i` (or `end`).
size_t SkipCssWhitespace(const std::vector<CssToken>& tokens, size_t i, size_t end);

// The rules of a range: a whole sheet (top_level: CDO/CDC skipped) or an at-rule's block.
std::vector<CssRawRule> ParseCssRules(const std::vector<CssToken>& tokens, CssRange range,
                                      bool top_level);

// The declarations of a style rule's block or a STYLE attribute.
std::vector<CssRawDeclaration> ParseCssDeclarations(const std::vector<CssToken>& tokens,
                                                    CssRange range);

}  // namespace brisomel
