#include "shell/main_form_design.h"

#include "shell/res/resource_ids.h"

namespace brisomel {

const std::array<TSpeedButtonDesign, kSpeedButtonCount> kSpeedButtons{{
    {"SpeedButton1", 1, "Back", 4, 4, 49, 41, "\\4back.bmp", IDB_GLYPH_BACK, false, true},
    {"SpeedButton2", 2, "Forward", 56, 4, 49, 41, "\\4fwd.bmp", IDB_GLYPH_FWD, false, true},
    {"SpeedButton7", 7, "Open", 108, 4, 49, 41, "\\4open.bmp", IDB_GLYPH_OPEN, true, false},
    {"SpeedButton6", 6, "Home", 160, 4, 49, 41, "\\4home.bmp", IDB_GLYPH_HOME, true, true},
    {"SpeedButton5", 5, "Search", 212, 4, 49, 41, "\\4search.bmp", IDB_GLYPH_SEARCH, true, true},
    {"SpeedButton4", 4, "Print", 264, 4, 49, 41, "\\4print.bmp", IDB_GLYPH_PRINT, true, true},
    {"SpeedButton3", 3, "Exit", 316, 4, 49, 41, "\\4exit.bmp", IDB_GLYPH_EXIT, true, true},
}};

const TSpeedButtonDesign* FindSpeedButtonDesign(int number) {
  for (const auto& design : kSpeedButtons) {
    if (design.number == number) return &design;
  }
  return nullptr;
}

}  // namespace brisomel
