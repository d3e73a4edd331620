#include "html/style/computed_style.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/utf.h"

namespace brisomel {
namespace {

constexpr double kMaxLengthValue = 500000;  // fits 30 bits in 1024ths

constexpr const char* kPropertyNames[] = {
#define BRISOMEL_STYLE_NAME(name, text, inherited) text,
    BRISOMEL_STYLE_PROPERTIES(BRISOMEL_STYLE_NAME)
#undef BRISOMEL_STYLE_NAME
};

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

std::string LengthText(const StyleLength& length) {
  if (length.IsAuto()) return "auto";
  return Number(length.Value()) + (length.IsPercent() ? "%" : "px");
}

std::string ColorText(Color color) {
  if (color == kTransparentColor) return "transparent";
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", RedOf(color), GreenOf(color),
                BlueOf(color));
  return buffer;
}

template <typename E, size_t N>
std::string Name(E value, const char* const (&names)[N]) {
  const size_t index = static_cast<size_t>(value);
  return index < N ? names[index] : "?";
}

constexpr const char* kDisplayNames[] = {"inline",
                                         "block",
                                         "list-item",
                                         "inline-block",
                                         "table",
                                         "inline-table",
                                         "table-row-group",
                                         "table-header-group",
                                         "table-footer-group",
                                         "table-row",
                                         "table-column-group",
                                         "table-column",
                                         "table-cell",
                                         "table-caption",
                                         "none"};
constexpr const char* kVisibilityNames[] = {"visible", "hidden", "collapse"};
constexpr const char* kFontStyleNames[] = {"normal", "italic", "oblique"};
constexpr const char* kTextAlignNames[] = {"left", "right", "center", "justify"};
constexpr const char* kWhiteSpaceNames[] = {"normal", "pre", "nowrap", "pre-wrap", "pre-line"};
constexpr const char* kBorderStyleNames[] = {"none",   "hidden", "dotted", "dashed", "solid",
                                             "double", "groove", "ridge",  "inset",  "outset"};
constexpr const char* kFloatNames[] = {"none", "left", "right"};
constexpr const char* kClearNames[] = {"none", "left", "right", "both"};
constexpr const char* kVerticalAlignNames[] = {"baseline", "sub",    "super",  "top",
                                               "text-top", "middle", "bottom", "text-bottom"};
constexpr const char* kListStyleNames[] = {
    "disc",        "circle",      "square",      "decimal",     "decimal-leading-zero",
    "lower-roman", "upper-roman", "lower-alpha", "upper-alpha", "none"};
constexpr const char* kSideNames[] = {"top", "right", "bottom", "left"};

std::string DecorationText(uint8_t lines) {
  std::string text;
  if (lines & kDecorationUnderline) text += "underline";
  if (lines & kDecorationOverline) text += text.empty() ? "overline" : " overline";
  if (lines & kDecorationLineThrough) text += text.empty() ? "line-through" : " line-through";
  return text.empty() ? "none" : text;
}

std::string BorderText(const ComputedStyle& style, int side) {
  return Number(style.border_width[side]) + "px " +
         Name(style.border_style[side], kBorderStyleNames) + " " +
         ColorText(style.border_color[side]);
}

// Sides without width look alike, whatever their style and colour.
bool BorderEqual(const ComputedStyle& a, int side_a, const ComputedStyle& b, int side_b) {
  if (a.border_width[side_a] == 0 && b.border_width[side_b] == 0) return true;
  return a.border_width[side_a] == b.border_width[side_b] &&
         a.border_style[side_a] == b.border_style[side_b] &&
         a.border_color[side_a] == b.border_color[side_b];
}

class Writer {
 public:
  void Add(const char* name, const std::string& value) {
    if (!text.empty()) text += "; ";
    text += name;
    text += ':';
    text += value;
  }
  // Four sides: the shorthand when they are equal, else each side that differs.
  void AddSides(const char* shorthand, const StyleLength (&values)[4],
                const StyleLength (&defaults)[4]) {
    if (std::equal(values, values + 4, defaults)) return;
    if (std::all_of(values, values + 4, [&](const StyleLength& v) { return v == values[0]; })) {
      Add(shorthand, LengthText(values[0]));
      return;
    }
    for (int side = 0; side < 4; ++side) {
      if (values[side] == defaults[side]) continue;
      Add((std::string(shorthand) + "-" + kSideNames[side]).c_str(), LengthText(values[side]));
    }
  }
  std::string text;
};

}  // namespace

const char* StylePropertyName(StyleProperty property) {
  return kPropertyNames[static_cast<int>(property)];
}

StyleLength::StyleLength(double value, Unit unit) {
  if (!std::isfinite(value)) value = 0;
  value = std::clamp(value, -kMaxLengthValue, kMaxLengthValue);
  raw_ = static_cast<int32_t>(std::lround(value * kScale)) * 4 + unit;
}

double StyleLength::Resolve(double reference, double if_auto) const {
  if (IsAuto()) return if_auto;
  if (IsPercent()) return reference * Value() / 100;
  return Value();
}

std::string DescribeComputedStyle(const ComputedStyle& style, const ComputedStyle& defaults) {
  Writer out;
  const ComputedStyle& s = style;
  const ComputedStyle& d = defaults;
  if (s.display != d.display) out.Add("display", Name(s.display, kDisplayNames));
  if (s.visibility != d.visibility) out.Add("visibility", Name(s.visibility, kVisibilityNames));
  if (s.float_mode != d.float_mode) out.Add("float", Name(s.float_mode, kFloatNames));
  if (s.clear != d.clear) out.Add("clear", Name(s.clear, kClearNames));
  if (s.width != d.width) out.Add("width", LengthText(s.width));
  if (s.color != d.color) out.Add("color", ColorText(s.color));
  if (s.background_color != d.background_color)
    out.Add("background-color", ColorText(s.background_color));
  if (s.background_image != d.background_image) {
    out.Add("background-image",
            s.background_image ? "url(\"" + Utf16ToUtf8(s.background_image->url) + "\")" : "none");
  }
  if (s.font_family != d.font_family &&
      !(s.font_family && d.font_family && s.font_family->text == d.font_family->text))
    out.Add("font-family", s.font_family ? s.font_family->text : "?");
  if (s.font_size != d.font_size) out.Add("font-size", LengthText(s.font_size));
  if (s.font_weight != d.font_weight) out.Add("font-weight", std::to_string(s.font_weight));
  if (s.font_style != d.font_style) out.Add("font-style", Name(s.font_style, kFontStyleNames));
  if (s.text_decoration != d.text_decoration)
    out.Add("text-decoration", DecorationText(s.text_decoration));
  if (s.text_align != d.text_align) out.Add("text-align", Name(s.text_align, kTextAlignNames));
  if (s.text_indent != d.text_indent) out.Add("text-indent", LengthText(s.text_indent));
  if (s.white_space != d.white_space) out.Add("white-space", Name(s.white_space, kWhiteSpaceNames));
  if (s.vertical_align != d.vertical_align)
    out.Add("vertical-align", Name(s.vertical_align, kVerticalAlignNames));
  if (s.list_style_type != d.list_style_type)
    out.Add("list-style-type", Name(s.list_style_type, kListStyleNames));
  out.AddSides("margin", s.margin, d.margin);
  out.AddSides("padding", s.padding, d.padding);
  bool borders_differ = false;
  for (int side = 0; side < 4; ++side) borders_differ |= !BorderEqual(s, side, d, side);
  if (borders_differ) {
    bool all_equal = true;
    for (int side = 1; side < 4; ++side) all_equal &= BorderEqual(s, side, s, 0);
    if (all_equal) {
      out.Add("border", BorderText(s, 0));
    } else {
      for (int side = 0; side < 4; ++side) {
        if (BorderEqual(s, side, d, side)) continue;
        out.Add((std::string("border-") + kSideNames[side]).c_str(), BorderText(s, side));
      }
    }
  }
  return out.text;
}

}  // namespace brisomel
