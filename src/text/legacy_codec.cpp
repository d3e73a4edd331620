#include "text/legacy_codec.h"

#include <algorithm>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/multi_byte.h"
#include "text/utf.h"
#include "text/utf8_scan.h"

namespace brisomel {
namespace {

// ---------------------------------------------------------------------------------------------
// UTF-8 and UTF-16, without the platform.

struct Utf8Result {
  bool valid;       // no invalid sequence
  bool multi_byte;  // at least one character of two or more bytes
};

// The fast path for the common page. It writes at most one UTF-16 unit per input byte (one
// byte, one unit; two and three bytes, one unit; four bytes, two units; an invalid part of k
// bytes, one unit), so the output is sized up front and trimmed. Runs of ASCII go sixteen
// bytes at a time where the processor has SSE2, eight otherwise. A character is checked by
// its decoded value (not overlong, no surrogate, not above U+10FFFF) rather than byte by byte.
// With `strict`, decoding stops at the first invalid sequence, leaving what came before it.
Utf8Result DecodeUtf8(std::string_view bytes, std::u16string& out, bool strict) {
  const size_t start = out.size();
  out.resize(start + bytes.size());
  char16_t* d = out.data() + start;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const uint8_t* const end = p + bytes.size();
  bool multi_byte = false;
  while (p < end) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      if (_mm_movemask_epi8(v)) break;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi8(v, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 8), _mm_unpackhi_epi8(v, zero));
      p += 16;
      d += 16;
    }
#else
    while (end - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      if (word & 0x8080808080808080ull) break;
      for (int k = 0; k < 8; ++k) d[k] = p[k];
      p += 8;
      d += 8;
    }
#endif
    // Character by character until the next ASCII byte that starts a run.
    while (p < end) {
      const uint32_t b0 = *p;
      if (b0 < 0x80) {
        *d++ = static_cast<char16_t>(b0);
        ++p;
        if (p + 16 <= end && *p < 0x80) break;  // back to the runs
        continue;
      }
      const ptrdiff_t left = end - p;
      if (b0 < 0xE0) {
        if (b0 >= 0xC2 && left >= 2 && (p[1] & 0xC0) == 0x80) {
          *d++ = static_cast<char16_t>((b0 & 0x1F) << 6 | (p[1] & 0x3F));
          p += 2;
          multi_byte = true;
          continue;
        }
      } else if (b0 < 0xF0) {
        if (left >= 3) {
          const uint32_t b1 = p[1], b2 = p[2];
          const uint32_t c = (b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F);
          if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
            *d++ = static_cast<char16_t>(c);
            p += 3;
            multi_byte = true;
            continue;
          }
        }
      } else if (left >= 4) {
        const uint32_t b1 = p[1], b2 = p[2], b3 = p[3];
        const uint32_t c = (b0 & 0x07) << 18 | (b1 & 0x3F) << 12 | (b2 & 0x3F) << 6 | (b3 & 0x3F);
        if (b0 <= 0xF4 && (b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && (b3 & 0xC0) == 0x80 &&
            c >= 0x10000 && c <= 0x10FFFF) {
          *d++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
          *d++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
          p += 4;
          multi_byte = true;
          continue;
        }
      }
      if (strict) {
        out.resize(d - out.data());
        return {false, multi_byte};
      }
      *d++ = kReplacementCharacter;
      p += ScanUtf8(p, end).length;
    }
  }
  out.resize(d - out.data());
  return {true, multi_byte};
}

// UTF-16 in either byte order: an unpaired surrogate is one U+FFFD; an odd last byte, or a
// lead surrogate at the end, one more.
void DecodeUtf16(std::string_view bytes, bool big_endian, std::u16string& out) {
  out.reserve(out.size() + bytes.size() / 2 + 1);
  char16_t lead = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto b0 = static_cast<uint8_t>(bytes[i]), b1 = static_cast<uint8_t>(bytes[i + 1]);
    const auto unit = static_cast<char16_t>(big_endian ? b0 << 8 | b1 : b1 << 8 | b0);
    if (lead) {
      if (IsLowSurrogate(unit)) {
        out.push_back(lead);
        out.push_back(unit);
        lead = 0;
        continue;
      }
      out.push_back(kReplacementCharacter);
      lead = 0;
    }
    if (IsHighSurrogate(unit))
      lead = unit;
    else if (IsLowSurrogate(unit))
      out.push_back(kReplacementCharacter);
    else
      out.push_back(unit);
  }
  if (lead || bytes.size() % 2) out.push_back(kReplacementCharacter);
}

bool IsWindowsCodePage(Encoding encoding) {
  return encoding == Encoding::kWindows874 ||
         (encoding >= Encoding::kWindows1250 && encoding <= Encoding::kWindows1258);
}

// Bytes where the platforms' tables lack a character or differ from the Encoding Standard:
// ISO-8859-7's 2003 additions and quotation marks, ISO-8859-8's macron and direction marks,
// the Hebrew point at CA of windows-1255, KOI8-U's Belarusian letters (where older tables have
// box drawing), and the Mac tables' omega, increment, Apple logo, Ukrainian letters and euro.
struct Override {
  Encoding encoding;
  uint8_t byte;
  char16_t character;
};
constexpr Override kOverrides[] = {
    {Encoding::kIso8859_7, 0xA1, 0x2018},   {Encoding::kIso8859_7, 0xA2, 0x2019},
    {Encoding::kIso8859_7, 0xA4, 0x20AC},   {Encoding::kIso8859_7, 0xA5, 0x20AF},
    {Encoding::kIso8859_7, 0xAA, 0x037A},   {Encoding::kIso8859_8, 0xAF, 0x00AF},
    {Encoding::kIso8859_8, 0xFD, 0x200E},   {Encoding::kIso8859_8, 0xFE, 0x200F},
    {Encoding::kIso8859_8I, 0xAF, 0x00AF},  {Encoding::kIso8859_8I, 0xFD, 0x200E},
    {Encoding::kIso8859_8I, 0xFE, 0x200F},  {Encoding::kWindows1255, 0xCA, 0x05BA},
    {Encoding::kKoi8U, 0xAE, 0x045E},       {Encoding::kKoi8U, 0xBE, 0x040E},
    {Encoding::kMacintosh, 0xBD, 0x03A9},   {Encoding::kMacintosh, 0xC6, 0x2206},
    {Encoding::kMacintosh, 0xF0, 0xF8FF},   {Encoding::kXMacCyrillic, 0xA2, 0x0490},
    {Encoding::kXMacCyrillic, 0xB6, 0x0491}, {Encoding::kXMacCyrillic, 0xFF, 0x20AC},
};

// ---------------------------------------------------------------------------------------------
// Encoding form values.

void AppendReference(std::string& out, char32_t code_point) {
  out += "&#";
  out += std::to_string(static_cast<uint32_t>(code_point));
  out += ';';
}

// The text as code points, an unpaired surrogate as U+FFFD.
std::u32string CodePoints(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const CodePointAt at = DecodeUtf16At(text, i);
    const bool lone = at.code_point >= 0xD800 && at.code_point <= 0xDFFF;
    out.push_back(lone ? kReplacementCharacter : at.code_point);
    i += at.length;
  }
  return out;
}

bool IsPrivateUse(char32_t c) { return c >= 0xE000 && c <= 0xF8FF; }

// The index-ISO-2022-JP-katakana: halfwidth katakana U+FF61..U+FF9F as fullwidth ones.
constexpr char16_t kFullwidthKatakana[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,
};

}  // namespace

// ---------------------------------------------------------------------------------------------

void LegacyCodec::BuildTable(Encoding encoding, SingleByteTable& table) const {
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const char b = static_cast<char>(byte);
    std::u16string one;
    char16_t c = kReplacementCharacter;
    if (platform_.decode(std::string_view(&b, 1), encoding, one) && one.size() == 1) c = one[0];
    // Some code pages give private-use characters to bytes they leave undefined.
    if (IsPrivateUse(c)) c = kReplacementCharacter;
    // The Windows code pages read their undefined bytes 0x80..0x9F as the C1 controls.
    if (c == kReplacementCharacter && byte < 0xA0 && IsWindowsCodePage(encoding)) c = byte;
    table.high[byte - 0x80] = c;
  }
  for (const Override& o : kOverrides)
    if (o.encoding == encoding) table.high[o.byte - 0x80] = o.character;
  for (int byte = 0x80; byte <= 0xFF; ++byte)
    if (table.high[byte - 0x80] != kReplacementCharacter)
      table.reverse.emplace_back(table.high[byte - 0x80], static_cast<uint8_t>(byte));
  // A character with two bytes is written with the first: the sort keeps their order.
  std::stable_sort(table.reverse.begin(), table.reverse.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  table.reverse.erase(std::unique(table.reverse.begin(), table.reverse.end(),
                                  [](const auto& a, const auto& b) { return a.first == b.first; }),
                      table.reverse.end());
}

const LegacyCodec::SingleByteTable& LegacyCodec::TableOf(Encoding encoding) {
  const auto index = static_cast<size_t>(encoding);
  std::call_once(built_[index], [&] { BuildTable(encoding, tables_[index]); });
  return tables_[index];
}

std::u16string LegacyCodec::Decode(std::string_view bytes, Encoding encoding) {
  std::u16string out;
  switch (encoding) {
    case Encoding::kUtf8:
      DecodeUtf8(bytes, out, false);
      return out;
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be:
      DecodeUtf16(bytes, encoding == Encoding::kUtf16Be, out);
      return out;
    case Encoding::kReplacement:
      if (!bytes.empty()) out.push_back(kReplacementCharacter);
      return out;
    case Encoding::kXUserDefined:
      out.resize(bytes.size());
      for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        out[i] = b < 0x80 ? b : static_cast<char16_t>(0xF780 + b - 0x80);
      }
      return out;
    default:
      break;
  }
  if (!IsSingleByteEncoding(encoding)) {
    multi_byte::Decode(bytes, encoding, platform_, out);
    return out;
  }
  const SingleByteTable& table = TableOf(encoding);
  out.resize(bytes.size());
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  char16_t* d = out.data();
  size_t i = 0;
#if defined(__SSE2__)
  // Runs of ASCII sixteen bytes at a time, as in DecodeUtf8.
  const __m128i zero = _mm_setzero_si128();
  while (i + 16 <= bytes.size()) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    if (_mm_movemask_epi8(v)) {
      for (const size_t stop = i + 16; i < stop; ++i) d[i] = p[i] < 0x80 ? p[i] : table.high[p[i] - 0x80];
      continue;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 8), _mm_unpackhi_epi8(v, zero));
    i += 16;
  }
#endif
  for (; i < bytes.size(); ++i) d[i] = p[i] < 0x80 ? p[i] : table.high[p[i] - 0x80];
  return out;
}

std::u16string LegacyCodec::DecodePage(std::string_view bytes, Encoding* used) {
  // SniffPageEncoding's steps, with the UTF-8 check done by decoding: a page that is valid
  // UTF-8 is decoded in that one pass.
  Encoding encoding = Encoding::kWindows1252;
  if (std::optional<ByteOrderMark> mark = FindByteOrderMark(bytes)) {
    encoding = mark->encoding;
    bytes.remove_prefix(mark->length);
  } else if (std::optional<Encoding> declared = PrescanMetaEncoding(bytes)) {
    encoding = *declared;
  } else {
    std::u16string out;
    const Utf8Result utf8 = DecodeUtf8(bytes, out, true);
    if (utf8.valid) {
      // All ASCII reads the same in windows-1252, which is what the page counts as then.
      if (used) *used = utf8.multi_byte ? Encoding::kUtf8 : Encoding::kWindows1252;
      return out;
    }
  }
  if (used) *used = encoding;
  return Decode(bytes, encoding);
}

std::string LegacyCodec::EncodeForForm(std::u16string_view text, Encoding encoding) {
  encoding = OutputEncoding(encoding);
  if (encoding == Encoding::kUtf8) return Utf16ToUtf8(text);
  const std::u32string code_points = CodePoints(text);
  if (!IsSingleByteEncoding(encoding) || encoding == Encoding::kXUserDefined) {
    if (encoding != Encoding::kXUserDefined) return EncodeMultiByte(code_points, encoding);
    std::string out;
    for (char32_t c : code_points) {
      if (c < 0x80) out.push_back(static_cast<char>(c));
      else if (c >= 0xF780 && c <= 0xF7FF) out.push_back(static_cast<char>(c - 0xF780 + 0x80));
      else AppendReference(out, c);
    }
    return out;
  }
  const SingleByteTable& table = TableOf(encoding);
  std::string out;
  out.reserve(code_points.size());
  for (char32_t c : code_points) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    const auto it = std::lower_bound(table.reverse.begin(), table.reverse.end(), c,
                                     [](const auto& entry, char32_t k) { return entry.first < k; });
    if (it != table.reverse.end() && it->first == c) out.push_back(static_cast<char>(it->second));
    else AppendReference(out, c);
  }
  return out;
}

std::string LegacyCodec::EncodeMultiByte(std::u32string_view text, Encoding encoding) const {
  // The platform's two bytes for one character in `table`; nothing when it has none (or gives
  // anything but a pair).
  auto pair = [&](char32_t c, Encoding table) -> std::optional<std::string> {
    std::u16string one;
    AppendUtf16(one, c);
    std::string bytes;
    if (!platform_.encode(one, table, bytes) || bytes.size() != 2 || static_cast<uint8_t>(bytes[0]) < 0x81)
      return std::nullopt;
    return bytes;
  };
  // The JIS X 0208 number of a character, through the Shift_JIS table.
  auto jis0208 = [&](char32_t c) -> std::optional<uint32_t> {
    if (c == 0x2212) c = 0xFF0D;
    std::optional<std::string> bytes = pair(c, Encoding::kShiftJis);
    if (!bytes) return std::nullopt;
    std::optional<uint32_t> pointer = multi_byte::ShiftJisPointer(*bytes);
    if (!pointer || *pointer >= multi_byte::kJis0208Characters) return std::nullopt;
    return pointer;
  };

  std::string out;
  enum class JisState { kAscii, kRoman, kJis0208 } state = JisState::kAscii;
  auto shift = [&](JisState to) {
    if (state == to) return;
    out += to == JisState::kAscii ? "\x1B(B" : to == JisState::kRoman ? "\x1B(J" : "\x1B$B";
    state = to;
  };
  for (char32_t c : text) {
    switch (encoding) {
      case Encoding::kShiftJis: {
        if (c <= 0x80) out.push_back(static_cast<char>(c));
        else if (c == 0xA5) out.push_back('\x5C');
        else if (c == 0x203E) out.push_back('\x7E');
        else if (c >= 0xFF61 && c <= 0xFF9F) out.push_back(static_cast<char>(c - 0xFF61 + 0xA1));
        else {
          std::optional<std::string> bytes = pair(c == 0x2212 ? 0xFF0D : c, Encoding::kShiftJis);
          std::optional<uint32_t> pointer = bytes ? multi_byte::ShiftJisPointer(*bytes) : std::nullopt;
          if (pointer && (*pointer < 8836 || *pointer > 10715)) out += *bytes;  // not user-defined
          else AppendReference(out, c);
        }
        break;
      }
      case Encoding::kEucJp: {
        if (c < 0x80) out.push_back(static_cast<char>(c));
        else if (c == 0xA5) out.push_back('\x5C');
        else if (c == 0x203E) out.push_back('\x7E');
        else if (c >= 0xFF61 && c <= 0xFF9F) {
          out.push_back('\x8E');
          out.push_back(static_cast<char>(c - 0xFF61 + 0xA1));
        } else if (std::optional<uint32_t> pointer = jis0208(c)) {
          out.push_back(static_cast<char>(*pointer / 94 + 0xA1));
          out.push_back(static_cast<char>(*pointer % 94 + 0xA1));
        } else {
          AppendReference(out, c);
        }
        break;
      }
      case Encoding::kIso2022Jp: {
        // Errors are written in ASCII or JIS Roman, which agree on "&#;" and the digits.
        if (c == 0x0E || c == 0x0F || c == 0x1B) {
          if (state == JisState::kJis0208) shift(JisState::kAscii);
          AppendReference(out, kReplacementCharacter);
        } else if (c < 0x80 && (state == JisState::kAscii || (c != 0x5C && c != 0x7E))) {
          if (state == JisState::kJis0208) shift(JisState::kAscii);
          out.push_back(static_cast<char>(c));
        } else if (c < 0x80) {
          shift(JisState::kAscii);
          out.push_back(static_cast<char>(c));
        } else if (c == 0xA5 || c == 0x203E) {
          shift(JisState::kRoman);
          out.push_back(c == 0xA5 ? '\x5C' : '\x7E');
        } else {
          const char32_t full = c >= 0xFF61 && c <= 0xFF9F ? kFullwidthKatakana[c - 0xFF61] : c;
          if (std::optional<uint32_t> pointer = jis0208(full)) {
            shift(JisState::kJis0208);
            out.push_back(static_cast<char>(*pointer / 94 + 0x21));
            out.push_back(static_cast<char>(*pointer % 94 + 0x21));
          } else {
            if (state == JisState::kJis0208) shift(JisState::kAscii);
            AppendReference(out, c);
          }
        }
        break;
      }
      case Encoding::kGbk:
      case Encoding::kGb18030: {
        const bool gbk = encoding == Encoding::kGbk;
        if (c < 0x80) {
          out.push_back(static_cast<char>(c));
        } else if (c == 0xE5E5) {
          AppendReference(out, c);
        } else if (gbk && c == 0x20AC) {
          out.push_back('\x80');
        } else if (std::optional<uint16_t> code = multi_byte::Gb18030PairOf(c)) {
          out.push_back(static_cast<char>(*code >> 8));
          out.push_back(static_cast<char>(*code & 0xFF));
        } else if (std::optional<std::string> bytes = pair(c, Encoding::kGbk);
                   bytes && !multi_byte::Gb18030PairCharacter(
                                static_cast<uint16_t>(static_cast<uint8_t>((*bytes)[0]) << 8 |
                                                      static_cast<uint8_t>((*bytes)[1])))) {
          out += *bytes;  // (a pair GB18030 gave another character says nothing of this one)
        } else if (gbk) {
          AppendReference(out, c);
        } else {
          uint32_t pointer = multi_byte::Gb18030RangesPointer(c);
          const char b1 = static_cast<char>(pointer / 12600 + 0x81);
          pointer %= 12600;
          const char b2 = static_cast<char>(pointer / 1260 + 0x30);
          pointer %= 1260;
          out += {b1, b2, static_cast<char>(pointer / 10 + 0x81), static_cast<char>(pointer % 10 + 0x30)};
        }
        break;
      }
      case Encoding::kBig5:
      case Encoding::kEucKr: {
        if (c < 0x80) {
          out.push_back(static_cast<char>(c));
          break;
        }
        // Neither holds private-use characters; the code pages' user-defined areas do not count.
        std::optional<std::string> bytes = IsPrivateUse(c) ? std::nullopt : pair(c, encoding);
        // Big5 leads below A1 are the Hong Kong additions, which are read but never written.
        if (bytes && encoding == Encoding::kBig5 && static_cast<uint8_t>((*bytes)[0]) < 0xA1) bytes.reset();
        if (bytes) out += *bytes;
        else AppendReference(out, c);
        break;
      }
      default:
        break;
    }
  }
  if (encoding == Encoding::kIso2022Jp) shift(JisState::kAscii);
  return out;
}

}  // namespace brisomel
