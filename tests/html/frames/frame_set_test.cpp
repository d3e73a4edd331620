// Frame sets: dimension values, sizes, borders, NORESIZE, frame names, frame sources that fail
// and frame sets that include themselves.
#include "html/frames/frame_set.h"

#include "frames_fixture.h"

namespace brisomel::test {
namespace {

struct DimCase {
  const char* name;
  std::string rows, cols;
  int extent;
  std::vector<int> lengths;  // initialised
  std::vector<int> placed;   // placed in the extent
};

class Dimensions : public testing::TestWithParam<DimCase> {};

TEST_P(Dimensions, LengthsAndPlacing) {
  const DimCase& c = GetParam();
  HeadlessWindowSystem windows;
  std::unique_ptr<Files> files = MakePlatformFiles();
  TImageModule module{8};
  TFrameViewer fv(TViewerServices{&windows, files.get(), nullptr, &module}, nullptr);
  TFrameSet set(fv, nullptr);
  set.BorderSize = 0;
  set.BevelWidth = 0;
  std::string html = "<frameset";
  if (!c.rows.empty()) html += " rows=\"" + c.rows + "\"";
  if (!c.cols.empty()) html += " cols=\"" + c.cols + "\"";
  html += "></frameset>";
  TFrameSetParseResult parse;
  ASSERT_TRUE(
      ParseFrameSetDocument({}, set, TDocumentSource::Buffer(html.data(), html.size()), parse));
  set.Window().SetBounds(Rect{0, 0, c.extent, c.extent});
  set.InitializeDimensions(0, 0, c.extent, c.extent);
  set.PlaceChildren();
  EXPECT_EQ(set.Lengths, c.lengths);
  std::vector<int> placed;
  for (auto& child : set.Children) {
    const Rect r = child->Window().Bounds();
    placed.push_back(set.Rows ? r.height() : r.width());
  }
  EXPECT_EQ(placed, c.placed);
}

INSTANTIATE_TEST_SUITE_P(
    FrameSet, Dimensions,
    testing::Values(
        DimCase{"PixelsAndStars", "100,*,2*", "", 400, {100, 100, 200}, {100, 100, 200}},
        DimCase{"PercentAndStar", "", "50%,*", 400, {200, 200}, {200, 200}},
        DimCase{"PercentAndPixelsScaled", "", "50%,50", 400, {200, 50}, {320, 80}},
        DimCase{"RowsOfOneGiveWayToCols", "*", "1,2", 300, {1, 2}, {100, 200}},
        DimCase{"RowsIgnoreCols", "1,2", "*,*", 300, {1, 2}, {100, 200}},
        DimCase{"EmptyEntriesAreStars", ",,", "", 300, {100, 100, 100}, {100, 100, 100}},
        DimCase{"ZeroIsOnePixel", "0,*", "", 100, {1, 99}, {1, 99}},
        DimCase{"PixelsCapped", "9999,*", "", 10000, {5000, 5000}, {5000, 5000}},
        DimCase{"PixelsOverflowShrink", "300,100", "", 200, {150, 50}, {150, 50}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameSetDimensions, ParsedValues) {
  EXPECT_EQ(ParseDimensions("10%, 3*, 20 ,*"), (std::vector<int16_t>{-110, -3, 20, -1}));
  EXPECT_EQ(ParseDimensions("200*,950%"), (std::vector<int16_t>{-99, -1000}));
  EXPECT_EQ(ParseDimensions("x"), (std::vector<int16_t>{-1}));
  EXPECT_EQ(ParseDimensions("99999999999999999999999999"), (std::vector<int16_t>{5000}));
  // More than 20 entries keep the first 20.
  std::string many;
  for (int i = 1; i <= 30; ++i) many += std::to_string(i) + ",";
  const std::vector<int16_t> dims = ParseDimensions(many);
  ASSERT_EQ(dims.size(), 20u);
  EXPECT_EQ(dims.front(), 1);
  EXPECT_EQ(dims.back(), 20);
}

using FrameSetLoad = FramesTest;

TEST_F(FrameSetLoad, FrameBorderGivesBevelsAndGaps) {
  struct Case {
    std::string attribute;
    int bevel, gap;
  };
  for (const Case& c : {Case{" frameborder=0", 0, 2}, Case{" frameborder=1", 1, 1}, Case{"", 2, 0},
                        Case{" border=0", 0, 2}}) {
    SCOPED_TRACE(c.attribute);
    static int page = 0;
    Write("a.htm", "<p>A");
    const std::string top = Write(
        "top" + std::to_string(page++) + ".htm",
        "<frameset cols=*,*" + c.attribute + "><frame src=a.htm><frame src=a.htm></frameset>");
    fv->LoadFromFile(top);
    TFrameSet& set = fv->CurrentSet();
    EXPECT_EQ(set.BorderSize, c.gap);
    ASSERT_EQ(set.Children.size(), 2u);
    EXPECT_EQ(set.Children[0]->BevelWidth, c.bevel);
    EXPECT_EQ(set.Children[0]->Window().Bounds().left, c.gap);
    EXPECT_EQ(set.Children[1]->Window().Bounds().right, 400 - c.gap);
    EXPECT_EQ(set.Children[1]->Window().Bounds().top, c.gap);
  }
}

TEST_F(FrameSetLoad, NoResizeFixesTheBordersBesideIt) {
  Write("a.htm", "<p>A");
  fv->LoadFromFile(Write("top.htm",
                         "<frameset cols=*,*,*><frame src=a.htm><frame src=a.htm noresize>"
                         "<frame src=a.htm></frameset>"));
  EXPECT_EQ(fv->CurrentSet().Fixed, (std::vector<bool>{false, true, true, false}));
}

TEST_F(FrameSetLoad, MissingSourceShowsTheErrorDocument) {
  fv->LoadFromFile(Write("top.htm", "<frameset rows=*><frame name=f src=gone.htm></frameset>"));
  TFrame* frame = FrameNamed("f");
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(Contains(frame, "Can't load " + folder + "gone.htm"));
}

TEST_F(FrameSetLoad, FewerFramesThanDimensionsGetEmptyFrames) {
  Write("a.htm", "<p>A");
  fv->LoadFromFile(Write("top.htm", "<frameset rows=*,*,*><frame src=a.htm></frameset>"));
  EXPECT_EQ(fv->CurrentSet().Children.size(), 3u);
  EXPECT_EQ(fv->CurrentSet().Frames.size(), 3u);
}

TEST_F(FrameSetLoad, SelfIncludingSetStopsAtTheNestingLimit) {
  Write("a.htm", "<p>A");
  const std::string top =
      Write("self.htm", "<frameset cols=*,*><frame src=self.htm><frame src=a.htm></frameset>");
  fv->LoadFromFile(top);
  // Four levels of sets, each with its page; the frame at the fifth stays empty.
  int depth = 0;
  TSubFrameSet* set = &fv->CurrentSet();
  while (true) {
    auto* frame = static_cast<TFrame*>(set->Children[0].get());
    if (!frame->FrameSet()) {
      EXPECT_EQ(frame->Viewer(), nullptr);
      break;
    }
    set = frame->FrameSet();
    ++depth;
  }
  EXPECT_EQ(depth, kMaxFrameNesting);
}

TEST_F(FrameSetLoad, WideSelfIncludingSetStopsAtTheFrameLimit) {
  // Twenty frames that each show the set again would be 168420 frames four levels down.
  std::string frames;
  for (int i = 0; i < 20; ++i) frames += "<frame src=wide.htm>";
  fv->LoadFromFile(
      Write("wide.htm", "<frameset rows=" + std::string(19, ',') + ">" + frames + "</frameset>"));
  EXPECT_LE(fv->CurrentSet().FrameCount, kMaxFramesPerDocument + 20);
  EXPECT_EQ(fv->CurrentSet().FrameCount, static_cast<int>(fv->CurrentSet().Frames.size()));
  fv->LoadFromFile(Write("small.htm", "<p>Small"));
  EXPECT_EQ(fv->CurrentSet().FrameCount, 1);
}

TEST_F(FrameSetLoad, NestedSetsAndNamesInDocumentOrder) {
  Write("a.htm", "<p>A");
  Write("b.htm", "<p>B");
  fv->LoadFromFile(Write("top.htm",
                         "<frameset rows=100,*><frame name=nav src=a.htm><frameset cols=*,*>"
                         "<frame name=left src=b.htm><frame name=nav src=b.htm></frameset>"
                         "</frameset>"));
  TFrameSet& set = fv->CurrentSet();
  ASSERT_EQ(set.Frames.size(), 3u);
  EXPECT_EQ(set.FrameNames.at("NAV"), set.Frames[0]);  // the first of two with one name
  EXPECT_EQ(set.Children[1]->Window().Bounds().top, 100);
  EXPECT_EQ(set.Viewers.size(), 3u);
}

TEST_F(FrameSetLoad, BordersDragWithTheMouseAndStopAtTheirNeighbours) {
  Write("a.htm", "<p>A");
  fv->LoadFromFile(Write("drag.htm",
                         "<frameset cols=100,100,*><frame src=a.htm><frame src=a.htm>"
                         "<frame src=a.htm noresize></frameset>"));
  TFrameSet& set = fv->CurrentSet();
  auto& first = static_cast<HeadlessWindow&>(set.Children[0]->Window());
  // The bevel at the right edge of the first frame lies on border 1.
  first.MoveMouse(99, 50);
  EXPECT_EQ(first.Cursor(), crHSplit);
  first.MoveMouse(50, 1);
  EXPECT_EQ(first.Cursor(), fv->Cursor());
  first.PressMouse(mbLeft, 99, 50);
  EXPECT_TRUE(first.Captured());
  first.MoveMouse(150, 50);
  first.ReleaseMouse(mbLeft, 150, 50);
  EXPECT_FALSE(first.Captured());
  EXPECT_EQ(set.Children[0]->Window().Bounds().width(), 150);
  EXPECT_EQ(set.Children[1]->Window().Bounds().left, 150);
  EXPECT_EQ(set.Children[1]->Window().Bounds().width(), 50);
  // Dragged past its right neighbour it stops just before it.
  first.PressMouse(mbLeft, 149, 50);
  first.ReleaseMouse(mbLeft, 390, 50);
  EXPECT_EQ(set.Children[0]->Window().Bounds().width(), 199);
  EXPECT_EQ(set.Children[2]->Window().Bounds().left, 200);
  // The border beside the NORESIZE frame shows no split cursor and does not move.
  auto& second = static_cast<HeadlessWindow&>(set.Children[1]->Window());
  second.MoveMouse(0, 50);
  EXPECT_EQ(second.Cursor(), crHSplit);  // border 1, at its left edge
  auto& third = static_cast<HeadlessWindow&>(set.Children[2]->Window());
  third.MoveMouse(1, 50);
  EXPECT_EQ(third.Cursor(), fv->Cursor());
  third.PressMouse(mbLeft, 1, 50);
  third.ReleaseMouse(mbLeft, 100, 50);
  EXPECT_EQ(set.Children[2]->Window().Bounds().left, 200);
}

}  // namespace
}  // namespace brisomel::test
