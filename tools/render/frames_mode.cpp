// Frameset documents: the whole frame viewer painted (the sets' gaps and bevels, each frame's
// bevel and page viewer), or the frame structure as text with each frame's layout dump.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "html/frames/frame_viewer.h"
#include "html/images/image_module.h"
#include "modes.h"
#include "page_setup.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/png_writer.h"
#include "platform/headless/software_canvas.h"
#include "read_only_files.h"

namespace brisomel::render {
namespace {

constexpr int kDefaultHeight = 600;

Point Offset(Point at, const Rect& bounds) { return Point{at.x + bounds.left, at.y + bounds.top}; }

void DrawWindow(SoftwareCanvas& canvas, TWindowPort& window, Point at) {
  canvas.DrawBitmap(at.x, at.y, static_cast<HeadlessWindow&>(window).Surface());
}

// A frame's page viewer as the user sees it: its border, its panel and its scroll bars.
void DrawViewer(SoftwareCanvas& canvas, TPageViewer& viewer, Point at) {
  DrawWindow(canvas, viewer.Window(), at);
  DrawWindow(canvas, viewer.PaintPanel().Window(),
             Offset(at, viewer.PaintPanel().Window().Bounds()));
  for (T32ScrollBar* bar : {&viewer.VScrollBar(), &viewer.HScrollBar()}) {
    if (!bar->Visible()) continue;
    const Rect r = bar->Port().Bounds();
    canvas.FillRect(Rect{at.x + r.left, at.y + r.top, at.x + r.right, at.y + r.bottom}, 0xE0E0E0);
  }
}

void DrawSet(SoftwareCanvas& canvas, TSubFrameSet& set, Point at);

void DrawFrame(SoftwareCanvas& canvas, TFrame& frame, Point at) {
  DrawWindow(canvas, frame.Window(), at);
  if (TPageViewer* viewer = frame.Viewer())
    DrawViewer(canvas, *viewer, Offset(at, viewer->Window().Bounds()));
  if (TSubFrameSet* set = frame.FrameSet())
    DrawSet(canvas, *set, Offset(at, set->Window().Bounds()));
}

void DrawSet(SoftwareCanvas& canvas, TSubFrameSet& set, Point at) {
  DrawWindow(canvas, set.Window(), at);
  for (auto& child : set.Children) {
    const Point child_at = Offset(at, child->Window().Bounds());
    if (auto* frame = dynamic_cast<TFrame*>(child.get()))
      DrawFrame(canvas, *frame, child_at);
    else
      DrawSet(canvas, static_cast<TSubFrameSet&>(*child), child_at);
  }
}

std::string Indented(const std::string& text, int depth) {
  const std::string pad(static_cast<size_t>(depth) * 2, ' ');
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out += pad + text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return out;
}

void DumpSet(TSubFrameSet& set, Point at, int depth);

void DumpFrame(TFrame& frame, Point at, int depth) {
  const Rect b = frame.Window().Bounds();
  std::printf("%*sframe name=%s x=%d y=%d w=%d h=%d src=%s\n", depth * 2, "",
              frame.WindowName.empty() ? "-" : frame.WindowName.c_str(), at.x, at.y, b.width(),
              b.height(), frame.Source.c_str());
  if (TSubFrameSet* set = frame.FrameSet())
    DumpSet(*set, Offset(at, set->Window().Bounds()), depth + 1);
  else if (TPageViewer* viewer = frame.Viewer())
    std::fputs(Indented(DumpLayout(viewer->Document()), depth + 1).c_str(), stdout);
}

void DumpSet(TSubFrameSet& set, Point at, int depth) {
  const Rect b = set.Window().Bounds();
  std::printf("%*sframeset %s x=%d y=%d w=%d h=%d\n", depth * 2, "", set.Rows ? "rows" : "cols",
              at.x, at.y, b.width(), b.height());
  for (auto& child : set.Children) {
    const Point child_at = Offset(at, child->Window().Bounds());
    if (auto* frame = dynamic_cast<TFrame*>(child.get()))
      DumpFrame(*frame, child_at, depth + 1);
    else
      DumpSet(static_cast<TSubFrameSet&>(*child), child_at, depth + 1);
  }
}

}  // namespace

bool IsFrameSetPage(const std::string& page) {
  ReadOnlyFiles files;
  return IsFrameSetDocument(nullptr, nullptr, TDocumentSource::File(files, page));
}

int FrameSetPage(const PageOptions& o) {
  std::shared_ptr<GlyphSource> glyphs = PageGlyphs(o.test_font);
  if (!glyphs) return 1;
  HeadlessWindowSystem windows(glyphs);
  ReadOnlyFiles files;
  TImageModule images(32);
  TFrameViewer viewer(TViewerServices{&windows, &files, nullptr, &images}, nullptr);
  viewer.SetDefBackground(0xC0C0C0);
  viewer.SetZoomPercent(o.zoom);
  const int height = o.height > 0 ? o.height : kDefaultHeight;
  viewer.SetBounds(Rect{0, 0, o.width, height});
  try {
    viewer.LoadFromFile(o.page);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brisomel-render: %s\n", e.what());
    return 1;
  }
  TFrameSet& set = viewer.CurrentSet();
  if (o.dump) {
    DumpSet(set, Offset(Point{0, 0}, set.Window().Bounds()), 0);
    return 0;
  }
  SoftwareCanvas canvas(o.width, height, glyphs);
  DrawWindow(canvas, viewer.Window(), Point{0, 0});
  DrawSet(canvas, set, Offset(Point{0, 0}, set.Window().Bounds()));
  if (!WritePng(canvas.surface(), o.out)) {
    std::fprintf(stderr, "brisomel-render: cannot write %s\n", o.out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace brisomel::render
