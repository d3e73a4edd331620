// The window port on Win32: child windows of one registered class whose messages become the
// TWindowEvents calls, standard SCROLLBAR controls driven through SetScrollInfo with 32-bit
// ranges, window timers, tasks posted as messages, capture, cursors and the text clipboard.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/window.h"

struct HWND__;
struct HINSTANCE__;

namespace brisomel {

class GdiCanvas;

class Win32WindowSystem : public TWindowSystem {
 public:
  explicit Win32WindowSystem(HINSTANCE__* instance);
  ~Win32WindowSystem() override;

  std::unique_ptr<TWindowPort> NewWindow(TWindowPort* parent, TWindowEvents& events) override;
  std::unique_ptr<TScrollBarPort> NewScrollBar(TWindowPort& parent, bool vertical) override;
  int ScrollBarWidth() override;
  TCursorKind SetScreenCursor(TCursorKind cursor) override;
  void SetClipboardText(const std::string& text) override;
  Canvas& ScreenCanvas() override;
  bool ProcessEvents() override;

  // A window made elsewhere (a form), as the parent of the windows made here; not owned.
  std::unique_ptr<TWindowPort> WrapWindow(HWND__* handle);
  // The handle of a window made here or wrapped.
  static HWND__* HandleOf(TWindowPort& window);

  // Where exceptions that escape an event handler go (the application's exception box).
  std::function<void(const std::string& message)> OnException;

  TCursorKind ScreenCursor() const { return screen_cursor_; }
  // The platform cursor of a cursor kind.
  void* CursorHandle(TCursorKind cursor) const;
  HINSTANCE__* Instance() const { return instance_; }

 private:
  HINSTANCE__* instance_;
  TCursorKind screen_cursor_ = crArrow;
  std::unique_ptr<GdiCanvas> screen_;
  bool quitting_ = false;  // a WM_QUIT was seen (and put back) by ProcessEvents
};

}  // namespace brisomel
