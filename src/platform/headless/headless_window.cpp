#include "platform/headless/headless_window.h"

#include <algorithm>

namespace brisomel {
namespace {

Rect Union(const Rect& a, const Rect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

}  // namespace

// --- Scroll bar ---

void HeadlessScrollBar::SetScrollInfo(int32_t Min_, int32_t Max_, int32_t Page_, int32_t Pos_) {
  Min = Min_;
  Max = std::max(Min_, Max_);
  Page = std::max(0, Page_);
  // As the platform does: the position stays within Min .. Max - Page + 1.
  Pos = std::clamp(Pos_, Min, std::max(Min, Max - std::max(Page - 1, 0)));
  track_ = Pos;
  ++set_info_calls;
}

void HeadlessScrollBar::Scroll(TScrollCode code, int32_t track) {
  if (code == scTrack || code == scPosition) track_ = track;
  if (OnScroll) OnScroll(code);
}

// --- Window ---

HeadlessWindow::HeadlessWindow(HeadlessWindowSystem& system, HeadlessWindow* parent,
                               TWindowEvents& events)
    : system_(system),
      parent_(parent),
      events_(events),
      canvas_(std::make_unique<SoftwareCanvas>(1, 1, system.Glyphs())) {
  system_.windows_.push_back(this);
}

HeadlessWindow::~HeadlessWindow() {
  *alive_ = false;
  std::erase(system_.windows_, this);
  if (system_.focused_ == this) system_.focused_ = nullptr;
}

void HeadlessWindow::SetBounds(const Rect& bounds) {
  const bool resized = bounds.width() != bounds_.width() || bounds.height() != bounds_.height();
  bounds_ = bounds;
  if (resized) {
    canvas_ = std::make_unique<SoftwareCanvas>(std::max(1, bounds.width()),
                                               std::max(1, bounds.height()), system_.Glyphs());
    invalid_ = Rect{0, 0, bounds.width(), bounds.height()};
    // As the platform's size message, sent while the bounds change.
    events_.Resized();
  }
}

void HeadlessWindow::Invalidate(const Rect* rect) {
  const Rect all{0, 0, bounds_.width(), bounds_.height()};
  invalid_ = Union(invalid_, rect ? rect->Intersect(all) : all);
}

void HeadlessWindow::Update() {
  if (invalid_.empty() || !visible_) return;
  const Rect clip = invalid_;
  invalid_ = Rect{};
  events_.EraseBackground(nullptr);
  canvas_->SaveState();
  canvas_->IntersectClipRect(clip);
  events_.Paint(*canvas_, clip);
  canvas_->RestoreState();
  ++paint_count;
}

void HeadlessWindow::ScrollContents(int dx, int dy) {
  Bitmap& s = canvas_->surface();
  const int w = s.width, h = s.height;
  if (dx == 0 && dy == 0) return;
  if (std::abs(dx) >= w || std::abs(dy) >= h) {
    Invalidate();
    return;
  }
  std::vector<uint32_t> copy(s.pixels.begin(), s.pixels.end());
  for (int y = 0; y < h; ++y) {
    const int sy = y - dy;
    if (sy < 0 || sy >= h) continue;
    for (int x = 0; x < w; ++x) {
      const int sx = x - dx;
      if (sx < 0 || sx >= w) continue;
      s.pixels[static_cast<size_t>(y) * w + x] = copy[static_cast<size_t>(sy) * w + sx];
    }
  }
  // The strips uncovered.
  Rect strip;
  if (dy > 0) strip = Rect{0, 0, w, dy};
  if (dy < 0) strip = Rect{0, h + dy, w, h};
  if (!strip.empty()) Invalidate(&strip);
  strip = Rect{};
  if (dx > 0) strip = Rect{0, 0, dx, h};
  if (dx < 0) strip = Rect{w + dx, 0, w, h};
  if (!strip.empty()) Invalidate(&strip);
}

void HeadlessWindow::SetTimer(int id, int milliseconds) {
  const int interval = std::max(1, milliseconds);
  timers_[id] = TimerState{interval, system_.now_ + static_cast<uint64_t>(interval)};
}

void HeadlessWindow::PostTask(std::function<void()> task) {
  system_.posted_.emplace_back(alive_, std::move(task));
}

void HeadlessWindow::SetFocus() {
  HeadlessWindow* old = system_.focused_;
  if (old == this) return;
  system_.focused_ = this;
  if (old) old->events_.FocusChanged(false);
  events_.FocusChanged(true);
}

bool HeadlessWindow::Focused() const { return system_.focused_ == this; }

TShiftState HeadlessWindow::Buttons() const {
  TShiftState shift = 0;
  if (left_down_) shift |= ssLeft;
  if (right_down_) shift |= ssRight;
  return shift;
}

void HeadlessWindow::Resize(int width, int height) {
  SetBounds(Rect{bounds_.left, bounds_.top, bounds_.left + width, bounds_.top + height});
}

void HeadlessWindow::PressMouse(TMouseButton button, int x, int y, TShiftState shift) {
  pointer_ = {x, y};
  if (button == mbLeft) left_down_ = true;
  if (button == mbRight) right_down_ = true;
  events_.MouseDown(button, shift | Buttons(), x, y);
}

void HeadlessWindow::MoveMouse(int x, int y, TShiftState shift) {
  pointer_ = {x, y};
  events_.MouseMove(shift | Buttons(), x, y);
}

void HeadlessWindow::ReleaseMouse(TMouseButton button, int x, int y, TShiftState shift) {
  pointer_ = {x, y};
  if (button == mbLeft) left_down_ = false;
  if (button == mbRight) right_down_ = false;
  events_.MouseUp(button, shift | Buttons(), x, y);
}

void HeadlessWindow::Click(int x, int y, TMouseButton button) {
  MoveMouse(x, y);
  PressMouse(button, x, y);
  ReleaseMouse(button, x, y);
}

void HeadlessWindow::DoubleClick(int x, int y) {
  // As the platform reports it: the second press comes as a double click, then its release.
  pointer_ = {x, y};
  left_down_ = true;
  events_.DoubleClick(ssLeft | ssDouble, x, y);
  ReleaseMouse(mbLeft, x, y);
}

void HeadlessWindow::PressKey(int key, TShiftState shift) {
  HeadlessWindow* target = system_.focused_ ? system_.focused_ : this;
  target->events_.KeyDown(key, shift);
}

void HeadlessWindow::Wheel(int delta) {
  HeadlessWindow* target = system_.focused_ ? system_.focused_ : this;
  target->events_.MouseWheel(delta, 0);
}

const Bitmap& HeadlessWindow::Surface() {
  Update();
  if (controls_) {
    // Child controls lie over the page; what they cover is painted again next time, as a
    // window under moved controls would be.
    controls_->Paint(*canvas_);
    for (MemoryControl* control : controls_->All()) {
      if (!control->Visible()) continue;
      const Rect r = control->Bounds();
      invalid_ = Union(invalid_, r);
    }
  }
  return canvas_->surface();
}

Controls& HeadlessWindow::FormControls() { return InMemoryControls(); }

MemoryControls& HeadlessWindow::InMemoryControls() {
  if (!controls_) controls_ = std::make_unique<MemoryControls>();
  return *controls_;
}

// --- System ---

HeadlessWindowSystem::HeadlessWindowSystem(std::shared_ptr<GlyphSource> glyphs)
    : glyphs_(glyphs ? std::move(glyphs) : std::make_shared<TestGlyphSource>()),
      screen_(8, 8, glyphs_) {}

HeadlessWindowSystem::~HeadlessWindowSystem() = default;

std::unique_ptr<TWindowPort> HeadlessWindowSystem::NewWindow(TWindowPort* parent,
                                                             TWindowEvents& events) {
  return std::make_unique<HeadlessWindow>(*this, static_cast<HeadlessWindow*>(parent), events);
}

std::unique_ptr<TScrollBarPort> HeadlessWindowSystem::NewScrollBar(TWindowPort&, bool) {
  return std::make_unique<HeadlessScrollBar>();
}

TCursorKind HeadlessWindowSystem::SetScreenCursor(TCursorKind cursor) {
  TCursorKind old = screen_cursor;
  screen_cursor = cursor;
  screen_cursor_history.push_back(cursor);
  return old;
}

void HeadlessWindowSystem::RunPosted() {
  while (!posted_.empty()) {
    auto [alive, task] = std::move(posted_.front());
    posted_.pop_front();
    if (auto flag = alive.lock(); flag && *flag) task();
  }
}

void HeadlessWindowSystem::Advance(int milliseconds) {
  const uint64_t end = now_ + static_cast<uint64_t>(std::max(0, milliseconds));
  for (;;) {
    // The earliest due timer up to `end`.
    HeadlessWindow* window = nullptr;
    int id = 0;
    uint64_t due = end + 1;
    for (HeadlessWindow* w : windows_) {
      for (const auto& [timer_id, state] : w->timers_) {
        if (state.due < due) {
          due = state.due;
          window = w;
          id = timer_id;
        }
      }
    }
    if (!window) break;
    now_ = due;
    auto& state = window->timers_[id];
    state.due = now_ + static_cast<uint64_t>(state.interval);
    window->events_.Timer(id);
  }
  now_ = end;
}

}  // namespace brisomel
