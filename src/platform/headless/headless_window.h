// The in-memory window port. Windows keep their bounds, cursor, timers, focus and a painted
// surface; tests play the user through the input calls (which raise the window's events as
// the platform would) and look at the surface, the cursor, the clipboard and the timers.
// Time only moves when a test calls Advance; posted tasks run when it calls RunPosted.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/glyph_source.h"
#include "platform/headless/memory_controls.h"
#include "platform/headless/software_canvas.h"
#include "platform/window.h"

namespace brisomel {

class HeadlessWindowSystem;

class HeadlessScrollBar : public TScrollBarPort {
 public:
  void SetBounds(const Rect& bounds) override { bounds_ = bounds; }
  Rect Bounds() const override { return bounds_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void SetScrollInfo(int32_t Min, int32_t Max, int32_t Page, int32_t Pos) override;
  int32_t TrackPosition() override { return track_; }

  // The user scrolls: a notification, with the thumb at `track` for scTrack and scPosition.
  void Scroll(TScrollCode code, int32_t track = 0);

  int32_t Min = 0, Max = 0, Page = 0, Pos = 0;
  int set_info_calls = 0;

 private:
  Rect bounds_;
  bool visible_ = true;
  int32_t track_ = 0;
};

class HeadlessWindow : public TWindowPort {
 public:
  HeadlessWindow(HeadlessWindowSystem& system, HeadlessWindow* parent, TWindowEvents& events);
  ~HeadlessWindow() override;

  void SetBounds(const Rect& bounds) override;
  Rect Bounds() const override { return bounds_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void Invalidate(const Rect* rect = nullptr) override;
  void Update() override;
  void ScrollContents(int dx, int dy) override;
  void SetCursor(TCursorKind cursor) override { cursor_ = cursor; }
  void SetTimer(int id, int milliseconds) override;
  void KillTimer(int id) override { timers_.erase(id); }
  void PostTask(std::function<void()> task) override;
  void SetFocus() override;
  bool Focused() const override;
  void SetCapture() override { captured_ = true; }
  void ReleaseCapture() override { captured_ = false; }
  Point CursorPos() const override { return pointer_; }
  Controls& FormControls() override;
  // The in-memory form controls, for tests that click and type into them.
  MemoryControls& InMemoryControls();

  // --- The user ---
  // Resizes the window as a user dragging its frame would.
  void Resize(int width, int height);
  void PressMouse(TMouseButton button, int x, int y, TShiftState shift = 0);
  void MoveMouse(int x, int y, TShiftState shift = 0);
  void ReleaseMouse(TMouseButton button, int x, int y, TShiftState shift = 0);
  // A click: press and release at one point.
  void Click(int x, int y, TMouseButton button = mbLeft);
  // The second press of a double click, then its release.
  void DoubleClick(int x, int y);
  void PressKey(int key, TShiftState shift = 0);
  void Wheel(int delta);

  // --- What the user sees ---
  // The painted surface (window-sized) with the visible form controls over it. Paints what is
  // invalid first.
  const Bitmap& Surface();
  SoftwareCanvas& SurfaceCanvas() { return *canvas_; }
  TCursorKind Cursor() const { return cursor_; }
  bool Captured() const { return captured_; }
  bool TimerRunning(int id) const { return timers_.count(id) != 0; }
  const Rect& InvalidRect() const { return invalid_; }
  // Times Update painted something.
  int paint_count = 0;

 private:
  friend class HeadlessWindowSystem;
  struct TimerState {
    int interval;
    uint64_t due;
  };
  TShiftState Buttons() const;

  HeadlessWindowSystem& system_;
  HeadlessWindow* parent_;
  TWindowEvents& events_;
  Rect bounds_;
  bool visible_ = true;
  Rect invalid_;
  std::unique_ptr<SoftwareCanvas> canvas_;
  TCursorKind cursor_ = crArrow;
  std::map<int, TimerState> timers_;
  bool captured_ = false;
  Point pointer_;
  bool left_down_ = false, right_down_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::unique_ptr<MemoryControls> controls_;
};

class HeadlessWindowSystem : public TWindowSystem {
 public:
  // Glyphs for every canvas (the deterministic test font unless given).
  explicit HeadlessWindowSystem(std::shared_ptr<GlyphSource> glyphs = nullptr);
  ~HeadlessWindowSystem() override;

  std::unique_ptr<TWindowPort> NewWindow(TWindowPort* parent, TWindowEvents& events) override;
  std::unique_ptr<TScrollBarPort> NewScrollBar(TWindowPort& parent, bool vertical) override;
  int ScrollBarWidth() override { return 16; }
  TCursorKind SetScreenCursor(TCursorKind cursor) override;
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  Canvas& ScreenCanvas() override { return screen_; }
  // Counts the calls; answers what OnProcessEvents answers (true without it).
  bool ProcessEvents() override {
    ++process_events_calls;
    return OnProcessEvents ? OnProcessEvents() : true;
  }

  // Runs the posted tasks (and any they post) in order.
  void RunPosted();
  // Moves the clock on, firing due timers in time order.
  void Advance(int milliseconds);
  uint64_t Now() const { return now_; }
  std::shared_ptr<GlyphSource> Glyphs() const { return glyphs_; }

  std::string clipboard;
  // What happens while long work lets the windows answer (a test's close request).
  std::function<bool()> OnProcessEvents;
  int process_events_calls = 0;
  TCursorKind screen_cursor = crArrow;
  // Every screen cursor set, in order (the hourglass of each load shows here).
  std::vector<TCursorKind> screen_cursor_history;

 private:
  friend class HeadlessWindow;
  std::shared_ptr<GlyphSource> glyphs_;
  SoftwareCanvas screen_;
  std::vector<HeadlessWindow*> windows_;
  HeadlessWindow* focused_ = nullptr;
  std::deque<std::pair<std::weak_ptr<bool>, std::function<void()>>> posted_;
  uint64_t now_ = 0;
};

}  // namespace brisomel
