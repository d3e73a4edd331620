// The section list and the simple sections: heights, rules, list items and markers, the
// processing error, fonts, selection, positions, search and copying.
#include <gtest/gtest.h>

#include "document_fixture.h"
#include "text/utf.h"

namespace brisomel::test {
namespace {

TEST(SimpleSections, HeightsFollowTheBaseSize) {
  struct Case {
    std::function<std::unique_ptr<TSectionBase>(TSectionList*)> make;
    int base;
    int height;
  };
  auto space = [](TSectionList* l) { return std::make_unique<TParagraphSpace>(l); };
  auto heading = [](int level) {
    return [level](TSectionList* l) { return std::make_unique<THeadingSpace>(l, level); };
  };
  auto rule = [](const char* size) {
    return [size](TSectionList* l) {
      return std::make_unique<THorzLine>(l, Attrs({{symSize, size}}));
    };
  };
  const Case cases[] = {
      {space, 12, 14},      {space, 10, 12},      {heading(1), 12, 16}, {heading(2), 12, 12},
      {heading(3), 12, 10}, {heading(4), 12, 8},  {heading(5), 12, 6},  {heading(6), 12, 4},
      {heading(0), 12, 8},  {heading(7), 12, 8},  {heading(1), 24, 32}, {rule("5"), 12, 23},
      {rule("0"), 12, 20},  {rule("21"), 12, 20}, {rule("20"), 12, 38}, {rule("1"), 6, 9},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    DocFixture doc;
    doc.list.FontSize = cases[i].base;
    doc.Add(cases[i].make(&doc.list));
    EXPECT_EQ(doc.list[0].SectionHeight, cases[i].height) << "case " << i;
    int32_t curs = 5, w = 0;
    doc.list.LayOut(doc.screen, 0, 300, w, curs);
    EXPECT_EQ(curs, 5) << "case " << i;  // no character positions
    EXPECT_EQ(w, 300) << "case " << i;
  }
}

TEST(SimpleSections, RuleWidthsAndAlignment) {
  struct Case {
    std::vector<std::pair<TSymbol, std::string>> attrs;
    int start, end;
  };
  const Case cases[] = {
      {{}, 10, 190},
      {{{symWidth, "150%"}}, 10, 190},
      {{{symWidth, "50%"}}, 50, 150},
      {{{symWidth, "40"}, {symAlign, "LEFT"}}, 0, 40},
      {{{symWidth, "40"}, {symAlign, "right"}}, 160, 200},
      {{{symWidth, "40"}}, 80, 120},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    DocFixture doc;
    TAttributeList attrs;
    for (const auto& [sym, text] : cases[i].attrs) {
      attrs.Add(std::make_unique<TAttribute>(sym, Utf8ToUtf16(text), std::atoi(text.c_str())));
    }
    attrs.Add(std::make_unique<TAttribute>(symColor, u"#FF0000", 0));
    doc.Add(std::make_unique<THorzLine>(&doc.list, attrs));
    doc.Layout(200);
    SoftwareCanvas canvas(220, 40);
    doc.list.Paint(canvas, Rect{0, 0, 220, 40}, 200, 0, 0);
    // Thickness 2 in a section of 20: rows 9 and 10.
    const Color red = 0x0000FF;
    EXPECT_EQ(canvas.PixelAt(cases[i].start, 9), red) << "case " << i;
    EXPECT_EQ(canvas.PixelAt(cases[i].end - 1, 10), red) << "case " << i;
    EXPECT_NE(canvas.PixelAt(cases[i].end, 9), red) << "case " << i;
    EXPECT_NE(canvas.PixelAt(cases[i].start, 8), red) << "case " << i;
    if (cases[i].start > 0) {
      EXPECT_NE(canvas.PixelAt(cases[i].start - 1, 9), red) << "case " << i;
    }
  }
}

TEST(SimpleSections, RuleBevelOnWhiteAndNoShade) {
  for (bool noshade : {false, true}) {
    DocFixture doc;
    doc.list.SetBackground(0xFFFFFF);
    TAttributeList attrs;
    if (noshade) attrs.Add(std::make_unique<TAttribute>(symNoshade, u"", 0));
    doc.Add(std::make_unique<THorzLine>(&doc.list, attrs));
    doc.Layout(100);
    SoftwareCanvas canvas(100, 30);
    doc.list.Paint(canvas, Rect{0, 0, 100, 30}, 100, 0, 0);
    Color dark = noshade ? 0 : canvas.ResolveColor(kColorBtnShadow);
    Color light = noshade ? 0 : 0xC0C0C0;
    EXPECT_EQ(canvas.PixelAt(10, 9), dark);    // top edge
    EXPECT_EQ(canvas.PixelAt(10, 10), dark);   // left edge
    EXPECT_EQ(canvas.PixelAt(90, 10), light);  // right edge
    EXPECT_EQ(canvas.PixelAt(50, 11), light);  // bottom edge
  }
}

TEST(ListItems, Labels) {
  struct Case {
    char style;
    int number;
    const char* label;
  };
  const Case cases[] = {{'A', 1, "A"},    {'A', 27, "Z"},  {'a', 3, "c"},  {'I', 4, "IV"},
                        {'I', 19, "XIX"}, {'i', 21, "xx"}, {'i', 9, "ix"}, {'1', 12, "12"},
                        {'x', 7, "7"},    {'A', 0, "0"},   {'i', -2, "-2"}};
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(ListLabel(c.style, c.number)), c.label) << c.style << c.number;
  }
}

TEST(ListItems, IndentsByLevelAndReturnToTheMargin) {
  DocFixture doc;
  auto one = std::make_unique<TUListItem>(doc.list, 1, nullptr, doc.font);
  one->AddText(u"a");
  doc.Add(std::move(one));
  auto two = std::make_unique<TOListItem>(doc.list, 2, nullptr, doc.font, '1', 1);
  two->AddText(u"b");
  doc.Add(std::move(two));
  auto dt = std::make_unique<TDListItem>(doc.list, 1, nullptr, doc.font);
  dt->AddText(u"c");
  doc.Add(std::move(dt));
  doc.Para("d");
  EXPECT_EQ(doc.Layout(200),
            "TUListItem y=0 h=22 dh=22 curs=0+1\n"
            "  line x=35 y=0 h=22 \"a\"\n"
            "TOListItem y=22 h=22 dh=22 curs=1+1\n"
            "  line x=70 y=22 h=22 \"b\"\n"
            "TDListItem y=44 h=22 dh=22 curs=2+1\n"
            "  line x=35 y=44 h=22 \"c\"\n"
            "TSection y=66 h=22 dh=22 curs=3+1\n"
            "  line x=0 y=66 h=22 \"d\"\n");
}

TEST(ListItems, ItemReachesBelowItsFloat) {
  DocFixture doc;
  auto item = std::make_unique<TUListItem>(doc.list, 1, nullptr, doc.font);
  item->AddImage(Attrs({{symWidth, "30"}, {symHeight, "60"}, {symAlign, "left"}}), &doc.list);
  item->AddText(u"x");
  doc.Add(std::move(item));
  EXPECT_EQ(doc.Layout(200),
            "TUListItem y=0 h=61 dh=61 curs=0+2\n"
            "  line x=70 y=0 h=22 \"\\x04x\"\n"
            "    image x=35 y=0 w=30 h=60 align=3\n");
}

TEST(ListItems, MarkersArePaintedBesideTheFirstLine) {
  DocFixture doc;
  auto number = std::make_unique<TOListItem>(doc.list, 1, nullptr, doc.font, 'A', 2);
  number->AddText(u"x");
  doc.Add(std::move(number));
  auto bullet = std::make_unique<TUListItem>(doc.list, 1, nullptr, doc.font);
  bullet->AddText(u"y");
  doc.Add(std::move(bullet));
  doc.Layout(200);
  SoftwareCanvas canvas(200, 60);
  doc.list.Paint(canvas, Rect{0, 0, 200, 60}, 200, 0, 0);
  // "B." ends 5 pixels left of the text at 35: boxes 14..20 and 22..28, baseline 18.
  EXPECT_EQ(canvas.PixelAt(14, 17), 0u);
  EXPECT_NE(canvas.PixelAt(13, 17), 0u);
  EXPECT_EQ(canvas.PixelAt(28, 17), 0u);
  EXPECT_NE(canvas.PixelAt(29, 17), 0u);
  // A level-1 bullet on the silver page is navy, centred at (35 - 8, 40 - 11).
  EXPECT_EQ(canvas.PixelAt(27, 29), Color{0x800000});
}

class ThrowingSection : public TSectionBase {
 public:
  using TSectionBase::TSectionBase;
  const char* ClassName() const override { return "ThrowingSection"; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList& Parent) const override {
    return std::make_unique<ThrowingSection>(&Parent);
  }
  int32_t LayOut(Canvas&, int32_t, IndentManager&, int32_t&, int32_t&) override {
    throw EProcessError("Table has too many Columns");
  }
};

TEST(SectionList, ProcessErrorRemovesTheSectionAndShowsItsMessage) {
  DocFixture doc;
  doc.Para("a");
  doc.Add(std::make_unique<ThrowingSection>(&doc.list));
  doc.Para("b");
  EXPECT_EQ(doc.Layout(100),
            "TSection y=0 h=22 dh=22 curs=0+1\n"
            "  line x=0 y=0 h=22 \"a\"\n"
            "TSection y=22 h=22 dh=22 curs=1+1\n"
            "  line x=0 y=22 h=22 \"b\"\n");
  ASSERT_EQ(doc.system.messages.size(), 1u);
  EXPECT_EQ(doc.system.messages[0].text, "Table has too many Columns");
}

// A text section whose layout fails after its images were fetched.
class FailingText : public TSection {
 public:
  using TSection::TSection;
  int32_t LayOut(Canvas& c, int32_t Y, IndentManager& m, int32_t& w, int32_t& curs) override {
    TSection::LayOut(c, Y, m, w, curs);
    throw EProcessError("failed");
  }
};

TEST(SectionList, RemovedSectionLeavesNoImageBehind) {
  DocFixture doc;
  doc.list.ImageHandlers.bitmap_request = nullptr;
  doc.list.ImageHandlers.image_request = [&](const std::string&) {
    return doc.module.WaitStream();
  };
  auto s = std::make_unique<FailingText>(doc.list, 0, 1, nullptr, doc.font);
  s->AddImage(Attrs({{symSrc, "later.gif"}}), &doc.list);
  doc.Add(std::move(s));
  EXPECT_EQ(doc.Layout(100), "");
  EXPECT_TRUE(doc.list.MissingImages.empty());
}

TEST(SectionList, EmptyDocumentAndSectionTops) {
  DocFixture doc;
  EXPECT_EQ(doc.list.DoLayout(doc.screen, 300), 0);
  EXPECT_EQ(doc.list.SectionTop(3), 0);
  doc.Para("a");
  doc.Add(std::make_unique<TParagraphSpace>(&doc.list));
  doc.Para("b");
  doc.Layout(300);
  EXPECT_EQ(doc.list.SectionTop(0), 0);
  EXPECT_EQ(doc.list.SectionTop(2), 36);
  EXPECT_EQ(doc.list.SectionTop(99), 36);
  int32_t top = -1;
  int index = -1;
  EXPECT_EQ(doc.list.SectionAt(30, top, index), &doc.list[1]);
  EXPECT_EQ(top, 22);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(doc.list.SectionAt(58, top, index), nullptr);
}

TEST(SectionList, SetFontsRederivesSizesAndColours) {
  DocFixture doc;
  int changes = 0;
  doc.list.OnBackgroundChange = [&] { ++changes; };
  auto s = doc.Section();
  s->AddText(u"a ");
  TMyFont link(doc.font);
  TUrlTarget target{u"x.htm", u""};
  s->HRef(symHref, link, &target);
  s->AddText(u"b ");
  s->HRef(symAEnd, doc.font, nullptr);
  s->AddText(u"c");
  TSection& sec = doc.Add(std::move(s));
  doc.Add(std::make_unique<TParagraphSpace>(&doc.list));
  doc.list.SetFonts("Arial", "Courier New", 24, 0x112233, 0x445566, 0xFFFFFF);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(doc.list.Background, 0xFFFFFFu);
  EXPECT_EQ(doc.list[1].SectionHeight, 28);
  ASSERT_EQ(sec.Fonts->Count(), 3);
  EXPECT_EQ((*sec.Fonts)[0].TheFont->FontColor(), 0x02112233u);
  EXPECT_EQ((*sec.Fonts)[1].TheFont->FontColor(), 0x02445566u);
  EXPECT_EQ((*sec.Fonts)[2].TheFont->FontColor(), 0x02112233u);
  EXPECT_EQ((*sec.Fonts)[0].TheFont->Name(), "Arial");
  EXPECT_EQ(doc.Layout(300),
            "TSection y=0 h=44 dh=44 curs=0+5\n"
            "  line x=0 y=0 h=44 \"a b c\"\n"
            "TParagraphSpace y=44 h=28 dh=28 curs=5+0\n");
}

// "go here now" with a link on "here", a paragraph space, then "abcdefgh ijk" in two lines
// ("abcdefgh " and "ijk") at width 88.
struct HitDoc : DocFixture {
  HitDoc() {
    auto s = Section();
    s->AddText(u"go ");
    TMyFont link(font);
    TUrlTarget target{u"page.htm", u"main"};
    s->HRef(symHref, link, &target);
    s->AddText(u"here");
    s->HRef(symAEnd, font, nullptr);
    s->AddText(u" now");
    Add(std::move(s));
    Add(std::make_unique<TParagraphSpace>(&list));
    Para("abcdefgh ijk");
    Layout(88);  // "go here now" is 11 characters
    list.Paint(canvas, Rect{0, 0, 200, 200}, 88, 0, 0);
  }
  SoftwareCanvas canvas{200, 200};
};

TEST(HitTests, PositionAt) {
  HitDoc doc;
  struct Case {
    int x, y;
    int32_t pos, xr, yr;
    bool in_text;
  };
  const Case cases[] = {
      {20, 5, 2, 16, 0, true},     // before the middle of the third character
      {21, 5, 3, 24, 0, true},     // past its middle
      {200, 5, 11, 88, 0, false},  // beyond the line's end
      {3, 40, 11, 0, 36, true},    // second paragraph, first line
      {9, 60, 21, 8, 58, true},    // second line "ijk"
  };
  for (const Case& c : cases) {
    int32_t xr = -1, yr = -1, caret = -1;
    TCell* cell = nullptr;
    bool in_text = false;
    EXPECT_EQ(doc.list.PositionAt(doc.canvas, c.x, c.y, xr, yr, caret, cell, in_text), c.pos)
        << c.x << "," << c.y;
    EXPECT_EQ(xr, c.xr) << c.x << "," << c.y;
    EXPECT_EQ(yr, c.yr) << c.x << "," << c.y;
    EXPECT_EQ(in_text, c.in_text) << c.x << "," << c.y;
    EXPECT_EQ(caret, 22);
    EXPECT_EQ(cell, &doc.list);
  }
  int32_t xr, yr, caret;
  TCell* cell = nullptr;
  bool in_text;
  EXPECT_EQ(doc.list.PositionAt(doc.canvas, 5, 500, xr, yr, caret, cell, in_text), -1);
}

TEST(HitTests, LinkAt) {
  HitDoc doc;
  struct Case {
    int x, y;
    bool hit;
  };
  // "here" covers x 24..55 on the first line.
  const Case cases[] = {
      {30, 5, true}, {55, 10, true}, {10, 5, false}, {60, 5, false}, {30, 40, false}};
  for (const Case& c : cases) {
    TUrlTarget target;
    TFormControlObj* control = nullptr;
    EXPECT_EQ(doc.list.LinkAt(doc.canvas, c.x, c.y, target, control), c.hit) << c.x;
    if (c.hit) {
      EXPECT_EQ(target.Url, u"page.htm");
      EXPECT_EQ(target.Target, u"main");
    }
  }
}

TEST(HitTests, PositionToPointAndCharAt) {
  HitDoc doc;
  int32_t x = -1, y = -1;
  EXPECT_TRUE(doc.list.PositionToPoint(doc.canvas, 21, x, y));  // "j" of "ijk"
  EXPECT_EQ(x, 8);
  EXPECT_EQ(y, 58);
  EXPECT_TRUE(doc.list.PositionToPoint(doc.canvas, 16, x, y));  // "f"
  EXPECT_EQ(x, 40);
  EXPECT_EQ(y, 36);
  EXPECT_FALSE(doc.list.PositionToPoint(doc.canvas, 23, x, y));  // the end is in no line
  EXPECT_FALSE(doc.list.PositionToPoint(doc.canvas, 40, x, y));
  char16_t ch = 0;
  TSectionBase* obj = nullptr;
  EXPECT_TRUE(doc.list.CharAt(12, ch, obj));
  EXPECT_EQ(ch, u'b');
  EXPECT_EQ(obj, &doc.list[2]);
  EXPECT_FALSE(doc.list.CharAt(23, ch, obj));
}

TEST(Find, WithAndWithoutCase) {
  DocFixture doc;
  doc.Para("Hello WORLD, hello Été");
  doc.Para("world next");
  doc.Layout(1000);
  struct Case {
    int32_t from;
    const char* text;
    bool match_case;
    int32_t found;
  };
  const Case cases[] = {
      {0, "world", false, 6},    {0, "world", true, 22},
      {7, "world", false, 22},   {0, "hello", true, 13},
      {0, "HELLO", false, 0},    {0, "éTÉ", false, 19},
      {0, "WORLD, h", true, 6},  {0, "été", true, -1},
      {0, "téworld", false, -1},  // a match may not span sections
      {0, "xyz", false, -1},     {40, "world", false, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(doc.list.FindString(c.from, Utf8ToUtf16(c.text), c.match_case), c.found) << c.text;
  }
}

// Without match case every script matches by simple case folding; positions count UTF-16 code
// units, so a character beyond the BMP before a match counts two.
TEST(Find, AcrossScripts) {
  struct Case {
    const char* page;
    const char* text;
    bool match_case;
    int32_t found;
  };
  const Case cases[] = {
      {"Он сказал привет", "ПРИВЕТ", false, 10},
      {"Он сказал привет", "ПРИВЕТ", true, -1},
      {"Καλημέρα κόσμος", "ΚΑΛΗΜΈΡΑ", false, 0},
      {"Καλημέρα κόσμος", "ΚΌΣΜΟΣ", false, 9},  // final sigma folds as sigma
      {"𝐀 x 日本語", "日本", false, 5},
      {"𝐀 x 日本語", "𝐀 X", false, 0},
      {"Straße", "STRASSE", false, -1},  // no full folding
  };
  for (const Case& c : cases) {
    DocFixture doc;
    doc.Para(c.page);
    doc.Layout(1000);
    EXPECT_EQ(doc.list.FindString(0, Utf8ToUtf16(c.text), c.match_case), c.found)
        << c.page << " / " << c.text;
  }
}

TEST(Selection, CopyAndCount) {
  HitDoc doc;
  struct Case {
    int32_t b, e;
    const char* text;
  };
  const Case cases[] = {
      {0, 23, "go here now\r\n\r\nabcdefgh \r\nijk\r\n"},
      {12, 21, "bcdefgh \r\ni"},
      {5, 5, ""},
      {9, 12, "ow\r\n\r\na"},
  };
  for (const Case& c : cases) {
    doc.list.SelB = c.b;
    doc.list.SelE = c.e;
    std::string text = Utf16ToUtf8(doc.list.SelectedText());
    EXPECT_EQ(text, c.text) << c.b << ".." << c.e;
    EXPECT_EQ(doc.list.SelectionLength(), static_cast<int32_t>(text.size())) << c.b;
  }
}

TEST(Selection, ListIndentsCopyAsSpacesAndMarkersAreNotCounted) {
  DocFixture doc;
  auto item = std::make_unique<TUListItem>(doc.list, 2, nullptr, doc.font);
  item->AddText(u"it");
  item->AddImage(Attrs({{symWidth, "5"}, {symHeight, "5"}}), &doc.list);
  doc.Add(std::move(item));
  doc.Layout(300);
  doc.list.SelB = 0;
  doc.list.SelE = 3;
  EXPECT_EQ(doc.list.SelectedText(), u"      it\x04\r\n");
  EXPECT_EQ(doc.list.SelectionLength(), 10);
}

TEST(Painting, SubAndSuperscriptShifts) {
  DocFixture doc;
  auto s = doc.Section();
  s->AddText(u"a");
  doc.list.SubSupState = 2;
  s->ChangeFont(doc.font);
  s->AddText(u"b");
  doc.list.SubSupState = 1;
  s->ChangeFont(doc.font);
  s->AddText(u"c");
  doc.Add(std::move(s));
  doc.Layout(200);
  SoftwareCanvas canvas(100, 40);
  doc.list.Paint(canvas, Rect{0, 0, 100, 40}, 100, 0, 0);
  // Normal "a": box rows 7..17 above the baseline 18. Nine-point runs (em 12): superscript
  // raised by line height 16 / 3 = 5, box rows 5..12; subscript lowered by 3 / 2 + 1 = 2,
  // box rows 12..19.
  EXPECT_EQ(canvas.PixelAt(2, 17), 0u);
  EXPECT_NE(canvas.PixelAt(2, 18), 0u);
  EXPECT_EQ(canvas.PixelAt(10, 12), 0u);
  EXPECT_EQ(canvas.PixelAt(10, 5), 0u);
  EXPECT_NE(canvas.PixelAt(10, 13), 0u);
  EXPECT_NE(canvas.PixelAt(10, 4), 0u);
  EXPECT_EQ(canvas.PixelAt(17, 19), 0u);
  EXPECT_NE(canvas.PixelAt(17, 20), 0u);
  EXPECT_NE(canvas.PixelAt(17, 11), 0u);
}

TEST(Painting, SelectionIsDrawnInverted) {
  DocFixture doc;
  doc.list.SetBackground(0xFFFFFF);
  doc.Para("ab");
  doc.Layout(100);
  doc.list.SelB = 1;
  doc.list.SelE = 2;
  SoftwareCanvas canvas(40, 30);
  doc.list.Paint(canvas, Rect{0, 0, 40, 30}, 40, 0, 0);
  EXPECT_EQ(canvas.PixelAt(1, 2), 0xFFFFFFu);   // unselected: background shows above the box
  EXPECT_EQ(canvas.PixelAt(9, 2), 0u);          // selected: the opaque box in the text colour
  EXPECT_EQ(canvas.PixelAt(9, 12), 0xFFFFFFu);  // and the glyph in the page colour
}

TEST(SectionList, CopyLaysOutTheSame) {
  HitDoc doc;
  auto copy = doc.list.CreateCopy();
  copy->DoLayout(doc.screen, 88);
  EXPECT_EQ(DumpLayout(*copy), DumpLayout(doc.list));
}

class FakeControl : public TFormControlObj {
 public:
  int32_t Width() const override { return 20; }
  int32_t Height() const override { return 30; }
  void Show(int32_t, int32_t top) override {
    shown = true;
    shown_top = top;
  }
  void Hide() override {
    shown = false;
    hidden = true;
  }
  void MoveOff() override { moved_off = true; }
  bool HasFocus() const override { return focus; }
  bool shown = false, hidden = false, moved_off = false, focus = false;
  int32_t shown_top = 0;
};

TEST(SectionList, ControlsTakeAPositionAndScrolledOutOnesAreHidden) {
  for (bool focus : {false, true}) {
    DocFixture doc;
    FakeControl control;
    control.focus = focus;
    auto s = doc.Section();
    s->AddText(u"ab");
    s->AddFormControl(&control);
    doc.Add(std::move(s));
    doc.list.FormControls.push_back(&control);
    // The control (30 high, on the bottom of the text area) adds 30 - 22 before the text.
    EXPECT_EQ(doc.Layout(200),
              "TSection y=0 h=30 dh=30 curs=0+3\n"
              "  line x=0 y=0 h=30 \"ab\\x02\"\n"
              "    control TFormControlObj x=16 y=0 w=20 h=30\n");
    SoftwareCanvas canvas(200, 100);
    doc.list.Paint(canvas, Rect{0, 0, 200, 100}, 200, 0, 0);
    EXPECT_TRUE(control.shown);
    EXPECT_EQ(control.shown_top, 0);
    doc.list.SetYOffset(200);
    EXPECT_FALSE(control.ShowIt);
    doc.list.Paint(canvas, Rect{0, 0, 200, 100}, 200, 0, 0);
    EXPECT_EQ(control.hidden, !focus);
    EXPECT_EQ(control.moved_off, focus);
    EXPECT_FALSE(doc.list.ControlsNeedHiding);
  }
}

}  // namespace
}  // namespace brisomel::test
