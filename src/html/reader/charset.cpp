#include "html/reader/charset.h"

#include <array>
#include <cctype>
#include <optional>

namespace brisomel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 bytes 0x80..0x9F; 0 where the byte holds no character.
constexpr std::array<uint16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88..8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98..9F
};

// One step of decoding: the code point of the character at `pos` and how many bytes it takes,
// or no code point and the length of the maximal invalid part there (at least 1).
struct Step {
  std::optional<uint32_t> code_point;
  size_t length;
};

Step DecodeAt(std::string_view s, size_t pos) {
  const auto lead = static_cast<uint8_t>(s[pos]);
  if (lead < 0x80) return {lead, 1};
  size_t need;
  uint8_t low = 0x80, high = 0xBF;
  uint32_t cp;
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
    return {std::nullopt, 1};
  }
  for (size_t k = 1; k <= need; ++k) {
    if (pos + k >= s.size()) return {std::nullopt, k};
    const auto c = static_cast<uint8_t>(s[pos + k]);
    if (c < low || c > high) return {std::nullopt, k};
    low = 0x80;
    high = 0xBF;
    cp = (cp << 6) | (c & 0x3F);
  }
  return {cp, need + 1};
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Position of `word` (lower case) in `text` ignoring ASCII case, from `from`; npos if absent.
size_t FindIgnoringCase(std::string_view text, std::string_view word, size_t from = 0) {
  for (size_t i = from; i + word.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < word.size() && AsciiLower(text[i + k]) == word[k]) ++k;
    if (k == word.size()) return i;
  }
  return std::string_view::npos;
}

// The charset a META tag near the top declares, lower case; empty when there is none.
std::string DeclaredCharset(std::string_view top) {
  for (size_t meta = FindIgnoringCase(top, "<meta"); meta != std::string_view::npos;
       meta = FindIgnoringCase(top, "<meta", meta + 5)) {
    std::string_view tag = top.substr(meta, top.find('>', meta) - meta);
    size_t at = FindIgnoringCase(tag, "charset");
    if (at == std::string_view::npos) continue;
    at += 7;
    auto skip = [&](std::string_view chars) {
      while (at < tag.size() && chars.find(tag[at]) != std::string_view::npos) ++at;
    };
    skip(" \t\r\n");
    if (at >= tag.size() || tag[at] != '=') continue;
    ++at;
    skip(" \t\r\n\"'");
    std::string name;
    while (at < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[at])) ||
                               std::string_view("-_.:").find(tag[at]) != std::string_view::npos))
      name.push_back(AsciiLower(tag[at++]));
    if (!name.empty()) return name;
  }
  return {};
}

}  // namespace

int Windows1252FromCodePoint(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  if (cp < 0xA0 || cp > 0xFFFF) return -1;  // the C1 controls, and beyond the table
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

bool IsUtf8Page(std::string_view page) {
  if (page.starts_with(kByteOrderMark)) return true;
  std::string declared = DeclaredCharset(page.substr(0, kCharsetScanBytes));
  if (!declared.empty()) return declared == "utf-8" || declared == "utf8";
  bool multi_byte = false;
  for (size_t pos = 0; pos < page.size();) {
    if (static_cast<uint8_t>(page[pos]) < 0x80) {
      ++pos;
      continue;
    }
    Step step = DecodeAt(page, pos);
    if (!step.code_point) return false;
    multi_byte = true;
    pos += step.length;
  }
  return multi_byte;
}

std::string Utf8ToWindows1252(std::string_view utf8) {
  if (utf8.starts_with(kByteOrderMark)) utf8.remove_prefix(kByteOrderMark.size());
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    if (static_cast<uint8_t>(utf8[pos]) < 0x80) {
      out.push_back(utf8[pos++]);
      continue;
    }
    Step step = DecodeAt(utf8, pos);
    int byte = step.code_point ? Windows1252FromCodePoint(*step.code_point) : -1;
    out.push_back(byte >= 0 ? static_cast<char>(byte) : '?');
    pos += step.length;
  }
  return out;
}

}  // namespace brisomel
