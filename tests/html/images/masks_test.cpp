#include "html/images/masks.h"

#include <gtest/gtest.h>

#include "html/images/palette.h"

namespace brisomel {
namespace {

Bitmap Picture() {
  // Row 0: white red white; row 1 (bottom): white blue red.
  Bitmap b = Bitmap::Rgb32(3, 2);
  b.pixels = {0xFFFFFF, 0xFF0000, 0xFFFFFF, 0xFFFFFF, 0x0000FF, 0xFF0000};
  return b;
}

TEST(Masks, MaskFromTheBottomLeftPixelOrAGivenColour) {
  auto bottom_left = MakeMask(Picture(), false, 0x123456);
  ASSERT_TRUE(bottom_left);
  EXPECT_EQ(bottom_left->format, Bitmap::Format::kMask1);
  EXPECT_EQ(bottom_left->indices, (std::vector<uint8_t>{1, 0, 1, 1, 0, 0}));
  auto red = MakeMask(Picture(), true, 0xFF0000);
  EXPECT_EQ(red->indices, (std::vector<uint8_t>{0, 1, 0, 0, 0, 1}));
  Bitmap stray_byte = Picture();
  stray_byte.pixels[0] |= 0xFF000000;  // the unused byte does not count
  EXPECT_EQ(MakeMask(stray_byte, false, 0)->indices[0], 1);
  EXPECT_FALSE(MakeMask(Bitmap(), false, 0));
}

TEST(Masks, EightBitMasksMatchThePaletteEntryOfTheColour) {
  Bitmap b;
  b.format = Bitmap::Format::kIndexed8;
  b.width = 3, b.height = 1;
  b.palette = {0x000000, 0xFE0000, 0x00FF00};
  b.indices = {0, 1, 2};
  // Pure red is nearest to entry 1: its pixels become transparent.
  EXPECT_EQ(MakeMask(b, true, 0xFF0000)->indices, (std::vector<uint8_t>{0, 1, 0}));
  EXPECT_EQ(MakeMask(b, false, 0)->indices, (std::vector<uint8_t>{1, 0, 0}));
}

TEST(Masks, SharedPaletteLayout) {
  std::vector<uint32_t> p = MakeSharedPalette();
  ASSERT_EQ(p.size(), 256u);
  EXPECT_EQ(p[0], 0x000000u);
  EXPECT_EQ(p[9], 0xA6CAF0u);
  EXPECT_EQ(p[10], 0x373737u);   // the cube starts at 55, 55, 55
  EXPECT_EQ(p[11], 0x733737u);   // red moves fastest
  EXPECT_EQ(p[16], 0x377337u);   // then green
  EXPECT_EQ(p[46], 0x373773u);   // blue slowest
  EXPECT_EQ(p[224], 0xEBFFFFu);  // the last cube entry: all 255 left out
  EXPECT_EQ(p[225], 0x878787u);  // greys from 135
  EXPECT_EQ(p[248], 0xFAFAFAu);  // to 250
  EXPECT_EQ(p[249], 0xFF0000u);  // then system colours again
  EXPECT_EQ(p[255], 0xFFFFFFu);
  EXPECT_EQ(NearestPaletteIndex(p, 0xFFFFFF), 255);
  EXPECT_EQ(NearestPaletteIndex(p, 0x383838), 10);
}

TEST(Masks, RemapGoesThroughTheSharedPaletteOnlyWhenThereIsOne) {
  auto unchanged = RemapToPalette(std::make_unique<Bitmap>(Picture()), {});
  EXPECT_EQ(unchanged->format, Bitmap::Format::kRgb32);
  std::vector<uint32_t> p = MakeSharedPalette();
  auto remapped = RemapToPalette(std::make_unique<Bitmap>(Picture()), p);
  ASSERT_EQ(remapped->format, Bitmap::Format::kIndexed8);
  EXPECT_EQ(remapped->palette, p);
  EXPECT_EQ(remapped->ColorAt(0, 0), 0xFFFFFFu);
  EXPECT_EQ(remapped->ColorAt(1, 1), 0x0000FFu);
  EXPECT_EQ(remapped->indices[1], NearestPaletteIndex(p, 0xFF0000));
  EXPECT_EQ(RemapToPalette(nullptr, p), nullptr);
}

TEST(Masks, DeviceIndependentCopies) {
  struct Case {
    Bitmap bitmap;
    int bits;
    size_t row;
  } cases[] = {
      {Picture(), 24, 12}, {Bitmap::Mask(33, 2, 1), 1, 8}, {Bitmap::Rgb32(1, 1, 0x123456), 24, 4}};
  for (const Case& c : cases) {
    auto dib = TDib::Create(c.bitmap);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->BitCount(), c.bits);
    EXPECT_EQ(dib->RowBytes(), c.row);
    EXPECT_EQ(dib->ImageSize(), c.row * c.bitmap.height);
    Bitmap back = dib->MakeDeviceBitmap();
    for (int y = 0; y < c.bitmap.height; ++y) {
      for (int x = 0; x < c.bitmap.width; ++x)
        EXPECT_EQ(back.ColorAt(x, y), c.bitmap.ColorAt(x, y));
    }
  }
  // Rows are stored bottom-up: the first bytes are the bottom row's blue pixel.
  auto dib = TDib::Create(Picture());
  EXPECT_EQ(dib->Bits()[3], 0xFF);
  EXPECT_EQ(dib->Bits()[5], 0x00);
  EXPECT_FALSE(TDib::Create(Bitmap()));
}

}  // namespace
}  // namespace brisomel
