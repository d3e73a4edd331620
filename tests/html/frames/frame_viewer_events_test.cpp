// The frame viewer's timers, request events, busy state, properties, sound requests and focus:
// what it hands to the viewers of its frames and what it does with what they report.
#include <gtest/gtest.h>

#include "frames_fixture.h"
#include "html/frames/frame_viewer.h"

namespace brisomel::test {
namespace {

// The document and the frames shown: "doc.htm:a1.htm,b1.htm".
class FrameEvents : public FramesTest {
 protected:
  FrameEvents() {
    LinkPage("a1.htm", "a2.htm");
    LinkPage("a2.htm", "a1.htm");
    LinkPage("b1.htm", "b2.htm");
    LinkPage("b2.htm", "b1.htm");
    Write("two.htm",
          "<frameset cols=*,*><frame name=a src=a1.htm><frame name=b src=b1.htm></frameset>");
    fv->SetHistoryMaxCount(10);
  }
  std::string State() {
    const std::string& file = fv->CurrentFileName();
    std::string state = file.substr(file.find_last_of("\\/") + 1) + ":";
    for (TFrame* frame : fv->CurrentSet().Frames) {
      if (state.back() != ':') state += ',';
      state += Shown(frame);
    }
    return state;
  }
};

// --- META refresh ---

struct RefreshCase {
  const char* name;
  bool option;           // fvMetaRefresh
  const char* document;  // loaded first
  const char* before;    // the state just before the delay ends
  const char* after;     // and once it has ended
};

class MetaRefresh : public FrameEvents, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(MetaRefresh, LoadsTheTargetWhenTheDelayEnds) {
  const RefreshCase& c = GetParam();
  const std::string meta = "<meta http-equiv=refresh content=\"2; URL=";
  Write("page.htm", "<title>Page</title>" + meta + "next.htm\"><p>Page");
  Write("next.htm", "<p>Next");
  Write("frame_page.htm",
        "<frameset cols=*,*><frame name=a src=a_refresh.htm><frame name=b src=b1.htm></frameset>");
  Write("a_refresh.htm", meta + "a2.htm\"><p>A");
  Write("set_refresh.htm", meta +
                               "next.htm\"><frameset cols=*,*><frame src=a1.htm>"
                               "<frame src=b1.htm></frameset>");
  Write("to_missing.htm", meta + "missing.htm\"><p>Going nowhere");
  if (c.option) fv->fvOptions = fvMetaRefresh;
  fv->LoadFromFile(folder + c.document);
  windows.Advance(1999);
  windows.RunPosted();
  EXPECT_EQ(State(), c.before);
  windows.Advance(1);
  windows.RunPosted();
  EXPECT_EQ(State(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MetaRefresh,
    ::testing::Values(
        RefreshCase{"PageAtTopLevel", true, "page.htm", "page.htm:page.htm", "next.htm:next.htm"},
        RefreshCase{"WithoutTheOption", false, "page.htm", "page.htm:page.htm",
                    "page.htm:page.htm"},
        RefreshCase{"PageInAFrame", true, "frame_page.htm", "frame_page.htm:a_refresh.htm,b1.htm",
                    "frame_page.htm:a2.htm,b1.htm"},
        RefreshCase{"FrameSetDocument", true, "set_refresh.htm", "set_refresh.htm:a1.htm,b1.htm",
                    "next.htm:next.htm"},
        RefreshCase{"MissingTarget", true, "to_missing.htm", "to_missing.htm:to_missing.htm",
                    "to_missing.htm:to_missing.htm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameEvents, RefreshInAFrameIsHistoryAndStopsWhenTheDocumentGoes) {
  fv->fvOptions = fvMetaRefresh;
  Write("a_refresh.htm", "<meta http-equiv=refresh content=\"1; url=a2.htm\"><p>A");
  const std::string doc = Write("r.htm",
                                "<frameset cols=*,*><frame name=a src=a_refresh.htm>"
                                "<frame name=b src=b1.htm></frameset>");
  fv->LoadFromFile(doc);
  windows.Advance(1000);
  EXPECT_EQ(State(), "r.htm:a2.htm,b1.htm");
  fv->GoBack();  // the refresh was a step in the frame's history
  EXPECT_EQ(State(), "r.htm:a_refresh.htm,b1.htm");
  // Back showed the page again, which asks again; another document comes before the delay ends.
  fv->LoadFromFile(folder + "b2.htm");
  windows.Advance(5000);
  windows.RunPosted();
  EXPECT_EQ(State(), "b2.htm:b2.htm");
}

// --- Request events ---

struct RequestCase {
  const char* name;
  std::function<void(TFrameViewer&, const std::string& folder)> assign;
};

const std::string kRequested = "<title>Asked</title><p>From the host";
const std::vector<std::string> kRequestedLines = {"<title>Asked</title>", "<p>From the host"};

class RequestEvents : public FrameEvents, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(RequestEvents, SupplyTheSourceOfAFrame) {
  Write("real.htm", kRequested);
  const std::string doc = Write("asked.htm",
                                "<frameset cols=*,*><frame name=a src=virtual.htm#x>"
                                "<frame name=b src=b1.htm></frameset>");
  GetParam().assign(*fv, folder);
  fv->LoadFromFile(doc);
  EXPECT_TRUE(Contains(FrameNamed("a"), "From the host"));
  // A name no event supplies is a file beside the frameset document.
  EXPECT_EQ(Shown(FrameNamed("b")), "b1.htm");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RequestEvents,
    ::testing::Values(
        RequestCase{"Strings",
                    [](TFrameViewer& fv, const std::string&) {
                      fv.OnStringsRequest = [](void*, const std::string& src,
                                               const std::vector<std::string>*& strings) {
                        if (src == "virtual.htm") strings = &kRequestedLines;
                      };
                    }},
        RequestCase{
            "Stream",
            [](TFrameViewer& fv, const std::string&) {
              struct Stream : TInputStream {
                size_t at = 0;
                int32_t Read(void* buffer, int32_t count) override {
                  // Small reads, as a pipe would give them.
                  const size_t n = std::min<size_t>({3, size_t(count), kRequested.size() - at});
                  kRequested.copy(static_cast<char*>(buffer), n, at);
                  at += n;
                  return static_cast<int32_t>(n);
                }
              };
              auto stream = std::make_shared<Stream>();
              fv.OnStreamRequest = [stream](void*, const std::string& src, TInputStream*& result) {
                if (src != "virtual.htm") return;
                stream->at = 0;
                result = stream.get();
              };
            }},
        RequestCase{"Buffer",
                    [](TFrameViewer& fv, const std::string&) {
                      fv.OnBufferRequest = [](void*, const std::string& src, const char*& buffer,
                                              int32_t& size) {
                        if (src != "virtual.htm") return;
                        buffer = kRequested.data();
                        size = static_cast<int32_t>(kRequested.size());
                      };
                    }},
        RequestCase{"File",
                    [](TFrameViewer& fv, const std::string& folder) {
                      fv.OnFileRequest = [folder](void*, const std::string& src,
                                                  std::string& name) {
                        if (src == "virtual.htm") name = folder + "real.htm";
                      };
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameEvents, RequestEventsGetNamesAsWrittenAndCanSupplyFrameSets) {
  std::vector<std::string> asked;
  const std::vector<std::string> inner = {
      "<frameset rows=*,*><frame name=top src=pic.gif><frame src=b1.htm></frameset>"};
  const std::vector<std::string> pic = {"<p>Not a picture: a document"};
  fv->OnStringsRequest = [&](void*, const std::string& src,
                             const std::vector<std::string>*& strings) {
    asked.push_back(src);
    if (src == "inner") strings = &inner;
    if (src == "pic.gif") strings = &pic;
  };
  const std::string doc = Write(
      "outer.htm", "<frameset cols=*,*><frame name=a src=a1.htm><frame src=inner></frameset>");
  fv->LoadFromFile(doc);
  EXPECT_TRUE(Contains(FrameNamed("top"), "a document"));
  EXPECT_EQ(Shown(FrameNamed("a")), "a1.htm");
  // The link in a1.htm reaches the event as written, not expanded.
  ClickLink(FrameNamed("a"));
  EXPECT_EQ(asked,
            (std::vector<std::string>{doc, "a1.htm", "inner", "pic.gif", "b1.htm", "a2.htm"}));
  EXPECT_EQ(Shown(FrameNamed("a")), "a2.htm");
}

// --- Busy state ---

TEST_F(FrameEvents, ViewersBusyMakeTheFrameViewerBusy) {
  Write("a_meta.htm", "<meta name=x content=y><p>With a meta");
  LinkPage("a_link.htm", "a_meta.htm");
  fv->LoadFromFile(Write("busy.htm",
                         "<frameset cols=*,*><frame name=a src=a_link.htm>"
                         "<frame name=b src=b1.htm></frameset>"));
  ClickLink(FrameNamed("a"));
  ASSERT_EQ(Shown(FrameNamed("a")), "a_meta.htm");
  std::vector<bool> reported;
  fv->OnProcessing = [&](void*, bool on) { reported.push_back(on); };
  std::vector<bool> seen;
  fv->SetOnMeta([&](void* sender, const std::string&, const std::string&, const std::string&) {
    // Raised while the frame's viewer parses: its load makes the frame viewer busy, so
    // loads, history steps and these properties wait.
    seen.push_back(fv->Processing());
    EXPECT_EQ(sender, FrameNamed("a")->Viewer());
    fv->LoadFromFile(folder + "b2.htm");
    fv->GoBack();
    fv->SetImageCacheCount(9);
    fv->SetViewImages(false);
  });
  fv->GoBack();
  fv->GoForward();  // the viewer of frame a loads a_meta.htm again
  EXPECT_EQ(seen, std::vector<bool>{true});
  EXPECT_EQ(State(), "busy.htm:a_meta.htm,b1.htm");
  EXPECT_EQ(fv->ImageCacheCount(), 5);
  EXPECT_TRUE(fv->ViewImages());
  EXPECT_FALSE(fv->Processing());
  // Each load of a viewer turned the frame viewer's state on once and off once.
  EXPECT_EQ(reported, (std::vector<bool>{true, false, true, false}));
}

// --- Properties and events handed to the viewers ---

struct PropertyCase {
  const char* name;
  std::function<void(TFrameViewer&)> set;
  std::function<bool(TPageViewer&)> has;
};

class Properties : public FrameEvents, public ::testing::WithParamInterface<PropertyCase> {};

TEST_P(Properties, ReachEveryViewerAndViewersMadeLater) {
  const PropertyCase& c = GetParam();
  fv->LoadFromFile(folder + "two.htm");
  c.set(*fv);
  for (TPageViewer* viewer : fv->CurrentSet().Viewers) EXPECT_TRUE(c.has(*viewer));
  fv->LoadFromFile(Write("three.htm",
                         "<frameset rows=*,*,*><frame src=a1.htm><frame src=b1.htm>"
                         "<frame src=a2.htm></frameset>"));
  ASSERT_EQ(fv->CurrentSet().Viewers.size(), 3u);
  for (TPageViewer* viewer : fv->CurrentSet().Viewers) EXPECT_TRUE(c.has(*viewer));
}

INSTANTIATE_TEST_SUITE_P(
    Each, Properties,
    ::testing::Values(
        PropertyCase{"DefFontName", [](TFrameViewer& f) { f.SetDefFontName("Arial"); },
                     [](TPageViewer& v) { return v.DefFontName() == "Arial"; }},
        PropertyCase{"DefPreFontName", [](TFrameViewer& f) { f.SetDefPreFontName("Lucida"); },
                     [](TPageViewer& v) { return v.DefPreFontName() == "Lucida"; }},
        PropertyCase{"DefFontSize", [](TFrameViewer& f) { f.SetDefFontSize(3); },
                     [](TPageViewer& v) { return v.DefFontSize() == 6; }},
        PropertyCase{"DefFontColor", [](TFrameViewer& f) { f.SetDefFontColor(0x112233); },
                     [](TPageViewer& v) { return v.DefFontColor() == 0x112233; }},
        PropertyCase{"DefHotSpotColor", [](TFrameViewer& f) { f.SetDefHotSpotColor(0x00FF00); },
                     [](TPageViewer& v) { return v.DefHotSpotColor() == 0x00FF00; }},
        PropertyCase{"DefBackground", [](TFrameViewer& f) { f.SetDefBackground(0xC0FFEE); },
                     [](TPageViewer& v) { return v.DefBackground() == 0xC0FFEE; }},
        PropertyCase{"CharSet", [](TFrameViewer& f) { f.SetCharSet(238); },
                     [](TPageViewer& v) { return v.CharSet() == 238; }},
        PropertyCase{"ImageCacheCount", [](TFrameViewer& f) { f.SetImageCacheCount(50); },
                     [](TPageViewer& v) { return v.ImageCacheCount() == 20; }},
        PropertyCase{"NoSelect", [](TFrameViewer& f) { f.SetNoSelect(true); },
                     [](TPageViewer& v) { return v.NoSelect(); }},
        PropertyCase{"ViewImages", [](TFrameViewer& f) { f.SetViewImages(false); },
                     [](TPageViewer& v) { return !v.ViewImages(); }},
        PropertyCase{"Cursor", [](TFrameViewer& f) { f.SetCursor(crArrow); },
                     [](TPageViewer& v) { return v.Cursor() == crArrow; }},
        PropertyCase{"PrintMargins",
                     [](TFrameViewer& f) {
                       f.SetPrintMarginLeft(1.5);
                       f.SetPrintMarginRight(2.5);
                       f.SetPrintMarginTop(0.5);
                       f.SetPrintMarginBottom(3.0);
                     },
                     [](TPageViewer& v) {
                       return v.PrintMarginLeft == 1.5 && v.PrintMarginRight == 2.5 &&
                              v.PrintMarginTop == 0.5 && v.PrintMarginBottom == 3.0;
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameEvents, EventsSetLaterReachTheViewersShowing) {
  Write("meta.htm", "<meta name=author content=Someone><p>Meta");
  LinkPage("to_meta.htm", "meta.htm");
  fv->LoadFromFile(Write("events.htm",
                         "<frameset cols=*,*><frame name=a src=to_meta.htm>"
                         "<frame name=b src=b1.htm></frameset>"));
  std::string metas;
  fv->SetOnMeta(
      [&](void* sender, const std::string&, const std::string& name, const std::string& content) {
        metas += (sender == FrameNamed("a")->Viewer() ? "a:" : "?:") + name + "=" + content;
      });
  ClickLink(FrameNamed("a"));  // the same viewer loads meta.htm
  EXPECT_EQ(metas, "a:author=Someone");
}

// --- Sound requests ---

TEST_F(FrameEvents, StopSoundComesBeforeEachDocumentAndPagesFromHistoryPlayNone) {
  std::vector<std::string> requests;
  fv->OnSoundRequest = [&](void* sender, const std::string& src, int, bool terminate) {
    const std::string who = sender == fv.get() ? "fv" : "viewer";
    requests.push_back(terminate ? who + " stop"
                                 : who + " play " + src.substr(src.find_last_of("\\/") + 1));
  };
  const std::string sound = Write("sound.htm", "<bgsound src=tune.wav><p>Music");
  const std::string quiet = Write("quiet.htm", "<p>Quiet");
  fv->LoadFromFile(sound);
  EXPECT_EQ(requests, (std::vector<std::string>{"fv stop", "viewer stop", "viewer play tune.wav"}));
  requests.clear();
  fv->LoadFromFile(quiet);
  EXPECT_EQ(requests, (std::vector<std::string>{"fv stop", "viewer stop"}));
  requests.clear();
  fv->GoBack();  // sound.htm again, from history: no tune
  EXPECT_EQ(requests, std::vector<std::string>{"fv stop"});
  EXPECT_EQ(State(), "sound.htm:sound.htm");
  requests.clear();
  fv->LoadFromFile(sound);  // loaded anew, it plays again
  EXPECT_EQ(requests.back(), "viewer play tune.wav");
}

// --- Focus and repainting ---

TEST_F(FrameEvents, FocusGoesToTheActiveViewerAndRepaintReachesEveryFrame) {
  fv->LoadFromFile(folder + "two.htm");
  fv->SetFocus();  // two viewers, none focused yet: the frame viewer itself
  EXPECT_TRUE(fv->Window().Focused());
  FrameNamed("b")->Viewer()->Window().SetFocus();  // the reader clicks into frame b
  fv->Window().SetFocus();
  fv->SetFocus();
  EXPECT_TRUE(FrameNamed("b")->Viewer()->Window().Focused());

  for (TFrame* frame : fv->CurrentSet().Frames)
    static_cast<HeadlessWindow&>(frame->Viewer()->PaintPanel().Window()).Surface();
  fv->Repaint();
  for (TFrame* frame : fv->CurrentSet().Frames) {
    const auto& panel = static_cast<HeadlessWindow&>(frame->Viewer()->PaintPanel().Window());
    EXPECT_FALSE(panel.InvalidRect().empty()) << frame->WindowName;
  }
}

}  // namespace
}  // namespace brisomel::test
