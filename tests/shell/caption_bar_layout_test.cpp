// The gradient caption bar's arithmetic without a window: bands, the colour limit, when a
// gradient is drawn, which texts fit where, and the form title rules.
#include "shell/caption_bar_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisomel {
namespace {

constexpr TCaptionColor kNavy = 0x800000;
constexpr TCaptionColor kSilver = 0xC0C0C0;

TEST(CaptionBarLayout, BandsSplitTheAreaAndStepTheColours) {
  struct Case {
    int left, width, colors;
    TCaptionColor from, to;
    std::vector<TGradientBand> expected;
  };
  const Case cases[] = {
      // One colour: one band in the left colour.
      {5, 100, 1, kNavy, kSilver, {{5, 105, kNavy}}},
      // Navy to silver in four: red and green 0, 64, 128, 192; blue 128, 149, 171, 192.
      {0,
       100,
       4,
       kNavy,
       kSilver,
       {{0, 25, 0x800000}, {25, 50, 0x954040}, {50, 75, 0xAB8080}, {75, 100, 0xC0C0C0}}},
      // Edges and channels round to the nearest, halves away from zero (also going down).
      {0, 10, 3, 0xFFFFFF, 0x000000, {{0, 3, 0xFFFFFF}, {3, 7, 0x7F7F7F}, {7, 10, 0x000000}}},
  };
  for (const Case& c : cases) {
    const auto bands = GradientBands(c.left, c.width, c.colors, c.from, c.to);
    ASSERT_EQ(bands.size(), c.expected.size()) << c.colors;
    for (size_t i = 0; i < bands.size(); ++i) {
      EXPECT_EQ(bands[i].left, c.expected[i].left) << c.colors << " band " << i;
      EXPECT_EQ(bands[i].right, c.expected[i].right) << c.colors << " band " << i;
      EXPECT_EQ(bands[i].color, c.expected[i].color) << c.colors << " band " << i;
    }
  }
}

TEST(CaptionBarLayout, MoreColoursThanPixelsStillCoverTheAreaInOrder) {
  const auto bands = GradientBands(10, 3, 256, kNavy, kSilver);
  ASSERT_EQ(bands.size(), 256u);
  EXPECT_EQ(bands.front().left, 10);
  EXPECT_EQ(bands.back().right, 13);
  for (size_t i = 1; i < bands.size(); ++i) EXPECT_EQ(bands[i].left, bands[i - 1].right);
  EXPECT_EQ(bands.front().color, kNavy);
  EXPECT_EQ(bands.back().color, kSilver);
}

TEST(CaptionBarLayout, NumColorsLimits) {
  struct Case {
    int requested;
    std::optional<int> result;
    const char* message;
  };
  for (const Case& c : {Case{64, 64, ""}, Case{1, 1, ""}, Case{256, 256, ""},
                        Case{300, 256, "The highest number of gradient colors possible is 256"},
                        Case{0, std::nullopt, "The number of colors must be at least 1"},
                        Case{-3, std::nullopt, "The number of colors must be at least 1"}}) {
    std::string message = "stale";
    EXPECT_EQ(ClampNumColors(c.requested, &message), c.result) << c.requested;
    EXPECT_EQ(message, c.message) << c.requested;
  }
}

TEST(CaptionBarLayout, GradientByStateAndBitsPerPixel) {
  struct Case {
    TGradEnabled enabled;
    bool active;
    int bits;
    bool gradient;
  };
  const Case cases[] = {
      {geAlways, false, 4, true},       {geNever, true, 32, false}, {geWhenActive, true, 4, true},
      {geWhenActive, false, 32, false}, {geSmart, true, 8, true},   {geSmart, false, 8, false},
      {geSmart, false, 16, true},       {geSmart, true, 4, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UseGradient(c.enabled, c.active, c.bits), c.gradient)
        << c.enabled << " " << c.active << " " << c.bits;
  }
}

TEST(CaptionBarLayout, NarrowAreasDropTheCompanyFirstThenTheApplicationName) {
  // Widths 40, 30 and 20 take 43, 33 and 23 with their gaps: 99 for all three.
  const std::array<std::optional<int>, kCaptionParts> widths{40, 30, 20};
  struct Case {
    int right;
    std::array<bool, kCaptionParts> drawn;
    std::array<int, kCaptionParts> left;
  };
  const Case cases[] = {
      {99, {true, true, true}, {3, 46, 79}},
      {98, {false, true, true}, {0, 3, 36}},
      {55, {false, false, true}, {0, 0, 3}},
      {10, {false, false, true}, {0, 0, 3}},  // the caption alone, cut at the area's end
  };
  for (const Case& c : cases) {
    const TCaptionTextFit fit = FitCaptionTexts(0, c.right, widths, jLeft, false);
    EXPECT_EQ(fit.drawn, c.drawn) << c.right;
    for (int part = 0; part < kCaptionParts; ++part) {
      if (c.drawn[part]) {
        EXPECT_EQ(fit.left[part], c.left[part]) << c.right << " " << part;
      }
    }
  }
  // An invisible company text takes no room.
  const TCaptionTextFit fit = FitCaptionTexts(0, 56, {std::nullopt, 30, 20}, jLeft, false);
  EXPECT_EQ(fit.drawn, (std::array<bool, kCaptionParts>{false, true, true}));
}

TEST(CaptionBarLayout, JustificationPlacesTextsThatFit) {
  const std::array<std::optional<int>, kCaptionParts> widths{40, 30, 20};
  struct Case {
    TJustification justification;
    bool older_look;
    int right;
    int company_left;
  };
  for (const Case& c :
       {Case{jLeft, true, 300, 103}, Case{jCenter, false, 300, 153}, Case{jRight, false, 300, 204},
        Case{jAuto, false, 300, 103}, Case{jAuto, true, 300, 153}}) {
    const TCaptionTextFit fit =
        FitCaptionTexts(100, c.right, widths, c.justification, c.older_look);
    EXPECT_EQ(fit.left[cpCompany], c.company_left) << c.justification << " " << c.older_look;
  }
  // A caption that does not fit starts at the left whatever the justification.
  EXPECT_EQ(FitCaptionTexts(100, 110, widths, jRight, false).left[cpCaption], 103);
}

TEST(CaptionBarLayout, FormTitleAndCaptionReadBack) {
  using Captions = std::array<std::optional<std::string>, kCaptionParts>;
  struct Case {
    Captions captions;
    const char* title;
  };
  const Case cases[] = {
      {{"", "", "Brisomel"}, "Brisomel"},
      {{"Acme", "Reader", "Help"}, "Acme Reader Help"},
      {{std::nullopt, "Reader", "Help"}, "Reader Help"},
      {{"Acme", std::nullopt, "Help"}, "Acme Help"},
      {{"Acme", "", "Help"}, "Acme Help"},
      {{"Acme", "Reader", std::nullopt}, "Acme Reader"},
      {{std::nullopt, std::nullopt, std::nullopt}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FormTitle(c.captions), c.title) << c.title;

  struct ReadBack {
    const char* title;
    std::optional<std::string> company, app_name;
    const char* caption;
  };
  const ReadBack reads[] = {
      {"Acme Reader", "Acme", "", "Reader"},
      {"Acme Soft Reader", "Acme", "Soft", "Reader"},
      {"Acme Reader", std::nullopt, std::nullopt, "Acme Reader"},
      {"Other title", "Acme", std::nullopt, "Other title"},
      {"Brisomel", "", "", "Brisomel"},
  };
  for (const ReadBack& r : reads) {
    EXPECT_EQ(CaptionFromTitle(r.title, r.company, r.app_name), r.caption) << r.title;
  }
}

}  // namespace
}  // namespace brisomel
