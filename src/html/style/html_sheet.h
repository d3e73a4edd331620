// The built-in sheet: how HTML elements look before a page's own styles, written as CSS so
// that the cascade treats them like any other rules (a page's rules win over them). It follows
// the reader's own rendering of HTML: heading sizes 2, 1.5, 1.25, 1, 0.83 and 0.67 em, bold
// TH, centred CENTER, TH and CAPTION, fixed-pitch TT, CODE, KBD, SAMP and PRE, list indents of
// 40px, middle-aligned cells, underlined links in the document's link colour. Page margins are
// the viewer's, so BODY has none here.
#pragma once

#include <string_view>

namespace brisomel {

std::u16string_view HtmlDefaultSheet();

}  // namespace brisomel
