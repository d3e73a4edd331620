// Canvas behaviour that GDI defines, checked by pixels on every adapter of the build: the
// software canvas natively, and the software canvas and GDI (on a DIB section) under Wine.
#include "platform/canvas.h"

#include <gtest/gtest.h>

#include "canvas_adapters.h"

namespace brisomel {
namespace {

using testing::CanvasAdapter;
using testing::Picture;
using testing::PixelOf;

constexpr Color kRed = 0x0000FF;
constexpr Color kGreen = 0x00FF00;
constexpr Color kBlue = 0xFF0000;
constexpr Color kWhite = 0xFFFFFF;

class CanvasTest : public ::testing::TestWithParam<CanvasAdapter> {
 protected:
  std::unique_ptr<Canvas> Make(int w, int h) { return GetParam().make(w, h); }
};

TEST_P(CanvasTest, FillRectExcludesRightAndBottomEdges) {
  auto c = Make(8, 6);
  c->FillRect(Rect{1, 1, 4, 3}, kRed);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 6, 4}),
            "......\n"
            ".rrr..\n"
            ".rrr..\n"
            "......\n");
}

TEST_P(CanvasTest, RectangleOutlinesWithPenAndFillsWithBrush) {
  auto c = Make(8, 7);
  c->SetPen(Pen{PenStyle::kSolid, 1, 0});
  c->SetBrush(Brush{BrushStyle::kSolid, kRed});
  c->Rectangle(Rect{1, 1, 6, 5});
  EXPECT_EQ(Picture(*c, Rect{0, 0, 7, 6}),
            ".......\n"
            ".#####.\n"
            ".#rrr#.\n"
            ".#rrr#.\n"
            ".#####.\n"
            ".......\n");
}

TEST_P(CanvasTest, RectangleWithNullPenFillsOnePixelLess) {
  auto c = Make(8, 7);
  c->SetPen(Pen{PenStyle::kNull, 1, 0});
  c->SetBrush(Brush{BrushStyle::kSolid, kRed});
  c->Rectangle(Rect{1, 1, 6, 5});
  EXPECT_EQ(Picture(*c, Rect{0, 0, 7, 6}),
            ".......\n"
            ".rrrr..\n"
            ".rrrr..\n"
            ".rrrr..\n"
            ".......\n"
            ".......\n");
}

TEST_P(CanvasTest, InsideFramePenStaysInsideTheRectangle) {
  auto c = Make(10, 9);
  c->SetPen(Pen{PenStyle::kInsideFrame, 2, 0});
  c->SetBrush(Brush{BrushStyle::kSolid, kRed});
  c->Rectangle(Rect{1, 1, 8, 8});
  EXPECT_EQ(Picture(*c, Rect{0, 0, 9, 9}),
            ".........\n"
            ".#######.\n"
            ".#######.\n"
            ".##rrr##.\n"
            ".##rrr##.\n"
            ".##rrr##.\n"
            ".#######.\n"
            ".#######.\n"
            ".........\n");
}

TEST_P(CanvasTest, HollowBrushLeavesTheInsideAlone) {
  auto c = Make(6, 6);
  c->FillRect(Rect{0, 0, 6, 6}, kGreen);
  c->SetPen(Pen{PenStyle::kSolid, 1, 0});
  c->SetBrush(Brush{BrushStyle::kHollow, kRed});
  c->Rectangle(Rect{1, 1, 5, 5});
  EXPECT_EQ(Picture(*c, Rect{0, 0, 6, 6}),
            "gggggg\n"
            "g####g\n"
            "g#gg#g\n"
            "g#gg#g\n"
            "g####g\n"
            "gggggg\n");
}

TEST_P(CanvasTest, LinesExcludeTheirEndPoint) {
  auto c = Make(7, 7);
  c->SetPen(Pen{PenStyle::kSolid, 1, 0});
  c->MoveTo(1, 0);
  c->LineTo(5, 0);  // horizontal
  c->MoveTo(0, 1);
  c->LineTo(0, 4);  // vertical
  c->MoveTo(2, 2);
  c->LineTo(6, 6);  // diagonal
  EXPECT_EQ(Picture(*c, Rect{0, 0, 7, 7}),
            ".####..\n"
            "#......\n"
            "#.#....\n"
            "#..#...\n"
            "....#..\n"
            ".....#.\n"
            ".......\n");
  EXPECT_EQ(c->position(), (Point{6, 6}));
}

TEST_P(CanvasTest, ShallowAndSteepLinesStepLikeBresenham) {
  auto c = Make(9, 9);
  c->SetPen(Pen{PenStyle::kSolid, 1, 0});
  c->MoveTo(0, 0);
  c->LineTo(8, 3);
  c->MoveTo(0, 8);
  c->LineTo(3, 2);
  c->MoveTo(8, 8);
  c->LineTo(2, 5);
  // Where a step falls exactly half way, the direction decides which pixel is taken.
  EXPECT_EQ(Picture(*c, Rect{0, 0, 9, 9}),
            "##.......\n"
            "..###....\n"
            ".....##..\n"
            "..#....#.\n"
            "..#......\n"
            ".#.#.....\n"
            ".#..##...\n"
            "#.....##.\n"
            "#.......#\n");
}

TEST_P(CanvasTest, NullPenDrawsNoLine) {
  auto c = Make(5, 3);
  c->SetPen(Pen{PenStyle::kNull, 1, 0});
  c->MoveTo(0, 1);
  c->LineTo(5, 1);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 5, 3}), ".....\n.....\n.....\n");
}

TEST_P(CanvasTest, PaletteRelativeColoursDrawAsTheirRgbOnTrueColour) {
  auto c = Make(4, 1);
  c->FillRect(Rect{0, 0, 2, 1}, kPaletteRelative | 0x123456);
  c->SetPixel(3, 0, kPaletteRelative | kBlue);
  EXPECT_EQ(PixelOf(*c, 0, 0), 0x123456u);
  EXPECT_EQ(PixelOf(*c, 3, 0), kBlue);
  EXPECT_EQ(c->ResolveColor(kPaletteRelative | 0xA0A0A0), 0xA0A0A0u);
}

// Every raster operation on a one-pixel source over a one-pixel destination, against the truth
// table of its code.
TEST_P(CanvasTest, RasterOperationsFollowTheirTruthTables) {
  const uint32_t rops[] = {kSrcCopy,    kSrcPaint,    kSrcAnd,     kSrcInvert,    kSrcErase,
                           kNotSrcCopy, kNotSrcErase, kMergePaint, kDstAndNotSrc, kMergeCopy,
                           kPatCopy,    kPatInvert,   kDstInvert,  kBlackness,    kWhiteness};
  const uint32_t src_pixel = 0x00F0CC33;  // 0x00RRGGBB
  const uint32_t dst_color = 0x0055AA0F;  // 0x00BBGGRR
  const Color brush = 0x00336699;
  Bitmap source = Bitmap::Rgb32(1, 1, src_pixel);
  for (uint32_t rop : rops) {
    auto c = Make(2, 1);
    c->FillRect(Rect{0, 0, 1, 1}, dst_color);
    c->SetBrush(Brush{BrushStyle::kSolid, brush});
    c->StretchBitmap(Rect{0, 0, 1, 1}, source, Rect{0, 0, 1, 1}, rop);
    uint32_t expected = ApplyRop(rop, ColorToPixel(brush), src_pixel, ColorToPixel(dst_color));
    EXPECT_EQ(ColorToPixel(PixelOf(*c, 0, 0)), expected) << std::hex << "rop " << rop;
    EXPECT_EQ(PixelOf(*c, 1, 0), kWhite) << std::hex << "rop " << rop;
  }
}

TEST_P(CanvasTest, MasksDrawBlackAndWhiteAndCutTransparentPixels) {
  // The transparent drawing of images: mask AND keeps the background where the mask is
  // white; the image, black where transparent, is then ORed on.
  auto c = Make(4, 1);
  c->FillRect(Rect{0, 0, 4, 1}, kGreen);
  Bitmap mask = Bitmap::Mask(4, 1);
  mask.indices = {1, 0, 1, 0};
  Bitmap image = Bitmap::Rgb32(4, 1);
  image.pixels = {0, 0xFF0000, 0, 0x0000FF};  // red and blue where opaque
  c->DrawBitmap(0, 0, mask, kSrcAnd);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 4, 1}), "g#g#\n");
  c->DrawBitmap(0, 0, image, kSrcPaint);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 4, 1}), "grgb\n");
}

TEST_P(CanvasTest, AlphaBlendingWeighsEachPixelWithTheDestination) {
  // Red at four alphas, stretched to twice its size over blue; within the clip only.
  auto c = Make(8, 4);
  c->FillRect(Rect{0, 0, 8, 4}, kBlue);
  const Bitmap red = Bitmap::Rgb32(4, 1, 0xFF0000);
  const std::vector<uint8_t> alpha{0, 64, 128, 255};
  c->IntersectClipRect(Rect{0, 0, 8, 2});
  ASSERT_TRUE(c->AlphaBlendBitmap(Rect{0, 1, 8, 3}, red, Rect{0, 0, 4, 1}, alpha));
  for (int x = 0; x < 8; ++x) {
    SCOPED_TRACE(x);
    const Color blended = PixelOf(*c, x, 1);
    const int a = alpha[x / 2];
    EXPECT_NEAR(RedOf(blended), a, 2);
    EXPECT_EQ(GreenOf(blended), 0);
    EXPECT_NEAR(BlueOf(blended), 255 - a, 2);
    EXPECT_EQ(PixelOf(*c, x, 0), kBlue);
    EXPECT_EQ(PixelOf(*c, x, 2), kBlue) << "outside the clip";
  }
  // An alpha plane that does not fit the picture draws nothing.
  c->SetClipRegion(nullptr);
  EXPECT_FALSE(c->AlphaBlendBitmap(Rect{0, 3, 8, 4}, red, Rect{0, 0, 4, 1}, {alpha.data(), 3}));
  EXPECT_EQ(Picture(*c, Rect{0, 3, 8, 4}), "bbbbbbbb\n");
}

TEST_P(CanvasTest, IndexedBitmapsDrawThroughTheirPalette) {
  auto c = Make(3, 1);
  Bitmap b;
  b.format = Bitmap::Format::kIndexed8;
  b.width = 3;
  b.height = 1;
  b.indices = {2, 0, 1};
  b.palette = {0xFF0000, 0x00FF00, 0x0000FF};
  c->DrawBitmap(0, 0, b);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 3, 1}), "brg\n");
}

TEST_P(CanvasTest, SourceRectangleSelectsPartOfTheBitmap) {
  auto c = Make(4, 3);
  Bitmap b = Bitmap::Rgb32(3, 3, 0xFFFFFF);
  b.pixels[1 * 3 + 1] = 0xFF0000;  // red at (1, 1)
  b.pixels[2 * 3 + 2] = 0x0000FF;  // blue at (2, 2)
  c->StretchBitmap(Rect{0, 0, 2, 2}, b, Rect{1, 1, 3, 3}, kSrcCopy);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 4, 3}),
            "r...\n"
            ".b..\n"
            "....\n");
}

TEST_P(CanvasTest, EnlargingReplicatesPixels) {
  auto c = Make(5, 3);
  Bitmap b = Bitmap::Rgb32(2, 1);
  b.pixels = {0xFF0000, 0x0000FF};
  for (StretchMode mode :
       {StretchMode::kBlackOnWhite, StretchMode::kWhiteOnBlack, StretchMode::kColorOnColor}) {
    c->SetStretchMode(mode);
    c->StretchBitmap(Rect{0, 0, 4, 2}, b, Rect{0, 0, 2, 1}, kSrcCopy);
    EXPECT_EQ(Picture(*c, Rect{0, 0, 5, 3}),
              "rrbb.\n"
              "rrbb.\n"
              ".....\n")
        << static_cast<int>(mode);
  }
}

TEST_P(CanvasTest, ShrinkingCombinesByTheStretchMode) {
  // Columns alternate black and white; halving the width keeps black with AND scans, white
  // with OR scans.
  Bitmap stripes = Bitmap::Mask(4, 2);
  stripes.indices = {0, 1, 0, 1, 0, 1, 0, 1};
  struct Case {
    StretchMode mode;
    const char* picture;
  } cases[] = {{StretchMode::kBlackOnWhite, "##\n"}, {StretchMode::kWhiteOnBlack, "..\n"}};
  for (const auto& k : cases) {
    auto c = Make(2, 1);
    c->FillRect(Rect{0, 0, 2, 1}, kRed);
    c->SetStretchMode(k.mode);
    c->StretchBitmap(Rect{0, 0, 2, 1}, stripes, Rect{0, 0, 4, 2}, kSrcCopy);
    EXPECT_EQ(Picture(*c, Rect{0, 0, 2, 1}), k.picture) << static_cast<int>(k.mode);
  }
  // Colour on colour keeps one pixel of each block; with uniform blocks that is the block.
  Bitmap blocks = Bitmap::Rgb32(4, 2);
  blocks.pixels = {0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00, 0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00};
  auto c = Make(2, 1);
  c->SetStretchMode(StretchMode::kColorOnColor);
  c->StretchBitmap(Rect{0, 0, 2, 1}, blocks, Rect{0, 0, 4, 2}, kSrcCopy);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 2, 1}), "rg\n");
}

TEST_P(CanvasTest, ClipRectanglesAndRegionsLimitDrawing) {
  auto c = Make(6, 4);
  c->IntersectClipRect(Rect{1, 1, 5, 4});
  c->ExcludeClipRect(Rect{2, 2, 4, 3});
  c->FillRect(Rect{0, 0, 6, 4}, kRed);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 6, 4}),
            "......\n"
            ".rrrr.\n"
            ".r..r.\n"
            ".rrrr.\n");
  c->SetClipRegion(nullptr);
  Region r = Region::FromRect(Rect{0, 0, 1, 1}).Union(Region::FromRect(Rect{5, 3, 6, 4}));
  c->SetClipRegion(&r);
  c->FillRect(Rect{0, 0, 6, 4}, kBlue);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 6, 4}),
            "b.....\n"
            ".rrrr.\n"
            ".r..r.\n"
            ".rrrrb\n");
}

TEST_P(CanvasTest, SaveAndRestoreBringBackPenBrushAndClip) {
  auto c = Make(4, 1);
  c->SetPen(Pen{PenStyle::kSolid, 1, kRed});
  c->SetBrush(Brush{BrushStyle::kSolid, kGreen});
  c->SaveState();
  c->SetPen(Pen{PenStyle::kNull, 1, 0});
  c->SetBrush(Brush{BrushStyle::kHollow, 0});
  c->IntersectClipRect(Rect{0, 0, 1, 1});
  c->RestoreState();
  EXPECT_EQ(c->pen(), (Pen{PenStyle::kSolid, 1, kRed}));
  EXPECT_EQ(c->brush(), (Brush{BrushStyle::kSolid, kGreen}));
  c->FillRect(Rect{0, 0, 4, 1}, kBlue);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 4, 1}), "bbbb\n");
}

TEST_P(CanvasTest, WindowOriginAndExtentsMapLogicalToDevice) {
  auto c = Make(8, 6);
  c->SetWindowOrigin(Point{10, 20});
  c->FillRect(Rect{10, 20, 12, 21}, kRed);
  EXPECT_EQ(PixelOf(*c, 0, 0), kRed);
  EXPECT_EQ(PixelOf(*c, 1, 0), kRed);
  EXPECT_EQ(PixelOf(*c, 2, 0), kWhite);
  // Two device pixels per logical unit.
  Mapping m;
  m.window_extent = Size{1, 1};
  m.viewport_extent = Size{2, 2};
  m.viewport_origin = Point{2, 2};
  c->SetMapping(m);
  c->FillRect(Rect{0, 0, 1, 1}, kBlue);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 6, 6}),
            "rr....\n"
            "......\n"
            "..bb..\n"
            "..bb..\n"
            "......\n"
            "......\n");
  EXPECT_EQ(c->LogicalToDevice(Point{1, 1}), (Point{4, 4}));
  // Origins and points at the ends of the int range map without overflow, held to the range
  // later arithmetic can take.
  m = Mapping{};
  m.window_origin = Point{1185501163, -2000000000};
  m.viewport_origin = Point{2000000000, -2000000000};
  c->SetMapping(m);
  const Point far = c->LogicalToDevice(Point{-2054847962, 2000000000});
  EXPECT_EQ(far, (Point{536870912, -536870912}));
  EXPECT_EQ(c->DeviceToLogical(Point{-2000000000, 2000000000}), (Point{536870912, -536870912}));
}

TEST_P(CanvasTest, PatBltCombinesTheBrushWithTheDestination) {
  auto c = Make(3, 1);
  c->FillRect(Rect{0, 0, 1, 1}, kRed);
  c->PatBlt(Rect{0, 0, 2, 1}, kDstInvert);
  EXPECT_EQ(PixelOf(*c, 0, 0), 0xFFFF00u);
  EXPECT_EQ(PixelOf(*c, 1, 0), 0u);
  EXPECT_EQ(PixelOf(*c, 2, 0), kWhite);
  c->SetBrush(Brush{BrushStyle::kSolid, kGreen});
  c->PatBlt(Rect{2, 0, 3, 1}, kPatCopy);
  EXPECT_EQ(PixelOf(*c, 2, 0), kGreen);
}

TEST_P(CanvasTest, EllipseStaysInsideItsBoundsAndFillsItsCentre) {
  auto c = Make(14, 14);
  c->SetPen(Pen{PenStyle::kSolid, 1, 0});
  c->SetBrush(Brush{BrushStyle::kSolid, kRed});
  c->Ellipse(Rect{2, 2, 12, 12});
  EXPECT_EQ(PixelOf(*c, 7, 7), kRed);
  for (Point p : {Point{2, 2}, Point{11, 2}, Point{2, 11}, Point{11, 11}}) {
    EXPECT_EQ(PixelOf(*c, p.x, p.y), kWhite) << p.x << "," << p.y;  // corners
  }
  // The outline touches every side of the bounds, and nothing lies outside them.
  EXPECT_EQ(PixelOf(*c, 2, 7), 0u);
  EXPECT_EQ(PixelOf(*c, 11, 7), 0u);
  EXPECT_EQ(PixelOf(*c, 7, 2), 0u);
  EXPECT_EQ(PixelOf(*c, 7, 11), 0u);
  for (int i = 0; i < 14; ++i) {
    for (Point p : {Point{i, 1}, Point{i, 12}, Point{1, i}, Point{12, i}}) {
      EXPECT_EQ(PixelOf(*c, p.x, p.y), kWhite) << p.x << "," << p.y;
    }
  }
}

TEST_P(CanvasTest, PolygonFillsItsInside) {
  auto c = Make(12, 12);
  c->SetPen(Pen{PenStyle::kNull, 1, 0});
  c->SetBrush(Brush{BrushStyle::kSolid, kBlue});
  c->Polygon({Point{1, 1}, Point{11, 1}, Point{11, 11}});
  EXPECT_EQ(PixelOf(*c, 9, 3), kBlue);
  EXPECT_EQ(PixelOf(*c, 3, 9), kWhite);
  EXPECT_EQ(PixelOf(*c, 0, 0), kWhite);
}

TEST_P(CanvasTest, CompatibleCanvasesCopyWithRasterOperations) {
  auto c = Make(4, 2);
  auto off = c->CreateCompatible(2, 2);
  ASSERT_TRUE(off);
  EXPECT_EQ(PixelOf(*off, 1, 1), kWhite);
  off->FillRect(Rect{0, 0, 1, 2}, kRed);
  c->CopyFrom(Rect{1, 0, 3, 2}, *off, Point{0, 0}, kSrcCopy);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 4, 2}), ".r..\n.r..\n");
  c->CopyFrom(Rect{1, 0, 3, 2}, *off, Point{0, 0}, kSrcInvert);
  EXPECT_EQ(Picture(*c, Rect{0, 0, 4, 2}), ".##.\n.##.\n");
}

// Text: whatever the font, an opaque background covers exactly the text extent, alignment
// moves the box, and clipping holds.
class TextTest : public CanvasTest {
 protected:
  void SetUpFont(Canvas& c) {
    c.SetFont(FontSpec{"Arial", 12});
    c.SetTextColor(0);
    c.SetBkColor(kRed);
  }
  // The bounding box of pixels that are not white.
  static Rect Inked(Canvas& c, int w, int h) {
    Rect r{w, h, 0, 0};
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (PixelOf(c, x, y) != kWhite) {
          r.left = std::min(r.left, x);
          r.top = std::min(r.top, y);
          r.right = std::max(r.right, x + 1);
          r.bottom = std::max(r.bottom, y + 1);
        }
      }
    }
    return r;
  }
};

TEST_P(TextTest, OpaqueBackgroundCoversTheTextExtent) {
  auto c = Make(80, 40);
  SetUpFont(*c);
  Size ext = c->TextExtent(u"Hello");
  TextMetrics m = c->GetTextMetrics();
  ASSERT_GT(ext.cx, 0);
  EXPECT_EQ(ext.cy, m.height);
  EXPECT_EQ(m.height, m.ascent + m.descent);
  c->SetBkMode(BkMode::kOpaque);
  c->TextOut(5, 4, u"Hello");
  EXPECT_EQ(Inked(*c, 80, 40), (Rect{5, 4, 5 + ext.cx, 4 + ext.cy}));
}

TEST_P(TextTest, TransparentTextLeavesTheBackground) {
  auto c = Make(80, 40);
  SetUpFont(*c);
  c->SetBkMode(BkMode::kTransparent);
  c->TextOut(5, 4, u"Hello");
  Size ext = c->TextExtent(u"Hello");
  Rect ink = Inked(*c, 80, 40);
  EXPECT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 5 - 2);
  EXPECT_LE(ink.right, 5 + ext.cx + 2);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 80; ++x) ASSERT_NE(PixelOf(*c, x, y), kRed);
  }
}

// Text drawn after other text starts where the first one's extent ends, so the ink of a long
// run must reach that far: when the glyphs are drawn narrower than measured, a gap opens before
// the next run and a link's underline runs past its text.
TEST_P(TextTest, LongTextInkEndsAtItsExtent) {
  const char16_t* text = u"Put everything the book needs in one folder: pages and pictures, mm";
  for (const char* face : {"Times New Roman", "Arial"}) {
    auto c = Make(700, 40);
    c->SetFont(FontSpec{face, 12});
    c->SetTextColor(0);
    c->SetBkMode(BkMode::kTransparent);
    c->TextOut(5, 4, text);
    int right = 5 + c->TextExtent(text).cx;
    Rect ink = Inked(*c, 700, 40);
    EXPECT_GE(ink.right, right - 3) << face;
    EXPECT_LE(ink.right, right + 2) << face;
  }
}

TEST_P(TextTest, BaselineAlignmentPutsTheBaselineAtY) {
  auto top = Make(80, 40);
  auto base = Make(80, 40);
  SetUpFont(*top);
  SetUpFont(*base);
  int ascent = top->GetTextMetrics().ascent;
  top->TextOut(3, 5, u"Ag");
  base->SetTextAlign(kAlignBaseline);
  base->TextOut(3, 5 + ascent, u"Ag");
  EXPECT_EQ(Picture(*top, Rect{0, 0, 80, 40}), Picture(*base, Rect{0, 0, 80, 40}));
  // Right alignment ends the text at x.
  auto right = Make(80, 40);
  SetUpFont(*right);
  right->SetTextAlign(kAlignRight | kAlignTop);
  right->TextOut(3 + top->TextExtent(u"Ag").cx, 5, u"Ag");
  EXPECT_EQ(Picture(*top, Rect{0, 0, 80, 40}), Picture(*right, Rect{0, 0, 80, 40}));
}

TEST_P(TextTest, ClippedTextStaysInItsRectangle) {
  auto c = Make(80, 40);
  SetUpFont(*c);
  Rect clip{10, 6, 20, 12};
  c->ExtTextOut(5, 4, kTextClipped, &clip, u"WWWWWW");
  Rect ink = Inked(*c, 80, 40);
  EXPECT_FALSE(ink.empty());
  EXPECT_GE(ink.left, clip.left);
  EXPECT_GE(ink.top, clip.top);
  EXPECT_LE(ink.right, clip.right);
  EXPECT_LE(ink.bottom, clip.bottom);
  // An opaque rectangle is filled with the background colour first.
  auto d = Make(40, 20);
  SetUpFont(*d);
  d->SetBkMode(BkMode::kTransparent);
  Rect box{2, 3, 30, 18};
  d->ExtTextOut(40, 30, kTextOpaque | kTextClipped, &box, u"x");
  EXPECT_EQ(Inked(*d, 40, 20), box);
  EXPECT_EQ(PixelOf(*d, 2, 3), kRed);
}

TEST_P(TextTest, ExtentsAddUpAndStylesChangeMetricsConsistently) {
  auto c = Make(10, 10);
  c->SetFont(FontSpec{"Courier New", 10});
  int one = c->TextExtent(u"m").cx;
  EXPECT_EQ(c->TextExtent(u"mmmm").cx, 4 * one);
  EXPECT_EQ(c->TextExtent(u"").cx, 0);
  FontSpec big{"Courier New", 20};
  c->SetFont(big);
  EXPECT_GT(c->GetTextMetrics().height, 0);
  int small_height = 0;
  c->SetFont(FontSpec{"Courier New", 10});
  small_height = c->GetTextMetrics().height;
  c->SetFont(big);
  EXPECT_GT(c->GetTextMetrics().height, small_height);
}

std::string AdapterName(const ::testing::TestParamInfo<CanvasAdapter>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Adapters, CanvasTest, ::testing::ValuesIn(testing::AllCanvasAdapters()),
                         AdapterName);
INSTANTIATE_TEST_SUITE_P(Adapters, TextTest, ::testing::ValuesIn(testing::AllCanvasAdapters()),
                         AdapterName);

}  // namespace
}  // namespace brisomel
