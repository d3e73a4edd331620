// brisomel-render on a frameset document: the frame structure of the dump, and the picture of
// the whole frame viewer.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
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

// The dump's frameset and frame lines only (the documents' layout lines left out).
std::string StructureLines(const std::string& dump) {
  std::string out;
  size_t start = 0;
  while (start < dump.size()) {
    size_t end = dump.find('\n', start);
    if (end == std::string::npos) end = dump.size();
    const std::string line = dump.substr(start, end - start);
    const size_t text = line.find_first_not_of(' ');
    if (text != std::string::npos &&
        (line.compare(text, 9, "frameset ") == 0 || line.compare(text, 6, "frame ") == 0))
      out += line + "\n";
    start = end + 1;
  }
  return out;
}

const std::string kBook = std::string(BRISOMEL_TEST_SOURCE_DIR) + "/render/frames/";

TEST(RenderFrames, DumpShowsTheFrameTree) {
  int status = -1;
  const std::string dump =
      RunTool(kBook + "book.htm --dump --test-font --width 500 --height 300", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(StructureLines(dump),
            "frameset cols x=0 y=0 w=500 h=300\n"
            "  frame name=nav x=0 y=0 w=150 h=300 src=" +
                kBook +
                "nav.htm\n"
                "  frameset rows x=150 y=0 w=350 h=300\n"
                "    frame name=content x=150 y=0 w=350 h=240 src=" +
                kBook +
                "chapter1.htm\n"
                "    frame name=foot x=150 y=240 w=350 h=60 src=" +
                kBook + "foot.htm\n");
  // Each frame's document follows its line, one level deeper.
  EXPECT_NE(dump.find("src=" + kBook + "nav.htm\n    TSection"), std::string::npos);
}

TEST(RenderFrames, PictureHasTheViewerSize) {
  const fs::path out = fs::path(BRISOMEL_BUILD_DIR) / "render-frames-book.png";
  fs::remove(out);
  int status = -1;
  RunTool(kBook + "book.htm -o " + out.string() + " --test-font --width 500 --height 300", &status);
  EXPECT_EQ(status, 0);
  ASSERT_TRUE(fs::exists(out));
  // PNG header: width and height at bytes 16..23.
  std::FILE* f = std::fopen(out.string().c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char header[24] = {};
  EXPECT_EQ(std::fread(header, 1, sizeof header, f), sizeof header);
  std::fclose(f);
  EXPECT_EQ((header[18] << 8) | header[19], 500);
  EXPECT_EQ((header[22] << 8) | header[23], 300);
}

}  // namespace
