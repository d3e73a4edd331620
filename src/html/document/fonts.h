// Font runs of a document's text. A TFontObj is one font run of a text section with its
// measured metrics; a TFontList holds a section's runs in order of position. The fonts
// themselves (TMyFont) and the document's font defaults come with the parser.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "html/reader/attributes.h"
#include "html/reader/html_fonts.h"
#include "platform/canvas.h"

namespace brisomel {

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
