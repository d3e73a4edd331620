// Tables parsed into a document and laid out with the test font (characters 8 pixels wide,
// lines 22 high), checked through the table lines of the layout dump: the table line, its
// caption and its cells (text lines beneath are left out unless a case needs them).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "document_fixture.h"
#include "html/document/document_builder.h"
#include "html/document/table.h"
#include "text/utf.h"

namespace brisomel {
namespace {

struct TablePage : test::DocFixture {
  TNameList names;
  TDocumentParser parser{list, &names};

  explicit TablePage(const std::string& html) {
    parser.Parser.ParseHtmlBuffer(html.data(), html.size());
  }
  // The table, caption and cell lines of the dump, with text lines when `lines` is set.
  std::string Tables(int width, bool lines = false) {
    const std::string all = Layout(width);
    std::string out;
    size_t start = 0;
    while (start < all.size()) {
      const size_t end = all.find('\n', start);
      const std::string line = all.substr(start, end - start);
      start = end + 1;
      const std::string trimmed = line.substr(line.find_first_not_of(' '));
      if (trimmed.rfind("ThtmlTable ", 0) == 0 || trimmed.rfind("cell ", 0) == 0 ||
          trimmed.rfind("caption ", 0) == 0 || (lines && trimmed.rfind("line ", 0) == 0))
        out += line + "\n";
    }
    return out;
  }
};

struct Case {
  const char* name;
  std::string html;
  int width;
  std::string expected;
  bool lines = false;
};

class TableLayout : public testing::TestWithParam<Case> {};

TEST_P(TableLayout, Dump) {
  TablePage page(GetParam().html);
  EXPECT_EQ(page.Tables(GetParam().width, GetParam().lines), GetParam().expected)
      << GetParam().html;
}

std::string CaseName(const testing::TestParamInfo<Case>& info) { return info.param.name; }

// Widths: a column's minimum is its longest word, its maximum its whole text, each with
// 2 x CELLPADDING + CELLSPACING (default 1 and 2: 4 pixels) added.
const Case kWidths[] = {
    {"PlainColumnsTakeTheirMaximum", "<TABLE><TR><TD>ab cd<TD>e</TABLE>", 400,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+6 w=58 x=0
  cell row=0 col=0 x=0 y=0 w=44 h=26
  cell row=0 col=1 x=44 y=0 w=12 h=26
)"},
    {"NarrowSpreadsBetweenMinAndMax", "<TABLE><TR><TD>aaaa bbbb cccc<TD>dd ee</TABLE>", 80,
     R"(ThtmlTable y=0 h=72 dh=72 curs=0+19 w=80 x=0
  cell row=0 col=0 x=0 y=0 w=53 h=70
  cell row=0 col=1 x=53 y=0 w=25 h=70
)"},
    {"MinimumAboveTheWidthOverflows", "<TABLE><TR><TD>aaaaaaaaaa<TD>bbbbbbbbbb</TABLE>", 40,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+20 w=170 x=0
  cell row=0 col=0 x=0 y=0 w=84 h=26
  cell row=0 col=1 x=84 y=0 w=84 h=26
)"},
    {"PercentColumn", "<TABLE><TR><TD WIDTH=50%>a<TD>b</TABLE>", 400,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+2 w=26 x=0
  cell row=0 col=0 x=0 y=0 w=12 h=26
  cell row=0 col=1 x=12 y=0 w=12 h=26
)"},
    {"PercentColumnsAllSet", "<TABLE><TR><TD WIDTH=25%>a<TD WIDTH=75%>b</TABLE>", 400,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+2 w=50 x=0
  cell row=0 col=0 x=0 y=0 w=12 h=26
  cell row=0 col=1 x=12 y=0 w=36 h=26
)"},
    {"TableWidthPixels", "<TABLE WIDTH=300><TR><TD>a<TD>bb</TABLE>", 400,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+3 w=300 x=0
  cell row=0 col=0 x=0 y=0 w=145 h=26
  cell row=0 col=1 x=145 y=0 w=153 h=26
)"},
    {"TableWidthWithPercentCell", "<TABLE WIDTH=300><TR><TD WIDTH=20%>a<TD>bb</TABLE>", 400,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+3 w=300 x=0
  cell row=0 col=0 x=0 y=0 w=60 h=26
  cell row=0 col=1 x=60 y=0 w=238 h=26
)"},
    {"TablePercentWidth", "<TABLE WIDTH=50%><TR><TD>a</TABLE>", 600,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+1 w=300 x=0
  cell row=0 col=0 x=0 y=0 w=298 h=26
)"},
    {"PixelCellWidth", "<TABLE><TR><TD WIDTH=100>a<TD>b</TABLE>", 400,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+2 w=118 x=0
  cell row=0 col=0 x=0 y=0 w=104 h=26
  cell row=0 col=1 x=104 y=0 w=12 h=26
)"},
    {"SpanOverPlainColumns", "<TABLE><TR><TD>a<TD>b<TR><TD COLSPAN=2>cccccccccccccccccccc</TABLE>",
     400,
     R"(ThtmlTable y=0 h=54 dh=54 curs=0+22 w=166 x=0
  cell row=0 col=0 x=0 y=0 w=82 h=26
  cell row=0 col=1 x=82 y=0 w=82 h=26
  cell row=1 col=0 x=0 y=26 w=164 h=26
)"},
    {"SpanOverPercentColumns",
     "<TABLE WIDTH=400><TR><TD WIDTH=25%>a<TD WIDTH=25%>b<TD>c<TR><TD COLSPAN=2 "
     "WIDTH=80%>d<TD>e</TABLE>",
     400,
     R"(ThtmlTable y=0 h=54 dh=54 curs=0+5 w=400 x=0
  cell row=0 col=0 x=0 y=0 w=159 h=26
  cell row=0 col=1 x=159 y=0 w=159 h=26
  cell row=0 col=2 x=318 y=0 w=80 h=26
  cell row=1 col=0 x=0 y=26 w=318 h=26
  cell row=1 col=2 x=318 y=26 w=80 h=26
)"},
    {"SpanOverEmptyColumnsSplitsEvenly",
     "<TABLE><TR><TD COLSPAN=3>aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa</TABLE>", 400,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+30 w=246 x=0
  cell row=0 col=0 x=0 y=0 w=244 h=26
)"},
    {"ColspanWidensTheGrid", "<TABLE><TR><TD>a<TD>b<TR><TD COLSPAN=3>c</TABLE>", 400,
     R"(ThtmlTable y=0 h=54 dh=54 curs=0+3 w=26 x=0
  cell row=0 col=0 x=0 y=0 w=12 h=26
  cell row=0 col=1 x=12 y=0 w=12 h=26
  cell row=1 col=0 x=0 y=26 w=24 h=26
)"},
    {"WiderThanThePage", "<TABLE WIDTH=300><TR><TD>a</TABLE>", 100,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+1 w=300 x=0
  cell row=0 col=0 x=0 y=0 w=298 h=26
)"},
};
INSTANTIATE_TEST_SUITE_P(Widths, TableLayout, testing::ValuesIn(kWidths), CaseName);

const Case kHeights[] = {
    {"RowSpanHeights", "<TABLE><TR><TD ROWSPAN=2>a<BR>b<BR>c<BR>d<TD>e<TR><TD>f</TABLE>", 400,
     R"(ThtmlTable y=0 h=94 dh=94 curs=0+6 w=26 x=0
  cell row=0 col=0 x=0 y=0 w=12 h=92
      line x=0 y=3 h=22 "a"
      line x=0 y=25 h=22 "b"
      line x=0 y=47 h=22 "c"
      line x=0 y=69 h=22 "d"
  cell row=0 col=1 x=12 y=0 w=12 h=46
      line x=0 y=13 h=22 "e"
  cell row=1 col=1 x=12 y=46 w=12 h=46
      line x=0 y=59 h=22 "f"
)",
     true},
    {"RowSpanCutToTheRowsLeft", "<TABLE><TR><TD ROWSPAN=5>a<TD>b<TR><TD>c</TABLE>", 400,
     R"(ThtmlTable y=0 h=54 dh=54 curs=0+3 w=26 x=0
  cell row=0 col=0 x=0 y=0 w=12 h=52
  cell row=0 col=1 x=12 y=0 w=12 h=26
  cell row=1 col=1 x=12 y=26 w=12 h=26
)"},
    {"VerticalAlignment",
     "<TABLE><TR><TD>a<BR>b<BR>c<TD VALIGN=top>t<TD>m<TD VALIGN=bottom>b</TABLE>", 400,
     R"(ThtmlTable y=0 h=72 dh=72 curs=0+6 w=50 x=0
  cell row=0 col=0 x=0 y=0 w=12 h=70
      line x=0 y=3 h=22 "a"
      line x=0 y=25 h=22 "b"
      line x=0 y=47 h=22 "c"
  cell row=0 col=1 x=12 y=0 w=12 h=70
      line x=0 y=3 h=22 "t"
  cell row=0 col=2 x=24 y=0 w=12 h=70
      line x=0 y=25 h=22 "m"
  cell row=0 col=3 x=36 y=0 w=12 h=70
      line x=0 y=47 h=22 "b"
)",
     true},
    {"CellHeight", "<TABLE><TR><TD HEIGHT=60 VALIGN=bottom>a</TABLE>", 400,
     R"(ThtmlTable y=0 h=64 dh=64 curs=0+1 w=14 x=0
  cell row=0 col=0 x=0 y=0 w=12 h=62
      line x=0 y=39 h=22 "a"
)",
     true},
    {"CaptionAbove", "<TABLE><CAPTION>a caption wider than the grid</CAPTION><TR><TD>a</TABLE>",
     400,
     R"(ThtmlTable y=0 h=160 dh=160 curs=0+30 w=14 x=21
  caption x=0 y=0 w=56 h=132
      line x=24 y=0 h=22 "a "
      line x=0 y=22 h=22 "caption "
      line x=8 y=44 h=22 "wider "
      line x=12 y=66 h=22 "than "
      line x=16 y=88 h=22 "the "
      line x=12 y=110 h=22 "grid"
  cell row=0 col=0 x=21 y=132 w=12 h=26
      line x=0 y=135 h=22 "a"
)",
     true},
    {"CaptionBelow", "<TABLE><CAPTION ALIGN=bottom>c</CAPTION><TR><TD>a</TABLE>", 400,
     R"(ThtmlTable y=0 h=50 dh=50 curs=0+2 w=14 x=0
  cell row=0 col=0 x=0 y=0 w=12 h=26
      line x=0 y=3 h=22 "a"
  caption x=0 y=28 w=14 h=22
      line x=3 y=28 h=22 "c"
)",
     true},
    {"PaddingAndSpacing", "<TABLE CELLPADDING=10 CELLSPACING=6><TR><TD>a<TD>b</TABLE>", 400,
     R"(ThtmlTable y=0 h=54 dh=54 curs=0+2 w=74 x=0
  cell row=0 col=0 x=0 y=0 w=34 h=48
      line x=0 y=16 h=22 "a"
  cell row=0 col=1 x=34 y=0 w=34 h=48
      line x=0 y=16 h=22 "b"
)",
     true},
    {"BorderAddsSpacing",
     "<TABLE BORDER=1><TR><TD>a</TABLE><TABLE BORDER CELLSPACING=0><TR><TD>a</TABLE>", 400,
     R"(ThtmlTable y=0 h=32 dh=32 curs=0+1 w=18 x=0
  cell row=0 col=0 x=0 y=0 w=14 h=28
ThtmlTable y=32 h=28 dh=28 curs=1+1 w=14 x=0
  cell row=0 col=0 x=0 y=32 w=12 h=26
)"},
    {"LimitsOnPaddingAndSpacing",
     "<TABLE CELLPADDING=99 CELLSPACING=99><TR><TD>a</TABLE><TABLE CELLPADDING=-5 "
     "CELLSPACING=-5><TR><TD>a</TABLE>",
     400,
     R"(ThtmlTable y=0 h=202 dh=202 curs=0+1 w=188 x=0
  cell row=0 col=0 x=0 y=0 w=148 h=162
ThtmlTable y=202 h=28 dh=28 curs=1+1 w=14 x=0
  cell row=0 col=0 x=0 y=202 w=12 h=26
)"},
};
INSTANTIATE_TEST_SUITE_P(Heights, TableLayout, testing::ValuesIn(kHeights), CaseName);

const Case kPlacement[] = {
    {"CentredAndRight",
     "<TABLE ALIGN=center><TR><TD>a</TABLE><CENTER><TABLE><TR><TD>b</TABLE></CENTER><TABLE "
     "ALIGN=right><TR><TD>c</TABLE>",
     400,
     R"(ThtmlTable y=0 h=28 dh=28 curs=0+1 w=14 x=193
  cell row=0 col=0 x=193 y=0 w=12 h=26
ThtmlTable y=28 h=28 dh=28 curs=1+1 w=14 x=193
  cell row=0 col=0 x=193 y=28 w=12 h=26
ThtmlTable y=56 h=0 dh=28 curs=2+1 w=14 x=386
  cell row=0 col=0 x=386 y=56 w=12 h=26
)"},
    {"FloatingTableWithTextBeside",
     "<TABLE ALIGN=left><TR><TD>float<TR><TD>two</TABLE>text beside the table and below it again",
     300,
     R"(ThtmlTable y=0 h=0 dh=54 curs=0+8 w=46 x=0
  cell row=0 col=0 x=0 y=0 w=44 h=26
      line x=0 y=3 h=22 "float"
  cell row=1 col=0 x=0 y=26 w=44 h=26
      line x=0 y=29 h=22 "two"
  line x=52 y=0 h=22 "text beside the table and "
  line x=52 y=22 h=22 "below it again"
)",
     true},
    {"FloatingRight", "<TABLE ALIGN=right HSPACE=10><TR><TD>r</TABLE>text", 300,
     R"(ThtmlTable y=0 h=0 dh=28 curs=0+1 w=14 x=286
  cell row=0 col=0 x=286 y=0 w=12 h=26
      line x=0 y=3 h=22 "r"
  line x=0 y=0 h=22 "text"
)",
     true},
    {"NestedTables", "<TABLE><TR><TD><TABLE BORDER><TR><TD>in<TD>ner</TABLE><TD>out</TABLE>", 400,
     R"(ThtmlTable y=0 h=38 dh=38 curs=0+8 w=90 x=0
  cell row=0 col=0 x=0 y=0 w=60 h=36
    ThtmlTable y=3 h=32 dh=32 curs=0+5 w=56 x=3
      cell row=0 col=0 x=3 y=3 w=22 h=28
          line x=0 y=8 h=22 "in"
      cell row=0 col=1 x=25 y=3 w=30 h=28
          line x=0 y=8 h=22 "ner"
  cell row=0 col=1 x=60 y=0 w=28 h=36
      line x=0 y=8 h=22 "out"
)",
     true},
};
INSTANTIATE_TEST_SUITE_P(Placement, TableLayout, testing::ValuesIn(kPlacement), CaseName);

}  // namespace
}  // namespace brisomel

namespace brisomel {
namespace {

int CountTables(const TCell& cell) {
  int n = 0;
  for (const auto& s : cell.Sections) {
    if (auto* table = dynamic_cast<const ThtmlTable*>(s.get())) {
      ++n;
      for (const auto& row : table->Rows)
        for (const TCellObj& c : row->Cells)
          if (c.Cell) n += CountTables(*c.Cell);
    }
  }
  return n;
}

std::string Cells(int n) {
  std::string html;
  for (int i = 0; i < n; ++i) html += "<TD>x";
  return html;
}

TEST(TableErrors, TooManyColumnsRemoveOnlyThatTable) {
  struct Case {
    const char* name;
    std::string html;
    int tables_left;
    size_t messages;
  } cases[] = {
      {"ThirtyFit", "<TABLE><TR>" + Cells(30) + "</TABLE>after", 1, 0},
      {"ThirtyOne", "before<TABLE><TR>" + Cells(31) + "</TABLE>after", 0, 1},
      {"BySpans", "<TABLE><TR><TD COLSPAN=20>a<TD COLSPAN=11>b</TABLE>after", 0, 1},
      {"HugeSpan", "<TABLE><TR><TD COLSPAN=2000000000>a<TD>b</TABLE>after", 0, 1},
      {"RowSpansPushCellsOut",
       "<TABLE><TR><TD ROWSPAN=2>a" + Cells(29) + "<TR>" + Cells(30) + "</TABLE>after", 0, 1},
      {"NestedInsideACell",
       "<TABLE><TR><TD>in<TABLE><TR>" + Cells(31) + "</TABLE><TD>b</TABLE>after", 1, 1},
  };
  for (const Case& c : cases) {
    TablePage page(c.html);
    const std::string dump = page.Layout(400);
    EXPECT_EQ(CountTables(page.list), c.tables_left) << c.name;
    ASSERT_EQ(page.system.messages.size(), c.messages) << c.name;
    if (c.messages) {
      EXPECT_EQ(page.system.messages[0].text, "Table has too many Columns");
    }
    EXPECT_NE(dump.find("\"after\""), std::string::npos) << c.name;
  }
}

TEST(TableHostile, DeepNestingAndHugeSpansFinishQuickly) {
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "<TABLE><TR><TD>";
  nested += "x";
  std::string spans = "<TABLE>";
  for (int i = 0; i < 2000; ++i) spans += "<TR><TD ROWSPAN=2000000000>a<TD COLSPAN=5>b";
  spans += "</TABLE><TABLE><TR><TD COLSPAN=2000000000 ROWSPAN=2000000000>c</TABLE>";
  for (const std::string& html : {nested, spans}) {
    const auto start = std::chrono::steady_clock::now();
    TablePage page(html);
    page.list.DoLayout(page.screen, 400);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(seconds.count(), 30.0);
    EXPECT_LE(CountTables(page.list), THtmlParser::kMaxNesting);
  }
}

TEST(TablePaint, BackgroundsSpacingColourAndCopiesWithoutFills) {
  TablePage page("<TABLE BORDERCOLOR=#0000FF CELLSPACING=4><TR><TD BGCOLOR=#FF0000>a<TD>b</TABLE>");
  page.Layout(100);
  SoftwareCanvas canvas(100, 40);
  canvas.FillRect(Rect{0, 0, 100, 40}, 0xFFFFFF);
  page.list.Paint(canvas, Rect{0, 0, 100, 40}, 100, 0, 0);
  EXPECT_EQ(canvas.PixelAt(1, 1), 0xFF0000u);   // spacing: blue (0x00BBGGRR)
  EXPECT_EQ(canvas.PixelAt(4, 4), 0x0000FFu);   // first cell's background: red
  EXPECT_EQ(canvas.PixelAt(23, 4), 0xFFFFFFu);  // the second cell has none

  auto copy = page.list.CreateCopy();
  copy->DoLayout(page.screen, 100);
  SoftwareCanvas printed(100, 40);
  printed.FillRect(Rect{0, 0, 100, 40}, 0xFFFFFF);
  copy->Paint(printed, Rect{0, 0, 100, 40}, 100, 0, 0);
  EXPECT_EQ(printed.PixelAt(1, 1), 0xFFFFFFu);
  EXPECT_EQ(printed.PixelAt(4, 4), 0xFFFFFFu);
}

TEST(TablePaint, PrintingMovesThePageBottomAboveWhatDoesNotFit) {
  // Four lines of text (88 pixels), then a table of three 26-pixel rows (grid 80 high).
  const std::string text = "a<BR>b<BR>c<BR>d";
  struct Case {
    const char* name;
    int page;  // page height
    int32_t bottom;
  } cases[] = {
      {"TableFitsThePage", 200, 200},
      {"TableLowOnThePageMovesDown", 120, 88},  // starts below the middle, crosses the bottom
  };
  for (const Case& c : cases) {
    TablePage page(text + "<TABLE><TR><TD>1<TR><TD>2<TR><TD>3</TABLE>");
    auto copy = page.list.CreateCopy();
    copy->Printing = true;
    copy->DoLayout(page.screen, 100);
    SoftwareCanvas printed(100, c.page);
    copy->Paint(printed, Rect{0, 0, 100, c.page}, 100, 0, 0);
    EXPECT_EQ(copy->PageBottom, c.bottom) << c.name;
  }
  // A row below the middle of the page that crosses its bottom ends the page at its top plus
  // half the spacing.
  TablePage page("<TABLE><TR><TD>1<TR><TD>2<TR><TD>3<TR><TD>4</TABLE>");
  auto copy = page.list.CreateCopy();
  copy->Printing = true;
  copy->DoLayout(page.screen, 100);
  SoftwareCanvas printed(100, 70);
  copy->Paint(printed, Rect{0, 0, 100, 70}, 100, 0, 0);
  EXPECT_EQ(copy->PageBottom, 52 + 1);  // the third row starts at 52
}

TEST(TableQueries, LinksTextAndSelectionAcrossCaptionAndCells) {
  TablePage page(
      "<TABLE><CAPTION ALIGN=bottom>cap</CAPTION><TR><TD><A HREF=x.htm>link</A>"
      "<TD VALIGN=bottom>second<BR>line</TABLE>");
  page.Layout(400);
  page.list.Paint(page.screen, Rect{0, 0, 400, 200}, 400, 0, 0);
  // "link" sits at x 3..34 (spacing 2, padding 1), the first row 2 + 1 + 11 down (middle of
  // a 48-pixel row).
  TUrlTarget target;
  TFormControlObj* control = nullptr;
  EXPECT_TRUE(page.list.LinkAt(page.screen, 10, 20, target, control));
  EXPECT_EQ(target.Url, u"x.htm");
  EXPECT_FALSE(page.list.LinkAt(page.screen, 10, 5, target, control));
  EXPECT_FALSE(page.list.LinkAt(page.screen, 60, 20, target, control));

  // Positions: "link" 0..3, "second" 4.., "line" after it, the caption last.
  const int32_t second = page.list.FindString(0, u"second", false);
  EXPECT_EQ(second, 4);
  int32_t x = 0, y = 0;
  ASSERT_TRUE(page.list.PositionToPoint(page.screen, second, x, y));
  EXPECT_EQ(x, 39);  // the second column at 36, then spacing 2 and padding 1
  EXPECT_EQ(y, 3);
  char16_t ch = 0;
  TSectionBase* obj = nullptr;
  EXPECT_TRUE(page.list.CharAt(page.list.FindString(0, u"cap", false), ch, obj));
  EXPECT_EQ(ch, 'c');
  int32_t xr, yr, caret;
  TCell* cell = nullptr;
  bool in_text = false;
  EXPECT_EQ(page.list.PositionAt(page.screen, 42, 5, xr, yr, caret, cell, in_text), 4);

  page.list.SelB = 0;
  page.list.SelE = 100;
  EXPECT_EQ(page.list.SelectedText(), u"link\r\nsecond\r\nline\r\ncap\r\n");
}

}  // namespace
}  // namespace brisomel
