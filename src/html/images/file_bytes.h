// Reading image files through the files port.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brisomel {

class Files;

// Image files above this size are not read at all.
inline constexpr int64_t kMaxImageFileBytes = int64_t{256} << 20;

// The first `limit` bytes of the file (fewer if it is shorter); none if it cannot be opened
// or is larger than kMaxImageFileBytes.
std::optional<std::vector<uint8_t>> ReadFileBytes(Files& files, const std::string& path,
                                                  int64_t limit = kMaxImageFileBytes);

}  // namespace brisomel
