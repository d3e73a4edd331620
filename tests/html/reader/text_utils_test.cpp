// Colour texts, blank trimming, integers, percent escapes and link-to-path conversion.
#include "html/reader/text_utils.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/utf.h"

namespace brisomel {
namespace {

TEST(ColorFromText, Cases) {
  struct Case {
    const char* text;
    std::optional<uint32_t> color;
  };
  const Case cases[] = {
      {"navy", 0x800000},      {"NAVY", 0x800000},     {"Fuchsia", 0xFF00FF},
      {"silver", 0xC0C0C0},    {"olive", 0x008080},    {"#FF0000", 0x0000FF},
      {"FF0000", 0x0000FF},    {"#F00", 0x000F00},     {"#123456", 0x563412},
      {"12#3456", 0x563412},   {"#00ff80", 0x80FF00},  {"#1FF0000", 0x0000FF},
      {"FFFFFFFF", 0xFFFFFF},  {"000000FF0", 0xF00F00}, {"#zz", std::nullopt},
      {"", std::nullopt},      {"#", std::nullopt},    {"navyblue", std::nullopt},
      {"1FFFFFFFF", std::nullopt}, {"#FF 00 00", std::nullopt}, {"-1", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ColorFromText(AsciiToUtf16(c.text)), c.color) << c.text;
}

TEST(ColorFromText, FailureKeepsPreviousColour) {
  uint32_t color = 0x123;
  EXPECT_FALSE(ColorFromText(u"nope", color));
  EXPECT_EQ(color, 0x123u);
  EXPECT_TRUE(ColorFromText(u"red", color));
  EXPECT_EQ(color, 0x0000FFu);
}

TEST(TrimBlanks, RemovesAllControlCharactersAtTheEnds) {
  EXPECT_EQ(TrimBlanks(" \t\r\n\x01" "a b\x1F \x7F\x02"), "a b\x1F \x7F");
  EXPECT_EQ(TrimBlanks("\xA0x\xA0"), "\xA0x\xA0");
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks(std::string("\0x\0", 3)), "x");
}

TEST(ParseInteger, Cases) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  };
  const Case cases[] = {
      {"12", 12},          {"+7", 7},           {"-7", -7},          {" 5", 5},
      {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"2147483648", std::nullopt},
      {"12px", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt}, {"1 ", std::nullopt},
      {"99999999999999999999999", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
}

TEST(DecodePercentEscapes, Cases) {
  struct Case {
    const char* text;
    const char* decoded;
  };
  const Case cases[] = {
      {"a%20b.htm", "a b.htm"},
      {"%41b", "Ab"},
      {"%E6%96%87.htm", "\xE6\x96\x87.htm"},  // escaped UTF-8
      {"a%41%42", "aAB"},
      {"a%2541", "aA"},  // the decoded "%" is decoded again
      {"a%252541", "aA"},
      {"a%zz%41", "a%zz%41"},  // stops at the first malformed escape
      {"a%4", "a%4"},          // fewer than two characters follow
      {"a%", "a%"},
      {"a%25", "a%"},
      {"a%25%41", "a%%41"},  // "%%41": the "%" after the decoded one is not hex
      {"no escapes", "no escapes"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodePercentEscapes(c.text), c.decoded) << c.text;
}

TEST(DecodePercentEscapes, LongChainsTakeLinearTime) {
  // "a%2525...2541" decodes one "%25" per round; a restart from the beginning on each round
  // would take a quadratic number of steps here.
  std::string text = "a%";
  for (int i = 0; i < 200000; ++i) text += "25";
  text += "41";
  EXPECT_EQ(DecodePercentEscapes(text), "aA");
}

TEST(UrlToLocalPath, Cases) {
  struct Case {
    const char* text;
    const char* path;
  };
  const Case cases[] = {
      {"file:///c|/Books/Index.htm", "c:\\books\\index.htm"},
      {"file://c|/Books/A.htm", "c:\\books\\a.htm"},
      {"Pages\\Index.htm", "Pages\\Index.htm"},  // no "/": unchanged, case kept
      {"a%20b.htm", "a b.htm"},
      {"%41b", "Ab"},
      {"Sub/My%20Page.HTM", "sub\\my page.htm"},
      {"a%2Fb", "a\\b"},        // an escaped "/" counts once decoded
      {"x/FILE:///y", "x\\y"},  // the first "file:///" anywhere
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlToLocalPath(c.text), c.path) << c.text;
}

TEST(UrlToLocalPathWithRoot, Cases) {
  EXPECT_EQ(UrlToLocalPathWithRoot("/pages/a.htm", "D:\\Site"), "D:\\Site\\pages\\a.htm");
  EXPECT_EQ(UrlToLocalPathWithRoot("pages/a.htm", "D:\\Site"), "pages\\a.htm");
  EXPECT_EQ(UrlToLocalPathWithRoot("\\a.htm", "D:\\Site"), "D:\\Site\\a.htm");
  EXPECT_EQ(UrlToLocalPathWithRoot("", "D:\\Site"), "");
}

}  // namespace
}  // namespace brisomel
