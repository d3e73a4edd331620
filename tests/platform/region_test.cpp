#include "platform/region.h"

#include <gtest/gtest.h>

namespace brisomel {
namespace {

// Every pixel of a small area, tested against a predicate.
template <class F>
void ExpectPixels(const Region& r, const Rect& area, F inside) {
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      EXPECT_EQ(r.Contains(x, y), inside(x, y)) << x << "," << y;
    }
  }
}

TEST(RegionTest, RectanglesExcludeRightAndBottom) {
  Region r = Region::FromRect(Rect{2, 3, 5, 6});
  ExpectPixels(r, Rect{0, 0, 8, 8},
               [](int x, int y) { return x >= 2 && x < 5 && y >= 3 && y < 6; });
  EXPECT_EQ(r.Bounds(), (Rect{2, 3, 5, 6}));
  EXPECT_TRUE(Region::FromRect(Rect{5, 5, 5, 9}).empty());
  EXPECT_TRUE(Region::FromRect(Rect{5, 5, 4, 9}).empty());
}

TEST(RegionTest, CombinationsMatchTheirSetOperations) {
  Region a = Region::FromRect(Rect{0, 0, 6, 4});
  Region b = Region::FromRect(Rect{3, 2, 9, 7});
  auto in_a = [](int x, int y) { return x >= 0 && x < 6 && y >= 0 && y < 4; };
  auto in_b = [](int x, int y) { return x >= 3 && x < 9 && y >= 2 && y < 7; };
  Rect area{-1, -1, 10, 8};
  ExpectPixels(a.Union(b), area, [&](int x, int y) { return in_a(x, y) || in_b(x, y); });
  ExpectPixels(a.Intersect(b), area, [&](int x, int y) { return in_a(x, y) && in_b(x, y); });
  ExpectPixels(a.Subtract(b), area, [&](int x, int y) { return in_a(x, y) && !in_b(x, y); });
  ExpectPixels(a.Xor(b), area, [&](int x, int y) { return in_a(x, y) != in_b(x, y); });
  // Results are normalised: a union of touching pieces equals the whole.
  EXPECT_EQ(Region::FromRect(Rect{0, 0, 3, 4}).Union(Region::FromRect(Rect{3, 0, 6, 4})), a);
  EXPECT_EQ(a.Subtract(a), Region{});
  EXPECT_EQ(a.Offset(3, 2).Bounds(), (Rect{3, 2, 9, 6}));
}

TEST(RegionTest, CircleFromImageMapCoordinates) {
  // A circle at (10, 10) with radius 5 is the ellipse inside (5, 5, 16, 16).
  Region c = Region::Ellipse(Rect{5, 5, 16, 16});
  EXPECT_TRUE(c.Contains(15, 10));
  EXPECT_FALSE(c.Contains(16, 10));
  EXPECT_TRUE(c.Contains(5, 10));
  EXPECT_TRUE(c.Contains(10, 5));
  EXPECT_TRUE(c.Contains(10, 15));
  EXPECT_FALSE(c.Contains(5, 5));
  EXPECT_FALSE(c.Contains(15, 15));
}

TEST(RegionTest, PolygonFillRules) {
  // A square with a square hole drawn the same way round: alternate leaves the hole out,
  // winding fills it.
  std::vector<Point> pts = {{0, 0}, {9, 0}, {9, 9}, {0, 9}, {0, 0},
                            {3, 3}, {6, 3}, {6, 6}, {3, 6}, {3, 3}};
  Region alt = Region::Polygon(pts, Region::FillRule::kAlternate);
  Region wind = Region::Polygon(pts, Region::FillRule::kWinding);
  EXPECT_TRUE(alt.Contains(1, 1));
  EXPECT_FALSE(alt.Contains(4, 4));
  EXPECT_TRUE(wind.Contains(4, 4));
  EXPECT_FALSE(alt.Contains(9, 4));  // right edge excluded
  // Fewer than three points give nothing; a triangle contains its inside only.
  EXPECT_TRUE(Region::Polygon({{0, 0}, {5, 5}}).empty());
  Region tri = Region::Polygon({{0, 0}, {10, 0}, {0, 10}});
  EXPECT_TRUE(tri.Contains(2, 2));
  EXPECT_FALSE(tri.Contains(8, 8));
}

TEST(RegionTest, HugeShapesStayWithinTheLimit) {
  const int big = 1 << 30;
  Region e = Region::Ellipse(Rect{-big, -big, big, big});
  EXPECT_TRUE(e.Contains(0, 0));
  EXPECT_LE(e.Bounds().height(), kRegionLimit.height());
  Region p = Region::Polygon({{-big, -big}, {big, -big}, {0, big}}, Region::FillRule::kWinding,
                             Rect{0, 0, 100, 100});
  EXPECT_TRUE(p.Contains(50, 50));
  EXPECT_EQ(p.Bounds(), (Rect{0, 0, 100, 100}));
  EXPECT_TRUE(Region::Ellipse(Rect{-big, -big, big, big}, Rect{}).empty());
}

}  // namespace
}  // namespace brisomel
