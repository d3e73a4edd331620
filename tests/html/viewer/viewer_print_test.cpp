// Printing through a viewer on the recording printer: a 4 x 5 inch sheet at 600 dots per inch
// with a printing offset of 100 device pixels, so 2.0 cm margins lie 472 pixels from the
// sheet's edges. The test font's lines are 22 screen pixels high; one screen pixel is 6.25
// device pixels.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "html/viewer/vw_printer.h"
#include "platform/headless/recording_printer.h"
#include "viewer_fixture.h"

namespace brisomel::test {
namespace {

constexpr int kDpi = 600;
constexpr int kSheetWidth = 2400, kSheetHeight = 3000;
constexpr int kMargin = 472;  // 2.0 cm at 600 dpi

// Where ink lies on a sheet (right and bottom exclusive); empty when the sheet is blank.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
};

Ink InkOf(const Bitmap& sheet) {
  Ink ink;
  for (int y = 0; y < sheet.height; ++y)
    for (int x = 0; x < sheet.width; ++x) {
      if ((sheet.pixels[static_cast<size_t>(y) * sheet.width + x] & 0xFFFFFF) == 0xFFFFFF) continue;
      ink.left = std::min(ink.left, x);
      ink.top = std::min(ink.top, y);
      ink.right = std::max(ink.right, x + 1);
      ink.bottom = std::max(ink.bottom, y + 1);
    }
  return ink;
}

PaperFormat TestPaper() {
  PaperFormat p;
  p.dpi = kDpi;
  p.physical_width = kSheetWidth;
  p.physical_height = kSheetHeight;
  p.offset_x = p.offset_y = 100;
  return p;
}

class PrintTest : public ViewerTest {
 protected:
  PrintTest() {
    printer.OnPage = [this](int, const Bitmap& sheet) { sheets.push_back(InkOf(sheet)); };
    viewer = std::make_unique<TPageViewer>(
        TViewerServices{&windows, files.get(), &system, &module, &printer}, nullptr);
    viewer->SetBounds(Rect{0, 0, 400, 300});
  }
  ~PrintTest() override { viewer.reset(); }

  // `count` lines "Line N" of one text section, 22 screen pixels each.
  void LoadLines(int count, const std::string& extra = "") {
    std::string html = "<title>Lines</title>";
    for (int i = 0; i < count; ++i) html += "Line " + std::to_string(i) + "<br>";
    viewer->LoadFromFile(Write("lines.htm", html + extra));
  }
  std::vector<std::pair<int32_t, int32_t>> Ranges() {
    std::vector<std::pair<int32_t, int32_t>> r;
    for (const TPrintedPage& p : viewer->PrintedPages()) r.emplace_back(p.Top, p.Bottom);
    return r;
  }

  RecordingPrinter printer{TestPaper(), std::make_shared<TestGlyphSource>()};
  std::vector<Ink> sheets;
};

// The body is 2056 device pixels = 329 screen pixels high: 14 whole lines. The 15th line would
// straddle the bottom margin, so it starts the next page; the partly painted line is erased.
TEST_F(PrintTest, PagesBreakBeforeLinesThatWouldStraddleTheMargin) {
  LoadLines(30);
  viewer->PrintRange(1, 9999);
  EXPECT_EQ(printer.title, "Lines");
  EXPECT_EQ(printer.jobs_started, 1);
  EXPECT_EQ(printer.jobs_ended, 1);
  EXPECT_EQ(printer.jobs_aborted, 0);
  ASSERT_EQ(sheets.size(), 3u);
  EXPECT_EQ(viewer->PrintedPageCount(), 3);
  const std::vector<std::pair<int32_t, int32_t>> expected{{0, 308}, {308, 616}, {616, 945}};
  EXPECT_EQ(Ranges(), expected);
  for (const Ink& ink : {sheets[0], sheets[1]}) {
    // Ink starts at the margins and stays inside them; nothing of line 15 below line 14.
    EXPECT_GE(ink.left, kMargin);
    EXPECT_LT(ink.left, kMargin + 20);
    EXPECT_GE(ink.top, kMargin);
    EXPECT_LT(ink.top, kMargin + 60);
    EXPECT_LE(ink.right, kSheetWidth - kMargin);
    EXPECT_LE(ink.bottom, kMargin + 308 * 100 / 16);
    EXPECT_GT(ink.bottom, kMargin + 300 * 100 / 16);
  }
  // The last page ends where the body ends; its two lines leave the rest white.
  EXPECT_LT(sheets[2].bottom, kMargin + 44 * 100 / 16 + 10);
  // The screen document keeps its own layout and position.
  EXPECT_FALSE(viewer->Document().Printing);
}

// A table of 40 one-line rows over several pages: every page ends on a row boundary, so no row
// is cut by the bottom margin; the row that would straddle it starts the next page. (The
// printed copy lays the table out from its own top, so the boundaries are checked by the row
// pitch, which the screen layout's dump gives.)
// The screen's zoom stays on the screen: pages and ink are those of 100%, and the viewer
// keeps its zoom after the print.
TEST_F(PrintTest, PrintsAtTheSizeOfThePageWhateverTheZoom) {
  LoadLines(30, "<img src=\"missing.png\" width=40 height=30>");
  viewer->PrintRange(1, 9999);
  const auto normal_ranges = Ranges();
  const std::vector<Ink> normal_sheets = sheets;
  sheets.clear();
  viewer->SetZoomPercent(250);
  viewer->PrintRange(1, 9999);
  EXPECT_EQ(Ranges(), normal_ranges);
  ASSERT_EQ(sheets.size(), normal_sheets.size());
  for (size_t i = 0; i < sheets.size(); ++i) {
    EXPECT_EQ(sheets[i].right, normal_sheets[i].right) << i;
    EXPECT_EQ(sheets[i].bottom, normal_sheets[i].bottom) << i;
  }
  EXPECT_EQ(viewer->ZoomPercent(), 250);
}

TEST_F(PrintTest, PagesBreakBeforeTableRowsThatWouldStraddleTheMargin) {
  std::string html = "<title>Rows</title><table border=1 cellpadding=3>";
  for (int i = 0; i < 40; ++i) {
    html += "<tr><td>Row ";
    html += std::to_string(i);
    html += "<td>cell</tr>";
  }
  viewer->LoadFromFile(Write("rows.htm", html + "</table>"));
  // Row tops from the layout dump's cell lines ("cell row=R col=C x= y=TOP ...").
  std::set<int32_t> row_tops;
  std::istringstream dump(DumpLayout(viewer->Document()));
  for (std::string line; std::getline(dump, line);) {
    const size_t cell = line.find("cell row=");
    const size_t y = line.find(" y=", cell);
    if (cell != std::string::npos && y != std::string::npos)
      row_tops.insert(std::stoi(line.substr(y + 3)));
  }
  ASSERT_EQ(row_tops.size(), 40u);
  const int32_t pitch = *std::next(row_tops.begin()) - *row_tops.begin();
  viewer->PrintRange(1, 9999);
  const auto ranges = Ranges();
  ASSERT_GE(ranges.size(), 3u);
  constexpr int32_t kBody = 329;  // screen pixels of paper between the margins
  for (size_t i = 0; i + 1 < ranges.size(); ++i) {
    SCOPED_TRACE(i);
    const int32_t height = ranges[i].second - ranges[i].first;
    // Whole rows only, as many as fit: less than one row's pitch of paper is left unused.
    EXPECT_LE(height, kBody);
    EXPECT_GT(height, kBody - pitch);
    EXPECT_EQ((ranges[i].second - ranges[0].second) % pitch, 0);
    EXPECT_EQ(ranges[i + 1].first, ranges[i].second);
  }
}

TEST_F(PrintTest, MarginsAreCentimetresFromTheSheetEdge) {
  LoadLines(3);
  struct Case {
    double left, top;
    int expected_left, expected_top;
  } cases[] = {{2.0, 2.0, 472, 472}, {1.0, 3.0, 236, 708}};
  for (const Case& c : cases) {
    sheets.clear();
    viewer->PrintMarginLeft = c.left;
    viewer->PrintMarginTop = c.top;
    viewer->PrintRange(1, 1);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_GE(sheets[0].left, c.expected_left) << c.left;
    EXPECT_LT(sheets[0].left, c.expected_left + 20) << c.left;
    EXPECT_GE(sheets[0].top, c.expected_top) << c.top;
    EXPECT_LT(sheets[0].top, c.expected_top + 60) << c.top;
  }
}

TEST_F(PrintTest, PageRanges) {
  LoadLines(20);  // two pages
  struct Case {
    int from, to;
    size_t sheets;
    int ended, aborted;
  } cases[] = {
      {3, 3, 0, 0, 1},     // starts past the last page: nothing printed, job dropped
      {1, 9999, 2, 1, 0},  // every page, then stops
      {2, 2, 1, 1, 0},     // the second page only
      {1, 1, 1, 1, 0},
  };
  for (const Case& c : cases) {
    sheets.clear();
    printer.jobs_ended = printer.jobs_aborted = 0;
    viewer->PrintRange(c.from, c.to);
    EXPECT_EQ(sheets.size(), c.sheets) << c.from << "-" << c.to;
    EXPECT_EQ(printer.jobs_ended, c.ended) << c.from << "-" << c.to;
    EXPECT_EQ(printer.jobs_aborted, c.aborted) << c.from << "-" << c.to;
  }
  // Page 2 alone holds the lines after the first page and starts at the top margin.
  viewer->PrintRange(2, 2);
  ASSERT_EQ(viewer->PrintedPages().size(), 1u);
  EXPECT_EQ(viewer->PrintedPages()[0].NumPage, 2);
  EXPECT_EQ(viewer->PrintedPages()[0].Top, 308);
  EXPECT_LT(sheets.back().top, kMargin + 60);
}

TEST_F(PrintTest, HeaderAndFooterDrawInTheMarginsAndCanStopPrinting) {
  LoadLines(60);  // five pages
  std::vector<int> headers, footers;
  int header_w = 0, header_h = 0, footer_h = 0;
  viewer->OnPrintHeader = [&](void*, Canvas& canvas, int page, int W, int H, bool& stop) {
    headers.push_back(page);
    header_w = W;
    header_h = H;
    canvas.FillRect(Rect{0, 0, 10, 10}, 0);  // a mark at the top left of the printable area
    if (page == 2) stop = true;
  };
  viewer->OnPrintFooter = [&](void*, Canvas&, int page, int, int H, bool&) {
    footers.push_back(page);
    footer_h = H;
  };
  viewer->PrintRange(1, 9999);
  EXPECT_EQ(headers, (std::vector<int>{1, 2}));
  EXPECT_EQ(footers, (std::vector<int>{1, 2}));
  EXPECT_EQ(sheets.size(), 2u);
  EXPECT_EQ(printer.jobs_ended, 1);
  // Printable area 2200 x 2800 device pixels: 352 x 448 screen pixels.
  EXPECT_EQ(header_w, 352);
  EXPECT_EQ(header_h, 60);  // (472 - 100) device pixels
  EXPECT_EQ(footer_h, 448 - 60 - 329);
  ASSERT_FALSE(sheets.empty());
  EXPECT_EQ(sheets[0].left, 100);  // the printing offset
  EXPECT_EQ(sheets[0].top, 100);
}

TEST_F(PrintTest, PageElementStartsANewPage) {
  viewer->LoadFromFile(Write("break.htm", "First<br>Second<page>Third<br>Fourth"));
  viewer->PrintRange(1, 9999);
  ASSERT_EQ(viewer->PrintedPages().size(), 2u);
  EXPECT_EQ(viewer->PrintedPages()[1].Top, viewer->PrintedPages()[0].Bottom);
  EXPECT_GT(viewer->PrintedPages()[1].Top, 0);
  EXPECT_EQ(sheets.size(), 2u);
}

// An image taller than the page is printed over several pages; the job neither stops early
// nor runs on.
TEST_F(PrintTest, ImageTallerThanThePageGoesOnOverPages) {
  viewer->LoadFromFile(
      Write("tall.htm", "Top<br><img src=\"none.gif\" width=50 height=800><br>End"));
  viewer->PrintRange(1, 9999);
  const auto& pages = viewer->PrintedPages();
  ASSERT_GE(pages.size(), 3u);
  ASSERT_LE(pages.size(), 5u);
  for (size_t i = 1; i < pages.size(); ++i) EXPECT_GT(pages[i].Top, pages[i - 1].Top);
  EXPECT_GE(pages.back().Bottom, 800);
  EXPECT_EQ(printer.jobs_ended, 1);
}

TEST_F(PrintTest, WithoutAPrinterThePrinterErrorIsRaisedAndTheViewerGoesOn) {
  LoadLines(3);
  printer.available = false;
  try {
    viewer->PrintRange(1, 9999);
    FAIL() << "printed without a printer";
  } catch (const EPrinter& e) {
    EXPECT_STREQ(e.what(), "Printer selected is not valid");
  }
  EXPECT_TRUE(sheets.empty());
  printer.available = true;
  viewer->PrintRange(1, 9999);
  EXPECT_EQ(sheets.size(), 1u);
}

// On a two-colour printer coloured and pale text comes out black.
TEST_F(PrintTest, TwoColourPrinterPrintsTextBlack) {
  printer.paper.bits_per_pixel = 1;
  printer.OnPage = [this](int, const Bitmap& sheet) {
    int black = 0, other = 0;
    for (uint32_t p : sheet.pixels) {
      if ((p & 0xFFFFFF) == 0)
        ++black;
      else if ((p & 0xFFFFFF) != 0xFFFFFF)
        ++other;
    }
    EXPECT_GT(black, 0);
    EXPECT_EQ(other, 0);
    sheets.push_back(InkOf(sheet));
  };
  viewer->LoadFromFile(
      Write("colours.htm",
            "<font color=red>Red</font> <font color=#E0E0E0>pale</font> <a href=x>link</a>"));
  viewer->PrintRange(1, 1);
  EXPECT_EQ(sheets.size(), 1u);
}

TEST(VwPrinter, JobStatesAndErrors) {
  RecordingPrinter port(TestPaper(), std::make_shared<TestGlyphSource>());
  TvwPrinter printer(port);
  auto message = [](const std::function<void()>& f) -> std::string {
    try {
      f();
    } catch (const EPrinter& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(printer.State(), 0);
  // Measuring needs only an information context.
  EXPECT_EQ(printer.PageWidth(), 2200);
  EXPECT_EQ(printer.PageHeight(), 2800);
  EXPECT_EQ(printer.State(), 1);
  EXPECT_EQ(message([&] { printer.NewPage(); }), "Printer is not currently printing");
  EXPECT_EQ(message([&] {
              printer.Canvas().FillRect(Rect{0, 0, 5, 5}, 0);
            }),
            "Printer is not currently printing");
  printer.Title = std::string(40, 'x');
  printer.BeginDoc();
  EXPECT_EQ(printer.State(), 2);
  EXPECT_EQ(printer.PageNumber(), 1);
  EXPECT_EQ(port.title.size(), 31u);
  EXPECT_EQ(message([&] { printer.BeginDoc(); }), "Printing in progress");
  EXPECT_EQ(message([&] { printer.SetState(0); }), "Printing in progress");
  printer.Canvas().FillRect(Rect{0, 0, 5, 5}, 0);
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  printer.Abort();
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(printer.PageNumber(), 0);
  EXPECT_EQ(port.pages_finished, 1);
  EXPECT_EQ(port.jobs_aborted, 1);
  EXPECT_EQ(port.jobs_ended, 0);

  // The current printer: a job's own printer while it runs, the default one otherwise.
  TvwPrinter& fallback = TvwPrinter::Current(port);
  TvwPrinter* previous = TvwPrinter::SetCurrent(&printer);
  EXPECT_EQ(&TvwPrinter::Current(port), &printer);
  TvwPrinter::SetCurrent(previous);
  EXPECT_EQ(&TvwPrinter::Current(port), &fallback);

  port.available = false;
  TvwPrinter none(port);
  EXPECT_EQ(message([&] { none.BeginDoc(); }), "Printer selected is not valid");
  EXPECT_FALSE(none.Printing());
}

}  // namespace
}  // namespace brisomel::test

#ifdef _WIN32
namespace brisomel::test {
namespace {

// The real default printer. Without one (a bare Wine prefix), printing raises the printer
// error and the viewer goes on showing its page.
TEST_F(ViewerTest, PlatformPrinterWithoutAPrinterRaisesThePrinterError) {
  std::unique_ptr<PrinterPort> port = MakePlatformPrinter();
  if (port->CreateContext(false)) GTEST_SKIP() << "a default printer is installed";
  viewer = std::make_unique<TPageViewer>(
      TViewerServices{&windows, files.get(), &system, &module, port.get()}, nullptr);
  viewer->SetBounds(Rect{0, 0, 400, 300});
  viewer->LoadFromFile(LongPage("print.htm", 5));
  try {
    viewer->PrintRange(1, 9999);
    FAIL() << "printed without a printer";
  } catch (const EPrinter& e) {
    EXPECT_STREQ(e.what(), "Printer selected is not valid");
  }
  EXPECT_EQ(viewer->DocumentTitle(), u"print.htm");
  EXPECT_TRUE(viewer->FindText(u"Line 4", true));
  viewer.reset();
}

}  // namespace
}  // namespace brisomel::test
#endif
