// The pointer over links, clicks that follow them, and the history.
#include <gmock/gmock.h>

#include "viewer_fixture.h"

namespace brisomel::test {
namespace {

using ::testing::ElementsAre;

class ViewerLinks : public ViewerTest {
 protected:
  void SetUp() override {
    viewer->SetHistoryMaxCount(10);
    viewer->OnHotSpotCovered = [this](void*, const std::string& src) { covered.push_back(src); };
  }
  std::vector<std::string> covered;
};

TEST_F(ViewerLinks, HoverRaisesOnePerChangeAndSetsCursors) {
  viewer->LoadFromFile(Write("a.htm",
                             "<p><a href=\"b.htm\">first</a><a href=\"b.htm\">second</a> "
                             "plain <a href=\"c.htm\">third</a></p>"));
  Screen();
  Panel().MoveMouse(PointOf(Find("first")).x, PointOf(Find("first")).y);
  EXPECT_EQ(Panel().Cursor(), crLink);
  Panel().MoveMouse(PointOf(Find("irst")).x, PointOf(Find("irst")).y);
  // Straight onto another link with the same URL: nothing new.
  Panel().MoveMouse(PointOf(Find("second")).x, PointOf(Find("second")).y);
  Panel().MoveMouse(PointOf(Find("third")).x, PointOf(Find("third")).y);
  Panel().MoveMouse(PointOf(Find("plain")).x, PointOf(Find("plain")).y);
  EXPECT_EQ(Panel().Cursor(), crText);
  Panel().MoveMouse(300, 250);
  EXPECT_EQ(Panel().Cursor(), crArrow);
  EXPECT_THAT(covered, ElementsAre("b.htm", "c.htm", ""));
  EXPECT_EQ(viewer->HotSpotURL(), "");
}

TEST_F(ViewerLinks, ClickOnAnAnchorScrollsAndRecordsHistory) {
  std::string html = "<p><a href=\"#End\">down</a></p>";
  for (int i = 0; i < 80; ++i) html += "<p>filler " + std::to_string(i) + "</p>";
  html += "<a name=\"end\"></a><p>bottom</p>";
  for (int i = 0; i < 20; ++i) html += "<p>more</p>";
  const std::string page = Write("a.htm", html);
  int changes = 0;
  viewer->OnHistoryChange = [&](void*) { ++changes; };
  viewer->LoadFromFile(page);
  ASSERT_EQ(viewer->History().size(), 1u);
  Screen();
  const int32_t before = viewer->Position();
  const Point p = PointOf(Find("down"));
  Panel().Click(p.x, p.y);
  EXPECT_GT(viewer->VerticalPosition(), 1500);
  ASSERT_EQ(viewer->History().size(), 2u);
  EXPECT_EQ(viewer->History()[0], viewer->CurrentFileName());
  EXPECT_EQ(viewer->PositionHistory()[0]->Pos, viewer->Position());
  // The previous entry keeps where the reader was.
  EXPECT_EQ(viewer->PositionHistory()[1]->Pos, before);
  EXPECT_NE(before, viewer->Position());
  EXPECT_EQ(changes, 2);
}

TEST_F(ViewerLinks, ClickLoadsOtherFilesAndDragsDoNotFollow) {
  const std::string b = Write("b.htm", "<title>B</title><p>page b</p>");
  const std::string a = Write("a.htm", "<title>A</title><p>go <a href=\"b.htm\">to b now</a></p>");
  viewer->LoadFromFile(a);
  Screen();
  // Press on the link, drag along it selecting text, release on it: no load.
  const Point from = PointOf(Find("to b")), to = PointOf(Find("now"));
  Panel().PressMouse(mbLeft, from.x, from.y);
  Panel().MoveMouse(to.x, to.y, ssLeft);
  Panel().ReleaseMouse(mbLeft, to.x, to.y);
  EXPECT_EQ(viewer->DocumentTitle(), u"A");
  EXPECT_EQ(Selected(), "to b ");
  // A click loads the file.
  Panel().Click(from.x, from.y);
  EXPECT_EQ(viewer->DocumentTitle(), u"B");
  EXPECT_EQ(viewer->CurrentFileName(), files->FullPath(b));
  EXPECT_THAT(viewer->TitleHistory(), ElementsAre(u"B", u"A"));
}

// Links name files in any script, written as they are or as escaped UTF-8.
TEST_F(ViewerLinks, LinksReachFileNamesInAnyScript) {
  const std::string resume = Write("r\xC3\xA9sum\xC3\xA9.htm", "<title>R</title>r");
  const std::string doc = Write("\xE6\x96\x87\xE6\xA1\xA3.htm", "<title>D</title>d");
  const std::string a =
      Write("a.htm",
            "<meta charset=utf-8><title>A</title><p><a href=\"r\xC3\xA9sum\xC3\xA9.htm\">"
            "raw link</a> <a href=\"%E6%96%87%E6%A1%A3.htm\">escaped link</a></p>");
  viewer->LoadFromFile(a);
  Screen();
  Panel().Click(PointOf(Find("raw")).x, PointOf(Find("raw")).y);
  EXPECT_EQ(viewer->CurrentFileName(), files->FullPath(resume));
  viewer->LoadFromFile(a);
  Screen();
  Panel().Click(PointOf(Find("escaped")).x, PointOf(Find("escaped")).y);
  EXPECT_EQ(viewer->CurrentFileName(), files->FullPath(doc));
}

TEST_F(ViewerLinks, ReleaseInAnotherPlaceOrAHandledClickDoesNothing) {
  const std::string a = Write("a.htm", "<title>A</title><p><a href=\"b.htm\">link</a></p>");
  Write("b.htm", "<title>B</title>b");
  viewer->LoadFromFile(a);
  Screen();
  const Point p = PointOf(Find("link"));
  // A release without a press in this viewer follows nothing.
  Panel().ReleaseMouse(mbLeft, p.x, p.y);
  EXPECT_EQ(viewer->DocumentTitle(), u"A");
  std::vector<std::string> clicked;
  viewer->OnHotSpotClick = [&](void*, const std::string& src, bool& handled) {
    clicked.push_back(src);
    handled = true;
  };
  Panel().Click(p.x, p.y);
  EXPECT_THAT(clicked, ElementsAre("b.htm"));
  EXPECT_EQ(viewer->DocumentTitle(), u"A");
}

TEST_F(ViewerLinks, SameFileWithAnAnchorOnlyScrollsAndOtherCaseReloads) {
  std::string html = "<p><a href=\"a.htm#x\">same</a> <a href=\"A.HTM\">upper</a></p>";
  for (int i = 0; i < 60; ++i) html += "<p>filler</p>";
  html += "<a name=\"x\"></a><p>target</p>";
  for (int i = 0; i < 20; ++i) html += "<p>more</p>";
  const std::string a = Write("a.htm", html);
  int processing = 0;
  viewer->OnProcessing = [&](void*, bool on) { processing += on; };
  viewer->LoadFromFile(a);
  processing = 0;
  Screen();
  Panel().Click(PointOf(Find("same")).x, PointOf(Find("same")).y);
  EXPECT_EQ(processing, 0);
  EXPECT_GT(viewer->VerticalPosition(), 1000);
  EXPECT_EQ(viewer->History().size(), 2u);
}

TEST_F(ViewerLinks, MailtoGoesToTheShellAndOtherTypesDoNothing) {
  viewer->LoadFromFile(Write("a.htm",
                             "<title>A</title><p><a href=\"mailto:me@example.org\">mail</a> "
                             "<a href=\"notes.txt\">text</a></p>"));
  Screen();
  Panel().Click(PointOf(Find("mail")).x, PointOf(Find("mail")).y);
  EXPECT_THAT(system.shell_requests, ElementsAre("mailto:me@example.org"));
  Panel().Click(PointOf(Find("text")).x, PointOf(Find("text")).y);
  EXPECT_EQ(viewer->DocumentTitle(), u"A");
}

TEST_F(ViewerLinks, HistoryKeepsTheNewestEntriesUpToItsLimit) {
  viewer->SetHistoryMaxCount(2);
  for (const char* name : {"1.htm", "2.htm", "3.htm", "4.htm"})
    viewer->LoadFromFile(Write(name, std::string("<title>") + name + "</title>x"));
  EXPECT_THAT(viewer->TitleHistory(), ElementsAre(u"4.htm", u"3.htm"));
  EXPECT_EQ(viewer->PositionHistory().size(), 2u);
  int changes = 0;
  viewer->OnHistoryChange = [&](void*) { ++changes; };
  // A smaller limit clears the history first; clearing an empty history raises nothing.
  viewer->SetHistoryMaxCount(1);
  EXPECT_TRUE(viewer->History().empty());
  viewer->ClearHistory();
  EXPECT_EQ(changes, 1);
  // With no limit nothing is recorded.
  viewer->SetHistoryMaxCount(0);
  viewer->LoadFromFile(folder + "1.htm");
  EXPECT_TRUE(viewer->History().empty());
}

TEST_F(ViewerLinks, ImageMapsAndImageEvents) {
  viewer->SetOnBitmapRequest([](const std::string&, int32_t&) {
    return std::make_unique<Bitmap>(Bitmap::Rgb32(100, 50, 0x808080));
  });
  viewer->LoadFromFile(
      Write("a.htm",
            "<map name=\"m\"><area shape=\"rect\" coords=\"0,0,50,50\" "
            "href=\"left.htm\"><area shape=\"rect\" coords=\"50,0,100,50\" "
            "href=\"right.htm\"></map><img src=\"p.bmp\" usemap=\"#m\" border=0>"));
  std::vector<std::string> images;
  viewer->OnImageOver = [&](void*, TImageObj*, TShiftState, int x, int y) {
    images.push_back(std::to_string(x) + "," + std::to_string(y));
  };
  TRightClickParameters right;
  viewer->OnRightClick = [&](void*, TRightClickParameters& p) { right = p; };
  Screen();
  Panel().MoveMouse(10 + 20, 5 + 10);
  Panel().MoveMouse(10 + 70, 5 + 10);
  EXPECT_THAT(covered, ElementsAre("left.htm", "right.htm"));
  Panel().Click(10 + 70, 5 + 10, mbRight);
  EXPECT_EQ(right.URL, "right.htm");
  EXPECT_NE(right.Image, nullptr);
  EXPECT_EQ(right.ImageX, 70);
  EXPECT_EQ(right.ImageY, 10);
}

}  // namespace
}  // namespace brisomel::test

namespace brisomel::test {
namespace {

TEST_F(ViewerLinks, GoHistoryReturnsWhereTheReaderWas) {
  const std::string a = LongPage("a.htm", 100);
  const std::string b = LongPage("b.htm", 100);
  viewer->LoadFromFile(a);
  viewer->SetVerticalPosition(800);
  viewer->LoadFromFile(b);
  viewer->SetVerticalPosition(300);
  viewer->GoHistory(1);
  EXPECT_EQ(viewer->CurrentFileName(), files->FullPath(a));
  EXPECT_EQ(viewer->VerticalPosition(), 800);
  EXPECT_EQ(viewer->HistoryIndex(), 1);
  viewer->GoHistory(0);
  EXPECT_EQ(viewer->CurrentFileName(), files->FullPath(b));
  EXPECT_EQ(viewer->VerticalPosition(), 300);
  viewer->GoHistory(5);
  EXPECT_EQ(viewer->HistoryIndex(), 0);
}

}  // namespace
}  // namespace brisomel::test
