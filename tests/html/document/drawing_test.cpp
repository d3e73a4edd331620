// The drawing helpers, by pixels on the software canvas with the test font (and, in the
// Windows build, the frames and borders on GDI as well).
#include "html/document/drawing.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/headless/software_canvas.h"
#ifdef _WIN32
#include "platform/win32/canvas_gdi.h"
#endif

namespace brisomel {
namespace {

// '.' white, '#' black, 's' silver, 'd' the button-shadow colour, '?' anything else.
std::string Picture(Canvas& c, const Rect& r) {
  const uint32_t shadow = ColorToPixel(c.ResolveColor(kColorBtnShadow));
  Bitmap b = c.ReadPixels(r);
  std::string s;
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      uint32_t p = b.pixels[static_cast<size_t>(y) * b.width + x];
      if (p == 0xFFFFFF) {
        s += '.';
      } else if (p == shadow) {
        s += 'd';
      } else if (p == 0) {
        s += '#';
      } else if (p == 0xC0C0C0) {
        s += 's';
      } else {
        s += '?';
      }
    }
    s += '\n';
  }
  return s;
}

// Canvases to draw frames and borders on: the software canvas, and GDI in the Windows build.
std::vector<std::function<std::unique_ptr<Canvas>(int, int)>> Canvases() {
  std::vector<std::function<std::unique_ptr<Canvas>(int, int)>> v;
  v.push_back([](int w, int h) { return std::make_unique<SoftwareCanvas>(w, h); });
#ifdef _WIN32
  v.push_back([](int w, int h) -> std::unique_ptr<Canvas> { return GdiCanvas::CreateDib(w, h); });
#endif
  return v;
}

// The rows and extent of ink of each band of `line_height` rows.
std::vector<Rect> InkPerLine(SoftwareCanvas& c, int line_height) {
  std::vector<Rect> lines;
  const Bitmap& s = c.surface();
  for (int top = 0; top < s.height; top += line_height) {
    Rect r{s.width, s.height, 0, 0};
    for (int y = top; y < std::min(top + line_height, s.height); ++y) {
      for (int x = 0; x < s.width; ++x) {
        if (s.pixels[static_cast<size_t>(y) * s.width + x] != 0xFFFFFF) {
          r = Rect{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                   std::max(r.bottom, y + 1)};
        }
      }
    }
    lines.push_back(r.empty() ? Rect{} : r);
  }
  return lines;
}

TEST(DrawWrappedTextTest, FillsLinesWordByWordWhileTheyFit) {
  // Test font at 12 points: 8 pixels a character, lines 20 apart, glyphs 11 rows high
  // ending 4 rows above the line's bottom.
  SoftwareCanvas c(60, 80);
  c.SetFont(FontSpec{"Any", 12});
  c.SetBkMode(BkMode::kTransparent);
  c.SetTextAlign(kAlignBaseline | kAlignRight);  // reset by the helper
  DrawWrappedText(c, Rect{0, 0, 50, 65}, u"aa bb  cc dd ee ff gg");
  auto lines = InkPerLine(c, 20);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], (Rect{0, 5, 39, 16}));   // "aa bb": 5 characters
  EXPECT_EQ(lines[1], (Rect{0, 25, 39, 36}));  // "cc dd"
  EXPECT_EQ(lines[2], (Rect{0, 45, 39, 56}));  // "ee ff"
  EXPECT_EQ(lines[3], Rect{});                 // "gg" would end below the rectangle
  EXPECT_EQ(c.text_align(), static_cast<uint32_t>(kAlignLeft | kAlignTop));
}

TEST(DrawWrappedTextTest, LongWordsAreClippedToTheRectangle) {
  SoftwareCanvas c(60, 30);
  c.SetFont(FontSpec{"Any", 12});
  c.SetBkMode(BkMode::kTransparent);
  DrawWrappedText(c, Rect{4, 2, 30, 25}, u"  abcdefghij  ");
  auto lines = InkPerLine(c, 30);
  EXPECT_EQ(lines[0], (Rect{4, 7, 30, 18}));
  // Nothing for empty text or a rectangle lower than one line.
  SoftwareCanvas d(60, 30);
  d.SetFont(FontSpec{"Any", 12});
  DrawWrappedText(d, Rect{0, 0, 60, 30}, u"   ");
  DrawWrappedText(d, Rect{0, 0, 60, 19}, u"ab");
  EXPECT_EQ(InkPerLine(d, 30)[0], Rect{});
}

TEST(DrawControlFrameTest, RaisedAndSunkenFrames) {
  for (auto& make : Canvases()) {
    auto c = make(8, 7);
    ASSERT_TRUE(c);
    c->FillRect(Rect{0, 0, 8, 7}, 0);
    c->SetPen(Pen{PenStyle::kSolid, 3, 0x0000FF});
    c->SetBrush(Brush{BrushStyle::kHollow, 0x00FF00});
    DrawControlFrame(*c, Rect{1, 1, 7, 6}, true);
    EXPECT_EQ(Picture(*c, Rect{0, 0, 8, 7}),
              "########\n"
              "#sssssd#\n"
              "#ssssdd#\n"
              "#ss..dd#\n"
              "#sddddd#\n"
              "#dddddd#\n"
              "########\n");
    EXPECT_EQ(c->pen(), (Pen{PenStyle::kSolid, 3, 0x0000FF}));
    EXPECT_EQ(c->brush(), (Brush{BrushStyle::kHollow, 0x00FF00}));
    DrawControlFrame(*c, Rect{1, 1, 7, 6}, false);
    EXPECT_EQ(Picture(*c, Rect{0, 0, 8, 7}),
              "########\n"
              "#ddddds#\n"
              "#ddddss#\n"
              "#dd..ss#\n"
              "#dsssss#\n"
              "#ssssss#\n"
              "########\n");
  }
}

TEST(DrawControlFrameTest, MonochromeDevicesGetOneBlackLine) {
  SoftwareCanvas c(6, 5);
  DeviceCaps mono;
  mono.bits_per_pixel = 1;
  c.SetDeviceCaps(mono);
  c.FillRect(Rect{0, 0, 6, 5}, 0);
  DrawControlFrame(c, Rect{0, 0, 6, 5}, false);
  EXPECT_EQ(Picture(c, Rect{0, 0, 6, 5}),
            "######\n"
            "#....#\n"
            "#....#\n"
            "#....#\n"
            "######\n");
}

TEST(DrawCellBorderTest, HalvesMeetAtOppositeCorners) {
  for (auto& make : Canvases()) {
    auto c = make(7, 6);
    ASSERT_TRUE(c);
    c->SetPen(Pen{PenStyle::kSolid, 1, 0x0000FF});
    c->MoveTo(3, 3);
    DrawCellBorder(false, 0xFFFFFF, *c, Rect{1, 1, 5, 4}, false);
    EXPECT_EQ(Picture(*c, Rect{0, 0, 7, 6}),
              ".......\n"
              ".dddds.\n"
              ".d...s.\n"
              ".d...s.\n"
              ".dssss.\n"
              ".......\n");
    EXPECT_EQ(c->pen(), (Pen{PenStyle::kSolid, 1, 0x0000FF}));
    EXPECT_EQ(c->position(), (Point{3, 3}));
    DrawCellBorder(false, 0xFFFFFF, *c, Rect{1, 1, 5, 4}, true);
    EXPECT_EQ(Picture(*c, Rect{0, 0, 7, 6}),
              ".......\n"
              ".ssssd.\n"
              ".s...d.\n"
              ".s...d.\n"
              ".sdddd.\n"
              ".......\n");
  }
}

TEST(DrawCellBorderTest, LightHalfDependsOnPageAndPrinting) {
  struct Case {
    bool printing;
    Color background;
    bool monochrome;
    Color dark, light;
  } cases[] = {
      {false, 0x02FFFFFF, false, 0x808080, 0xC0C0C0},    // explicit white, palette-relative
      {false, kColorWindow, false, 0x808080, 0xC0C0C0},  // the window colour while white
      {false, 0xC0C0C0, false, 0x808080, 0xFFFFFF},      // otherwise the highlight colour
      {true, 0x000080, false, 0x808080, 0xC0C0C0},       // printing
      {true, 0x000080, true, 0x000000, 0x000000},        // printing in black and white
      {false, 0x000080, true, 0x000000, 0xFFFFFF},       // a monochrome screen
  };
  for (const auto& k : cases) {
    SoftwareCanvas c(4, 4);
    c.FillRect(Rect{0, 0, 4, 4}, 0x00FF00);
    if (k.monochrome) {
      DeviceCaps mono;
      mono.bits_per_pixel = 1;
      c.SetDeviceCaps(mono);
      // Grey lies nearer white on a monochrome device; black is what printing asks for.
      if (!k.printing) {
        DrawCellBorder(k.printing, k.background, c, Rect{0, 0, 3, 3}, false);
        EXPECT_EQ(c.PixelAt(0, 1), k.light);
        continue;
      }
    }
    DrawCellBorder(k.printing, k.background, c, Rect{0, 0, 3, 3}, false);
    EXPECT_EQ(c.PixelAt(0, 1), k.dark) << std::hex << k.background;
    EXPECT_EQ(c.PixelAt(3, 1), k.light) << std::hex << k.background;
  }
  // A window colour that is not white is not a white page.
  SoftwareCanvas c(4, 4);
  c.SetSystemColor(5, 0x00FFFF);
  DrawCellBorder(false, kColorWindow, c, Rect{0, 0, 3, 3}, false);
  EXPECT_EQ(c.PixelAt(3, 1), 0xFFFFFFu);  // the highlight colour
}

}  // namespace
}  // namespace brisomel
