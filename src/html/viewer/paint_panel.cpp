#include "html/viewer/paint_panel.h"

#include "html/viewer/page_viewer.h"

namespace brisomel {

TPaintPanel::TPaintPanel(TPageViewer& viewer, TWindowSystem& windows, TWindowPort& parent)
    : Viewer_(viewer), Window_(windows.NewWindow(&parent, *this)) {}

void TPaintPanel::Paint(Canvas& canvas, const Rect& clip) {
  if (Viewer_.Layouting() || clip.empty()) return;
  std::unique_ptr<Canvas> memory = canvas.CreateCompatible(clip.width(), clip.height());
  if (!memory) throw EOutOfResources("Out of Resources");
  memory->SetWindowOrigin(Point{clip.left, clip.top});
  MemoryCanvas = memory.get();
  try {
    Viewer_.DrawBackground(*memory, clip, false);
    Viewer_.DrawDocument(*memory);
  } catch (...) {
    MemoryCanvas = nullptr;
    throw;
  }
  MemoryCanvas = nullptr;
  canvas.CopyFrom(clip, *memory, Point{clip.left, clip.top}, kSrcCopy);
}

void TPaintPanel::EraseBackground(Canvas* canvas) {
  if (EraseOnce && canvas) {
    const Size size = Window_->ClientSize();
    Viewer_.DrawBackground(*canvas, Rect{0, 0, size.cx, size.cy}, true);
    EraseOnce = false;
  }
}

void TPaintPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  Viewer_.HTMLMouseDown(button, shift, x, y);
}

void TPaintPanel::MouseMove(TShiftState shift, int x, int y) { Viewer_.HTMLMouseMove(shift, x, y); }

void TPaintPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  Viewer_.HTMLMouseUp(button, shift, x, y);
}

void TPaintPanel::DoubleClick(TShiftState shift, int x, int y) { Viewer_.HTMLDoubleClick(x, y); }

// Keys, wheel and focus reach the viewer whichever of its windows has them.
void TPaintPanel::MouseWheel(int delta, TShiftState shift) { Viewer_.MouseWheel(delta, shift); }
void TPaintPanel::KeyDown(int& key, TShiftState shift) { Viewer_.KeyDown(key, shift); }
void TPaintPanel::FocusChanged(bool focused) { Viewer_.FocusChanged(focused); }
void TPaintPanel::Timer(int id) { Viewer_.Timer(id); }

}  // namespace brisomel
