// The search dialog over a real folder, with the main window's frame viewer showing its pages.
#include "shell/search_form.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "book_folder.h"
#include "fake_environment.h"
#include "shell/application.h"
#include "shell/main_form.h"

namespace brisomel {
namespace {

std::string Caption(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class SearchFormTest : public ::testing::Test {
 protected:
  SearchFormTest()
      : app(GetModuleHandleA(nullptr), "Brisomel"),
        folder(std::string("brisomel-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    app.ShowException = [this](const std::string& text) { messages.push_back("error " + text); };
    env.temp = folder.Path();
    env.use_disk = true;
    folder.Forget(CornerImagePath(env));
  }
  ~SearchFormTest() override {
    form2.reset();
    form1.reset();
  }

  // Opens the main window on `start` with the search dialog beside it.
  void Open(const std::string& start) {
    form1 = std::make_unique<TForm1>(app, env, std::vector<std::string>{start});
    ASSERT_TRUE(form1->Create());
    form2 = std::make_unique<TForm2>(app, form1.get());
    ASSERT_TRUE(form2->Create());
    form1->Form2 = form2.get();
    form2->ShowMessage = [this](const std::string& text) { messages.push_back(text); };
  }
  TPageViewer& Page() { return *form1->FrameViewer1().ActiveViewer(); }

  TApplication app;
  BookFolder folder;
  FakeEnvironment env;
  std::unique_ptr<TForm1> form1;
  std::unique_ptr<TForm2> form2;
  std::vector<std::string> messages;
};

TEST_F(SearchFormTest, FindStepsFromMatchToMatchAndStartsAgainAfterTheLast) {
  const std::string start =
      folder.Write("index.htm", "<p>The keeper lit the lamp.</p><p>The Keeper slept.</p>");
  Open(start);
  form2->FormShow();
  RECT bounds;
  GetWindowRect(form2->Handle(), &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 450);
  EXPECT_EQ(bounds.bottom - bounds.top, 121);
  EXPECT_EQ(bounds.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 225);
  EXPECT_EQ(bounds.top, 150);
  EXPECT_EQ(Caption(form2->Button1()), "Find");
  EXPECT_EQ(Caption(form2->Button2()), "Search All Pages");
  EXPECT_EQ(Caption(form2->Button3()), "Close");

  // Nothing searched yet: F3 does nothing.
  form1->FindNextInPage();
  EXPECT_TRUE(messages.empty());

  form2->SetEdit1Text("KEEPER");
  form2->Button1Click();
  EXPECT_EQ(Caption(form2->Button1()), "Find Next");
  EXPECT_EQ(Page().SelText(), u"keeper");
  const int32_t first = Page().FindStart;
  form2->Button1Click();
  EXPECT_EQ(Page().SelText(), u"Keeper");
  EXPECT_GT(Page().FindStart, first);
  EXPECT_EQ(Caption(form2->Button1()), "Find Next");
  EXPECT_TRUE(messages.empty());

  form2->Button1Click();
  EXPECT_EQ(messages, (std::vector<std::string>{"KEEPER - Text not Found"}));
  EXPECT_EQ(Caption(form2->Button1()), "Find");
  EXPECT_EQ(Page().FindStart, 0);
  // F3 repeats the last Find, from the top again.
  form1->FindNextInPage();
  EXPECT_EQ(Page().FindStart, first);
  EXPECT_EQ(messages.size(), 1u);

  form2->SetEdit1Text("zebra");
  form2->Button1Click();
  EXPECT_EQ(messages.back(), "zebra - Text not Found");
  EXPECT_EQ(Caption(form2->Button1()), "Find");
}

TEST_F(SearchFormTest, SearchAllPagesLoadsEachOtherPageHoldingTheTextInTurn) {
  const std::string start = folder.Write("index.htm", "<p>A lantern on the start page.</p>");
  folder.Write("b.htm", "<p>The LANTERN of the second page.</p>");
  folder.Write("c.htm", "<p>Nothing here.</p>");
  folder.Write("d.gif", "lantern");
  folder.MakeDirectory("lantern.htm");
  Open(start);
  form2->FormShow();
  form2->SetEdit1Text("lantern");
  form2->Button2Click();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Caption(form2->Label1()), "B.HTM");
  EXPECT_EQ(form1->FrameViewer1().CurrentFileName(), folder.Path() + "b.htm");
  EXPECT_EQ(Page().SelText(), u"LANTERN");
  EXPECT_EQ(Caption(form2->Button2()), "Next File");
  EXPECT_TRUE(IsWindowEnabled(form1->SpeedButton(1).Handle()));

  // The shown start page is skipped; nothing else holds the word.
  form2->Button2Click();
  EXPECT_EQ(messages, (std::vector<std::string>{"No more files to search"}));
  EXPECT_EQ(Caption(form2->Button2()), "Find in Files");

  // Close forgets the list; showing again keeps the second button's caption and now skips
  // b.htm, which is shown, so the start page is found.
  form2->Button3Click();
  EXPECT_EQ(Caption(form2->Label1()), "");
  EXPECT_TRUE(form2->Walk().SearchFiles().empty());
  form2->FormShow();
  EXPECT_EQ(Caption(form2->Button2()), "Find in Files");
  form2->Button2Click();
  EXPECT_EQ(Caption(form2->Label1()), "INDEX.HTM");
  EXPECT_EQ(Page().SelText(), u"lantern");
}

TEST_F(SearchFormTest, AnEmptyRootHasNoFilesToSearch) {
  Open(folder.Write("index.htm", "<p>text</p>"));
  form1->FrameViewer1().SetServerRoot(folder.MakeDirectory("empty"));
  form2->FormShow();
  form2->SetEdit1Text("text");
  form2->Button2Click();
  EXPECT_EQ(messages, (std::vector<std::string>{"No Files to Search"}));
  EXPECT_EQ(Caption(form2->Button2()), "Search All Pages");
}

// Runs inside the dialog's modal loop: looks at the windows, then types the text with Enter
// (Find) and presses Escape (Close).
struct ModalProbe {
  TForm1* form1 = nullptr;
  TForm2* form2 = nullptr;
  bool main_enabled = true;
  bool dialog_visible = false;
  bool edit_focused = false;
};
ModalProbe* probe = nullptr;

void CALLBACK ProbeTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  probe->main_enabled = IsWindowEnabled(probe->form1->Handle()) != 0;
  probe->dialog_visible = IsWindowVisible(probe->form2->Handle()) != 0;
  probe->edit_focused = GetFocus() == probe->form2->Edit1();
  probe->form2->SetEdit1Text("keeper");
  HWND edit = probe->form2->Edit1();
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(SearchFormTest, TheSearchButtonShowsTheDialogModally) {
  Open(folder.Write("index.htm", "<p>The keeper.</p>"));
  ShowWindow(form1->Handle(), SW_SHOW);
  ModalProbe seen;
  seen.form1 = form1.get();
  seen.form2 = form2.get();
  probe = &seen;
  SetTimer(nullptr, 0, 50, ProbeTimer);
  HWND search = form1->SpeedButton(5).Handle();
  SendMessageA(search, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(search, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));  // returns once closed
  probe = nullptr;
  EXPECT_FALSE(seen.main_enabled);
  EXPECT_TRUE(seen.dialog_visible);
  EXPECT_TRUE(seen.edit_focused);
  EXPECT_EQ(Caption(form2->Button1()), "Find Next");  // Enter pressed Find
  EXPECT_EQ(Page().SelText(), u"keeper");
  EXPECT_FALSE(IsWindowVisible(form2->Handle()));  // Escape closed it
  EXPECT_TRUE(IsWindowEnabled(form1->Handle()));
  EXPECT_TRUE(form2->Walk().SearchFiles().empty());
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace brisomel
