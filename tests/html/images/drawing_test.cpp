// Drawing images through masks and GIFs through their drawing buffer, on the software canvas.
#include <gtest/gtest.h>

#include "gif_builder.h"
#include "html/images/draw_transparent.h"
#include "html/images/gif_image.h"
#include "platform/headless/software_canvas.h"

namespace brisomel {
namespace {

using test::GifBuilder;

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

// A canvas filled with green (0x00RRGGBB pixels on the surface).
std::unique_ptr<SoftwareCanvas> GreenCanvas(int w, int h) {
  auto c = std::make_unique<SoftwareCanvas>(w, h);
  c->FillRect(Rect{0, 0, w, h}, PixelToColor(kGreen));
  return c;
}
uint32_t At(SoftwareCanvas& c, int x, int y) { return c.surface().ColorAt(x, y); }

TEST(Drawing, DrawTransparentShowsTheBackgroundWhereTheMaskIsWhite) {
  Bitmap image = Bitmap::Rgb32(2, 1);
  image.pixels = {kRed, kBlue};
  Bitmap mask = Bitmap::Mask(2, 1);
  mask.indices = {0, 1};
  auto canvas = GreenCanvas(8, 4);
  DrawTransparent(*canvas, image, mask, Rect{2, 1, 6, 3});  // stretched twice over
  EXPECT_EQ(At(*canvas, 2, 1), kRed);
  EXPECT_EQ(At(*canvas, 3, 2), kRed);
  EXPECT_EQ(At(*canvas, 4, 1), kGreen);
  EXPECT_EQ(At(*canvas, 5, 2), kGreen);
  EXPECT_EQ(At(*canvas, 6, 1), kGreen);
  EXPECT_EQ(canvas->stretch_mode(), StretchMode::kBlackOnWhite) << "left as it was";

  // An indexed image draws through its palette.
  Bitmap indexed;
  indexed.format = Bitmap::Format::kIndexed8;
  indexed.width = 2, indexed.height = 1;
  indexed.palette = {kBlue, kRed};
  indexed.indices = {1, 0};
  auto other = GreenCanvas(2, 1);
  DrawTransparent(*other, indexed, mask, Rect{0, 0, 2, 1});
  EXPECT_EQ(At(*other, 0, 0), kRed);
  EXPECT_EQ(At(*other, 1, 0), kGreen);

  auto mono = GreenCanvas(2, 1);
  DeviceCaps caps = mono->GetDeviceCaps();
  caps.bits_per_pixel = 1;
  mono->SetDeviceCaps(caps);
  DrawTransparent(*mono, image, mask, Rect{0, 0, 2, 1});
  EXPECT_EQ(At(*mono, 0, 0), kGreen) << "nothing drawn on a monochrome device";
}

uint32_t Colours(int i) {
  static const uint32_t kColours[4] = {0x000000, kRed, kBlue, 0xFFFFFF};
  return kColours[i & 3];
}

// 2 x 2, frame 1 with a transparent pixel (index 0) at (1, 1); frame 2 blue over (0, 0).
test::Bytes TransparentGif(int second_disposal) {
  GifBuilder g(2, 2, 2, Colours);
  g.Control(1, 1, 0).Image(0, 0, 2, 2, {1, 1, 1, 0});
  g.Control(second_disposal, 1, 0).Image(0, 0, 1, 1, {2});
  return g.Done();
}

TEST(Drawing, OpaqueGifsStretchTheComposite) {
  TGIFImage gif;
  GifBuilder g(2, 1, 2, Colours);
  ASSERT_TRUE(gif.LoadFromStream(g.Image(0, 0, 2, 1, {1, 2}).Done()));
  auto canvas = GreenCanvas(6, 2);
  gif.Draw(*canvas, 1, 0, 4, 2);
  EXPECT_EQ(At(*canvas, 1, 1), kRed);
  EXPECT_EQ(At(*canvas, 4, 0), kBlue);
  EXPECT_EQ(At(*canvas, 5, 0), kGreen);
  EXPECT_EQ(gif.LastDrawn(), (TImageRect{1, 0, 4, 2}));
  gif.SetVisible(false);
  auto untouched = GreenCanvas(6, 2);
  gif.Draw(*untouched, 1, 0, 4, 2);
  EXPECT_EQ(At(*untouched, 1, 1), kGreen);
}

TEST(Drawing, TransparentGifsDrawOverWhatLiesUnderThem) {
  struct Case {
    const char* name;
    TGifBackdrop backdrop;
    uint32_t under;  // what shows at the transparent pixel
  } cases[] = {
      {"document colour", {false, 0, nullptr, {}, PixelToColor(0x123456)}, 0x123456},
      {"cell colour",
       {true, PixelToColor(0x654321), nullptr, {}, PixelToColor(0x123456)},
       0x654321},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TGIFImage gif;
    ASSERT_TRUE(gif.LoadFromStream(TransparentGif(1)));
    auto canvas = GreenCanvas(4, 4);
    // Frame 1's disposal is 1: drawn through the buffer, which holds the backdrop.
    gif.Draw(*canvas, 2, 2, 2, 2, c.backdrop);
    EXPECT_EQ(At(*canvas, 2, 2), kRed);
    EXPECT_EQ(At(*canvas, 3, 3), c.under);
    EXPECT_EQ(At(*canvas, 1, 1), kGreen);
  }
}

TEST(Drawing, BackgroundTilesLineUpWithThePage) {
  // A 2 x 2 tile; the GIF at canvas (3, 1) with the document scrolled by (0, 4): its
  // transparent pixel (1, 1) lies at document (4, 6), tile pixel (0, 0).
  Bitmap tile = Bitmap::Rgb32(2, 2);
  tile.pixels = {0x111111, 0x222222, 0x333333, 0x444444};
  TGifBackdrop backdrop;
  backdrop.image = &tile;
  backdrop.scroll = Point{0, 4};
  TGIFImage gif;
  ASSERT_TRUE(gif.LoadFromStream(TransparentGif(1)));
  auto canvas = GreenCanvas(6, 4);
  gif.Draw(*canvas, 3, 1, 2, 2, backdrop);
  EXPECT_EQ(At(*canvas, 4, 2), 0x111111u);
}

TEST(Drawing, DisposalTwoAndThreeDrawStraightOntoTheCanvas) {
  TGIFImage gif;
  ASSERT_TRUE(gif.LoadFromStream(TransparentGif(2)));
  gif.SetCurrentFrame(2);
  auto canvas = GreenCanvas(2, 2);
  gif.Draw(*canvas, 0, 0, 2, 2, TGifBackdrop{false, 0, nullptr, {}, PixelToColor(0x123456)});
  EXPECT_EQ(At(*canvas, 0, 0), kBlue);
  EXPECT_EQ(At(*canvas, 1, 1), kGreen) << "the canvas shows through, not the backdrop";
}

TEST(Drawing, StepInvalidatesTheLastDrawnRectangle) {
  uint32_t now = 0;
  TGIFImage gif;
  gif.SetClock([&now] { return now; });
  ASSERT_TRUE(gif.LoadFromStream(TransparentGif(1)));
  auto canvas = GreenCanvas(8, 8);
  gif.Draw(*canvas, 3, 4, 2, 2);
  gif.SetAnimate(true);
  std::vector<TImageRect> invalidated;
  for (int i = 0; i < 2; ++i) {
    now += 1000;
    gif.Step([&](const TImageRect& r) { invalidated.push_back(r); });
  }
  ASSERT_EQ(invalidated.size(), 1u);
  EXPECT_EQ(invalidated[0], (TImageRect{3, 4, 2, 2}));
  gif.Draw(*canvas, 3, 4, 2, 2);
  EXPECT_EQ(At(*canvas, 3, 4), kBlue);
  EXPECT_EQ(At(*canvas, 4, 5), 0xFFFFFFu) << "the default backdrop is white";
}

}  // namespace
}  // namespace brisomel
