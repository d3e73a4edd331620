// Loading, properties, layout, scrolling and painting of the viewer.
#include <gmock/gmock.h>

#include "html/document/text_section.h"
#include "viewer_fixture.h"

namespace brisomel::test {
namespace {

using ::testing::ElementsAre;

TEST_F(ViewerTest, LoadsAFileAndAnswersItsTitleAndName) {
  const std::string page = Write("a.htm", "<title>First</title><p>Hello</p>");
  std::vector<std::string> sounds;
  viewer->OnSoundRequest = [&](void*, const std::string& src, int loop, bool stop) {
    sounds.push_back(src + (stop ? "/stop" : "/play"));
  };
  std::vector<bool> processing;
  viewer->OnProcessing = [&](void*, bool on) { processing.push_back(on); };
  viewer->LoadFromFile(page);
  EXPECT_EQ(viewer->CurrentFileName(), files->FullPath(page));
  EXPECT_EQ(viewer->DocumentTitle(), u"First");
  EXPECT_EQ(viewer->CurrentFileType(), ftHTML);
  EXPECT_THAT(sounds, ElementsAre("/stop"));
  EXPECT_THAT(processing, ElementsAre(true, false));
  EXPECT_FALSE(viewer->Processing());
  // The hourglass showed during the load and the arrow came back.
  EXPECT_EQ(windows.screen_cursor, crArrow);
  EXPECT_THAT(windows.screen_cursor_history, ::testing::Contains(crHourGlass));
}

TEST_F(ViewerTest, MissingFileRaisesAndKeepsTheOldDocument) {
  const std::string page = Write("a.htm", "<title>Kept</title><p>Hello</p>");
  viewer->LoadFromFile(page);
  const int sections = viewer->Document().Count();
  const std::string missing = folder + "none.htm";
  try {
    viewer->LoadFromFile(missing);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't locate file: " + missing);
  }
  EXPECT_EQ(viewer->DocumentTitle(), u"Kept");
  EXPECT_EQ(viewer->Document().Count(), sections);
  EXPECT_FALSE(viewer->Processing());
  EXPECT_EQ(windows.screen_cursor, crArrow);
  // A later load still works.
  viewer->LoadFromFile(Write("b.htm", "<title>B</title>x"));
  EXPECT_EQ(viewer->DocumentTitle(), u"B");
}

TEST_F(ViewerTest, AnchorsScrollAndReloadsKeepThePosition) {
  const std::string page = LongPage("long.htm", 100, 50);
  const std::string other = LongPage("other.htm", 100);
  // The anchor is matched without regard to case.
  viewer->LoadFromFile(page + "#sec2");
  const int32_t anchored = viewer->VerticalPosition();
  EXPECT_GT(anchored, 1000);
  // Reloading the same file keeps the position; another file starts at the top.
  viewer->SetVerticalPosition(400);
  viewer->LoadFromFile(page);
  EXPECT_EQ(viewer->VerticalPosition(), 400);
  viewer->LoadFromFile(other);
  EXPECT_EQ(viewer->VerticalPosition(), 0);
  EXPECT_FALSE(viewer->ScrollToAnchor("#nowhere"));
  EXPECT_FALSE(viewer->ScrollToAnchor(""));
}

TEST_F(ViewerTest, ImageFileBecomesADocumentOfOneImage) {
  const std::string page = Write("a.htm", "<p>x</p>");
  viewer->LoadFromFile(page);
  // Any file will do: the generated document names it whatever it holds.
  const std::string picture = Write("pic.gif", "GIF89a");
  std::string requested;
  viewer->SetOnBitmapRequest([&](const std::string& source, int32_t&) {
    requested = source;
    return std::make_unique<Bitmap>(Bitmap::Rgb32(20, 10, 0xFF0000));
  });
  viewer->LoadImageFile(picture);
  EXPECT_EQ(viewer->CurrentFileType(), ftImage);
  EXPECT_EQ(requested, files->FullPath(picture));
  const std::string dump = DumpLayout(viewer->Document());
  EXPECT_NE(dump.find("image x=0 y=5 w=20 h=10"), std::string::npos) << dump;
}

TEST_F(ViewerTest, MemoryLoadsClearTheFileNameAndStartAtTheTop) {
  viewer->LoadFromFile(LongPage("long.htm", 100));
  viewer->SetVerticalPosition(500);
  const std::string html = "<title>Mem</title><p>From memory</p>";
  viewer->LoadFromBuffer(html.data(), static_cast<int32_t>(html.size()));
  EXPECT_EQ(viewer->CurrentFileName(), "");
  EXPECT_EQ(viewer->DocumentTitle(), u"Mem");
  EXPECT_EQ(viewer->VerticalPosition(), 0);
  viewer->LoadStrings({"<title>List</title>", "<p>one</p>"});
  EXPECT_EQ(viewer->DocumentTitle(), u"List");
  viewer->Clear();
  EXPECT_EQ(viewer->Document().Count(), 0);
  EXPECT_EQ(viewer->DocumentTitle(), u"");
  EXPECT_FALSE(VBar().Visible());
}

TEST_F(ViewerTest, PropertySettersClampAndIgnore) {
  viewer->SetDefFontSize(3);
  EXPECT_EQ(viewer->DefFontSize(), 6);
  viewer->SetImageCacheCount(50);
  EXPECT_EQ(viewer->ImageCacheCount(), 20);
  EXPECT_EQ(module.Cache().MaxAge(), 20);
  viewer->SetImageCacheCount(-1);
  EXPECT_EQ(viewer->ImageCacheCount(), 0);
  viewer->SetMarginWidth(51);
  EXPECT_EQ(viewer->MarginWidth(), 10);
  viewer->SetMarginHeight(-1);
  EXPECT_EQ(viewer->MarginHeight(), 5);
  viewer->SetMarginHeight(50);
  EXPECT_EQ(viewer->MarginHeight(), 50);
  viewer->SetHistoryMaxCount(-1);
  EXPECT_EQ(viewer->HistoryMaxCount(), 0);
  viewer->SetServerRoot("  D:\\book\\ ");
  EXPECT_EQ(viewer->ServerRoot(), "D:\\book");
  viewer->SetNoSelect(true);
  EXPECT_EQ(viewer->Document().SelB, -1);
  EXPECT_EQ(viewer->Document().SelE, -1);
}

TEST_F(ViewerTest, LinkFileNamesFollowThePathRules) {
  viewer->SetServerRoot("D:\\book\\");
  EXPECT_EQ(viewer->ExpandLinkFilename("/img/a.gif"), "D:\\book\\img\\a.gif");
  EXPECT_EQ(viewer->ExpandLinkFilename("file:///D|/Book/A%20B.htm"), "d:\\book\\a b.htm");
  // Relative names go to the folder of the file shown.
  viewer->LoadFromFile(Write("a.htm", "x"));
  EXPECT_EQ(viewer->ExpandLinkFilename(" b.htm "), files->FullPath(folder + "b.htm"));
  // "DosPath" as the base leaves them relative.
  viewer->SetBase("dospath");
  EXPECT_EQ(viewer->ExpandLinkFilename("b.htm"), "b.htm");
}

// A long layout lets the windows answer now and then; when they answer that the program is
// closing, the load stops and leaves the viewer free.
TEST_F(ViewerTest, LongLayoutsLetTheWindowsAnswerAndStopWhenClosing) {
  system.tick_step = 10;  // each reading of the clock is 10 ms after the last
  viewer->LoadFromFile(LongPage("long.htm", 300));
  EXPECT_GE(windows.process_events_calls, 20);
  EXPECT_GT(viewer->MaxVertical(), 300 * 22);

  windows.OnProcessEvents = [] { return false; };
  EXPECT_THROW(viewer->LoadFromFile(LongPage("closing.htm", 300)), EWorkStopped);
  EXPECT_FALSE(viewer->Processing());
  EXPECT_FALSE(viewer->Layouting());
}

// A long page answers while it is read too, with nothing painted from the half-read document;
// a close request then stops the load before the layout.
TEST_F(ViewerTest, ALongParseLetsTheWindowsAnswerAndStopsWhenClosing) {
  system.tick_step = 100;
  const std::string page = LongPage("long.htm", 2000);
  int sections_at_first_answer = -1;
  bool painting_held = false;
  windows.OnProcessEvents = [&] {
    if (sections_at_first_answer < 0) {
      sections_at_first_answer = viewer->Document().Count();
      painting_held = viewer->Layouting();
    }
    return true;
  };
  viewer->LoadFromFile(page);
  EXPECT_GT(sections_at_first_answer, 0);
  EXPECT_LT(sections_at_first_answer, viewer->Document().Count() / 2);
  EXPECT_TRUE(painting_held);

  windows.OnProcessEvents = [&] { return viewer->Document().Count() < 100; };
  EXPECT_THROW(viewer->LoadFromFile(LongPage("closing.htm", 2000)), EWorkStopped);
  EXPECT_LT(viewer->Document().Count(), 2000);
  EXPECT_FALSE(viewer->Processing());
  EXPECT_FALSE(viewer->Layouting());
}

// A window resized while a long layout answers events gets the page laid out for its new width:
// no lines cut off, no horizontal scroll bar for text that wraps. A resize before the layout
// starts and one during it are both kept.
TEST_F(ViewerTest, AResizeDuringALongLayoutLaysThePageOutForTheNewWidth) {
  system.tick_step = 10;
  std::string html;
  for (int i = 0; i < 200; ++i)
    html += "<p>words that wrap in a narrow window but fit a wide one</p>";
  const std::string page = Write("wrap.htm", html);
  viewer->SetBounds(Rect{0, 0, 800, 300});
  viewer->LoadFromFile(page);
  ASSERT_FALSE(viewer->HScrollBar().Visible());
  const int32_t wide_height = viewer->MaxVertical();

  int calls = 0;
  windows.OnProcessEvents = [&] {
    if (++calls == 3) viewer->SetBounds(Rect{0, 0, 300, 300});
    return true;
  };
  viewer->LoadFromFile(Write("wrap2.htm", html));
  EXPECT_GE(calls, 3);
  EXPECT_FALSE(viewer->HScrollBar().Visible());
  EXPECT_LE(viewer->ScrollWidth(), 300);
  EXPECT_GT(viewer->MaxVertical(), wide_height);  // the lines wrapped
}

TEST(MetaRefresh, ContentTexts) {
  struct Case {
    const char* content;
    bool found;
    int delay;
    const char* url;
  } cases[] = {
      {"5; URL=next.htm", true, 5, "next.htm"},
      {"5;url=Next.HTM", true, 5, "Next.HTM"},
      {"5", false, 0, ""},
      {"0; url=x.htm", false, 0, ""},
      {"-3; url=x.htm", false, 0, ""},
      {"x; url=x.htm", false, 0, ""},
      {"5; next.htm", false, 0, ""},
  };
  for (const Case& c : cases) {
    TMetaRefresh r;
    EXPECT_EQ(ParseMetaRefresh(c.content, r), c.found) << c.content;
    if (c.found) {
      EXPECT_EQ(r.Delay, c.delay) << c.content;
      EXPECT_EQ(r.URL, c.url) << c.content;
    }
  }
}

TEST_F(ViewerTest, MetaRefreshIsReportedAfterTheLoad) {
  std::vector<std::string> events;
  viewer->OnMeta = [&](void*, const std::string& eq, const std::string& name,
                       const std::string& content) { events.push_back("meta " + content); };
  viewer->OnMetaRefresh = [&](void*, int delay, const std::string& url) {
    EXPECT_FALSE(viewer->Processing());
    events.push_back("refresh " + std::to_string(delay) + " " + url);
  };
  viewer->LoadFromFile(
      Write("a.htm", "<meta http-equiv=\"Refresh\" content=\"5; URL=next.htm\">x"));
  EXPECT_THAT(events, ElementsAre("meta 5; URL=next.htm", "refresh 5 next.htm"));
  events.clear();
  viewer->LoadFromFile(Write("b.htm", "<meta http-equiv=\"refresh\" content=\"5\">x"));
  EXPECT_THAT(events, ElementsAre("meta 5"));
}

TEST_F(ViewerTest, ScrollBarsFollowTheDocument) {
  viewer->LoadFromFile(Write("short.htm", "<p>short</p>"));
  EXPECT_FALSE(VBar().Visible());
  EXPECT_EQ(Panel().Bounds(), (Rect{1, 1, 399, 299}));
  viewer->LoadFromFile(LongPage("long.htm", 100));
  EXPECT_TRUE(VBar().Visible());
  EXPECT_EQ(Panel().Bounds(), (Rect{1, 1, 383, 299}));
  EXPECT_EQ(VBar().Max, viewer->MaxVertical());
  EXPECT_EQ(VBar().Page, 299);
  // Without bars no bar shows, and the document is laid out for the full width.
  viewer->SetScrollBars(ssNone);
  EXPECT_FALSE(VBar().Visible());
  EXPECT_EQ(Panel().Bounds(), (Rect{1, 1, 399, 299}));
  EXPECT_EQ(viewer->Document().IMgr.Width, 400 - 3 - 20);
}

TEST_F(ViewerTest, ResizingInHeightKeepsTheLayoutAndInWidthKeepsThePosition) {
  viewer->LoadFromFile(LongPage("long.htm", 200));
  viewer->SetVerticalPosition(2000);
  const int32_t position = viewer->Position();
  int layouts = 0;
  viewer->OnProcessing = [&](void*, bool on) { layouts += on; };
  Outer().Resize(400, 200);
  EXPECT_EQ(layouts, 0);
  EXPECT_EQ(viewer->Position(), position);
  Outer().Resize(250, 200);
  EXPECT_EQ(layouts, 1);
  // The same section and offset, after the lines were broken anew.
  EXPECT_EQ(viewer->Position(), position);
  // The paragraph at the top of the panel is the one that was there before.
  const Point top = {20, 12};
  int32_t xr, yr, ht;
  TCell* cell = nullptr;
  bool in_text;
  Screen();
  const int32_t pos = viewer->Document().PositionAt(windows.ScreenCanvas(), top.x,
                                                    top.y + viewer->VerticalPosition() - 5, xr, yr,
                                                    ht, cell, in_text);
  EXPECT_GE(pos, 0);
}

TEST_F(ViewerTest, KeysAndBarScroll) {
  viewer->LoadFromFile(LongPage("long.htm", 100));
  const int32_t bottom = viewer->MaxVertical() - 298;
  struct Step {
    int key;
    int32_t expected;
  } steps[] = {
      {vkDown, 16}, {vkDown, 32},    {vkUp, 16},       {vkNext, 16 + 282}, {vkPrior, 16},
      {vkUp, 0},    {vkEnd, bottom}, {vkDown, bottom}, {vkHome, 0},
  };
  Outer().SetFocus();
  for (const Step& s : steps) {
    Outer().PressKey(s.key);
    EXPECT_EQ(viewer->VerticalPosition(), s.expected) << s.key;
    EXPECT_EQ(VBar().Pos, s.expected);
    EXPECT_EQ(viewer->Document().YOff, s.expected);
  }
  VBar().Scroll(scTrack, 1234);
  EXPECT_EQ(viewer->VerticalPosition(), 1234);
  VBar().Scroll(scLineDown);
  EXPECT_EQ(viewer->VerticalPosition(), 1250);
  VBar().Scroll(scPageUp);
  EXPECT_EQ(viewer->VerticalPosition(), 1250 - 282);
  VBar().Scroll(scBottom);
  EXPECT_EQ(viewer->VerticalPosition(), bottom);
  Outer().Wheel(120);
  EXPECT_EQ(viewer->VerticalPosition(), bottom - 48);
  // A handler that clears the key stops the scrolling.
  viewer->OnKeyDown = [](void*, int& key, TShiftState) { key = 0; };
  Outer().PressKey(vkHome);
  EXPECT_EQ(viewer->VerticalPosition(), bottom - 48);
}

TEST_F(ViewerTest, ScrolledScreenEqualsAFreshPaint) {
  viewer->LoadFromFile(LongPage("long.htm", 100));
  Screen();
  Outer().SetFocus();
  // Single-line steps move the painted pixels and paint only the strip uncovered.
  for (int i = 0; i < 5; ++i) Outer().PressKey(vkDown);
  VBar().Scroll(scLineUp);
  const Bitmap scrolled = Screen();
  Panel().Invalidate();
  const Bitmap fresh = Screen();
  EXPECT_EQ(scrolled.pixels, fresh.pixels);
  EXPECT_EQ(viewer->VerticalPosition(), 64);
}

TEST_F(ViewerTest, PaintsTheBackgroundColourAndTheText) {
  viewer->LoadFromFile(Write("a.htm", "<body bgcolor=\"#00FF00\"><p>Hello</p></body>"));
  const Bitmap& screen = Screen();
  // Background all over, text in black from the left margin at the first line.
  EXPECT_EQ(screen.pixels[static_cast<size_t>(150) * screen.width + 200], 0x00FF00u);
  bool ink = false;
  for (int y = 0; y < 60; ++y)
    for (int x = 10; x < 50; ++x)
      ink |= screen.pixels[static_cast<size_t>(y) * screen.width + x] == 0;
  EXPECT_TRUE(ink);
}

TEST_F(ViewerTest, BackgroundImageTilesAndScrollsWithTheDocument) {
  // A 10 x 10 tile: red in its top row, blue elsewhere.
  Bitmap tile = Bitmap::Rgb32(10, 10, 0x0000FF);
  for (int x = 0; x < 10; ++x) tile.pixels[x] = 0xFF0000;
  viewer->SetOnBitmapRequest(
      [&](const std::string&, int32_t&) { return std::make_unique<Bitmap>(tile); });
  std::string html = "<body background=\"tile.bmp\">";
  for (int i = 0; i < 60; ++i) html += "<p>&nbsp;</p>";
  viewer->LoadFromFile(Write("a.htm", html));
  auto row_colour = [&](int y) {
    return Screen().pixels[static_cast<size_t>(y) * Screen().width + 5];
  };
  EXPECT_EQ(row_colour(0), 0xFF0000u);
  EXPECT_EQ(row_colour(1), 0x0000FFu);
  EXPECT_EQ(row_colour(10), 0xFF0000u);
  viewer->SetVerticalPosition(3);
  EXPECT_EQ(row_colour(7), 0xFF0000u);
  EXPECT_EQ(row_colour(0), 0x0000FFu);
}

TEST_F(ViewerTest, FormSubmissionIsRaisedFromTheEventLoop) {
  std::vector<std::string> seen;
  viewer->SetOnFormSubmit([&](void*, const std::string& action, const std::string& target,
                              const std::string& enc, const std::string& method,
                              const std::vector<std::string>& results) {
    seen.push_back(action + "|" + target + "|" + enc + "|" + method + "|" + results.at(0));
  });
  viewer->FormSubmitted("go.htm", "_top", "", "GET", {"a=1"});
  EXPECT_TRUE(seen.empty());
  windows.RunPosted();
  EXPECT_THAT(seen, ElementsAre("go.htm|_top||GET|a=1"));
}

TEST_F(ViewerTest, PositionSurvivesAndIgnoresBadValues) {
  viewer->LoadFromFile(LongPage("long.htm", 100));
  viewer->SetVerticalPosition(1000);
  const int32_t position = viewer->Position();
  viewer->SetVerticalPosition(0);
  viewer->SetPosition(position);
  EXPECT_EQ(viewer->VerticalPosition(), 1000);
  viewer->SetPosition(-5);
  viewer->SetPosition(0x7FFF0000);
  EXPECT_EQ(viewer->VerticalPosition(), 1000);
  // Positions past the end are clamped to the last screen.
  viewer->SetVerticalPosition(1 << 30);
  EXPECT_EQ(viewer->VerticalPosition(), viewer->MaxVertical() - 298);
}

}  // namespace
}  // namespace brisomel::test

namespace brisomel::test {
namespace {

// Run under the sanitizers, this is the leak check: a thousand loads and clears of varied
// pages (images that fail, anchors, lists, preformatted text, backgrounds) leave nothing behind.
TEST_F(ViewerTest, ThousandLoadClearCycles) {
  std::vector<std::string> pages;
  for (int i = 0; i < 8; ++i) {
    std::string p = "<title>P" + std::to_string(i) +
                    "</title><body bgcolor=" + (i % 2 ? "white" : "silver") + ">";
    for (int k = 0; k < 10 + 7 * i; ++k) {
      switch ((i + k) % 4) {
        case 0:
          p += "<p>Plain <b>bold</b> <a href=\"x.htm\">link</a></p>";
          break;
        case 1:
          p += "<ul><li>one<ol><li>nested</ol></ul><pre>fixed\n text</pre>";
          break;
        case 2:
          p += "<a name=\"a" + std::to_string(k) + "\"></a><h2>Heading</h2>";
          break;
        default:
          p += "<img src=\"none.gif\" width=40 height=30 align=left>words<hr>";
      }
    }
    pages.push_back(p);
  }
  const std::string file = Write("cycle.htm", pages[3]);
  for (int cycle = 0; cycle < 1000; ++cycle) {
    if (cycle % 10 == 0) {
      viewer->LoadFromFile(file);
    } else {
      const std::string& page = pages[cycle % pages.size()];
      viewer->LoadFromBuffer(page.data(), static_cast<int32_t>(page.size()));
    }
    Screen();
    viewer->Clear();
  }
  EXPECT_EQ(viewer->Document().Count(), 0);
}

}  // namespace
}  // namespace brisomel::test

namespace brisomel::test {
namespace {

TEST_F(ViewerTest, WideContentGetsAHorizontalBarAndArrowKeysMoveIt) {
  viewer->LoadFromFile(Write("wide.htm", "<pre>" + std::string(150, 'w') + "</pre>"));
  auto& bar = static_cast<HeadlessScrollBar&>(viewer->HScrollBar().Port());
  EXPECT_TRUE(bar.Visible());
  EXPECT_EQ(viewer->ScrollWidth(), 150 * 7);  // the fixed-pitch face: 7 pixels a character
  EXPECT_EQ(bar.Max, 20 + 150 * 7);
  // The panel makes room for the bar.
  EXPECT_EQ(Panel().Bounds().bottom, 300 - 1 - 16);
  Outer().SetFocus();
  Outer().PressKey(vkRight);
  Outer().PressKey(vkRight);
  EXPECT_EQ(viewer->HorizontalPosition(), 30);
  Outer().PressKey(vkLeft);
  EXPECT_EQ(viewer->HorizontalPosition(), 15);
  bar.Scroll(scBottom);
  EXPECT_EQ(viewer->HorizontalPosition(), bar.Max - Panel().Bounds().width());
  // The text moved with it: the line now ends inside the panel, background after it.
  const int end = 10 + 150 * 7 - viewer->HorizontalPosition();
  const Bitmap& screen = Screen();
  bool ink_before = false, ink_after = false;
  for (int y = 0; y < 40; ++y) {
    ink_before |= screen.pixels[static_cast<size_t>(y) * screen.width + end - 4] == 0;
    ink_after |= screen.pixels[static_cast<size_t>(y) * screen.width + end + 4] == 0;
  }
  EXPECT_TRUE(ink_before);
  EXPECT_FALSE(ink_after);
  // Content as wide as the viewer caps at 2000 pixels.
  viewer->LoadFromFile(Write("wider.htm", "<pre>" + std::string(400, 'w') + "</pre>"));
  EXPECT_EQ(viewer->ScrollWidth(), 2000);
}

}  // namespace
}  // namespace brisomel::test
