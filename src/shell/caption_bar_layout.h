// The gradient caption bar's arithmetic, kept apart from the window code so that it can be
// tested without a window: the colour bands, when a gradient is drawn, which texts fit and
// where they start, the form title made of the three texts, and the caption text read back
// from the form's title.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brisomel {

// Colours as 0x00BBGGRR.
using TCaptionColor = uint32_t;

enum TGradEnabled { geAlways, geNever, geWhenActive, geSmart };
enum TJustification { jAuto, jLeft, jCenter, jRight };
enum TFontKind { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };

inline constexpr int kMinGradientColors = 1;
inline constexpr int kMaxGradientColors = 256;

// a * b / c rounded to the nearest integer, halves away from zero (c != 0).
int MulDivRound(int a, int b, int c);

// The value NumColors takes for a requested one: nothing for 0 or less (the old value
// stays), 256 for anything above. `message`, when given, receives the text a designer is
// shown ("" when the value is accepted as it is).
std::optional<int> ClampNumColors(int requested, std::string* message = nullptr);

struct TGradientBand {
  int left;   // first pixel column
  int right;  // one past the last
  TCaptionColor color;
};

// The NumColors bands that fill [left, left + width) from `from` to `to`.
std::vector<TGradientBand> GradientBands(int left, int width, int num_colors, TCaptionColor from,
                                         TCaptionColor to);

// Whether the bar is drawn as a gradient on a display of `bits_per_pixel`.
bool UseGradient(TGradEnabled enabled, bool active, int bits_per_pixel);

// The three texts in drawing order.
enum TCaptionPart { cpCompany, cpAppName, cpCaption };
inline constexpr int kCaptionParts = 3;
// Texts are spaced by 3 pixels: each takes its drawn width plus 3.
inline constexpr int kCaptionTextGap = 3;

struct TCaptionTextFit {
  std::array<bool, kCaptionParts> drawn{};
  // Where each drawn text's own pixels start (left of the area + gaps + earlier texts).
  std::array<int, kCaptionParts> left{};
};

// Chooses the texts for a text area [area_left, area_right): all visible ones when they fit,
// else application name and caption, else only the caption (which is then cut). `widths`
// are the drawn widths of the visible texts, nothing for invisible ones. `older_look` is
// the window look before version 4, on which jAuto centres.
TCaptionTextFit FitCaptionTexts(int area_left, int area_right,
                                const std::array<std::optional<int>, kCaptionParts>& widths,
                                TJustification justification, bool older_look);

// The form's title made of the three texts; nothing for an invisible text.
std::string FormTitle(const std::array<std::optional<std::string>, kCaptionParts>& captions);

// The caption text's caption read from the form's title: the company caption, then the
// application name's, each removed with everything before it and one leading space when
// the text is visible. `company`/`app_name` are nothing when invisible.
std::string CaptionFromTitle(const std::string& title, const std::optional<std::string>& company,
                             const std::optional<std::string>& app_name);

}  // namespace brisomel
