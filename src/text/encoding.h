// Character encodings: the encodings a page can be written in, their labels as the Encoding
// Standard reads them, and how a page's encoding is found from its bytes.
//
// Finding a page's encoding, in order:
//   1. a byte-order mark: EF BB BF (UTF-8), FF FE (UTF-16LE), FE FF (UTF-16BE);
//   2. a META element in the first kPrescanBytes bytes, read as the HTML parser's prescan reads
//      it: <META CHARSET=...>, or <META HTTP-EQUIV="Content-Type" CONTENT="...charset=...">
//      (the pragma counts only together with its HTTP-EQUIV). Comments and other tags are
//      skipped whole, so a META inside a comment or an attribute value does not count. A
//      declared UTF-16 encoding means UTF-8 (the page's bytes were readable as ASCII, so they
//      are not UTF-16), x-user-defined means windows-1252, an unknown label is passed over;
//      a META still unfinished where the scan ends does not count;
//   3. UTF-8 when the whole page is valid UTF-8 holding at least one multi-byte sequence;
//   4. windows-1252.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace brisomel {

enum class Encoding {
  kUtf8,
  kUtf16Le,
  kUtf16Be,
  // Single-byte encodings: ASCII below 0x80, a table above.
  kIbm866,
  kIso8859_2,
  kIso8859_3,
  kIso8859_4,
  kIso8859_5,
  kIso8859_6,
  kIso8859_7,
  kIso8859_8,
  kIso8859_8I,  // the same characters as ISO-8859-8, in logical order
  kIso8859_10,
  kIso8859_13,
  kIso8859_14,
  kIso8859_15,
  kIso8859_16,
  kKoi8R,
  kKoi8U,
  kMacintosh,
  kWindows874,
  kWindows1250,
  kWindows1251,
  kWindows1252,
  kWindows1253,
  kWindows1254,
  kWindows1255,
  kWindows1256,
  kWindows1257,
  kWindows1258,
  kXMacCyrillic,
  // Multi-byte encodings.
  kGbk,
  kGb18030,
  kBig5,
  kEucJp,
  kIso2022Jp,
  kShiftJis,
  kEucKr,
  // Labels of encodings that are dangerous to read (ISO-2022-KR, HZ, ...) name this one: a
  // page in it decodes to a single U+FFFD.
  kReplacement,
  // 0x80..0xFF as U+F780..U+F7FF.
  kXUserDefined,
  // The DOS code page of ZIP entry names that do not carry the UTF-8 flag. It has no label.
  kIbm437,
};

inline constexpr size_t kEncodingCount = static_cast<size_t>(Encoding::kIbm437) + 1;

// How far from the top a META declaration is looked for.
inline constexpr size_t kPrescanBytes = 1024;

// The encoding a label names, as the Encoding Standard's table of labels says: leading and
// trailing ASCII whitespace is ignored and letters match without regard to ASCII case
// ("latin1", "ISO-8859-1" and "ascii" name windows-1252, "x-sjis" Shift_JIS, "gb2312" GBK).
// Nothing for a label the table does not hold.
std::optional<Encoding> EncodingForLabel(std::string_view label);

// The encoding's name as the Encoding Standard writes it, lower case ("utf-8", "shift_jis",
// "windows-1251"); "ibm437" for the ZIP code page.
std::string_view EncodingName(Encoding encoding);

// Whether each byte is one character: the single-byte encodings, x-user-defined and IBM437.
bool IsSingleByteEncoding(Encoding encoding);

// What a form submitted from a page in `encoding` is encoded in: UTF-8 for the UTF-16
// encodings and replacement, else the encoding itself.
Encoding OutputEncoding(Encoding encoding);

// The encoding of a byte-order mark at the start of `bytes` and the mark's length in bytes.
struct ByteOrderMark {
  Encoding encoding;
  size_t length;
};
std::optional<ByteOrderMark> FindByteOrderMark(std::string_view bytes);

// The encoding a META element in the first kPrescanBytes bytes declares (step 2 above).
std::optional<Encoding> PrescanMetaEncoding(std::string_view bytes);

// Whether `bytes` is valid UTF-8 holding at least one multi-byte sequence (step 3 above).
bool LooksLikeUtf8(std::string_view bytes);

// A page's encoding, found by the four steps above.
Encoding SniffPageEncoding(std::string_view bytes);

}  // namespace brisomel
