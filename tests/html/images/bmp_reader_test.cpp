#include "html/images/bmp_reader.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_support.h"

namespace brisomel {
namespace {

using test::Bytes;
using test::Put16;
using test::Put32;

constexpr int kW = 13;  // odd, so that every bit depth pads its rows
constexpr int kH = 7;

uint32_t Palette16(int i) {
  return uint32_t(i * 16 + 5) << 16 | uint32_t(255 - i * 9) << 8 | uint32_t(i * 7);
}
int IndexAt(int x, int y, int colours) { return (x * 3 + y * 5) % colours; }
uint32_t ColourAt(int x, int y) {
  return uint32_t(x * 19) << 16 | uint32_t(y * 37) << 8 | uint32_t((x * y * 11) & 255);
}

struct BmpSpec {
  int header_size = 40;  // 12: core header
  int bits = 24;
  uint32_t compression = 0;
  bool top_down = false;
  int colours = 0;  // palette entries written
  std::vector<uint32_t> masks;
};

// A bitmap file whose pixel rows come from `row(y)` (y counted as stored, file order).
Bytes MakeBmp(const BmpSpec& s, const std::function<Bytes(int stored_row)>& row, Bytes rle = {}) {
  Bytes palette;
  for (int i = 0; i < s.colours; ++i) {
    uint32_t c = Palette16(i);
    palette.push_back(uint8_t(c)), palette.push_back(uint8_t(c >> 8)),
        palette.push_back(uint8_t(c >> 16));
    if (s.header_size != 12) palette.push_back(0);
  }
  Bytes masks;
  if (s.header_size == 40) {
    for (uint32_t m : s.masks) Put32(masks, m);
  }
  Bytes data = rle;
  if (rle.empty()) {
    for (int r = 0; r < kH; ++r) {
      Bytes bytes = row(r);
      bytes.resize((bytes.size() + 3) / 4 * 4, 0);
      data.insert(data.end(), bytes.begin(), bytes.end());
    }
  }
  Bytes info;
  Put32(info, s.header_size);
  if (s.header_size == 12) {
    Put16(info, kW), Put16(info, kH), Put16(info, 1), Put16(info, s.bits);
  } else {
    Put32(info, kW), Put32(info, s.top_down ? uint32_t(-kH) : kH), Put16(info, 1),
        Put16(info, s.bits);
    Put32(info, s.compression), Put32(info, uint32_t(data.size())), Put32(info, 2835),
        Put32(info, 2835);
    Put32(info, s.colours), Put32(info, 0);
    if (s.header_size >= 52) {
      for (size_t i = 0; i < 3; ++i) Put32(info, i < s.masks.size() ? s.masks[i] : 0);
    }
    info.resize(s.header_size, 0);
  }
  uint32_t offset = uint32_t(14 + info.size() + masks.size() + palette.size());
  Bytes f = {'B', 'M'};
  Put32(f, uint32_t(offset + data.size())), Put32(f, 0), Put32(f, offset);
  for (const Bytes* part : {&info, &masks, &palette, &data})
    f.insert(f.end(), part->begin(), part->end());
  return f;
}

int ImageRow(const BmpSpec& s, int stored) { return s.top_down ? stored : kH - 1 - stored; }

Bytes IndexedRow(const BmpSpec& s, int stored) {
  int y = ImageRow(s, stored);
  Bytes out((kW * s.bits + 7) / 8, 0);
  for (int x = 0; x < kW; ++x) {
    int v = IndexAt(x, y, s.colours);
    int bit = x * s.bits;
    out[bit / 8] |= uint8_t(v << (8 - s.bits - bit % 8));
  }
  return out;
}

struct Flavour {
  const char* name;
  BmpSpec shape;
};

// A 5-5-5 or 5-6-5 pixel of the colour, as the file stores it.
uint16_t Pack16(uint32_t c, bool six) {
  uint32_t r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
  return six ? uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3))
             : uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
}

Bytes DirectRow(const BmpSpec& s, int stored) {
  int y = ImageRow(s, stored);
  Bytes out;
  for (int x = 0; x < kW; ++x) {
    uint32_t c = ColourAt(x, y);
    if (s.bits == 24) {
      out.push_back(uint8_t(c)), out.push_back(uint8_t(c >> 8)), out.push_back(uint8_t(c >> 16));
    } else if (s.bits == 32) {
      if (!s.masks.empty() && s.masks[0] == 0xFF) {
        Put32(out, (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16));  // red in the low byte
      } else {
        Put32(out, c | 0xAB000000);  // the unused byte must not leak into the colour
      }
    } else {
      Put16(out, Pack16(c, !s.masks.empty() && s.masks[1] == 0x07E0));
    }
  }
  return out;
}

// Expands n bits to 8 by repeating them, as the decoder does.
uint32_t Widen(uint32_t v, int bits) {
  uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += bits) {
    int take = 8 - filled;
    out |= take >= bits ? v << (take - bits) : v >> (bits - take);
  }
  return out & 255;
}

uint32_t Expected(const BmpSpec& s, int x, int y) {
  if (s.bits <= 8) return Palette16(IndexAt(x, y, s.colours));
  uint32_t c = ColourAt(x, y);
  if (s.bits != 16) return c;
  bool six = !s.masks.empty() && s.masks[1] == 0x07E0;
  uint32_t r = (c >> 16) >> 3, g = ((c >> 8) & 255) >> (six ? 2 : 3), b = (c & 255) >> 3;
  return Widen(r, 5) << 16 | Widen(g, six ? 6 : 5) << 8 | Widen(b, 5);
}

const Flavour kFlavours[] = {
    {"1bit", {40, 1, 0, false, 2, {}}},
    {"4bit", {40, 4, 0, false, 16, {}}},
    {"8bit", {40, 8, 0, false, 16, {}}},
    {"8bit_topdown", {40, 8, 0, true, 16, {}}},
    {"16bit_555", {40, 16, 0, false, 0, {}}},
    {"16bit_565_fields", {40, 16, 3, false, 0, {0xF800, 0x07E0, 0x001F}}},
    {"16bit_565_v5", {124, 16, 3, false, 0, {0xF800, 0x07E0, 0x001F}}},
    {"24bit", {40, 24, 0, false, 0, {}}},
    {"24bit_topdown", {40, 24, 0, true, 0, {}}},
    {"24bit_v4", {108, 24, 0, false, 0, {}}},
    {"32bit", {40, 32, 0, false, 0, {}}},
    {"32bit_fields_swapped", {40, 32, 3, false, 0, {0x0000FF, 0x00FF00, 0xFF0000}}},
    {"core_4bit", {12, 4, 0, false, 16, {}}},
    {"core_24bit", {12, 24, 0, false, 0, {}}},
};

Bytes MakeFlavour(const BmpSpec& s) {
  return MakeBmp(s, [&](int r) { return s.bits <= 8 ? IndexedRow(s, r) : DirectRow(s, r); });
}

TEST(BmpReader, EveryFlavourDecodesToItsPixels) {
  for (const Flavour& f : kFlavours) {
    SCOPED_TRACE(f.name);
    auto bmp = ReadWindowsBitmap(MakeFlavour(f.shape));
    ASSERT_TRUE(bmp);
    ASSERT_EQ(bmp->width, kW);
    ASSERT_EQ(bmp->height, kH);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(bmp->ColorAt(x, y), Expected(f.shape, x, y)) << x << "," << y;
    }
  }
}

// RLE8: row 0 by runs, row 1 literally (odd count, padded), then a delta over part of rows 2
// and 3, then the end of the bitmap: what no code reaches keeps index 0.
Bytes Rle8Data() {
  return Bytes{5, 1, 8, 2, 0, 0,                                              // row 0: 5 x 1, 8 x 2
               0, 13, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 0, 0,  // row 1
               3, 4, 0, 2, 2, 1, 2, 5,                                    // row 2: 3 x 4, skip
               0, 1};                                                     // end
}
Bytes Rle4Data() {
  Bytes d;
  d.insert(d.end(), {5, 0x12, 8, 0x33, 0, 0});  // row 0: 1 2 1 2 1, 8 x 3
  d.insert(d.end(), {0, 13, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xC0, 0, 0, 0});  // row 1
  d.insert(d.end(), {3, 0x44, 0, 2, 2, 1, 2, 0x55});  // row 2, skip, row 3
  d.insert(d.end(), {0, 1});
  return d;
}

std::vector<int> Rle8Indices() {
  std::vector<int> rows(kW * kH, 0);  // stored rows (bottom first)
  for (int x = 0; x < 13; ++x) rows[x] = x < 5 ? 1 : 2;
  for (int x = 0; x < 13; ++x) rows[kW + x] = x;
  for (int x = 0; x < 3; ++x) rows[2 * kW + x] = 4;
  rows[3 * kW + 5] = rows[3 * kW + 6] = 5;
  return rows;
}
std::vector<int> Rle4Indices() {
  std::vector<int> rows(kW * kH, 0);
  for (int x = 0; x < 13; ++x) rows[x] = x < 5 ? (x % 2 ? 2 : 1) : 3;
  for (int x = 0; x < 13; ++x) rows[kW + x] = x;
  for (int x = 0; x < 3; ++x) rows[2 * kW + x] = 4;
  rows[3 * kW + 5] = rows[3 * kW + 6] = 5;
  return rows;
}

TEST(BmpReader, RunLengthCodesFillRowsAndSkip) {
  struct Case {
    const char* name;
    BmpSpec shape;
    Bytes data;
    std::vector<int> indices;
  } cases[] = {{"rle8", {40, 8, 1, false, 16, {}}, Rle8Data(), Rle8Indices()},
               {"rle4", {40, 4, 2, false, 16, {}}, Rle4Data(), Rle4Indices()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bmp = ReadWindowsBitmap(MakeBmp(c.shape, nullptr, c.data));
    ASSERT_TRUE(bmp);
    for (int stored = 0; stored < kH; ++stored) {
      for (int x = 0; x < kW; ++x) {
        ASSERT_EQ(bmp->ColorAt(x, kH - 1 - stored), Palette16(c.indices[stored * kW + x]))
            << x << "," << stored;
      }
    }
  }
}

TEST(BmpReader, MalformedFilesGiveNoImage) {
  BmpSpec eight{40, 8, 0, false, 16, {}};
  Bytes good = MakeFlavour(eight);
  auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    Bytes b = good;
    for (uint8_t v : bytes) b.at(at++) = v;
    return b;
  };
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"signature only", {'B', 'M'}},
      {"no info header", Bytes(good.begin(), good.begin() + 20)},
      {"pixels cut short", Bytes(good.begin(), good.end() - 1)},
      {"palette cut short", Bytes(good.begin(), good.begin() + 60)},
      {"header size 39", with(14, {39, 0, 0, 0})},
      {"header size past the end", with(14, {0, 0, 1, 0})},
      {"zero width", with(18, {0, 0, 0, 0})},
      {"negative width", with(18, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"zero height", with(22, {0, 0, 0, 0})},
      {"too large", with(18, {0, 0x40, 0x01, 0, 0, 0x40, 0x01, 0})},
      {"bit count 7", with(28, {7, 0})},
      {"bit count 0", with(28, {0, 0})},
      {"jpeg compression", with(30, {4, 0, 0, 0})},
      {"unknown compression", with(30, {9, 0, 0, 0})},
      {"rle8 with 4 bits", with(28, {4, 0, 1, 0})},
      {"bit fields with 8 bits", with(30, {3, 0, 0, 0})},
      {"top-down rle", MakeBmp({40, 8, 1, true, 16, {}}, nullptr, Rle8Data())},
      {"huge colour count", with(46, {0xFF, 0xFF, 0xFF, 0x7F})},
  };
  for (const Case& c : cases) EXPECT_FALSE(ReadWindowsBitmap(c.file)) << c.name;
}

TEST(BmpReader, RunLengthDataThatEndsEarlyKeepsWhatItDrew) {
  Bytes data = Rle8Data();
  data.resize(4);  // row 0's first run and half of the second
  auto bmp = ReadWindowsBitmap(MakeBmp({40, 8, 1, false, 16, {}}, nullptr, data));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->ColorAt(0, kH - 1), Palette16(1));
  EXPECT_EQ(bmp->ColorAt(12, kH - 1), Palette16(2));
  EXPECT_EQ(bmp->ColorAt(0, 0), Palette16(0));
}

TEST(BmpReader, OutOfRangeIndicesAndHostileRunsStayInBounds) {
  // 4 palette entries, indices up to 15, long runs and deltas far outside the image.
  Bytes data = {255, 0xFF, 0, 2, 255, 255, 200, 7, 0, 0, 0, 255};
  for (int i = 0; i < 255; ++i) data.push_back(uint8_t(i));
  auto bmp = ReadWindowsBitmap(MakeBmp({40, 8, 1, false, 4, {}}, nullptr, data));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->ColorAt(0, kH - 1), 0u);  // index 255 has no entry: black
}

#ifdef BRISOMEL_HAVE_PEERS
// ImageMagick's reading of the same files: every flavour above, both run-length codings.
TEST(BmpReader, EqualsImageMagickOnEveryFlavour) {
  if (!test::HaveTool("convert")) GTEST_SKIP() << "ImageMagick's convert is not installed";
  std::string dir = test::WorkDir("bmp");
  std::vector<std::pair<std::string, Bytes>> files;
  for (const Flavour& f : kFlavours) files.emplace_back(f.name, MakeFlavour(f.shape));
  files.emplace_back("rle8", MakeBmp({40, 8, 1, false, 16, {}}, nullptr, Rle8Data()));
  files.emplace_back("rle4", MakeBmp({40, 4, 2, false, 16, {}}, nullptr, Rle4Data()));
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    std::string path = dir + "/" + name + ".bmp";
    test::WriteFile(path, bytes);
    // ImageMagick warns (and exits non-zero) about run-length data that ends the bitmap
    // early, but still writes the picture it read.
    Bytes rgb = test::Capture("convert '" + path + "' -depth 8 rgb:- 2>/dev/null");
    ASSERT_EQ(rgb.size(), size_t{kW} * kH * 3);
    auto bmp = ReadWindowsBitmap(bytes);
    ASSERT_TRUE(bmp);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * kW + x) * 3];
        uint32_t theirs = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        ASSERT_EQ(bmp->ColorAt(x, y), theirs) << x << "," << y;
      }
    }
  }
}
#endif

}  // namespace
}  // namespace brisomel
