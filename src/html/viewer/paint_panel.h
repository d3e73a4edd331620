// TPaintPanel: the viewer's drawing surface. Every paint goes through an off-screen canvas of
// the clip rectangle only: the background (colour or tiled image) first, then the document,
// then one copy onto the window. Mouse input goes to the viewer.
#pragma once

#include <memory>

#include "platform/window.h"

namespace brisomel {

class TPageViewer;

class TPaintPanel : public TWindowEvents {
 public:
  TPaintPanel(TPageViewer& viewer, TWindowSystem& windows, TWindowPort& parent);

  TWindowPort& Window() { return *Window_; }

  void Paint(Canvas& canvas, const Rect& clip) override;
  void EraseBackground(Canvas* canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoubleClick(TShiftState shift, int x, int y) override;
  void MouseWheel(int delta, TShiftState shift) override;
  void KeyDown(int& key, TShiftState shift) override;
  void FocusChanged(bool focused) override;
  void Timer(int id) override;

  // The canvas of the paint under way; null outside Paint.
  Canvas* MemoryCanvas = nullptr;
  // The next erase request draws the background (after a width change).
  bool EraseOnce = false;

 private:
  TPageViewer& Viewer_;
  std::unique_ptr<TWindowPort> Window_;
};

}  // namespace brisomel
