// Where the software canvas gets its glyphs: a source opens a face for a font description at a
// device size, and the face answers metrics, advances and coverage images per character.
// Characters are Unicode code points; a face may draw one it lacks from a fallback face.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/canvas.h"

namespace brisomel {

// A glyph's coverage (0 = background, 255 = ink), placed relative to the pen position on the
// baseline: the image's top-left pixel is at (pen_x + left, baseline - top).
struct GlyphImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;  // width * height
};

class FontFace {
 public:
  virtual ~FontFace() = default;
  // Metrics in device pixels.
  virtual TextMetrics Metrics() = 0;
  virtual int Advance(char32_t ch) = 0;
  // The image stays valid until the next call of Glyph.
  virtual const GlyphImage& Glyph(char32_t ch) = 0;
  // Underline and strike-out lines: their top row relative to the baseline (positive = below)
  // and their thickness, in device pixels.
  virtual int UnderlineOffset() = 0;
  virtual int StrikeOutOffset() = 0;
  virtual int LineThickness() = 0;
};

class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  // `device_height` follows GDI's lfHeight in device pixels: negative asks for that em height,
  // positive for that cell height (ascent + descent), 0 for a default size.
  virtual std::unique_ptr<FontFace> OpenFace(const FontSpec& request, int device_height) = 0;
};

// A deterministic font for tests, whatever the face name. For an em height e (at least 1):
//   internal leading e / 4, descent e / 4, ascent e + internal leading - descent,
//   height e + e / 4, external leading e / 8, every character advances (e + 1) / 2 pixels,
//   plus 1 when bold; no overhang.
// A glyph (any character but the space and control characters) is a solid box from x = 0 to
// advance - 1 (exclusive) and from the baseline up to (e * 7) / 10 rows above it. An italic
// face is the same. Underline: one row, e / 10 + 1 below the baseline; strike-out: one row,
// e / 4 above the baseline (both at least one row thick, thickness e / 12 + 1).
class TestGlyphSource : public GlyphSource {
 public:
  std::unique_ptr<FontFace> OpenFace(const FontSpec& request, int device_height) override;
  // The em height the test font uses for a device lfHeight (cell heights are e + e / 4).
  static int EmFor(int device_height);
};

// FreeType with fontconfig over the Liberation fonts: "Times New Roman" gives Liberation Serif,
// "Arial" Liberation Sans, "Courier New" Liberation Mono; other names go to fontconfig's
// choice. A character the face lacks comes from the installed face fontconfig ranks first
// among those that have it (DejaVu, WenQuanYi, Noto CJK, ...), at the same em height and on the
// same baseline; it is drawn with the face's .notdef glyph when no face has it. Native builds
// only. Returns null when FreeType or the fonts are unavailable.
std::unique_ptr<GlyphSource> MakeFreeTypeGlyphSource();

}  // namespace brisomel
