// Pictures with partial transparency on a page: each pixel is blended with what lies beneath
// it (the page colour, a table cell's colour, the panel under a background tile).
#include <map>

#include "../images/png_writer.h"
#include "viewer_fixture.h"

namespace brisomel::test {
namespace {

// How many screen pixels have each colour.
std::map<uint32_t, int> Census(const Bitmap& screen) {
  std::map<uint32_t, int> count;
  for (uint32_t p : screen.pixels) ++count[p & 0xFFFFFF];
  return count;
}

TEST_F(ViewerTest, HalfTransparentPicturesBlendWithWhatIsBeneath) {
  // 4 x 2 red pixels at alpha 128 (the mask alone would show them solid red); one pixel fully
  // transparent, so the picture also has a mask, and one opaque.
  std::vector<uint32_t> argb(8, 0x80FF0000);
  argb[6] = 0x00FF0000;
  argb[7] = 0xFFFF0000;
  const Bytes png = WritePng(4, 2, argb);
  Write("half.png", std::string(png.begin(), png.end()));
  const uint32_t on_blue = 0x80007F, on_green = 0x807F00;

  struct Case {
    const char* page;
    std::map<uint32_t, int> at_least;  // blended colours and the fewest pixels of each
    int solid_red;                     // at most this many: the opaque pixels
  } cases[] = {
      {"<body bgcolor=\"#0000FF\"><img src=\"half.png\">"
       "<table><tr><td bgcolor=\"#00FF00\"><img src=\"half.png\"></td></tr></table>",
       {{on_blue, 6}, {on_green, 6}},
       2},
      // A background tile is blended with the panel's colour.
      {"<body bgcolor=\"#0000FF\" background=\"half.png\"><p>x</p>",
       {{on_blue, 400 * 300 / 2}},
       400 * 300 / 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    viewer->LoadFromFile(Write("page.htm", c.page));
    std::map<uint32_t, int> census = Census(Screen());
    for (const auto& [colour, fewest] : c.at_least) EXPECT_GE(census[colour], fewest) << colour;
    EXPECT_LE(census[0xFF0000], c.solid_red) << "only the opaque pixels are solid red";
  }
}

}  // namespace
}  // namespace brisomel::test
