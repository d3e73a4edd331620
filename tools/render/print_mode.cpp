// PAGE --print OUT-%d.png: a page viewer prints the page on the recording printer; every sheet
// is written as a PNG and reported with the document Y range it holds.
#include <cstdio>
#include <memory>
#include <string>

#include "html/images/image_module.h"
#include "html/viewer/page_viewer.h"
#include "modes.h"
#include "page_setup.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/png_writer.h"
#include "platform/headless/recording_printer.h"
#include "read_only_files.h"

namespace brisomel::render {
namespace {

std::string PageFileName(const std::string& pattern, int page) {
  std::string name = pattern;
  const size_t at = name.find("%d");
  name.replace(at, 2, std::to_string(page));
  return name;
}

}  // namespace

int PrintPage(const PageOptions& o) {
  std::shared_ptr<GlyphSource> glyphs = PageGlyphs(o.test_font);
  if (!glyphs) return 1;
  HeadlessWindowSystem windows(glyphs);
  ReadOnlyFiles files;
  TImageModule images(32);
  RecordingPrinter printer(PaperFormat::A4(o.dpi), glyphs);
  bool written = true;
  printer.OnPage = [&](int, const Bitmap& sheet) {
    // Sheets are numbered by the document page they hold (the range may start later).
    const int number = o.from_page + printer.pages_finished - 1;
    const std::string name = PageFileName(o.print, number);
    if (!WritePng(sheet, name)) {
      std::fprintf(stderr, "brisomel-render: cannot write %s\n", name.c_str());
      written = false;
    }
  };
  TPageViewer viewer(TViewerServices{&windows, &files, nullptr, &images, &printer}, nullptr);
  viewer.SetViewImages(true);
  viewer.SetBounds(Rect{0, 0, o.width, 600});
  if (!LoadViewerPage(viewer, o.page, false)) return 1;
  try {
    viewer.PrintRange(o.from_page, o.to_page);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brisomel-render: %s\n", e.what());
    return 1;
  }
  for (const TPrintedPage& page : viewer.PrintedPages())
    std::printf("page %d lines %d-%d\n", page.NumPage, page.Top, page.Bottom);
  return written ? 0 : 1;
}

}  // namespace brisomel::render
