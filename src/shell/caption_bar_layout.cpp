#include "shell/caption_bar_layout.h"

#include <cstdlib>

namespace brisomel {

int MulDivRound(int a, int b, int c) {
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t half = std::llabs(static_cast<int64_t>(c)) / 2;
  const bool negative = (product < 0) != (c < 0);
  const int64_t magnitude = (std::llabs(product) + half) / std::llabs(static_cast<int64_t>(c));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

std::optional<int> ClampNumColors(int requested, std::string* message) {
  if (message) message->clear();
  if (requested < kMinGradientColors) {
    if (message) *message = "The number of colors must be at least 1";
    return std::nullopt;
  }
  if (requested > kMaxGradientColors) {
    if (message) *message = "The highest number of gradient colors possible is 256";
    return kMaxGradientColors;
  }
  return requested;
}

namespace {

int Channel(TCaptionColor color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

}  // namespace

std::vector<TGradientBand> GradientBands(int left, int width, int num_colors, TCaptionColor from,
                                         TCaptionColor to) {
  std::vector<TGradientBand> bands;
  if (num_colors < kMinGradientColors) return bands;
  bands.reserve(num_colors);
  for (int i = 0; i < num_colors; ++i) {
    TCaptionColor color = from;
    if (num_colors > 1) {
      color = 0;
      for (int shift : {0, 8, 16}) {
        const int a = Channel(from, shift);
        const int b = Channel(to, shift);
        color |= static_cast<TCaptionColor>(a + MulDivRound(b - a, i, num_colors - 1)) << shift;
      }
    }
    bands.push_back({left + MulDivRound(width, i, num_colors),
                     left + MulDivRound(width, i + 1, num_colors), color});
  }
  return bands;
}

bool UseGradient(TGradEnabled enabled, bool active, int bits_per_pixel) {
  switch (enabled) {
    case geAlways:
      return true;
    case geNever:
      return false;
    case geWhenActive:
      return active;
    case geSmart:
      return bits_per_pixel > (active ? 7 : 8);
  }
  return false;
}

TCaptionTextFit FitCaptionTexts(int area_left, int area_right,
                                const std::array<std::optional<int>, kCaptionParts>& widths,
                                TJustification justification, bool older_look) {
  const int area = area_right - area_left;
  auto total_from = [&](int first) {
    int total = 0;
    for (int part = first; part < kCaptionParts; ++part) {
      if (widths[part]) total += *widths[part] + kCaptionTextGap;
    }
    return total;
  };
  TCaptionTextFit fit;
  int first = cpCaption;
  bool fits = false;
  if (total_from(cpCompany) <= area) {
    first = cpCompany;
    fits = true;
  } else if (total_from(cpAppName) <= area) {
    first = cpAppName;
    fits = true;
  } else {
    fits = total_from(cpCaption) <= area;
  }
  const int total = total_from(first);
  int x = area_left;
  if (fits) {
    if (justification == jCenter || (justification == jAuto && older_look))
      x = area_left + (area - total) / 2;
    else if (justification == jRight)
      x = area_right - total;
  }
  for (int part = first; part < kCaptionParts; ++part) {
    if (!widths[part]) continue;
    fit.drawn[part] = true;
    fit.left[part] = x + kCaptionTextGap;
    x += *widths[part] + kCaptionTextGap;
  }
  return fit;
}

std::string FormTitle(const std::array<std::optional<std::string>, kCaptionParts>& captions) {
  const auto& company = captions[cpCompany];
  const auto& app_name = captions[cpAppName];
  const auto& caption = captions[cpCaption];
  std::string title;
  if (company) {
    title += *company;
    if (!company->empty() && (app_name || caption)) title += ' ';
  }
  if (app_name) {
    title += *app_name;
    if (!app_name->empty() && caption) title += ' ';
  }
  if (caption) title += *caption;
  return title;
}

namespace {

// Removes everything up to and including the first `part`, then one leading space. A part
// that is empty or absent from the title removes nothing.
void RemoveThrough(std::string& text, const std::string& part) {
  if (part.empty()) return;
  const size_t at = text.find(part);
  if (at == std::string::npos) return;
  text.erase(0, at + part.size());
  if (!text.empty() && text[0] == ' ') text.erase(0, 1);
}

}  // namespace

std::string CaptionFromTitle(const std::string& title, const std::optional<std::string>& company,
                             const std::optional<std::string>& app_name) {
  std::string caption = title;
  if (company) RemoveThrough(caption, *company);
  if (app_name) RemoveThrough(caption, *app_name);
  return caption;
}

}  // namespace brisomel
