// The fonts the parser hands to its target. A TMyFont knows its size on the document's own
// scale (12 = the base size) and whether it uses the fixed-pitch face, so that a change of the
// viewer's defaults re-derives every font of a built document. TFontSettings are the
// document's font defaults.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "html/reader/attributes.h"
#include "platform/canvas.h"

namespace brisomel {

// Integer scaling a * b / c, rounded half away from zero; -1 when c is 0 or the result does
// not fit 32 bits (the platform's MulDiv).
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Point sizes on the document scale for the HTML font sizes 1..7 (out-of-range steps are held
// to 1..7).
int FontSizeForStep(int step, bool fixed_pitch);

constexpr Color kPaletteRelativeFlag = 0x02000000;

// The platform font object: face, point size, colour, style, character set, and a change
// notification raised after every change (once for a batch between BeginUpdate/EndUpdate).
class TFont {
 public:
  TFont() = default;
  TFont(const TFont& other) : spec_(other.spec_), color_(other.color_) {}
  TFont& operator=(const TFont&) = delete;
  virtual ~TFont() = default;

  const std::string& Name() const { return spec_.name; }
  int Size() const { return spec_.size; }
  Color FontColor() const { return color_; }
  uint8_t Style() const { return spec_.style; }
  uint8_t Charset() const { return spec_.charset; }
  // What a canvas draws the font with.
  const FontSpec& Description() const { return spec_; }

  void SetName(const std::string& name);
  void SetSize(int size);
  void SetColor(Color color);
  void SetStyle(uint8_t style);
  void SetCharset(uint8_t charset);
  // Copies every font property (one notification).
  virtual void Assign(const TFont& source);

  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  std::function<void()> OnChange;

 protected:
  void Changed();

 private:
  FontSpec spec_;
  Color color_ = 0;
  int updating_ = 0;
  bool pending_ = false;
};

// The document's font defaults, held by the section list: the faces, character set, base
// size and the colours of text and links, and the zoom. The zoom is the one scale of the
// screen: fonts take it in their point size, and the document's pixel lengths (pictures,
// table and cell widths, rules, form controls) go through Zoomed.
struct TFontSettings {
  std::string FontName = "Times New Roman";
  std::string PreFontName = "Courier New";
  uint8_t Charset = kDefaultCharset;
  int FontSize = 12;
  Color FontColor = 0;
  Color HotSpotColor = 0x800000;
  int Zoom = 100;  // percent

  // A length in pixels at 100% as the zoom shows it.
  int32_t Zoomed(int32_t pixels) const { return Zoom == 100 ? pixels : MulDiv(pixels, Zoom, 100); }
  // The point size of a font of `rel_size` on the document scale (12 = the base size).
  int PointSize(int32_t rel_size) const { return MulDiv(FontSize * Zoom, rel_size, 1200); }
};

class TMyFont : public TFont {
 public:
  TMyFont() = default;
  TMyFont(const TMyFont& other) = default;

  int32_t RelSize = 12;
  bool FixedPitch = false;

  // Copies RelSize and FixedPitch when the source is a TMyFont, then the font properties.
  void Assign(const TFont& source) override;
  // RelSize := size; point size := List.PointSize(size).
  void SetRelSize(const TFontSettings& List, int32_t size);
  // Face, character set and point size from the defaults; colour with the palette-relative
  // flag. The style stays.
  void Refresh(const TFontSettings& List, Color color);
};

}  // namespace brisomel
