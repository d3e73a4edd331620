// Media query lists, kept simple: a list of queries separated by commas matches when one of
// them does; a query is an optional "not" or "only", a media type, and features joined by
// "and".
//
// Reading notes:
// - "all" always matches, "screen" when not printing, "print" when printing; other types
//   (tv, handheld, speech, ...) never do.
// - Width features (width, min-width, max-width, and the device- forms) are compared with the
//   width the caller gives, a desktop window's by default. Documentation sheets use them to
//   switch between a phone layout (max-width) and a wide one (min-width); comparing with a
//   desktop width picks the layout their authors meant for a reader on a desktop, where taking
//   every feature as true would apply the phone rules and taking every feature as false would
//   drop the wide-screen ones. Lengths in em count 16px, as in a browser's media queries.
// - Every other feature (orientation, resolution, prefers-color-scheme, ...) does not match,
//   nor does a query that does not parse; "not" inverts a query that parses.
#pragma once

#include <string_view>
#include <vector>

#include "html/style/css_parser.h"

namespace brisomel {

struct StyleMedia {
  bool printing = false;
  int viewport_width = 1024;  // pixels
};

// An empty list matches.
bool MediaListMatches(const std::vector<CssToken>& tokens, CssRange range, const StyleMedia& media);
// The MEDIA attribute of STYLE and LINK.
bool MediaListMatches(std::u16string_view text, const StyleMedia& media);

}  // namespace brisomel
