// Titles read from start pages in the encodings pages come in, with references and white
// space as pages hold them, and pages that have none.
#include "pack/page_title.h"

#include <gtest/gtest.h>

#include "settings/book_settings.h"
#include "text/utf.h"

namespace brisomel::pack {
namespace {

std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += {char(c & 0xFF), char(c >> 8)};
  return bytes;
}

TEST(PageTitle, ReadsTheTitleInThePagesOwnEncoding) {
  struct Case {
    const char* name;
    std::string page;
    std::u16string title;
  };
  const Case cases[] = {
      {"plain", "<HTML><HEAD><TITLE>Harbour Guide</TITLE></HEAD>", u"Harbour Guide"},
      {"lower case, attributes", "<title lang=en>Harbour</title >", u"Harbour"},
      {"white space folded", "<TITLE>\n  The\tHarbour\r\n  Guide  </TITLE>", u"The Harbour Guide"},
      {"references",
       "<TITLE>Fish &amp; Chips &#8212; &#x41;&eacute;&nbsp;&copy; &bogus; &amp</TITLE>",
       u"Fish & Chips \u2014 A\u00e9 \u00a9 &bogus; &amp"},  // no-break space folded
      {"numeric references of the 0x80 row and out of range",
       "<TITLE>&#150;&#0;&#xD800;&#1114112;</TITLE>", u"\u2013\ufffd\ufffd\ufffd"},
      {"UTF-8 without a declaration", "<TITLE>Οδηγός του λιμανιού</TITLE>", u"Οδηγός του λιμανιού"},
      {"UTF-8 after a byte-order mark", "\xEF\xBB\xBF<TITLE>港の案内</TITLE>", u"港の案内"},
      {"UTF-8 declared", "<META CHARSET=\"utf-8\"><TITLE>caf\xC3\xA9</TITLE>", u"café"},
      {"Windows-1252 undeclared", "<TITLE>Caf\xE9 \x93quoted\x94 \x80</TITLE>",
       u"Café \u201cquoted\u201d \u20ac"},
      {"Latin-1 declared over UTF-8 bytes",
       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">"
       "<TITLE>caf\xC3\xA9</TITLE>",
       u"caf\u00c3\u00a9"},
      {"UTF-16", Utf16Le(u"<html><title>Ліхтар</title>"), u"Ліхтар"},
      // 灯台 in Shift_JIS, and Маяк in windows-1251, each found by its page's META.
      {"Shift_JIS declared",
       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">"
       "<TITLE>\x93\x94\x91\xE4</TITLE>",
       u"灯台"},
      {"windows-1251 declared", "<META CHARSET=windows-1251><TITLE>\xCC\xE0\xFF\xEA</TITLE>",
       u"Маяк"},
      {"emoji", "<TITLE>\xF0\x9F\x9A\xA2 Ships</TITLE>", u"\U0001F6A2 Ships"},
      {"no end tag", "<TITLE>Unfinished", u"Unfinished"},
      {"a tag that only starts alike", "<TITLES>no</TITLES><TITLE>yes</TITLE>", u"yes"},
      {"only the first title", "<TITLE>One</TITLE><TITLE>Two</TITLE>", u"One"},
      {"none", "<HTML><BODY>No title here</BODY></HTML>", u""},
      {"empty", "<TITLE>  </TITLE>", u""},
      {"unclosed start tag", "<TITLE", u""},
      {"nothing", "", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PageTitle(c.page), c.title) << c.name;
  }
}

TEST(PageTitle, LongAndLatePages) {
  // A title longer than a caption is cut; a title past the part read is not found.
  std::string long_title = "<TITLE>" + std::string(5000, 'x') + "</TITLE>";
  EXPECT_EQ(PageTitle(long_title), std::u16string(kMaxTitleLength, u'x'));
  std::string late = std::string(kTitleScanBytes, ' ') + "<TITLE>Late</TITLE>";
  EXPECT_EQ(PageTitle(late), u"");
  // A UTF-8 character cut by the end of the part read does not make the page Windows-1252.
  std::string cut = "<TITLE>\xC3\xA9t\xC3\xA9</TITLE>" + std::string(kTitleScanBytes, 'a');
  cut.replace(kTitleScanBytes - 1, 2, "\xC3\xA9");
  EXPECT_EQ(PageTitle(cut), u"été");
  // A page of references without their ends is read in linear time.
  EXPECT_EQ(PageTitle("<TITLE>" + std::string(200000, '&')), std::u16string(kMaxTitleLength, u'&'));
}

}  // namespace
}  // namespace brisomel::pack
