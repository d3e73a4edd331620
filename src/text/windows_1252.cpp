// Windows-1252 by a direct table: only 80..9F differ from the first 256 code points.
#include "text/windows_1252.h"

#include <array>
#include <cstdint>

#include "text/utf.h"

namespace brisomel {
namespace {

constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::u16string Windows1252ToUtf16(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    out[i] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

std::string Utf16ToWindows1252Lossy(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const CodePointAt c = DecodeUtf16At(text, i);
    i += c.length;
    char byte = '?';
    if (c.code_point < 0x80 || (c.code_point >= 0xA0 && c.code_point < 0x100)) {
      byte = static_cast<char>(c.code_point);
    } else {
      for (size_t k = 0; k < kHigh.size(); ++k) {
        if (kHigh[k] == c.code_point) byte = static_cast<char>(0x80 + k);
      }
    }
    out.push_back(byte);
  }
  return out;
}

}  // namespace brisomel
