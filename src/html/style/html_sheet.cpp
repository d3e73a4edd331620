#include "html/style/html_sheet.h"

namespace brisomel {

std::u16string_view HtmlDefaultSheet() {
  static constexpr std::u16string_view kSheet =
      uR"css(
html, body, address, blockquote, center, div, dl, dd, dt, form, h1, h2, h3, h4, h5, h6, hr,
listing, menu, dir, ol, ul, p, plaintext, pre, xmp, noframes, noscript, frameset, frame,
article, aside, details, figcaption, figure, footer, header, main, nav, section, summary,
fieldset, legend, iframe { display: block }
head, title, meta, link, style, script, base, basefont, map, area, param, template, datalist,
bgsound, [hidden], input[type=hidden i] { display: none }
li { display: list-item }
table { display: table }
caption { display: table-caption; text-align: center }
colgroup { display: table-column-group }
col { display: table-column }
thead { display: table-header-group; vertical-align: middle }
tbody { display: table-row-group; vertical-align: middle }
tfoot { display: table-footer-group; vertical-align: middle }
tr { display: table-row; vertical-align: middle }
td, th { display: table-cell; vertical-align: inherit }
th { font-weight: bold; text-align: center }

b, strong { font-weight: bold }
i, em, cite, var, dfn, address { font-style: italic }
u, ins { text-decoration: underline }
s, strike, del { text-decoration: line-through }
tt, code, kbd, samp, pre, listing, xmp, plaintext { font-family: monospace }
pre, listing, xmp, plaintext { white-space: pre }
nobr { white-space: nowrap }
center { text-align: center }
big { font-size: larger }
small { font-size: smaller }
sub { vertical-align: sub }
sup { vertical-align: super }

h1 { font-size: 2em; margin: .67em 0; font-weight: bold }
h2 { font-size: 1.5em; margin: .83em 0; font-weight: bold }
h3 { font-size: 1.25em; margin: 1em 0; font-weight: bold }
h4 { margin: 1.33em 0; font-weight: bold }
h5 { font-size: .83em; margin: 1.67em 0; font-weight: bold }
h6 { font-size: .67em; margin: 2.33em 0; font-weight: bold }

p, dl, pre, listing, xmp, plaintext { margin: 1em 0 }
blockquote { margin: 1em 40px }
ul, ol, dir, menu { margin: 1em 0; padding-left: 40px }
ul ul, ul ol, ul dir, ul menu, ol ul, ol ol, ol dir, ol menu, dir ul, dir ol, menu ul,
menu ol { margin-top: 0; margin-bottom: 0 }
dd { margin-left: 40px }
ol { list-style-type: decimal }
ul ul, ol ul, dir ul, menu ul { list-style-type: circle }
ul ul ul, ul ol ul, ol ul ul, ol ol ul { list-style-type: square }

a:link { color: -brisomel-link; text-decoration: underline }
)css";
  return kSheet;
}

}  // namespace brisomel
