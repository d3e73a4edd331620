// Fonts of a document. A TMyFont knows its size on the document's own scale (12 = the base
// size) and whether it uses the fixed-pitch face, so that a change of the viewer's defaults
// re-derives every font of a built document. A TFontObj is one font run of a text section with
// its measured metrics; a TFontList holds a section's runs in order of position.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

#include "html/reader/attributes.h"

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
// size and the colours of text and links.
struct TFontSettings {
  std::string FontName = "Times New Roman";
  std::string PreFontName = "Courier New";
  uint8_t Charset = kDefaultCharset;
  int FontSize = 12;
  Color FontColor = 0;
  Color HotSpotColor = 0x800000;
};

class TMyFont : public TFont {
 public:
  TMyFont() = default;
  TMyFont(const TMyFont& other) = default;

  int32_t RelSize = 12;
  bool FixedPitch = false;

  // Copies RelSize and FixedPitch when the source is a TMyFont, then the font properties.
  void Assign(const TFont& source) override;
  // RelSize := size; point size := MulDiv(List.FontSize, size, 12).
  void SetRelSize(const TFontSettings& List, int32_t size);
  // Face, character set and point size from the defaults; colour with the palette-relative
  // flag. The style stays.
  void Refresh(const TFontSettings& List, Color color);
};

// One font run.
class TFontObj {
 public:
  // Takes the font; metrics are measured on `screen` now and after every change of the font.
  TFontObj(std::unique_ptr<TMyFont> font, int32_t pos, Canvas& screen);
  // A copy for another document (same position, script kind and link; own font).
  static std::unique_ptr<TFontObj> CreateCopy(const TFontObj& source);
  TFontObj(const TFontObj&) = delete;
  TFontObj& operator=(const TFontObj&) = delete;

  void ComputeMetrics();
  // The font takes the link colour when the run is a link, the text colour otherwise.
  void Refresh(const TFontSettings& List);

  int32_t Pos = 0;
  std::unique_ptr<TMyFont> TheFont;
  int32_t LineHeight = 0;  // height + external leading
  int32_t CellHeight = 0;  // height
  int32_t Overhang = 0;
  int32_t Descent = 0;
  uint8_t ScriptKind = 0;  // 0 normal, 1 subscript, 2 superscript
  TUrlTarget Target;

 private:
  Canvas* screen_;
};

// A text section's runs, ordered by strictly increasing Pos, the first at 0.
class TFontList {
 public:
  TFontList() = default;
  TFontList(const TFontList&) = delete;
  TFontList& operator=(const TFontList&) = delete;

  static std::unique_ptr<TFontList> CreateCopy(const TFontList& source);

  void Add(std::unique_ptr<TFontObj> run) { runs_.push_back(std::move(run)); }
  int Count() const { return static_cast<int>(runs_.size()); }
  TFontObj& operator[](int i) { return *runs_[i]; }
  const TFontObj& operator[](int i) const { return *runs_[i]; }
  void Clear() { runs_.clear(); }

  void RefreshAll(const TFontSettings& List);
  // The font of the last run whose Pos <= P (the first run for positions before it) and that
  // run's overhang; null when there are no runs.
  TMyFont* FontAt(int32_t P, int32_t& Overhang) const;
  // Characters from P to the start of the next run after P, or Len - P without one.
  int32_t RunLength(int32_t P, int32_t Len) const;
  // The last run whose Pos <= P (the first run for positions before it), and its index.
  TFontObj* FontObjAt(int32_t P, int& Index) const;

  // A change of font at text length Len: when the last run starts at Len its font is
  // re-assigned from Font; otherwise a new run at Len takes a copy of Font and the previous
  // run's link. Either way the run gets the extra style bits and the script state: a
  // subscript (1) or superscript (2) run records it and shrinks to MulDiv(RelSize, 3, 4).
  // The first change of an empty list makes the run at 0.
  TFontObj& ChangeFont(const TFontSettings& List, const TMyFont& Font, int32_t Len,
                       uint8_t ExtraStyle, uint8_t ScriptState, Canvas& screen);

 private:
  std::vector<std::unique_ptr<TFontObj>> runs_;
};

}  // namespace brisomel
