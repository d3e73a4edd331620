// The parser: what documents small pages build (through a recording target), its events and
// results, the entry points, and hostile pages.
#include "html/reader/parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "parse_recorder.h"
#include "text/utf.h"

namespace brisomel {
namespace {

using testing_support::ParseRecorder;

struct Parsed {
  ParseRecorder doc;
  THtmlParser parser{doc};
  Parsed() { doc.State = &parser.State; }
};

std::string Parse(const std::string& html) {
  Parsed p;
  p.parser.ParseHtmlBuffer(html.data(), html.size());
  return p.doc.Summary();
}

struct Case {
  const char* name;
  std::string html;
  std::string expected;
};

class Builds : public testing::TestWithParam<Case> {};

TEST_P(Builds, Document) {
  EXPECT_EQ(Parse(GetParam().html), GetParam().expected) << GetParam().html;
}

std::string CaseName(const testing::TestParamInfo<Case>& info) { return info.param.name; }

const Case kParagraphs[] = {
    {"PlainText", "hello", R"(T0l:"hello")"},
    {"RunOfPGivesOneSpace", "<P><P><P>text", R"(para | T0l:"text")"},
    {"PAfterContent", "a<P>b</P>c", R"(T0l:"a" | para | T0l:"b" | para | T0l:"c")"},
    {"LatchHoldsUntilContent", "a<P><B></B><P>b", R"(T0l:"a" | para | T0l:"b")"},
    {"AlignTakenFromLastP", "<P ALIGN=right><P ALIGN=Center>x", R"(para | T0c:"x")"},
    {"PEndKeepsDefaultAlign", "<P ALIGN=right></P>x", R"(para | T0l:"x")"},
    {"UnknownAlign", "<P ALIGN=justify>x", R"(para | T0l:"x")"},
    {"BrKeepsAlignment", "<P ALIGN=center>a<BR CLEAR=left>b",
     R"(para | T0c:"a" | T0c:<br left>"b")"},
    {"HrClosesSection", "a<HR>b", R"(T0l:"a" | hr | T0l:"b")"},
    {"PageBreak", "a<PAGE>b", R"(T0l:"a" | page | T0l:"b")"},
    {"CenterBlock", "a<CENTER>b</CENTER>c", R"(T0l:"a" | T0c:"b" | T0l:"c")"},
    {"DivEndsCenter", "<CENTER>b</DIV>c", R"(T0c:"b" | T0l:"c")"},
    {"DivAlign", "<DIV ALIGN=right>b<DIV ALIGN=bogus>c</DIV>d</DIV>e",
     R"(T0r:"b" | T0r:"c" | T0r:"d" | T0l:"e")"},
    {"UnclosedCenter", "<CENTER>b", R"(T0c:"b")"},
    {"UnknownTagsSkipped", "a<BLINK>b</BLINK><LI>c<TD>d", R"(T0l:"a""b""c""d")"},
};
INSTANTIATE_TEST_SUITE_P(Paragraphs, Builds, testing::ValuesIn(kParagraphs), CaseName);

const Case kFonts[] = {
    {"StylesDoNotNest", "<B>bold <B>still</B> plain</B>", R"(T0l:{12b}"bold ""still"{12}" plain")"},
    {"StyleKinds", "<I>a</EM><U>b</U><S>c</STRIKE><STRONG>d</B><CITE>e</VAR>",
     R"(T0l:{12i}"a"{12}{12u}"b"{12}{12s}"c"{12}{12b}"d"{12}{12i}"e"{12})"},
    {"SubSup", "a<SUB>b</SUB><SUP>c</SUP>", R"(T0l:"a"{12_}"b"{12}{12^}"c"{12})"},
    {"FontSizeRelative", "<FONT SIZE=+1>a</FONT>b", R"(T0l:{14}"a"{12}"b")"},
    {"FontSizeMinus", "<FONT SIZE=-2>a", R"(T0l:{8}"a")"},
    {"BaseFontThenRelative", "<BASEFONT SIZE=5><FONT SIZE=+1>a", R"(T0l:{18}{24}"a")"},
    {"BaseFontAfterContentSetsOnlyBase", "x<P>y<BASEFONT SIZE=5><FONT SIZE=+1>a",
     R"(T0l:"x" | para | T0l:"y"{24}"a")"},
    {"FontSizeClamped", "<FONT SIZE=9>a<FONT SIZE=0>b", R"(T0l:{36}"a"{8}"b")"},
    {"FontColorAndFace", "<FONT COLOR=red FACE=\" Arial , Helvetica\">a", R"(T0l:{12#ff0000}"a")"},
    {"FontWithoutAttributesStaysBalanced", "<FONT SIZE=6><FONT>a</FONT>b</FONT>c",
     R"(T0l:{24}"a""b"{12}"c")"},
    {"BigSmall", "<BIG>a</BIG><SMALL>b</SMALL>", R"(T0l:{14}"a"{12}{10}"b"{12})"},
    {"BigAtTopChangesNothing", "<FONT SIZE=7><BIG>a</BIG>b", R"(T0l:{36}"a"{12}"b")"},
    {"SmallAtBottomChangesNothing", "<FONT SIZE=1><SMALL>a", R"(T0l:{8}"a")"},
    {"SmallOnFixedUsesProportionalRow", "<TT>a<SMALL>b", R"(T0l:{10f}"a"{8f}"b")"},
    {"Fixed", "<TT>a</TT><CODE>b</CODE><KBD>c</KBD><SAMP>d</SAMP>",
     R"(T0l:{10f}"a"{12}{10f}"b"{12}{10f}"c"{12}{10f}"d"{12})"},
    {"Headings", "<H1>a</H1><H3 ALIGN=center>b</H3>c",
     R"(head1 | T0l[24b]:"a" | head1 | head3 | T0c[15b]:"b" | head3 | T0l:"c")"},
    {"HeadingSeven", "<H7>a</H7>b", R"(head0 | T0l:"a" | head0 | T0l:"b")"},
    {"HeadingEndWithoutStart", "a</H2>b", R"(T0l:"a""b")"},
    {"Address", "<ADDRESS>a</ADDRESS>b", R"(T0l[12i]:"a" | T0l:"b")"},
    {"PopNeverBelowBase", "</TT></FONT></BIG>a", R"(T0l:"a")"},
};
INSTANTIATE_TEST_SUITE_P(Fonts, Builds, testing::ValuesIn(kFonts), CaseName);

const Case kLinks[] = {
    {"HrefAndTarget", "<A HREF=\"x.htm\" TARGET=\"main\">a</A>b",
     R"(T0l:<a x.htm main>"a"</a>"b")"},
    {"SecondHrefEndsFirst", "<A HREF=1>a<A HREF=2>b</A>c", R"(T0l:<a 1>"a"</a><a 2>"b"</a>"c")"},
    {"ImageInLink", "<A HREF=x><IMG SRC=i.gif></A>", R"(T0l:<a x><img i.gif></a>)"},
};
INSTANTIATE_TEST_SUITE_P(Links, Builds, testing::ValuesIn(kLinks), CaseName);

const Case kLists[] = {
    {"Unordered", "<UL><LI>a<LI>b</UL>c", R"(U1-*:"a" | U1-*:"b" | T0l:"c")"},
    {"OrderedStartType", "<OL START=5 TYPE=a><LI>x<LI>y</OL>", R"(O1-a5:"x" | O1-a6:"y")"},
    {"NegativeStartIgnored", "<OL START=-3><LI>x</OL>", R"(O1-11:"x")"},
    {"UlEndClosesOl", "<OL><LI>x</UL>y", R"(O1-11:"x" | T0l:"y")"},
    {"Nested", "<UL><LI>a<OL><LI>b</OL><LI>c</UL>", R"(U1-*:"a" | O2-11:"b" | U1-*:"c")"},
    {"PlainList", "<UL PLAIN><LI>a</UL>", R"(U1-plain:"a")"},
    {"PAfterLiSkipped", "<UL><LI><P>a</UL>", R"(U1-*:"a")"},
    {"Definitions", "<DL><DT>t<DD>d</DL>", R"(D0-*:"t" | D1-*:"d")"},
    {"TextInListBeforeItem", "<UL>a<LI>b</UL>", R"(T1l:"a" | U1-*:"b")"},
    {"Blockquote", "a<BLOCKQUOTE>b<BLOCKQUOTE>c</BLOCKQUOTE>d</BLOCKQUOTE>e",
     R"(T0l:"a" | T1l:"b" | T2l:"c" | T1l:"d" | T0l:"e")"},
    {"EmptyList", "<UL></UL>a", R"(T0l:"a")"},
    {"UnclosedLists", "<UL><LI>a<OL><LI>b", R"(U1-*:"a" | O2-11:"b")"},
    {"CenterInListKeepsItems", "<UL><LI>a<CENTER>b</CENTER><LI>c</UL>",
     R"(U1-*:"a""b" | U1-*:"c")"},
    {"RuleInList", "<UL><LI>a<HR>b</UL>", R"(U1-*:"a" | hr | T1l:"b")"},
    {"LiOutsideListIsText", "<LI>a", R"(T0l:"a")"},
};
INSTANTIATE_TEST_SUITE_P(Lists, Builds, testing::ValuesIn(kLists), CaseName);

const Case kPre[] = {
    {"Lines", "<PRE>a  b\nc</PRE>d", R"(R0l[10f]:"a  b" | R0l[10f]:"c" | T0l:"d")"},
    {"BrAtLineEndIsOneBreak", "<PRE>a<BR>\nb</PRE>", R"(R0l[10f]:"a" | R0l[10f]:"b")"},
    {"References", "<PRE>a&amp;b&lt;</PRE>", R"(R0l[10f]:"a&b<")"},
    {"StylesInPre", "<PRE>a<B>b</B></PRE>", R"(R0l[10f]:"a"{10bf}"b"{10f})"},
    {"LessThanStaysText", "<PRE>a < b</PRE>", R"(R0l[10f]:"a < b")"},
    {"FontInPreUsesFixedRow", "<PRE><FONT SIZE=+1>a</FONT></PRE>", R"(R0l[10f]:{12f}"a"{10f})"},
    {"LinkInPre", "<PRE><A HREF=x>a</A></PRE>", R"(R0l[10f]:<a x>"a"</a>)"},
    {"Unclosed", "<PRE>a", R"(R0l[10f]:"a")"},
    {"PageInPre", "<PRE>a<PAGE>b</PRE>", R"(R0l[10f]:"a" | page | R0l[10f]:"b")"},
};
INSTANTIATE_TEST_SUITE_P(Pre, Builds, testing::ValuesIn(kPre), CaseName);

const Case kBody[] = {
    {"ContentAfterBodyEndNotRead", "a</BODY>b", R"(T0l:"a")"},
    {"TextBeforeBodyDropped", "<HEAD></HEAD> x <BODY>a", R"(T0l:"a")"},
    {"SecondBodyIgnored", "a<P>b<BODY TEXT=red>c", R"(T0l:"a" | para | T0l:"b""c")"},
    {"BodyDiscardsOpenSection", "a<BODY>b", R"(T0l:"b")"},
    {"BodyTextColour", "<BODY TEXT=blue>a", R"(T0l[12#0000ff]:"a")"},
    {"TitleNotShown", "<TITLE>t</TITLE>a", R"(T0l:"a")"},
    {"FormsPassedOver", "<FORM><INPUT NAME=a>b</FORM>", R"(T0l:"b")"},
    {"ScriptNotShown", "a<SCRIPT>var x = '<b>';</SCRIPT>b", R"(T0l:"a""b")"},
    {"MapNotShown", "<MAP NAME=m><AREA SHAPE=rect COORDS=0,0,1,1 HREF=x></MAP>a", R"(T0l:"a")"},
};
INSTANTIATE_TEST_SUITE_P(Body, Builds, testing::ValuesIn(kBody), CaseName);

// Content browsers never show stays out of the document wherever its element stands; the
// content of NOSCRIPT is shown, as a reader that runs no scripts would.
const Case kHidden[] = {
    {"StyleInHead", "<HEAD><STYLE>p { color: red }</STYLE></HEAD><BODY>a", R"(T0l:"a")"},
    {"StyleInBody",
     "<H1>t</H1><STYLE type=\"text/css\">\n/* Formatting */ pre a:visited > b { x }\n</STYLE>a",
     R"(head1 | T0l[24b]:"t" | head1 | T0l:"a")"},
    {"StyleInCell", "<TABLE><TR><TD><style>td{}</style>a</TABLE>", R"(table{[(m:T0l:"a")]})"},
    {"StyleBetweenRows", "<TABLE><TR><TD>a<STYLE>x</STYLE><TR><TD>b</TABLE>",
     R"(table{[(m:T0l:"a")][(m:T0l:"b")]})"},
    {"StyleInList", "<UL><STYLE>x</STYLE><LI>a</UL>", R"(U1-*:"a")"},
    {"StyleInPre", "<PRE>a<STYLE>x</STYLE>b</PRE>", R"(R0l[10f]:"ab")"},
    {"StyleWithTagsAndComment", "<STYLE><!-- a<b>c</b> --></STYLE>a", R"(T0l:"a")"},
    {"StyleNameMustEnd", "<STYLE>x</STYLEX>y</styLE >a", R"(T0l:"a")"},
    {"UnclosedStyle", "a<STYLE>b", R"(T0l:"a")"},
    {"ScriptBetweenRows", "<TABLE><TR><TD>a</TD><SCRIPT>var s = 1;</SCRIPT></TR></TABLE>",
     R"(table{[(m:T0l:"a")]})"},
    {"ScriptInList", "<UL><SCRIPT>x</SCRIPT><LI>a</UL>", R"(U1-*:"a")"},
    {"ScriptInSelect", "<SELECT><SCRIPT>x</SCRIPT><OPTION>o</SELECT>a", R"(T0l:"a")"},
    {"ScriptInTitle", "<TITLE>t<SCRIPT>x</SCRIPT></TITLE>a", R"(T0l:"a")"},
    {"NoscriptShown", "<NOSCRIPT>no <B>scripts</B></NOSCRIPT>", R"(T0l:"no "{12b}"scripts"{12})"},
    {"TemplateHidden", "a<TEMPLATE><P>t<TEMPLATE>u</TEMPLATE>v</TEMPLATE>b",
     R"(T0l:"a""b")"},
};
INSTANTIATE_TEST_SUITE_P(Hidden, Builds, testing::ValuesIn(kHidden), CaseName);

const Case kTables[] = {
    {"TwoCellsOneRow", "<TABLE><TR><TD>a<TD>b</TABLE>", R"(table{[(m:T0l:"a")(m:T0l:"b")]})"},
    {"RowWithoutTr", "<TABLE><TD>a</TD><TD>b</TD></TABLE>c",
     R"(table{[(m:T0l:"a")(m:T0l:"b")]} | T0l:"c")"},
    {"RowsEndedByTrEnd", "<TABLE><TR><TD>a</TR><TR><TD>b</TR></TABLE>",
     R"(table{[(m:T0l:"a")][(m:T0l:"b")]})"},
    {"TextStandingInTableGoesInFront", "<TABLE>x<TR><TD>a</TABLE>",
     R"(T0l:"x" | table{[(m:T0l:"a")]})"},
    {"HeaderCellsCentredAndBold", "<TABLE><TR><TH>h<TD>d</TABLE>d",
     R"(table{[(m:T0c[12b]:"h")(m:T0l:"d")]} | T0l:"d")"},
    {"RowAlignment", "<TABLE><TR ALIGN=right><TD>a<TH>b<TD ALIGN=center>c</TABLE>",
     R"(table{[(m:T0r:"a")(m:T0r[12b]:"b")(m:T0c:"c")]})"},
    {"VerticalAlignment",
     "<TABLE><TR VALIGN=top><TD>a<TD VALIGN=bottom>b<TD VALIGN=middle>c<TR><TD VALIGN=baseline>"
     "d<TD VALIGN=x>e</TABLE>",
     R"(table{[(t:T0l:"a")(b:T0l:"b")(m:T0l:"c")][(t:T0l:"d")(m:T0l:"e")]})"},
    {"CaptionAboveAndBelow",
     "<TABLE><CAPTION>c</CAPTION><TR><TD>a</TABLE><TABLE><CAPTION ALIGN=Bottom>d<TR><TD>b"
     "</TABLE>",
     R"(table{^(T0c:"c")[(m:T0l:"a")]} | table{v(T0c:"d")[(m:T0l:"b")]})"},
    {"NoParagraphSpaceAtCellStart", "<TABLE><TR><TD><P>a<TD>b<P>c</TABLE>",
     R"(table{[(m:T0l:"a")(m:T0l:"b", T0l:"c")]})"},
    {"BodyEndEndsOnlyTheCell", "<TABLE><TR><TD>a</BODY>b<TD>c</TABLE>d",
     R"(T0l:"b" | table{[(m:T0l:"a")(m:T0l:"c")]} | T0l:"d")"},
    {"InlineStateResetBetweenCells", "<TABLE><TR><TD><B><I><A HREF=x>a<TD>b</TABLE>c",
     R"(table{[(m:T0l[12biu#000080]:"a"</a>)(m:T0l:"b")]} | T0l:"c")"},
    {"FontsPoppedAtTableEnd", "<TABLE><TR><TD><FONT SIZE=7>a</TABLE>b",
     R"(table{[(m:T0l[36]:"a")]} | T0l:"b")"},
    {"NestedTable", "<TABLE><TR><TD><TABLE><TR><TD>in</TABLE>out</TABLE>",
     R"(table{[(m:table{[(m:T0l:"in")]}, T0l:"out")]})"},
    {"OpenTableClosedAtEnd", "<TABLE><TR><TD>a", R"(table{[(m:T0l:"a")]})"},
    {"TableInListItem", "<UL><LI>x<TABLE><TR><TD>a</TABLE>y</UL>",
     R"(U1-*:"x" | table{[(m:T0l:"a")]} | T1l:"y")"},
    {"RowColour", "<TABLE><TR BGCOLOR=red><TD>a</TABLE>", R"(table{[bg=red(m:T0l:"a")]})"},
    {"CellsInsideTextAreNotCells", "a<TD>b</TD>c", R"(T0l:"a""b""c")"},
    // The finished cell belongs to its row: text after a cell's or row's end tag is not
    // appended to it.
    {"TextAfterCellEnd", "<TABLE><TR><TD>a</TD>x<TD>b</TR>y</TABLE>",
     R"(T0l:"x" | T0l:"y" | table{[(m:T0l:"a")(m:T0l:"b")]})"},
};
INSTANTIATE_TEST_SUITE_P(Tables, Builds, testing::ValuesIn(kTables), CaseName);

TEST(Parser, Results) {
  Parsed p;
  const std::string html =
      "<TITLE>My &amp; title</TITLE><BASE HREF=\"http://h/\" TARGET=top>"
      "<BODY LINK=green BGCOLOR=#102030 BACKGROUND=\"bg.gif\">"
      "<A NAME=top>a</A><P><A NAME=Second HREF=x>b</A>"
      "<MAP NAME=m><AREA SHAPE=rect COORDS=0,0,1,1 HREF=x></MAP><MAP NAME=unclosed>";
  p.parser.ParseHtmlBuffer(html.data(), html.size());
  EXPECT_EQ(p.parser.Title(), u"My & title");
  EXPECT_EQ(p.parser.Base(), u"http://h/");
  EXPECT_EQ(p.parser.BaseTarget(), u"top");
  EXPECT_EQ(p.doc.Background, Rgb(0x10, 0x20, 0x30) | kPaletteRelativeFlag);
  EXPECT_EQ(p.doc.Fonts.HotSpotColor, Rgb(0, 0x80, 0) | kPaletteRelativeFlag);
  EXPECT_EQ(p.doc.BackgroundImage, "bg.gif");
  EXPECT_EQ(p.doc.Names, (std::vector<std::string>{"TOP@0", "SECOND@2"}));
  ASSERT_EQ(p.doc.Maps.size(), 1u);
  EXPECT_EQ(p.doc.Maps[0]->Name(), u"M");
  EXPECT_EQ(p.doc.Maps[0]->Areas().size(), 1u);

  // The next parse starts over.
  p.parser.ParseHtmlBuffer("x", 1);
  EXPECT_EQ(p.parser.Title(), u"");
  EXPECT_EQ(p.parser.Base(), u"");
}

TEST(Parser, Events) {
  Parsed p;
  int marker = 0;
  p.parser.Sender = &marker;
  std::vector<std::string> events;
  p.parser.OnSoundRequest = [&](void* sender, const std::string& src, int loop, bool stop) {
    EXPECT_EQ(sender, &marker);
    events.push_back("sound " + src + " " + std::to_string(loop) + (stop ? " stop" : ""));
  };
  p.parser.OnMeta = [&](void* sender, const std::string& eq, const std::string& name,
                        const std::string& content) {
    EXPECT_EQ(sender, &marker);
    events.push_back("meta " + eq + "/" + name + "/" + content);
  };
  p.parser.OnScript = [&](void* sender, const std::string& language, const std::string& script) {
    EXPECT_EQ(sender, &marker);
    events.push_back("script " + language + ":" + script);
  };
  const std::string html =
      "<BGSOUND SRC=\"s.wav\"><BGSOUND SRC=t.wav LOOP=3><BGSOUND LOOP=2>"
      "<META HTTP-EQUIV=refresh CONTENT=\"5; url=x.htm\"><META NAME=author>"
      "<SCRIPT LANGUAGE=JavaScript>a<!-- b\nc -->\n</SCRIPT>x";
  p.parser.ParseHtmlBuffer(html.data(), html.size());
  EXPECT_EQ(events, (std::vector<std::string>{"sound s.wav 1", "sound t.wav 3",
                                              "meta refresh//5; url=x.htm", "meta /author/",
                                              "script JavaScript:a<!-- b\r\nc -->\r\n"}));
  EXPECT_EQ(p.doc.Summary(), R"(T0l:"x")");
}

TEST(Parser, EntryPoints) {
  const std::vector<std::string> lines = {"<B>a</B>", "b"};
  {
    Parsed p;
    p.parser.ParseHtmlStrings(lines);
    EXPECT_EQ(p.doc.Summary(), R"(T0l:{12b}"a"{12}" b ")");
  }
  {
    struct Stream : TInputStream {
      std::string data = "<I>s</I>";
      size_t at = 0;
      int32_t Read(void* buffer, int32_t count) override {
        size_t n = std::min(static_cast<size_t>(count), data.size() - at);
        std::memcpy(buffer, data.data() + at, n);
        at += n;
        return static_cast<int32_t>(n);
      }
    } stream;
    Parsed p;
    p.parser.ParseHtmlStream(stream);
    EXPECT_EQ(p.doc.Summary(), R"(T0l:{12i}"s"{12})");
  }
  {
    Parsed p;
    p.parser.ParsePlainTextStrings({"<B>a &amp;", "", "  b"});
    EXPECT_EQ(p.doc.Summary(), R"(R0l[10f]:"<B>a &amp;" | R0l[10f]:"  b")");
  }
}

// Named files in memory, for the file entry points.
class MemoryFiles : public Files {
 public:
  std::map<std::string, std::string> files;

  std::unique_ptr<File> OpenRead(const std::string& path) override {
    auto it = files.find(path);
    return it == files.end() ? nullptr : std::make_unique<Reader>(it->second);
  }
  std::unique_ptr<File> CreateWrite(const std::string&) override { return nullptr; }
  bool Exists(const std::string& path) override { return files.count(path) > 0; }
  bool DirectoryExists(const std::string&) override { return false; }
  bool Delete(const std::string&) override { return false; }
  std::vector<std::string> List(const std::string&, const std::string&) override { return {}; }
  std::string CurrentDirectory() override { return ""; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  std::string FullPath(const std::string& path) override { return path; }
  std::string ExecutablePath() override { return ""; }
  std::string SystemTempDirectory() override { return ""; }
  bool CreateDirectoryExclusive(const std::string&) override { return false; }
  bool RemoveDirectory(const std::string&) override { return false; }
  std::unique_ptr<File> HoldLock(const std::string&) override { return nullptr; }
  void RandomBytes(void* buffer, int32_t count) override { std::memset(buffer, 0, count); }
  char Separator() override { return '/'; }

 private:
  struct Reader : File {
    explicit Reader(const std::string& data) : data(data) {}
    int32_t Read(void* buffer, int32_t count) override {
      size_t n = std::min(static_cast<size_t>(count), data.size() - at);
      std::memcpy(buffer, data.data() + at, n);
      at += n;
      return static_cast<int32_t>(n);
    }
    int32_t Write(const void*, int32_t) override { return 0; }
    bool Seek(int64_t) override { return false; }
    int64_t Size() override { return static_cast<int64_t>(data.size()); }
    bool Close() override { return true; }
    const std::string& data;
    size_t at = 0;
  };
};

TEST(Parser, FileEntryPoints) {
  MemoryFiles files;
  files.files["open.htm"] = "a<P>b<!-- never closed";
  files.files["long.htm"] = "<B>" + std::string(5000, 'x') + "</B>end";
  files.files["text.txt"] = "line <B>one</B> &amp;\r\n\r\n  two\x1Anot read";
  {
    // The file reader keeps what was built before an open comment.
    Parsed p;
    EXPECT_TRUE(p.parser.ParseHtmlFile(files, "open.htm"));
    EXPECT_EQ(p.doc.Summary(), R"(T0l:"a" | para | T0l:"b")");
  }
  {
    Parsed p;
    EXPECT_FALSE(p.parser.ParseHtmlFile(files, "missing.htm"));
    EXPECT_EQ(p.doc.Summary(), "");
  }
  {
    // Text runs across the reader's 2000-byte pieces.
    Parsed p;
    EXPECT_TRUE(p.parser.ParseHtmlFile(files, "long.htm"));
    std::string text = p.doc.Summary();
    EXPECT_EQ(std::count(text.begin(), text.end(), 'x'), 5000);
    EXPECT_NE(text.find("{12}\"end\""), std::string::npos);
  }
  {
    Parsed p;
    EXPECT_TRUE(p.parser.ParsePlainTextFile(files, "text.txt"));
    EXPECT_EQ(p.doc.Summary(), R"(R0l[10f]:"line <B>one</B> &amp;" | R0l[10f]:"  two")");
  }
}

TEST(Parser, OpenCommentKeepsDocumentOnlyForFiles) {
  const std::string html = "a<P>b<!-- never closed";
  Parsed p;
  EXPECT_THROW(p.parser.ParseHtmlBuffer(html.data(), html.size()), EParseError);
  // What was built before the error is closed into the document.
  EXPECT_EQ(p.doc.Summary(), R"(T0l:"a" | para | T0l:"b")");
}

TEST(Parser, IncludeDirectives) {
  Parsed p;
  p.parser.OnInclude = [](void*, const std::string& command, const std::vector<std::string>&,
                          std::string& buffer) { buffer = "<B>" + command + "</B>"; };
  const std::string html = "a<!--#date format=\"x\" -->b";
  p.parser.ParseHtmlBuffer(html.data(), html.size());
  EXPECT_EQ(p.doc.Summary(), R"(T0l:"a"{12b}"date"{12}"b")");
}

// Pages built to exhaust the parser: deep nesting, many fonts, huge counts.
TEST(Parser, DeepNestingReadsAsIfDeeperTagsWereAbsent) {
  std::string html;
  for (int i = 0; i < 100000; ++i) html += "<UL><LI>x";
  for (int i = 0; i < 100000; ++i) html += "</UL>";
  html += "end";
  Parsed p;
  p.parser.ParseHtmlBuffer(html.data(), html.size());
  ASSERT_GE(p.doc.Items.size(), 100000u);
  EXPECT_EQ(p.doc.Items.front(), R"(U1-*:"x")");
  EXPECT_EQ(p.doc.Items[THtmlParser::kMaxNesting - 1], "U200-*:\"x\"");
  EXPECT_EQ(p.doc.Items[THtmlParser::kMaxNesting], "U200-*:\"x\"");
  EXPECT_EQ(p.doc.Items.back(), R"(T0l:"end")");

  std::string mixed;
  for (int i = 0; i < 50000; ++i) mixed += "<CENTER><BLOCKQUOTE><DIV><OL>";
  mixed += "deep";
  Parsed q;
  q.parser.ParseHtmlBuffer(mixed.data(), mixed.size());
  EXPECT_NE(q.doc.Summary().find("\"deep\""), std::string::npos);
}

TEST(Parser, FontStackHoldsTwentyFive) {
  std::string html;
  for (int i = 0; i < 30; ++i) html += "<TT>";
  html += "<H2>a</H2>b";
  // 24 pushes fit beside the base font; the heading then finds the stack full and is ignored,
  // and its end tag pops one font.
  EXPECT_EQ(Parse(html), R"(T0l:{10f}"a" | head2 | T0l[10f]:"b")");
}

}  // namespace
}  // namespace brisomel
