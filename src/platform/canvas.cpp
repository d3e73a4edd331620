// Canvas state helpers shared by every adapter: the logical-to-device mapping and the clip
// rectangle operations.
#include "platform/canvas.h"

#include <algorithm>
#include <cmath>

namespace brisomel {
namespace {

// Scales v by num/den rounding half away from zero, as the platform's transform rounds.
int ScaleRound(int64_t v, int64_t num, int64_t den) {
  if (den == 0) {
    return 0;
  }
  double r = static_cast<double>(v) * static_cast<double>(num) / static_cast<double>(den);
  // Far-off coordinates are held to a range that later arithmetic cannot overflow.
  return static_cast<int>(std::clamp(std::floor(r + 0.5), -536870912.0, 536870912.0));
}

// v from one origin to the other, scaled by num/den on the way: (v - from) * num / den + to,
// computed without overflow and held to the same range as ScaleRound.
int Map(int v, int from, int64_t num, int64_t den, int to) {
  const int64_t r = static_cast<int64_t>(ScaleRound(static_cast<int64_t>(v) - from, num, den)) + to;
  return static_cast<int>(std::clamp<int64_t>(r, -536870912, 536870912));
}

}  // namespace

Point Canvas::LogicalToDevice(Point p) const {
  const Mapping& m = state_.mapping;
  return Point{Map(p.x, m.window_origin.x, m.viewport_extent.cx, m.window_extent.cx,
                   m.viewport_origin.x),
               Map(p.y, m.window_origin.y, m.viewport_extent.cy, m.window_extent.cy,
                   m.viewport_origin.y)};
}

Rect Canvas::LogicalToDevice(const Rect& r) const {
  Point a = LogicalToDevice(Point{r.left, r.top});
  Point b = LogicalToDevice(Point{r.right, r.bottom});
  return Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

Point Canvas::DeviceToLogical(Point p) const {
  const Mapping& m = state_.mapping;
  return Point{Map(p.x, m.viewport_origin.x, m.window_extent.cx, m.viewport_extent.cx,
                   m.window_origin.x),
               Map(p.y, m.viewport_origin.y, m.window_extent.cy, m.viewport_extent.cy,
                   m.window_origin.y)};
}

int Canvas::ScaleX(int length) const {
  return ScaleRound(length, state_.mapping.viewport_extent.cx, state_.mapping.window_extent.cx);
}

int Canvas::ScaleY(int length) const {
  return ScaleRound(length, state_.mapping.viewport_extent.cy, state_.mapping.window_extent.cy);
}

void Canvas::IntersectClipRect(const Rect& logical) {
  Region r = Region::FromRect(LogicalToDevice(logical));
  if (state_.has_clip) {
    state_.clip = state_.clip.Intersect(r);
  } else {
    // No clip yet means the whole surface; the rectangle alone is the intersection.
    state_.clip = r;
    state_.has_clip = true;
  }
}

void Canvas::ExcludeClipRect(const Rect& logical) {
  Region r = Region::FromRect(LogicalToDevice(logical));
  if (!state_.has_clip) {
    DeviceCaps caps = GetDeviceCaps();
    state_.clip = Region::FromRect(Rect{0, 0, caps.width, caps.height});
    state_.has_clip = true;
  }
  state_.clip = state_.clip.Subtract(r);
}

}  // namespace brisomel
