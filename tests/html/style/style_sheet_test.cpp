#include "html/style/style_sheet.h"

#include <gtest/gtest.h>

#include <map>

#include "style_test_util.h"

namespace brisomel {
namespace {

using test::U;

std::string Rules(const std::string& css) {
  StyleEngine engine({}, {}, false);
  engine.AddSheet(U(css));
  return engine.DescribeRules();
}

TEST(StyleSheet, ReadsRulesAndRecoversFromErrors) {
  const struct {
    const char* name;
    const char* css;
    const char* rules;
  } cases[] = {
      {"one rule", "p { color: red }", "p { color: #ff0000 }\n"},
      {"groups and combinators", "a, b.c > d#e[f] { margin-left: 1px }",
       "a, b.c > d#e[f] { margin-left: 1px }\n"},
      {"names are case-insensitive", "P { COLOR: RED; Display: BLOCK }",
       "p { color: #ff0000; display: block }\n"},
      {"malformed declarations are skipped",
       "p { color: ; margin-left: 3px; bogus; 12px: x; font-style: italic }",
       "p { margin-left: 3px; font-style: italic }\n"},
      {"unknown property and invalid value", "p { colour: red; width: -3px; width: 5px }",
       "p { width: 5px }\n"},
      {"invalid selector drops only its rule", "p:unknown { color: red } q { color: blue }",
       "q { color: #0000ff }\n"},
      {"a bad selector in a group drops the group", "p, q!x { color: red }", ""},
      {"unsupported selector never matches", "p, a::before, b + c { color: red }",
       "p, a (never), b c (never) { color: #ff0000 }\n"},
      {"stray closing brace eats the next rule", "} p { color: red } q { color: blue }",
       "q { color: #0000ff }\n"},
      {"block left open at the end", "p { color: red; margin-left: 2px",
       "p { color: #ff0000; margin-left: 2px }\n"},
      {"rule without a block at the end", "p { color: red } q", "p { color: #ff0000 }\n"},
      {"unknown at-rules are skipped",
       "@font-face { font-family: x } @namespace y; p { color: red }", "p { color: #ff0000 }\n"},
      {"charset is ignored", "@charset \"utf-8\"; p { color: red }", "p { color: #ff0000 }\n"},
      {"braces in strings", "p { font-family: \"}\"; color: red }",
       "p { font-family: \"}\"; color: #ff0000 }\n"},
      {"a block inside declarations runs to the next semicolon",
       "p { color: red; q { color: blue } margin-left: 1px; font-style: italic }",
       "p { color: #ff0000; font-style: italic }\n"},
      {"at-rule inside declarations", "p { @foo bar; color: red }", "p { color: #ff0000 }\n"},
      {"important", "p { color: red !important; margin-left: 1px ! IMPORTANT }",
       "p { color: #ff0000 !important; margin-left: 1px !important }\n"},
      {"misspelt important", "p { color: red !importnt }", ""},
      {"CDO and CDC around a sheet", "<!-- p { color: red } -->", "p { color: #ff0000 }\n"},
      {"empty and doubled semicolons", "p{;;color:red;;}", "p { color: #ff0000 }\n"},
      {"empty rules are not kept", "p {} q { }", ""},
      {"selector with a block in it", "p[x={] { color: red } q { color: blue }", ""},
      {"shorthand expands", "p { border-left: 2px solid }",
       "p { border-left-width: 2px; border-left-style: solid; border-left-color: currentcolor }\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Rules(c.css), c.rules) << c.name;
}

TEST(StyleSheet, MediaBlocksApplyByType) {
  const char* css =
      "@media screen { .s { color: red } } @media print { .p { color: red } }"
      "@media all { .a { color: red } } @media tv, print { .tp { color: red } }"
      "@media not print { .np { color: red } } @media only screen and (max-width: 600px) "
      "{ .narrow { color: red } } @media screen and (min-width: 40em) { .wide { color: red } }"
      "@media (prefers-color-scheme: dark) { .dark { color: red } } @media screen and { .bad "
      "{ color: red } } @media screen { @media print { .nested { color: red } } .ok { color: red } "
      "}";
  StyleEngine screen({}, {}, false);
  screen.AddSheet(U(css));
  EXPECT_EQ(screen.DescribeRules(),
            ".s { color: #ff0000 }\n.a { color: #ff0000 }\n.np { color: #ff0000 }\n"
            ".wide { color: #ff0000 }\n.ok { color: #ff0000 }\n");
  StyleEngine print({}, {true, 1024}, false);
  print.AddSheet(U(css));
  EXPECT_EQ(print.DescribeRules(),
            ".p { color: #ff0000 }\n.a { color: #ff0000 }\n.tp { color: #ff0000 }\n");
  StyleEngine phone({}, {false, 400}, false);
  phone.AddSheet(U(css));
  EXPECT_NE(phone.DescribeRules().find(".narrow"), std::string::npos);
  EXPECT_EQ(phone.DescribeRules().find(".wide"), std::string::npos);

  // The MEDIA attribute of STYLE and LINK.
  StyleEngine engine({}, {}, false);
  engine.AddSheet(u"p { color: red }", {}, u"print");
  engine.AddSheet(u"q { color: red }", {}, u"screen, print");
  EXPECT_EQ(engine.DescribeRules(), "q { color: #ff0000 }\n");
}

// Sheets by location; a loader that records what it was asked for.
class Files {
 public:
  std::map<std::u16string, std::string> sheets;
  std::vector<std::string> requests;
  StyleSheetLoader Loader() {
    return [this](std::u16string_view url, std::u16string_view base, std::u16string& text,
                  std::u16string& location) {
      requests.push_back(Utf16ToUtf8(base) + "+" + Utf16ToUtf8(url));
      // Locations are "dir/name": a URL is relative to the importing sheet's folder.
      const size_t slash = base.rfind(u'/');
      location =
          std::u16string(slash == std::u16string_view::npos ? u"" : base.substr(0, slash + 1));
      location += url;
      auto it = sheets.find(location);
      if (it == sheets.end()) return false;
      text = U(it->second);
      return true;
    };
  }
};

TEST(StyleSheet, ImportsThroughTheLoader) {
  Files files;
  files.sheets[u"css/base.css"] = "@import 'more.css'; .base { color: red }";
  files.sheets[u"css/more.css"] = ".more { color: red }";
  files.sheets[u"css/print.css"] = ".print { color: red }";
  StyleEngine engine({}, {}, false);
  engine.SetLoader(files.Loader());
  EXPECT_TRUE(engine.LinkSheet(u"css/base.css", u"page.htm"));
  engine.AddSheet(
      u"@import url(css/more.css); @import \"css/print.css\" print; "
      u"@import url(\"css/missing.css\"); .page { color: red } @import 'css/base.css';");
  EXPECT_EQ(engine.DescribeRules(),
            ".more { color: #ff0000 }\n.base { color: #ff0000 }\n.more { color: #ff0000 }\n"
            ".page { color: #ff0000 }\n");
  // The import after a rule is ignored without a load; print media are not loaded either.
  EXPECT_EQ(files.requests,
            (std::vector<std::string>{"page.htm+css/base.css", "css/base.css+more.css",
                                      "+css/more.css", "+css/missing.css"}));
  EXPECT_FALSE(engine.LinkSheet(u"nothing.css", u"page.htm"));
  EXPECT_FALSE(engine.LinkSheet(u"css/base.css", u"page.htm", u"print"));
}

TEST(StyleSheet, ImportCyclesAndDepthAreBounded) {
  Files files;
  files.sheets[u"a.css"] = "@import 'b.css'; .a { color: red }";
  files.sheets[u"b.css"] = "@import 'a.css'; @import 'b.css'; .b { color: red }";
  // A chain longer than the limit, and a sheet importing itself many times over.
  for (int i = 0; i < 20; ++i) {
    const std::string n = std::to_string(i), next = std::to_string(i + 1);
    files.sheets[U("c" + n + ".css")] = "@import 'c" + next + ".css'; .c" + n + " { color: red }";
  }
  files.sheets[u"fan.css"] = std::string(200, ' ') + "@import 'fan2.css'; @import 'fan2.css';";
  std::string fan2;
  for (int i = 0; i < 100; ++i) fan2 += "@import 'fan3.css';";
  files.sheets[u"fan2.css"] = fan2;
  files.sheets[u"fan3.css"] = ".f { color: red }";

  StyleEngine engine({}, {}, false);
  engine.SetLoader(files.Loader());
  engine.LinkSheet(u"a.css", u"");
  EXPECT_EQ(engine.DescribeRules(), ".b { color: #ff0000 }\n.a { color: #ff0000 }\n");

  StyleEngine chain({}, {}, false);
  chain.SetLoader(files.Loader());
  chain.LinkSheet(u"c0.css", u"");
  EXPECT_EQ(chain.RuleCount(), static_cast<size_t>(kMaxImportDepth + 1));

  StyleEngine fan({}, {}, false);
  fan.SetLoader(files.Loader());
  files.requests.clear();
  fan.LinkSheet(u"fan.css", u"");
  EXPECT_EQ(files.requests.size(), static_cast<size_t>(kMaxImports + 1));
}

}  // namespace
}  // namespace brisomel

namespace brisomel {
namespace {

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(StyleSheet, HostileSheetsStayBounded) {
  const int n = 100000;
  const struct {
    const char* name;
    std::string css;
    const char* rules;
  } cases[] = {
      {"deeply nested blocks", Repeat("{[(", n) + " p { color: red }", ""},
      // The braces stand inside the open functions: the rest of the sheet is one bad value.
      {"deeply nested functions in a value",
       "p { color: " + Repeat("rgb(", n) + " } q { color: red }", ""},
      {"nested :not", "p" + Repeat(":not(", n) + "a" + Repeat(")", n) + ", q { color: red }",
       "p:not(:not(:not(:not(*)))) (never), q { color: #ff0000 }\n"},
      {"nested @media", Repeat("@media screen { ", n) + "p { color: red }", ""},
      {"long selector", Repeat("a ", n) + "p { color: red }", "... (never) { color: #ff0000 }\n"},
      {"many classes", "p" + Repeat(".a", n) + " { color: red }", "... { color: #ff0000 }\n"},
      {"many declarations", "p {" + Repeat("color: red;", n) + "}", "... }\n"},
      {"unclosed comment and string", "p { color: red } /* q { color: blue } 'x",
       "p { color: #ff0000 }\n"},
  };
  for (const auto& c : cases) {
    std::string rules = Rules(c.css);
    // Long descriptions are compared by their ends.
    if (std::string(c.rules).starts_with("...") && rules.size() > 40)
      rules = "..." + rules.substr(rules.size() - (std::string(c.rules).size() - 3));
    EXPECT_EQ(rules, c.rules) << c.name;
  }
}

}  // namespace
}  // namespace brisomel
