#include "html/style/css_colors.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "html/style/css_parser.h"

namespace brisomel {
namespace {

using T = CssTokenType;

struct NamedColor {
  std::string_view name;
  uint32_t rgb;  // 0xRRGGBB
};

// Sorted by name, for a binary search.
constexpr NamedColor kNamedColors[] = {
    {"aliceblue", 0xf0f8ff},
    {"antiquewhite", 0xfaebd7},
    {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4},
    {"azure", 0xf0ffff},
    {"beige", 0xf5f5dc},
    {"bisque", 0xffe4c4},
    {"black", 0x000000},
    {"blanchedalmond", 0xffebcd},
    {"blue", 0x0000ff},
    {"blueviolet", 0x8a2be2},
    {"brown", 0xa52a2a},
    {"burlywood", 0xdeb887},
    {"cadetblue", 0x5f9ea0},
    {"chartreuse", 0x7fff00},
    {"chocolate", 0xd2691e},
    {"coral", 0xff7f50},
    {"cornflowerblue", 0x6495ed},
    {"cornsilk", 0xfff8dc},
    {"crimson", 0xdc143c},
    {"cyan", 0x00ffff},
    {"darkblue", 0x00008b},
    {"darkcyan", 0x008b8b},
    {"darkgoldenrod", 0xb8860b},
    {"darkgray", 0xa9a9a9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xa9a9a9},
    {"darkkhaki", 0xbdb76b},
    {"darkmagenta", 0x8b008b},
    {"darkolivegreen", 0x556b2f},
    {"darkorange", 0xff8c00},
    {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000},
    {"darksalmon", 0xe9967a},
    {"darkseagreen", 0x8fbc8f},
    {"darkslateblue", 0x483d8b},
    {"darkslategray", 0x2f4f4f},
    {"darkslategrey", 0x2f4f4f},
    {"darkturquoise", 0x00ced1},
    {"darkviolet", 0x9400d3},
    {"deeppink", 0xff1493},
    {"deepskyblue", 0x00bfff},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1e90ff},
    {"firebrick", 0xb22222},
    {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22},
    {"fuchsia", 0xff00ff},
    {"gainsboro", 0xdcdcdc},
    {"ghostwhite", 0xf8f8ff},
    {"gold", 0xffd700},
    {"goldenrod", 0xdaa520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xadff2f},
    {"grey", 0x808080},
    {"honeydew", 0xf0fff0},
    {"hotpink", 0xff69b4},
    {"indianred", 0xcd5c5c},
    {"indigo", 0x4b0082},
    {"ivory", 0xfffff0},
    {"khaki", 0xf0e68c},
    {"lavender", 0xe6e6fa},
    {"lavenderblush", 0xfff0f5},
    {"lawngreen", 0x7cfc00},
    {"lemonchiffon", 0xfffacd},
    {"lightblue", 0xadd8e6},
    {"lightcoral", 0xf08080},
    {"lightcyan", 0xe0ffff},
    {"lightgoldenrodyellow", 0xfafad2},
    {"lightgray", 0xd3d3d3},
    {"lightgreen", 0x90ee90},
    {"lightgrey", 0xd3d3d3},
    {"lightpink", 0xffb6c1},
    {"lightsalmon", 0xffa07a},
    {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xb0c4de},
    {"lightyellow", 0xffffe0},
    {"lime", 0x00ff00},
    {"limegreen", 0x32cd32},
    {"linen", 0xfaf0e6},
    {"magenta", 0xff00ff},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66cdaa},
    {"mediumblue", 0x0000cd},
    {"mediumorchid", 0xba55d3},
    {"mediumpurple", 0x9370db},
    {"mediumseagreen", 0x3cb371},
    {"mediumslateblue", 0x7b68ee},
    {"mediumspringgreen", 0x00fa9a},
    {"mediumturquoise", 0x48d1cc},
    {"mediumvioletred", 0xc71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xf5fffa},
    {"mistyrose", 0xffe4e1},
    {"moccasin", 0xffe4b5},
    {"navajowhite", 0xffdead},
    {"navy", 0x000080},
    {"oldlace", 0xfdf5e6},
    {"olive", 0x808000},
    {"olivedrab", 0x6b8e23},
    {"orange", 0xffa500},
    {"orangered", 0xff4500},
    {"orchid", 0xda70d6},
    {"palegoldenrod", 0xeee8aa},
    {"palegreen", 0x98fb98},
    {"paleturquoise", 0xafeeee},
    {"palevioletred", 0xdb7093},
    {"papayawhip", 0xffefd5},
    {"peachpuff", 0xffdab9},
    {"peru", 0xcd853f},
    {"pink", 0xffc0cb},
    {"plum", 0xdda0dd},
    {"powderblue", 0xb0e0e6},
    {"purple", 0x800080},
    {"rebeccapurple", 0x663399},
    {"red", 0xff0000},
    {"rosybrown", 0xbc8f8f},
    {"royalblue", 0x4169e1},
    {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072},
    {"sandybrown", 0xf4a460},
    {"seagreen", 0x2e8b57},
    {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d},
    {"silver", 0xc0c0c0},
    {"skyblue", 0x87ceeb},
    {"slateblue", 0x6a5acd},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xfffafa},
    {"springgreen", 0x00ff7f},
    {"steelblue", 0x4682b4},
    {"tan", 0xd2b48c},
    {"teal", 0x008080},
    {"thistle", 0xd8bfd8},
    {"tomato", 0xff6347},
    {"turquoise", 0x40e0d0},
    {"violet", 0xee82ee},
    {"wheat", 0xf5deb3},
    {"white", 0xffffff},
    {"whitesmoke", 0xf5f5f5},
    {"yellow", 0xffff00},
    {"yellowgreen", 0x9acd32},
};

int HexDigitValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHexColor(std::u16string_view hex, CssRgba& out) {
  std::array<int, 8> digits{};
  if (hex.size() != 3 && hex.size() != 4 && hex.size() != 6 && hex.size() != 8) return false;
  for (size_t i = 0; i < hex.size(); ++i)
    if ((digits[i] = HexDigitValue(hex[i])) < 0) return false;
  auto channel = [&](size_t index) -> uint8_t {
    if (hex.size() <= 4) return static_cast<uint8_t>(digits[index] * 17);
    return static_cast<uint8_t>(digits[2 * index] * 16 + digits[2 * index + 1]);
  };
  out = {channel(0), channel(1), channel(2), 255};
  if (hex.size() == 4 || hex.size() == 8) out.a = channel(3);
  return true;
}

uint8_t ClampByte(double value) {
  if (!(value > 0)) return 0;  // NaN too
  if (value >= 255) return 255;
  return static_cast<uint8_t>(std::lround(value));
}

// The arguments of a colour function: numbers, percentages and angles, with the separators
// that stood between them ("," or "/").
struct ColorArgument {
  const CssToken* token;
  char separator_before;  // 0 (whitespace or first), ',' or '/'
};

bool CollectArguments(const std::vector<CssToken>& tokens, size_t begin, size_t end,
                      std::vector<ColorArgument>& args) {
  char separator = 0;
  for (size_t i = begin; i < end; ++i) {
    const CssToken& token = tokens[i];
    if (token.type == T::Whitespace) continue;
    if (token.type == T::Comma || (token.type == T::Delim && token.delim == '/')) {
      if (separator != 0 || args.empty()) return false;
      separator = token.type == T::Comma ? ',' : '/';
      continue;
    }
    if (token.type != T::Number && token.type != T::Percentage && token.type != T::Dimension)
      return false;
    args.push_back({&token, separator});
    separator = 0;
  }
  return separator == 0;
}

// Alpha as a number 0..1 or a percentage.
bool AlphaOf(const CssToken& token, uint8_t& alpha) {
  if (token.type == T::Number) {
    alpha = ClampByte(token.number * 255);
    return true;
  }
  if (token.type == T::Percentage) {
    alpha = ClampByte(token.number * 255 / 100);
    return true;
  }
  return false;
}

// Comma form: every separator a comma; space form: none, with "/" only before alpha.
bool SeparatorsValid(const std::vector<ColorArgument>& args) {
  const bool commas = args.size() > 1 && args[1].separator_before == ',';
  for (size_t i = 1; i < args.size(); ++i) {
    const char expected = commas ? ',' : (i == 3 ? '/' : 0);
    if (args[i].separator_before != expected) return false;
  }
  return args.size() == 3 || args.size() == 4;
}

bool RgbFunction(const std::vector<ColorArgument>& args, CssRgba& out) {
  if (!SeparatorsValid(args)) return false;
  uint8_t channels[3];
  for (int i = 0; i < 3; ++i) {
    const CssToken& token = *args[static_cast<size_t>(i)].token;
    if (token.type == T::Number)
      channels[i] = ClampByte(token.number);
    else if (token.type == T::Percentage)
      channels[i] = ClampByte(token.number * 255 / 100);
    else
      return false;
  }
  out = {channels[0], channels[1], channels[2], 255};
  return args.size() == 3 || AlphaOf(*args[3].token, out.a);
}

double HueDegrees(const CssToken& token, bool& ok) {
  ok = true;
  if (token.type == T::Number) return token.number;
  if (token.type == T::Dimension) {
    if (CssEqualsIgnoreCase(token.text, "deg")) return token.number;
    if (CssEqualsIgnoreCase(token.text, "rad")) return token.number * 180 / 3.14159265358979;
    if (CssEqualsIgnoreCase(token.text, "grad")) return token.number * 0.9;
    if (CssEqualsIgnoreCase(token.text, "turn")) return token.number * 360;
  }
  ok = false;
  return 0;
}

bool HslFunction(const std::vector<ColorArgument>& args, CssRgba& out) {
  if (!SeparatorsValid(args)) return false;
  bool ok = false;
  double hue = HueDegrees(*args[0].token, ok);
  if (!ok || args[1].token->type != T::Percentage || args[2].token->type != T::Percentage)
    return false;
  if (!std::isfinite(hue)) hue = 0;
  hue = std::fmod(hue, 360);
  if (hue < 0) hue += 360;
  const double s = std::clamp(args[1].token->number / 100, 0.0, 1.0);
  const double l = std::clamp(args[2].token->number / 100, 0.0, 1.0);
  const double q = l <= 0.5 ? l * (1 + s) : l + s - l * s;
  const double p = 2 * l - q;
  auto channel = [&](double h) {
    h = h < 0 ? h + 1 : (h > 1 ? h - 1 : h);
    double v = p;
    if (h < 1.0 / 6)
      v = p + (q - p) * 6 * h;
    else if (h < 0.5)
      v = q;
    else if (h < 2.0 / 3)
      v = p + (q - p) * (2.0 / 3 - h) * 6;
    return ClampByte(v * 255);
  };
  const double h = hue / 360;
  out = {channel(h + 1.0 / 3), channel(h), channel(h - 1.0 / 3), 255};
  return args.size() == 3 || AlphaOf(*args[3].token, out.a);
}

}  // namespace

bool LookupCssNamedColor(std::u16string_view name, CssRgba& out) {
  if (CssEqualsIgnoreCase(name, "transparent")) {
    out = {0, 0, 0, 0};
    return true;
  }
  const std::u16string lower = CssAsciiLower(name);
  auto less = [](const NamedColor& entry, std::u16string_view key) {
    return std::lexicographical_compare(
        entry.name.begin(), entry.name.end(), key.begin(), key.end(),
        [](char a, char16_t b) { return static_cast<char16_t>(a) < b; });
  };
  const auto* it = std::lower_bound(std::begin(kNamedColors), std::end(kNamedColors),
                                    std::u16string_view(lower), less);
  if (it == std::end(kNamedColors) || !CssEqualsIgnoreCase(lower, it->name)) return false;
  out = {static_cast<uint8_t>(it->rgb >> 16), static_cast<uint8_t>(it->rgb >> 8),
         static_cast<uint8_t>(it->rgb), 255};
  return true;
}

bool ParseCssColor(const std::vector<CssToken>& tokens, size_t& i, size_t end, CssRgba& out) {
  if (i >= end) return false;
  const CssToken& token = tokens[i];
  bool ok = false;
  size_t after = i + 1;
  if (token.type == T::Ident) {
    ok = LookupCssNamedColor(token.text, out);
  } else if (token.type == T::Hash) {
    ok = ParseHexColor(token.text, out);
  } else if (token.type == T::Function) {
    CssRange inside;
    after = SkipCssBlock(tokens, i, end, inside);
    std::vector<ColorArgument> args;
    if (CollectArguments(tokens, inside.begin, inside.end, args)) {
      if (CssEqualsIgnoreCase(token.text, "rgb") || CssEqualsIgnoreCase(token.text, "rgba"))
        ok = RgbFunction(args, out);
      else if (CssEqualsIgnoreCase(token.text, "hsl") || CssEqualsIgnoreCase(token.text, "hsla"))
        ok = HslFunction(args, out);
    }
  }
  if (ok) i = after;
  return ok;
}

}  // namespace brisomel
