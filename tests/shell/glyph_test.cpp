// Which glyph each speed button shows, checked by the pixels it paints: the book's bitmaps
// replace the built-in ones where the book has them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fake_environment.h"
#include "shell/application.h"
#include "shell/main_form.h"
#include "shell/main_form_design.h"

namespace brisomel {
namespace {

namespace fs = std::filesystem;

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;  // top-down, 0x00RRGGBB
  uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

Pixels ReadPixels(HBITMAP bitmap) {
  Pixels p;
  BITMAP info;
  GetObjectA(bitmap, sizeof info, &info);
  p.width = info.bmWidth;
  p.height = info.bmHeight;
  p.rgb.resize(static_cast<size_t>(p.width) * p.height);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = p.width;
  bi.bmiHeader.biHeight = -p.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, p.height, p.rgb.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return p;
}

Pixels LoadGlyph(const std::string& file, int resource) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      file.empty() ? LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_BITMAP,
                                0, 0, LR_CREATEDIBSECTION)
                   : LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  Pixels p;
  if (bitmap) {
    p = ReadPixels(bitmap);
    DeleteObject(bitmap);
  }
  return p;
}

Pixels Paint(TSpeedButton& button) {
  RECT rect;
  GetClientRect(button.Handle(), &rect);
  HDC screen = GetDC(nullptr);
  HBITMAP canvas = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, canvas);
  button.PaintTo(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  Pixels p = ReadPixels(canvas);
  DeleteObject(canvas);
  return p;
}

// Counts the opaque pixels of image `index` of `glyph` that the painted button does not show
// at the centred place; `opaque` receives how many there are.
int Mismatches(const Pixels& painted, const Pixels& glyph, int index, int* opaque) {
  const int width = glyph.width / kGlyphImages;
  const uint32_t transparent = glyph.At(0, glyph.height - 1);
  const int x0 = (painted.width - width) / 2;
  const int y0 = (painted.height - glyph.height) / 2;
  int bad = 0;
  *opaque = 0;
  for (int y = 0; y < glyph.height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t want = glyph.At(index * width + x, y);
      if (want == transparent) continue;
      ++*opaque;
      if (painted.At(x0 + x, y0 + y) != want) ++bad;
    }
  }
  return bad;
}

class GlyphTest : public ::testing::Test {
 protected:
  GlyphTest() : app(GetModuleHandleA(nullptr), "Brisomel") {
    app.ShowException = [this](const std::string& text) { shown.push_back(text); };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = fs::path(temp) / ("brisomel-glyph-test-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir);
    env.use_disk = true;
    env.temp = dir.string() + "\\";
  }
  ~GlyphTest() override {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  // Copies the sample book's glyphs, leaving out `missing`.
  void CopyBookGlyphs(const std::string& missing) {
    const fs::path book = fs::path(BRISOMEL_TEST_SOURCE_DIR) / ".." / "examples" / "book";
    for (const auto& design : kSpeedButtons) {
      const std::string name = design.glyph_literal + 1;
      if (name != missing) fs::copy_file(book / name, dir / name);
    }
  }

  // Asserts that button `design` paints image `index` of the book's file or, when `file` is
  // empty, of its built-in glyph.
  void ExpectShows(TForm1& form, const TSpeedButtonDesign& design, bool from_book, int index) {
    SCOPED_TRACE(design.text);
    const Pixels glyph = LoadGlyph(from_book ? (dir / (design.glyph_literal + 1)).string() : "",
                                   design.builtin_glyph);
    ASSERT_GT(glyph.width, 0);
    int opaque = 0;
    EXPECT_EQ(Mismatches(Paint(form.SpeedButton(design.number)), glyph, index, &opaque), 0);
    EXPECT_GT(opaque, 50);
  }

  TApplication app;
  std::vector<std::string> shown;
  FakeEnvironment env;
  fs::path dir;
};

TEST_F(GlyphTest, BookGlyphsReplaceBuiltInOnesExceptWhereTheBookHasNone) {
  CopyBookGlyphs("4open.bmp");
  TForm1 form(app, env);
  ASSERT_TRUE(form.Create());
  EXPECT_TRUE(shown.empty());
  for (const auto& design : kSpeedButtons) {
    const bool from_book = design.number != 7;
    ExpectShows(form, design, from_book, design.enabled_at_start ? 0 : 1);
  }
}

TEST_F(GlyphTest, WithoutAnArchiveEveryButtonKeepsItsBuiltInGlyph) {
  TForm1 form(app, env);
  ASSERT_TRUE(form.Create());
  for (const auto& design : kSpeedButtons) {
    ExpectShows(form, design, false, design.enabled_at_start ? 0 : 1);
  }
  // The built-in and the book's glyphs differ, so the checks above tell them apart.
  CopyBookGlyphs("");
  int opaque = 0;
  EXPECT_GT(Mismatches(Paint(form.SpeedButton(6)), LoadGlyph((dir / "4home.bmp").string(), 0), 0,
                       &opaque),
            opaque / 2);
}

TEST_F(GlyphTest, ADamagedGlyphFileIsReportedAndTheLaterButtonsKeepTheirBuiltInGlyphs) {
  CopyBookGlyphs("4home.bmp");
  std::ofstream(dir / "4home.bmp", std::ios::binary) << "BM not really a bitmap";
  TForm1 form(app, env);
  ASSERT_TRUE(form.Create());
  EXPECT_EQ(shown, (std::vector<std::string>{"Bitmap image is not valid."}));
  // Back, Forward and Open come before Home in the lookup order; the rest were not reached.
  for (const auto& design : kSpeedButtons) {
    const bool before_home = design.number == 1 || design.number == 2 || design.number == 7;
    if (design.number == 6) continue;
    ExpectShows(form, design, before_home, design.enabled_at_start ? 0 : 1);
  }
}

}  // namespace
}  // namespace brisomel
