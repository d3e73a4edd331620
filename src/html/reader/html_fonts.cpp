// Fonts the parser hands to its target: size scale, MulDiv, TFont and TMyFont.
#include "html/reader/html_fonts.h"

#include <algorithm>

namespace brisomel {
namespace {

constexpr int kProportionalSizes[7] = {8, 10, 12, 14, 18, 24, 36};
constexpr int kFixedSizes[7] = {7, 8, 10, 12, 15, 20, 30};

}  // namespace

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) {
    return -1;
  }
  int64_t product = static_cast<int64_t>(a) * b;
  int64_t divisor = c;
  bool negative = (product < 0) != (divisor < 0);
  uint64_t p = static_cast<uint64_t>(product < 0 ? -product : product);
  uint64_t d = static_cast<uint64_t>(divisor < 0 ? -divisor : divisor);
  uint64_t q = (p + d / 2) / d;  // halves away from zero
  if (q > static_cast<uint64_t>(INT32_MAX)) {
    return -1;
  }
  return negative ? -static_cast<int32_t>(q) : static_cast<int32_t>(q);
}

int FontSizeForStep(int step, bool fixed_pitch) {
  step = std::clamp(step, 1, 7);
  return fixed_pitch ? kFixedSizes[step - 1] : kProportionalSizes[step - 1];
}

// --- TFont ---

void TFont::Changed() {
  if (updating_ > 0) {
    pending_ = true;
    return;
  }
  if (OnChange) {
    OnChange();
  }
}

void TFont::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && pending_) {
    pending_ = false;
    if (OnChange) {
      OnChange();
    }
  }
}

void TFont::SetName(const std::string& name) {
  if (spec_.name == name) {
    return;
  }
  spec_.name = name;
  Changed();
}

void TFont::SetSize(int size) {
  if (spec_.size == size && spec_.height == 0) {
    return;
  }
  spec_.size = size;
  spec_.height = 0;
  Changed();
}

void TFont::SetColor(Color color) {
  if (color_ == color) {
    return;
  }
  color_ = color;
  Changed();
}

void TFont::SetStyle(uint8_t style) {
  if (spec_.style == style) {
    return;
  }
  spec_.style = style;
  Changed();
}

void TFont::SetCharset(uint8_t charset) {
  if (spec_.charset == charset) {
    return;
  }
  spec_.charset = charset;
  Changed();
}

void TFont::Assign(const TFont& source) {
  BeginUpdate();
  if (!(spec_ == source.spec_)) {
    spec_ = source.spec_;
    Changed();
  }
  SetColor(source.color_);
  EndUpdate();
}

// --- TMyFont ---

void TMyFont::Assign(const TFont& source) {
  if (auto* my = dynamic_cast<const TMyFont*>(&source)) {
    RelSize = my->RelSize;
    FixedPitch = my->FixedPitch;
  }
  TFont::Assign(source);
}

void TMyFont::SetRelSize(const TFontSettings& List, int32_t size) {
  RelSize = size;
  SetSize(List.PointSize(size));
}

void TMyFont::Refresh(const TFontSettings& List, Color color) {
  BeginUpdate();
  SetName(FixedPitch ? List.PreFontName : List.FontName);
  SetCharset(List.Charset);
  SetSize(List.PointSize(RelSize));
  SetColor(color | kPaletteRelativeFlag);
  EndUpdate();
}

}  // namespace brisomel
