#include "text/windows_1252.h"

#include <gtest/gtest.h>

namespace brisomel {
namespace {

TEST(Windows1252, WidensEveryByteAndNarrowsBack) {
  struct Case {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"abc", u"abc"},
      {"\x80\x9F", u"\u20AC\u0178"},  // the code page's own characters in 80..9F
      {"\x81\x9D", u"\u0081\u009D"},  // bytes it leaves undefined
      {"\xA0\xE9\xFF", u"\u00A0\u00E9\u00FF"},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(Windows1252ToUtf16(k.bytes), k.text) << k.bytes;
    EXPECT_EQ(Utf16ToWindows1252Lossy(k.text), k.bytes) << k.bytes;
  }
  // Characters outside the code page, a surrogate pair among them, become one '?' each.
  EXPECT_EQ(Utf16ToWindows1252Lossy(u"\u4E2Dx\U0001F600"), "?x?");
}

}  // namespace
}  // namespace brisomel
