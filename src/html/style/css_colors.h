// CSS colour values: the named colours, "transparent", #rgb, #rgba, #rrggbb, #rrggbbaa,
// rgb()/rgba() and hsl()/hsla() in both the comma and the space-separated forms. "currentColor"
// depends on the element and is left to the caller.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "html/style/css_tokenizer.h"

namespace brisomel {

struct CssRgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const CssRgba&) const = default;
};

// A named colour (any case) or "transparent".
bool LookupCssNamedColor(std::u16string_view name, CssRgba& out);

// The colour written as the component value at `i` (an identifier, a hash or a colour
// function); on success `i` moves past it. Channels are clamped and rounded; alpha is kept.
bool ParseCssColor(const std::vector<CssToken>& tokens, size_t& i, size_t end, CssRgba& out);

}  // namespace brisomel
