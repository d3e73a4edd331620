// The software canvas against GDI itself (Windows build, under Wine): scenes drawn on both
// must give the same pixels.
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "canvas_adapters.h"
#include "platform/headless/software_canvas.h"
#include "platform/win32/canvas_gdi.h"
#include "text/utf.h"
#include "text/windows_1252.h"

namespace brisomel {
namespace {

using testing::Picture;

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

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
  const Point ends[] = {{20, 14}, {14, 20}, {6, 20}, {0, 14}, {0, 6},   {6, 0},   {14, 0}, {20, 6},
                        {19, 10}, {10, 19}, {1, 10}, {10, 1}, {17, 13}, {13, 17}, {3, 7},  {7, 3}};
  for (Point e : ends) {
    for (bool outward : {true, false}) {
      ExpectSame(
          [&](Canvas& c) {
            c.SetPen(Pen{PenStyle::kSolid, 1, 0});
            Point a = outward ? Point{10, 10} : e, b = outward ? e : Point{10, 10};
            c.MoveTo(a.x, a.y);
            c.LineTo(b.x, b.y);
          },
          21, 21,
          (std::to_string(e.x) + "," + std::to_string(e.y) + (outward ? " out" : " in")).c_str());
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

TEST(GdiAgreementTest, Polygons) {
  const std::vector<std::vector<Point>> shapes = {
      {{1, 1}, {15, 3}, {9, 14}, {2, 9}},                    // convex
      {{2, 2}, {16, 2}, {9, 8}, {16, 14}, {2, 14}, {6, 8}},  // concave
      {{1, 13}, {8, 1}, {16, 13}},                           // triangle
      {{3, 3}, {14, 3}, {14, 12}, {3, 12}},                  // rectangle
  };
  for (const auto& pts : shapes) {
    for (PenStyle pen : {PenStyle::kNull, PenStyle::kSolid}) {
      ExpectSame(
          [&](Canvas& c) {
            c.SetPen(Pen{pen, 1, 0});
            c.SetBrush(Brush{BrushStyle::kSolid, 0x0000FF});
            c.Polygon(pts);
          },
          18, 16, pen == PenStyle::kNull ? "polygon, null pen" : "polygon");
    }
  }
}

TEST(GdiAgreementTest, StretchingPicksPixelsAsGdiDoes) {
  Bitmap b = Bitmap::Rgb32(5, 3);
  const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0, 0xFFFFFF};
  for (int i = 0; i < 15; ++i) b.pixels[i] = colours[(i * 7) % 5];
  const Rect dests[] = {{0, 0, 8, 5}, {0, 0, 3, 2}, {1, 1, 12, 8}, {0, 0, 7, 9},
                        {0, 0, 4, 1}, {8, 0, 0, 5}, {0, 6, 9, 0},  {0, 0, 2, 7}};
  for (Rect d : dests) {
    ExpectSame(
        [&](Canvas& c) {
          c.SetStretchMode(StretchMode::kColorOnColor);
          c.StretchBitmap(d, b, Rect{0, 0, 5, 3}, kSrcCopy);
        },
        14, 10, "colour on colour");
  }
  // Enlarging where a destination centre falls on a source boundary.
  Bitmap quad = Bitmap::Rgb32(4, 4);
  for (int i = 0; i < 16; ++i) quad.pixels[i] = colours[i % 5];
  for (Rect d : {Rect{0, 0, 6, 6}, Rect{0, 0, 12, 4}, Rect{6, 6, 0, 0}}) {
    ExpectSame(
        [&](Canvas& c) {
          c.SetStretchMode(StretchMode::kColorOnColor);
          c.StretchBitmap(d, quad, Rect{0, 0, 4, 4}, kSrcCopy);
        },
        14, 10, "enlarging on boundaries");
  }
  // Masks shrunk by odd ratios with AND and OR scans.
  Bitmap mask = Bitmap::Mask(7, 5);
  for (int i = 0; i < 35; ++i) mask.indices[i] = (i * 3 % 7) < 3;
  for (StretchMode mode : {StretchMode::kBlackOnWhite, StretchMode::kWhiteOnBlack}) {
    for (Rect d : {Rect{0, 0, 3, 2}, Rect{0, 0, 5, 4}, Rect{0, 0, 2, 5}}) {
      ExpectSame(
          [&](Canvas& c) {
            c.FillRect(Rect{0, 0, 8, 8}, 0x0000FF);
            c.SetStretchMode(mode);
            c.StretchBitmap(d, mask, Rect{0, 0, 7, 5}, kSrcCopy);
          },
          8, 8, mode == StretchMode::kBlackOnWhite ? "and scans" : "or scans");
    }
  }
}

TEST(GdiAgreementTest, Ellipses) {
  for (Rect r : {Rect{2, 2, 7, 7}, Rect{2, 2, 8, 8}, Rect{1, 1, 15, 15}, Rect{1, 2, 12, 8}}) {
    for (PenStyle pen : {PenStyle::kNull, PenStyle::kSolid}) {
      ExpectSame(
          [&](Canvas& c) {
            c.SetPen(Pen{pen, 1, 0});
            c.SetBrush(Brush{BrushStyle::kSolid, 0x0000FF});
            c.Ellipse(r);
          },
          17, 17, "ellipse");
    }
  }
}

TEST(GdiAgreementTest, ArcEndingOnAPixelCentre) {
  // The upper-left half of a 14 x 14 circle, whose end ray passes through a pixel centre. (Where
  // the end ray passes between pixels, GDI may stop one outline pixel earlier than we do.)
  ExpectSame(
      [&](Canvas& c) {
        c.SetPen(Pen{PenStyle::kSolid, 1, 0});
        c.Arc(Rect{1, 1, 15, 15}, Point{15, 1}, Point{1, 15});
      },
      17, 17, "arc");
}

// Text ends where its measured extent says, however long the run: the next run of a line is
// drawn at the extent, so a shorter drawing would leave a gap before it.
TEST(GdiAgreementTest, TextEndsAtItsExtent) {
  // Also a text of several scripts, drawn in runs of fallback faces where the face lacks some.
  const std::u16string texts[] = {
      u"Each chapter links back to this page, so you can always find your way home. The toolbar",
      u"Chapter \u4E2D\u6587 and \u304B\u306A, \uD55C\uAD6D, \u03A9\u0429 end"};
  auto gdi = GdiCanvas::CreateDib(900, 40);
  ASSERT_TRUE(gdi);
  for (const std::u16string& text : texts) {
    for (const char* face : {"Times New Roman", "Arial"}) {
      for (uint8_t style : {uint8_t{0}, uint8_t{kFontBold}}) {
        FontSpec font;
        font.name = face;
        font.style = style;
        gdi->FillRect(Rect{0, 0, 900, 40}, 0xFFFFFF);
        gdi->SetFont(font);
        gdi->SetBkMode(BkMode::kTransparent);
        gdi->SetTextColor(0);
        gdi->SetTextAlign(kAlignBaseline | kAlignLeft);
        gdi->TextOut(0, 30, text);
        const int extent = gdi->TextExtent(text).cx;
        int last_ink = -1;
        for (int x = 0; x < 900; ++x)
          for (int y = 0; y < 40; ++y)
            if ((GetPixel(gdi->dc(), x, y) & 0xFFFFFF) != 0xFFFFFF) last_ink = x;
        EXPECT_LE(last_ink, extent) << face << " style " << int{style} << Utf16ToUtf8(text);
        EXPECT_GE(last_ink, extent - 3) << face << " style " << int{style} << Utf16ToUtf8(text);
      }
    }
  }
}

// The canvas measures and places text from cached advances and metrics; GDI asked directly,
// with a font of its own, must give the same extents, metrics and pixels, on the screen and
// on a canvas mapped as for printing.
TEST(GdiAgreementTest, MeasuringAndPlacingMatchGdi) {
  std::string bytes;
  for (int c = 0x20; c < 0x100; ++c) bytes += static_cast<char>(c);
  const std::u16string text = Windows1252ToUtf16(bytes);
  const std::vector<std::u16string> samples = {text, u"Row 12", u"Bold words",
                                               u"W", u"ii",     u"fi ffl"};
  constexpr int kWidth = 4000, kHeight = 60;
  auto canvas = GdiCanvas::CreateDib(kWidth, kHeight);
  auto direct = GdiCanvas::CreateDib(kWidth, kHeight);
  ASSERT_TRUE(canvas && direct);
  for (const char* face : {"Times New Roman", "Arial", "Courier New", "MS Sans Serif"}) {
    for (int style : {0, int{kFontBold}, int{kFontItalic}, kFontBold | kFontItalic}) {
      for (int size : {8, 12, 24}) {
        FontSpec font;
        font.name = face;
        font.style = static_cast<uint8_t>(style);
        font.size = size;
        const std::string what =
            std::string(face) + " " + std::to_string(size) + " style " + std::to_string(style);
        for (bool mapped : {false, true}) {
          canvas->ResetMapping();
          if (mapped) canvas->SetMapping(Mapping{{0, 0}, {300, 300}, {0, 0}, {96, 96}});
          canvas->SetFont(font);
          HDC dc = direct->dc();
          SetMapMode(dc, mapped ? MM_ANISOTROPIC : MM_TEXT);
          if (mapped) {
            SetWindowExtEx(dc, 300, 300, nullptr);
            SetViewportExtEx(dc, 96, 96, nullptr);
          }
          HFONT handle = CreateFontA(
              canvas->FontLogicalHeight(font), 0, 0, 0, (style & kFontBold) ? FW_BOLD : FW_NORMAL,
              (style & kFontItalic) != 0, FALSE, FALSE, font.charset, OUT_DEFAULT_PRECIS,
              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
          HGDIOBJ old = SelectObject(dc, handle);
          TEXTMETRICW tm{};
          GetTextMetricsW(dc, &tm);
          const TextMetrics metrics = canvas->GetTextMetrics();
          EXPECT_EQ(metrics.height, tm.tmHeight) << what << " mapped " << mapped;
          EXPECT_EQ(metrics.ascent, tm.tmAscent) << what << " mapped " << mapped;
          EXPECT_EQ(metrics.overhang, tm.tmOverhang) << what << " mapped " << mapped;
          for (const std::u16string& sample : samples) {
            SIZE size{};
            GetTextExtentPoint32W(dc, Wide(sample), static_cast<int>(sample.size()), &size);
            const Size extent = canvas->TextExtent(sample);
            EXPECT_EQ(extent.cx, size.cx)
                << what << " mapped " << mapped << ": " << Utf16ToUtf8(sample);
            EXPECT_EQ(extent.cy, size.cy)
                << what << " mapped " << mapped << ": " << Utf16ToUtf8(sample);
          }
          if (!mapped) {
            // The canvas places each character at its measured advance, as GDI's own
            // positions from GetTextExtentExPoint put it.
            const std::u16string& line = samples[0];
            std::vector<INT> ends(line.size()), dx(line.size());
            SIZE total{};
            GetTextExtentExPointW(dc, Wide(line), static_cast<int>(line.size()), 0, nullptr,
                                  ends.data(), &total);
            for (size_t i = 0; i < ends.size(); ++i) dx[i] = ends[i] - (i ? ends[i - 1] : 0);
            direct->FillRect(Rect{0, 0, kWidth, kHeight}, 0xFFFFFF);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, 0);
            SetTextAlign(dc, TA_BASELINE | TA_LEFT);
            ExtTextOutW(dc, 2, 40, 0, nullptr, Wide(line), static_cast<UINT>(line.size()),
                        dx.data());
            canvas->FillRect(Rect{0, 0, kWidth, kHeight}, 0xFFFFFF);
            canvas->SetBkMode(BkMode::kTransparent);
            canvas->SetTextColor(0);
            canvas->SetTextAlign(kAlignBaseline | kAlignLeft);
            canvas->TextOut(2, 40, line);
            EXPECT_EQ(Picture(*canvas, Rect{0, 0, kWidth, kHeight}),
                      Picture(*direct, Rect{0, 0, kWidth, kHeight}))
                << what;
          }
          SelectObject(dc, old);
          DeleteObject(handle);
          SetMapMode(dc, MM_TEXT);
        }
      }
    }
  }
}

}  // namespace
}  // namespace brisomel

#endif  // _WIN32
