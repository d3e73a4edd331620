// Computing an element's values from the declarations that won the cascade and its parent's
// computed values.
#pragma once

#include <array>

#include "html/style/computed_style.h"
#include "html/style/css_values.h"

namespace brisomel {

struct StyleComputeContext {
  double medium_font_size = 16;  // px: the document's default size
  double root_font_size = 16;    // px: what rem counts
  Color color = 0;               // the document's text colour (color's initial value)
  Color background = 0xFFFFFF;   // what partly transparent colours are blended over
  Color link_color = 0xFF0000;
  const FontFamilyList* default_family = nullptr;
};

// The winning declaration of each longhand (null: none) and whether it came from the page
// (a sheet, a STYLE attribute or a hint) rather than the built-in sheet.
struct StyleWinners {
  std::array<const CssValue*, kStylePropertyCount> values{};
  uint64_t from_page = 0;  // PropertyBit per longhand
};

ComputedStyle ComputeStyle(const ComputedStyle& parent, const StyleWinners& winners,
                           const StyleComputeContext& context);

}  // namespace brisomel
