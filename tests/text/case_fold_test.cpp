#include "text/case_fold.h"

#include <gtest/gtest.h>

#include <string>

#include "text/utf.h"

namespace brisomel {
namespace {

TEST(FoldCase, MatchesLettersOfEveryScriptWithoutRegardToCase) {
  const struct {
    std::u16string a, b;
  } same[] = {
      {u"ПРИВЕТ мир", u"привет МИР"},
      {u"ΚΑΛΗΜΈΡΑ", u"Καλημέρα"},
      {u"ΟΔΟΣ", u"οδος"},
      {u"οδος", u"οδοσ"},              // final sigma folds to sigma
      {u"Türkçe ĞŞ", u"tÜRKÇE ğş"},
      {u"I", u"i"},                    // no Turkish tailoring in simple folding
      {u"\u212A", u"k"},               // Kelvin sign
      {u"\u1E9E", u"\u00DF"},          // capital sharp s to sharp s (no "ss": that is full folding)
      {u"\U00010400", u"\U00010428"},  // Deseret, outside the Basic Multilingual Plane
      {u"ＡＢＣ", u"ａｂｃ"},
      {u"中文", u"中文"},
  };
  for (const auto& c : same) {
    EXPECT_EQ(FoldCase(c.a), FoldCase(c.b)) << Utf16ToUtf8(c.a);
    EXPECT_EQ(FoldCase(c.a).size(), c.a.size());
  }
  EXPECT_NE(FoldCase(u"\u0130"), FoldCase(u"i"));  // "İ" has only full and Turkish foldings
  EXPECT_NE(FoldCase(u"\u0131"), FoldCase(u"i"));  // dotless ı is its own letter
  EXPECT_NE(FoldCase(u"ß"), FoldCase(u"ss"));
}

TEST(FoldCase, KeepsUnpairedSurrogatesAndLength) {
  const std::u16string text = std::u16string(u"A") + char16_t(0xD800) + u"B" + char16_t(0xDC00);
  const std::u16string folded = FoldCase(text);
  EXPECT_EQ(folded, std::u16string(u"a") + char16_t(0xD800) + u"b" + char16_t(0xDC00));
}

TEST(SimpleCaseFold, KeepsEveryCodePointsLengthAndIsStable) {
  size_t folded = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const char32_t f = SimpleCaseFold(c);
    if (f == c) continue;
    ++folded;
    ASSERT_EQ(c > 0xFFFF, f > 0xFFFF) << std::hex << static_cast<uint32_t>(c);
    ASSERT_EQ(SimpleCaseFold(f), f) << std::hex << static_cast<uint32_t>(c);
  }
  EXPECT_GT(folded, 1400u);  // Unicode 15 has 1,454 simple foldings
  EXPECT_STREQ(kCaseFoldUnicodeVersion, "15.0.0");
}

}  // namespace
}  // namespace brisomel
