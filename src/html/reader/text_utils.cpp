#include "html/reader/text_utils.h"

#include <algorithm>
#include <array>
#include <type_traits>

namespace brisomel {
namespace {

template <typename Char>
int HexDigit(Char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct NamedColor {
  std::string_view name;
  uint32_t rgb;  // 0xRRGGBB as HTML writes it
};

constexpr std::array<NamedColor, 16> kNamedColors = {{
    {"BLACK", 0x000000},  {"MAROON", 0x800000}, {"GREEN", 0x008000}, {"OLIVE", 0x808000},
    {"NAVY", 0x000080},   {"PURPLE", 0x800080}, {"TEAL", 0x008080},  {"GRAY", 0x808080},
    {"SILVER", 0xC0C0C0}, {"RED", 0xFF0000},    {"LIME", 0x00FF00},  {"YELLOW", 0xFFFF00},
    {"BLUE", 0x0000FF},   {"FUCHSIA", 0xFF00FF}, {"AQUA", 0x00FFFF}, {"WHITE", 0xFFFFFF},
}};

template <typename Char>
std::basic_string<Char> TrimBlanksOf(std::basic_string_view<Char> text) {
  size_t first = 0;
  size_t last = text.size();
  auto blank = [](Char c) { return static_cast<std::make_unsigned_t<Char>>(c) <= 32; };
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return std::basic_string<Char>(text.substr(first, last - first));
}

template <typename Char>
std::optional<int32_t> ParseIntegerOf(std::basic_string_view<Char> text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{1} << 31) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

uint32_t RgbToColorRef(uint32_t rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

template <typename Char>
std::basic_string<Char> ChangeAsciiCase(std::basic_string_view<Char> text, bool upper) {
  std::basic_string<Char> out(text);
  for (Char& c : out) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<Char>(c - 32);
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<Char>(c + 32);
  }
  return out;
}

}  // namespace

std::string UpperCase(std::string_view text) { return ChangeAsciiCase(text, true); }
std::string LowerCase(std::string_view text) { return ChangeAsciiCase(text, false); }
std::u16string UpperCase(std::u16string_view text) { return ChangeAsciiCase(text, true); }
std::u16string LowerCase(std::u16string_view text) { return ChangeAsciiCase(text, false); }

std::optional<uint32_t> ColorFromText(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  const std::u16string upper = UpperCase(text.substr(0, 10));
  for (const NamedColor& named : kNamedColors)
    if (std::equal(upper.begin(), upper.end(), named.name.begin(), named.name.end()))
      return RgbToColorRef(named.rgb);

  // A hexadecimal integer once the first "#" (wherever it stands) is gone. Like a 32-bit
  // integer conversion, the value must fit in 32 bits; leading zeros are fine.
  std::u16string hex(text);
  if (size_t hash = hex.find(u'#'); hash != std::u16string::npos) hex.erase(hash, 1);
  if (hex.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char16_t c : hex) {
    int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return RgbToColorRef(static_cast<uint32_t>(value) & 0xFFFFFF);
}

std::string TrimBlanks(std::string_view text) { return TrimBlanksOf(text); }
std::u16string TrimBlanks(std::u16string_view text) { return TrimBlanksOf(text); }

std::optional<int32_t> ParseInteger(std::string_view text) { return ParseIntegerOf(text); }
std::optional<int32_t> ParseInteger(std::u16string_view text) { return ParseIntegerOf(text); }

// Decoding restarts its search at the start of the text after every escape. The part before
// the escape just decoded holds no "%", so the search can go on from the decoded character:
// this walk gives the same result in one pass, where restarting would take quadratic time on
// long chains such as "%2525...".
std::string DecodePercentEscapes(std::string_view text) {
  std::string out;   // decoded text before the pending "%"; holds no "%"
  size_t next = 0;   // where the undecoded rest of `text` starts
  bool pending = false;  // a "%" stands between `out` and the rest
  for (;;) {
    if (!pending) {
      size_t percent = text.find('%', next);
      if (percent == std::string_view::npos) {
        out.append(text.substr(next));
        return out;
      }
      out.append(text.substr(next, percent - next));
      next = percent + 1;
      pending = true;
    }
    int high = next + 2 <= text.size() ? HexDigit(text[next]) : -1;
    int low = next + 2 <= text.size() ? HexDigit(text[next + 1]) : -1;
    if (high < 0 || low < 0) {
      out.push_back('%');
      out.append(text.substr(next));
      return out;
    }
    next += 2;
    char decoded = static_cast<char>(high * 16 + low);
    if (decoded != '%') {
      out.push_back(decoded);
      pending = false;
    }
  }
}

std::string UrlToLocalPath(std::string_view text) {
  std::string path = DecodePercentEscapes(text);
  if (path.find('/') == std::string::npos) return path;
  path = LowerCase(path);
  if (size_t at = path.find("file:///"); at != std::string::npos)
    path.erase(at, 8);
  else if (size_t at2 = path.find("file://"); at2 != std::string::npos)
    path.erase(at2, 7);
  for (char& c : path) {
    if (c == '|') c = ':';
    else if (c == '/') c = '\\';
  }
  return path;
}

std::string UrlToLocalPathWithRoot(std::string_view text, std::string_view root) {
  std::string path = UrlToLocalPath(text);
  if (!path.empty() && path[0] == '\\') path.insert(0, root);
  return path;
}

}  // namespace brisomel
