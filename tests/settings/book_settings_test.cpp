// The settings text and the book's settings entry: titles of every script written and read
// back, and damaged entries that must give no title rather than a wrong one.
#include "settings/book_settings.h"

#include <gtest/gtest.h>

#include "settings/key_value_text.h"
#include "text/utf.h"

namespace brisomel {
namespace {

TEST(KeyValueText, ReadsWhatItCanAndPassesOverTheRest) {
  std::string text =
      "\xEF\xBB\xBF# comment\r\n"
      "title = Harbour  \r\n"
      "; another comment\n"
      "\n"
      "no equals sign\n"
      "Upper=ignored\n"
      "=no key\n"
      "with space=ignored\n"
      "empty=\n"
      "path=a=b\n"
      "title=Second\n" +
      std::string("long=") + std::string(kMaxSettingsLine, 'x') + "\n" + "last=no newline";
  std::vector<KeyValue> pairs = ReadKeyValues(text);
  std::vector<std::pair<std::string, std::string>> got;
  for (const KeyValue& pair : pairs) got.emplace_back(pair.key, pair.value);
  EXPECT_EQ(got, (std::vector<std::pair<std::string, std::string>>{{"title", "Harbour"},
                                                                   {"empty", ""},
                                                                   {"path", "a=b"},
                                                                   {"title", "Second"},
                                                                   {"last", "no newline"}}));
  EXPECT_EQ(*FindValue(pairs, "title"), "Second");  // the last one counts
  EXPECT_EQ(FindValue(pairs, "missing"), nullptr);
  EXPECT_TRUE(ReadKeyValues("a=1\n" + std::string(kMaxSettingsText, '#')).empty());
}

TEST(KeyValueText, ParsesOnlyWholeIntegersInRange) {
  struct Case {
    const char* text;
    bool ok;
    long long value;
  };
  const Case cases[] = {{"0", true, 0},    {"-12", true, -12}, {"300", true, 300},
                        {"301", false, 0}, {"-301", false, 0}, {"", false, 0},
                        {"-", false, 0},   {"+5", false, 0},   {"5 ", false, 0},
                        {"1e3", false, 0}, {"0x10", false, 0}, {"99999999999999999999", false, 0}};
  for (const Case& c : cases) {
    long long value = 0;
    EXPECT_EQ(ParseInteger(c.text, -300, 300, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(BookSettings, TitlesOfAnyScriptComeBackAsWritten) {
  const std::u16string long_title(kMaxTitleLength, u'x');
  struct Case {
    std::u16string given, kept;
  };
  const Case cases[] = {
      {u"Harbour Guide", u"Harbour Guide"},
      {u"Οδηγός του λιμανιού", u"Οδηγός του λιμανιού"},
      {u"港の案内", u"港の案内"},
      {u"دليل الميناء", u"دليل الميناء"},
      {u"Lighthouse \U0001F6A2 log", u"Lighthouse \U0001F6A2 log"},
      {u"  Two\tlines\r\nof  title ", u"Two lines of title"},
      {u"Bell\u0007and\u2028separator", u"Bell and separator"},
      {long_title + u"yz", long_title},
      // A cut that would split a surrogate pair leaves the whole character out.
      {long_title.substr(1) + u"\U0001F6A2", long_title.substr(1)},
      {u" \t ", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.given));
    std::string entry = WriteBookSettings({c.given});
    EXPECT_EQ(ReadBookSettings(entry).title, c.kept);
    EXPECT_EQ(CleanTitle(c.given), c.kept);
  }
  EXPECT_EQ(WriteBookSettings({u"Harbour"}), "# Brisomel book settings\ntitle=Harbour\n");
  EXPECT_EQ(WriteBookSettings({u""}), "# Brisomel book settings\n");
}

TEST(BookSettings, DamagedEntriesGiveNoTitle) {
  struct Case {
    const char* name;
    std::string entry;
    std::u16string title;
  };
  const Case cases[] = {
      {"empty", "", u""},
      {"no title key", "author=someone\n", u""},
      {"unknown keys around a title", "colour=blue\ntitle=Harbour\nfuture-key=1\n", u"Harbour"},
      {"not UTF-8", "title=Caf\xE9\n", u""},
      {"a cut UTF-8 sequence", "title=\xE6\xB8\n", u""},
      {"an encoded surrogate", "title=\xED\xA0\x80\n", u""},
      {"a control character", "title=a\x01z\n", u""},
      {"a C1 control character", "title=a\xC2\x85z\n", u""},
      {"too long", "title=" + std::string(kMaxTitleLength + 1, 'x') + "\n", u""},
      {"doubled spaces are folded", "title=Old   Harbour\n", u"Old Harbour"},
      {"binary", std::string("\x00\xFF\x10title=\x00", 10), u""},
      {"too large to be settings", "title=Harbour\n" + std::string(kMaxSettingsText, ' '), u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadBookSettings(c.entry).title, c.title) << c.name;
  }
}

}  // namespace
}  // namespace brisomel
