// The window port: what a windowed control needs of the platform. A control asks the window
// system for windows (each reports its input and paint requests to a TWindowEvents the control
// implements) and for scroll bars with 32-bit ranges; it then sizes, invalidates and scrolls
// them, sets cursors, runs timers, posts tasks to itself and uses focus, capture and the
// clipboard. The Windows adapter does this with HWNDs and messages; the headless adapter keeps
// it in memory and lets tests play the user.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/geometry.h"

namespace brisomel {

// Screen cursors: the arrow, the link cursor (screen cursor 1), the text cursor (screen
// cursor 2), the hourglass, and the split cursors for dragging a border up and down (crVSplit)
// or left and right (crHSplit).
enum TCursorKind : int {
  crArrow = 0,
  crLink = 1,
  crText = 2,
  crHourGlass = 3,
  crVSplit = 4,
  crHSplit = 5
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state: keys and mouse buttons held during an input event.
enum TShiftFlag : uint32_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = uint32_t;

// Scroll-bar notification codes (the platform's values).
enum TScrollCode : int {
  scLineUp = 0,
  scLineDown = 1,
  scPageUp = 2,
  scPageDown = 3,
  scPosition = 4,  // the thumb was released at the track position
  scTrack = 5,     // the thumb is being dragged
  scTop = 6,
  scBottom = 7,
  scEndScroll = 8,
};

// Virtual key codes the controls react to (the platform's values).
enum TKeyCode : int {
  vkPrior = 0x21,
  vkNext = 0x22,
  vkEnd = 0x23,
  vkHome = 0x24,
  vkLeft = 0x25,
  vkUp = 0x26,
  vkRight = 0x27,
  vkDown = 0x28,
  vkC = 0x43,
};

// What a window reports to the control that owns it. Coordinates are client pixels.
class TWindowEvents {
 public:
  virtual ~TWindowEvents() = default;
  // Paint the invalid part `clip` on `canvas`, which is clipped to it.
  virtual void Paint(Canvas& canvas, const Rect& clip) {}
  // The platform wants the background erased; the canvas is null when none comes with the
  // request. The request always counts as handled.
  virtual void EraseBackground(Canvas* canvas) {}
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y) {}
  virtual void MouseMove(TShiftState shift, int x, int y) {}
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y) {}
  virtual void DoubleClick(TShiftState shift, int x, int y) {}
  // Wheel turned by `delta` (120 per notch, positive away from the user).
  virtual void MouseWheel(int delta, TShiftState shift) {}
  // A key went down; setting `key` to 0 tells the window the key is handled.
  virtual void KeyDown(int& key, TShiftState shift) {}
  virtual void Resized() {}
  virtual void FocusChanged(bool focused) {}
  virtual void Timer(int id) {}
};

// A scroll bar inside a window, with a 32-bit range.
class TScrollBarPort {
 public:
  virtual ~TScrollBarPort() = default;
  virtual void SetBounds(const Rect& bounds) = 0;  // in the parent's client coordinates
  virtual Rect Bounds() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  // Range, page and position in one call; a bar whose range fits its page is shown disabled.
  virtual void SetScrollInfo(int32_t Min, int32_t Max, int32_t Page, int32_t Pos) = 0;
  // Where the thumb is while the user drags it.
  virtual int32_t TrackPosition() = 0;

  // Raised for every scroll notification of the bar.
  std::function<void(TScrollCode code)> OnScroll;
};

class TWindowPort {
 public:
  virtual ~TWindowPort() = default;
  virtual void SetBounds(const Rect& bounds) = 0;  // in the parent's client coordinates
  virtual Rect Bounds() const = 0;
  Size ClientSize() const {
    Rect b = Bounds();
    return Size{b.width(), b.height()};
  }
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  // Marks a client rectangle (null: all of it) for painting.
  virtual void Invalidate(const Rect* rect = nullptr) = 0;
  // Paints what is invalid at once.
  virtual void Update() = 0;
  // Moves the painted contents by (dx, dy); the strip uncovered becomes invalid.
  virtual void ScrollContents(int dx, int dy) = 0;
  // The cursor shown while the pointer is over the window.
  virtual void SetCursor(TCursorKind cursor) = 0;
  // A repeating timer that raises Timer(id); setting an id again restarts it.
  virtual void SetTimer(int id, int milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  // Runs `task` later from the event loop; never when the window is gone by then.
  virtual void PostTask(std::function<void()> task) = 0;
  virtual void SetFocus() = 0;
  virtual bool Focused() const = 0;
  virtual void SetCapture() = 0;
  virtual void ReleaseCapture() = 0;
  // The pointer's position in client coordinates, now.
  virtual Point CursorPos() const = 0;
  // The native form controls that live in this window (made on first use, gone with it).
  virtual Controls& FormControls() = 0;
};

// Thrown out of long work on the GUI thread when the program is closing (ProcessEvents answered
// false); the event handler that started the work ends quietly. Not an error to report, so not
// a std::exception.
struct EWorkStopped {};

class TWindowSystem {
 public:
  virtual ~TWindowSystem() = default;
  // Long work on the GUI thread (laying out a big page) calls this now and then, so that the
  // program's windows answer meanwhile: they repaint, the program's own buttons and frames take
  // clicks, and a close request is heard. Input for the engine's windows is dropped (what it
  // would do waits for the work). False once the program is asked to close: the work should
  // stop (throw EWorkStopped).
  virtual bool ProcessEvents() { return true; }
  // A child window of `parent` (null: a top-level window, for tests and tools).
  virtual std::unique_ptr<TWindowPort> NewWindow(TWindowPort* parent, TWindowEvents& events) = 0;
  virtual std::unique_ptr<TScrollBarPort> NewScrollBar(TWindowPort& parent, bool vertical) = 0;
  // Width of a vertical scroll bar (and height of a horizontal one).
  virtual int ScrollBarWidth() = 0;
  // The screen cursor shown everywhere (crArrow: each window's own); returns the previous.
  virtual TCursorKind SetScreenCursor(TCursorKind cursor) = 0;
  // Puts UTF-8 text on the clipboard as Unicode text.
  virtual void SetClipboardText(const std::string& text) = 0;
  // A canvas on the screen, for measuring text.
  virtual Canvas& ScreenCanvas() = 0;
};

}  // namespace brisomel
