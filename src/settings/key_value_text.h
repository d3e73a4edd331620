// Settings text: UTF-8 lines of `key=value`, the form of the book's settings entry and of the
// reading-state file, so that a person can read and mend either with a text editor.
//
// Reading is tolerant, because these files may be damaged and must never stop the reader: a
// byte-order mark at the start is skipped; lines end with LF or CR LF; blank lines and lines
// starting with '#' or ';' are comments; a line without '=', or whose key is not made of
// a-z, 0-9, '_' and '-', or that is longer than kMaxSettingsLine bytes, is passed over; keys
// and values lose the spaces and tabs around them. Text longer than kMaxSettingsText bytes is
// not read at all. What a value means is for its reader to check.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brisomel {

// Far above what either file holds; a longer file is damaged.
constexpr size_t kMaxSettingsText = 64 * 1024;
constexpr size_t kMaxSettingsLine = 4096;

struct KeyValue {
  std::string key;
  std::string value;
};

std::vector<KeyValue> ReadKeyValues(std::string_view text);

// The value of the last line with `key`, or null.
const std::string* FindValue(const std::vector<KeyValue>& pairs, std::string_view key);

// A comment line, then one line per pair, each ending in LF. Values must not hold line breaks.
std::string WriteKeyValues(std::string_view comment, const std::vector<KeyValue>& pairs);

// Whether `text` is well-formed UTF-8 (a damaged value is dropped rather than shown mangled).
bool IsUtf8(std::string_view text);

// The decimal integer that `text` is exactly (an optional '-' and digits), when it lies in
// [low, high].
bool ParseInteger(std::string_view text, long long low, long long high, long long* value);

}  // namespace brisomel
