// The frameset reader: what frame-set trees documents give (through a recording target), the
// document-kind test, events, and hostile input.
#include "html/reader/frameset_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/headless/memory_files.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// Writes the tree as text: "set(ROWS)[...]" for a set with its ROWS or COLS text, "frame:SRC"
// (or "frame:NAME") for a frame, children separated by spaces.
class Recorder : public TFrameSetTarget {
 public:
  void SetFrameSetAttributes(const TAttributeList& attributes) override {
    const TAttribute* rows = attributes.Find(symRows);
    const TAttribute* cols = attributes.Find(symCols);
    dims = rows   ? std::string("r").append(Utf16ToUtf8(rows->Text))
           : cols ? std::string("c").append(Utf16ToUtf8(cols->Text))
                  : std::string();
  }
  TFrameSetTarget& AddSubFrameSet() override {
    children.push_back(std::make_unique<Recorder>());
    items.push_back(children.back().get());
    return *children.back();
  }
  void AddFrame(const TAttributeList& attributes, const std::string& file) override {
    const TAttribute* src = attributes.Find(symSrc);
    // Built in place: moving a variant in makes i686 GCC 12 warn of the pointer alternative.
    items.emplace_back(std::in_place_type<std::string>,
                       "frame:" + (src ? Utf16ToUtf8(src->Text) : std::string("-")) + "@" + file);
  }
  void EndFrameSet(const TFrameSetParseResult&) override { ended = true; }

  std::string Text() const {
    std::string s = "set(" + dims + ")" + (ended ? "" : "!") + "[";
    for (size_t i = 0; i < items.size(); ++i) {
      if (i) s += ' ';
      if (const auto* text = std::get_if<std::string>(&items[i]))
        s += *text;
      else
        s += std::get<Recorder*>(items[i])->Text();
    }
    return s + "]";
  }

  std::string dims;
  bool ended = false;
  std::vector<std::unique_ptr<Recorder>> children;
  std::vector<std::variant<std::string, Recorder*>> items;
};

struct Read {
  Recorder top;
  TFrameSetParseResult result;
  bool found = false;
};

Read ParseBuffer(const std::string& html, const TFrameSetEvents& events = {}) {
  Read read;
  read.found = ParseFrameSetDocument(
      events, read.top, TDocumentSource::Buffer(html.data(), html.size(), "f.htm"), read.result);
  return read;
}

bool IsFrameSet(const std::string& html) {
  return IsFrameSetDocument(nullptr, nullptr, TDocumentSource::Buffer(html.data(), html.size()));
}

struct Case {
  const char* name;
  std::string html;
  bool found;
  std::string tree;  // the top set's text when found
};

class Reads : public testing::TestWithParam<Case> {};

TEST_P(Reads, TreeAndKind) {
  const Case& c = GetParam();
  Read read = ParseBuffer(c.html);
  EXPECT_EQ(read.found, c.found);
  EXPECT_EQ(IsFrameSet(c.html), c.found);
  if (c.found) {
    EXPECT_EQ(read.top.Text(), c.tree);
  }
}

INSTANTIATE_TEST_SUITE_P(
    FrameSetParser, Reads,
    testing::Values(
        Case{"TwoColumns", "<frameset cols=\"20%,*\"><frame src=a.htm><frame src=b.htm></frameset>",
             true, "set(c20%,*)[frame:a.htm@f.htm frame:b.htm@f.htm]"},
        Case{"NestedInOrder",
             "<frameset rows=50,*><frame src=top.htm><frameset cols=*,*><frame src=l.htm>"
             "<frame src=r.htm></frameset><frame src=bottom.htm></frameset>",
             true,
             "set(r50,*)[frame:top.htm@f.htm set(c*,*)[frame:l.htm@f.htm frame:r.htm@f.htm] "
             "frame:bottom.htm@f.htm]"},
        Case{"TextBeforeDoesNotDecide", "Some words <frameset><frame src=a></frameset>", true,
             "set()[frame:a@f.htm]"},
        Case{"BodyFirst", "<body><frameset><frame src=a></frameset>", false, ""},
        Case{"ParagraphFirst", "<p>text<frameset></frameset>", false, ""},
        Case{"TableFirst", "<table><frameset></frameset>", false, ""},
        Case{"InsideNoFrames", "<noframes><frameset><frame src=x></frameset></noframes>", false,
             ""},
        Case{"NoFramesInsideSet",
             "<frameset><frame src=a><noframes><frame src=x><p>old</noframes></frameset>", true,
             "set()[frame:a@f.htm]"},
        Case{"ScriptSkipped",
             "<script>document.write('<frameset>')</script><frameset><frame src=a></frameset>",
             true, "set()[frame:a@f.htm]"},
        Case{"OnlyScript", "<script><frameset></script><body>", false, ""},
        Case{"Empty", "", false, ""},
        Case{"UnclosedSet", "<frameset rows=*,*><frame src=a>", true, "set(r*,*)[frame:a@f.htm]"},
        Case{"UnclosedComment", "<frameset><frame src=a><frame src=b><!-- never closed", true,
             "set()[frame:a@f.htm]"},
        Case{"StrayEndTags", "</frameset></noframes><frameset></frameset>", true, "set()[]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameSetParser, TitleAndBase) {
  Read read = ParseBuffer(
      "<head><title>The Book</title><base href=\"c:\\book\\\" target=main></head>"
      "<frameset><frame name=main></frameset>");
  EXPECT_TRUE(read.found);
  EXPECT_EQ(read.result.Title, u"The Book");
  EXPECT_EQ(read.result.Base, "c:\\book\\");
  EXPECT_EQ(read.result.BaseTarget, "main");
}

TEST(FrameSetParser, SoundMetaAndScriptEvents) {
  std::vector<std::string> seen;
  int sender = 0, set = 0;
  TFrameSetEvents events;
  events.Sender = &sender;
  events.MetaSender = &set;
  events.OnSoundRequest = [&](void* s, const std::string& src, int loop, bool stop) {
    seen.push_back("sound " + src + " " + std::to_string(loop) + (s == &sender ? " viewer" : ""));
  };
  events.OnMeta = [&](void* s, const std::string& eq, const std::string&, const std::string& c) {
    seen.push_back("meta " + eq + " " + c + (s == &set ? " set" : ""));
  };
  events.OnScript = [&](void* s, const std::string& lang, const std::string& text) {
    seen.push_back("script " + lang + " " + text);
  };
  ParseBuffer(
      "<bgsound src=s.wav loop=3><meta http-equiv=refresh content=\"5; url=x.htm\">"
      "<script language=js>a<b</script><frameset><script>in</script></frameset>",
      events);
  EXPECT_EQ(seen, (std::vector<std::string>{"sound s.wav 3 viewer", "meta refresh 5; url=x.htm set",
                                            "script js a<b", "script  in"}));
}

TEST(FrameSetParser, AllSourceKinds) {
  const std::string html = "<frameset cols=*,*><frame src=a><frame src=b></frameset>";
  MemoryFiles files;
  files.Put("/d/f.htm", MemoryFiles::Bytes(html.begin(), html.end()));
  std::vector<std::string> lines = {"<frameset cols=*,*>", "<frame src=a>", "<frame src=b>",
                                    "</frameset>"};
  struct StringStream : TInputStream {
    std::string data;
    size_t at = 0;
    int32_t Read(void* buffer, int32_t count) override {
      const size_t n = std::min(static_cast<size_t>(count), data.size() - at);
      std::copy_n(data.data() + at, n, static_cast<char*>(buffer));
      at += n;
      return static_cast<int32_t>(n);
    }
  } stream;
  stream.data = html;
  const std::vector<TDocumentSource> sources = {TDocumentSource::File(files, "/d/f.htm"),
                                                TDocumentSource::Strings(lines, "/d/f.htm"),
                                                TDocumentSource::FromStream(stream, "/d/f.htm")};
  for (const TDocumentSource& source : sources) {
    Recorder top;
    TFrameSetParseResult result;
    stream.at = 0;
    EXPECT_TRUE(IsFrameSetDocument(nullptr, nullptr, source));
    stream.at = 0;
    EXPECT_TRUE(ParseFrameSetDocument({}, top, source, result));
    EXPECT_EQ(top.Text(), "set(c*,*)[frame:a@/d/f.htm frame:b@/d/f.htm]");
  }
  EXPECT_FALSE(IsFrameSetDocument(nullptr, nullptr, TDocumentSource::File(files, "/d/none.htm")));
}

TEST(FrameSetParser, DeepNestingStopsAtTheLimit) {
  std::string html;
  for (int i = 0; i < 100000; ++i) html += "<frameset>";
  html += "<frame src=deep>";
  Read read = ParseBuffer(html);
  EXPECT_TRUE(read.found);
  int depth = 0;
  for (const Recorder* set = &read.top; !set->children.empty(); set = set->children[0].get())
    ++depth;
  EXPECT_EQ(depth, kMaxFrameSetNesting - 1);
}

}  // namespace
}  // namespace brisomel
