#include <gtest/gtest.h>

#include "html/style/style_engine.h"
#include "style_test_util.h"

namespace brisomel {
namespace {

using test::El;
using test::Push;
using test::PushPath;
using test::U;

// The colour name a P#x.a (with `style` and `hints`) inside HTML and BODY gets from `css`.
std::string Winner(const std::string& css, const std::string& style = "",
                   const std::string& hints = "") {
  StyleEngine engine({}, {}, false);
  engine.AddSheet(U(css));
  PushPath(engine, "html > body");
  El p{"p", {{"id", "x"}, {"class", "a"}}, hints};
  if (!style.empty()) p.attributes.push_back({"style", style});
  const Color color = Push(engine, p).color;
  const struct {
    Color color;
    const char* name;
  } names[] = {{Rgb(255, 0, 0), "red"},
               {Rgb(0, 0, 255), "blue"},
               {Rgb(0, 128, 0), "green"},
               {Rgb(0, 0, 0), "black"}};
  for (const auto& n : names)
    if (n.color == color) return n.name;
  return "?";
}

TEST(Cascade, SpecificityOrderImportanceAndOrigins) {
  const struct {
    const char* name;
    const char* css;
    const char* style;
    const char* hints;
    const char* winner;
  } cases[] = {
      {"id beats classes", "#x { color: red } p.a.a { color: blue }", "", "", "red"},
      {"classes beat types", "p.a { color: red } html body p { color: blue }", "", "", "red"},
      {"more classes win", ".a.a { color: red } .a { color: blue }", "", "", "red"},
      {"later wins at equal specificity", "p { color: red } p { color: blue }", "", "", "blue"},
      {"two types beat one", "html p { color: red } p { color: blue }", "", "", "red"},
      {":not counts its argument", "p:not(#y) { color: red } p.a { color: blue }", "", "", "red"},
      {"attribute counts as a class", "[id] { color: red } p { color: blue }", "", "", "red"},
      {"important beats specificity", "p { color: red !important } #x { color: blue }", "", "",
       "red"},
      {"later important wins", "p { color: red !important } p { color: blue !important }", "", "",
       "blue"},
      {"style attribute beats an id", "#x { color: red }", "color: blue", "", "blue"},
      {"important beats the style attribute", "p { color: red !important }", "color: blue", "",
       "red"},
      {"important style attribute wins", "#x { color: red !important }", "color: blue !important",
       "", "blue"},
      {"a sheet beats hints", "* { color: red }", "", "color: green", "red"},
      {"hints apply without rules", "q { color: red }", "", "color: green", "green"},
      {"a group's other selectors still apply", "p + q, p { color: red }", "", "", "red"},
      {"invalid value leaves the earlier one", "p { color: red } #x { color: bogus }", "", "",
       "red"},
  };
  for (const auto& c : cases) EXPECT_EQ(Winner(c.css, c.style, c.hints), c.winner) << c.name;
}

TEST(Cascade, LaterSheetsWinAtEqualSpecificity) {
  StyleEngine engine({}, {}, false);
  engine.AddSheet(u"p { color: red; margin-left: 1px }");
  engine.AddSheet(u"p { color: blue }");
  EXPECT_EQ(engine.Describe(Push(engine, {"p"})), "color:#0000ff; margin-left:1px");
}

TEST(Cascade, InheritanceAndTheGlobalKeywords) {
  StyleEngine engine({}, {}, false);
  engine.AddSheet(
      u"body { color: green; background-color: yellow; margin-left: 5px; font-size: 20px; "
      u"text-decoration: underline; text-indent: 3px }"
      u".inherit { margin-left: inherit } .initial { color: initial; font-size: initial }"
      u".unset { color: unset; margin-left: unset } .strike { text-decoration: line-through }"
      u".none { text-decoration: none } .em { margin-top: 1em; font-size: 0.5em }");
  Push(engine, {"html"});
  PushPath(engine, "body");
  // Inherited properties come down; the others start over.
  EXPECT_EQ(engine.Describe(PushPath(engine, "p")),
            "color:#008000; font-size:20px; text-decoration:underline; text-indent:3px");
  engine.Pop();
  EXPECT_EQ(engine.Describe(PushPath(engine, "p.inherit")),
            "color:#008000; font-size:20px; text-decoration:underline; text-indent:3px; "
            "margin-left:5px");
  engine.Pop();
  EXPECT_EQ(engine.Describe(PushPath(engine, "p.initial")),
            "text-decoration:underline; text-indent:3px");
  engine.Pop();
  EXPECT_EQ(engine.Describe(PushPath(engine, "p.unset")),
            "color:#008000; font-size:20px; text-decoration:underline; text-indent:3px");
  engine.Pop();
  // Decorations add up down the tree and cannot be taken off by a descendant.
  EXPECT_EQ(PushPath(engine, "span.strike > span.none").text_decoration,
            kDecorationUnderline | kDecorationLineThrough);
  engine.PopTo(2);
  // em counts the parent's size for font-size and the element's own for other lengths.
  const ComputedStyle& em = PushPath(engine, "p.em");
  EXPECT_EQ(em.FontSizePx(), 10);
  EXPECT_EQ(em.margin[kSideTop].Value(), 10);
}

TEST(Cascade, TheBuiltInSheetGivesHtmlItsLook) {
  StyleDefaults defaults;
  defaults.link_color = Rgb(0, 0, 128);
  StyleEngine engine(defaults);
  const struct {
    const char* path;
    const char* computed;
  } cases[] = {
      {"html > body", "display:block"},
      {"html > body > h1",
       "display:block; font-size:32px; font-weight:700; margin-top:21.44px; "
       "margin-bottom:21.44px"},
      {"html > body > p", "display:block; margin-top:16px; margin-bottom:16px"},
      {"html > body > blockquote",
       "display:block; margin-top:16px; margin-right:40px; "
       "margin-bottom:16px; margin-left:40px"},
      {"html > body > ul > li > ul", "display:block; list-style-type:circle; padding-left:40px"},
      {"html > body > ol > li", "display:list-item; list-style-type:decimal"},
      {"html > body > pre",
       "display:block; font-family:monospace; white-space:pre; "
       "margin-top:16px; margin-bottom:16px"},
      {"html > body > center > b", "font-weight:700; text-align:center"},
      {"html > body > table > tr > th",
       "display:table-cell; font-weight:700; text-align:center; "
       "vertical-align:middle"},
      {"html > body > a[href=x]", "color:#000080; text-decoration:underline"},
      {"html > body > a[name=x]", ""},
      {"html > head > style", "display:none"},
      {"html > body > div[hidden]", "display:none"},
      {"html > body > input[type=Hidden]", "display:none"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(engine.Describe(PushPath(engine, c.path)), c.computed) << c.path;
    engine.PopTo(0);
  }
  // The link colour can change after the engine is made (BODY LINK).
  engine.SetLinkColor(Rgb(255, 0, 0));
  EXPECT_EQ(PushPath(engine, "a[href=x]").color, Rgb(255, 0, 0));
}

TEST(Cascade, PageValuesAreMarkedAndHintsSitBelowTheSheet) {
  StyleEngine engine;
  engine.AddSheet(u"body { color: maroon } .big { font-size: 2em } p { text-align: right }");
  Push(engine, {"html"});
  const ComputedStyle& body = PushPath(engine, "body");
  EXPECT_TRUE(body.AuthorSet(StyleProperty::Color));
  EXPECT_FALSE(body.AuthorSet(StyleProperty::Display));  // the built-in sheet's
  const ComputedStyle& link = PushPath(engine, "a[href=x]");
  EXPECT_FALSE(link.AuthorSet(StyleProperty::Color));  // the built-in link colour wins
  engine.Pop();
  const ComputedStyle& h1 = PushPath(engine, "h1.big");
  EXPECT_TRUE(h1.AuthorSet(StyleProperty::FontSize));
  EXPECT_EQ(h1.FontSizePx(), 32);  // the page's 2em replaces the built-in 2em, not on top
  const ComputedStyle& span = Push(engine, {"span"});
  EXPECT_TRUE(span.AuthorSet(StyleProperty::Color));  // inherited from the page's value
  EXPECT_FALSE(span.AuthorSet(StyleProperty::FontWeight));
  engine.PopTo(2);
  // Hints beat the built-in sheet and lose to the page's sheets.
  const ComputedStyle& b = Push(engine, {"b", {}, "font-weight: normal; text-align: center"});
  EXPECT_EQ(b.font_weight, 400);
  EXPECT_TRUE(b.AuthorSet(StyleProperty::FontWeight));
  engine.Pop();
  EXPECT_EQ(Push(engine, {"p", {}, "text-align: center"}).text_align, CssTextAlign::Right);
}

TEST(Cascade, EqualStylesAreShared) {
  StyleEngine engine;
  engine.AddSheet(u".note { color: red } li { margin-left: 1px }");
  Push(engine, {"html"});
  Push(engine, {"body"});
  const size_t before = engine.StyleCount();
  std::vector<const ComputedStyle*> styles;
  for (int i = 0; i < 1000; ++i) {
    Push(engine, {"ul"});
    styles.push_back(&Push(engine, {"li", {{"class", "note"}, {"style", "width: 1px"}}}));
    Push(engine, {"b"});
    engine.PopTo(2);
  }
  EXPECT_EQ(engine.StyleCount() - before, 3u);
  EXPECT_TRUE(std::all_of(styles.begin(), styles.end(), [&](auto* s) { return s == styles[0]; }));
  EXPECT_EQ(engine.Depth(), 2u);
  engine.PopTo(0);
  EXPECT_EQ(&engine.Current(), &engine.DocumentStyle());
  engine.Pop();  // nothing open: harmless
  EXPECT_EQ(engine.Depth(), 0u);
}

}  // namespace
}  // namespace brisomel
