// Unicode text as the engine keeps it: UTF-16 code units in std::u16string, counted the way
// Windows counts them (a character outside the Basic Multilingual Plane takes two units).
// UTF-8 is the form text takes in files, tool output and tests.
//
// Format notes (UTF-8): a lead byte C2..DF takes one continuation byte, E0..EF two, F0..F4
// three; continuation bytes are 80..BF, except that the second byte after E0 is A0..BF
// (no overlong forms), after ED 80..9F (no surrogates), after F0 90..BF (no overlong forms)
// and after F4 80..8F (nothing above U+10FFFF). C0, C1 and F5..FF never start a character.
// Each maximal invalid part of a sequence becomes one U+FFFD, as the Encoding Standard says.
//
// Format notes (UTF-16): D800..DBFF followed by DC00..DFFF is one character; a surrogate
// without its partner is invalid and becomes U+FFFD when converted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brisomel {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// UTF-8 to UTF-16; invalid sequences become U+FFFD. A leading byte-order mark is kept.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends one code point (U+FFFD for surrogates and values above U+10FFFF).
void AppendUtf16(std::u16string& out, char32_t code_point);
void AppendUtf8(std::string& out, char32_t code_point);

// The code point starting at `pos` and how many code units it takes (1 or 2); an unpaired
// surrogate is itself with length 1. `pos` must be inside the text.
struct CodePointAt {
  char32_t code_point;
  size_t length;
};
CodePointAt DecodeUtf16At(std::u16string_view text, size_t pos);

// ASCII-only text to UTF-16, for literals and names the engine knows (tags, file names).
std::u16string AsciiToUtf16(std::string_view ascii);

inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace brisomel
