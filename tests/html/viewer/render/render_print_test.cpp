// brisomel-render --print: the pages a viewer prints on the recording printer (A4, 2 cm
// margins), one PNG and one line per page.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string RunPrint(const std::string& arguments, int* status) {
  std::string out;
  std::FILE* pipe =
      popen((std::string(BRISOMEL_RENDER) + " " + arguments + " 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

// Width and height from a PNG's header.
std::pair<int, int> PngSize(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char h[24] = {};
  in.read(reinterpret_cast<char*>(h), sizeof h);
  auto be = [&](int at) {
    return (h[at] << 24) | (h[at + 1] << 16) | (h[at + 2] << 8) | h[at + 3];
  };
  return {be(16), be(20)};
}

class RenderPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    // One folder per test: the tests may run at once.
    dir = fs::path(BRISOMEL_BUILD_DIR) / "render-print" /
          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    page = (dir / "lines.htm").string();
    std::ofstream out(page);
    for (int i = 0; i < 100; ++i) out << "Line " << i << "<br>";
    pattern = (dir / "out-%d.png").string();
  }
  fs::path dir;
  std::string page, pattern;
};

// At 96 dpi one device pixel is one screen pixel: A4 is 794 x 1123 with an offset of 16, the
// body 973 pixels high, 44 lines of the test font's 22.
TEST_F(RenderPrint, OnePngAndOneLinePerPage) {
  int status = -1;
  EXPECT_EQ(RunPrint(page + " --print " + pattern + " --dpi 96 --test-font", &status),
            "page 1 lines 0-968\npage 2 lines 968-1936\npage 3 lines 1936-2909\n");
  EXPECT_EQ(status, 0);
  for (int n = 1; n <= 3; ++n)
    EXPECT_EQ(PngSize(dir / ("out-" + std::to_string(n) + ".png")), std::make_pair(794, 1123));
  EXPECT_FALSE(fs::exists(dir / "out-4.png"));

  fs::remove_all(dir / "out-1.png");
  EXPECT_EQ(RunPrint(page + " --print " + pattern + " --dpi 96 --pages 2-2 --test-font", &status),
            "page 2 lines 968-1936\n");
  EXPECT_FALSE(fs::exists(dir / "out-1.png"));
  // A range past the end prints nothing.
  EXPECT_EQ(RunPrint(page + " --print " + pattern + " --dpi 96 --pages 7-9 --test-font", &status),
            "");
  EXPECT_EQ(status, 0);
}

TEST_F(RenderPrint, BadOptionsAreRefused) {
  for (const char* options :
       {"--print out.png", "--print out-%d.png --pages 3-1", "--print out-%d.png --pages x",
        "--print out-%d.png --dpi 0", "--print out-%d.png --pages 0-2"}) {
    int status = 0;
    RunPrint(page + " " + options + " --test-font", &status);
    EXPECT_NE(status, 0) << options;
  }
}

}  // namespace
