// The reading-state file: states written and read back, damaged files read as far as they are
// sound, and the page paths that may and may not come back from one.
#include "settings/reading_state.h"

#include <gtest/gtest.h>

#include "text/utf.h"

namespace brisomel {
namespace {

TEST(ReadingState, WhatIsWrittenIsReadBack) {
  ReadingState full;
  full.page = u"chapters/λιμάνι/harbour.htm";
  full.scroll = 1840;
  full.zoom = 150;
  full.window = WindowPlacement{-8, 20, 900, 700, true, true};
  ReadingState fresh;  // nothing remembered yet: the start page, zoom 100, default window
  ReadingState no_window;
  no_window.page = u"index.htm";
  no_window.zoom = 50;
  for (const ReadingState& state : {full, fresh, no_window}) {
    EXPECT_EQ(ReadReadingState(WriteReadingState(state)), state) << WriteReadingState(state);
  }
  EXPECT_EQ(WriteReadingState(full),
            "# Brisomel reading state\n"
            "page=chapters/λιμάνι/harbour.htm\n"
            "scroll=1840\n"
            "zoom=150\n"
            "window=-8,20,900,700\n"
            "maximized=1\n"
            "fullscreen=1\n");
}

TEST(ReadingState, WritesOnlyWhatCanBeReadBack) {
  ReadingState state;
  state.page = u"../outside.htm";
  state.scroll = -5;
  state.zoom = 900;
  state.window = WindowPlacement{0, 0, 0, 500, false, false};
  EXPECT_EQ(WriteReadingState(state), "# Brisomel reading state\nzoom=300\n");
}

TEST(ReadingState, DamagedValuesFallBackOneByOne) {
  const std::string sound = "page=a/b.htm\nscroll=40\nzoom=120\nwindow=1,2,3,4\nmaximized=1\n";
  struct Case {
    const char* name;
    std::string text;
    std::u16string page;
    int32_t scroll;
    int zoom;
    std::optional<WindowPlacement> window;
  };
  const WindowPlacement window{1, 2, 3, 4, true, false};
  const Case cases[] = {
      {"sound", sound, u"a/b.htm", 40, 120, window},
      {"missing file or empty", "", u"", 0, 100, std::nullopt},
      {"garbage", "\x01\x02\xFF\xFE garbage\n=\n==\n", u"", 0, 100, std::nullopt},
      {"cut in the middle", sound.substr(0, 30), u"a/b.htm", 40, 100, std::nullopt},
      {"page leaving the book", "page=../../secret.txt\nscroll=40\n", u"", 0, 100, std::nullopt},
      {"absolute page", "page=/etc/passwd\n", u"", 0, 100, std::nullopt},
      {"page on a drive", "page=C:\\Windows\\win.ini\n", u"", 0, 100, std::nullopt},
      {"page not UTF-8", "page=a\xFF.htm\nzoom=120\n", u"", 0, 120, std::nullopt},
      {"negative scroll", "page=a.htm\nscroll=-3\n", u"a.htm", 0, 100, std::nullopt},
      {"scroll past 32 bits", "page=a.htm\nscroll=4294967296\n", u"a.htm", 0, 100, std::nullopt},
      {"zoom below the range", "zoom=10\n", u"", 0, 100, std::nullopt},
      {"zoom above the range", "zoom=301\n", u"", 0, 100, std::nullopt},
      {"zoom not a number", "zoom=big\n", u"", 0, 100, std::nullopt},
      {"window of three numbers", "window=1,2,3\n", u"", 0, 100, std::nullopt},
      {"window of five numbers", "window=1,2,3,4,5\n", u"", 0, 100, std::nullopt},
      {"window of no width", "window=1,2,0,4\n", u"", 0, 100, std::nullopt},
      {"window far off any screen", "window=99999999,2,3,4\n", u"", 0, 100, std::nullopt},
      {"flag not 0 or 1", "window=1,2,3,4\nmaximized=2\nfullscreen=yes\n", u"", 0, 100,
       WindowPlacement{1, 2, 3, 4, false, false}},
      {"unknown keys", "colour=red\n" + sound + "future=1\n", u"a/b.htm", 40, 120, window},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReadingState state = ReadReadingState(c.text);
    EXPECT_EQ(state.page, c.page);
    EXPECT_EQ(state.scroll, c.scroll);
    EXPECT_EQ(state.zoom, c.zoom);
    EXPECT_EQ(state.window, c.window);
  }
}

TEST(ReadingState, PagePathsStayInsideTheBook) {
  struct Case {
    std::u16string page;
    bool inside;
  };
  const Case cases[] = {
      {u"index.htm", true}, {u"a/b/c.htm", true}, {u"a\\b.htm", true},    {u"página.htm", true},
      {u"", false},         {u"/a.htm", false},   {u"\\a.htm", false},    {u"a//b.htm", false},
      {u"a/", false},       {u"./a.htm", false},  {u"a/../b.htm", false}, {u"..", false},
      {u"c:a.htm", false},  {u"a:stream", false}, {u"a\tb.htm", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPageInBook(c.page), c.inside) << Utf16ToUtf8(c.page);
  }

  const std::u16string book = u"C:\\Temp\\brisomel-1\\";
  EXPECT_EQ(PageRelativeToBook(book, u"c:\\TEMP\\Brisomel-1\\Chapters\\Two.htm"),
            u"Chapters/Two.htm");
  EXPECT_EQ(PageRelativeToBook(book, u"C:\\Temp\\brisomel-12\\a.htm"), u"");
  EXPECT_EQ(PageRelativeToBook(book, u"D:\\elsewhere\\a.htm"), u"");
  EXPECT_EQ(PageRelativeToBook(book, book), u"");
  EXPECT_EQ(PageInBook(book, u"Chapters/Two.htm", u'\\'),
            u"C:\\Temp\\brisomel-1\\Chapters\\Two.htm");
  EXPECT_EQ(PageInBook(u"/tmp/b/", u"a\\b.htm", u'/'), u"/tmp/b/a/b.htm");
  EXPECT_EQ(PageInBook(book, u"../x.htm", u'\\'), u"");
}

}  // namespace
}  // namespace brisomel
