// Decoding and encoding every encoding of text/encoding.h around the character tables a
// platform supplies. The portable part is everything but the tables: cutting bytes into
// characters, what counts as invalid and how much of it one U+FFFD replaces (the Encoding
// Standard's decoders), the stateful ISO-2022-JP, the arithmetic parts (halfwidth katakana,
// Shift_JIS user-defined characters, GB18030 four-byte sequences), UTF-8 and UTF-16 (with fast
// paths of their own), and the "&#NNNN;" of form submission. The platform is asked only to map
// sequences whose form has been checked, one table at a time, strictly.
//
// Format notes (the multi-byte encodings as read here):
//   Shift_JIS  00..80 single; A1..DF halfwidth katakana; lead 81..9F, E0..FC, trail 40..7E,
//              80..FC; leads F0..F9 are user-defined characters (U+E000..U+E757).
//   EUC-JP     00..7F single; 8E + A1..DF halfwidth katakana; A1..FE + A1..FE JIS X 0208;
//              8F + A1..FE + A1..FE JIS X 0212. JIS X 0208 is read through the Shift_JIS table
//              (both number its characters the same way), so the two agree.
//   ISO-2022-JP  ESC ( B ASCII, ESC ( J JIS Roman, ESC ( I katakana, ESC $ @ / ESC $ B JIS X
//              0208 as pairs of 21..7E; two escapes with nothing between them are an error.
//   GBK, gb18030  00..7F single, 80 the euro sign; lead 81..FE, trail 40..7E, 80..FE; or
//              81..FE 30..39 81..FE 30..39, four bytes numbered through ranges of code points.
//   Big5       lead 81..FE, trail 40..7E, A1..FE.   EUC-KR  lead 81..FE, trail 41..FE.
// A lead byte followed by a byte that cannot trail it is one error; the follower is read again
// when it is ASCII, so an ASCII delimiter is never swallowed. A well-formed sequence the table
// does not map is one error too, its ASCII trail byte again read on its own.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "text/encoding.h"

namespace brisomel {

// The character tables of a platform as two strict conversions. Each converts the whole input,
// appending it to `out`, or appends nothing and returns false when any character has no
// mapping (or the platform lacks the table). `table` is one of:
//   a single-byte encoding (asked one byte at a time, once, to build a table);
//   kShiftJis   ASCII and Shift_JIS pairs (Windows code page 932);
//   kEucJp      three-byte JIS X 0212 sequences 8F xx xx only;
//   kGbk        ASCII and GBK pairs (code page 936);
//   kBig5       ASCII and Big5 pairs (code page 950);
//   kEucKr      ASCII and Unified Hangul Code pairs (code page 949).
// `encode` is asked for one character at a time, in kShiftJis, kGbk, kBig5 and kEucKr.
struct PlatformTables {
  bool (*decode)(std::string_view bytes, Encoding table, std::u16string& out);
  bool (*encode)(std::u16string_view text, Encoding table, std::string& out);
};

// The tables of the platform the program runs on, defined by the charset adapter the target
// links (src/platform/win32/charset_win32.cpp, src/platform/headless/charset_iconv.cpp).
PlatformTables CharsetPlatformTables();

class LegacyCodec {
 public:
  explicit LegacyCodec(PlatformTables platform) : platform_(platform) {}

  // See DecodeBytes, DecodePage and EncodeForForm in platform/charset.h.
  std::u16string Decode(std::string_view bytes, Encoding encoding);
  std::u16string DecodePage(std::string_view bytes, Encoding* used);
  std::string EncodeForForm(std::u16string_view text, Encoding encoding);

 private:
  // Bytes 0x80..0xFF of a single-byte encoding; U+FFFD where a byte has no character.
  struct SingleByteTable {
    std::array<char16_t, 128> high;
    std::vector<std::pair<char16_t, uint8_t>> reverse;  // sorted by character, first byte wins
  };
  const SingleByteTable& TableOf(Encoding encoding);
  void BuildTable(Encoding encoding, SingleByteTable& table) const;
  std::string EncodeMultiByte(std::u32string_view text, Encoding encoding) const;

  PlatformTables platform_;
  std::array<std::once_flag, kEncodingCount> built_;
  std::array<SingleByteTable, kEncodingCount> tables_;
};

}  // namespace brisomel
