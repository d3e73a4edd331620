// Reading a style sheet into rules: each qualified rule whose selectors parse becomes a rule
// with its longhand declarations; @media blocks whose query list matches are read in place;
// @import rules load their sheet through the caller's loader and read it in place; @charset is
// ignored (the caller decodes the text) and every other at-rule is skipped.
//
// Reading notes:
// - @import counts only before every other rule but @charset and other @imports, as CSS says;
//   one that follows a style rule is ignored.
// - Imports are bounded: a sheet already being read higher up the chain is not read again
//   (cycles), chains end at kMaxImportDepth, and one top-level sheet loads at most
//   kMaxImports sheets in all. @media blocks nest at most kMaxBlockDepth deep.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/style/css_values.h"
#include "html/style/media_queries.h"
#include "html/style/selectors.h"

namespace brisomel {

struct StyleRule {
  std::vector<ComplexSelector> selectors;
  std::vector<StyleDeclaration> declarations;
};

// Loads the sheet that @import (or a LINK) names: `url` as written, `base` the location of
// the sheet or page that names it. Fills the sheet's text and its own location (what URLs
// inside it are relative to); false when there is no such sheet.
using StyleSheetLoader = std::function<bool(std::u16string_view url, std::u16string_view base,
                                            std::u16string& text, std::u16string& location)>;

struct StyleSheetContext {
  StyleAtoms& atoms;
  const StyleMedia& media;
  const StyleSheetLoader* loader = nullptr;  // null: @import is skipped
};

inline constexpr int kMaxImportDepth = 8;
inline constexpr int kMaxImports = 64;
inline constexpr int kMaxBlockDepth = 16;

// The rules of a sheet and of the sheets it imports, in cascade order. `location` is the
// sheet's own (empty for a STYLE block of the page).
std::vector<std::unique_ptr<StyleRule>> ReadStyleSheet(std::u16string_view text,
                                                       std::u16string_view location,
                                                       const StyleSheetContext& context);

// "a, b.c { color: #ff0000; margin-left: 2em !important }"
std::string DescribeStyleRule(const StyleRule& rule, const StyleAtoms& atoms);

}  // namespace brisomel
