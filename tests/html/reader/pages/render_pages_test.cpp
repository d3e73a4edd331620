// Pages of tests/render drawn by brisomel-render with the test font and compared with the
// pictures committed beside them (a mismatch leaves <name>-FAILED.png in <build>/render), and
// their layout dumps compared with the committed .dump texts. The same pages drawn with the
// FreeType fonts are written to <build>/render/<name>.png for people to look at.
//
// With BRISOMEL_UPDATE_RENDER=1 in the environment the committed pictures and dumps are
// rewritten instead; look at them before committing.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(BRISOMEL_TEST_SOURCE_DIR) / "render";
const fs::path kOut = fs::path(BRISOMEL_BUILD_DIR) / "render";
constexpr int kWidth = 400;

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

bool ReadPng(const fs::path& path, Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGBA;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  const bool ok = png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs the renderer; its standard output.
std::string Render(const std::string& arguments, int* status) {
  const std::string command = std::string(BRISOMEL_RENDER) + " " + arguments;
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    *status = pclose(pipe);
  } else {
    *status = -1;
  }
  return out;
}

// A 24 x 24 BMP: a yellow box with a black frame and a red cross.
void WriteBox(const fs::path& path) {
  const int w = 24, h = 24, row = w * 3;
  std::vector<uint8_t> file(54 + row * h);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  file[26] = 1;
  file[28] = 24;
  put32(34, static_cast<uint32_t>(row * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &file[54 + (h - 1 - y) * row + x * 3];  // bottom-up, blue green red
      if (x == y || x == w - 1 - y) {
        p[0] = 0, p[1] = 0, p[2] = 255;
      } else if (x < 2 || y < 2 || x >= w - 2 || y >= h - 2) {
        p[0] = 0, p[1] = 0, p[2] = 0;
      } else {
        p[0] = 0, p[1] = 200, p[2] = 255;
      }
    }
  // Tests run in parallel processes that each write the box while another may be reading it:
  // it is written beside and renamed into place, so a reader never sees half a file.
  const fs::path part = path.string() + "." + std::to_string(getpid());
  std::ofstream(part, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  fs::rename(part, path);
}

class RenderedPage : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    fs::create_directories(kOut);
    WriteBox(kOut / "box.bmp");
  }
};

TEST_P(RenderedPage, MatchesCommittedPictureAndDump) {
  const std::string name = GetParam();
  const bool update = std::getenv("BRISOMEL_UPDATE_RENDER") != nullptr;
  // The page is read from a copy beside the generated picture it uses.
  const fs::path page = kOut / (name + ".htm");
  fs::copy_file(kSource / (name + ".htm"), page, fs::copy_options::overwrite_existing);
  const std::string size = " --width " + std::to_string(kWidth);

  int status = 0;
  const fs::path drawn = kOut / (name + "-test-font.png");
  Render(page.string() + " -o " + drawn.string() + size + " --test-font", &status);
  ASSERT_EQ(status, 0);
  const std::string dump = Render(page.string() + " --dump" + size + " --test-font", &status);
  ASSERT_EQ(status, 0);
  const fs::path people = kOut / (name + ".png");
  Render(page.string() + " -o " + people.string() + size, &status);
  EXPECT_EQ(status, 0);
  std::printf("FreeType rendering of %s.htm: %s\n", name.c_str(), people.c_str());

  const fs::path expected_png = kSource / (name + ".png");
  const fs::path expected_dump = kSource / (name + ".dump");
  if (update) {
    fs::copy_file(drawn, expected_png, fs::copy_options::overwrite_existing);
    std::ofstream(expected_dump, std::ios::binary) << dump;
    GTEST_SKIP() << "rewrote " << expected_png << " and " << expected_dump;
  }

  EXPECT_EQ(dump, ReadText(expected_dump)) << name << ".dump";

  Picture got, want;
  ASSERT_TRUE(ReadPng(drawn, got)) << drawn;
  ASSERT_TRUE(ReadPng(expected_png, want)) << expected_png;
  const fs::path failed = kOut / (name + "-FAILED.png");
  fs::remove(failed);
  const bool same = got.width == want.width && got.height == want.height && got.rgba == want.rgba;
  if (!same) fs::copy_file(drawn, failed, fs::copy_options::overwrite_existing);
  EXPECT_TRUE(same) << name << ": " << got.width << "x" << got.height << " drawn, " << want.width
                    << "x" << want.height << " expected; see " << failed;
}

INSTANTIATE_TEST_SUITE_P(Pages, RenderedPage,
                         testing::Values("text", "lists", "images", "table_nested",
                                         "table_contents", "table_grid", "table_float", "forms"));

// What a form would submit, as the committed forms.submit says; a second form without a submit
// button sends its pairs alone; a form the page does not have is an error.
TEST(RenderedPage, SubmitPrintsTheFormsPairs) {
  int status = 0;
  const std::string page = (kSource / "forms.htm").string();
  EXPECT_EQ(Render(page + " --submit --test-font", &status), ReadText(kSource / "forms.submit"));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Render(page + " --submit 1", &status),
            "method=Get action=search.cgi target= enctype=\nq=find me\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Render(page + " --submit 2 2>/dev/null", &status), "");
  EXPECT_NE(status, 0);
}

// --zoom lays the page out at that scale: every picture of the dump twice as large at 200%
// (a link's border stays 1 pixel a side), but for a width in percent of the line. A zoom outside 50 to 300 is refused.
TEST(RenderedPage, ZoomScalesThePictures) {
  fs::create_directories(kOut);
  WriteBox(kOut / "box.bmp");
  fs::copy_file(kSource / "images.htm", kOut / "images-zoom.htm",
                fs::copy_options::overwrite_existing);
  int status = 0;
  const std::string page = (kOut / "images-zoom.htm").string() + " --dump --test-font --width 800";
  auto sizes = [](const std::string& dump) {
    std::vector<std::pair<int, int>> found;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
      int w = 0, h = 0;
      const size_t at = line.find("image x=");
      if (at != std::string::npos &&
          std::sscanf(line.c_str() + line.find(" w=", at), " w=%d h=%d", &w, &h) == 2)
        found.emplace_back(w, h);
    }
    return found;
  };
  const auto normal = sizes(Render(page, &status));
  ASSERT_EQ(status, 0);
  const auto zoomed = sizes(Render(page + " --zoom 200", &status));
  ASSERT_EQ(status, 0);
  ASSERT_FALSE(normal.empty());
  ASSERT_EQ(zoomed.size(), normal.size());
  for (size_t i = 0; i < normal.size(); ++i) {
    // The last picture is half the line wide, at any zoom.
    const int width = i + 1 == normal.size() ? normal[i].first : 2 * normal[i].first;
    EXPECT_NEAR(zoomed[i].first, width, 2) << i;
    EXPECT_NEAR(zoomed[i].second, 2 * normal[i].second, 2) << i;
  }
  EXPECT_EQ(Render(page + " --zoom 20 2>/dev/null", &status), "");
  EXPECT_NE(status, 0);
}

}  // namespace
