#include "html/style/style_compute.h"

#include <algorithm>
#include <cmath>

namespace brisomel {
namespace {

using P = StyleProperty;

constexpr double kFontSizeScale[] = {3.0 / 5, 3.0 / 4, 8.0 / 9, 1, 6.0 / 5, 3.0 / 2, 2, 3};
constexpr double kRelativeFontStep = 1.2;  // smaller and larger
constexpr double kMaxFontSize = 10000;

enum class Source { Parent, Initial, Value };

Source SourceOf(const CssValue* value, P property) {
  const bool inherited = IsInheritedProperty(property);
  if (!value) return inherited ? Source::Parent : Source::Initial;
  switch (value->kind) {
    case CssValueKind::Inherit:
      return Source::Parent;
    case CssValueKind::Initial:
      return Source::Initial;
    case CssValueKind::Unset:
      return inherited ? Source::Parent : Source::Initial;
    default:
      return Source::Value;
  }
}

double ToPx(const CssValue& value, double font_size, double root_font_size) {
  const double n = value.number;
  switch (value.unit) {
    case CssUnit::Px:
      return n;
    case CssUnit::Em:
      return n * font_size;
    case CssUnit::Ex:
    case CssUnit::Ch:
      return n * font_size / 2;
    case CssUnit::Rem:
      return n * root_font_size;
    case CssUnit::Pt:
      return n * 4 / 3;
    case CssUnit::Pc:
      return n * 16;
    case CssUnit::In:
      return n * 96;
    case CssUnit::Cm:
      return n * 96 / 2.54;
    case CssUnit::Mm:
      return n * 96 / 25.4;
    case CssUnit::Q:
      return n * 96 / 101.6;
  }
  return n;
}

// A floated box is a block: inline-level and table-internal displays become block ones.
CssDisplay Blockified(CssDisplay display) {
  switch (display) {
    case CssDisplay::InlineTable:
      return CssDisplay::Table;
    case CssDisplay::Block:
    case CssDisplay::ListItem:
    case CssDisplay::Table:
    case CssDisplay::None:
      return display;
    default:
      return CssDisplay::Block;
  }
}

Color Blend(const CssRgba& rgba, Color backdrop) {
  if (rgba.a == 0) return kTransparentColor;
  if (rgba.a == 255) return Rgb(rgba.r, rgba.g, rgba.b);
  if (backdrop & 0xFF000000) backdrop = Rgb(255, 255, 255);  // a system or special colour
  auto mix = [&](uint8_t over, uint8_t under) {
    return static_cast<uint8_t>((over * rgba.a + under * (255 - rgba.a) + 127) / 255);
  };
  return Rgb(mix(rgba.r, RedOf(backdrop)), mix(rgba.g, GreenOf(backdrop)),
             mix(rgba.b, BlueOf(backdrop)));
}

class Computer {
 public:
  Computer(const ComputedStyle& parent, const StyleWinners& winners,
           const StyleComputeContext& context)
      : parent_(parent), winners_(winners), context_(context) {}

  ComputedStyle Run() {
    s_.author_set = (parent_.author_set & kInheritedProperties & ~Declared()) | winners_.from_page;
    FontSize();  // lengths in em need it
    s_.color = ColorOf(P::Color, parent_.color, context_.color);
    Keywords();
    Lengths();
    Borders();
    Fonts();
    s_.background_color = ColorOf(P::BackgroundColor, parent_.background_color, kTransparentColor);
    switch (SourceOf(Value(P::BackgroundImage), P::BackgroundImage)) {
      case Source::Parent:
        s_.background_image = parent_.background_image;
        break;
      case Source::Initial:
        s_.background_image = nullptr;
        break;
      case Source::Value:
        s_.background_image = Value(P::BackgroundImage)->image.get();
        break;
    }
    // Decorations propagate to the text of descendants; a descendant adds its own.
    s_.text_decoration = parent_.text_decoration;
    if (SourceOf(Value(P::TextDecoration), P::TextDecoration) == Source::Value)
      s_.text_decoration |= Value(P::TextDecoration)->keyword;
    return s_;
  }

 private:
  const CssValue* Value(P property) const { return winners_.values[static_cast<size_t>(property)]; }
  uint64_t Declared() const {
    uint64_t bits = 0;
    for (int i = 0; i < kStylePropertyCount; ++i)
      if (winners_.values[static_cast<size_t>(i)]) bits |= PropertyBit(static_cast<P>(i));
    return bits;
  }

  template <typename E>
  E KeywordOf(P property, E from_parent, E initial) const {
    switch (SourceOf(Value(property), property)) {
      case Source::Parent:
        return from_parent;
      case Source::Initial:
        return initial;
      case Source::Value:
        break;
    }
    return static_cast<E>(Value(property)->keyword);
  }

  void Keywords() {
    const ComputedStyle& p = parent_;
    s_.display = KeywordOf(P::Display, p.display, CssDisplay::Inline);
    s_.float_mode = KeywordOf(P::Float, p.float_mode, CssFloat::None);
    if (s_.float_mode != CssFloat::None) s_.display = Blockified(s_.display);
    s_.visibility = KeywordOf(P::Visibility, p.visibility, CssVisibility::Visible);
    s_.clear = KeywordOf(P::Clear, p.clear, CssClear::None);
    s_.font_style = KeywordOf(P::FontStyle, p.font_style, CssFontStyle::Normal);
    s_.text_align = KeywordOf(P::TextAlign, p.text_align, CssTextAlign::Left);
    s_.white_space = KeywordOf(P::WhiteSpace, p.white_space, CssWhiteSpace::Normal);
    s_.vertical_align = KeywordOf(P::VerticalAlign, p.vertical_align, CssVerticalAlign::Baseline);
    s_.list_style_type = KeywordOf(P::ListStyleType, p.list_style_type, CssListStyleType::Disc);
    static constexpr P kStyles[] = {P::BorderTopStyle, P::BorderRightStyle, P::BorderBottomStyle,
                                    P::BorderLeftStyle};
    for (int side = 0; side < 4; ++side)
      s_.border_style[side] = KeywordOf(kStyles[side], p.border_style[side], CssBorderStyle::None);
  }

  StyleLength LengthOf(P property, const StyleLength& from_parent, StyleLength initial) const {
    switch (SourceOf(Value(property), property)) {
      case Source::Parent:
        return from_parent;
      case Source::Initial:
        return initial;
      case Source::Value:
        break;
    }
    const CssValue& value = *Value(property);
    if (value.kind == CssValueKind::Keyword) return StyleLength::Auto();
    if (value.kind == CssValueKind::Percentage) return StyleLength::Percent(value.number);
    return StyleLength::Px(ToPx(value, s_.FontSizePx(), context_.root_font_size));
  }

  void Lengths() {
    static constexpr P kMargins[] = {P::MarginTop, P::MarginRight, P::MarginBottom, P::MarginLeft};
    static constexpr P kPaddings[] = {P::PaddingTop, P::PaddingRight, P::PaddingBottom,
                                      P::PaddingLeft};
    for (int side = 0; side < 4; ++side) {
      s_.margin[side] = LengthOf(kMargins[side], parent_.margin[side], StyleLength());
      s_.padding[side] = LengthOf(kPaddings[side], parent_.padding[side], StyleLength());
    }
    s_.text_indent = LengthOf(P::TextIndent, parent_.text_indent, StyleLength());
    s_.width = LengthOf(P::Width, parent_.width, StyleLength::Auto());
  }

  void Borders() {
    static constexpr P kWidths[] = {P::BorderTopWidth, P::BorderRightWidth, P::BorderBottomWidth,
                                    P::BorderLeftWidth};
    static constexpr P kColors[] = {P::BorderTopColor, P::BorderRightColor, P::BorderBottomColor,
                                    P::BorderLeftColor};
    for (int side = 0; side < 4; ++side) {
      s_.border_color[side] = ColorOf(kColors[side], parent_.border_color[side], s_.color);
      double width = 3;  // medium
      switch (SourceOf(Value(kWidths[side]), kWidths[side])) {
        case Source::Parent:
          width = parent_.border_width[side];
          break;
        case Source::Initial:
          break;
        case Source::Value:
          width = ToPx(*Value(kWidths[side]), s_.FontSizePx(), context_.root_font_size);
          break;
      }
      const CssBorderStyle style = s_.border_style[side];
      if (style == CssBorderStyle::None || style == CssBorderStyle::Hidden || !(width > 0))
        width = 0;
      // Whole pixels, as a display draws them; a thin line keeps one pixel.
      width = width < 1 && width > 0 ? 1 : std::floor(std::min(width, 32767.0));
      s_.border_width[side] = static_cast<int16_t>(width);
    }
  }

  Color ColorOf(P property, Color from_parent, Color initial) const {
    switch (SourceOf(Value(property), property)) {
      case Source::Parent:
        return from_parent;
      case Source::Initial:
        return initial;
      case Source::Value:
        break;
    }
    const CssValue& value = *Value(property);
    switch (value.kind) {
      case CssValueKind::CurrentColor:
        return property == P::Color ? parent_.color : s_.color;
      case CssValueKind::LinkColor:
        return context_.link_color;
      default:
        return Blend(value.color, context_.background);
    }
  }

  void FontSize() {
    double size = parent_.FontSizePx();
    const double medium = context_.medium_font_size;
    switch (SourceOf(Value(P::FontSize), P::FontSize)) {
      case Source::Parent:
        break;
      case Source::Initial:
        size = medium;
        break;
      case Source::Value: {
        const CssValue& value = *Value(P::FontSize);
        if (value.kind == CssValueKind::Keyword) {
          const auto keyword = static_cast<FontSizeKeyword>(value.keyword);
          if (keyword == FontSizeKeyword::Smaller)
            size /= kRelativeFontStep;
          else if (keyword == FontSizeKeyword::Larger)
            size *= kRelativeFontStep;
          else
            size = medium * kFontSizeScale[std::min<size_t>(value.keyword, 7)];
        } else if (value.kind == CssValueKind::Percentage) {
          size = size * value.number / 100;
        } else {
          // em, ex and ch count the parent's size here.
          size = ToPx(value, size, context_.root_font_size);
        }
        break;
      }
    }
    if (!(size >= 0)) size = 0;
    s_.font_size = StyleLength::Px(std::min(size, kMaxFontSize));
  }

  void Fonts() {
    switch (SourceOf(Value(P::FontFamily), P::FontFamily)) {
      case Source::Parent:
        s_.font_family = parent_.font_family;
        break;
      case Source::Initial:
        s_.font_family = context_.default_family;
        break;
      case Source::Value:
        s_.font_family = Value(P::FontFamily)->families.get();
        break;
    }
    uint16_t weight = parent_.font_weight;
    switch (SourceOf(Value(P::FontWeight), P::FontWeight)) {
      case Source::Parent:
        break;
      case Source::Initial:
        weight = 400;
        break;
      case Source::Value: {
        const CssValue& value = *Value(P::FontWeight);
        if (value.kind == CssValueKind::Number) {
          weight = static_cast<uint16_t>(std::clamp<long>(std::lround(value.number), 1, 1000));
        } else if (static_cast<FontWeightKeyword>(value.keyword) == FontWeightKeyword::Bolder) {
          weight = weight < 350 ? 400 : weight < 550 ? 700 : weight < 900 ? 900 : weight;
        } else {
          weight = weight < 100 ? weight : weight < 550 ? 100 : weight < 750 ? 400 : 700;
        }
        break;
      }
    }
    s_.font_weight = weight;
  }

  const ComputedStyle& parent_;
  const StyleWinners& winners_;
  const StyleComputeContext& context_;
  ComputedStyle s_{};
};

}  // namespace

ComputedStyle ComputeStyle(const ComputedStyle& parent, const StyleWinners& winners,
                           const StyleComputeContext& context) {
  return Computer(parent, winners, context).Run();
}

}  // namespace brisomel
