// The start page's rules without a window: which file, shown how, and where the window goes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell/startup.h"

namespace brisomel {
namespace {

class Files : public BookEnvironment {
 public:
  std::string CurrentDirectory() override { return cwd; }
  bool ChangeDirectory(const std::string& path) override { return false; }
  bool FileExists(const std::string& path) override { return files.count(path) > 0; }
  void ExtractAttachedArchive() override {}
  std::string GetTempDirectory() override { return "C:\\temp\\run\\"; }
  void DeleteExtractedFiles() override {}

  std::string cwd = "C:\\book";
  std::set<std::string> files;
};

TEST(StartFile, IndexHtmlWinsAndAnArgumentIsTakenAsGiven) {
  Files env;
  struct Case {
    std::set<std::string> files;
    std::vector<std::string> args;
    const char* chosen;
  } cases[] = {
      {{}, {}, ""},
      {{"index.htm"}, {}, "C:\\book\\index.htm"},
      {{"index.html"}, {}, "C:\\book\\index.html"},
      {{"index.htm", "index.html"}, {}, "C:\\book\\index.html"},
      // The argument wins even over an index file, exists or not, and is not expanded.
      {{"index.htm"}, {"tower.htm"}, "tower.htm"},
      {{}, {"missing.htm", "second.htm"}, "missing.htm"},
  };
  for (const Case& c : cases) {
    env.files = c.files;
    EXPECT_EQ(ChooseStartFile(env, c.args), c.chosen) << c.chosen;
  }
  // A working directory at a drive's root already ends in a separator.
  env.cwd = "C:\\";
  env.files = {"index.htm"};
  EXPECT_EQ(ChooseStartFile(env, {}), "C:\\index.htm");
}

TEST(ShowAsImage, ExtensionDecidesAndFoldersWithDotsDoNot) {
  struct Case {
    const char* name;
    const char* ext;
    bool image;
  } cases[] = {
      {"C:\\book\\beacon.gif", ".GIF", true},
      {"photo.Jpg", ".JPG", true},
      {"photo.jpeg", ".JPEG", true},
      {"lantern.png", ".PNG", true},
      {"picture.bmp", ".BMP", false},  // a bitmap goes through LoadFromFile
      {"page.htm", ".HTM", false},
      {"notes.txt", ".TXT", false},
      {"anim.gifs", ".GIFS", true},  // the rule looks for a substring
      {"C:\\pics.gif\\page", "", false},
      {"C:\\pics.gif\\page.htm", ".HTM", false},
      {"README", "", false},
      {"", "", false},
      {"a.gif\xE9", ".GIF\xE9", true},  // only a..z change case
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpperExtension(c.name), c.ext) << c.name;
    EXPECT_EQ(ShowAsImage(UpperExtension(c.name)), c.image) << c.name;
  }
}

TEST(PlacementForScreenWidth, OnlyTheTwoSmallScreensHaveTheirOwnBounds) {
  struct Case {
    int width;
    TFormBounds bounds;
  } cases[] = {
      {640, {10, 10, 500, 400}},  {800, {100, 60, 640, 480}}, {1024, {140, 80, 800, 600}},
      {639, {140, 80, 800, 600}}, {801, {140, 80, 800, 600}}, {1920, {140, 80, 800, 600}},
      {0, {140, 80, 800, 600}},
  };
  for (const Case& c : cases) {
    const TFormBounds b = PlacementForScreenWidth(c.width);
    EXPECT_EQ(b.left, c.bounds.left) << c.width;
    EXPECT_EQ(b.top, c.bounds.top) << c.width;
    EXPECT_EQ(b.width, c.bounds.width) << c.width;
    EXPECT_EQ(b.height, c.bounds.height) << c.width;
  }
}

TEST(ServerRootFor, TheBookForItsOwnFilesElseTheFilesDirectory) {
  const std::string book = "C:\\Temp\\brisomel-01\\";
  EXPECT_EQ(ServerRootFor("C:\\Temp\\brisomel-01\\a\\b\\page.htm", book), book);
  EXPECT_EQ(ServerRootFor("c:/temp/BRISOMEL-01/index.htm", book), book);
  EXPECT_EQ(ServerRootFor("C:\\Temp\\brisomel-012\\page.htm", book), "C:\\Temp\\brisomel-012\\");
  EXPECT_EQ(ServerRootFor("D:\\site\\page.htm", book), "D:\\site\\");
  EXPECT_EQ(ServerRootFor("D:\\site\\page.htm", ""), "D:\\site\\");
}

TEST(DirectoryPart, KeepsTheTrailingSeparator) {
  EXPECT_EQ(DirectoryPart("C:\\book\\sub\\page.htm"), "C:\\book\\sub\\");
  EXPECT_EQ(DirectoryPart("C:page.htm"), "C:");
  EXPECT_EQ(DirectoryPart("page.htm"), "");
}

}  // namespace
}  // namespace brisomel
