#include <gtest/gtest.h>

#include "html/style/css_values.h"
#include "style_test_util.h"

namespace brisomel {
namespace {

using test::Push;
using test::U;

// The text form of a DIV with this STYLE attribute, inside an HTML element with none, on a
// page with the default defaults (16px, black on white).
std::string Computed(const std::string& style) {
  StyleEngine engine({}, {}, false);
  Push(engine, {"html"});
  return engine.Describe(Push(engine, {"div", {{"style", style}}}));
}

TEST(StyleValues, EachPropertyParsesAndComputes) {
  const struct {
    const char* style;
    const char* computed;
  } cases[] = {
      {"display: block", "display:block"},
      {"display: none", "display:none"},
      {"display: table-cell", "display:table-cell"},
      {"display: list-item", "display:list-item"},
      {"display: flex", "display:block"},
      {"display: inline-block", "display:inline-block"},
      {"display: run-in", ""},
      {"visibility: hidden", "visibility:hidden"},
      {"float: left", "display:block; float:left"},
      {"float: right; display: table-cell", "display:block; float:right"},
      {"float: right; display: inline-table", "display:table; float:right"},
      {"float: none; clear: both", "clear:both"},
      {"float: middle", ""},
      {"width: 50%", "width:50%"},
      {"width: 300px", "width:300px"},
      {"width: 10em", "width:160px"},
      {"width: auto", ""},
      {"width: -1px", ""},
      {"width: calc(100% - 2px)", ""},
      {"width: 10", ""},
      {"color: green", "color:#008000"},
      {"color: ReBeccaPurple", "color:#663399"},
      {"color: #abc", "color:#aabbcc"},
      {"color: #AbCdEf", "color:#abcdef"},
      {"color: rgb(255, 0, 0)", "color:#ff0000"},
      {"color: rgb(100%, 50%, 0%)", "color:#ff8000"},
      {"color: rgb(300 -5 12.6)", "color:#ff000d"},
      {"color: rgba(0, 0, 255, 0.5)", "color:#7f7fff"},
      {"color: #0000ff80", "color:#7f7fff"},
      {"color: rgb(0 128 0 / 0)", "color:transparent"},
      {"color: hsl(120, 100%, 25%)", "color:#008000"},
      {"color: hsla(0.5turn 100% 50% / 1)", "color:#00ffff"},
      {"color: transparent", "color:transparent"},
      {"color: currentColor", ""},
      {"color: #12", ""},
      {"color: rgb(1, 2)", ""},
      {"color: rgb(1, 2 3)", ""},
      {"color: red blue", ""},
      {"color: ButtonFace", ""},
      {"background-color: silver", "background-color:#c0c0c0"},
      {"background-image: url('a b.png')", "background-image:url(\"a b.png\")"},
      {"background-image: url(x.gif); background-image: none", ""},
      {"background: url(bg.png) repeat-x #fff top left",
       "background-color:#ffffff; background-image:url(\"bg.png\")"},
      {"background: #eee url(\"x.png\") no-repeat 0 50% / cover fixed",
       "background-color:#eeeeee; background-image:url(\"x.png\")"},
      {"background: linear-gradient(red, blue)", ""},
      {"background-color: red; background: none", ""},
      {"background: red, blue", ""},
      {"background: red blue", ""},
      {"font-family: Verdana, 'DejaVu Sans', sans-serif",
       "font-family:Verdana, DejaVu Sans, sans-serif"},
      {"font-family: Bitstream   Vera Sans, \"serif\", 'a\"b'",
       "font-family:Bitstream Vera Sans, \"serif\", \"a\\\"b\""},
      {"font-family: MONOSPACE", "font-family:monospace"},
      {"font-family: a,", ""},
      {"font-family: 'a' b", ""},
      {"font-family: inherit, serif", ""},
      {"font-size: 9pt", "font-size:12px"},
      {"font-size: 150%", "font-size:24px"},
      {"font-size: 2em", "font-size:32px"},
      {"font-size: 0.5in", "font-size:48px"},
      {"font-size: 1rem", ""},
      {"font-size: x-large", "font-size:24px"},
      {"font-size: xx-small", "font-size:9.6px"},
      {"font-size: smaller", "font-size:13.33px"},
      {"font-size: larger", "font-size:19.2px"},
      {"font-size: -1px", ""},
      {"font-weight: bold", "font-weight:700"},
      {"font-weight: 600", "font-weight:600"},
      {"font-weight: bolder", "font-weight:700"},
      {"font-weight: lighter", "font-weight:100"},
      {"font-weight: 1001", ""},
      {"font-style: italic", "font-style:italic"},
      {"font-style: oblique", "font-style:oblique"},
      {"font: italic bold 12px/30px Georgia, serif",
       "font-family:Georgia, serif; font-size:12px; font-weight:700; font-style:italic"},
      {"font: 80% sans-serif", "font-family:sans-serif; font-size:12.8px"},
      {"font: normal small-caps 600 condensed x-small/normal 'A B'",
       "font-family:A B; font-size:12px; font-weight:600"},
      {"font-weight: bold; font: 1em serif", "font-family:serif"},
      {"font: bold", ""},
      {"font: 12px", ""},
      {"font: 12px/ serif", ""},
      {"text-decoration: underline overline", "text-decoration:underline overline"},
      {"text-decoration: underline dotted red", "text-decoration:underline"},
      {"text-decoration: line-through", "text-decoration:line-through"},
      {"text-decoration: none", ""},
      {"text-decoration: underline underline", ""},
      {"text-decoration: none underline", ""},
      {"text-align: center", "text-align:center"},
      {"text-align: justify", "text-align:justify"},
      {"text-align: end", "text-align:right"},
      {"text-align: middle", ""},
      {"text-indent: 2em", "text-indent:32px"},
      {"text-indent: -10px", "text-indent:-10px"},
      {"text-indent: 5%", "text-indent:5%"},
      {"white-space: pre", "white-space:pre"},
      {"white-space: pre-wrap", "white-space:pre-wrap"},
      {"white-space: nowrap", "white-space:nowrap"},
      {"white-space: pre-line", "white-space:pre-line"},
      {"vertical-align: top", "vertical-align:top"},
      {"vertical-align: middle", "vertical-align:middle"},
      {"vertical-align: 3px", ""},
      {"list-style-type: upper-roman", "list-style-type:upper-roman"},
      {"list-style-type: lower-latin", "list-style-type:lower-alpha"},
      {"list-style-type: lower-greek", "list-style-type:decimal"},
      {"list-style: square inside", "list-style-type:square"},
      {"list-style: none", "list-style-type:none"},
      {"list-style: url(dot.gif) circle", "list-style-type:circle"},
      {"list-style-type: square; list-style: inside", ""},
      {"list-style: none none none", ""},
      {"margin: 10px", "margin:10px"},
      {"margin: 1px 2px 3px",
       "margin-top:1px; margin-right:2px; margin-bottom:3px; margin-left:2px"},
      {"margin: 0 auto", "margin-right:auto; margin-left:auto"},
      {"margin-left: 5%", "margin-left:5%"},
      {"margin-top: -1em", "margin-top:-16px"},
      {"margin: 1px 2px 3px 4px 5px", ""},
      {"margin-left: 10", ""},
      {"padding: 2em 1em",
       "padding-top:32px; padding-right:16px; padding-bottom:32px; padding-left:16px"},
      {"padding: 3mm", "padding:11.34px"},
      {"padding: -1px", ""},
      {"padding: auto", ""},
      {"border: 1px solid red", "border:1px solid #ff0000"},
      {"border: solid", "border:3px solid #000000"},
      {"border: 2px", ""},
      {"border: 1px solid red blue", ""},
      {"border-left: thick double", "border-left:5px double #000000"},
      {"border-width: 1px 2px; border-style: solid",
       "border-top:1px solid #000000; border-right:2px solid #000000; "
       "border-bottom:1px solid #000000; border-left:2px solid #000000"},
      {"border-color: red; border-style: dashed; border-width: 0.5px", "border:1px dashed #ff0000"},
      {"border: 1px solid; color: blue", "color:#0000ff; border:1px solid #0000ff"},
      {"border: 1px solid; border-top-style: none",
       "border-right:1px solid #000000; border-bottom:1px solid #000000; border-left:1px solid "
       "#000000"},
      {"border: 1px outset gray; border-bottom-color: #fff",
       "border-top:1px outset #808080; border-right:1px outset #808080; "
       "border-bottom:1px outset #ffffff; border-left:1px outset #808080"},
      {"border-top-width: 2.7px; border-top-style: solid", "border-top:2px solid #000000"},
      {"color: red !important", "color:#ff0000"},
      {"margin: inherit", ""},
      {"color: inherit; font-size: initial; display: unset", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Computed(c.style), c.computed) << c.style;
}

TEST(StyleValues, DefaultsAndRelativeValuesFollowTheDocument) {
  StyleDefaults defaults;
  defaults.font_size = 20;
  defaults.font_family = u"Arial, sans-serif";
  defaults.color = Rgb(0, 0, 128);
  defaults.background = Rgb(0, 0, 0);
  StyleEngine engine(defaults, {}, false);
  const ComputedStyle& root = Push(engine, {"html", {{"style", "font-size: 10px"}}});
  EXPECT_EQ(root.FontSizePx(), 10);
  EXPECT_EQ(root.font_family->families.size(), 2u);
  EXPECT_EQ(root.font_family->families[0].name, u"Arial");
  EXPECT_TRUE(root.font_family->families[1].generic);
  EXPECT_EQ(root.color, Rgb(0, 0, 128));
  const ComputedStyle& div =
      Push(engine, {"div",
                    {{"style",
                      "font-size: medium; margin-left: 2rem; padding-left: 1em; "
                      "color: rgba(255, 255, 255, 0.5); font-family: initial"}}});
  EXPECT_EQ(div.FontSizePx(), 20);                // medium is the document's size
  EXPECT_EQ(div.margin[kSideLeft].Value(), 20);   // rem counts the root's 10px
  EXPECT_EQ(div.padding[kSideLeft].Value(), 20);  // em counts the element's own size
  EXPECT_EQ(div.color, Rgb(128, 128, 128));       // blended over the black background
  EXPECT_EQ(div.font_family, root.font_family);
  EXPECT_EQ(engine.Describe(div), "color:#808080; margin-left:20px; padding-left:20px");
}

TEST(StyleValues, DeclarationListsKeepImportanceAndOrder) {
  const std::vector<StyleDeclaration> declarations =
      ParseStyleDeclarations(u"margin: 0 1px; color: red !important; bogus: 1; width: 2px");
  std::string text;
  for (const StyleDeclaration& d : declarations)
    text += std::string(StylePropertyName(d.property)) + "=" +
            DescribeCssValue(d.property, d.value) + (d.important ? "!" : "") + " ";
  EXPECT_EQ(text,
            "margin-top=0px margin-right=1px margin-bottom=0px margin-left=1px color=#ff0000! "
            "width=2px ");
}

}  // namespace
}  // namespace brisomel
