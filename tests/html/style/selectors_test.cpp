#include "html/style/selectors.h"

#include <gtest/gtest.h>

#include "style_test_util.h"

namespace brisomel {
namespace {

using test::El;
using test::Push;
using test::PushPath;
using test::U;

constexpr Color kRed = Rgb(255, 0, 0);

// Whether `selector` matches the last element of `path`.
bool Matches(const std::string& selector, const std::string& path) {
  StyleEngine engine({}, {}, false);
  engine.AddSheet(U(selector + " { color: red }"));
  return PushPath(engine, path).color == kRed;
}

TEST(Selectors, MatchElementsAndAncestors) {
  const struct {
    const char* selector;
    const char* path;
    bool matches;
  } cases[] = {
      {"p", "html > body > p", true},
      {"P", "html > BODY > p", true},
      {"p", "html > body > div", false},
      {"*", "html > body > div", true},
      {".note", "p.note", true},
      {".note", "p.Note", false},
      {".a.b", "p.b.x.a", true},
      {".a.b", "p.a", false},
      {"#x", "p#x", true},
      {"#X", "p#x", false},
      {"p#x.a", "p.a#x", true},
      {"div#x", "p#x", false},
      {"[title]", "p[title=]", true},
      {"[title]", "p", false},
      {"[A=x]", "p[a=x]", true},
      {"[a=\"1\"]", "p[a=12]", false},
      {"[a=1]", "p[a=1]", false},  // a number is no attribute value: the rule is dropped
      {"[lang|=en]", "p[lang=en-GB]", true},
      {"[lang|=en]", "p[lang=english]", false},
      {"[class~=b]", "p.a.b", true},
      {"[class~=\"a b\"]", "p.a.b", false},
      {"[href^=http]", "a[href=http://x]", true},
      {"[href$=\".pdf\"]", "a[href=x.pdf]", true},
      {"[href*=doc]", "a[href=/doc/x]", true},
      {"[href*=\"\"]", "a[href=/doc/x]", false},
      {"[type=HIDDEN i]", "input[type=hidden]", true},
      {"[type=HIDDEN]", "input[type=hidden]", false},
      {"div p", "div > section > p", true},
      {"div p", "section > p", false},
      {"div > p", "div > p", true},
      {"div > p", "div > span > p", false},
      {"div > p span", "div > p > b > span", true},
      // The nearest B's parent is no A; a B further up has one.
      {"a > b c", "a > b > d > b > c", true},
      {"a > b c", "x > b > d > b > c", false},
      {"a b > c", "a > x > b > c", true},
      {"a b > c", "b > c", false},
      {":root", "html", true},
      {"body:root", "html > body", false},
      {"a:link", "a[href=x]", true},
      {"a:any-link", "a[href=x]", true},
      {"a:link", "a[name=x]", false},
      {"a:visited", "a[href=x]", false},
      {"p:hover", "p", false},
      {"p:not(:hover)", "p", true},
      {"p:not(.a)", "p.a", false},
      {"p:not(.a, #b)", "p.c", true},
      {"p:not(.a, #b)", "p#b", false},
      {"p::before", "p", false},
      {"p:after", "p", false},
      {"p + q", "p > q", false},
      {"p:last-child", "p", false},
      {"p:nth-child(1)", "p", false},
      {"p:not(div p)", "p", false},
      {"p:not(:not(:not(:not(:not(.a)))))", "p", false},  // nested too deep to evaluate
  };
  for (const auto& c : cases)
    EXPECT_EQ(Matches(c.selector, c.path), c.matches) << c.selector << " on " << c.path;
}

TEST(Selectors, FirstChildFollowsThePushes) {
  StyleEngine engine({}, {}, false);
  engine.AddSheet(u"li:first-child { color: red } ul > :first-child b { font-style: italic }");
  Push(engine, {"ul"});
  EXPECT_EQ(Push(engine, {"li"}).color, kRed);
  EXPECT_EQ(Push(engine, {"b"}).font_style, CssFontStyle::Italic);
  engine.Pop();
  engine.Pop();
  EXPECT_NE(Push(engine, {"li"}).color, kRed);
  EXPECT_NE(Push(engine, {"b"}).font_style, CssFontStyle::Italic);
  engine.PopTo(0);
  EXPECT_EQ(Push(engine, {"li"}).color, kRed);  // the root counts as a first child
}

TEST(Selectors, SheetsAddedLaterSeeOpenAncestors) {
  StyleEngine engine({}, {}, false);
  PushPath(engine, "html > body > div.x#main[data-kind=note]");
  engine.AddSheet(u".x p, #main > q, [data-kind=note] s { color: red }");
  EXPECT_EQ(Push(engine, {"p"}).color, kRed);
  engine.Pop();
  EXPECT_EQ(Push(engine, {"q"}).color, kRed);
  engine.Pop();
  EXPECT_EQ(Push(engine, {"s"}).color, kRed);
}

TEST(Selectors, DeepAncestorsCostABoundedWalk) {
  // A descendant selector over a very deep stack looks only so far up.
  StyleEngine engine({}, {}, false);
  engine.AddSheet(u".top span { background-color: red } .near span { float: left }");
  Push(engine, {"div", {{"class", "top"}}});
  for (size_t i = 0; i < kMaxAncestors + 10; ++i) Push(engine, {"span"});
  Push(engine, {"div", {{"class", "near"}}});
  const ComputedStyle& deep = Push(engine, {"span"});
  EXPECT_EQ(deep.background_color, kTransparentColor);
  EXPECT_EQ(deep.float_mode, CssFloat::Left);
}

}  // namespace
}  // namespace brisomel
