#include "html/images/jpeg_mod.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "html/images/palette.h"
#include "test_support.h"

// clang-format off
#include <cstdio>  // before jpeglib.h, which uses FILE and size_t
#include <jpeglib.h>
// clang-format on
namespace brisomel {
namespace {

using test::Bytes;

#ifdef BRISOMEL_HAVE_PEERS
constexpr int kW = 67, kH = 45;

Bytes Ppm(int w, int h) {
  std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  Bytes b(head.begin(), head.end());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      b.push_back(uint8_t(x * 255 / w));
      b.push_back(uint8_t((y * 7 + x * 3) & 255));
      b.push_back(uint8_t(((x / 8 + y / 8) & 1) ? 220 : 30));
    }
  }
  return b;
}

// A PNM (P5 or P6) as 0x00RRGGBB pixels.
std::vector<uint32_t> Pixels(const Bytes& pnm, int* w, int* h) {
  std::string head(pnm.begin(), pnm.begin() + std::min<size_t>(pnm.size(), 64));
  int maxval = 0;
  char kind = 0;
  int used = 0;
  if (std::sscanf(head.c_str(), "P%c %d %d %d%n", &kind, w, h, &maxval, &used) != 4) return {};
  size_t at = size_t(used) + 1;
  int channels = kind == '6' ? 3 : 1;
  std::vector<uint32_t> out;
  for (size_t i = 0; i < size_t(*w) * *h && at + channels <= pnm.size(); ++i, at += channels) {
    const uint8_t* p = &pnm[at];
    out.push_back(channels == 3 ? uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]
                                : p[0] * 0x010101u);
  }
  return out;
}

class JpegAgainstDjpeg : public testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveTool("cjpeg") || !test::HaveTool("djpeg")) GTEST_SKIP() << "cjpeg/djpeg missing";
    // A folder per test: CTest runs the tests of this fixture side by side.
    dir_ = test::WorkDir(std::string("jpeg-") +
                         testing::UnitTest::GetInstance()->current_test_info()->name());
    test::WriteFile(dir_ + "/in.ppm", Ppm(kW, kH));
  }
  Bytes Make(const std::string& name, const std::string& options) {
    std::string out = dir_ + "/" + name + ".jpg";
    std::string cmd = "cjpeg " + options + " -outfile '" + out + "' '" + dir_ + "/in.ppm'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return test::ReadFile(out);
  }
  std::vector<uint32_t> Djpeg(const std::string& name, const std::string& options = "") {
    int w = 0, h = 0;
    Bytes pnm = test::Capture("djpeg -pnm " + options + " '" + dir_ + "/" + name + ".jpg'");
    auto pixels = Pixels(pnm, &w, &h);
    EXPECT_EQ(w, kW);
    EXPECT_EQ(h, kH);
    return pixels;
  }
  std::string dir_;
};

TEST_F(JpegAgainstDjpeg, TwentyFourBitOutputEqualsDjpeg) {
  struct Case {
    const char* name;
    const char* options;
  } cases[] = {
      {"baseline", "-quality 85"},          {"progressive", "-progressive -quality 70"},
      {"grayscale", "-grayscale"},          {"sampling444", "-sample 1x1 -quality 95"},
      {"restarts", "-restart 1 -optimize"}, {"arithmetic", "-arithmetic"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes jpeg = Make(c.name, c.options);
    auto ours = TJpegMod::Decode(jpeg);
    ASSERT_TRUE(ours);
    ASSERT_EQ(ours->format, Bitmap::Format::kRgb32);
    ASSERT_EQ(ours->pixels, Djpeg(c.name));
  }
}

TEST_F(JpegAgainstDjpeg, EightBitOutputThroughTheSharedPaletteEqualsDjpegWithThatMap) {
  std::vector<uint32_t> palette = MakeSharedPalette();
  std::string head = "P6\n256 1\n255\n";
  Bytes map(head.begin(), head.end());
  for (uint32_t c : palette) map.insert(map.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  test::WriteFile(dir_ + "/map.ppm", map);
  Make("for_map", "-quality 90");
  auto ours = TJpegMod::Decode(test::ReadFile(dir_ + "/for_map.jpg"), palette);
  ASSERT_TRUE(ours);
  ASSERT_EQ(ours->format, Bitmap::Format::kIndexed8);
  ASSERT_EQ(ours->palette, palette);
  auto theirs = Djpeg("for_map", "-map '" + dir_ + "/map.ppm'");
  ASSERT_EQ(theirs.size(), size_t(kW) * kH);
  for (int i = 0; i < kW * kH; ++i) ASSERT_EQ(ours->ColorAt(i % kW, i / kW), theirs[i]) << i;
}

// A progressive file with every AC coefficient of every component in its own scan after the
// first `bands` bands: 1 + 63 * 3 = 190 scans for bands = 63. cjpeg's scan scripts stop at
// 100, so the test writes it with libjpeg itself.
Bytes ManyScans(const Bytes& ppm, int bands) {
  int w = 0, h = 0;
  std::vector<uint32_t> pixels = Pixels(ppm, &w, &h);
  std::vector<jpeg_scan_info> scans;
  scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
  for (int k = 1; k <= 63; ++k) {
    int last = k < bands ? k : 63;
    for (int c = 0; c < 3; ++c) scans.push_back({1, {c, 0, 0, 0}, k, last, 0, 0});
    if (last == 63) break;
  }
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = w, c.image_height = h, c.input_components = 3, c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  c.scan_info = scans.data();
  c.num_scans = int(scans.size());
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(size_t(w) * 3);
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < w; ++x) {
      uint32_t p = pixels[size_t(c.next_scanline) * w + x];
      row[3 * x] = uint8_t(p >> 16), row[3 * x + 1] = uint8_t(p >> 8), row[3 * x + 2] = uint8_t(p);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes b(out, out + size);
  free(out);
  return b;
}

TEST_F(JpegAgainstDjpeg, TooManyProgressiveScansGiveNoImage) {
  Bytes many = ManyScans(Ppm(kW, kH), 63);
  Bytes some = ManyScans(Ppm(kW, kH), 20);  // 1 + 20 * 3 = 61 scans
  test::WriteFile(dir_ + "/many_scans.jpg", many);
  test::WriteFile(dir_ + "/some_scans.jpg", some);
  EXPECT_EQ(Djpeg("many_scans").size(), size_t(kW) * kH);  // valid: djpeg decodes it
  EXPECT_FALSE(TJpegMod::Decode(many));
  auto ok = TJpegMod::Decode(some);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->pixels, Djpeg("some_scans"));
}

TEST_F(JpegAgainstDjpeg, MalformedFiles) {
  Bytes good = Make("good", "-quality 80");
  size_t sof = 0;
  for (size_t i = 0; i + 1 < good.size(); ++i) {
    if (good[i] == 0xFF && good[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  }
  ASSERT_GT(sof, 0u);
  auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    Bytes b = good;
    std::copy(bytes.begin(), bytes.end(), b.begin() + at);
    return b;
  };
  struct Case {
    const char* name;
    Bytes data;
    bool image;
  } cases[] = {
      {"empty", {}, false},
      {"start marker only", {0xFF, 0xD8}, false},
      {"header cut", Bytes(good.begin(), good.begin() + sof + 4), false},
      {"garbage after the start", {0xFF, 0xD8, 1, 2, 3, 4, 5, 6, 7, 8, 9}, false},
      {"zero width", patched(sof + 7, {0, 0}), false},
      {"huge size", patched(sof + 5, {0xFF, 0xF0, 0xFF, 0xF0}), false},
      {"bad precision", patched(sof + 4, {12}), false},
      {"bad component count", patched(sof + 9, {9}), false},
      // Data that ends inside the scan: libjpeg finishes the picture in grey and warns, as
      // djpeg does.
      {"scan cut", Bytes(good.begin(), good.begin() + good.size() * 2 / 3), true},
  };
  for (const Case& c : cases) EXPECT_EQ(bool(TJpegMod::Decode(c.data)), c.image) << c.name;
  EXPECT_FALSE(TJpegMod::Decode(good, {}, kW * kH - 1)) << "over a pixel limit";
}
#endif

// The decoder also runs where djpeg is not around (Wine): a tiny baseline file made by hand
// is not practical, so this checks only that junk gives nothing and never ends the process.
TEST(JpegMod, JunkGivesNoImage) {
  Bytes junk = {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0, 1, 0, 1, 1, 1, 0x11, 0, 0xFF, 0xD9};
  EXPECT_FALSE(TJpegMod::Decode(junk));
  EXPECT_FALSE(TJpegMod::Decode(Bytes(100, 0xFF)));
}

}  // namespace
}  // namespace brisomel
