// Windows-1252 bytes and UTF-16 text: the widening and narrowing that code still holding
// single-byte text uses where it meets code that holds UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace brisomel {

// Each byte as its Windows-1252 character; the five bytes the code page leaves undefined
// (81, 8D, 8F, 90, 9D) become the control characters of the same value.
std::u16string Windows1252ToUtf16(std::string_view bytes);

// Each character as its Windows-1252 byte, '?' where the code page has none (a surrogate
// pair is one character).
std::string Utf16ToWindows1252Lossy(std::u16string_view text);

}  // namespace brisomel
