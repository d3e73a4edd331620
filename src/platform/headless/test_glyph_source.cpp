// The deterministic test font: metrics and boxes that are simple functions of the em height.
#include <algorithm>
#include <array>

#include "platform/headless/glyph_source.h"

namespace brisomel {
namespace {

// Larger sizes draw at this em height: glyph images stay a bounded size.
constexpr int kMaxEm = 1024;

class TestFace : public FontFace {
 public:
  TestFace(int em, bool bold) : em_(em), bold_(bold) {
    advance_ = (em_ + 1) / 2 + (bold_ ? 1 : 0);
    box_ = GlyphImage{0, em_ * 7 / 10, std::max(0, advance_ - 1), em_ * 7 / 10, {}};
    box_.coverage.assign(static_cast<size_t>(box_.width) * box_.height, 255);
  }
  TextMetrics Metrics() override {
    TextMetrics m;
    m.internal_leading = em_ / 4;
    m.descent = em_ / 4;
    m.height = em_ + em_ / 4;
    m.ascent = m.height - m.descent;
    m.external_leading = em_ / 8;
    m.ave_char_width = advance_;
    m.max_char_width = advance_;
    m.overhang = 0;
    return m;
  }
  int Advance(char32_t) override { return advance_; }
  const GlyphImage& Glyph(char32_t ch) override { return ch <= 0x20 ? empty_ : box_; }
  int UnderlineOffset() override { return em_ / 10 + 1; }
  int StrikeOutOffset() override { return -(em_ / 4); }
  int LineThickness() override { return em_ / 12 + 1; }

 private:
  int em_;
  bool bold_;
  int advance_;
  GlyphImage box_;
  GlyphImage empty_;
};

}  // namespace

int TestGlyphSource::EmFor(int device_height) {
  if (device_height < 0) {
    return -device_height;
  }
  if (device_height == 0) {
    return 16;
  }
  return std::max(1, (device_height * 4 + 2) / 5);
}

std::unique_ptr<FontFace> TestGlyphSource::OpenFace(const FontSpec& request, int device_height) {
  return std::make_unique<TestFace>(std::min(EmFor(device_height), kMaxEm),
                                    (request.style & kFontBold) != 0);
}

}  // namespace brisomel
