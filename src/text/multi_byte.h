// The codec's multi-byte decoders and the numbering the encoders share with them. Internal to
// text/legacy_codec.cpp and its tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/legacy_codec.h"

namespace brisomel::multi_byte {

// Appends `bytes` in Shift_JIS, EUC-JP, ISO-2022-JP, GBK, gb18030, Big5 or EUC-KR to `out`.
void Decode(std::string_view bytes, Encoding encoding, const PlatformTables& platform,
            std::u16string& out);

// JIS X 0208 numbers its characters row × 94 + cell (0 .. 8835 for the 94 rows); Shift_JIS
// numbers the same characters the same way, two rows to a lead byte.
inline constexpr uint32_t kJis0208Characters = 94 * 94;
std::string ShiftJisBytes(uint32_t pointer);
// The number of a Shift_JIS pair; nothing for bytes that are no pair.
std::optional<uint32_t> ShiftJisPointer(std::string_view pair);

// GB18030's four-byte sequences, numbered (b1 - 0x81) × 12600 + (b2 - 0x30) × 1260 +
// (b3 - 0x81) × 10 + (b4 - 0x30): the code point of a number (nothing where none is
// assigned), and the number of a code point.
std::optional<char32_t> Gb18030RangesCodePoint(uint32_t pointer);
uint32_t Gb18030RangesPointer(char32_t code_point);

// The GBK pairs (lead << 8 | trail) that GB18030 gives a character where code page 936 has
// private use, and six the platforms disagree on; read and written here, never asked of the
// platform. Nothing for other pairs and characters.
std::optional<char32_t> Gb18030PairCharacter(uint16_t pair);
std::optional<uint16_t> Gb18030PairOf(char32_t character);

}  // namespace brisomel::multi_byte
