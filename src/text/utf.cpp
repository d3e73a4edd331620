#include "text/utf.h"

namespace brisomel {
namespace {

// One step of UTF-8 decoding: the code point at `pos` and its length in bytes, or, for an
// invalid sequence, U+FFFD and the length of its maximal invalid part (at least 1).
CodePointAt DecodeUtf8At(std::string_view s, size_t pos) {
  const auto lead = static_cast<uint8_t>(s[pos]);
  if (lead < 0x80) return {lead, 1};
  size_t need;
  uint8_t low = 0x80, high = 0xBF;
  char32_t cp;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {kReplacementCharacter, 1};
  }
  for (size_t k = 1; k <= need; ++k) {
    if (pos + k >= s.size()) return {kReplacementCharacter, k};
    const auto c = static_cast<uint8_t>(s[pos + k]);
    if (c < low || c > high) return {kReplacementCharacter, k};
    low = 0x80;
    high = 0xBF;
    cp = (cp << 6) | (c & 0x3F);
  }
  return {cp, need + 1};
}

}  // namespace

void AppendUtf16(std::u16string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacementCharacter;
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
    return;
  }
  cp -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacementCharacter;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

CodePointAt DecodeUtf16At(std::u16string_view text, size_t pos) {
  const char16_t c = text[pos];
  if (IsHighSurrogate(c) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1])) {
    return {0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[pos + 1] - 0xDC00), 2};
  }
  return {c, 1};
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    // Runs of ASCII, the common case, go straight across.
    const auto b = static_cast<uint8_t>(utf8[pos]);
    if (b < 0x80) {
      out.push_back(b);
      ++pos;
      continue;
    }
    const CodePointAt step = DecodeUtf8At(utf8, pos);
    AppendUtf16(out, step.code_point);
    pos += step.length;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  size_t pos = 0;
  while (pos < utf16.size()) {
    const CodePointAt step = DecodeUtf16At(utf16, pos);
    const bool lone = step.length == 1 && step.code_point >= 0xD800 && step.code_point <= 0xDFFF;
    AppendUtf8(out, lone ? kReplacementCharacter : step.code_point);
    pos += step.length;
  }
  return out;
}

std::u16string AsciiToUtf16(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace brisomel
