// The viewer's zoom: the steps of the zoom keys, the page laid out again at a new scale (text,
// pictures, tables), the reading position kept across a change, and the zoom kept for the next
// page. The test font is 8 pixels a character and 22 a line at 100%.
#include <regex>
#include <sstream>

#include "../images/png_writer.h"
#include "html/viewer/zoom_steps.h"
#include "viewer_fixture.h"

namespace brisomel::test {
namespace {

TEST(ZoomSteps, NextAndPreviousStepsStopAtTheLimits) {
  struct Case {
    int from, direction, to;
  } cases[] = {
      {100, 1, 110}, {100, -1, 90}, {110, -1, 100}, {250, 1, 300}, {300, 1, 300},  {50, -1, 50},
      {67, -1, 50},  {120, 1, 125}, {120, -1, 110}, {40, 1, 67},   {400, -1, 250}, {100, 0, 100},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextZoom(c.from, c.direction), c.to) << c.from << " " << c.direction;
}

class ZoomTest : public ViewerTest {
 protected:
  ZoomTest() { viewer->SetBounds(Rect{0, 0, 1000, 300}); }

  // Every `key=` value of the dump's lines that start (after the indent) with `kind`.
  std::vector<int> Values(const std::string& kind, const std::string& key) {
    std::vector<int> values;
    std::istringstream dump(DumpLayout(viewer->Document()));
    const std::regex value(" " + key + "=(-?[0-9]+)");
    for (std::string line; std::getline(dump, line);) {
      if (line.find_first_not_of(' ') != line.find(kind)) continue;
      std::smatch m;
      if (std::regex_search(line, m, value)) values.push_back(std::stoi(m[1]));
    }
    return values;
  }
  // The width of the characters [from, to) of one line, as the layout measured them.
  int32_t TextWidth(int32_t from, int32_t to) {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    EXPECT_TRUE(viewer->Document().PositionToPoint(windows.ScreenCanvas(), from, x1, y1));
    EXPECT_TRUE(viewer->Document().PositionToPoint(windows.ScreenCanvas(), to, x2, y2));
    EXPECT_EQ(y1, y2);
    return x2 - x1;
  }
  // The first character of the line at the top of the window.
  int32_t TopCharacter() {
    int32_t xr = 0, yr = 0, caret = 0;
    TCell* cell = nullptr;
    bool in_text = false;
    return viewer->Document().PositionAt(windows.ScreenCanvas(), -100000,
                                         viewer->VerticalPosition() - viewer->MarginHeight(), xr,
                                         yr, caret, cell, in_text);
  }
};

TEST_F(ZoomTest, TextPicturesAndTablesScaleWithTheZoom) {
  const Bytes png = WritePng(20, 10, std::vector<uint32_t>(200, 0xFF0000FF));
  Write("p.png", std::string(png.begin(), png.end()));
  viewer->LoadFromFile(Write("page.htm",
                             "<p>Some words here</p><img src=\"p.png\"> "
                             "<img src=\"p.png\" width=30 height=40><img src=\"p.png\" height=15>"
                             "<table width=300 cellpadding=4><tr><td width=100>x</td><td>y</td>"
                             "</tr></table>"));
  struct Measure {
    int line_height, text_width, table_width;
    std::vector<int> widths, heights;
  };
  auto measure = [&] {
    return Measure{Values("line", "h").at(0), TextWidth(0, 10), Values("ThtmlTable", "w").at(0),
                   Values("image", "w"), Values("image", "h")};
  };
  const Measure normal = measure();
  EXPECT_EQ(normal.widths, (std::vector<int>{20, 30, 30}));
  EXPECT_EQ(normal.heights, (std::vector<int>{10, 40, 15}));

  viewer->SetZoomPercent(200);
  EXPECT_EQ(viewer->ZoomPercent(), 200);
  const Measure zoomed = measure();
  EXPECT_NEAR(zoomed.line_height, 2 * normal.line_height, 2);
  EXPECT_NEAR(zoomed.text_width, 2 * normal.text_width, 2);
  EXPECT_EQ(zoomed.table_width, 2 * normal.table_width);
  EXPECT_EQ(zoomed.widths, (std::vector<int>{40, 60, 60}));
  EXPECT_EQ(zoomed.heights, (std::vector<int>{20, 80, 30}));

  // The zoom stays for the next page, and held to its limits.
  viewer->LoadFromFile(Write("next.htm", "<p>Some words here</p>"));
  EXPECT_EQ(Values("line", "h").at(0), zoomed.line_height);
  viewer->SetZoomPercent(1000);
  EXPECT_EQ(viewer->ZoomPercent(), kMaxZoom);
  viewer->SetZoomPercent(100);
  EXPECT_EQ(Values("line", "h").at(0), normal.line_height);
}

TEST_F(ZoomTest, TheLineAtTheTopStaysThereAcrossZoomChanges) {
  viewer->LoadFromFile(LongPage("long.htm", 200));
  const int32_t line_40 = Find("Line 40 ");
  int32_t x = 0, y = 0;
  ASSERT_TRUE(viewer->Document().PositionToPoint(windows.ScreenCanvas(), line_40, x, y));
  viewer->ScrollTo(y + 5);  // a little into the line
  ASSERT_EQ(TopCharacter(), line_40);
  for (int zoom : {200, 67, 300, 100}) {
    viewer->SetZoomPercent(zoom);
    EXPECT_EQ(TopCharacter(), line_40) << zoom;
  }
}

}  // namespace
}  // namespace brisomel::test
