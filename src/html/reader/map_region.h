// Regions of image coordinates for the areas of client-side image maps. Pixel (x, y) belongs
// to a region when its centre (x + 0.5, y + 0.5) lies inside the shape, as with the regions
// of the platform's graphics: a rectangle holds its left and top edges and not its right and
// bottom ones; a polygon is filled by the winding rule.
#pragma once

#include <cstdint>
#include <vector>

namespace brisomel {

class TMapRegion {
 public:
  virtual ~TMapRegion() = default;
  virtual bool Contains(int32_t x, int32_t y) const = 0;
};

// The rectangle [left, right) x [top, bottom); swapped corners are put in order.
class TRectRegion : public TMapRegion {
 public:
  TRectRegion(int64_t left, int64_t top, int64_t right, int64_t bottom);
  bool Contains(int32_t x, int32_t y) const override;

 private:
  int64_t left_, top_, right_, bottom_;
};

// The ellipse inscribed in the rectangle [left, right) x [top, bottom).
class TEllipseRegion : public TMapRegion {
 public:
  TEllipseRegion(int64_t left, int64_t top, int64_t right, int64_t bottom);
  bool Contains(int32_t x, int32_t y) const override;

 private:
  int64_t left_, top_, right_, bottom_;
};

struct TMapPoint {
  int32_t x;
  int32_t y;
};

// A polygon filled by the winding rule: a point is inside when the outline winds around it a
// non-zero number of times.
class TPolygonRegion : public TMapRegion {
 public:
  explicit TPolygonRegion(std::vector<TMapPoint> points);
  bool Contains(int32_t x, int32_t y) const override;

 private:
  std::vector<TMapPoint> points_;
};

}  // namespace brisomel
