#include "html/images/image_loading.h"

#include <gtest/gtest.h>

#include "gif_builder.h"
#include "html/images/palette.h"
#include "jpeg_writer.h"

namespace brisomel {
namespace {

using test::Bytes;
using test::GifBuilder;

// A 4 x 3 24-bit bitmap: white everywhere except a red pixel at (1, 0) and blue at (2, 2).
Bytes WhiteBmp() {
  Bytes f = {'B', 'M'};
  test::Put32(f, 54 + 48), test::Put32(f, 0), test::Put32(f, 54);
  test::Put32(f, 40), test::Put32(f, 4), test::Put32(f, 3), test::Put16(f, 1), test::Put16(f, 24);
  for (int i = 0; i < 6; ++i) test::Put32(f, 0);
  for (int stored = 0; stored < 3; ++stored) {
    int y = 2 - stored;
    for (int x = 0; x < 4; ++x) {
      uint32_t c = x == 1 && y == 0 ? 0xFF0000 : x == 2 && y == 2 ? 0x0000FF : 0xFFFFFF;
      f.insert(f.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    }
  }
  return f;
}

Bytes Jpeg() {
  return test::MakeJpeg(16, 8, [](int x, int) { return x < 8 ? 0xFFFFFFu : 0x202020u; });
}

uint32_t Two(int i) { return i ? 0x00FF00u : 0xFF00FFu; }

Bytes StillGif(bool transparent) {
  GifBuilder g(2, 2, 1, Two);
  if (transparent) g.Control(0, 0, 0);
  return g.Image(0, 0, 2, 2, {0, 1, 1, 1}).Done();
}
Bytes AnimatedGif() {
  GifBuilder g(2, 2, 1, Two);
  return g.Loop(0).Image(0, 0, 2, 2, {0, 0, 0, 0}).Image(0, 0, 2, 2, {1, 1, 1, 1}).Done();
}

class ImageLoading : public testing::Test {
 protected:
  ImageLoading() : module_(32) {
    files_.files["white.bmp"] = WhiteBmp();
    files_.files["photo.jpg"] = Jpeg();
    files_.files["photo.gif"] = Jpeg();  // a JPEG under a GIF name
    files_.files["still.gif"] = StillGif(false);
    files_.files["clear.gif"] = StillGif(true);
    files_.files["moving.gif"] = AnimatedGif();
    files_.files["image.png"] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                 0,    0,   0,   0,   'I',  'E',  'N',  'D'};
  }
  TLookupResult Lookup(const std::string& source, TTransparency kind = tkNone,
                       const TImageHandlers& handlers = {}) {
    return LookupImage(module_, files_, source, kind, handlers);
  }
  TImageModule module_;
  test::MemoryFiles files_;
};

TEST_F(ImageLoading, SourcesDifferingInCaseOrBlanksShareOneEntry) {
  auto first = Lookup("white.bmp");
  ASSERT_TRUE(first.bitmap);
  EXPECT_FALSE(first.from_cache);
  files_.files["WHITE.BMP "] = files_.files["white.bmp"];
  auto second = Lookup("  WHITE.BMP ");
  EXPECT_TRUE(second.from_cache);
  EXPECT_EQ(second.item, first.item);
  EXPECT_EQ(first.item->uses, 2);
  EXPECT_EQ(module_.Cache().Count(), 1);
}

TEST_F(ImageLoading, TransparencyFromTheBottomLeftPixelMasksEveryWhitePixel) {
  auto r = Lookup("white.bmp", tkBottomLeft);
  ASSERT_TRUE(r.bitmap && r.mask);
  EXPECT_EQ(r.kind, tkBottomLeft);
  EXPECT_EQ(r.item->transparency, tkBottomLeft);
  EXPECT_EQ(r.mask->indices, (std::vector<uint8_t>{1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1}));
  // Asked for later on a cached entry without a mask: the mask is made then.
  auto plain = Lookup("photo.jpg");
  EXPECT_FALSE(plain.mask);
  auto later = Lookup("photo.jpg", tkBottomLeft);
  EXPECT_TRUE(later.from_cache);
  ASSERT_TRUE(later.mask);
  EXPECT_EQ(later.item->transparency, tkBottomLeft);
}

TEST_F(ImageLoading, FileContentDecidesOverTheName) {
  auto jpeg_as_gif = Lookup("photo.gif");
  ASSERT_TRUE(jpeg_as_gif.bitmap);
  EXPECT_EQ(jpeg_as_gif.bitmap->width, 16);
  EXPECT_FALSE(Lookup("image.png").item) << "a PNG signature without a header is no image";
  EXPECT_FALSE(Lookup("missing.bmp").item);
  EXPECT_FALSE(Lookup("").item);
  EXPECT_FALSE(Lookup("   ").item);
}

TEST_F(ImageLoading, StillGifsBecomeBitmapsAndAnimatedOnesStayGifs) {
  auto still = Lookup("still.gif");
  ASSERT_TRUE(still.bitmap);
  EXPECT_FALSE(still.gif);
  EXPECT_FALSE(still.mask);
  EXPECT_EQ(still.bitmap->ColorAt(0, 0), 0xFF00FFu);

  auto clear = Lookup("clear.gif");
  ASSERT_TRUE(clear.bitmap && clear.mask);
  EXPECT_EQ(clear.kind, tkGif);
  EXPECT_EQ(clear.mask->indices, (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(Lookup("clear.gif").kind, tkGif) << "the cached entry's kind wins";

  auto moving = Lookup("moving.gif", tkBottomLeft);
  ASSERT_TRUE(moving.gif);
  EXPECT_FALSE(moving.bitmap);
  EXPECT_FALSE(moving.mask);
  EXPECT_EQ(moving.gif->FrameCount(), 2);
  EXPECT_EQ(moving.item->transparency, tkNone);
}

TEST_F(ImageLoading, BitmapRequestsAndImageRequests) {
  TImageHandlers bitmap_handler;
  bitmap_handler.bitmap_request = [](const std::string& source, int32_t& colour) {
    if (source != "given") return std::unique_ptr<Bitmap>();
    colour = 0xFF0000;
    auto b = std::make_unique<Bitmap>(Bitmap::Rgb32(2, 1, 0xFF0000));
    b->pixels[1] = 0x00FF00;
    return b;
  };
  auto given = Lookup("given", tkNone, bitmap_handler);
  ASSERT_TRUE(given.bitmap && given.mask);
  EXPECT_EQ(given.kind, tkGif);
  EXPECT_EQ(given.mask->indices, (std::vector<uint8_t>{1, 0}));
  EXPECT_FALSE(Lookup("white.bmp", tkNone, bitmap_handler).item)
      << "the handler is asked, not the file";

  Bytes jpeg = Jpeg(), gif = AnimatedGif(), tiny = {'B', 'M', 1, 2};
  TImageHandlers image_handler;
  image_handler.image_request = [&](const std::string& source) -> const std::vector<uint8_t>* {
    if (source == "wait") return module_.WaitStream();
    if (source == "jpeg") return &jpeg;
    if (source == "gif") return &gif;
    if (source == "tiny") return &tiny;
    return nullptr;
  };
  auto waiting = Lookup("wait", tkNone, image_handler);
  EXPECT_TRUE(waiting.delayed);
  EXPECT_FALSE(waiting.item);
  auto photo = Lookup("jpeg", tkBottomLeft, image_handler);
  ASSERT_TRUE(photo.bitmap);
  EXPECT_FALSE(photo.mask) << "a JPEG from a stream never gets a mask";
  EXPECT_EQ(photo.kind, tkNone);
  EXPECT_TRUE(Lookup("gif", tkNone, image_handler).gif);
  EXPECT_FALSE(Lookup("tiny", tkNone, image_handler).item) << "streams under 20 bytes";
  EXPECT_FALSE(Lookup("nothing", tkNone, image_handler).item);
}

TEST_F(ImageLoading, LoadBitmapStreamMasksBitmapsOnly) {
  Bytes bmp = WhiteBmp();
  TTransparency kind = tkBottomLeft;
  std::unique_ptr<Bitmap> mask;
  auto b = LoadBitmapStream(module_, &bmp, kind, mask);
  ASSERT_TRUE(b && mask);
  EXPECT_EQ(kind, tkBottomLeft);
  EXPECT_FALSE(LoadBitmapStream(module_, nullptr, kind, mask));
  EXPECT_FALSE(mask);
  Bytes gif = StillGif(false);
  EXPECT_FALSE(LoadBitmapStream(module_, &gif, kind, mask)) << "only bitmaps and JPEGs";
}

TEST_F(ImageLoading, ReadImageFileTakesTheGifColourOfABitmapInDisguise) {
  // A ".gif" whose first 790 bytes pass the GIF colour test but that the GIF decoder cannot
  // read does not load: ReadImageFile decodes bitmaps and JPEGs only.
  TTransparency kind = tkNone;
  std::unique_ptr<Bitmap> mask;
  files_.files["odd.gif"] = GifBuilder(2, 2, 1, Two).Control(0, 0, 1).Partial();
  EXPECT_FALSE(ReadImageFile(module_, files_, "odd.gif", kind, mask));
  EXPECT_EQ(kind, tkGif);
  kind = tkNone;
  auto plain = ReadImageFile(module_, files_, "white.bmp", kind, mask);
  EXPECT_TRUE(plain);
  EXPECT_FALSE(mask);
}

TEST(ImageLoadingEightBit, LoadsThroughTheSharedPalette) {
  TImageModule module(8);
  ASSERT_EQ(module.ColourDepthClass(), 8);
  ASSERT_EQ(module.SharedPalette().size(), 256u);
  test::MemoryFiles files;
  files.files["white.bmp"] = WhiteBmp();
  files.files["photo.jpg"] = Jpeg();
  for (const char* name : {"white.bmp", "photo.jpg"}) {
    SCOPED_TRACE(name);
    auto b = LoadBitmapFile(module, files, name, true);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->format, Bitmap::Format::kIndexed8);
    EXPECT_TRUE(std::equal(b->palette.begin(), b->palette.end(), module.SharedPalette().begin()));
  }
  auto unmapped = LoadBitmapFile(module, files, "white.bmp", false);
  EXPECT_EQ(unmapped->format, Bitmap::Format::kRgb32);
}

TEST(ImageModule, ColourDepthClassesAndStartCount) {
  EXPECT_EQ(ColourDepthClassOf(1), 4);
  EXPECT_EQ(ColourDepthClassOf(4), 4);
  EXPECT_EQ(ColourDepthClassOf(8), 8);
  EXPECT_EQ(ColourDepthClassOf(16), 24);
  EXPECT_TRUE(TImageModule(24).SharedPalette().empty());
  TImageModuleStarter starter;
  TImageModule& a = starter.Start(32);
  TImageModule& b = starter.Start(8);
  EXPECT_EQ(&a, &b);
  EXPECT_EQ(a.ColourDepthClass(), 24) << "the first start decides";
  starter.Stop();
  EXPECT_TRUE(starter.Module());
  starter.Stop();
  EXPECT_FALSE(starter.Module());
  starter.Stop();  // one too many is harmless
}

}  // namespace
}  // namespace brisomel
