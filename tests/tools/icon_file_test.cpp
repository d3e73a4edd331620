// Icon files: every kind of image read back with its true size and depth, and a table of
// damaged files, each with the message the packer shows for it.
#include "pack/icon_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "icon_fixture.h"

namespace brisomel::pack {
namespace {

using testing::BitmapImage;
using testing::PngImage;

std::vector<IconImage> EveryKind() {
  return {BitmapImage(16, 16, 1, 0xFFFFFF),  BitmapImage(16, 16, 4, 0xFF0000),
          BitmapImage(32, 32, 8, 0x00FF00),  BitmapImage(32, 32, 16, 0x0000F8),
          BitmapImage(48, 48, 24, 0x123456), BitmapImage(48, 48, 32, 0x654321),
          BitmapImage(20, 12, 32, 0x0000FF), PngImage(256, 256, 0xABCDEF)};
}

TEST(IconFile, ReadsEveryImageWithItsOwnSizeAndDepth) {
  std::vector<IconImage> written = EveryKind();
  std::vector<uint8_t> file = WriteIconFile(written);
  // Directories in the wild often say nothing true about their images: the images tell.
  for (size_t i = 0; i < written.size(); ++i) {
    size_t entry = kIconHeaderSize + i * kIconDirectoryEntrySize;
    file[entry] = file[entry + 1] = file[entry + 2] = 0;
    Store16(file, entry + 4, 0);
    Store16(file, entry + 6, 0);
  }
  std::vector<IconImage> read;
  std::string error;
  ASSERT_TRUE(ReadIconFile(ByteView(file), &read, &error)) << error;
  testing::ExpectSameImages(read, written);
  EXPECT_EQ(read[0].color_count, 2);
  EXPECT_EQ(read[1].color_count, 16);
  EXPECT_EQ(read[2].color_count, 0);  // 256 colours do not fit the field
  EXPECT_EQ(read[7].bit_count, 32);   // RGBA PNG
  EXPECT_EQ(read[6].width, 20);
  EXPECT_EQ(read[6].height, 12);
}

// One image, damaged by `damage` (which gets the whole file and the image's offset).
std::vector<uint8_t> Damaged(IconImage image,
                             std::function<void(std::vector<uint8_t>&, size_t)> damage) {
  std::vector<uint8_t> file = WriteIconFile({image});
  damage(file, kIconHeaderSize + kIconDirectoryEntrySize);
  return file;
}

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes) { return bytes; }

TEST(IconFile, RefusesDamagedFilesSayingWhy) {
  const IconImage bitmap = BitmapImage(16, 16, 4, 0xFF0000);
  const IconImage png = PngImage(32, 32, 0x00FF00);
  const std::vector<uint8_t> good = WriteIconFile({bitmap});
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    std::string error;
  };
  const Case cases[] = {
      {"empty", {}, "is empty"},
      {"too short", Bytes({0, 0, 1}), "is not an icon file"},
      {"text", Bytes({'h', 'e', 'l', 'l', 'o', '!', '!'}), "is not an icon file"},
      {"a PNG picture", png.data, "is a PNG picture, not an icon file"},
      {"a bitmap picture", Bytes({'B', 'M', 0, 0, 0, 0, 0, 0}),
       "is a bitmap picture, not an icon file"},
      {"a cursor", Damaged(bitmap, [](auto& f, size_t) { f[2] = 2; }),
       "is a cursor file, not an icon file"},
      {"no images", Bytes({0, 0, 1, 0, 0, 0}), "holds no images"},
      {"directory cut short", Damaged(bitmap, [](auto& f, size_t) { Store16(f, 4, 50); }),
       "is cut short: its directory of 50 images runs past the end of the file"},
      {"empty image", Damaged(bitmap, [](auto& f, size_t) { Store32(f, 14, 0); }),
       "image 1 is empty"},
      {"image past the end", Damaged(bitmap, [](auto& f, size_t) { Store32(f, 18, 1000); }),
       "image 1 lies outside the file (" + std::to_string(bitmap.data.size()) +
           " bytes at offset 1000 of " + std::to_string(good.size()) + ")"},
      {"image over the directory", Damaged(bitmap, [](auto& f, size_t) { Store32(f, 18, 4); }),
       "image 1 lies outside the file (" + std::to_string(bitmap.data.size()) +
           " bytes at offset 4 of " + std::to_string(good.size()) + ")"},
      {"offset and size wrap around",
       Damaged(bitmap, [](auto& f, size_t) { Store32(f, 18, 0xFFFFFFF0u); Store32(f, 14, 0x20); }),
       "image 1 lies outside the file (32 bytes at offset 4294967280 of " +
           std::to_string(good.size()) + ")"},
      {"PNG without IHDR", Damaged(png, [](auto& f, size_t at) { f[at + 12] = 'X'; }),
       "image 1 is a damaged PNG picture (no IHDR header)"},
      {"PNG cut inside IHDR", Damaged(png, [](auto& f, size_t at) {
         Store32(f, 14, 20);
         f.resize(at + 20);
       }),
       "image 1 is a damaged PNG picture (no IHDR header)"},
      {"PNG of no pixels", Damaged(png, [](auto& f, size_t at) { Store32(f, at + 16, 0); }),
       "image 1 is 0x32 pixels; icon images are 1 to 256 pixels wide and high"},
      {"PNG too large", Damaged(png, [](auto& f, size_t at) { f[at + 18] = 1; f[at + 19] = 1; }),
       "image 1 is 257x32 pixels; icon images are 1 to 256 pixels wide and high"},
      {"PNG of a depth its colour type lacks", Damaged(png, [](auto& f, size_t at) {
         f[at + 24] = 4;
         f[at + 25] = 2;
       }),
       "image 1 is a damaged PNG picture (colour type 2 with 4-bit samples)"},
      {"OS/2 bitmap header", Damaged(bitmap, [](auto& f, size_t at) { Store32(f, at, 12); }),
       "image 1 is neither a PNG picture nor a bitmap (header size 12)"},
      {"header longer than the image", Damaged(bitmap, [](auto& f, size_t at) { Store32(f, at, 124); Store32(f, 14, 100); }),
       "image 1 is too short to hold its bitmap header"},
      {"odd doubled height", Damaged(bitmap, [](auto& f, size_t at) { Store32(f, at + 8, 33); }),
       "image 1 is a bitmap of 16x33 (with its mask); icon images are 1 to 256 pixels wide and "
       "high, the height doubled"},
      {"negative width", Damaged(bitmap, [](auto& f, size_t at) { Store32(f, at + 4, -16); }),
       "image 1 is a bitmap of -16x32 (with its mask); icon images are 1 to 256 pixels wide and "
       "high, the height doubled"},
      {"top-down rows", Damaged(bitmap, [](auto& f, size_t at) { Store32(f, at + 8, -32); }),
       "image 1 is a bitmap of 16x-32 (with its mask); icon images are 1 to 256 pixels wide and "
       "high, the height doubled"},
      {"two planes", Damaged(bitmap, [](auto& f, size_t at) { Store16(f, at + 12, 2); }),
       "image 1 has 2 colour planes (bitmaps have 1)"},
      {"seven bits", Damaged(bitmap, [](auto& f, size_t at) { Store16(f, at + 14, 7); }),
       "image 1 has 7 bits per pixel (1, 4, 8, 16, 24 or 32 are known)"},
      {"run-length compressed", Damaged(bitmap, [](auto& f, size_t at) { Store32(f, at + 16, 2); }),
       "image 1 is a compressed bitmap (method 2); icons hold uncompressed bitmaps"},
      {"colour masks on 4 bits", Damaged(bitmap, [](auto& f, size_t at) { Store32(f, at + 16, 3); }),
       "image 1 is a compressed bitmap (method 3); icons hold uncompressed bitmaps"},
      {"palette larger than the depth", Damaged(bitmap, [](auto& f, size_t at) { Store32(f, at + 32, 17); }),
       "image 1 lists 17 palette colours for 4 bits per pixel"},
      {"pixels cut short", Damaged(bitmap, [](auto& f, size_t) {
         Store32(f, 14, ByteView(f).U32(14) - 1);
         f.pop_back();
       }),
       "image 1 is a 16x16 bitmap of 4 bits per pixel that needs " +
           std::to_string(bitmap.data.size()) + " bytes but holds " +
           std::to_string(bitmap.data.size() - 1)},
      {"huge palette count on 24 bits", Damaged(BitmapImage(2, 2, 24, 1), [](auto& f, size_t at) {
         Store32(f, at + 32, 0xFFFFFFFFu);
       }),
       "image 1 is a 2x2 bitmap of 24 bits per pixel that needs 17179869244 bytes but holds 64"},
      {"second image damaged", [&] {
         std::vector<uint8_t> f = WriteIconFile({bitmap, png});
         Store32(f, ByteView(f).U32(kIconHeaderSize + kIconDirectoryEntrySize + 12), 0);
         return f;
       }(),
       "image 2 is neither a PNG picture nor a bitmap (header size 0)"},
  };
  for (const Case& c : cases) {
    std::vector<IconImage> images;
    std::string error;
    EXPECT_FALSE(ReadIconFile(ByteView(c.file), &images, &error)) << c.name;
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_TRUE(images.empty()) << c.name;
  }
}

}  // namespace
}  // namespace brisomel::pack
