#include "text/line_break.h"

#include <gtest/gtest.h>

#include <string>

#include "text/utf.h"

namespace brisomel {
namespace {

TEST(IsLineBreakBetween, FollowsTheEastAsianPairRules) {
  const struct {
    const char* name;
    char32_t before, after;
    bool expected;
  } cases[] = {
      {"ideographs", U'你', U'好', true},
      {"kana", U'あ', U'カ', true},
      {"hangul syllables", U'한', U'국', true},
      {"fullwidth letters", U'Ａ', U'Ｂ', true},
      {"ideograph then latin", U'中', U'a', true},
      {"latin then ideograph", U'a', U'中', true},
      {"ideograph then accented latin", U'中', U'é', true},
      {"before full stop", U'你', U'。', false},
      {"before comma", U'你', U'、', false},
      {"before fullwidth comma", U'你', U'，', false},
      {"before closing bracket", U'你', U'」', false},
      {"before fullwidth parenthesis", U'你', U'）', false},
      {"before ascii full stop", U'你', U'.', false},
      {"before exclamation", U'你', U'！', false},
      {"before small kana", U'ト', U'ッ', false},
      {"before prolonged sound mark", U'ラ', U'ー', false},
      {"before iteration mark", U'人', U'々', false},
      {"before ellipsis", U'你', U'…', false},
      {"before combining mark", U'か', U'\u3099', false},
      {"before variation selector", U'葛', U'\uFE00', false},
      {"after full stop", U'。', U'你', true},
      {"between closing and opening", U'」', U'「', true},
      {"after opening bracket", U'「', U'你', false},
      {"after fullwidth parenthesis", U'（', U'你', false},
      {"before opening bracket", U'你', U'「', true},
      {"fullwidth digits, ideographic in UAX #14", U'２', U'０', true},
      {"ascii number then ideograph", U'2', U'年', true},
      {"number then ideograph", U'２', U'年', true},
      {"currency then number", U'￥', U'１', false},
      {"number then percent", U'５', U'％', false},
      {"jamo of one syllable", U'\u1100', U'\u1161', false},
      {"latin letters", U'a', U'b', false},
      {"greek letters", U'α', U'β', false},
      {"cyrillic letters", U'д', U'а', false},
      {"ideograph then space", U'中', U' ', false},
      {"space then ideograph", U' ', U'中', false},
      {"thai", U'ส', U'中', false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsLineBreakBetween(c.before, c.after), c.expected) << c.name;
  EXPECT_STREQ(kLineBreakUnicodeVersion, "15.0.0");
}

// Where a break may fall in a line of Chinese with punctuation, marked by '|'.
std::u16string MarkBreaks(std::u16string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && IsLineBreakBetween(text[i - 1], text[i])) out += u'|';
    out += text[i];
  }
  return out;
}

TEST(IsLineBreakBetween, KeepsPunctuationWithItsWords) {
  EXPECT_EQ(Utf16ToUtf8(MarkBreaks(u"他说：「你好，世界。」我们走吧！")),
            "他|说：|「你|好，|世|界。」|我|们|走|吧！");
}

}  // namespace
}  // namespace brisomel
