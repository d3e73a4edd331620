// PNG decoding: equal to ImageMagick's decoding on files ImageMagick makes for every colour
// type and bit depth (interlaced, tRNS, alpha) and on the PNG files of Debian's documentation
// packages; malformed files; masks and the loaders.
#include "html/images/png_image.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "html/images/image_loading.h"
#include "png_writer.h"
#include "test_support.h"

namespace brisomel {
namespace {

using test::Bytes;

// 0xAARRGGBB of every pixel.
std::vector<uint32_t> Argb(const TPngImage& png) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < png.bitmap.pixels.size(); ++i) {
    const uint32_t a = png.alpha.empty() ? 0xFF : png.alpha[i];
    out.push_back(a << 24 | png.bitmap.pixels[i]);
  }
  return out;
}

#ifdef BRISOMEL_HAVE_PEERS
// ImageMagick's reading of a PNG as 0xAARRGGBB pixels; empty when it cannot read it. Its
// samples are taken at 16 bits and rounded to the nearest 8-bit value, as the decoder scales
// 16-bit files (ImageMagick's own "-depth 8" truncates instead).
std::vector<uint32_t> MagickArgb(const std::string& path, int& width, int& height) {
  bool ok = false;
  Bytes size = test::Capture("identify -format '%w %h' '" + path + "[0]' 2>/dev/null", &ok);
  if (!ok ||
      std::sscanf(std::string(size.begin(), size.end()).c_str(), "%d %d", &width, &height) != 2)
    return {};
  Bytes rgba =
      test::Capture("convert '" + path + "[0]' -depth 16 -endian MSB rgba:- 2>/dev/null", &ok);
  std::vector<uint32_t> out;
  if (!ok) return out;
  auto sample = [&](size_t at) {
    const uint32_t v = uint32_t{rgba[at]} << 8 | rgba[at + 1];
    return (v * 255 + 32767) / 65535;
  };
  for (size_t i = 0; i + 7 < rgba.size(); i += 8)
    out.push_back(sample(i + 6) << 24 | sample(i) << 16 | sample(i + 2) << 8 | sample(i + 4));
  return out;
}

// Compares our decoding of the file with ImageMagick's; colours of fully transparent pixels
// are not compared (ImageMagick may keep or drop them).
void ExpectSameAsMagick(const std::string& path) {
  SCOPED_TRACE(path);
  int width = 0, height = 0;
  std::vector<uint32_t> expected = MagickArgb(path, width, height);
  ASSERT_FALSE(expected.empty());
  std::optional<TPngImage> png = TPngImage::Decode(test::ReadFile(path));
  ASSERT_TRUE(png);
  ASSERT_EQ(png->bitmap.width, width);
  ASSERT_EQ(png->bitmap.height, height);
  std::vector<uint32_t> ours = Argb(*png);
  ASSERT_EQ(ours.size(), expected.size());
  int differences = 0;
  for (size_t i = 0; i < ours.size(); ++i) {
    const bool clear = (expected[i] >> 24) == 0 && (ours[i] >> 24) == 0;
    if (!clear && ours[i] != expected[i] && ++differences <= 3)
      ADD_FAILURE() << "pixel " << i << ": ours " << std::hex << ours[i] << ", ImageMagick "
                    << expected[i];
  }
  EXPECT_EQ(differences, 0);
  // The mask: alpha below half.
  for (size_t i = 0; i < ours.size(); ++i) {
    const bool transparent = (ours[i] >> 24) < 128;
    ASSERT_EQ(png->mask ? png->mask->indices[i] == 1 : false, transparent) << i;
  }
}

class PngDifferential : public testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveTool("convert")) GTEST_SKIP() << "ImageMagick missing";
    // A folder per test: CTest runs the tests of this fixture side by side.
    dir_ = test::WorkDir(std::string("png-") +
                         testing::UnitTest::GetInstance()->current_test_info()->name());
    // A colourful source and one with a graded alpha channel.
    ASSERT_EQ(Make("-size 37x19 -seed 7 plasma:red-blue", "src.png"), 0);
    ASSERT_EQ(Make("src.png \\( -size 37x19 gradient:white-black \\) -alpha off -compose "
                   "copy_opacity -composite",
                   "alpha.png"),
              0);
  }
  int Make(const std::string& args, const std::string& out) {
    return std::system(
        ("cd '" + dir_ + "' && convert " + args + " '" + out + "' 2>/dev/null").c_str());
  }
  bool HasChunk(const std::string& name, const char* chunk) {
    Bytes b = test::ReadFile(dir_ + "/" + name);
    return std::search(b.begin(), b.end(), chunk, chunk + 4) != b.end();
  }
  std::string dir_;
};

TEST_F(PngDifferential, EveryColourTypeAndBitDepth) {
  struct Case {
    const char* name;
    const char* args;
    const char* chunk;  // a chunk the file must hold, or null
  } cases[] = {
      {"grey1.png", "src.png -colorspace gray -define png:color-type=0 -define png:bit-depth=1",
       nullptr},
      {"grey2.png", "src.png -colorspace gray -define png:color-type=0 -define png:bit-depth=2",
       nullptr},
      {"grey4.png", "src.png -colorspace gray -define png:color-type=0 -define png:bit-depth=4",
       nullptr},
      {"grey8.png", "src.png -colorspace gray -define png:color-type=0 -define png:bit-depth=8",
       nullptr},
      {"grey16.png", "src.png -colorspace gray -define png:color-type=0 -define png:bit-depth=16",
       nullptr},
      {"rgb8.png", "src.png -define png:color-type=2 -define png:bit-depth=8", nullptr},
      {"rgb16.png", "src.png -define png:color-type=2 -define png:bit-depth=16", nullptr},
      {"palette1.png", "src.png -colors 2 -define png:color-type=3 -define png:bit-depth=1",
       "PLTE"},
      {"palette2.png", "src.png -colors 4 -define png:color-type=3 -define png:bit-depth=2",
       "PLTE"},
      {"palette4.png", "src.png -colors 16 -define png:color-type=3 -define png:bit-depth=4",
       "PLTE"},
      {"palette8.png", "src.png -colors 200 -define png:color-type=3 -define png:bit-depth=8",
       "PLTE"},
      {"greyalpha8.png",
       "alpha.png -colorspace gray -define png:color-type=4 -define png:bit-depth=8", nullptr},
      {"greyalpha16.png",
       "alpha.png -colorspace gray -define png:color-type=4 -define png:bit-depth=16", nullptr},
      {"rgba8.png", "alpha.png -define png:color-type=6 -define png:bit-depth=8", nullptr},
      {"rgba16.png", "alpha.png -define png:color-type=6 -define png:bit-depth=16", nullptr},
      {"interlaced-rgb8.png", "src.png -interlace PNG -define png:color-type=2", nullptr},
      {"interlaced-rgba16.png",
       "alpha.png -interlace PNG -define png:color-type=6 -define png:bit-depth=16", nullptr},
      {"interlaced-palette4.png",
       "src.png -interlace PNG -colors 16 -define png:color-type=3 -define png:bit-depth=4",
       nullptr},
      {"interlaced-grey1.png",
       "src.png -interlace PNG -colorspace gray -define png:color-type=0 -define png:bit-depth=1",
       nullptr},
      {"PNG8:palette-trns.png", "src.png -fill black -draw 'rectangle 0,0 5,5' -transparent black",
       "tRNS"},
      {"grey-trns.png",
       "-size 37x19 gradient:gray40-white -fill black -draw 'rectangle 0,0 5,5' -transparent black "
       "-define png:color-type=0 -define png:bit-depth=8",
       "tRNS"},
      {"rgb-trns.png",
       "-size 37x19 gradient:red-blue -fill black -draw 'rectangle 0,0 5,5' -transparent black "
       "-define png:color-type=2 -define png:bit-depth=8",
       "tRNS"},
      {"grey16-trns.png",
       "-size 37x19 gradient:gray40-white -fill black -draw 'rectangle 0,0 5,5' -transparent black "
       "-define png:color-type=0 -define png:bit-depth=16",
       "tRNS"},
      {"tiny.png", "-size 1x1 xc:'rgba(10,20,30,0.4)'", nullptr},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Make(c.args, c.name), 0) << c.name;
    // An output format prefix ("PNG8:") is not part of the file's name.
    const std::string name(std::strchr(c.name, ':') ? std::strchr(c.name, ':') + 1 : c.name);
    if (c.chunk) {
      EXPECT_TRUE(HasChunk(name, c.chunk)) << c.name;
    }
    ExpectSameAsMagick(dir_ + "/" + name);
  }
}

TEST(PngDebianDocumentation, SameAsMagick) {
  if (!test::HaveTool("convert")) GTEST_SKIP() << "ImageMagick missing";
  Bytes list =
      test::Capture("find /usr/share/doc -name '*.png' -size -2M 2>/dev/null | sort | head -60");
  std::string text(list.begin(), list.end());
  int files = 0;
  for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string path = text.substr(at, end - at);
    Bytes head = test::ReadFile(path);
    if (head.size() < 8 || head[0] != 0x89 || head[1] != 'P') continue;  // not a PNG inside
    ExpectSameAsMagick(path);
    ++files;
  }
  if (files == 0) GTEST_SKIP() << "no PNG files under /usr/share/doc";
  std::printf("compared %d PNG files of /usr/share/doc\n", files);
}
#endif

// A 3x2 RGBA picture: opaque, half-transparent and clear pixels.
const std::vector<uint32_t> kPixels = {0xFFFF0000, 0x8000FF00, 0x7F0000FF,
                                       0x00FFFFFF, 0xFF123456, 0x01ABCDEF};

TEST(PngImage, AlphaGivesTheMaskBelowHalf) {
  std::optional<TPngImage> png = TPngImage::Decode(test::WritePng(3, 2, kPixels));
  ASSERT_TRUE(png);
  EXPECT_EQ(Argb(*png), kPixels);
  ASSERT_TRUE(png->mask);
  EXPECT_EQ(png->mask->indices, (std::vector<uint8_t>{0, 0, 1, 1, 0, 1}));
  std::optional<TPngImage> opaque = TPngImage::Decode(test::WritePng(1, 1, {0xFF000000}));
  ASSERT_TRUE(opaque);
  EXPECT_FALSE(opaque->mask);
  EXPECT_TRUE(opaque->alpha.empty());
  EXPECT_FALSE(opaque->partial_alpha);
  EXPECT_TRUE(png->partial_alpha);

  // Transparency that starts below opaque rows, with and without alpha between 0 and 255.
  const std::vector<uint32_t> cut = {0xFF010203, 0xFF040506, 0xFF070809,
                                     0xFF0A0B0C, 0x000D0E0F, 0xFF101112};
  std::vector<uint32_t> soft = cut;
  soft[5] = 0x40101112;
  for (const auto& [pixels, partial] : {std::pair{cut, false}, std::pair{soft, true}}) {
    std::optional<TPngImage> p = TPngImage::Decode(test::WritePng(2, 3, pixels));
    ASSERT_TRUE(p && p->mask);
    EXPECT_EQ(Argb(*p), pixels);
    EXPECT_EQ(p->mask->indices, (std::vector<uint8_t>{0, 0, 0, 0, 1, partial}));
    EXPECT_EQ(p->partial_alpha, partial);
  }
}

TEST(PngImage, MalformedFilesGiveNoImage) {
  const Bytes good = test::WritePng(3, 2, kPixels);
  ASSERT_TRUE(TPngImage::Decode(good));
  constexpr size_t kIhdr = 8, kIhdrData = 16;  // IHDR's length field and its data
  auto edit = [&](auto change, bool fix_crc = true) {
    Bytes b = good;
    change(b);
    if (fix_crc) test::FixChunkCrc(b, kIhdr);
    return b;
  };
  auto put32 = [](Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  const size_t idat = std::search(good.begin(), good.end(), "IDAT", "IDAT" + 4) - good.begin() - 4;
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"signature only", Bytes(good.begin(), good.begin() + 8)},
      {"bad signature", edit([](Bytes& b) { b[1] = 'Q'; }, false)},
      {"truncated in IHDR", Bytes(good.begin(), good.begin() + 20)},
      {"truncated before IDAT", Bytes(good.begin(), good.begin() + static_cast<long>(idat))},
      {"truncated in IDAT", Bytes(good.begin(), good.begin() + static_cast<long>(idat) + 12)},
      {"IHDR CRC wrong", edit([](Bytes& b) { b[29] ^= 1; }, false)},
      {"IDAT CRC wrong",
       edit([&](Bytes& b) { b[idat + 8 + ((b[idat + 2] << 8) | b[idat + 3])] ^= 1; }, false)},
      {"IDAT data garbled", edit([&](Bytes& b) {
         b[idat + 9] ^= 0x55;
         test::FixChunkCrc(b, idat);
       })},
      {"width 0", edit([&](Bytes& b) { put32(b, kIhdrData, 0); })},
      {"height 0", edit([&](Bytes& b) { put32(b, kIhdrData + 4, 0); })},
      {"width above 2^31", edit([&](Bytes& b) { put32(b, kIhdrData, 0x80000000u); })},
      {"larger than the pixel limit", edit([&](Bytes& b) {
         put32(b, kIhdrData, 16385);
         put32(b, kIhdrData + 4, 16385);
       })},
      {"rows the data cannot hold", edit([&](Bytes& b) {
         put32(b, kIhdrData, 16000);
         put32(b, kIhdrData + 4, 16000);
       })},
      {"bit depth 3", edit([](Bytes& b) { b[kIhdrData + 8] = 3; })},
      {"colour type 5", edit([](Bytes& b) { b[kIhdrData + 9] = 5; })},
      {"palette without PLTE", edit([](Bytes& b) { b[kIhdrData + 9] = 3; })},
      {"interlace method 2", edit([](Bytes& b) { b[kIhdrData + 12] = 2; })},
      {"compression method 1", edit([](Bytes& b) { b[kIhdrData + 10] = 1; })},
      {"chunk length past the end", edit([&](Bytes& b) { put32(b, idat, 0x7FFFFFF0u); }, false)},
  };
  for (const Case& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(TPngImage::Decode(c.file)) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.name;
  }
}

TEST(PngImage, DamageAfterTheLastRowKeepsThePicture) {
  const Bytes good = test::WritePng(3, 2, kPixels);
  // Without IEND (12 bytes), and with IEND's CRC broken.
  Bytes no_end(good.begin(), good.end() - 12);
  Bytes bad_end = good;
  bad_end.back() ^= 1;
  for (const Bytes& file : {no_end, bad_end}) {
    std::optional<TPngImage> png = TPngImage::Decode(file);
    ASSERT_TRUE(png);
    EXPECT_EQ(Argb(*png), kPixels);
  }
}

TEST(PngImage, LoadersGiveTheMaskAsPngTransparency) {
  TImageModule module(32);
  test::MemoryFiles files;
  files.files["clear.png"] = test::WritePng(3, 2, kPixels);
  files.files["opaque.PNG"] = test::WritePng(1, 1, {0xFF808080});
  files.files["named.gif"] = test::WritePng(3, 2, kPixels);  // the content decides

  TLookupResult clear = LookupImage(module, files, "clear.png", tkNone);
  ASSERT_TRUE(clear.bitmap && clear.mask);
  EXPECT_EQ(clear.kind, tkPng);
  EXPECT_EQ(clear.item->transparency, tkPng);
  EXPECT_EQ(clear.mask->indices, (std::vector<uint8_t>{0, 0, 1, 1, 0, 1}));
  EXPECT_EQ(clear.bitmap->ColorAt(1, 1), 0x123456u);
  ASSERT_TRUE(clear.alpha) << "alpha between 0 and 255 is kept for blending";
  EXPECT_EQ(*clear.alpha, (std::vector<uint8_t>{0xFF, 0x80, 0x7F, 0x00, 0xFF, 0x01}));
  TLookupResult again = LookupImage(module, files, " CLEAR.PNG", tkNone);
  EXPECT_TRUE(again.from_cache);
  EXPECT_EQ(again.kind, tkPng);
  EXPECT_EQ(again.alpha, clear.alpha);

  TLookupResult opaque = LookupImage(module, files, "opaque.PNG", tkNone);
  ASSERT_TRUE(opaque.bitmap);
  EXPECT_FALSE(opaque.mask);
  TLookupResult asked = LookupImage(module, files, "named.gif", tkBottomLeft);
  ASSERT_TRUE(asked.bitmap && asked.mask);
  EXPECT_EQ(asked.kind, tkPng);
  files.files["cut.png"] = test::WritePng(2, 1, {0xFF000000, 0x00FFFFFF});
  TLookupResult cut = LookupImage(module, files, "cut.png", tkNone);
  ASSERT_TRUE(cut.bitmap && cut.mask);
  EXPECT_FALSE(cut.alpha) << "a mask says all of it";

  const std::vector<uint8_t> stream = files.files["clear.png"];
  TImageHandlers handlers;
  handlers.image_request = [&](const std::string&) { return &stream; };
  TLookupResult streamed = LookupImage(module, files, "from-stream", tkNone, handlers);
  ASSERT_TRUE(streamed.bitmap && streamed.mask);
  EXPECT_EQ(streamed.kind, tkPng);

  std::unique_ptr<Bitmap> plain = LoadBitmapFile(module, files, "clear.png", false);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->width, 3);
}

}  // namespace
}  // namespace brisomel
