// The animation timer driven by hand, and the printing rules of page ends.
#include <gtest/gtest.h>

#include "../images/gif_builder.h"
#include "document_fixture.h"

namespace brisomel::test {
namespace {

TEST(Animation, DrawnImagesStepOnTheTimer) {
  DocFixture doc;
  Bytes gif = GifBuilder(2, 2, 1)
                  .Loop(0)
                  .Control(0, 5)
                  .Image(0, 0, 2, 2, {0, 0, 0, 0})
                  .Control(0, 5)
                  .Image(0, 0, 2, 2, {1, 1, 1, 1})
                  .Done();
  doc.list.ImageHandlers.bitmap_request = nullptr;
  doc.list.ImageHandlers.image_request = [&](const std::string&) { return &gif; };
  std::vector<Rect> invalidated;
  doc.list.InvalidateRect = [&](const Rect& r) { invalidated.push_back(r); };
  auto s = doc.Section();
  TImageObj* image = s->AddImage(Attrs({{symSrc, "anim.gif"}}), &doc.list);
  doc.Add(std::move(s));
  doc.Layout(100);
  ASSERT_NE(image->Gif, nullptr);
  uint32_t now = 1000;
  image->Gif->SetClock([&] { return now; });
  image->Gif->SetAnimate(false);
  image->Gif->SetAnimate(true);
  ASSERT_EQ(doc.list.AnimatedImages.size(), 1u);
  EXPECT_TRUE(doc.list.AnimationTimer->Enabled());
  EXPECT_EQ(doc.list.AnimationTimer->Interval(), 50);

  // Not drawn yet: the tick leaves it alone.
  now += 100;
  doc.list.AnimationTick();
  EXPECT_EQ(image->Gif->CurrentFrame(), 1);

  SoftwareCanvas canvas(100, 50);
  doc.list.Paint(canvas, Rect{0, 0, 100, 50}, 100, 0, 0);
  EXPECT_TRUE(doc.list.AnimationTimer->Enabled());
  // The animation's first step only starts its clock.
  now += 100;
  doc.list.AnimationTick();
  EXPECT_EQ(image->Gif->CurrentFrame(), 1);
  EXPECT_TRUE(invalidated.empty());
  now += 100;
  doc.list.AnimationTick();
  EXPECT_EQ(image->Gif->CurrentFrame(), 2);
  ASSERT_EQ(invalidated.size(), 1u);
  EXPECT_EQ(invalidated[0], (Rect{image->DrawX, image->DrawY, image->DrawX + 2, image->DrawY + 2}));
}

TEST(Printing, LinesThatCrossThePageBottomEndThePage) {
  DocFixture doc;
  doc.Para("aaaa bbbb cccc dddd eeee");
  doc.Layout(40);  // five lines of 22
  doc.list.Printing = true;
  SoftwareCanvas canvas(50, 200);
  doc.list.Paint(canvas, Rect{0, 0, 50, 50}, 50, 0, 0);
  EXPECT_EQ(doc.list.PageBottom, 44);
  // The next page starts there and ends below the last line.
  doc.list.Paint(canvas, Rect{0, 44, 50, 200}, 50, 0, 0);
  EXPECT_EQ(doc.list.PageBottom, 200);
}

TEST(Printing, PageElementEndsThePrintedPage) {
  DocFixture doc;
  doc.Para("a");
  doc.Add(std::make_unique<TPage>(&doc.list));
  doc.Para("b");
  doc.Layout(100);
  SoftwareCanvas canvas(100, 200);
  doc.list.Paint(canvas, Rect{0, 0, 100, 200}, 100, 0, 0);
  EXPECT_EQ(doc.list.PageBottom, 200);  // not printing: no effect
  doc.list.Printing = true;
  doc.list.Paint(canvas, Rect{0, 0, 100, 200}, 100, 0, 0);
  EXPECT_EQ(doc.list.PageBottom, 22);
}

}  // namespace
}  // namespace brisomel::test

namespace brisomel::test {
namespace {

TEST(Printing, PaleTextPrintsGreyAndBlackOnTwoColourDevices) {
  for (int bits : {32, 1}) {
    DocFixture doc;
    doc.font.SetColor(0xF0F0F0);
    doc.Para("a");
    doc.Layout(100);
    doc.list.Printing = true;
    SoftwareCanvas canvas(50, 50);
    DeviceCaps caps = canvas.GetDeviceCaps();
    caps.bits_per_pixel = bits;
    canvas.SetDeviceCaps(caps);
    doc.list.Paint(canvas, Rect{0, 0, 50, 50}, 50, 0, 0);
    EXPECT_EQ(canvas.PixelAt(2, 17), bits == 1 ? 0u : 0xA0A0A0u) << bits;
  }
}

}  // namespace
}  // namespace brisomel::test
