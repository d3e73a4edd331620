// Windows-1252, the single-byte text that parts of the engine still keep, to and from UTF-16.
// 0x00..0x7F and 0xA0..0xFF stand for the code points of the same value; 0x80..0x9F hold the
// 27 characters of the Encoding Standard's table (quotes, dashes, the euro sign, ...), and its
// five unused bytes 81, 8D, 8F, 90 and 9D stand for the C1 controls of the same value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brisomel {

// The code point of one Windows-1252 byte.
char16_t Windows1252CodePoint(uint8_t byte);

// The Windows-1252 byte of a code point, or -1 when Windows-1252 has none.
int Windows1252FromCodePoint(char32_t code_point);

std::u16string Windows1252ToUtf16(std::string_view bytes);
// Every character Windows-1252 lacks (an unpaired surrogate included) becomes one "?".
std::string Utf16ToWindows1252Lossy(std::u16string_view text);

}  // namespace brisomel
