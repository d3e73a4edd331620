// What only the software canvas has: the test font, FreeType glyphs, PNG output, device
// settings, and staying cheap on absurd coordinates.
#include "platform/headless/software_canvas.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "canvas_adapters.h"
#include "platform/headless/png_writer.h"
#include "text/utf.h"

namespace brisomel {
namespace {

using testing::Picture;

TEST(TestFontTest, MetricsAreSimpleFunctionsOfTheSize) {
  struct Case {
    int points;
    TextMetrics expected;  // height, ascent, descent, internal, external, ave, max, overhang
  } cases[] = {{12, {20, 16, 4, 4, 2, 8, 8, 0}},  // em 16
               {9, {15, 12, 3, 3, 1, 6, 6, 0}},   // em 12
               {3, {5, 4, 1, 1, 0, 2, 2, 0}},     // em 4
               {36, {60, 48, 12, 12, 6, 24, 24, 0}}};
  SoftwareCanvas c(10, 10);
  for (const auto& k : cases) {
    c.SetFont(FontSpec{"Anything", k.points});
    EXPECT_EQ(c.GetTextMetrics(), k.expected) << k.points;
    EXPECT_EQ(c.TextExtent(u"abc"), (Size{3 * k.expected.ave_char_width, k.expected.height}));
  }
  // Bold widens every character by one pixel; a cell height asks for the em that gives it.
  c.SetFont(FontSpec{"Anything", 12, 0, kFontBold});
  EXPECT_EQ(c.TextExtent(u"ab").cx, 18);
  c.SetFont(FontSpec{"Anything", 0, 20});
  EXPECT_EQ(c.GetTextMetrics().height, 20);
}

TEST(TestFontTest, GlyphsAreBoxesOnTheBaseline) {
  SoftwareCanvas c(12, 14);
  c.SetFont(FontSpec{"Any", 0, -10, kFontUnderline});  // em 10: advance 5, box 4 x 7
  c.SetBkMode(BkMode::kTransparent);
  c.SetTextAlign(kAlignBaseline);
  c.TextOut(1, 9, u"a b");
  // "a" at 1..4, the space, then "b" from 11 (one column shows); the underline two rows
  // below the baseline.
  EXPECT_EQ(Picture(c, Rect{0, 0, 12, 14}),
            "............\n"
            "............\n"
            ".####......#\n"
            ".####......#\n"
            ".####......#\n"
            ".####......#\n"
            ".####......#\n"
            ".####......#\n"
            ".####......#\n"
            "............\n"
            "............\n"
            ".###########\n"
            "............\n"
            "............\n");
}

// FreeType and PNG output exist in native builds only.
#ifndef _WIN32
TEST(FreeTypeTest, WindowsFaceNamesGetTheirMetricCompatibleFaces) {
  auto glyphs = std::shared_ptr<GlyphSource>(MakeFreeTypeGlyphSource());
  ASSERT_TRUE(glyphs);
  SoftwareCanvas c(10, 10, glyphs);
  struct Case {
    const char* windows_name;
    const char* liberation_name;
  } cases[] = {{"Times New Roman", "Liberation Serif"},
               {"Arial", "Liberation Sans"},
               {"Courier New", "Liberation Mono"}};
  for (const auto& k : cases) {
    c.SetFont(FontSpec{k.windows_name, 12});
    TextMetrics windows = c.GetTextMetrics();
    int width = c.TextExtent(u"The quick brown fox").cx;
    c.SetFont(FontSpec{k.liberation_name, 12});
    EXPECT_EQ(c.GetTextMetrics(), windows) << k.windows_name;
    EXPECT_EQ(c.TextExtent(u"The quick brown fox").cx, width) << k.windows_name;
    // 12 points at 96 dots per inch: a 16-pixel em in a cell of 18 or 19 pixels.
    EXPECT_GE(windows.height, 17) << k.windows_name;
    EXPECT_LE(windows.height, 20) << k.windows_name;
    EXPECT_EQ(windows.height, windows.ascent + windows.descent);
    EXPECT_EQ(windows.internal_leading, windows.height - 16);
  }
  c.SetFont(FontSpec{"Courier New", 10});
  EXPECT_EQ(c.TextExtent(u"i").cx, c.TextExtent(u"W").cx);
  c.SetFont(FontSpec{"Arial", 10});
  EXPECT_LT(c.TextExtent(u"i").cx, c.TextExtent(u"W").cx);
  // A picture of the three faces for a person to look at.
  SoftwareCanvas sample(560, 130, glyphs);
  sample.SetBkMode(BkMode::kTransparent);
  int y = 6;
  for (const auto& k : cases) {
    for (uint8_t style : {0, kFontBold | kFontItalic | kFontUnderline}) {
      sample.SetFont(FontSpec{k.windows_name, 12, 0, style});
      sample.TextOut(
          6, y,
          AsciiToUtf16(k.windows_name) + u": The quick brown fox € é Ωμέγα Щука 中文 かな 한국");
      y += 20;
    }
  }
  std::string png = std::string(BRISOMEL_BUILD_DIR) + "/freetype_faces.png";
  EXPECT_TRUE(WritePng(sample.surface(), png));
  std::printf("faces drawn to %s\n", png.c_str());
}

// Whatever the script, a character is measured and drawn with ink: from the requested face or,
// where it lacks the character, from an installed face that has it.
TEST(FreeTypeTest, CharactersOfEveryScriptMeasureAndDrawInk) {
  auto glyphs = std::shared_ptr<GlyphSource>(MakeFreeTypeGlyphSource());
  ASSERT_TRUE(glyphs);
  struct Case {
    const char* what;
    std::u16string text;
  } cases[] = {{"Latin", u"\u00E9"},         {"euro sign", u"\u20AC"},
               {"Greek", u"\u03A9"},         {"Cyrillic", u"\u0429"},
               {"CJK ideograph", u"\u4E2D"}, {"hiragana", u"\u304B"},
               {"Hangul", u"\uD55C"},        {"Old Italic (surrogate pair)", u"\U00010300"}};
  for (const auto& k : cases) {
    SoftwareCanvas c(40, 40, glyphs);
    c.SetFont(FontSpec{"Times New Roman", 14});
    c.SetBkMode(BkMode::kTransparent);
    EXPECT_GT(c.TextExtent(k.text).cx, 0) << k.what;
    c.TextOut(4, 4, k.text);
    bool inked = false;
    for (uint32_t p : c.surface().pixels) inked |= p != 0xFFFFFF;
    EXPECT_TRUE(inked) << k.what;
  }
  // A pair is one character: two of them advance twice as far as one.
  SoftwareCanvas c(10, 10, glyphs);
  c.SetFont(FontSpec{"Arial", 14});
  EXPECT_EQ(c.TextExtent(u"\U00010300\U00010300").cx, 2 * c.TextExtent(u"\U00010300").cx);
  // A private-use character no face has, and an unpaired surrogate: drawn without a crash.
  c.TextOut(0, 0, u"\U0010FFFD\xD800" u"a\xDC00");
  EXPECT_GE(c.TextExtent(u"\U0010FFFD\xD800").cx, 0);
}

TEST(SoftwareCanvasTest, WritesPng) {
  SoftwareCanvas c(7, 5);
  c.FillRect(Rect{0, 0, 3, 5}, 0x0000FF);
  std::string path = std::string(BRISOMEL_BUILD_DIR) + "/software_canvas_test.png";
  ASSERT_TRUE(WritePng(c.surface(), path));
  std::ifstream f(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\0\x07\0\0\0\x05", 8));  // IHDR size
  std::remove(path.c_str());
  EXPECT_FALSE(WritePng(Bitmap{}, path));
  EXPECT_FALSE(WritePng(c.surface(), "/nonexistent-dir/x.png"));
}

#endif  // _WIN32

TEST(SoftwareCanvasTest, MonochromeDevicesDrawBlackOrWhiteAndSystemColoursResolve) {
  SoftwareCanvas c(4, 1);
  EXPECT_EQ(c.ResolveColor(kColorBtnShadow), 0x808080u);
  EXPECT_EQ(c.ResolveColor(kColorWindow), 0xFFFFFFu);
  c.SetSystemColor(5, 0x00FFEE);
  EXPECT_EQ(c.ResolveColor(kColorWindow), 0x00FFEEu);
  DeviceCaps mono;
  mono.bits_per_pixel = 1;
  c.SetDeviceCaps(mono);
  EXPECT_TRUE(c.GetDeviceCaps().monochrome());
  EXPECT_EQ(c.GetDeviceCaps().width, 4);
  EXPECT_EQ(c.ResolveColor(0xC0C0C0), 0xFFFFFFu);
  EXPECT_EQ(c.ResolveColor(0x404040), 0u);
  EXPECT_EQ(c.ResolveColor(kColorBtnShadow), 0xFFFFFFu);  // 128 grey lies nearer white
  c.FillRect(Rect{0, 0, 2, 1}, 0x2020F0);
  EXPECT_EQ(Picture(c, Rect{0, 0, 4, 1}), "##..\n");
}

TEST(SoftwareCanvasTest, FontsScaleWithTheMapping) {
  SoftwareCanvas c(100, 100);
  c.SetFont(FontSpec{"Any", 12});
  TextMetrics plain = c.GetTextMetrics();
  Mapping m;
  m.window_extent = Size{96, 96};
  m.viewport_extent = Size{192, 192};
  c.SetMapping(m);
  // In logical units the font keeps its size; on the device it doubles.
  EXPECT_EQ(c.GetTextMetrics(), plain);
  c.SetBkMode(BkMode::kOpaque);
  c.SetBkColor(0x0000FF);
  c.TextOut(0, 0, u"ab");
  EXPECT_EQ(c.PixelAt(2 * 2 * plain.ave_char_width - 1, 2 * plain.height - 1), 0x0000FFu);
  EXPECT_EQ(c.PixelAt(2 * 2 * plain.ave_char_width, 0), 0xFFFFFFu);
}

TEST(SoftwareCanvasTest, AbsurdCoordinatesStayCheap) {
  const int big = 2000000000;
  auto start = std::chrono::steady_clock::now();
  SoftwareCanvas c(50, 40);
  c.SetPen(Pen{PenStyle::kSolid, 7, 0});
  c.SetBrush(Brush{BrushStyle::kSolid, 0x0000FF});
  c.Ellipse(Rect{-big, -big, big, big});
  c.Rectangle(Rect{-big, -big, big, big});
  c.Polygon({{-big, -big}, {big, -big}, {0, big}});
  c.MoveTo(-big, -big);
  c.LineTo(big, big);
  c.Arc(Rect{-big, -big, big, big}, Point{0, -big}, Point{-big, 0});
  c.SetPen(Pen{PenStyle::kSolid, 1, 0});
  c.MoveTo(-big, 3);
  c.LineTo(big, 5);
  Bitmap b = Bitmap::Rgb32(3, 3, 0x00FF00);
  c.StretchBitmap(Rect{-big, -big, big, big}, b, Rect{0, 0, 3, 3}, kSrcCopy);
  EXPECT_EQ(c.PixelAt(25, 20), 0x00FF00u);
  // Shrinking a source rectangle far larger than the bitmap (found by the fuzzer: the AND and
  // OR scans walked all of it): outside pixels read black.
  c.SetStretchMode(StretchMode::kWhiteOnBlack);
  c.StretchBitmap(Rect{0, 0, 2, 2}, b, Rect{-big, -big, big, big}, kSrcCopy);
  EXPECT_EQ(c.PixelAt(1, 1), 0x00FF00u);
  c.SetStretchMode(StretchMode::kBlackOnWhite);
  c.StretchBitmap(Rect{0, 0, 2, 2}, b, Rect{big, big, -big, -big}, kSrcCopy);
  EXPECT_EQ(c.PixelAt(1, 1), 0u);
  Mapping m;
  m.window_extent = Size{1, 1};
  m.viewport_extent = Size{big, big};
  c.SetMapping(m);
  c.FillRect(Rect{-big, -big, big, big}, 0x0000FF);
  c.SetFont(FontSpec{"Any", big});
  c.TextOut(0, 0, u"x");
  c.ResetMapping();
  c.SetPen(Pen{PenStyle::kSolid, 1 << 29, 0});
  c.Rectangle(Rect{5, 5, 30, 30});
  c.MoveTo(-big, 0);
  c.LineTo(big, 10);
  c.Ellipse(Rect{5, 5, 30, 30});
  c.SetPen(Pen{PenStyle::kInsideFrame, 1 << 29, 0});
  c.Rectangle(Rect{-big, -big, big, big});
  // Huge type from FreeType: glyph images stay bounded.
  if (auto glyphs = std::shared_ptr<GlyphSource>(MakeFreeTypeGlyphSource())) {
    SoftwareCanvas t(50, 40, glyphs);
    t.SetFont(FontSpec{"Arial", 100000});
    t.TextOut(-300, -300, std::u16string(200, u'W'));
    EXPECT_GT(t.TextExtent(u"WW").cx, 0);
  }
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 5.0);
}

}  // namespace
}  // namespace brisomel
