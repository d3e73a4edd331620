// UTF-8 text (paths, messages, captions as the ports carry them) to the wide strings the
// Windows calls take, and back. Invalid UTF-8 and unpaired surrogates become U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "text/utf.h"

namespace brisomel {

inline std::wstring WideText(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

inline std::string Utf8Text(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace brisomel
