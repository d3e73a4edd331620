#include "archive/pattern_search.h"

#include <gtest/gtest.h>

#include "archive/attached_archive.h"
#include "archive_fixtures.h"
#include "platform/headless/memory_files.h"

namespace brisomel {
namespace {

using testing::Bytes;

// A file of `size` dots with `text` placed at each offset.
Bytes FileWith(size_t size, const std::string& text, std::initializer_list<size_t> offsets) {
  Bytes bytes(size, '.');
  for (size_t at : offsets) std::copy(text.begin(), text.end(), bytes.begin() + at);
  return bytes;
}

TEST(FindPatternInFile, Windows) {
  // Windows of 255 bytes start at 0, 245, 490, ... for this 10-byte pattern.
  const std::string p = "PATTERN-10";
  struct Case {
    const char* what;
    Bytes file;
    std::string pattern;
    int occurrence;
    int64_t expected;
  };
  const Case cases[] = {
      {"at the start", FileWith(1000, p, {0}), p, 1, 0},
      {"at the end of the file", FileWith(1000, p, {990}), p, 1, 990},
      {"in the overlap of two windows: counted once", FileWith(1000, p, {245}), p, 1, 245},
      {"in the overlap, as the second occurrence", FileWith(1000, p, {245}), p, 2, -1},
      {"after one in the overlap", FileWith(1000, p, {245, 600}), p, 2, 600},
      {"across a window edge", FileWith(1000, p, {250}), p, 1, 250},
      {"two in one window: only the first counts", FileWith(1000, p, {10, 100}), p, 2, -1},
      {"two in one window, the later one overlapping the next", FileWith(1000, p, {10, 245}), p, 2,
       245},
      {"second occurrence far away", FileWith(100000, p, {1234, 77777}), p, 2, 77777},
      {"occurrence past the last", FileWith(1000, p, {7}), p, 2, -1},
      {"lower-case text found after the retry", FileWith(1000, "pattern-10", {300}), p, 1, 300},
      {"case ignored in later windows once retried", FileWith(1000, "PaTtErN-10", {700}), p, 1,
       700},
      {"empty pattern", FileWith(100, p, {0}), "", 1, -1},
      {"pattern as long as a window", FileWith(2000, std::string(255, 'x'), {1500}),
       std::string(255, 'x'), 1, 1500},
      {"pattern longer than a window", FileWith(2000, std::string(256, 'x'), {100}),
       std::string(256, 'x'), 1, -1},
      {"empty file", {}, p, 1, -1},
  };
  for (const Case& c : cases) {
    MemoryFiles files;
    files.Put("/f", c.file);
    EXPECT_EQ(FindPatternInFile(files, "/f", c.pattern, c.occurrence), c.expected) << c.what;
  }
  MemoryFiles files;
  EXPECT_EQ(FindPatternInFile(files, "/missing", p, 1), -1);
}

// The program holds the archive pattern once: the constant the search uses. A second copy ahead
// of an appended archive would make the search land inside the program.
TEST(FindPatternInFile, ThisProgramHoldsTheArchivePatternOnce) {
  auto files = MakePlatformFiles();
  const std::string self = files->ExecutablePath();
  ASSERT_FALSE(self.empty());
  EXPECT_GE(FindPatternInFile(*files, self, kArchivePattern, sizeof kArchivePattern, 1), 0);
  EXPECT_EQ(FindPatternInFile(*files, self, kArchivePattern, sizeof kArchivePattern, 2), -1);
}

}  // namespace
}  // namespace brisomel
