// The main window as designed: its bounds, the toolbar panel and the seven speed buttons.
// Plain data, so that tests and the window code read the same values.
#pragma once

#include <array>

namespace brisomel {

struct TFormBounds {
  int left;
  int top;
  int width;
  int height;
};

// Speed buttons in the order their glyphs are looked up.
struct TSpeedButtonDesign {
  const char* name;  // component name, e.g. "SpeedButton1"
  int number;        // N of SpeedButtonN; also the control id a driver can use
  const char* text;  // window text a driver finds the button by
  int left;
  int top;
  int width;
  int height;
  const char* glyph_literal;  // appended to the temporary directory (begins with a separator)
  int builtin_glyph;          // resource number of the built-in glyph
  bool enabled_at_start;
  bool allow_all_up;
};

inline constexpr const char* kMainFormCaption = "Brisomel";
inline constexpr const char* kMainFormClass = "TForm1";
inline constexpr TFormBounds kMainFormBounds{181, 146, 772, 546};
inline constexpr int kPanelHeight = 49;
// The four glyph images side by side in one bitmap: up, disabled, down, held.
inline constexpr int kGlyphImages = 4;
inline constexpr int kSpeedButtonCount = 7;

// The WM_COMMAND id of "Stop Sound".
inline constexpr int kStopSoundCommand = 1104;

extern const std::array<TSpeedButtonDesign, kSpeedButtonCount> kSpeedButtons;

// The design row of SpeedButtonN, or null.
const TSpeedButtonDesign* FindSpeedButtonDesign(int number);

}  // namespace brisomel
