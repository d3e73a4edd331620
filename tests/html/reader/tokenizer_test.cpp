// The tokenizer: symbol streams of small inputs, the five input sources, include directives,
// the TEXTAREA and SCRIPT readers, and inputs built to break it.
#include "html/reader/tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "html/reader/token_dump.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// The dump of the stream without its final symEof line, lines joined by "|"; an error shows
// as its `error "..."` line.
std::string Join(std::string dump) {
  const std::string eof = "symEof \"\"\n";
  if (dump.size() >= eof.size() && dump.compare(dump.size() - eof.size(), eof.size(), eof) == 0)
    dump.resize(dump.size() - eof.size());
  if (!dump.empty() && dump.back() == '\n') dump.pop_back();
  std::replace(dump.begin(), dump.end(), '\n', '|');
  return dump;
}

std::string Dump(Tokenizer& tokenizer) {
  std::string out;
  DumpSymbolStream(tokenizer, [&](const std::string& lines) { out += lines; });
  return out;
}

std::string Tokens(const std::string& html, bool pre = false) {
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.InPre = pre;
  return Join(Dump(tokenizer));
}

struct StreamCase {
  const char* name;
  std::string html;
  std::string expected;
  bool pre = false;
};

class SymbolStream : public testing::TestWithParam<StreamCase> {};

TEST_P(SymbolStream, MatchesExpected) {
  EXPECT_EQ(Tokens(GetParam().html, GetParam().pre), GetParam().expected) << GetParam().name;
}

const StreamCase kLineEnds[] = {
    {"CrLf", "a\r\nb", R"(symText "a\rb")", true},
    {"LfCr", "a\n\rb", R"(symText "a\rb")", true},
    {"LoneLf", "a\nb", R"(symText "a\rb")", true},
    {"LoneCr", "a\rb", R"(symText "a\rb")", true},
    {"CrCrLf", "a\r\r\nb", R"(symText "a\r\rb")", true},
    {"TabIsSpace", "a\tb", R"(symText "a b")", true},
    {"BlanksCollapse", "a  \r\n \t b", R"(symText "a b")"},
    {"CommentBetweenBlanks", "a <!-- x --> \r\n b", R"(symText "a b")"},
};
INSTANTIATE_TEST_SUITE_P(LineEnds, SymbolStream, testing::ValuesIn(kLineEnds),
                         [](const auto& info) { return std::string(info.param.name); });

const StreamCase kRemovedConstructs[] = {
    {"CommentWithInnerDashes", "<!-- a -- b -->x", R"(symText "x")"},
    {"CommentClosedAfterBlanks", "<!-- a --  \r\n >x", R"(symText "x")"},
    {"EmptyComment", "<!---->x", R"(symText "x")"},
    {"ThreeDashesDoNotClose", "<!--->y-->x", R"(symText "x")"},
    {"Declaration", "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\nx", R"(symText " x")"},
    {"SingleDashIsDeclaration", "<!-x>y", R"(symText "y")"},
    {"InsideTag", "<B<!-- c -->>x", R"(symB ""|symText "x")"},
    {"OpenCommentAtEnd", "a<!-- x", R"(symText "a"|error "Open Comment at End of HTML File")"},
    {"OpenDeclarationAtEnd", "a<!DOCTYPE", R"(symText "a"|error "Open Comment at End of HTML File")"},
    {"BangAtEnd", "<!", R"(error "Open Comment at End of HTML File")"},
    {"ClosedAtVeryEnd", "a<!-- x -->", R"(symText "a")"},
};
INSTANTIATE_TEST_SUITE_P(Removed, SymbolStream, testing::ValuesIn(kRemovedConstructs),
                         [](const auto& info) { return std::string(info.param.name); });

const StreamCase kTags[] = {
    {"HeadingWithAttribute", "<H3 ALIGN=center>", R"(symHeading 3 ""|  symAlign 0 "center")"},
    {"HeadingEnd", "</h2>", R"(symHeadingEnd 2 "")"},
    {"HeadingLevelOutOfRange", "<H7>x", R"(symHeading 0 ""|symText "x")"},
    {"LowerCaseTag", "<table><tr><td>", R"(symTable ""|symTr ""|symTd "")"},
    {"UnknownEndAndStart", "</LI></BR><BLINK>", R"(symUnknownTag ""|symUnknownTag ""|symUnknownTag "")"},
    {"EndTagWithoutName", "</>x", R"(symUnknownTag ""|symText "x")"},
    {"LessThanInText", "a < b", R"(symText "a "|symText "<"|symText " b")"},
    {"GreaterThanInText", "x > y", R"(symText "x "|symChar ">"|symText " y")"},
    {"LessThanAtEnd", "a<", R"(symText "a"|symText "<")"},
    {"TagOpenAtEnd", "<B", R"(symB "")"},
    {"JunkBeforeClose", "<B \"x\" 12>y", R"(symB ""|symText "y")"},
    {"SelectedAndWrapAreTags", "<SELECTED><WRAP>", R"(symSelected ""|symWrap "")"},
    {"ControlCharacter", "a\x01" "b", R"(symText "a"|symChar "\x01"|symText "b")"},
    {"NulAfterLessThan", std::string("<\0", 2), R"(symText "<"|symChar "\x00")"},
    {"EofCharEndsInput", "a\x1A" "b", R"(symText "a")"},
};
INSTANTIATE_TEST_SUITE_P(Tags, SymbolStream, testing::ValuesIn(kTags),
                         [](const auto& info) { return std::string(info.param.name); });

const StreamCase kAttributes[] = {
    {"LineEndInQuotes", "<IMG ALT=\"a\r\nb\">", R"(symImg ""|  symAlt 0 "ab")"},
    {"QuotedPercent", "<TD WIDTH=\"50%\">", R"(symTd ""|  symWidth 50 "50%")"},
    {"BarePercent", "<TD WIDTH=50%>", R"(symTd ""|  symWidth 50 "50%")"},
    {"PercentAfterBlank", "<TD WIDTH=50 %>", R"(symTd ""|  symWidth 50 "50%")"},
    {"PercentInside", "<TD WIDTH=\"5%0%\">", R"(symTd ""|  symWidth 0 "5%0%")"},
    {"BareBorder", "<TABLE BORDER>", R"(symTable ""|  symBorder 1 "")"},
    {"BorderWord", "<TABLE BORDER=thick>", R"(symTable ""|  symBorder 1 "thick")"},
    {"NumberWithUnit", "<IMG WIDTH=12px>", R"(symImg ""|  symWidth 0 "12PX")"},
    {"SignedNumber", "<FONT SIZE=+1 COLOR=-2>", R"(symFont ""|  symSize 1 "+1"|  symColor -2 "-2")"},
    {"QuotedTrimmed", "<TD WIDTH=\" 5 \">", R"(symTd ""|  symWidth 5 "5")"},
    {"QuoteKindsAndEntity", "<A HREF='x&amp;y\"' TARGET=_top>", R"(symA ""|  symHref 0 "x&y\""|  symTarget 0 "_top")"},
    {"EntityAtQuoteEnd", "<A HREF=\"x&\">", R"(symA ""|  symHref 0 "x&")"},
    {"UnknownAndHyphenated", "<META HTTP-EQUIV=refresh X-Y=1 CONTENT=\"5\">",
     R"(symMeta ""|  symHttpEquiv 0 "refresh"|  symUnknownAttr 1 "1"|  symContent 5 "5")"},
    {"DuplicatesKept", "<P ALIGN=left align=right>", R"(symP ""|  symAlign 0 "left"|  symAlign 0 "right")"},
    {"ValueTwiceInTable", "<INPUT VALUE=ok TEXT=t>", R"(symInput ""|  symValue 0 "ok"|  symText 0 "t")"},
    {"EmptyBareValue", "<A HREF=>x", R"(symA ""|  symHref 0 ""|symText "x")"},
    {"BlanksAroundEquals", "<A HREF = \"x\" >", R"(symA ""|  symHref 0 "x")"},
    {"UnterminatedQuote", "<A HREF=\"x>y", R"(symA ""|  symHref 0 "x>y")"},
    {"TooBigNumber", "<TD WIDTH=99999999999>", R"(symTd ""|  symWidth 0 "99999999999")"},
};
INSTANTIATE_TEST_SUITE_P(Attributes, SymbolStream, testing::ValuesIn(kAttributes),
                         [](const auto& info) { return std::string(info.param.name); });

const StreamCase kReferences[] = {
    {"Amp", "&amp;", R"(symText "&")"},
    {"CaseSensitive", "&AMP;", R"(symText "&AMP;")"},
    {"WithoutSemicolon", "&lt b", R"(symText "<"|symText " b")"},
    {"Latin1First", "&nbsp;", "symText \"\xC2\xA0\""},
    {"Latin1Last", "&yuml;", R"(symText "ÿ")"},
    {"Latin1Capital", "&AElig;&aelig;", R"(symText "Æ"|symText "æ")"},
    {"Greek", "&alpha;&Omega;", R"(symText "α"|symText "Ω")"},
    {"Unknown", "&bogus;x", R"(symText "&bogus;"|symText "x")"},
    {"NameTooLong", "&abcdefghi;", R"(symText "&abcdefgh"|symText "i;")"},
    {"Bare", "& b", R"(symText "&"|symText " b")"},
    {"Numeric", "&#169;", R"(symText "©")"},
    {"NumericAbove255", "&#300;", R"(symText "Ĭ")"},
    {"NumericC1Control", "&#129;", R"(symText "\x81")"},
    {"NumericControl", "&#7;", R"(symText "&#7;")"},
    {"NumericTab", "&#9;", R"(symText " ")"},
    {"NumericLineFeed", "&#10;", R"(symText "\x0A")"},
    {"NumericNoDigits", "&#;x", R"(symText "&#;"|symText "x")"},
    {"NumericSevenDigits", "&#0000065;", R"(symText "&#000006"|symText "5;")"},
    {"NumericSixDigits", "&#000065;", R"(symText "A")"},
};
INSTANTIATE_TEST_SUITE_P(References, SymbolStream, testing::ValuesIn(kReferences),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Tokenizer, LongTextArrivesInRunsOf100) {
  EXPECT_EQ(Tokens(std::string(250, 'x')), "symText \"" + std::string(100, 'x') + "\"|symText \"" +
                                               std::string(100, 'x') + "\"|symText \"" +
                                               std::string(50, 'x') + "\"");
}

TEST(Tokenizer, TagNameIsCutAt150Letters) {
  // 150 letters of a known name followed by more letters is no known tag; the letters past
  // 150 are consumed, not read as text.
  EXPECT_EQ(Tokens(std::string("<") + std::string(400, 'B') + " ALIGN=x>y"), R"(symUnknownTag ""|symText "y")");
}

TEST(Tokenizer, TagsThatTakeNoAttributesLeaveTheListAlone) {
  const std::string html = "<P ALIGN=left><B CLASS=x></P ALIGN=right><LI TYPE=a>";
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.Advance();
  for (TSymbol expected : {symP, symB, symPEnd, symLi}) {
    tokenizer.NextSymbol();
    ASSERT_EQ(tokenizer.Symbol, expected);
    ASSERT_EQ(tokenizer.Attributes.Count(), 1u);
    EXPECT_EQ(tokenizer.Attributes[0]->Text, u"left");
  }
}

TEST(Tokenizer, ParagraphLatchIsClearedByContentOnly) {
  const std::string html = "<B></B><P><BR>x";
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.Advance();
  tokenizer.ParagraphLatch = true;
  for (int i = 0; i < 3; ++i) {
    tokenizer.NextSymbol();
    EXPECT_TRUE(tokenizer.ParagraphLatch) << SymbolName(tokenizer.Symbol);
  }
  tokenizer.NextSymbol();  // BR
  EXPECT_FALSE(tokenizer.ParagraphLatch);
  tokenizer.ParagraphLatch = true;
  tokenizer.NextSymbol();  // text
  EXPECT_FALSE(tokenizer.ParagraphLatch);
}

// ---------------------------------------------------------------------------------------------
// Input sources

class MemoryFile : public File {
 public:
  MemoryFile(std::string data, int32_t piece) : data_(std::move(data)), piece_(piece) {}
  int32_t Read(void* buffer, int32_t count) override {
    int32_t n = std::min<int32_t>({count, piece_, static_cast<int32_t>(data_.size() - pos_)});
    std::copy_n(data_.data() + pos_, n, static_cast<char*>(buffer));
    pos_ += static_cast<size_t>(n);
    ++reads;
    return n;
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  bool Seek(int64_t) override { return false; }
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  bool Close() override { return true; }
  int reads = 0;

 private:
  std::string data_;
  int32_t piece_;
  size_t pos_ = 0;
};

class MemoryStream : public TInputStream {
 public:
  explicit MemoryStream(std::string data) : data_(std::move(data)) {}
  int32_t Read(void* buffer, int32_t count) override {
    requests.push_back(count);
    int32_t n = std::min<int32_t>(count, static_cast<int32_t>(data_.size() - pos_));
    std::copy_n(data_.data() + pos_, n, static_cast<char*>(buffer));
    pos_ += static_cast<size_t>(n);
    return n;
  }
  std::vector<int32_t> requests;

 private:
  std::string data_;
  size_t pos_ = 0;
};

// A page of lines whose CR LF pairs fall on every block and buffer boundary somewhere.
std::vector<std::string> PageLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < 300; ++i)
    lines.push_back(std::string(static_cast<size_t>(i % 13), 'a' + i % 26) + "<B>&amp;<!-- c -->" +
                    std::to_string(i));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, const char* end) {
  std::string text;
  for (const auto& line : lines) text += line + end;
  return text;
}

TEST(TokenizerInput, AllSourcesGiveTheSameStream) {
  const std::vector<std::string> lines = PageLines();
  const std::string crlf = JoinLines(lines, "\r\n");
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(crlf.data(), crlf.size());
  tokenizer.InPre = true;  // keeps line ends visible in text runs
  const std::string expected = Dump(tokenizer);
  ASSERT_GT(expected.size(), 5000u);

  MemoryFile file(crlf, 1 << 20);
  tokenizer.SetInputFile(file);
  tokenizer.InPre = true;
  EXPECT_EQ(Dump(tokenizer), expected) << "file";
  EXPECT_GT(file.reads, static_cast<int>(crlf.size() / Tokenizer::kFileBufferSize));

  MemoryStream stream(JoinLines(lines, "\n"));
  tokenizer.SetInputStream(stream);
  tokenizer.InPre = true;
  EXPECT_EQ(Dump(tokenizer), expected) << "stream";
  EXPECT_TRUE(std::all_of(stream.requests.begin(), stream.requests.end(),
                          [](int32_t n) { return n == Tokenizer::kStreamBlockSize; }));

  tokenizer.SetInputStrings(lines);
  tokenizer.InPre = true;
  EXPECT_EQ(Dump(tokenizer), expected) << "strings";
}

TEST(TokenizerInput, ShortStreamBlockIsTheLast) {
  // A read that returns fewer than 250 bytes ends the stream, even if more would follow.
  class Chopped : public TInputStream {
   public:
    int32_t Read(void* buffer, int32_t count) override {
      static_cast<char*>(buffer)[0] = 'x';
      return 1;
    }
  } stream;
  Tokenizer tokenizer;
  tokenizer.SetInputStream(stream);
  EXPECT_EQ(Join(Dump(tokenizer)), R"(symText "x")");
}

TEST(TokenizerInput, FileReadInShortPiecesKeepsGoing) {
  MemoryFile file("<B>bold</B>", 3);
  Tokenizer tokenizer;
  tokenizer.SetInputFile(file);
  EXPECT_EQ(Join(Dump(tokenizer)), R"(symB ""|symText "bold"|symBEnd "")");
}

TEST(TokenizerInput, EmptySources) {
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(nullptr, 0);
  EXPECT_EQ(Dump(tokenizer), "symEof \"\"\n");
  const std::vector<std::string> none;
  tokenizer.SetInputStrings(none);
  EXPECT_EQ(Dump(tokenizer), "symEof \"\"\n");
  MemoryStream stream("");
  tokenizer.SetInputStream(stream);
  EXPECT_EQ(Dump(tokenizer), "symEof \"\"\n");
}

// ---------------------------------------------------------------------------------------------
// Include directives

struct IncludeCall {
  std::string command;
  std::vector<std::string> params;
};

std::string WithIncludes(const std::string& html, std::vector<std::string> buffers,
                         std::vector<IncludeCall>* calls = nullptr) {
  Tokenizer tokenizer;
  size_t next = 0;
  int sender = 0;
  tokenizer.SetIncludeHandler(
      [&](void* s, const std::string& command, const std::vector<std::string>& params, std::string& buffer) {
        EXPECT_EQ(s, &sender);
        if (calls) calls->push_back({command, params});
        if (next < buffers.size()) buffer = buffers[next++];
      },
      &sender);
  tokenizer.SetInputBuffer(html.data(), html.size());
  return Join(Dump(tokenizer));
}

TEST(TokenizerInclude, BufferIsReadInPlaceOfTheDirective) {
  std::vector<IncludeCall> calls;
  EXPECT_EQ(WithIncludes("a<!--#include file=\"b.htm\" Depth=2 -->c", {"<B>x"}, &calls),
            R"(symText "a"|symB ""|symText "xc")");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].command, "include");
  EXPECT_EQ(calls[0].params, (std::vector<std::string>{"FILE=\"b.htm\"", "DEPTH=\"2\""}));
}

TEST(TokenizerInclude, CasesTable) {
  struct Case {
    const char* name;
    std::string html;
    std::vector<std::string> buffers;
    std::string expected;
    size_t calls;
  };
  const Case cases[] = {
      {"IncludesDoNotNest", "a<!--#one-->c", {"<!--#two-->x"}, R"(symText "axc")", 1},
      {"EmptyBufferLeavesNothing", "a<!--#one-->c", {""}, R"(symText "ac")", 1},
      {"InsideAttributeValue", "<A HREF=ab<!--#x-->cd>", {"ZZ"}, R"(symA ""|  symHref 0 "abZZcd")", 1},
      {"InsideTagName", "<TA<!--#x y=\"1\" -->BLE BORDER=2>", {}, R"(symTable ""|  symBorder 2 "2")", 1},
      {"NestedDirectiveInParameters", "<!--#a x=\"<!--#b-->\" -->z", {}, R"(symText "z")", 1},
      {"BufferEndingInCrMeetsLf", "<!--#a-->\nb", {"x\r"}, R"(symText "x b")", 1},
      {"CommentSpansBufferEnd", "<!--#a-->still in comment -->b", {"<!-- "}, R"(symText "b")", 1},
      // A bare parameter value runs on over the closing dashes, so the comment goes on.
      {"BareValueSwallowsDashes", "<!--#a x=1-->b-->c", {}, R"(symText "c")", 1},
      {"TwoDirectives", "<!--#a-->-<!--#b-->", {"1", "2"}, R"(symText "1-2")", 2},
      {"OpenDirective", "a<!--#include file=x", {}, R"(symText "a"|error "Open Comment at End of HTML File")", 0},
  };
  for (const Case& c : cases) {
    std::vector<IncludeCall> calls;
    EXPECT_EQ(WithIncludes(c.html, c.buffers, &calls), c.expected) << c.name;
    EXPECT_EQ(calls.size(), c.calls) << c.name;
  }
}

TEST(TokenizerInclude, WithoutHandlerDirectiveIsAComment) {
  EXPECT_EQ(Tokens("a<!--#include file=x-->b"), R"(symText "ab")");
}

// ---------------------------------------------------------------------------------------------
// TEXTAREA and SCRIPT content

template <typename Next>
std::string ReadUntil(const std::string& html, TSymbol end, bool in_script, Next next) {
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.InScript = in_script;
  std::string out;
  tokenizer.Advance();
  do {
    (tokenizer.*next)();
    out += DumpSymbol(tokenizer);
  } while (tokenizer.Symbol != end && tokenizer.Symbol != symEof);
  return Join(out);
}

TEST(TokenizerContent, TextArea) {
  const char* html = "one &lt;b&gt; <b>x\r\n<!-- c --></textarea >";
  EXPECT_EQ(ReadUntil(html, symTextareaEnd, false, &Tokenizer::NextTextAreaSymbol),
            R"(symText "one "|symText "<"|symText "b"|symText ">"|symText " "|symUnknownTag "<b"|)"
            R"(symText ">x"|symEol ""|symTextareaEnd "</textarea")");
}

TEST(TokenizerContent, TextAreaTagOpenAtEndOfInput) {
  std::string open_tag(501, 'x');
  open_tag[0] = '<';
  std::string expected = "symUnknownTag \"" + open_tag.substr(0, Tokenizer::kTokenTextLength) + "\"";
  EXPECT_EQ(ReadUntil(open_tag, symTextareaEnd, false, &Tokenizer::NextTextAreaSymbol), expected);
}

TEST(TokenizerContent, Script) {
  const char* html = "<!-- if (a<b) x='&amp;';\r\n// --></SCRIPT>";
  EXPECT_EQ(ReadUntil(html, symScriptEnd, true, &Tokenizer::NextScriptSymbol),
            R"(symUnknownTag "<"|symText "!-- if (a"|symUnknownTag "<b"|symText ") x='&amp;';"|)"
            R"(symEol ""|symText "// -->"|symScriptEnd "</SCRIPT>")");
}

// ---------------------------------------------------------------------------------------------
// Inputs built to break it: each must end (with symEof or the parse error), keep token texts
// short, and take time in proportion to its size.

TEST(TokenizerMalformed, EndsWithShortTokens) {
  const size_t mb = 1 << 20;
  std::string attributes = "<P";
  for (int i = 0; i < 100000; ++i) attributes += " A=1";
  attributes += ">";
  std::string all_bytes;
  for (int i = 0; i < 4096; ++i) all_bytes.push_back(static_cast<char>((i * 7 + i / 256) & 0xFF));
  struct Case {
    const char* name;
    std::string html;
    bool error;
  };
  const Case cases[] = {
      {"LessThans", std::string(mb, '<'), false},
      {"Ampersands", std::string(mb, '&'), false},
      {"NumericStarts", [&] { std::string s; while (s.size() < mb) s += "&#"; return s; }(), false},
      {"EndTagStarts", [&] { std::string s; while (s.size() < mb) s += "</"; return s; }(), false},
      {"UnterminatedQuote", "<A HREF=\"" + std::string(mb, 'x'), false},
      {"ManyAttributes", attributes, false},
      {"EndlessComment", "<!--" + std::string(mb, '-'), true},
      {"DashesAndBlanks", "<!--" + [&] { std::string s; while (s.size() < mb) s += "-- "; return s; }(), true},
      {"AllBytes", all_bytes, false},
      {"Blanks", std::string(mb, ' '), false},
  };
  for (const Case& c : cases) {
    Tokenizer tokenizer;
    tokenizer.SetInputBuffer(c.html.data(), c.html.size());
    bool error = false;
    size_t symbols = 0;
    try {
      tokenizer.Advance();
      do {
        tokenizer.NextSymbol();
        ++symbols;
        ASSERT_LE(tokenizer.TokenText.size(), Tokenizer::kTokenTextLength) << c.name;
      } while (tokenizer.Symbol != symEof);
    } catch (const EParseError&) {
      error = true;
    }
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_LE(symbols, c.html.size() + 1) << c.name;
  }
}

TEST(TokenizerMalformed, LengthCapsNeverSplitASurrogatePair) {
  // "😀" is two code units; a cap that would fall between them falls before them.
  const std::string smiley = "\xF0\x9F\x98\x80";
  const std::string run = std::string(Tokenizer::kTextRunLength - 1, 'a') + smiley;
  const std::string text_runs = "symText \"" + std::string(Tokenizer::kTextRunLength - 1, 'a') +
                                "\"|symText \"" + smiley + "\"";
  EXPECT_EQ(Tokens(run), text_runs);
  // A line end in preformatted text is taken one unit at a time, not from the window.
  EXPECT_EQ(Tokens(std::string(Tokenizer::kTextRunLength - 2, 'a') + "\r" + smiley, true),
            "symText \"" + std::string(Tokenizer::kTextRunLength - 2, 'a') + "\\r\"|symText \"" +
                smiley + "\"");

  std::string tag = "<";  // built by appends: GCC 12 warns falsely (-Wrestrict) on "<" + ...
  tag.append(Tokenizer::kTokenTextLength - 2, 'x').append(smiley).append("y");
  EXPECT_EQ(ReadUntil(tag, symTextareaEnd, false, &Tokenizer::NextTextAreaSymbol),
            "symUnknownTag \"" + tag.substr(0, Tokenizer::kTokenTextLength - 1) + "\"");
}

TEST(TokenizerMalformed, ManyAttributesAreAllKept) {
  std::string html = "<P";
  for (int i = 0; i < 100000; ++i) html += " ALIGN=x";
  html += ">";
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  tokenizer.Advance();
  tokenizer.NextSymbol();
  EXPECT_EQ(tokenizer.Attributes.Count(), 100000u);
}

}  // namespace
}  // namespace brisomel
