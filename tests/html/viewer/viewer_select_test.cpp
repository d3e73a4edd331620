// Selecting with the mouse, word selection, drag auto-scroll, find and copy.
#include <gmock/gmock.h>

#include "viewer_fixture.h"

namespace brisomel::test {
namespace {

TEST_F(ViewerTest, DoubleClickSelectsWordsOfWordCharacters) {
  viewer->LoadFromFile(Write("a.htm", "<p>say don't to Müller or 5×3 now</p>"));
  Screen();
  struct Case {
    const char* click_on;
    const char* selects;
  } cases[] = {
      {"on't", "don"}, {"t to", "t"}, {"ller", "Müller"}, {"5×", "5"}, {"3 now", "3"},
  };
  for (const Case& c : cases) {
    const Point p = PointOf(Find(c.click_on));
    Panel().DoubleClick(p.x, p.y);
    EXPECT_EQ(Selected(), c.selects) << c.click_on;
  }
  // Past the end of the line: no word.
  viewer->SetSelLength(0);
  Panel().DoubleClick(390, PointOf(Find("say")).y);
  EXPECT_EQ(viewer->SelLength(), 0);
}

TEST_F(ViewerTest, DoubleClickAfterAFollowedLinkSelectsNothing) {
  Write("b.htm", "<title>B</title><p>words here</p>");
  viewer->LoadFromFile(Write("a.htm", "<p><a href=\"b.htm\">words here</a></p>"));
  Screen();
  const Point p = PointOf(Find("words"));
  Panel().Click(p.x, p.y);
  ASSERT_EQ(viewer->DocumentTitle(), u"B");
  Screen();
  Panel().DoubleClick(p.x, p.y);
  EXPECT_EQ(viewer->SelLength(), 0);
  // The next press clears the flag.
  Panel().Click(p.x, p.y);
  Panel().DoubleClick(p.x, p.y);
  EXPECT_EQ(Selected(), "words");
}

TEST_F(ViewerTest, FindWalksThroughTheMatches) {
  std::string html = "<p>Needle at the top</p>";
  for (int i = 0; i < 80; ++i) html += "<p>hay</p>";
  html += "<p>a needle further down</p>";
  for (int i = 0; i < 40; ++i) html += "<p>hay</p>";
  viewer->LoadFromFile(Write("a.htm", html));
  EXPECT_TRUE(viewer->FindText(u"needle", false));
  EXPECT_EQ(viewer->Document().SelB, Find("Needle"));
  EXPECT_EQ(viewer->VerticalPosition(), 0);
  EXPECT_TRUE(viewer->FindText(u"needle", false));
  EXPECT_EQ(viewer->Document().SelB, Find("needle further"));
  // Brought into view, in the middle of the panel.
  int32_t x, y;
  viewer->Document().PositionToPoint(windows.ScreenCanvas(), viewer->Document().SelB, x, y);
  EXPECT_EQ(viewer->VerticalPosition(), y - 298 / 2);
  const int32_t selected = viewer->Document().SelB;
  EXPECT_FALSE(viewer->FindText(u"needle", false));
  EXPECT_EQ(viewer->Document().SelB, selected);
  EXPECT_EQ(viewer->SelLength(), 6);
  // Case matters when asked; FindStart 0 starts again from the top.
  viewer->FindStart = 0;
  EXPECT_TRUE(viewer->FindText(u"needle", true));
  EXPECT_EQ(viewer->Document().SelB, Find("needle further"));
  EXPECT_FALSE(viewer->FindText(u"", false));
}

TEST_F(ViewerTest, DragSelectsAndNoSelectStopsItButNotFind) {
  viewer->LoadFromFile(Write("a.htm", "<p>one two three</p>"));
  Screen();
  const Point a = PointOf(Find("two")), b = PointOf(Find("three"));
  Panel().PressMouse(mbLeft, a.x - 4, a.y);
  Panel().MoveMouse(b.x - 4, b.y, ssLeft);
  Panel().ReleaseMouse(mbLeft, b.x - 4, b.y);
  EXPECT_EQ(Selected(), "two ");
  EXPECT_EQ(viewer->FindStart, Find("three"));
  // Ctrl+C copies the selection.
  Outer().PressKey(vkC, ssCtrl);
  EXPECT_EQ(windows.clipboard, "two ");

  viewer->SetNoSelect(true);
  Panel().PressMouse(mbLeft, a.x - 4, a.y);
  Panel().MoveMouse(b.x - 4, b.y, ssLeft);
  Panel().ReleaseMouse(mbLeft, b.x - 4, b.y);
  EXPECT_EQ(viewer->SelLength(), 0);
  viewer->FindStart = 0;
  EXPECT_TRUE(viewer->FindText(u"three", false));
  EXPECT_EQ(Selected(), "three\r\n");
}

TEST_F(ViewerTest, DraggingBelowTheViewerScrollsEveryHundredMilliseconds) {
  viewer->LoadFromFile(LongPage("long.htm", 100));
  Screen();
  Panel().PressMouse(mbLeft, 30, 20);
  Panel().MoveMouse(30, 305, ssLeft);  // 5 pixels below
  EXPECT_TRUE(Panel().TimerRunning(TPageViewer::kAutoScrollTimer));
  windows.Advance(99);
  EXPECT_EQ(viewer->VerticalPosition(), 0);
  windows.Advance(1);
  EXPECT_EQ(viewer->VerticalPosition(), 16);
  windows.Advance(100);
  EXPECT_EQ(viewer->VerticalPosition(), 32);
  Panel().MoveMouse(30, 320, ssLeft);  // more than 15 pixels below
  windows.Advance(100);
  EXPECT_EQ(viewer->VerticalPosition(), 32 + 128);
  // The selection grew with the scrolling.
  EXPECT_GT(viewer->SelLength(), 100);
  // Back inside: the steps end.
  Panel().MoveMouse(30, 100, ssLeft);
  windows.Advance(300);
  EXPECT_EQ(viewer->VerticalPosition(), 160);
  EXPECT_FALSE(Panel().TimerRunning(TPageViewer::kAutoScrollTimer));
  Panel().ReleaseMouse(mbLeft, 30, 100);
  EXPECT_FALSE(Panel().Captured());
}

}  // namespace
}  // namespace brisomel::test
