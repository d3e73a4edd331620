#include "archive/crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace brisomel {
namespace {

TEST(Crc32, MatchesTheCheckValue) {
  const std::string text = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0xCBF43926u);
}

}  // namespace
}  // namespace brisomel
