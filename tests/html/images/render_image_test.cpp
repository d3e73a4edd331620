// brisomel-render --image, run as a program (Linux; ImageMagick reads its PNGs back).
#ifdef BRISOMEL_HAVE_PEERS
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>

#include "gif_builder.h"
#include "html/images/corner_image.h"
#include "html/images/gif_image.h"
#include "html/images/resources.h"

namespace brisomel {
namespace {

using test::Bytes;

class RenderImage : public testing::Test {
 protected:
  void SetUp() override {
    tool_ = std::string(BRISOMEL_BUILD_DIR) + "/brisomel-render";
    if (!test::HaveTool(tool_) || !test::HaveTool("convert"))
      GTEST_SKIP() << "tool or convert missing";
    // A folder per test: CTest runs the tests of this fixture side by side.
    dir_ = test::WorkDir(std::string("render-") +
                         testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  // Runs the tool; returns its exit code and keeps its error output.
  int Run(const std::string& args) {
    std::string cmd = "'" + tool_ + "' " + args + " 2>'" + dir_ + "/err.txt'";
    int status = std::system(cmd.c_str());
    error_ = test::ReadFile(dir_ + "/err.txt");
    return WEXITSTATUS(status);
  }
  std::vector<uint32_t> Pixels(const std::string& png, int w, int h) {
    Bytes rgb = test::Capture("convert '" + png + "' -depth 8 rgb:-");
    std::vector<uint32_t> out;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
      out.push_back(uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2]);
    EXPECT_EQ(out.size(), size_t(w) * h);
    return out;
  }
  std::string tool_, dir_;
  Bytes error_;
};

TEST_F(RenderImage, GifFramesAsTheAnimationShowsThem) {
  std::string corner = dir_ + "/corner.gif";
  auto bytes = CornerImageBytes();
  test::WriteFile(corner, Bytes(bytes.begin(), bytes.end()));
  TGIFImage gif;
  ASSERT_TRUE(gif.LoadFromStream(bytes));
  for (int frame : {1, 4}) {
    SCOPED_TRACE(frame);
    std::string out = dir_ + "/corner" + std::to_string(frame) + ".png";
    ASSERT_EQ(
        Run("--image '" + corner + "' --frame " + std::to_string(frame) + " -o '" + out + "'"), 0);
    gif.SetCurrentFrame(frame);
    auto pixels = Pixels(out, 48, 36);
    for (size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(pixels[i], gif.Composite().pixels[i]) << i;
  }
}

TEST_F(RenderImage, TransparentPixelsShowWhite) {
  std::string path = dir_ + "/clear.gif";
  test::GifBuilder g(2, 1, 1, [](int i) { return i ? 0xFF0000u : 0x000000u; });
  test::WriteFile(path, g.Control(0, 0, 0).Image(0, 0, 2, 1, {0, 1}).Done());
  ASSERT_EQ(Run("--image '" + path + "' -o '" + dir_ + "/clear.png'"), 0);
  EXPECT_EQ(Pixels(dir_ + "/clear.png", 2, 1), (std::vector<uint32_t>{0xFFFFFF, 0xFF0000}));
}

TEST_F(RenderImage, PngAlphaBlendsWithWhite) {
  std::string path = dir_ + "/half.png";
  ASSERT_EQ(std::system(("convert -size 3x1 xc:'rgba(255,0,0,0.5)' -fill blue -draw 'point 1,0' "
                         "-fill none -draw 'color 2,0 point' '" + path + "'").c_str()),
            0);
  ASSERT_EQ(Run("--image '" + path + "' -o '" + dir_ + "/half-out.png'"), 0);
  EXPECT_EQ(Pixels(dir_ + "/half-out.png", 3, 1), (std::vector<uint32_t>{0xFF7F7F, 0x0000FF, 0xFFFFFF}));
}

TEST_F(RenderImage, FilesWithoutAnImageExitWithOneLine) {
  std::string png = dir_ + "/broken.png", gif = dir_ + "/one.gif";
  ASSERT_EQ(std::system(("convert -size 2x2 xc:red '" + png + "'").c_str()), 0);
  Bytes truncated = test::ReadFile(png);
  truncated.resize(40);
  test::WriteFile(png, truncated);
  test::GifBuilder g(1, 1, 1);
  test::WriteFile(gif, g.Image(0, 0, 1, 1, {1}).Done());
  struct Case {
    std::string args;
    int code;
  } cases[] = {
      {"--image '" + png + "' -o '" + dir_ + "/x.png'", 1},
      {"--image '" + dir_ + "/missing.gif' -o '" + dir_ + "/x.png'", 1},
      {"--image '" + gif + "' --frame 2 -o '" + dir_ + "/x.png'", 1},
      {"--image '" + gif + "' --frame 0 -o '" + dir_ + "/x.png'", 1},
      {"--image '" + gif + "'", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(Run(c.args), c.code);
    ASSERT_FALSE(error_.empty());
    if (c.code == 1) {
      EXPECT_EQ(std::count(error_.begin(), error_.end(), '\n'), 1);
    }
  }
}

}  // namespace
}  // namespace brisomel
#endif
