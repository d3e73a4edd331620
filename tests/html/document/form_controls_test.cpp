// Form controls through the parser and the in-memory controls: sizes, initial and reset
// states, submission pairs of every kind (with window controls and without), the events a user
// causes, placing on the page, printing, and malformed form markup.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "form_page.h"
#include "text/utf.h"

namespace brisomel::test {
namespace {

// --- Sizes ---

struct SizeCase {
  const char* name;
  std::string html;
  const char* class_name;
  int32_t width, height;
  bool windows = true;
};

class ControlSize : public testing::TestWithParam<SizeCase> {};

TEST_P(ControlSize, MeasuresFromItsFont) {
  const SizeCase& c = GetParam();
  FormPage page(c.html, c.windows);
  ASSERT_FALSE(page.list.FormControls.empty());
  TFormControlObj& control = page.Control(0);
  EXPECT_STREQ(control.ClassName(), c.class_name);
  EXPECT_EQ(control.Width(), c.width);
  EXPECT_EQ(control.Height(), c.height);
  page.Paint();
  if (control.TheControl) {
    EXPECT_EQ(control.TheControl->Bounds().width(), c.width);
    EXPECT_EQ(control.TheControl->Bounds().height(), c.height);
  }
}

// Edits and lists measure "A" at 7 x 16, captions at 6 x 13; memos and lists get a frame of 2
// and memos scroll bars of 16 around their client area.
INSTANTIATE_TEST_SUITE_P(
    Forms, ControlSize,
    testing::Values(
        SizeCase{"EditDefault", "<INPUT>", "TEditFormControlObj", 7 * 20 + 5, 20},
        SizeCase{"EditSize", "<INPUT TYPE=text SIZE=5>", "TEditFormControlObj", 40, 20},
        SizeCase{"PasswordAnyCase", "<INPUT TYPE=PassWord SIZE=2>", "TEditFormControlObj", 19, 20},
        SizeCase{"UnknownTypeIsEdit", "<INPUT TYPE=colour SIZE=1>", "TEditFormControlObj", 12, 20},
        SizeCase{"HugeSizeHeld", "<INPUT SIZE=99999999>", "TEditFormControlObj", 32000, 20},
        SizeCase{"SubmitCaption", "<INPUT TYPE=submit>", "TButtonFormControlObj", 6 * 6 + 20,
                 13 + 8},
        SizeCase{"ResetValue", "<INPUT TYPE=reset VALUE=\"Clear all\">", "TButtonFormControlObj",
                 9 * 6 + 20, 21},
        SizeCase{"CheckBox", "<INPUT TYPE=checkbox>", "TCheckBoxFormControlObj", 13, 13},
        SizeCase{"RadioPanel", "<INPUT TYPE=radio>", "TRadioButtonFormControlObj", 13, 14},
        SizeCase{"TextAreaDefault", "<TEXTAREA></TEXTAREA>", "TTextAreaFormControlObj",
                 7 * 30 + 5 + 4 + 16, 16 * 5 + 5 + 4 + 16},
        SizeCase{"TextAreaWrapHasNoHorizontalBar", "<TEXTAREA ROWS=2 COLS=10 WRAP=Soft></TEXTAREA>",
                 "TTextAreaFormControlObj", 75 + 4 + 16, 37 + 4},
        SizeCase{"TextAreaNegativeRows", "<TEXTAREA ROWS=-3 WRAP=hard></TEXTAREA>",
                 "TTextAreaFormControlObj", 235, 4},
        SizeCase{"ListSizeThree", "<SELECT SIZE=3><OPTION>a<OPTION>b</SELECT>",
                 "TListBoxFormControlObj", 7 * 3 + 15 + 4, 16 * 3 + 4},
        SizeCase{"ListTwelveOptionsShowsEight",
                 "<SELECT MULTIPLE><OPTION>Option 1<OPTION>2<OPTION>3<OPTION>4<OPTION>5<OPTION>6"
                 "<OPTION>7<OPTION>8<OPTION>9<OPTION>10<OPTION>11<OPTION>Option 12</SELECT>",
                 "TListBoxFormControlObj", 7 * 9 + 15 + 4, 16 * 8 + 4},
        SizeCase{"ListOneOption", "<SELECT MULTIPLE><OPTION>a</SELECT>", "TListBoxFormControlObj",
                 40, 16 + 4},
        SizeCase{"SizeOneIsDropDown", "<SELECT SIZE=1><OPTION>Long option</SELECT>",
                 "TComboFormControlObj", 6 * 11 + 30, 22},
        SizeCase{"ComboShortOptions", "<SELECT><OPTION>x</SELECT>", "TComboFormControlObj",
                 6 * 3 + 30, 22},
        SizeCase{"EditWithoutWindow", "<INPUT SIZE=2>", "TEditFormControlObj", 19, 20, false},
        SizeCase{"TextAreaWithoutWindow", "<TEXTAREA ROWS=1 COLS=1></TEXTAREA>",
                 "TTextAreaFormControlObj", 12 + 4, 21 + 4, false},
        SizeCase{"ComboWithoutWindow", "<SELECT><OPTION>x</SELECT>", "TComboFormControlObj", 48,
                 16 + 6, false}),
    [](const testing::TestParamInfo<SizeCase>& info) { return info.param.name; });

// --- Initial state and reset ---

std::string Join(const std::vector<std::string>& items, const char* separator = ",") {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) out += (i ? separator : "") + items[i];
  return out;
}

// What a window control shows, in short.
std::string State(const MemoryControl& c) {
  switch (c.Kind()) {
    case TControlKind::ckEdit:
      return "edit " + Utf16ToUtf8(c.Text());
    case TControlKind::ckPassword:
      return "password " + Utf16ToUtf8(c.Text());
    case TControlKind::ckButton:
      return "button " + Utf16ToUtf8(c.Text());
    case TControlKind::ckCheckBox:
      return c.Checked() ? "checkbox on" : "checkbox off";
    case TControlKind::ckRadioButton:
      return c.Checked() ? "radio on" : "radio off";
    case TControlKind::ckMemo: {
      std::vector<std::string> lines;
      for (int i = 0; i < c.LineCount(); ++i) lines.push_back(Utf16ToUtf8(c.Line(i)));
      return "memo " + Join(lines, "|") + " top=" + std::to_string(c.TopIndex());
    }
    case TControlKind::ckListBox:
    case TControlKind::ckComboBox: {
      std::vector<std::string> items, selected;
      for (int i = 0; i < c.ItemCount(); ++i) {
        items.push_back(Utf16ToUtf8(c.ItemText(i)));
        if (c.Selected(i)) selected.push_back(std::to_string(i));
      }
      return std::string(c.Kind() == TControlKind::ckListBox ? "list " : "combo ") + Join(items) +
             " current=" + std::to_string(c.ItemIndex()) + " selected=" + Join(selected) +
             " top=" + std::to_string(c.TopIndex());
    }
  }
  return "";
}

struct ResetCase {
  const char* name;
  std::string html;
  std::string initial;
  std::function<void(MemoryControl&)> disturb;
};

class ControlReset : public testing::TestWithParam<ResetCase> {};

TEST_P(ControlReset, StartsInItsStateAndResetReturnsToIt) {
  const ResetCase& c = GetParam();
  FormPage page(c.html);
  MemoryControl& window = page.Window(0);
  EXPECT_EQ(State(window), c.initial);
  c.disturb(window);
  EXPECT_NE(State(window), c.initial);
  page.Form().ResetControls();
  EXPECT_EQ(State(window), c.initial);
}

const auto kType = [](MemoryControl& c) { c.Type("zz"); };
const auto kClick = [](MemoryControl& c) { c.Click(); };
const auto kPickFirst = [](MemoryControl& c) { c.PickItem(0); };
const auto kPickSecond = [](MemoryControl& c) { c.PickItem(1); };
const auto kRename = [](MemoryControl& c) { c.SetText(u"other"); };

INSTANTIATE_TEST_SUITE_P(
    Forms, ControlReset,
    testing::Values(
        ResetCase{"Edit", "<INPUT NAME=a VALUE=\"Ann Lee\">", "edit Ann Lee", kType},
        ResetCase{"EditMaxLength", "<INPUT VALUE=abcdef MAXLENGTH=3>", "edit abc", kRename},
        ResetCase{"Password", "<INPUT TYPE=password VALUE=pw>", "password pw", kType},
        ResetCase{"CheckBoxChecked", "<INPUT TYPE=checkbox CHECKED>", "checkbox on", kClick},
        ResetCase{"CheckBox", "<INPUT TYPE=checkbox>", "checkbox off", kClick},
        ResetCase{"Radio", "<INPUT TYPE=radio NAME=r>", "radio off", kClick},
        ResetCase{"SubmitCaption", "<INPUT TYPE=submit>", "button Submit", kRename},
        ResetCase{"ResetCaption", "<INPUT TYPE=reset>", "button Reset", kRename},
        ResetCase{"ButtonCaption", "<INPUT TYPE=button>", "button Button", kRename},
        ResetCase{"EmptyValueCaption", "<INPUT TYPE=submit VALUE=\"\">", "button ", kRename},
        ResetCase{"TextArea", "<TEXTAREA>first\nsecond</TEXTAREA>", "memo first|second top=0",
                  kType},
        ResetCase{"TextAreaLineEndFirst", "<TEXTAREA>\nx</TEXTAREA>", "memo |x top=0", kType},
        ResetCase{"ListLastSelectedIsCurrent",
                  "<SELECT SIZE=3><OPTION>a<OPTION SELECTED>b<OPTION SELECTED>c</SELECT>",
                  "list a,b,c current=2 selected=2 top=0", kPickFirst},
        ResetCase{"ListFirstWhenNoneSelected", "<SELECT SIZE=3><OPTION>a<OPTION>b</SELECT>",
                  "list a,b current=0 selected=0 top=0", kPickSecond},
        ResetCase{"MultipleFollowsOptions",
                  "<SELECT MULTIPLE><OPTION SELECTED>a<OPTION>b<OPTION SELECTED>c</SELECT>",
                  "list a,b,c current=0 selected=0,2 top=0", kPickSecond},
        ResetCase{"MultipleNoneSelected", "<SELECT MULTIPLE><OPTION>a<OPTION>b</SELECT>",
                  "list a,b current=0 selected= top=0", kPickSecond},
        ResetCase{"ComboLastSelected",
                  "<SELECT><OPTION SELECTED>a<OPTION>b<OPTION SELECTED>c</SELECT>",
                  "combo a,b,c current=2 selected=2 top=0", kPickFirst},
        ResetCase{"ComboFirst", "<SELECT><OPTION>a<OPTION>b</SELECT>",
                  "combo a,b current=0 selected=0 top=0", kPickSecond}),
    [](const testing::TestParamInfo<ResetCase>& info) { return info.param.name; });

// --- Submission pairs ---

struct PairsCase {
  const char* name;
  std::string html;
  std::string pairs;  // one per line
};

class ControlPairs : public testing::TestWithParam<PairsCase> {};

TEST_P(ControlPairs, SubmitsTheInitialState) {
  const PairsCase& c = GetParam();
  for (bool windows : {true, false}) {
    FormPage page(c.html, windows);
    EXPECT_EQ(page.Pairs(), c.pairs) << (windows ? "with" : "without") << " window controls";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ControlPairs,
    testing::Values(
        PairsCase{"Edit", "<INPUT NAME=q VALUE=\"two words\">", "q=two words\n"},
        PairsCase{"EditEmpty", "<INPUT NAME=q>", "q=\n"},
        PairsCase{"EditMaxLength", "<INPUT NAME=q VALUE=abcdef MAXLENGTH=4>", "q=abcd\n"},
        PairsCase{"Password", "<INPUT TYPE=password NAME=p VALUE=s3>", "p=s3\n"},
        PairsCase{"UncheckedCheckBox", "<INPUT TYPE=checkbox NAME=c>", ""},
        PairsCase{"CheckedWithoutValue", "<INPUT TYPE=checkbox NAME=c CHECKED>", "c=On\n"},
        PairsCase{"CheckedWithValue", "<INPUT TYPE=checkbox NAME=c VALUE=yes CHECKED>", "c=yes\n"},
        PairsCase{"Radios",
                  "<INPUT TYPE=radio NAME=r VALUE=a><INPUT TYPE=radio NAME=r VALUE=b CHECKED>",
                  "r=b\n"},
        PairsCase{"Hidden", "<INPUT TYPE=hidden NAME=h VALUE=42>", "h=42\n"},
        PairsCase{"ButtonsGiveNone",
                  "<INPUT TYPE=submit NAME=s VALUE=Go><INPUT TYPE=reset NAME=r>"
                  "<INPUT TYPE=button NAME=b VALUE=x>",
                  ""},
        PairsCase{"ImageBeforeAClick", "<INPUT TYPE=image NAME=i SRC=x.gif>", ""},
        PairsCase{"TextAreaLines", "<TEXTAREA NAME=t>one\ntwo\nthree</TEXTAREA>",
                  "t=one\nt=two\nt=three\n"},
        PairsCase{"TextAreaKeepsTags", "<TEXTAREA NAME=t>a <B>b</B> &amp; c</TEXTAREA>",
                  "t=a <B>b</B> & c\n"},
        PairsCase{"ListCurrentItem",
                  "<SELECT NAME=l SIZE=2><OPTION VALUE=1>one<OPTION>two</SELECT>", "l=1\n"},
        PairsCase{"ListSelectedText",
                  "<SELECT NAME=l SIZE=2><OPTION>one<OPTION SELECTED>two</SELECT>", "l=two\n"},
        PairsCase{"ListMultiple",
                  "<SELECT NAME=m MULTIPLE><OPTION SELECTED VALUE=x>one<OPTION>two"
                  "<OPTION SELECTED>three</SELECT>",
                  "m=x\nm=three\n"},
        PairsCase{"ListMultipleNone", "<SELECT NAME=m MULTIPLE><OPTION>one</SELECT>", ""},
        PairsCase{"ComboTrimsText", "<SELECT NAME=c><OPTION>  Red  <OPTION>Green</SELECT>",
                  "c=Red\n"},
        PairsCase{"ComboEmptyValue",
                  "<SELECT NAME=c><OPTION>Red<OPTION SELECTED VALUE=\"\">Green</SELECT>", "c=\n"},
        PairsCase{"EmptyOptionsDropped", "<SELECT NAME=c><OPTION><OPTION> </OPTION>b</SELECT>", ""},
        PairsCase{"EmptyOptionBeforeText", "<SELECT NAME=c><OPTION><OPTION>b</SELECT>", "c=b\n"},
        PairsCase{"DocumentOrder",
                  "<FORM><INPUT TYPE=hidden NAME=h VALUE=1><TEXTAREA NAME=t>x</TEXTAREA>"
                  "<INPUT NAME=e VALUE=y><INPUT TYPE=checkbox NAME=c CHECKED></FORM>",
                  "h=1\nt=x\ne=y\nc=On\n"}),
    [](const testing::TestParamInfo<PairsCase>& info) { return info.param.name; });

// What the user typed is submitted in the page's encoding; a character the encoding cannot
// hold goes as "&#NNNN;" with its decimal code point.
TEST(ControlPairs, EncodeForThePagesEncoding) {
  struct Case {
    Encoding encoding;
    const char* typed;  // UTF-8
    std::string sent;
  };
  const Case cases[] = {
      {Encoding::kUtf8, "Привет ☃ 日本", "q=Привет ☃ 日本"},
      {Encoding::kWindows1251, "Привет ☃", "q=\xCF\xF0\xE8\xE2\xE5\xF2 &#9731;"},
      {Encoding::kWindows1252, "café ω", "q=caf\xE9 &#969;"},
      {Encoding::kUtf16Le, "é", "q=é"},  // a UTF-16 page submits UTF-8
  };
  for (const Case& c : cases) {
    FormPage page("<INPUT NAME=q>");
    page.list.PageEncoding = c.encoding;
    page.Window(0).Type(c.typed);
    EXPECT_EQ(page.Pairs(), c.sent + "\n") << EncodingName(c.encoding);
  }
}

// The page's own encoding, as reading it found it, is the one its forms submit in.
TEST(ControlPairs, TheParsedPageSetsTheEncoding) {
  FormPage page(
      "<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=windows-1251\">"
      "<INPUT NAME=q>");
  EXPECT_EQ(page.list.PageEncoding, Encoding::kWindows1251);
  page.Window(0).Type("Привет");
  EXPECT_EQ(page.Pairs(), "q=\xCF\xF0\xE8\xE2\xE5\xF2\n");
}

// --- Forms and events ---

TEST(Form, ReadsItsAttributesAndControlsWithoutAFormGetAnImplicitOne) {
  FormPage page(
      "<INPUT NAME=a><FORM METHOD=POSTED ACTION=\"go.cgi\" TARGET=main ENCTYPE=text/plain>"
      "<INPUT NAME=b><INPUT TYPE=hidden NAME=h></FORM><INPUT NAME=c><INPUT NAME=d>");
  ASSERT_EQ(page.list.Forms.size(), 3u);
  EXPECT_EQ(page.Form(0).Method, u"Get");
  EXPECT_EQ(page.Form(0).Action, u"");
  EXPECT_EQ(page.Pairs(0), "a=\n");
  EXPECT_EQ(page.Form(1).Method, u"POST");
  EXPECT_EQ(page.Form(1).Action, u"go.cgi");
  EXPECT_EQ(page.Form(1).Target, u"main");
  EXPECT_EQ(page.Form(1).EncType, u"text/plain");
  EXPECT_EQ(page.Form(1).NonHiddenCount, 1);
  EXPECT_EQ(page.Pairs(1), "b=\nh=\n");
  EXPECT_EQ(page.Pairs(2), "c=\nd=\n");
  EXPECT_EQ(page.list.FormControls.size(), 5u);
}

TEST(Form, EnterSubmitsAFormOfOneField) {
  FormPage one(
      "<FORM ACTION=a><INPUT NAME=q VALUE=x><INPUT TYPE=hidden NAME=h VALUE=1>"
      "<INPUT TYPE=submit NAME=go></FORM>");
  one.Window(0).PressReturn();
  ASSERT_EQ(one.submissions.size(), 1u);
  EXPECT_EQ(one.submissions[0].Action, "a");
  EXPECT_EQ(Join(one.submissions[0].Pairs), "q=x,h=1");  // no Extra

  FormPage two("<FORM><INPUT NAME=q><INPUT NAME=r><INPUT TYPE=submit></FORM>");
  two.Window(0).Type("abc\r");
  EXPECT_TRUE(two.submissions.empty());
}

TEST(Form, SubmitButtonAddsItsNameAndCaption) {
  FormPage page(
      "<FORM ACTION=x METHOD=post TARGET=t ENCTYPE=e><INPUT NAME=q VALUE=1>"
      "<INPUT TYPE=submit NAME=go VALUE=Send><INPUT TYPE=submit VALUE=Plain></FORM>");
  page.Window(0).Type("2");
  page.Window(1).Click();
  page.Window(2).Click();
  ASSERT_EQ(page.submissions.size(), 2u);
  EXPECT_EQ(Join(page.submissions[0].Pairs), "q=12,go=Send");
  EXPECT_EQ(page.submissions[0].Method, "post");
  EXPECT_EQ(page.submissions[0].Target, "t");
  EXPECT_EQ(page.submissions[0].EncType, "e");
  EXPECT_EQ(Join(page.submissions[1].Pairs), "q=12");
}

TEST(Form, NothingIsSubmittedWithoutAHandler) {
  FormPage page("<FORM><INPUT NAME=q><INPUT TYPE=submit></FORM>");
  page.list.FormSubmitHandler = nullptr;
  page.Window(1).Click();
  page.Window(0).PressReturn();
  EXPECT_TRUE(page.submissions.empty());
}

TEST(Form, ResetButtonRestoresEveryControl) {
  FormPage page(
      "<FORM><INPUT NAME=q VALUE=a><INPUT TYPE=checkbox NAME=c>"
      "<SELECT NAME=s><OPTION>x<OPTION>y</SELECT><INPUT TYPE=reset ONCLICK=\"r()\"></FORM>");
  page.Window(0).Type("bc");
  page.Window(1).Click();
  page.Window(2).PickItem(1);
  EXPECT_EQ(page.Pairs(), "q=abc\nc=On\ns=y\n");
  page.Window(3).Click();
  EXPECT_EQ(page.Pairs(), "q=a\ns=x\n");
  EXPECT_TRUE(page.submissions.empty());
}

TEST(Form, RadioGroupsIgnoreCaseAndANamelessRadioStandsAlone) {
  FormPage page(
      "<FORM><INPUT TYPE=radio NAME=Size VALUE=s CHECKED ONCLICK=one>"
      "<INPUT TYPE=radio NAME=SIZE VALUE=m><INPUT TYPE=radio NAME=other VALUE=o CHECKED>"
      "<INPUT TYPE=radio VALUE=n1 CHECKED><INPUT TYPE=radio VALUE=n2></FORM>");
  page.Window(1).Click();
  EXPECT_EQ(page.Pairs(), "SIZE=m\nother=o\n=n1\n");
  page.Window(4).Click();
  EXPECT_EQ(page.Pairs(), "SIZE=m\nother=o\n=n1\n=n2\n");
  page.Window(0).Click();
  EXPECT_EQ(page.Pairs(), "Size=s\nother=o\n=n1\n=n2\n");
  EXPECT_EQ(Join(page.clicks), ",,one");
}

TEST(Form, ObjectClicksCarryTheOnClickText) {
  FormPage page(
      "<INPUT TYPE=button ONCLICK=\"b()\"><INPUT TYPE=checkbox ONCLICK=\"c()\">"
      "<INPUT TYPE=radio ONCLICK=\"r()\">");
  for (size_t i = 0; i < 3; ++i) page.Window(i).Click();
  EXPECT_EQ(Join(page.clicks), "b(),c(),r()");
  EXPECT_TRUE(page.submissions.empty());
}

TEST(Form, ImageInputSubmitsItsClickPointOnce) {
  for (const auto& [name, prefix] : {std::pair{" NAME=map", "map."}, std::pair{"", ""}}) {
    FormPage page("<FORM><INPUT NAME=q VALUE=v><INPUT TYPE=image SRC=pic.gif" + std::string(name) +
                  "></FORM>");
    auto& image = page.As<TImageFormControlObj>(1);
    image.SetClickOffsets(3, 4);
    image.ImageClick();
    ASSERT_EQ(page.submissions.size(), 1u);
    EXPECT_EQ(Join(page.submissions[0].Pairs),
              "q=v," + std::string(prefix) + "x=3," + std::string(prefix) + "y=4");
    EXPECT_EQ(image.XPos, -1);
    EXPECT_EQ(page.Pairs(), "q=v\n");
  }
}

TEST(Form, ImageInputIsAnImageOfItsSection) {
  FormPage page("<FORM><INPUT TYPE=image SRC=pic.gif ALT=Go><INPUT TYPE=hidden NAME=h></FORM>");
  auto& section = dynamic_cast<TSection&>(page.list[0]);
  ASSERT_EQ(section.Images.Count(), 1);
  EXPECT_EQ(section.Images[0].FormControl, &page.Control(0));
  // Neither takes a control marker.
  EXPECT_TRUE(section.FormControls.empty());
  EXPECT_EQ(section.Buff, u"\x04");
}

// --- Placing on the page ---

TEST(FormPlacement, ControlsWaitAboveThePageThenTakeTheirPlaces) {
  FormPage page("Name: <INPUT NAME=q SIZE=4> <INPUT TYPE=checkbox>");
  MemoryControl& edit = page.Window(0);
  MemoryControl& box = page.Window(1);
  EXPECT_EQ(edit.Bounds().top, -400);
  EXPECT_EQ(DumpLayout(page.list),
            "TSection y=0 h=22 dh=22 curs=0+9\n"
            "  line x=0 y=0 h=22 \"Name: \\x02 \\x02\"\n"
            "    control TEditFormControlObj x=48 y=2 w=33 h=20\n"
            "    control TCheckBoxFormControlObj x=89 y=5 w=13 h=13\n");
  page.Paint();
  EXPECT_EQ(edit.Bounds(), (Rect{48, 2, 81, 22}));
  EXPECT_EQ(box.Bounds(), (Rect{89, 5, 102, 18}));  // on the baseline, 4 above the bottom
  EXPECT_TRUE(edit.Visible());
  page.Paint(10);
  EXPECT_EQ(edit.Bounds(), (Rect{48, -8, 81, 12}));
}

TEST(FormPlacement, TallControlsRaiseTheirLine) {
  FormPage page("a<SELECT SIZE=4><OPTION>x</SELECT>b");
  // 4 lines of 16 and the frame: 68 high, standing on the bottom of the text area.
  EXPECT_EQ(DumpLayout(page.list),
            "TSection y=0 h=68 dh=68 curs=0+3\n"
            "  line x=0 y=0 h=68 \"a\\x02b\"\n"
            "    control TListBoxFormControlObj x=8 y=0 w=40 h=68\n");
}

TEST(FormPlacement, UndrawnControlsMoveAwayWhileAControlHasTheFocusAndHideAfter) {
  // The text area takes the whole 400-pixel window: the last edit is not drawn.
  FormPage page("<INPUT NAME=a><TEXTAREA ROWS=30></TEXTAREA><BR><INPUT NAME=b>");
  std::vector<TFormControlObj*> entered;
  page.list.OnControlEntered = [&](TFormControlObj* c) { entered.push_back(c); };
  page.Paint();
  MemoryControl& top = page.Window(0);
  MemoryControl& bottom = page.Window(2);
  ASSERT_TRUE(page.Control(0).ShowIt);
  ASSERT_FALSE(page.Control(2).ShowIt);
  top.SetFocus();
  EXPECT_EQ(entered, std::vector<TFormControlObj*>{&page.Control(0)});
  EXPECT_EQ(bottom.Bounds().left, -4000);
  EXPECT_EQ(top.Bounds().left, 0);
  page.controls.Focus(nullptr);
  EXPECT_FALSE(bottom.Visible());
  EXPECT_TRUE(top.Visible());
}

TEST(FormPlacement, RadioPanelTakesTheDocumentBackground) {
  FormPage page("<BODY BGCOLOR=\"#102030\"><INPUT TYPE=radio>");
  page.Paint();
  EXPECT_EQ(page.Window(0).PanelColor(), 0x02302010u);
}

TEST(FormPlacement, ClearingTheDocumentFreesFormsAndWindowControls) {
  FormPage page("<FORM><INPUT><SELECT><OPTION>a</SELECT></FORM>");
  EXPECT_EQ(page.controls.All().size(), 2u);
  page.list.Clear();
  EXPECT_TRUE(page.list.Forms.empty());
  EXPECT_TRUE(page.controls.All().empty());
}

// --- Printing ---

// Counts pixels of a colour inside a rectangle of the canvas.
int Count(SoftwareCanvas& canvas, const Rect& r, uint32_t pixel) {
  Bitmap b = canvas.ReadPixels(r);
  int n = 0;
  for (uint32_t p : b.pixels) n += (p & 0xFFFFFF) == pixel;
  return n;
}

TEST(FormPrinting, ControlsPrintTheirState) {
  FormPage page(
      "<INPUT TYPE=checkbox CHECKED><INPUT TYPE=checkbox><INPUT TYPE=radio CHECKED>"
      "<INPUT TYPE=radio><INPUT VALUE=abc><INPUT TYPE=submit>");
  SoftwareCanvas paper(400, 100, page.glyphs);
  paper.FillRect(Rect{0, 0, 400, 100}, 0xFFFFFF);
  for (size_t i = 0; i < 6; ++i) page.Control(i).PrintAt(paper, 20 * static_cast<int>(i), 10);
  EXPECT_GT(Count(paper, Rect{3, 13, 10, 20}, 0), 0);    // the tick
  EXPECT_EQ(Count(paper, Rect{23, 13, 30, 20}, 0), 0);   // no tick
  EXPECT_GT(Count(paper, Rect{45, 15, 49, 19}, 0), 0);   // the dot
  EXPECT_EQ(Count(paper, Rect{65, 15, 69, 19}, 0), 0);   // no dot
  EXPECT_GT(Count(paper, Rect{84, 12, 104, 28}, 0), 0);  // the text
  // Printing moves no window control.
  EXPECT_EQ(page.Window(0).Bounds().top, -400);
}

TEST(FormPrinting, APrintedCopyDrawsTheSharedControls) {
  FormPage page("x<INPUT TYPE=checkbox CHECKED>");
  auto copy = page.list.CreateCopy();
  copy->Printing = true;
  copy->DoLayout(page.screen, 200);
  SoftwareCanvas paper(200, 40, page.glyphs);
  paper.FillRect(Rect{0, 0, 200, 40}, 0xFFFFFF);
  copy->Paint(paper, Rect{0, 0, 200, 40}, 200, 0, 0);
  EXPECT_GT(Count(paper, Rect{8, 5, 21, 18}, 0), 0);
  EXPECT_FALSE(page.Window(0).Visible() && page.Window(0).Bounds().top >= 0);
}

// --- Malformed markup ---

struct MalformedCase {
  const char* name;
  std::string html;
  std::string pairs;  // of the first form
};

class MalformedForms : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedForms, ReadWithoutHarm) {
  const MalformedCase& c = GetParam();
  FormPage page(c.html);
  SoftwareCanvas canvas(300, 300, page.glyphs);
  page.list.Paint(canvas, Rect{0, 0, 300, 300}, 300, 0, 0);
  page.controls.Paint(canvas);
  std::string pairs = page.list.Forms.empty() ? "" : page.Pairs();
  EXPECT_EQ(pairs, c.pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, MalformedForms,
    testing::Values(
        MalformedCase{"SelectAtEnd", "<SELECT NAME=s><OPTION>a<OPTION>b", "s=a\n"},
        MalformedCase{"TextAreaAtEnd", "<TEXTAREA NAME=t>a\nb", "t=a\nt=b\n"},
        MalformedCase{"TextAreaEndTagCut", "<TEXTAREA NAME=t>a</TEXTAREA", "t=a\n"},
        MalformedCase{"StrayEndTags", "</TEXTAREA></FORM></SELECT></OPTION>x", ""},
        MalformedCase{"OptionOutsideSelect", "<OPTION>a<INPUT NAME=i>", "i=\n"},
        MalformedCase{"TextBeforeFirstOption", "<SELECT NAME=s>junk<OPTION>a</SELECT>", "s=a\n"},
        MalformedCase{"NestedSelect", "<SELECT NAME=s><OPTION>a<SELECT NAME=t><OPTION>b</SELECT>c",
                      "s=a\n"},
        MalformedCase{"ControlsInsideSelectIgnored",
                      "<SELECT NAME=s><INPUT NAME=x><TEXTAREA>t</TEXTAREA><OPTION>a</SELECT>",
                      "s=a\n"},
        MalformedCase{"LongOptionCut",
                      "<SELECT NAME=s><OPTION VALUE=" + std::string(100, 'v') + ">" +
                          std::string(100, 'o') + "</SELECT>",
                      "s=" + std::string(80, 'v') + "\n"},
        MalformedCase{"HugeSizes",
                      "<TEXTAREA NAME=t ROWS=2147483647 COLS=-2147483648></TEXTAREA>"
                      "<SELECT NAME=s SIZE=2147483647 MULTIPLE></SELECT><INPUT SIZE=-5 NAME=e>",
                      "e=\n"},
        MalformedCase{"TypeWithoutValue", "<INPUT TYPE NAME=n VALUE=v>", "n=v\n"},
        MalformedCase{"ControlsInPre",
                      "<PRE>a <INPUT NAME=p VALUE=1>\n<SELECT NAME=s><OPTION>o"
                      "</SELECT> b</PRE>",
                      "p=1\ns=o\n"},
        MalformedCase{"FormInsideForm", "<FORM><INPUT NAME=a><FORM><INPUT NAME=b></FORM>", "a=\n"}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

TEST(MalformedForms, ControlsInPreformattedTextSitInTheirLine) {
  FormPage page("<PRE>ab<INPUT TYPE=checkbox>cd\nef</PRE>");
  auto& pre = dynamic_cast<TSection&>(page.list[1]);
  EXPECT_STREQ(pre.ClassName(), "TPreFormated");
  EXPECT_EQ(pre.Buff,
            u"ab\x02"
            u"cd");
  ASSERT_EQ(pre.FormControls.size(), 1u);
  EXPECT_EQ(pre.FormControls[0]->Pos, 2);
}

}  // namespace
}  // namespace brisomel::test
