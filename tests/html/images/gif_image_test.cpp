#include "html/images/gif_image.h"

#include <gtest/gtest.h>

#include "gif_builder.h"
#include "html/images/palette.h"

namespace brisomel {
namespace {

using test::Bytes;
using test::GifBuilder;

uint32_t Colours(int i) {
  static const uint32_t kColours[4] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  return kColours[i & 3];
}
std::vector<uint8_t> Fill(int w, int h, uint8_t v) {
  return std::vector<uint8_t>(size_t(w) * h, v);
}

// A 4-frame animation on a 4 x 2 screen; frame n fills the screen with index n & 3.
Bytes Animation(int loop, int delay_cs = 10) {
  GifBuilder g(4, 2, 2, Colours);
  if (loop >= 0) g.Loop(loop);
  for (int n = 1; n <= 4; ++n) g.Control(1, delay_cs).Image(0, 0, 4, 2, Fill(4, 2, uint8_t(n & 3)));
  return g.Done();
}

struct Clock {
  uint32_t now = 1000;
};

std::unique_ptr<TGIFImage> Load(const Bytes& data, Clock* clock = nullptr) {
  auto gif = std::make_unique<TGIFImage>();
  if (clock) gif->SetClock([clock] { return clock->now; });
  EXPECT_TRUE(gif->LoadFromStream(data));
  return gif;
}

// Steps with the clock far enough ahead that every step is due; returns the frames shown
// after each step.
std::vector<int> Play(TGIFImage& gif, Clock& clock, int steps) {
  std::vector<int> shown;
  for (int i = 0; i < steps; ++i) {
    clock.now += 100000;
    gif.Step(nullptr);
    shown.push_back(gif.CurrentFrame());
  }
  return shown;
}

TEST(GifImage, LoopsAsTheApplicationExtensionSays) {
  struct Case {
    const char* name;
    int loop;  // -1: no NETSCAPE2.0 block
    std::vector<int> shown;
    bool still_animating;
  } cases[] = {
      // The first step after a load only clears the first-step flag.
      {"no block plays once", -1, {1, 2, 3, 4, 4, 4}, false},
      {"loop 1 plays once", 1, {1, 2, 3, 4, 4, 4}, false},
      {"loop 3 plays three times", 3, {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 4, 4}, false},
      {"loop 0 plays forever", 0, {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Clock clock;
    auto gif = Load(Animation(c.loop), &clock);
    EXPECT_EQ(gif->LoopCount(), c.loop < 0 ? 1 : c.loop);
    gif->SetAnimate(true);
    EXPECT_EQ(Play(*gif, clock, static_cast<int>(c.shown.size())), c.shown);
    EXPECT_EQ(gif->Animate(), c.still_animating);
    EXPECT_EQ(gif->Composite().ColorAt(0, 0), Colours(gif->CurrentFrame() & 3));
  }
}

TEST(GifImage, StepWaitsForTheFrameDelayScaledBySpeed) {
  Clock clock;
  auto gif = Load(Animation(0, 10), &clock);  // 100 ms per frame
  std::vector<TImageRect> invalidated;
  auto invalidate = [&](const TImageRect& r) { invalidated.push_back(r); };
  gif->SetAnimate(true);
  clock.now += 100;
  gif->Step(invalidate);  // clears the first-step flag only
  EXPECT_EQ(gif->CurrentFrame(), 1);
  clock.now += 99;
  gif->Step(invalidate);
  EXPECT_EQ(gif->CurrentFrame(), 1);
  clock.now += 1;
  gif->Step(invalidate);
  EXPECT_EQ(gif->CurrentFrame(), 2);
  EXPECT_EQ(invalidated.size(), 1u);
  gif->SetSpeed(200);  // takes effect from the next interval
  clock.now += 100;
  gif->Step(invalidate);
  EXPECT_EQ(gif->CurrentFrame(), 3);
  clock.now += 50;
  gif->Step(invalidate);
  EXPECT_EQ(gif->CurrentFrame(), 4);

  // A delay of 0 gives an interval of 1 ms.
  auto fast = Load(Animation(0, 0), &clock);
  fast->SetAnimate(true);
  clock.now += 1;
  fast->Step(nullptr);
  clock.now += 1;
  fast->Step(nullptr);
  EXPECT_EQ(fast->CurrentFrame(), 2);

  // Nothing steps without animate.
  auto idle = Load(Animation(0), &clock);
  Play(*idle, clock, 3);
  EXPECT_EQ(idle->CurrentFrame(), 1);
}

TEST(GifImage, SetCurrentFrameWrapsAtBothEnds) {
  auto gif = Load(Animation(0));
  gif->SetCurrentFrame(0);
  EXPECT_EQ(gif->CurrentFrame(), 4);
  EXPECT_EQ(gif->Composite().ColorAt(3, 1), Colours(0));
  gif->SetCurrentFrame(9);
  EXPECT_EQ(gif->CurrentFrame(), 1);
  EXPECT_EQ(gif->Composite().ColorAt(3, 1), Colours(1));
  gif->SetCurrentFrame(-3);
  EXPECT_EQ(gif->CurrentFrame(), 4);
  gif->SetCurrentFrame(2);
  EXPECT_EQ(gif->Composite().ColorAt(0, 0), Colours(2));
}

// Frame 1 paints the screen red; frame 2 (transparent index 0) a green 2 x 2 square with a
// transparent hole; frame 3 blue over one pixel. Frame 2's disposal decides what frame 3 sees.
Bytes Disposals(int second_disposal) {
  GifBuilder g(4, 4, 2, Colours);
  g.Control(1, 1).Image(0, 0, 4, 4, Fill(4, 4, 1));
  g.Control(second_disposal, 1, 0).Image(1, 1, 2, 2, {2, 2, 2, 0});
  g.Control(1, 1).Image(0, 0, 1, 1, {3});
  return g.Done();
}

TEST(GifImage, DisposalRulesShapeTheComposite) {
  const uint32_t red = 0xFF0000, green = 0x00FF00, black = 0;
  struct Case {
    int disposal;
    uint32_t at_1_1;  // what frame 3's picture shows where frame 2 was opaque
    uint8_t mask_1_1;
  } cases[] = {{0, green, 0}, {1, green, 0}, {2, black, 1},
               {3, red, 0},   {4, black, 1}, {7, black, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.disposal);
    auto gif = Load(Disposals(c.disposal));
    ASSERT_TRUE(gif->AnyTransparent());
    gif->SetCurrentFrame(2);
    EXPECT_EQ(gif->Composite().ColorAt(1, 1), green);
    EXPECT_EQ(gif->Composite().ColorAt(2, 2), red);  // the hole keeps frame 1
    EXPECT_EQ(gif->CompositeMask().indices[1 * 4 + 1], 0);
    gif->SetCurrentFrame(3);
    EXPECT_EQ(gif->Composite().ColorAt(0, 0), 0x0000FFu);
    EXPECT_EQ(gif->Composite().ColorAt(1, 1), c.at_1_1);
    EXPECT_EQ(gif->CompositeMask().indices[1 * 4 + 1], c.mask_1_1);
    EXPECT_EQ(gif->Composite().ColorAt(3, 3), red);
  }
}

TEST(GifImage, FramesCarryTheirBlocks) {
  GifBuilder g(8, 8, 2, Colours);
  g.Comment("first").Control(3, 7, 2).Image(1, 2, 3, 2, {0, 1, 2, 3, 2, 1});
  g.Image(0, 0, 2, 2, {1, 1, 1, 1}, false, 1, [](int i) { return i ? 0x123456u : 0u; });
  auto gif = Load(g.Done());
  ASSERT_EQ(gif->FrameCount(), 2);
  const auto& f1 = gif->Frame(1);
  EXPECT_EQ(f1.comment, "first");
  EXPECT_EQ(f1.delay, 70);
  EXPECT_EQ(f1.disposal, TGIFImage::dmPrevious);
  EXPECT_TRUE(f1.transparent);
  EXPECT_EQ(f1.transparent_index, 2);
  EXPECT_EQ(f1.transparent_colour, 0x00FF00u);
  EXPECT_EQ(f1.image.indices[2], 2);
  EXPECT_EQ(f1.mask.indices[2], 1);
  EXPECT_EQ(gif->FirstFrameBitmap().ColorAt(2, 0), 0u);  // transparent pixels black
  EXPECT_EQ(gif->FirstFrameBitmap().ColorAt(1, 0), 0xFF0000u);
  EXPECT_EQ(gif->FirstFrameMask().indices, f1.mask.indices);
  EXPECT_EQ(f1.image.ColorAt(1, 0), 0xFF0000u);
  const auto& f2 = gif->Frame(2);
  EXPECT_EQ(f2.comment, "");  // the graphic control and comment applied to frame 1 only
  EXPECT_FALSE(f2.transparent);
  EXPECT_TRUE(f2.has_local_table);
  EXPECT_EQ(f2.colour_bits, 1);
  EXPECT_EQ(f2.image.ColorAt(0, 0), 0x123456u);
  EXPECT_EQ(gif->ColourBits(), 2);
}

TEST(GifImage, InterlacedRowsLandInPlace) {
  for (int h : {1, 2, 3, 4, 5, 8, 9, 13}) {
    SCOPED_TRACE(h);
    // Row k of the data goes to the k-th row of the pass order; each carries its own row
    // number as the colour index.
    std::vector<int> order;
    for (int y = 0; y < h; y += 8) order.push_back(y);
    for (int y = 4; y < h; y += 8) order.push_back(y);
    for (int y = 2; y < h; y += 4) order.push_back(y);
    for (int y = 1; y < h; y += 2) order.push_back(y);
    std::vector<uint8_t> data;
    for (int y : order) data.insert(data.end(), 3, uint8_t(y));
    GifBuilder g(3, h, 4);
    auto gif = Load(g.Image(0, 0, 3, h, data, true).Done());
    for (int y = 0; y < h; ++y)
      EXPECT_EQ(gif->Frame(1).image.ColorAt(2, y), uint32_t(y * 0x010101));
  }
}

TEST(GifImage, WidensTheScreenOverFramesBeyondIt) {
  GifBuilder g(4, 4, 2, Colours);
  auto gif = Load(g.Image(0, 0, 4, 4, Fill(4, 4, 1)).Image(3, 2, 5, 6, Fill(5, 6, 2)).Done());
  EXPECT_EQ(gif->Width(), 8);
  EXPECT_EQ(gif->Height(), 8);
  gif->SetCurrentFrame(2);
  EXPECT_EQ(gif->Composite().ColorAt(7, 7), 0x00FF00u);
}

TEST(GifImage, KeepsTheFirst256Frames) {
  GifBuilder g(2, 1, 2, Colours);
  for (int n = 0; n < 300; ++n) g.Image(0, 0, 2, 1, {uint8_t(n & 3), 0});
  auto gif = Load(g.Done());
  EXPECT_EQ(gif->FrameCount(), 256);
  gif->SetCurrentFrame(0);
  EXPECT_EQ(gif->Composite().ColorAt(0, 0), Colours(255 & 3));
}

TEST(GifImage, FrameDataThatRunsOutKeepsItsRows) {
  GifBuilder g(4, 4, 2, Colours);
  g.Image(0, 0, 4, 4, Fill(4, 4, 1));
  Bytes whole = g.Done();
  // Header 13 + table 12 + descriptor 10 + code size 1 + block length 1; codes of 9 bits:
  // a clear and 7 pixels need 72 bits, 9 bytes. Cut after them.
  Bytes cut(whole.begin(), whole.begin() + 13 + 12 + 10 + 2 + 9);
  auto gif = Load(cut);
  ASSERT_EQ(gif->FrameCount(), 1);
  EXPECT_EQ(gif->Frame(1).image.ColorAt(0, 0), 0xFF0000u);
  EXPECT_EQ(gif->Frame(1).image.ColorAt(2, 1), 0xFF0000u);  // pixel 7
  EXPECT_EQ(gif->Frame(1).image.ColorAt(3, 1), 0u);         // never decoded: index 0
}

TEST(GifImage, HeaderOnlyReadsSkipPixels) {
  auto gif = std::make_unique<TGIFImage>();
  ASSERT_TRUE(gif->ReadHeaderFromStream(Disposals(2)));
  EXPECT_TRUE(gif->HeaderOnly());
  EXPECT_EQ(gif->FrameCount(), 3);
  EXPECT_TRUE(gif->AnyTransparent());
  EXPECT_EQ(gif->Frame(2).width, 2);
  EXPECT_TRUE(gif->Frame(1).image.empty());
  EXPECT_TRUE(gif->Composite().empty());
  EXPECT_TRUE(gif->FirstFrameBitmap().empty());
  gif->SetAnimate(true);
  gif->Step(nullptr);
  EXPECT_EQ(gif->CurrentFrame(), 1);
}

TEST(GifImage, CopiesStartAtFrameOneWithTheirOwnPictures) {
  auto gif = Load(Disposals(2));
  gif->SetCurrentFrame(3);
  auto copy = gif->Copy();
  EXPECT_TRUE(copy->IsCopy());
  EXPECT_FALSE(gif->IsCopy());
  EXPECT_EQ(copy->CurrentFrame(), 1);
  EXPECT_EQ(copy->FrameCount(), 3);
  EXPECT_EQ(copy->Composite().ColorAt(0, 0), 0xFF0000u);
  EXPECT_EQ(gif->Composite().ColorAt(0, 0), 0x0000FFu);
  copy->SetCurrentFrame(2);
  EXPECT_EQ(gif->CurrentFrame(), 3);
  EXPECT_EQ(gif->FirstFrameBitmap().ColorAt(0, 0), 0xFF0000u);
  EXPECT_TRUE(gif->FirstFrameMask().empty());  // frame 1 is opaque
}

TEST(GifImage, SharedPaletteMapsFrameColours) {
  GifBuilder g(2, 1, 1, [](int i) { return i ? 0x10F020u : 0xFFFFFFu; });
  auto gif = std::make_unique<TGIFImage>();
  std::vector<uint32_t> palette = MakeSharedPalette();
  gif->SetSharedPalette(palette);
  ASSERT_TRUE(gif->LoadFromStream(g.Image(0, 0, 2, 1, {0, 1}).Done()));
  EXPECT_EQ(gif->Frame(1).image.ColorAt(0, 0), 0xFFFFFFu);
  EXPECT_EQ(gif->Frame(1).image.ColorAt(1, 0), palette[NearestPaletteIndex(palette, 0x10F020)]);
}

TEST(GifImage, MalformedFiles) {
  Bytes good = GifBuilder(2, 2, 1).Image(0, 0, 2, 2, Fill(2, 2, 1)).Done();
  auto prefix = [&](size_t n) { return Bytes(good.begin(), good.begin() + n); };
  auto with = [&](size_t at, uint8_t v) {
    Bytes b = good;
    b[at] = v;
    return b;
  };
  auto then = [&](const Bytes& tail) {
    Bytes b(good.begin(), good.end() - 1);
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
  };
  struct Case {
    const char* name;
    Bytes data;
    int frames;  // 0: no image
  } cases[] = {
      {"empty", {}, 0},
      {"not a gif", test::Text("BM not a gif at all"), 0},
      {"signature only", prefix(6), 0},
      {"screen cut", prefix(10), 0},
      {"global table cut", prefix(15), 0},
      {"no frames", prefix(19), 0},
      {"descriptor cut", prefix(23), 0},
      {"no code size", prefix(29), 0},
      {"code size 12", with(29, 12), 0},
      {"local table cut",
       GifBuilder(2, 2, 0).Raw({',', 0, 0, 0, 0, 2, 0, 2, 0, 0x87, 1, 2}).Partial(), 0},
      {"zero-sized frame on a zero screen", GifBuilder(0, 0, 1).Image(0, 0, 0, 0, {}).Done(), 0},
      {"second frame bad code size",
       then(Bytes{',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 2, 1, 2, 0, ';'}), 1},
      {"unknown extension ends the walk",
       then(Bytes{0x21, 0x77, 1, 0, 0, ',', 0, 0, 0, 0, 2, 0, 2, 0, 0}), 1},
      {"stray byte ends the walk", then(Bytes{'x'}), 1},
      {"application block cut", then(Bytes{0x21, 0xFF, 11, 'N', 'E'}), 1},
      {"netscape block cut", then(test::Text("\x21\xFF\x0BNETSCAPE2.0\x03")), 1},
      {"comment cut", then(Bytes{0x21, 0xFE, 10, 'a'}), 1},
      {"graphic control cut", then(Bytes{0x21, 0xF9, 4, 1}), 1},
      {"frames over the screen limit",
       GifBuilder(2, 2, 1)
           .Image(0, 0, 1, 1, {1})
           .Raw({',', 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 2, 0x4C, 1, 0})
           .Done(),
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TGIFImage gif;
    bool ok = gif.LoadFromStream(c.data);
    EXPECT_EQ(ok, c.frames > 0);
    EXPECT_EQ(gif.FrameCount(), c.frames);
    EXPECT_EQ(gif.Empty(), c.frames == 0);
  }
}

// Found by fuzzing: frames with no pixels once made references into empty buffers.
TEST(GifImage, FramesWithoutPixelsChangeNothing) {
  GifBuilder g(3, 3, 2, Colours);
  g.Control(1, 1).Image(0, 0, 3, 3, Fill(3, 3, 1));
  g.Control(3, 1).Image(1, 1, 0, 2, {}, true);
  g.Control(2, 1, 0).Image(2, 0, 1, 0, {});
  auto gif = Load(g.Done());
  ASSERT_EQ(gif->FrameCount(), 3);
  for (int n : {2, 3, 1, 0}) gif->SetCurrentFrame(n);
  EXPECT_EQ(gif->Composite().ColorAt(1, 1), 0xFF0000u);
  auto copy = gif->Copy();
  EXPECT_EQ(copy->Composite().ColorAt(2, 2), 0xFF0000u);
}

TEST(GifImage, ScreensLargerThanTheBudgetGiveNoImage) {
  // 16384 x 16385 is past the cap however small the file.
  TGIFImage gif;
  EXPECT_FALSE(gif.LoadFromStream(GifBuilder(16384, 16385, 1).Image(0, 0, 1, 1, {1}).Done()));
  TGIFImage small_budget;
  small_budget.SetPixelBudget(100);
  EXPECT_FALSE(small_budget.LoadFromStream(GifBuilder(20, 20, 1).Image(0, 0, 1, 1, {1}).Done()));
}

}  // namespace
}  // namespace brisomel
