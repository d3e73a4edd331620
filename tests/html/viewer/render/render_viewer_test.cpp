// brisomel-render's viewer modes: the find walk and the screen at a scroll position; and what
// a form submits, which prints as UTF-8 like the find text is read.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string RunTool(const std::string& arguments, int* status) {
  std::string out;
  std::FILE* pipe = popen((std::string(BRISOMEL_RENDER) + " " + arguments).c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

class RenderViewer : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(BRISOMEL_BUILD_DIR) / "render-viewer";
    fs::create_directories(dir);
    page = (dir / "find.htm").string();
    std::ofstream(page) << "<p>Alpha beta</p><p>alpha gamma ALPHA</p>";
  }
  fs::path dir;
  std::string page;
};

TEST_F(RenderViewer, FindPrintsOneLinePerHit) {
  int status = -1;
  // Test font: 8 pixels a character, 22 a line, paragraph spaces of 14; the viewer lays out
  // from its top margin of 5.
  EXPECT_EQ(RunTool(page + " --find alpha --test-font --width 400", &status),
            "hit pos=0 x=0 y=19\nhit pos=10 x=0 y=55\nhit pos=22 x=96 y=55\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunTool(page + " --find alpha --match-case --test-font", &status),
            "hit pos=10 x=0 y=55\n");
  EXPECT_EQ(RunTool(page + " --find nothing --test-font", &status), "");
  EXPECT_EQ(status, 0);
}

TEST_F(RenderViewer, TextOutsideAsciiIsUtf8) {
  const std::string utf8 = (dir / "utf8.htm").string();
  std::ofstream(utf8) << "<form><p>Café CAFÉ <input name=q value=\"naïve €5\"></form>";
  int status = -1;
  EXPECT_EQ(RunTool(utf8 + " --find café --test-font", &status),
            "hit pos=0 x=0 y=19\nhit pos=5 x=40 y=19\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunTool(utf8 + " --submit", &status),
            "method=Get action= target= enctype=\nq=naïve €5\n");
  EXPECT_EQ(status, 0);
}

TEST_F(RenderViewer, ScreenAtAScrollPositionHasTheViewersSize) {
  std::string html;
  for (int i = 0; i < 100; ++i) html += "<p>Line " + std::to_string(i) + "</p>";
  std::ofstream(dir / "long.htm") << html;
  const std::string top = (dir / "top.png").string(), down = (dir / "down.png").string();
  int status = -1;
  RunTool((dir / "long.htm").string() + " -o " + top + " --height 200 --width 300 --test-font",
          &status);
  ASSERT_EQ(status, 0);
  RunTool((dir / "long.htm").string() + " -o " + down +
              " --height 200 --width 300 --scroll 500 --test-font",
          &status);
  ASSERT_EQ(status, 0);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, down.c_str()));
  EXPECT_EQ(image.width, 300u);
  EXPECT_EQ(image.height, 200u);
  png_image_free(&image);
  std::ifstream a(top, std::ios::binary), b(down, std::ios::binary);
  const std::string pa((std::istreambuf_iterator<char>(a)), {}),
      pb((std::istreambuf_iterator<char>(b)), {});
  EXPECT_NE(pa, pb);
  // Bad numbers are refused.
  RunTool(page + " -o " + top + " --height 0 2>/dev/null", &status);
  EXPECT_NE(status, 0);
  RunTool(page + " -o " + top + " --scroll -1 2>/dev/null", &status);
  EXPECT_NE(status, 0);
}

}  // namespace
