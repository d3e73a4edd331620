#include "text/windows_1252.h"

#include <array>

#include "text/utf.h"

namespace brisomel {
namespace {

// Code points of the bytes 0x80..0x9F.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

}  // namespace

char16_t Windows1252CodePoint(uint8_t byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : static_cast<char16_t>(byte);
}

int Windows1252FromCodePoint(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF))
    return static_cast<int>(code_point);
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == code_point) return static_cast<int>(0x80 + i);
  return -1;
}

std::u16string Windows1252ToUtf16(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i)
    out[i] = Windows1252CodePoint(static_cast<uint8_t>(bytes[i]));
  return out;
}

std::string Utf16ToWindows1252Lossy(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    if (text[pos] < 0x80) {
      out.push_back(static_cast<char>(text[pos++]));
      continue;
    }
    const CodePointAt at = DecodeUtf16At(text, pos);
    pos += at.length;
    const bool unpaired = at.length == 1 && (at.code_point >= 0xD800 && at.code_point <= 0xDFFF);
    const int byte = unpaired ? -1 : Windows1252FromCodePoint(at.code_point);
    out.push_back(byte >= 0 ? static_cast<char>(byte) : '?');
  }
  return out;
}

}  // namespace brisomel
