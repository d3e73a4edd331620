// The frame viewer: link targets across frames, the combined history of frames and documents,
// its limit, and clicks that come while a load runs.
#include "html/frames/frame_viewer.h"

#include <gmock/gmock.h>

#include "frames_fixture.h"

namespace brisomel::test {
namespace {

using FrameViewer = FramesTest;

// Two frames side by side: "a" shows a1.htm, "b" shows b1.htm; each page links to the next
// one of its frame.
class TwoFrames : public FramesTest {
 protected:
  TwoFrames() {
    LinkPage("a1.htm", "a2.htm");
    LinkPage("a2.htm", "a3.htm");
    LinkPage("a3.htm", "a1.htm");
    LinkPage("b1.htm", "b2.htm");
    LinkPage("b2.htm", "b1.htm");
    top = Write("two.htm",
                "<title>Two</title><frameset cols=*,*><frame name=a src=a1.htm>"
                "<frame name=b src=b1.htm></frameset>");
    fv->SetHistoryMaxCount(10);
  }
  std::string top;
};

TEST_F(TwoFrames, BackUndoesTheLastFrameStepFirstThenTheDocument) {
  LinkPage("first.htm", "two.htm");
  fv->LoadFromFile(folder + "first.htm");
  ClickLink(fv->CurrentSet().Frames[0]);  // a plain page: the whole document is replaced
  ASSERT_EQ(fv->CurrentFileName(), top);
  EXPECT_EQ(fv->CurrentSet().Title, u"Two");
  ClickLink(FrameNamed("a"));
  ClickLink(FrameNamed("b"));
  EXPECT_EQ(Shown(FrameNamed("a")), "a2.htm");
  EXPECT_EQ(Shown(FrameNamed("b")), "b2.htm");
  EXPECT_TRUE(fv->BackButtonEnabled());
  EXPECT_FALSE(fv->FwdButtonEnabled());

  fv->GoBack();
  EXPECT_EQ(Shown(FrameNamed("a")), "a2.htm");
  EXPECT_EQ(Shown(FrameNamed("b")), "b1.htm");
  fv->GoBack();
  EXPECT_EQ(Shown(FrameNamed("a")), "a1.htm");
  EXPECT_EQ(Shown(FrameNamed("b")), "b1.htm");
  fv->GoBack();
  EXPECT_EQ(fv->CurrentFileName(), folder + "first.htm");
  EXPECT_FALSE(fv->BackButtonEnabled());
  EXPECT_TRUE(fv->FwdButtonEnabled());

  // Forward again: the document, then A's step, then B's.
  fv->GoForward();
  EXPECT_EQ(fv->CurrentFileName(), top);
  fv->GoForward();
  EXPECT_EQ(Shown(FrameNamed("a")), "a2.htm");
  EXPECT_EQ(Shown(FrameNamed("b")), "b1.htm");
  fv->GoForward();
  EXPECT_EQ(Shown(FrameNamed("b")), "b2.htm");
  EXPECT_FALSE(fv->FwdButtonEnabled());
}

// Every frame zooms together, frames that come later (a new frame set, Back) too.
TEST_F(TwoFrames, EveryFrameTakesTheZoom) {
  fv->LoadFromFile(top);
  fv->SetZoomPercent(150);
  auto zooms = [&] {
    std::vector<int> z;
    for (TFrame* frame : fv->CurrentSet().Frames) z.push_back(frame->Viewer()->ZoomPercent());
    return z;
  };
  EXPECT_EQ(zooms(), (std::vector<int>{150, 150}));
  ClickLink(FrameNamed("a"));
  fv->LoadFromFile(Write("three.htm",
                         "<frameset rows=*,*,*><frame src=a1.htm><frame src=b1.htm>"
                         "<frame src=a2.htm></frameset>"));
  EXPECT_EQ(zooms(), (std::vector<int>{150, 150, 150}));
  fv->GoBack();
  EXPECT_EQ(zooms(), (std::vector<int>{150, 150}));
  EXPECT_EQ(fv->ZoomPercent(), 150);
}

TEST_F(TwoFrames, TargetsChooseTheFrame) {
  LinkPage("to_b.htm", "b2.htm", "B");  // names compare ignoring case
  LinkPage("to_top.htm", "a3.htm", "_top");
  LinkPage("to_self.htm", "a2.htm", "_self");
  fv->LoadFromFile(Write("t.htm",
                         "<frameset rows=*,*,*><frame name=a src=to_b.htm><frame name=b "
                         "src=b1.htm><frame name=c src=to_self.htm></frameset>"));
  ClickLink(FrameNamed("a"));
  EXPECT_EQ(Shown(FrameNamed("a")), "to_b.htm");
  EXPECT_EQ(Shown(FrameNamed("b")), "b2.htm");
  ClickLink(FrameNamed("c"));
  EXPECT_EQ(Shown(FrameNamed("c")), "a2.htm");
  fv->LoadFromFile(Write("t2.htm",
                         "<frameset rows=*,*><frame name=a src=to_top.htm>"
                         "<frame src=b1.htm></frameset>"));
  ClickLink(FrameNamed("a"));
  EXPECT_EQ(fv->CurrentFileName(), folder + "a3.htm");
}

TEST_F(TwoFrames, BaseTargetOfTheFrameSetApplies) {
  fv->LoadFromFile(Write("based.htm",
                         "<base target=b><frameset cols=*,*><frame name=a "
                         "src=a1.htm><frame name=b src=b1.htm></frameset>"));
  ClickLink(FrameNamed("a"));
  EXPECT_EQ(Shown(FrameNamed("a")), "a1.htm");
  EXPECT_EQ(Shown(FrameNamed("b")), "a2.htm");
}

TEST_F(TwoFrames, UnknownTargetLoadsNothing) {
  LinkPage("away.htm", "a2.htm", "elsewhere");
  fv->LoadFromFile(Write("u.htm",
                         "<frameset cols=*,*><frame name=a src=away.htm>"
                         "<frame name=b src=b1.htm></frameset>"));
  ClickLink(FrameNamed("a"));
  EXPECT_EQ(Shown(FrameNamed("a")), "away.htm");
  EXPECT_EQ(Shown(FrameNamed("b")), "b1.htm");
  EXPECT_FALSE(fv->BackButtonEnabled());

  std::string asked;
  fv->OnBlankWindowRequest = [&](void*, const std::string& target, const std::string& url) {
    asked = target + " " + url;
  };
  ClickLink(FrameNamed("a"));
  EXPECT_EQ(asked, "elsewhere a2.htm");
  EXPECT_EQ(Shown(FrameNamed("a")), "away.htm");
}

TEST_F(TwoFrames, ClicksWhileLoadingAreIgnored) {
  fv->LoadFromFile(top);
  int loads = 0;
  fv->OnProcessing = [&](void*, bool on) {
    if (!on) return;
    ++loads;
    // A click that arrives while the load runs.
    ClickLink(FrameNamed("b"));
  };
  ClickLink(FrameNamed("a"));
  EXPECT_EQ(Shown(FrameNamed("a")), "a2.htm");
  EXPECT_EQ(Shown(FrameNamed("b")), "b1.htm");
  EXPECT_GE(loads, 1);
  fv->OnProcessing = nullptr;
}

TEST_F(FrameViewer, HistoryKeepsTheNewestOfItsMaximum) {
  fv->SetHistoryMaxCount(15);
  std::weak_ptr<TFrameSet> first;
  for (int i = 0; i < 16; ++i) {
    fv->LoadFromFile(Write("doc" + std::to_string(i) + ".htm", "<p>Page " + std::to_string(i)));
    if (i == 0) first = fv->History().front().Set;
  }
  ASSERT_EQ(fv->History().size(), 15u);
  EXPECT_EQ(fv->History().front().Name, folder + "doc15.htm");
  EXPECT_EQ(fv->History().back().Name, folder + "doc1.htm");
  EXPECT_TRUE(first.expired());
}

TEST_F(FrameViewer, ReloadingTheSameFileSharesItsSet) {
  fv->SetHistoryMaxCount(5);
  const std::string page = Write("same.htm", "<p>One");
  fv->LoadFromFile(page);
  TFrameSet* set = &fv->CurrentSet();
  fv->LoadFromFile(page);
  EXPECT_EQ(&fv->CurrentSet(), set);
  ASSERT_EQ(fv->History().size(), 2u);
  EXPECT_EQ(fv->History()[0].Set, fv->History()[1].Set);
}

TEST_F(FrameViewer, MissingFileIsReportedAndChangesNothing) {
  const std::string page = Write("here.htm", "<p>Here");
  fv->LoadFromFile(page);
  try {
    fv->LoadFromFile(folder + "nothere.htm#x");
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't locate file: " + folder + "nothere.htm");
  }
  EXPECT_EQ(fv->CurrentFileName(), page);
  fv->LoadImageFile(folder + "notes.txt");  // not an image: nothing happens
  EXPECT_EQ(fv->CurrentFileName(), page);
}

TEST_F(FrameViewer, FindAndSelectionGoToTheActiveViewer) {
  fv->LoadFromFile(Write("find.htm", "<p>Needle in a haystack"));
  fv->SetFindStart(0);
  EXPECT_TRUE(fv->FindText(u"needle", false));
  EXPECT_EQ(fv->SelLength(), 6);
  EXPECT_FALSE(fv->FindText(u"thread", false));
}

// Sound sources come out expanded against the document that asks for them, so a relative
// name finds the sound beside its page or frameset whatever the current directory is.
TEST_F(FrameViewer, SoundSourcesAreExpandedAgainstTheirDocument) {
  std::vector<std::string> sounds;
  fv->OnSoundRequest = [&](void*, const std::string& src, int loop, bool stop) {
    sounds.push_back(src + " " + std::to_string(loop) + (stop ? " stop" : ""));
  };
  Write("inner.htm", "<p>Inner");
  const std::string other = files->SystemTempDirectory() + "elsewhere.wav";
  struct Case {
    const char* file;
    std::string html;
    std::string expected;
  };
  const Case cases[] = {
      {"page.htm", "<bgsound src=\"chime.wav\" loop=3><p>Page", folder + "chime.wav 3"},
      {"caps.htm", "<bgsound src=\"Chime.WAV\"><p>Page", folder + "Chime.WAV 1"},
      {"full.htm", "<bgsound src=\"" + other + "\"><p>Page", other + " 1"},
      {"set.htm",
       "<head><bgsound src=\"theme.mid\"></head><frameset cols=\"*\"><frame src=\"inner.htm\">"
       "</frameset>",
       folder + "theme.mid 1"},
  };
  for (const Case& c : cases) {
    sounds.clear();
    fv->LoadFromFile(Write(c.file, c.html));
    EXPECT_THAT(sounds, ::testing::Contains(c.expected)) << c.file;
    // The stop request before each page keeps its empty source.
    EXPECT_THAT(sounds, ::testing::Contains(" 0 stop")) << c.file;
  }
}

}  // namespace
}  // namespace brisomel::test
