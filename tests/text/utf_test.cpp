#include "text/utf.h"

#include <gtest/gtest.h>

namespace brisomel {
namespace {

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

TEST(Utf8ToUtf16, DecodesValidAndReplacesEachMaximalInvalidPart) {
  const Utf8Case cases[] = {
      {"ascii", "abc", u"abc"},
      {"two bytes", "\xC3\xA9", u"\u00E9"},
      {"three bytes", "\xE4\xB8\xAD", u"\u4E2D"},
      {"four bytes", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"stray continuation", "a\x80z", u"a\uFFFDz"},
      {"truncated at end", "a\xE4\xB8", u"a\uFFFD"},
      {"truncated before ascii", "\xE4\xB8z", u"\uFFFDz"},
      {"overlong", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"above max", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead", "\xFF", u"\uFFFD"},
      {"bom kept", "\xEF\xBB\xBFx", u"\uFEFFx"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
}

TEST(Utf16ToUtf8, RoundTripsAndReplacesLoneSurrogates) {
  const std::u16string text = u"T\u00FCrk\u00E7e \u041F\u0440\u0438 \u4F60\U0001F600";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(DecodeUtf16At, PairsTakeTwoUnits) {
  const std::u16string text = u"a\U0001F600";
  EXPECT_EQ(text.size(), 3u);
  EXPECT_EQ(DecodeUtf16At(text, 0).code_point, U'a');
  const CodePointAt pair = DecodeUtf16At(text, 1);
  EXPECT_EQ(pair.code_point, U'\U0001F600');
  EXPECT_EQ(pair.length, 2u);
  EXPECT_EQ(DecodeUtf16At(text, 2).length, 1u);  // the low half alone
}

}  // namespace
}  // namespace brisomel
