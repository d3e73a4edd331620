#include "html/images/resources.h"

#include <gtest/gtest.h>

#include "html/images/corner_image.h"
#include "html/images/gif_image.h"
#include "html/images/image_module.h"
#include "html/images/image_type.h"

namespace brisomel {
namespace {

TEST(Resources, PlaceholdersAreSixteenPixelBitmaps) {
  TImageModule module(32);
  for (int id : {kResourceImageError, kResourceImageWait, kResourceImageErrorMask}) {
    SCOPED_TRACE(id);
    const Bitmap& b = module.Placeholder(id);
    EXPECT_EQ(b.width, 16);
    EXPECT_EQ(b.height, 16);
  }
  EXPECT_TRUE(module.Placeholder(1004).empty());
  // The mask is white exactly where the error picture shows its white surround.
  const Bitmap& error = module.Placeholder(kResourceImageError);
  const Bitmap& mask = module.Placeholder(kResourceImageErrorMask);
  EXPECT_EQ(mask.ColorAt(0, 0), 0xFFFFFFu);
  EXPECT_EQ(mask.ColorAt(1, 1), 0u);
  EXPECT_EQ(error.ColorAt(1, 1), 0u);
  for (int i = 0; i < 256; ++i) {
    if (mask.ColorAt(i % 16, i / 16)) {
      EXPECT_EQ(error.ColorAt(i % 16, i / 16), 0xFFFFFFu) << i;
    }
  }
}

TEST(Resources, CursorsAreCursorFiles) {
  TImageModule module(32);
  for (int id : {kCursorLink, kCursorText}) {
    auto cur = module.Cursor(id);
    ASSERT_GE(cur.size(), 22u);
    EXPECT_EQ(cur[2], 2);  // type 2: cursor
    EXPECT_EQ(cur[4], 1);  // one image
    EXPECT_EQ(cur[6], 32);
  }
  EXPECT_TRUE(module.Cursor(kResourceImageError).empty());
}

TEST(Resources, CornerImageIsALoopingAnimationOf48By36) {
  auto bytes = CornerImageBytes();
  EXPECT_EQ(ImageTypeOf(bytes), itGif89);
  TGIFImage gif;
  ASSERT_TRUE(gif.LoadFromStream(bytes));
  EXPECT_EQ(gif.Width(), 48);
  EXPECT_EQ(gif.Height(), 36);
  EXPECT_TRUE(gif.Animated());
  EXPECT_EQ(gif.LoopCount(), 0);
}

}  // namespace
}  // namespace brisomel
