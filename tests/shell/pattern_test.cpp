// The archive search finds the archive by a 10-byte pattern whose first occurrence in the
// program's own file must be the search constant itself: the built program holds the pattern
// exactly once, and not at an offset the search's overlapping windows would see twice.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

TEST(BuiltProgram, HoldsTheArchivePatternOnceAtAnOffsetCountedOnce) {
  const char* path = BRISOMEL_BUILD_DIR "/brisomel.exe";
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  const uint8_t pattern[10] = {0x50, 0x4B, 0x03, 0x04, 0x14, 0x00, 0x02, 0x00, 0x08, 0x00};

  std::vector<size_t> found;
  for (size_t i = 0; i + sizeof pattern <= bytes.size(); ++i) {
    if (std::equal(pattern, pattern + sizeof pattern, bytes.begin() + i)) found.push_back(i);
  }
  ASSERT_EQ(found.size(), 1u) << "occurrences of the archive pattern in " << path;
  EXPECT_NE(found[0] % 245, 0u) << "offset " << found[0];
}

}  // namespace
