// Named character references: the HTML 4 set (252 names) and "apos", matched exactly and
// case-sensitively.
#pragma once

#include <cstdint>
#include <string_view>

namespace brisomel {

inline constexpr int kEntityTableSize = 253;
// The longest name ("thetasym").
inline constexpr size_t kLongestEntityName = 8;

// The Unicode code point a name stands for, or -1 for a name that is not in the table.
int32_t EntityCodePoint(std::string_view name);

}  // namespace brisomel
