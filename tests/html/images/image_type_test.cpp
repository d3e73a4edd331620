#include "html/images/image_type.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "gif_builder.h"

namespace brisomel {
namespace {

using test::Bytes;
using test::Text;

TEST(ImageType, FirstBytes) {
  struct Case {
    Bytes bytes;
    TImageType type;
  } cases[] = {
      {Text("BM\x36\x00"), itBitmap},
      {Text("GIF87a"), itGif},
      {Text("GIF89a"), itGif89},
      {Text("GIF8"), itGif},
      {Text("GIF80"), itGif},
      {Text("GIF9"), itUnknown},
      {Text("\x89PNG\r\n"), itPng},
      {{0xFF, 0xD8, 0xFF}, itJpeg},
      {{0xFF, 0xD9}, itUnknown},
      {Text("bm"), itUnknown},
      {{}, itUnknown},
      {Text("B"), itUnknown},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ImageTypeOf(c.bytes), c.type) << std::string(c.bytes.begin(), c.bytes.end());
}

uint32_t Table(int i) { return uint32_t(0x102030 * (i + 1)) & 0xFFFFFF; }

TEST(ImageType, GifTransparentColourComesFromTheControlAfterTheGlobalTable) {
  auto with_control = [](bool gif89, int bits, int transparent) {
    test::GifBuilder g(2, 2, bits, Table, gif89);
    g.Control(0, 0, transparent);
    return g.Image(0, 0, 2, 2, {0, 1, 0, 1}).Done();
  };
  EXPECT_EQ(GifTransparentColor(with_control(true, 2, 3)), Table(3));
  EXPECT_EQ(GifTransparentColor(with_control(true, 8, 200)), Table(200));
  EXPECT_FALSE(GifTransparentColor(with_control(false, 2, 3))) << "GIF87a";
  EXPECT_FALSE(GifTransparentColor(with_control(true, 2, -1))) << "no transparency bit";
  EXPECT_FALSE(GifTransparentColor(with_control(true, 0, 1))) << "no global table";
  // Something between the table and the control block hides it.
  test::GifBuilder commented(2, 2, 2, Table);
  EXPECT_FALSE(
      GifTransparentColor(commented.Comment("x").Control(0, 0, 1).Image(0, 0, 1, 1, {0}).Done()));
  // A 256-colour table puts the block past 790 bytes only with more in front; cut short here.
  Bytes cut = with_control(true, 8, 5);
  cut.resize(13 + 768 + 3);
  EXPECT_FALSE(GifTransparentColor(cut));
}

// The chunk's length, type, data and a CRC of zero (not checked).
Bytes Chunk(const char* type, const Bytes& data) {
  Bytes b(4 + 4 + data.size() + 4);
  const uint32_t length = uint32_t(data.size());
  for (int i = 0; i < 4; ++i) {
    b[i] = uint8_t(length >> (24 - 8 * i));
    b[4 + i] = uint8_t(type[i]);
  }
  std::copy(data.begin(), data.end(), b.begin() + 8);
  return b;
}
Bytes Png(std::initializer_list<Bytes> chunks) {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (const Bytes& c : chunks) b.insert(b.end(), c.begin(), c.end());
  return b;
}
Bytes Ihdr(uint8_t colour_type) {
  return Chunk("IHDR", {0, 0, 0, 4, 0, 0, 0, 4, 8, colour_type, 0, 0, 0});
}

TEST(ImageType, PngTransparentColourWalksTheChunks) {
  Bytes plte = Chunk("PLTE", {0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
  struct Case {
    const char* name;
    Bytes file;
    std::optional<uint32_t> colour;
  } cases[] = {
      {"palette with tRNS", Png({Ihdr(3), plte, Chunk("tRNS", {0})}), 0x112233},
      {"alpha 126", Png({Ihdr(3), plte, Chunk("tRNS", {126})}), 0x112233},
      {"alpha 127 is opaque", Png({Ihdr(3), plte, Chunk("tRNS", {127})}), std::nullopt},
      {"tRNS before PLTE", Png({Ihdr(3), Chunk("tRNS", {0}), plte}), std::nullopt},
      {"IDAT ends the walk", Png({Ihdr(3), plte, Chunk("IDAT", {1}), Chunk("tRNS", {0})}),
       std::nullopt},
      {"truecolour", Png({Ihdr(2), plte, Chunk("tRNS", {0, 0, 0, 0, 0, 0})}), std::nullopt},
      {"other chunks skipped",
       Png({Ihdr(3), Chunk("gAMA", {0, 0, 1, 2}), plte, Chunk("tRNS", {5})}), 0x112233},
      {"empty tRNS", Png({Ihdr(3), plte, Chunk("tRNS", {})}), std::nullopt},
      {"short IHDR", Png({Chunk("IHDR", {0, 0}), plte, Chunk("tRNS", {0})}), std::nullopt},
      {"chunk longer than the file",
       Png({Ihdr(3), Bytes{0x7F, 0xFF, 0xFF, 0xFF, 'P', 'L', 'T', 'E', 1}}), std::nullopt},
      {"length 0xFFFFFFFF", Png({Ihdr(3), Bytes{0xFF, 0xFF, 0xFF, 0xFF, 'P', 'L', 'T', 'E'}}),
       std::nullopt},
      {"signature only", Png({}), std::nullopt},
      {"too short", Bytes{0x89, 'P'}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(PngTransparentColor(c.file), c.colour) << c.name;
}

}  // namespace
}  // namespace brisomel
