// Showing a page through the real Windows path against the headless one, in one process under
// Wine: a page viewer in a hidden top-level window of the Win32 window port loads a page (parse
// and layout, text measured through the GDI canvas) and paints its first screen through a
// GdiCanvas on the window's device context; the same viewer on the headless window port does
// the same with the software canvas and the test font. The pages are a megabyte of paragraphs
// and a table of 3000 rows (about a megabyte). Each side shows each page several times,
// alternately; the medians of wall-clock time are compared (the GDI side also spends time in
// the Wine server, which processor time of this process would miss):
//   SPEEDUP show_page_gdi show_page_headless <headless time / GDI time, both pages summed>
#include <windows.h>
// The canvas's method names collide with these macros.
#undef TextOut
#undef ExtTextOut
#undef GetTextMetrics

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/images/image_module.h"
#include "html/viewer/page_viewer.h"
#include "platform/files.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_system.h"
#include "platform/win32/canvas_gdi.h"
#include "platform/win32/window_win32.h"

namespace {

using namespace brisomel;

constexpr int kWidth = 800, kHeight = 600;
constexpr int kRuns = 5;

std::string ParagraphPage() {
  std::string p = "<html><head><title>Paragraphs</title></head><body bgcolor=white>\n";
  for (int i = 1; p.size() < (1u << 20); ++i)
    p += "<p>Paragraph " + std::to_string(i) +
         ". A reader of a real book meets long chapters of plain text like this one, line after "
         "line of words that wrap at the edge of the window and go on.</p>\n";
  return p + "</body></html>";
}

std::string TablePage() {
  std::string p = "<html><head><title>Rows</title></head><body bgcolor=white>\n"
                  "<table border=1 cellpadding=2>\n";
  for (int i = 1; i <= 3000; ++i) {
    const std::string n = std::to_string(i);
    p += "<tr><td>Row " + n + "</td><td>The quick brown fox jumps over the lazy dog, row " + n +
         ".</td><td><b>Bold words</b> and <i>italic ones</i> in a third cell</td><td><a "
         "href=\"index.htm\">back to the start</a> and some more plain text to read</td><td>A "
         "fifth cell with a longer sentence, so that the row wraps in a narrow window.</td></tr>\n";
  }
  return p + "</table></body></html>";
}

// One side: a viewer on a window system, and how it paints its first screen.
struct Side {
  std::unique_ptr<Files> files = MakePlatformFiles();
  RecordingSystem system;
  TImageModule module{24};
  std::unique_ptr<TPageViewer> viewer;
  std::function<void()> paint;

  void Make(TWindowSystem& windows) {
    viewer = std::make_unique<TPageViewer>(
        TViewerServices{&windows, files.get(), &system, &module}, nullptr);
    viewer->SetBounds(Rect{0, 0, kWidth, kHeight});
  }
  double Show(const std::string& page) {
    const auto start = std::chrono::steady_clock::now();
    viewer->LoadFromBuffer(page.data(), static_cast<int32_t>(page.size()));
    paint();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  const std::vector<std::pair<const char*, std::string>> pages = {{"paragraphs", ParagraphPage()},
                                                                  {"table", TablePage()}};
  Win32WindowSystem gdi_windows(GetModuleHandleA(nullptr));
  Side gdi;
  gdi.Make(gdi_windows);
  HWND panel = Win32WindowSystem::HandleOf(gdi.viewer->PaintPanel().Window());
  gdi.paint = [&] {
    HDC dc = GetDC(panel);
    {
      GdiCanvas canvas(dc);
      const Size size = gdi.viewer->PaintPanel().Window().ClientSize();
      gdi.viewer->PaintPanel().Paint(canvas, Rect{0, 0, size.cx, size.cy});
    }
    GdiFlush();
    ReleaseDC(panel, dc);
  };
  HeadlessWindowSystem headless_windows;
  Side headless;
  headless.Make(headless_windows);
  headless.paint = [&] {
    auto& window = static_cast<HeadlessWindow&>(headless.viewer->PaintPanel().Window());
    window.Invalidate();
    window.Update();
  };

  double gdi_total = 0, headless_total = 0;
  for (const auto& [name, page] : pages) {
    std::vector<double> gdi_times, headless_times;
    for (int run = 0; run < kRuns; ++run) {
      gdi_times.push_back(gdi.Show(page));
      headless_times.push_back(headless.Show(page));
    }
    const double g = Median(gdi_times), h = Median(headless_times);
    std::printf("%s (%zu bytes): GDI %.0f ms, headless %.0f ms (%.2f)\n", name, page.size(),
                g * 1000, h * 1000, h / g);
    gdi_total += g;
    headless_total += h;
  }
  std::printf("SPEEDUP show_page_gdi show_page_headless %.2f\n", headless_total / gdi_total);
  return 0;
}
