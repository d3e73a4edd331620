// Pages written in UTF-8, read as the single-byte Windows-1252 text the engine works in.
//
// A page is UTF-8 when it starts with the byte-order mark EF BB BF, when a META tag in its
// first kCharsetScanBytes bytes declares charset=utf-8 (in CONTENT or as its own CHARSET
// attribute), or, with no charset declared there, when the whole page is valid UTF-8 holding
// at least one multi-byte sequence. A page that declares any other charset is read as it is.
//
// Format notes (UTF-8): a lead byte C2..DF takes one continuation byte, E0..EF two, F0..F4
// three; continuation bytes are 80..BF, except that the second byte after E0 is A0..BF
// (no overlong forms), after ED 80..9F (no surrogates), after F0 90..BF (no overlong forms)
// and after F4 80..8F (nothing above U+10FFFF). C0, C1 and F5..FF never start a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brisomel {

// How far from the top a META charset declaration is looked for.
inline constexpr size_t kCharsetScanBytes = 1024;

// The Windows-1252 byte of a Unicode code point, or -1 when Windows-1252 has none. ASCII and
// U+00A0..U+00FF stand for themselves; the 27 characters of 0x80..0x9F (quotes, dashes, the
// euro sign, ...) have their own bytes; the C1 controls U+0080..U+009F have none.
int Windows1252FromCodePoint(uint32_t code_point);

// Whether the page is to be read as UTF-8 (see above).
bool IsUtf8Page(std::string_view page);

// The page in Windows-1252: a leading byte-order mark is dropped, every character that
// Windows-1252 holds becomes its byte, every other character "?", and every maximal invalid
// part of a sequence (a stray continuation byte, a truncated or overlong sequence) one "?".
std::string Utf8ToWindows1252(std::string_view utf8);

}  // namespace brisomel
