// The software canvas against GDI itself (Windows build, under Wine): scenes drawn on both
// must give the same pixels.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <functional>

#include "canvas_adapters.h"
#include "platform/headless/software_canvas.h"
#include "platform/win32/canvas_gdi.h"

namespace brisomel {
namespace {

using testing::Picture;

void ExpectSame(const std::function<void(Canvas&)>& scene, int w, int h, const char* what) {
  SoftwareCanvas soft(w, h);
  auto gdi = GdiCanvas::CreateDib(w, h);
  ASSERT_TRUE(gdi);
  scene(soft);
  scene(*gdi);
  EXPECT_EQ(Picture(soft, Rect{0, 0, w, h}), Picture(*gdi, Rect{0, 0, w, h})) << what;
}

TEST(GdiAgreementTest, LinesInEveryOctant) {
  // From the centre to points around it, in both directions, with steps that fall half way.
  const Point ends[] = {{20, 14}, {14, 20}, {6, 20}, {0, 14}, {0, 6},  {6, 0},
                        {14, 0},  {20, 6},  {19, 10}, {10, 19}, {1, 10}, {10, 1},
                        {17, 13}, {13, 17}, {3, 7}, {7, 3}};
  for (Point e : ends) {
    for (bool outward : {true, false}) {
      ExpectSame(
          [&](Canvas& c) {
            c.SetPen(Pen{PenStyle::kSolid, 1, 0});
            Point a = outward ? Point{10, 10} : e, b = outward ? e : Point{10, 10};
            c.MoveTo(a.x, a.y);
            c.LineTo(b.x, b.y);
          },
          21, 21, (std::to_string(e.x) + "," + std::to_string(e.y) + (outward ? " out" : " in")).c_str());
    }
  }
}

TEST(GdiAgreementTest, RectanglesWithPens) {
  for (PenStyle style : {PenStyle::kSolid, PenStyle::kInsideFrame}) {
    for (int width : {1, 2, 3, 4, 5}) {
      ExpectSame(
          [&](Canvas& c) {
            c.SetPen(Pen{style, width, 0});
            c.SetBrush(Brush{BrushStyle::kSolid, 0x0000FF});
            c.Rectangle(Rect{4, 4, 14, 12});
          },
          18, 16, ("width " + std::to_string(width)).c_str());
    }
  }
}

}  // namespace
}  // namespace brisomel

#endif  // _WIN32
