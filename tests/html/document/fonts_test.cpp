#include "html/document/fonts.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/headless/software_canvas.h"
#include "text/utf.h"

namespace brisomel {
namespace {

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndReportsFailure) {
  struct Case {
    int32_t a, b, c, expected;
  } cases[] = {
      {10, 15, 12, 13},  // 12.5
      {12, 12, 12, 12},
      {-10, 15, 12, -13},
      {10, -15, 12, -13},
      {10, 15, -12, -13},
      {7, 3, 4, 5},  // 5.25
      {5, 3, 4, 4},  // 3.75
      {1, 1, 2, 1},
      {-1, 1, 2, -1},
      {0, 5, 3, 0},
      {12, 5, 0, -1},         // no divisor
      {INT32_MAX, 2, 1, -1},  // too large
      {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
      {96, 600, 96, 600},
  };
  for (const auto& k : cases) {
    EXPECT_EQ(MulDiv(k.a, k.b, k.c), k.expected) << k.a << "*" << k.b << "/" << k.c;
  }
}

TEST(FontSizeScaleTest, StepsOfBothRows) {
  const int proportional[] = {8, 10, 12, 14, 18, 24, 36};
  const int fixed[] = {7, 8, 10, 12, 15, 20, 30};
  for (int step = 1; step <= 7; ++step) {
    EXPECT_EQ(FontSizeForStep(step, false), proportional[step - 1]);
    EXPECT_EQ(FontSizeForStep(step, true), fixed[step - 1]);
  }
  EXPECT_EQ(FontSizeForStep(0, false), 8);
  EXPECT_EQ(FontSizeForStep(9, true), 30);
}

class FontsTest : public ::testing::Test {
 protected:
  // The test font: a point size p at 96 dpi gives an em of round(p * 4 / 3), a cell of
  // em + em / 4 and an external leading of em / 8.
  SoftwareCanvas screen{1, 1};
  TFontSettings settings;

  std::unique_ptr<TMyFont> Font(int rel_size, uint8_t style = 0) {
    auto f = std::make_unique<TMyFont>();
    f->SetStyle(style);
    f->SetRelSize(settings, rel_size);
    return f;
  }
};

TEST_F(FontsTest, MyFontDerivesFromTheDocumentDefaults) {
  settings.FontSize = 10;
  auto f = Font(15, kFontItalic);
  EXPECT_EQ(f->Size(), 13);  // MulDiv(10, 15, 12)
  EXPECT_EQ(f->RelSize, 15);
  settings.FontName = "Arial";
  settings.PreFontName = "Courier New";
  settings.FontSize = 24;
  settings.Charset = 238;
  f->Refresh(settings, 0x123456);
  EXPECT_EQ(f->Name(), "Arial");
  EXPECT_EQ(f->Size(), 30);
  EXPECT_EQ(f->Charset(), 238);
  EXPECT_EQ(f->FontColor(), 0x02123456u);
  EXPECT_EQ(f->Style(), kFontItalic);  // kept
  f->FixedPitch = true;
  f->Refresh(settings, 0);
  EXPECT_EQ(f->Name(), "Courier New");

  // Assign takes the scale and pitch only from another TMyFont.
  TMyFont copy;
  copy.Assign(*f);
  EXPECT_EQ(copy.RelSize, 15);
  EXPECT_TRUE(copy.FixedPitch);
  EXPECT_EQ(copy.Description(), f->Description());
  TFont plain;
  plain.SetSize(7);
  copy.Assign(plain);
  EXPECT_EQ(copy.RelSize, 15);
  EXPECT_EQ(copy.Size(), 7);
}

TEST_F(FontsTest, RunMetricsFollowEveryChangeOfTheFont) {
  TFontObj run(Font(12), 0, screen);  // 12 points: em 16
  EXPECT_EQ(run.CellHeight, 20);
  EXPECT_EQ(run.LineHeight, 22);
  EXPECT_EQ(run.Descent, 4);
  EXPECT_EQ(run.Overhang, 0);
  run.TheFont->SetSize(24);  // em 32
  EXPECT_EQ(run.CellHeight, 40);
  EXPECT_EQ(run.LineHeight, 44);
  EXPECT_EQ(run.Descent, 8);
  run.TheFont->SetRelSize(settings, 6);  // 6 points: em 8
  EXPECT_EQ(run.CellHeight, 10);
  // Measuring leaves the screen canvas's own font alone.
  EXPECT_EQ(screen.font(), FontSpec{});
}

TEST_F(FontsTest, RunLookupByPosition) {
  TFontList list;
  list.ChangeFont(settings, *Font(12), 0, 0, 0, screen);
  list.ChangeFont(settings, *Font(18), 5, 0, 0, screen);
  list.ChangeFont(settings, *Font(24), 9, 0, 0, screen);
  ASSERT_EQ(list.Count(), 3);
  struct Case {
    int32_t pos;
    int index;
  } cases[] = {{0, 0}, {4, 0}, {5, 1}, {8, 1}, {9, 2}, {500, 2}, {-3, 0}};
  for (const auto& k : cases) {
    int index = -7;
    TFontObj* run = list.FontObjAt(k.pos, index);
    EXPECT_EQ(index, k.index) << k.pos;
    EXPECT_EQ(run, &list[k.index]);
    int32_t overhang = -1;
    EXPECT_EQ(list.FontAt(k.pos, overhang), list[k.index].TheFont.get());
    EXPECT_EQ(overhang, 0);
  }
  EXPECT_EQ(list.RunLength(0, 20), 5);
  EXPECT_EQ(list.RunLength(7, 20), 2);
  EXPECT_EQ(list.RunLength(12, 20), 8);  // inside the last run: to the end of the text
  TFontList empty;
  int index;
  int32_t overhang;
  EXPECT_EQ(empty.FontObjAt(3, index), nullptr);
  EXPECT_EQ(empty.FontAt(3, overhang), nullptr);
}

TEST_F(FontsTest, FontChangesMakeRuns) {
  TFontList list;
  TFontObj& first = list.ChangeFont(settings, *Font(12), 0, 0, 0, screen);
  first.Target.Url = u"a.htm";
  first.Target.Target = u"main";
  // Two changes at one position leave one run with the later font.
  list.ChangeFont(settings, *Font(14), 4, 0, 0, screen);
  list.ChangeFont(settings, *Font(18), 4, kFontBold, 0, screen);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[1].TheFont->RelSize, 18);
  EXPECT_EQ(list[1].TheFont->Style(), kFontBold);  // the extra style bits
  EXPECT_EQ(list[1].Pos, 4);
  // A new run inherits the previous run's link.
  EXPECT_EQ(list[1].Target.Url, u"a.htm");
  EXPECT_EQ(list[1].Target.Target, u"main");
  EXPECT_EQ(list[1].CellHeight, 30);  // 18 points: em 24

  // Sub- and superscript runs shrink to three quarters, rounded.
  TFontObj& sub = list.ChangeFont(settings, *Font(12), 8, 0, 1, screen);
  EXPECT_EQ(sub.ScriptKind, 1);
  EXPECT_EQ(sub.TheFont->RelSize, 9);
  EXPECT_EQ(sub.TheFont->Size(), 9);
  TFontObj& sup = list.ChangeFont(settings, *Font(14), 12, 0, 2, screen);
  EXPECT_EQ(sup.ScriptKind, 2);
  EXPECT_EQ(sup.TheFont->RelSize, 11);  // 10.5
  EXPECT_EQ(list.Count(), 4);
}

TEST_F(FontsTest, RefreshGivesLinksTheHotSpotColourAndOthersTheTextColour) {
  TFontList list;
  TFontObj& link = list.ChangeFont(settings, *Font(12), 0, 0, 0, screen);
  link.Target.Url = u"next.htm";
  TFontObj& after = list.ChangeFont(settings, *Font(12), 6, 0, 0, screen);
  after.Target.Clear();               // the link ended
  after.TheFont->SetColor(0x0000FF);  // FONT COLOR in the page
  settings.FontColor = 0x112233;
  settings.HotSpotColor = 0x445566;
  settings.FontSize = 24;
  list.RefreshAll(settings);
  EXPECT_EQ(list[0].TheFont->FontColor(), 0x02445566u);
  EXPECT_EQ(list[1].TheFont->FontColor(), 0x02112233u);
  EXPECT_EQ(list[1].TheFont->Size(), 24);
  EXPECT_EQ(list[1].CellHeight, 40);  // metrics followed
}

TEST_F(FontsTest, CopiesAreDeep) {
  TFontList list;
  TFontObj& run = list.ChangeFont(settings, *Font(12), 0, kFontUnderline, 2, screen);
  run.Target.Url = u"x.htm";
  list.ChangeFont(settings, *Font(24), 3, 0, 0, screen);
  auto copy = TFontList::CreateCopy(list);
  ASSERT_EQ(copy->Count(), 2);
  EXPECT_NE(copy->operator[](0).TheFont.get(), list[0].TheFont.get());
  EXPECT_EQ(copy->operator[](0).TheFont->Description(), list[0].TheFont->Description());
  EXPECT_EQ(copy->operator[](0).ScriptKind, 2);
  EXPECT_EQ(copy->operator[](0).Target.Url, u"x.htm");
  EXPECT_EQ(copy->operator[](1).Pos, 3);
  EXPECT_EQ(copy->operator[](1).LineHeight, list[1].LineHeight);
  // The copy measures itself: changing it leaves the original.
  copy->operator[](1).TheFont->SetSize(6);
  EXPECT_EQ(copy->operator[](1).CellHeight, 10);
  EXPECT_EQ(list[1].CellHeight, 40);
}

}  // namespace
}  // namespace brisomel
