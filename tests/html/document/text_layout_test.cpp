// Line layout of text sections, checked through the layout dump with the test font
// (8 pixels a character, lines 22 high, descent 4).
#include <gtest/gtest.h>

#include "document_fixture.h"

namespace brisomel::test {
namespace {

struct BreakCase {
  const char* name;
  const char* text;
  int width;
  const char* dump;
};

class LineBreaking : public ::testing::TestWithParam<BreakCase> {};

TEST_P(LineBreaking, Dump) {
  DocFixture doc;
  doc.Para(GetParam().text);
  EXPECT_EQ(doc.Layout(GetParam().width), GetParam().dump);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineBreaking,
    ::testing::Values(
        // Fits "abc d": breaks after the space, which stays on the first line.
        BreakCase{"AfterSpace", "abc def", 40,
                  "TSection y=0 h=44 dh=44 curs=0+7\n"
                  "  line x=0 y=0 h=22 \"abc \"\n"
                  "  line x=0 y=22 h=22 \"def\"\n"},
        BreakCase{"WholeLine", "abc def", 56,
                  "TSection y=0 h=22 dh=22 curs=0+7\n"
                  "  line x=0 y=0 h=22 \"abc def\"\n"},
        // A word wider than the line fills a line by itself, with the spaces after it.
        BreakCase{"LongWord", "abcdefghij  klm", 40,
                  "TSection y=0 h=44 dh=44 curs=0+15\n"
                  "  line x=0 y=0 h=22 \"abcdefghij  \"\n"
                  "  line x=0 y=22 h=22 \"klm\"\n"},
        // The last fitting character is a space: all following spaces join the line.
        BreakCase{"TrailingSpaces", "abcd   efgh", 40,
                  "TSection y=0 h=44 dh=44 curs=0+11\n"
                  "  line x=0 y=0 h=22 \"abcd   \"\n"
                  "  line x=0 y=22 h=22 \"efgh\"\n"},
        // Narrower than one character: still one character a line, so layout ends.
        BreakCase{"TooNarrow", "ab", 3,
                  "TSection y=0 h=22 dh=22 curs=0+2\n"
                  "  line x=0 y=0 h=22 \"ab\"\n"},
        BreakCase{"ThreeLines", "aa bb cc", 24,
                  "TSection y=0 h=66 dh=66 curs=0+8\n"
                  "  line x=0 y=0 h=22 \"aa \"\n"
                  "  line x=0 y=22 h=22 \"bb \"\n"
                  "  line x=0 y=44 h=22 \"cc\"\n"},
        // East Asian text breaks between characters, but never before "。".
        BreakCase{"Japanese", "日本語のテキストです。", 40,
                  "TSection y=0 h=66 dh=66 curs=0+11\n"
                  "  line x=0 y=0 h=22 \"日本語のテ\"\n"
                  "  line x=0 y=22 h=22 \"キストで\"\n"
                  "  line x=0 y=44 h=22 \"す。\"\n"},
        // One character a line: "「" keeps the next one, "」" and small "っ" join the one
        // before.
        BreakCase{"Brackets", "「はい」と言った", 8,
                  "TSection y=0 h=110 dh=110 curs=0+8\n"
                  "  line x=0 y=0 h=22 \"「は\"\n"
                  "  line x=0 y=22 h=22 \"い」\"\n"
                  "  line x=0 y=44 h=22 \"と\"\n"
                  "  line x=0 y=66 h=22 \"言っ\"\n"
                  "  line x=0 y=88 h=22 \"た\"\n"},
        BreakCase{"ChineseWithCommas", "你好，世界。再见", 24,
                  "TSection y=0 h=66 dh=66 curs=0+8\n"
                  "  line x=0 y=0 h=22 \"你好，\"\n"
                  "  line x=0 y=22 h=22 \"世界。\"\n"
                  "  line x=0 y=44 h=22 \"再见\"\n"},
        BreakCase{"Hangul", "안녕하세요 세계", 24,
                  "TSection y=0 h=66 dh=66 curs=0+8\n"
                  "  line x=0 y=0 h=22 \"안녕하\"\n"
                  "  line x=0 y=22 h=22 \"세요 \"\n"
                  "  line x=0 y=44 h=22 \"세계\"\n"},
        // Latin words around ideographs keep their own breaks.
        BreakCase{"Mixed", "see 東京 tower", 56,
                  "TSection y=0 h=44 dh=44 curs=0+12\n"
                  "  line x=0 y=0 h=22 \"see 東京 \"\n"
                  "  line x=0 y=22 h=22 \"tower\"\n"},
        BreakCase{"Cyrillic", "привет мир", 56,
                  "TSection y=0 h=44 dh=44 curs=0+10\n"
                  "  line x=0 y=0 h=22 \"привет \"\n"
                  "  line x=0 y=22 h=22 \"мир\"\n"},
        // Ideographs beyond the BMP take two code units each and are never split.
        BreakCase{"SurrogatePairs", "𠀀𠀁𠀂", 8,
                  "TSection y=0 h=66 dh=66 curs=0+6\n"
                  "  line x=0 y=0 h=22 \"𠀀\"\n"
                  "  line x=0 y=22 h=22 \"𠀁\"\n"
                  "  line x=0 y=44 h=22 \"𠀂\"\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextLayout, AddTextDropsLeadingSpacesAndStopsPastTheLimit) {
  DocFixture doc;
  TSection& s = doc.Para(" one");
  s.AddText(u" two ");
  s.AddText(u" three");
  EXPECT_EQ(s.Buff, u"one two three");
  s.AddText(std::u16string(TSection::kMaxSectionText, u'x'));
  int32_t len = s.Len;
  s.AddText(u"more");
  EXPECT_EQ(s.Len, len);
  // Stray marker bytes in the text do not pose as objects.
  DocFixture doc2;
  EXPECT_EQ(doc2.Para("a\x04"
                      "b\x02")
                .Buff,
            u"a?b?");
}

TEST(TextLayout, EmptyParagraphIsOneLineHigh) {
  DocFixture doc;
  auto s = doc.Section();
  EXPECT_EQ(s->CheckEmpty(), 1);
  doc.Add(std::move(s));
  EXPECT_EQ(doc.Layout(200),
            "TSection y=0 h=22 dh=22 curs=0+1\n"
            "  line x=0 y=0 h=22 \" \"\n");
}

TEST(TextLayout, Justification) {
  DocFixture doc;
  doc.Para("abcd ", 2);
  doc.Para("abcd ", 3);
  // Centred: (0 + 100 - 32) / 2; right: 100 - 32 - 1 (trailing space not counted).
  EXPECT_EQ(doc.Layout(100),
            "TSection y=0 h=22 dh=22 curs=0+5\n"
            "  line x=34 y=0 h=22 \"abcd \"\n"
            "TSection y=22 h=22 dh=22 curs=5+5\n"
            "  line x=67 y=22 h=22 \"abcd \"\n");
}

TEST(TextLayout, BreakBeforeAnObject) {
  DocFixture doc;
  auto s = doc.Section();
  s->AddText(u"abcd");
  s->AddImage(Attrs({{symWidth, "16"}, {symHeight, "16"}}), &doc.list);
  s->AddText(u"ef");
  doc.Add(std::move(s));
  // The image does not fit after "abcd" and starts the next line; it sits on the baseline.
  EXPECT_EQ(doc.Layout(40),
            "TSection y=0 h=44 dh=44 curs=0+7\n"
            "  line x=0 y=0 h=22 \"abcd\"\n"
            "  line x=0 y=22 h=22 \"\\x04ef\"\n"
            "    image x=0 y=24 w=16 h=16 align=2\n");
}

TEST(TextLayout, FontRunsSetTheLineHeight) {
  DocFixture doc;
  auto s = doc.Section();
  s->AddText(u"ab ");
  TMyFont big(doc.font);
  big.SetRelSize(doc.list, 24);  // 32-pixel em: line 44, descent 8, 16 a character
  s->ChangeFont(big);
  s->AddText(u"cd");
  doc.Add(std::move(s));
  EXPECT_EQ(doc.Layout(40),
            "TSection y=0 h=66 dh=66 curs=0+5\n"
            "  line x=0 y=0 h=22 \"ab \"\n"
            "  line x=0 y=22 h=44 \"cd\"\n");
}

struct AlignCase {
  const char* align;
  int height;
  const char* dump;
};

class ImageAlignment : public ::testing::TestWithParam<AlignCase> {};

TEST_P(ImageAlignment, RaisesTheLine) {
  DocFixture doc;
  auto s = doc.Section();
  s->AddText(u"ab");
  s->AddImage(Attrs({{symWidth, "10"},
                     {symHeight, std::to_string(GetParam().height)},
                     {symAlign, GetParam().align}}),
              &doc.list);
  doc.Add(std::move(s));
  EXPECT_EQ(doc.Layout(200), GetParam().dump);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageAlignment,
    ::testing::Values(
        // Bottom: space before = 40 + 4 - 22; the picture's bottom on the baseline (22 + 18).
        AlignCase{"bottom", 40,
                  "TSection y=0 h=44 dh=44 curs=0+3\n"
                  "  line x=0 y=0 h=44 \"ab\\x04\"\n"
                  "    image x=16 y=0 w=10 h=40 align=2\n"},
        // Top: the picture hangs from the text's top, space after = 40 - 22.
        AlignCase{"top", 40,
                  "TSection y=0 h=40 dh=40 curs=0+3\n"
                  "  line x=0 y=0 h=40 \"ab\\x04\"\n"
                  "    image x=16 y=0 w=10 h=40 align=0\n"},
        // Middle: (40 - 22) / 2 = 9 before and after; centre on the font cell's centre:
        // baseline 27 + descent 4 - cell 20 / 2 - 40 / 2 = 1.
        AlignCase{"absmiddle", 40,
                  "TSection y=0 h=40 dh=40 curs=0+3\n"
                  "  line x=0 y=0 h=40 \"ab\\x04\"\n"
                  "    image x=16 y=1 w=10 h=40 align=1\n"},
        // A small picture does not change the line: 18 + 4 - 10 - 3.
        AlignCase{"middle", 6,
                  "TSection y=0 h=22 dh=22 curs=0+3\n"
                  "  line x=0 y=0 h=22 \"ab\\x04\"\n"
                  "    image x=16 y=9 w=10 h=6 align=1\n"}),
    [](const auto& info) { return std::string(info.param.align); });

TEST(Floats, LeftFloatAtTheStartNarrowsLinesUntilItsBottom) {
  DocFixture doc;
  auto s = doc.Section();
  s->AddImage(Attrs({{symWidth, "100"}, {symHeight, "50"}, {symAlign, "left"}}), &doc.list);
  s->AddText(u" aaaa bbbb cccc dddd");
  doc.Add(std::move(s));
  doc.Para("eeee ffff gggg hhhh iiii");
  // Beside the float 95 pixels remain (100 + HSPACE 5 taken): 11 characters a line.
  EXPECT_EQ(doc.Layout(200),
            "TSection y=0 h=44 dh=50 curs=0+20\n"
            "  line x=105 y=0 h=22 \"\\x04aaaa bbbb \"\n"
            "    image x=0 y=0 w=100 h=50 align=3\n"
            "  line x=105 y=22 h=22 \"cccc dddd\"\n"
            "TSection y=44 h=44 dh=44 curs=20+24\n"
            "  line x=105 y=44 h=22 \"eeee ffff \"\n"
            "  line x=0 y=66 h=22 \"gggg hhhh iiii\"\n");
}

TEST(Floats, RightFloatAndFloatMetInMidLine) {
  DocFixture doc;
  auto s = doc.Section();
  s->AddText(u"aa ");
  // Met after text: placed below the current line, so only later lines narrow.
  s->AddImage(Attrs({{symWidth, "100"}, {symHeight, "30"}, {symAlign, "right"}}), &doc.list);
  s->AddText(u"bbbbbbbbbb cccccccccc dddddddddd eeee");
  doc.Add(std::move(s));
  // Beside the float 95 pixels remain on the right side's account: 11 characters.
  EXPECT_EQ(doc.Layout(200),
            "TSection y=0 h=66 dh=66 curs=0+41\n"
            "  line x=0 y=0 h=22 \"aa \\x04bbbbbbbbbb cccccccccc \"\n"
            "    image x=100 y=22 w=100 h=30 align=4\n"
            "  line x=0 y=22 h=22 \"dddddddddd \"\n"
            "  line x=0 y=44 h=22 \"eeee\"\n");
}

TEST(Floats, TallFloatSetsTheDocumentHeightAndClearMovesBelowIt) {
  DocFixture doc;
  auto s = doc.Section();
  s->AddImage(Attrs({{symWidth, "50"}, {symHeight, "100"}, {symAlign, "left"}}), &doc.list);
  s->AddText(u"x");
  doc.Add(std::move(s));
  doc.Layout(200);
  EXPECT_EQ(doc.height, 100);

  auto cleared = doc.Section();
  cleared->ProcessClear(Attrs({{symClear, "left"}}));
  cleared->AddText(u"y");
  doc.Add(std::move(cleared));
  auto right = doc.Section();
  right->ProcessClear(Attrs({{symClear, "right"}}));  // no right float: no space
  right->AddText(u"z");
  doc.Add(std::move(right));
  EXPECT_EQ(doc.Layout(200),
            "TSection y=0 h=22 dh=100 curs=0+2\n"
            "  line x=55 y=0 h=22 \"\\x04x\"\n"
            "    image x=0 y=0 w=50 h=100 align=3\n"
            "TSection y=22 h=101 dh=101 curs=2+1\n"
            "  line x=55 y=22 h=79 \"\"\n"
            "  line x=0 y=101 h=22 \"y\"\n"
            "TSection y=123 h=22 dh=22 curs=3+1\n"
            "  line x=0 y=123 h=22 \"z\"\n");
  EXPECT_EQ(doc.height, 145);
}

TEST(TextLayout, PreformattedKeepsSpacesAndDoesNotWrap) {
  DocFixture doc;
  auto pre = std::make_unique<TPreFormated>(doc.list, 0, doc.font);
  pre->AddText(u"  a   b");
  doc.Add(std::move(pre));
  doc.Add(std::make_unique<TPreFormated>(doc.list, 0, doc.font));  // gets one space
  int32_t max_width = 0, curs = 0;
  doc.list.LayOut(doc.screen, 0, 20, max_width, curs);
  EXPECT_EQ(DumpLayout(doc.list),
            "TPreFormated y=0 h=22 dh=22 curs=0+7\n"
            "  line x=0 y=0 h=22 \"  a   b\"\n"
            "TPreFormated y=22 h=22 dh=22 curs=7+1\n"
            "  line x=0 y=22 h=22 \" \"\n");
  EXPECT_EQ(max_width, 56);
}

TEST(TextLayout, MeasureWidths) {
  DocFixture doc;
  TSection& s = doc.Para("aa bbbb c");
  s.AddImage(Attrs({{symWidth, "20"}, {symHeight, "5"}, {symAlign, "left"}, {symHspace, "3"}}),
             &doc.list);
  int32_t mn = 0, mx = 0;
  s.MeasureWidths(doc.screen, mn, mx);
  EXPECT_EQ(mn, 32 + 23);     // widest word + float with its gap
  EXPECT_EQ(mx, 9 * 8 + 23);  // whole text + float
}

}  // namespace
}  // namespace brisomel::test

namespace brisomel::test {
namespace {

TEST(Floats, FloatsStackedInARowKeepOneRecord) {
  DocFixture doc;
  for (int i = 0; i < 2000; ++i) {
    auto s = doc.Section();
    s->AddImage(Attrs({{symWidth, "10"}, {symHeight, "10"}, {symAlign, "left"}}), &doc.list);
    doc.Add(std::move(s));
  }
  doc.Para("x");
  doc.Layout(100);
  // Each float sits right of the one before; only the outermost still decides the edge.
  EXPECT_EQ(doc.list.IMgr.L.size(), 1u);
  EXPECT_EQ(doc.list.IMgr.L[0].X, 2000 * 15);
  EXPECT_EQ(doc.height, 22);
  auto& last = static_cast<TSection&>(doc.list[1999]);
  EXPECT_EQ(last.Images[0].FloatX, 1999 * 15);
}

}  // namespace
}  // namespace brisomel::test
