// Regions as engine data: a set of pixels kept as horizontal bands, each band a row range
// [top, bottom) with sorted, disjoint x spans [left, right). Rectangles exclude their right and
// bottom edges, as GDI's do. Shapes are turned into pixels when the region is made, so hit
// tests, clipping and filling all agree on the same pixel set.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/geometry.h"

namespace brisomel {

// Shapes are rasterised only inside this rectangle unless told otherwise: coordinates from
// documents may be huge, and a region keeps a list of spans per row.
constexpr Rect kRegionLimit{-(1 << 15), -(1 << 15), 1 << 15, 1 << 15};

class Region {
 public:
  struct Span {
    int left = 0;
    int right = 0;
    bool operator==(const Span&) const = default;
  };
  struct Band {
    int top = 0;
    int bottom = 0;
    std::vector<Span> spans;
    bool operator==(const Band&) const = default;
  };
  enum class FillRule { kAlternate, kWinding };

  Region() = default;
  // The pixels of a rectangle (empty when right <= left or bottom <= top).
  static Region FromRect(const Rect& rect);
  // The pixels inside the ellipse inscribed in `bounds` (right and bottom excluded), as far as
  // they lie inside `limit`.
  static Region Ellipse(const Rect& bounds, const Rect& limit = kRegionLimit);
  // The pixels whose top-left corners lie inside the closed polygon (left edges in, right
  // edges out), by the given fill rule, as far as they lie inside `limit`.
  static Region Polygon(const std::vector<Point>& points, FillRule rule = FillRule::kAlternate,
                        const Rect& limit = kRegionLimit);

  bool empty() const { return bands_.empty(); }
  bool Contains(int x, int y) const;
  // The smallest rectangle holding every pixel; all zero when empty.
  Rect Bounds() const;
  const std::vector<Band>& bands() const { return bands_; }

  Region Union(const Region& other) const;
  Region Intersect(const Region& other) const;
  Region Subtract(const Region& other) const;
  Region Xor(const Region& other) const;
  Region Offset(int dx, int dy) const;

  bool operator==(const Region&) const = default;

  // Builds a region from per-row spans (row y = first_row + index); spans of a row need not be
  // sorted or disjoint. Adjacent equal rows are merged into one band.
  static Region FromRows(int first_row, const std::vector<std::vector<Span>>& rows);

 private:
  enum class Op { kUnion, kIntersect, kSubtract, kXor };
  Region Combine(const Region& other, Op op) const;
  void AppendBand(int top, int bottom, std::vector<Span> spans);

  std::vector<Band> bands_;
};

}  // namespace brisomel
