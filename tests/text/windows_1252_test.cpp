#include "text/windows_1252.h"

#include <gtest/gtest.h>

namespace brisomel {
namespace {

TEST(Windows1252, HighBytesFollowTheEncodingStandardTable) {
  EXPECT_EQ(Windows1252ToUtf16("a\x80\x81\x8C\x93\x96\x9D\x9F\xA0\xE9\xFF"),
            u"a\u20AC\u0081\u0152\u201C\u2013\u009D\u0178\u00A0\u00E9\u00FF");
}

TEST(Windows1252, LossyNarrowingKeepsWhatItHoldsAndMarksTheRest) {
  struct Case {
    const char* name;
    std::u16string text;
    std::string expected;
  } cases[] = {
      {"ascii", u"plain <b>", "plain <b>"},
      {"latin-1", u"caf\u00E9 \u00FF", "caf\xE9 \xFF"},
      {"quotes and dashes", u"\u201Ca\u201D\u2013\u2014\u20AC", "\x93" "a\x94\x96\x97\x80"},
      {"unused bytes are their C1 controls", u"\u0081\u009D", "\x81\x9D"},
      {"other C1 controls have no byte", u"\u0080\u0096", "??"},
      {"outside", u"\u03B1\u4E2D", "??"},
      {"pair is one character", u"a\U0001F600b", "a?b"},
      {"lone surrogates", std::u16string{u'a', char16_t(0xDC00), char16_t(0xD800)}, "a??"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf16ToWindows1252Lossy(c.text), c.expected) << c.name;
}

}  // namespace
}  // namespace brisomel
