#include "html/reader/map_region.h"

#include <algorithm>
#include <utility>

namespace brisomel {
namespace {

// Sign of a*b - c*d, exactly, for factors below 2^63 in magnitude (products need 126 bits).
int SignOfDifference(int64_t a, int64_t b, int64_t c, int64_t d) {
  struct U128 {
    uint64_t hi, lo;
  };
  auto multiply = [](uint64_t x, uint64_t y) {
    uint64_t x0 = x & 0xFFFFFFFFu, x1 = x >> 32, y0 = y & 0xFFFFFFFFu, y1 = y >> 32;
    uint64_t p00 = x0 * y0, p01 = x0 * y1, p10 = x1 * y0, p11 = x1 * y1;
    uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    return U128{p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xFFFFFFFFu)};
  };
  auto magnitude = [](int64_t v) { return v < 0 ? static_cast<uint64_t>(-v) : static_cast<uint64_t>(v); };
  const int sign_ab = (a == 0 || b == 0) ? 0 : ((a < 0) != (b < 0) ? -1 : 1);
  const int sign_cd = (c == 0 || d == 0) ? 0 : ((c < 0) != (d < 0) ? -1 : 1);
  if (sign_ab != sign_cd) return sign_ab > sign_cd ? 1 : -1;
  if (sign_ab == 0) return 0;
  U128 ab = multiply(magnitude(a), magnitude(b));
  U128 cd = multiply(magnitude(c), magnitude(d));
  int compare = ab.hi != cd.hi ? (ab.hi > cd.hi ? 1 : -1) : (ab.lo != cd.lo ? (ab.lo > cd.lo ? 1 : -1) : 0);
  return sign_ab > 0 ? compare : -compare;
}

}  // namespace

TRectRegion::TRectRegion(int64_t left, int64_t top, int64_t right, int64_t bottom)
    : left_(std::min(left, right)), top_(std::min(top, bottom)),
      right_(std::max(left, right)), bottom_(std::max(top, bottom)) {}

bool TRectRegion::Contains(int32_t x, int32_t y) const {
  return x >= left_ && x < right_ && y >= top_ && y < bottom_;
}

TEllipseRegion::TEllipseRegion(int64_t left, int64_t top, int64_t right, int64_t bottom)
    : left_(std::min(left, right)), top_(std::min(top, bottom)),
      right_(std::max(left, right)), bottom_(std::max(top, bottom)) {}

// With w and h the box's width and height, and (dx, dy) twice the offset of the pixel centre
// from the box centre, the pixel is inside when (dx/w)^2 + (dy/h)^2 <= 1, that is
// (dx h)^2 <= ((h - dy) w) ((h + dy) w), compared exactly.
bool TEllipseRegion::Contains(int32_t x, int32_t y) const {
  if (x < left_ || x >= right_ || y < top_ || y >= bottom_) return false;
  const int64_t w = right_ - left_, h = bottom_ - top_;
  const int64_t dx = 2 * int64_t{x} + 1 - (left_ + right_);  // |dx| < w
  const int64_t dy = 2 * int64_t{y} + 1 - (top_ + bottom_);  // |dy| < h
  constexpr int64_t kExactLimit = int64_t{1} << 31;
  if (w < kExactLimit && h < kExactLimit)  // every factor below 2^63
    return SignOfDifference(dx * h, dx * h, (h - dy) * w, (h + dy) * w) <= 0;
  // Boxes this large only come from absurd coordinates: long double is close enough.
  const long double fx = static_cast<long double>(dx) / w, fy = static_cast<long double>(dy) / h;
  return fx * fx + fy * fy <= 1.0L;
}

TPolygonRegion::TPolygonRegion(std::vector<TMapPoint> points) : points_(std::move(points)) {}

// Winding number of the pixel centre, in doubled coordinates so that everything stays integer:
// the centre (2x + 1, 2y + 1) never lies on the level of a vertex (2vx, 2vy).
bool TPolygonRegion::Contains(int32_t x, int32_t y) const {
  const int64_t px = 2 * int64_t{x} + 1, py = 2 * int64_t{y} + 1;
  int winding = 0;
  const size_t n = points_.size();
  for (size_t i = 0; i < n; ++i) {
    const int64_t ax = 2 * int64_t{points_[i].x}, ay = 2 * int64_t{points_[i].y};
    const int64_t bx = 2 * int64_t{points_[(i + 1) % n].x}, by = 2 * int64_t{points_[(i + 1) % n].y};
    // Side of the point relative to the edge a->b: sign of (b - a) x (p - a).
    if (ay < py && by > py) {
      if (SignOfDifference(bx - ax, py - ay, px - ax, by - ay) > 0) ++winding;
    } else if (ay > py && by < py) {
      if (SignOfDifference(bx - ax, py - ay, px - ax, by - ay) < 0) --winding;
    }
  }
  return winding != 0;
}

}  // namespace brisomel
