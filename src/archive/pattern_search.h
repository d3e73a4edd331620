// Finding a byte string in a file, reading it in 255-byte windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace brisomel {

// File offset of the `occurrence`-th (from 1) counted match of `pattern` in the file, or -1.
// Windows of 255 bytes overlap by the pattern's length; at most one match is counted per
// window (its first not counted before), and a match at a given offset is counted once even
// when it lies in the overlap of two windows. A window with no exact match is searched again
// with ASCII letters lower-cased, and the lower-cased pattern serves every later window. An
// empty pattern, or one longer than 255 bytes, is never found.
int64_t FindPatternInFile(Files& files, const std::string& file_name, const uint8_t* pattern,
                          size_t length, int occurrence);

inline int64_t FindPatternInFile(Files& files, const std::string& file_name,
                                 const std::string& pattern, int occurrence) {
  return FindPatternInFile(files, file_name, reinterpret_cast<const uint8_t*>(pattern.data()),
                           pattern.size(), occurrence);
}

}  // namespace brisomel
