// The parser with the document model: pages parsed into a TSectionList and laid out with the
// test font (12 points = em 16: characters 8 pixels wide, lines 22 high), checked through the
// layout dump; and pages built to exhaust parse, layout and paint.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "html/document/document_builder.h"
#include "html/document/section_list.h"
#include "html/document/text_section.h"
#include "html/reader/tokenizer.h"
#include "platform/headless/glyph_source.h"
#include "platform/headless/software_canvas.h"
#include "text/utf.h"

namespace brisomel {
namespace {

struct Page {
  std::shared_ptr<GlyphSource> glyphs = std::make_shared<TestGlyphSource>();
  SoftwareCanvas screen{1, 1, glyphs};
  TDocumentServices services = [this] {
    TDocumentServices s;
    s.Screen = &screen;
    return s;
  }();
  TSectionList list{services};
  TNameList names;
  TDocumentParser parser{list, &names};

  explicit Page(const std::string& html, int width = 200) {
    parser.Parser.ParseHtmlBuffer(html.data(), html.size());
    height = list.DoLayout(screen, width);
  }
  // The dump without empty text sections (closed sections that received nothing).
  std::string Dump() const {
    std::string all = DumpLayout(list), out;
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find('\n', start);
      std::string line = all.substr(start, end - start);
      start = end + 1;
      if (line.rfind("TSection ", 0) == 0 && line.find(" h=0 dh=0 ") != std::string::npos &&
          line.find("+0") != std::string::npos)
        continue;
      out += line + "\n";
    }
    return out;
  }
  int32_t height = 0;
};

struct Case {
  const char* name;
  std::string html;
  std::string dump;
};

class LaysOut : public testing::TestWithParam<Case> {};

TEST_P(LaysOut, AsExpected) {
  Page page(GetParam().html);
  EXPECT_EQ(page.Dump(), GetParam().dump) << GetParam().html;
}

const Case kCases[] = {
    {"RunOfPGivesOneParagraphSpace", "a<P><P><P>b",
     "TSection y=0 h=22 dh=22 curs=0+1\n  line x=0 y=0 h=22 \"a\"\n"
     "TParagraphSpace y=22 h=14 dh=14 curs=1+0\n"
     "TSection y=36 h=22 dh=22 curs=1+1\n  line x=0 y=36 h=22 \"b\"\n"},
    {"BrAtPreLineEndIsOneBreak", "<PRE>a<BR>\nb</PRE>",
     "TPreFormated y=0 h=17 dh=17 curs=0+1\n  line x=0 y=0 h=17 \"a\"\n"
     "TPreFormated y=17 h=17 dh=17 curs=1+1\n  line x=0 y=17 h=17 \"b\"\n"},
    {"NothingAfterBodyEnd", "a</BODY>b",
     "TSection y=0 h=22 dh=22 curs=0+1\n  line x=0 y=0 h=22 \"a\"\n"},
    {"LargerFontMakesTallerLine", "<FONT SIZE=+1>a</FONT> b",
     "TSection y=0 h=25 dh=25 curs=0+3\n  line x=0 y=0 h=25 \"a b\"\n"},
    {"HeadingSpacesAroundHeading", "<H1>a</H1>b",
     "THeadingSpace y=0 h=16 dh=16 curs=0+0\n"
     "TSection y=16 h=44 dh=44 curs=0+1\n  line x=0 y=16 h=44 \"a\"\n"
     "THeadingSpace y=60 h=16 dh=16 curs=1+0\n"
     "TSection y=76 h=22 dh=22 curs=1+1\n  line x=0 y=76 h=22 \"b\"\n"},
    {"NestedListsIndent", "<UL><LI>a<UL><LI>b</UL></UL><DL><DT>t<DD>d</DL>",
     "TUListItem y=0 h=22 dh=22 curs=0+1\n  line x=35 y=0 h=22 \"a\"\n"
     "TUListItem y=22 h=22 dh=22 curs=1+1\n  line x=70 y=22 h=22 \"b\"\n"
     "TDListItem y=44 h=22 dh=22 curs=2+1\n  line x=0 y=44 h=22 \"t\"\n"
     "TDListItem y=66 h=22 dh=22 curs=3+1\n  line x=35 y=66 h=22 \"d\"\n"},
    {"CenteredBlock", "<CENTER>ab</CENTER>c",
     "TSection y=0 h=22 dh=22 curs=0+2\n  line x=92 y=0 h=22 \"ab\"\n"
     "TSection y=22 h=22 dh=22 curs=2+1\n  line x=0 y=22 h=22 \"c\"\n"},
    {"FloatingImageInText",
     "<IMG SRC=x.gif WIDTH=40 HEIGHT=30 ALIGN=left>text beside the picture and below it too",
     "TSection y=0 h=66 dh=66 curs=0+41\n"
     "  line x=45 y=0 h=22 \"\\x04text beside the \"\n"
     "    image x=0 y=0 w=40 h=30 align=3\n"
     "  line x=45 y=22 h=22 \"picture and below \"\n"
     "  line x=0 y=44 h=22 \"it too\"\n"},
};
INSTANTIATE_TEST_SUITE_P(Parser, LaysOut, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

// Input that ends inside a comment stops the parse wherever it stands; inside a table cell, the
// cell, row and table being built are dropped and what came before stays a document.
TEST(ParserLayout, ErrorInsideATableKeepsWhatCameBefore) {
  for (const std::string tail : {"<td>in a cell<!-- never closed", "<td><table><tr><td>deep<!--",
                                 "<caption>title<!--", "<td>x</td><!--"}) {
    SCOPED_TRACE(tail);
    std::shared_ptr<GlyphSource> glyphs = std::make_shared<TestGlyphSource>();
    SoftwareCanvas screen{1, 1, glyphs};
    TDocumentServices services;
    services.Screen = &screen;
    TSectionList list{services};
    TNameList names;
    TDocumentParser parser{list, &names};
    const std::string html = "<p>before<table><tr>" + tail;
    EXPECT_THROW(parser.Parser.ParseHtmlBuffer(html.data(), html.size()), EParseError);
    list.DoLayout(screen, 300);
    EXPECT_NE(DumpLayout(list).find("before"), std::string::npos);
  }
}

TEST(ParserLayout, AnchorsNameTheirSections) {
  Page page("a<P><A NAME=first>b</A><UL><LI>c<A NAME=Second></A></UL>");
  ASSERT_EQ(page.names.size(), 2u);
  EXPECT_EQ(page.names[0].Name, u"FIRST");
  EXPECT_EQ(page.names[1].Name, u"SECOND");
  ASSERT_EQ(page.list.Count(), 4);  // "a", paragraph space, "b", item
  EXPECT_EQ(page.names[0].Section, &page.list[2]);
  EXPECT_EQ(page.names[1].Section, &page.list[3]);
}

// An anchor before BODY stood in the section that BODY drops: it names the body's first
// section instead of a freed one.
TEST(ParserLayout, AnchorBeforeBodyMovesToTheBody) {
  Page page("<A NAME=top></A>x<BODY>a");
  ASSERT_EQ(page.names.size(), 1u);
  ASSERT_EQ(page.list.Count(), 1);
  EXPECT_EQ(page.names[0].Section, &page.list[0]);
}

TEST(ParserLayout, BodyAttributesReachTheDocument) {
  Page page("<BODY BGCOLOR=navy TEXT=white LINK=yellow BACKGROUND=\"tile.gif\">x");
  EXPECT_EQ(page.list.Background & 0xFFFFFF, Rgb(0, 0, 0x80));
  EXPECT_EQ(page.list.FontColor & 0xFFFFFF, Rgb(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(page.list.HotSpotColor & 0xFFFFFF, Rgb(0xFF, 0xFF, 0));
  EXPECT_EQ(page.list.BackgroundImageName(), u"tile.gif");
}

// A hostile page: 100,000 nested lists parse, lay out and paint without exhausting the stack;
// the nesting stops growing at the parser's limit.
TEST(ParserLayout, HundredThousandNestedListsRender) {
  std::string html;
  html.reserve(1'500'000);
  for (int i = 0; i < 100000; ++i) html += "<UL><LI>x";
  for (int i = 0; i < 100000; ++i) html += "</UL>";
  Page page(html, 800);
  EXPECT_GT(page.height, 0);
  int deepest = 0;
  for (const auto& section : page.list.Sections)
    if (auto* item = dynamic_cast<const TSection*>(section.get()))
      deepest = std::max(deepest, item->Level);
  EXPECT_EQ(deepest, THtmlParser::kMaxNesting);

  SoftwareCanvas canvas(200, 150, page.glyphs);
  for (int32_t y : {0, page.height / 2, page.height - 100}) {
    page.list.SetYOffset(y);
    page.list.Paint(canvas, Rect{0, 0, 200, 150}, 800, 10, 5 - y);
  }
}

// A screen of a long page paints exactly the rows of the whole page painted at once, wherever
// it is scrolled to: over floats reaching below their sections, right-floated and bordered
// tables, rules, lists, and a table cell several screens long with floats of its own.
TEST(ParserLayout, ScrolledScreensPaintAsTheWholePage) {
  std::string html = "<BODY BGCOLOR=white>";
  for (int i = 0; i < 12; ++i) {
    const std::string n = std::to_string(i);
    html += "<H2>Part " + n +
            "</H2><IMG SRC=a.gif WIDTH=60 HEIGHT=" + std::to_string(40 + i * 13 % 90) +
            " ALIGN=left>Words beside the float " + n +
            "<P><TABLE BORDER=1 ALIGN=right><TR><TD BGCOLOR=#E0E0FF>right<TD>table " + n +
            "</TABLE>Text running past the right table and on over more lines.<HR>"
            "<UL><LI>one<LI>two <B>bold</B></UL>";
    if (i % 4 == 1) {
      html += "<TABLE BORDER=2 CELLPADDING=3><TR><TD>";
      for (int k = 0; k < 30; ++k)
        html += "<P>Cell paragraph " + std::to_string(k) +
                (k % 7 == 0 ? "<IMG SRC=b.gif WIDTH=30 HEIGHT=70 ALIGN=right>" : "") +
                (k % 9 == 0 ? "<HR>" : "");
      html += "<TD VALIGN=bottom>side</TABLE>";
    }
  }
  Page page(html, 300);
  const int W = 300, H = 120;
  ASSERT_GT(page.height, 8 * H);
  SoftwareCanvas whole(W, page.height + H, page.glyphs);
  page.list.SetYOffset(0);
  page.list.Paint(whole, Rect{0, 0, W, page.height + H}, W, 0, 0);
  const Bitmap& all = whole.surface();
  for (int32_t y = 0; y < page.height; y += 37) {
    SoftwareCanvas screen(W, H, page.glyphs);
    page.list.SetYOffset(y);
    page.list.Paint(screen, Rect{0, 0, W, H}, W, 0, 0);
    const Bitmap& shown = screen.surface();
    int differing = 0;
    for (int row = 0; row < H; ++row)
      for (int x = 0; x < W; ++x)
        differing += shown.pixels[row * W + x] != all.pixels[(y + row) * W + x];
    EXPECT_EQ(differing, 0) << "screen at " << y;
  }
}

}  // namespace
}  // namespace brisomel
