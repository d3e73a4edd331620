// The page modes that go through a page viewer on the headless window port: the screen the
// viewer shows at a scroll position (its own paint path: border, off-screen paint of the
// panel, background tiles), and the hits of its find.
#include <cstdio>
#include <memory>
#include <string>

#include "html/images/image_module.h"
#include "html/viewer/page_viewer.h"
#include "modes.h"
#include "page_setup.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/png_writer.h"
#include "platform/headless/software_canvas.h"
#include "read_only_files.h"
#include "text/utf.h"

namespace brisomel::render {
namespace {

constexpr int kDefaultHeight = 600;

bool IsTextFile(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".txt";
}

// The viewer as a user sees it: its own window (the border), the panel's surface inside it and
// a plain drawing of the scroll bars that show.
Bitmap Compose(TPageViewer& viewer, std::shared_ptr<GlyphSource> glyphs) {
  auto& outer = static_cast<HeadlessWindow&>(viewer.Window());
  auto& panel = static_cast<HeadlessWindow&>(viewer.PaintPanel().Window());
  const Size size = outer.ClientSize();
  SoftwareCanvas canvas(size.cx, size.cy, glyphs);
  canvas.DrawBitmap(0, 0, outer.Surface());
  const Rect p = panel.Bounds();
  canvas.DrawBitmap(p.left, p.top, panel.Surface());
  for (T32ScrollBar* bar : {&viewer.VScrollBar(), &viewer.HScrollBar()}) {
    if (!bar->Visible()) continue;
    const Rect r = bar->Port().Bounds();
    canvas.FillRect(r, 0xE0E0E0);
    const bool vertical = bar == &viewer.VScrollBar();
    const int length = vertical ? r.height() : r.width();
    const int64_t range = std::max<int64_t>(1, bar->Max() - bar->Min() + 1);
    const int thumb = static_cast<int>(
        std::clamp<int64_t>(length * static_cast<int64_t>(bar->Page()) / range, 8, length));
    const int at = static_cast<int>((length - thumb) * static_cast<int64_t>(bar->Position()) /
                                    std::max<int64_t>(1, range - bar->Page()));
    canvas.FillRect(vertical ? Rect{r.left + 2, r.top + at, r.right - 2, r.top + at + thumb}
                             : Rect{r.left + at, r.top + 2, r.left + at + thumb, r.bottom - 2},
                    0x808080);
  }
  return canvas.surface();
}

}  // namespace

int ViewerPage(const PageOptions& o) {
  std::shared_ptr<GlyphSource> glyphs = PageGlyphs(o.test_font);
  if (!glyphs) return 1;
  HeadlessWindowSystem windows(glyphs);
  ReadOnlyFiles files;
  TImageModule images(32);
  TPageViewer viewer(TViewerServices{&windows, &files, nullptr, &images}, nullptr);
  viewer.SetViewImages(true);
  viewer.SetDefBackground(0xC0C0C0);
  viewer.SetZoomPercent(o.zoom);
  viewer.SetBounds(Rect{0, 0, o.width, o.height > 0 ? o.height : kDefaultHeight});
  if (!LoadViewerPage(viewer, o.page, IsTextFile(o.page))) return 1;

  if (o.finding) {
    viewer.FindStart = 0;
    const std::u16string find = Utf8ToUtf16(o.find);
    while (viewer.FindText(find, o.match_case)) {
      const int32_t pos = viewer.Document().SelB;
      int32_t x = 0, y = 0;
      viewer.Document().PositionToPoint(windows.ScreenCanvas(), pos, x, y);
      std::printf("hit pos=%d x=%d y=%d\n", pos, x, y);
    }
    if (o.out.empty()) return 0;
    viewer.SetSelLength(0);
  }
  viewer.SetVerticalPosition(o.scroll);
  if (!o.out.empty() && !WritePng(Compose(viewer, glyphs), o.out)) {
    std::fprintf(stderr, "brisomel-render: cannot write %s\n", o.out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace brisomel::render
