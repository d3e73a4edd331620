// The main window's commands as a user meets them: Open and Home, the popup menu, the About
// box, links that leave the book, history-driven Back and Forward, and the keyboard. Pages are
// real files in a folder of their own; the shell and the dialogs are recorded.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fake_environment.h"
#include "html/images/corner_image.h"
#include "platform/headless/recording_printer.h"
#include "platform/headless/recording_system.h"
#include "shell/application.h"
#include "shell/commands.h"
#include "shell/main_form.h"
#include "shell/search_form.h"

namespace brisomel {
namespace {

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() : app(GetModuleHandleA(nullptr), "Brisomel") {
    app.ShowException = [this](const std::string& text) { shown.push_back(text); };
    char buffer[MAX_PATH + 1] = {};
    GetTempPathA(sizeof buffer, buffer);
    env.temp = std::string(buffer) + "brisomel-commands-test\\";
    CreateDirectoryA(env.temp.c_str(), nullptr);
    env.use_disk = true;
  }
  ~CommandsTest() override {
    for (const std::string& file : written) DeleteFileA(file.c_str());
    DeleteFileA(CornerImagePath(env).c_str());
    RemoveDirectoryA(env.temp.c_str());
  }

  // Writes a page into the test's folder and answers its full path.
  std::string Page(const std::string& name, const std::string& body) {
    const std::string path = env.temp + name;
    std::ofstream(path, std::ios::binary) << "<html><body>" << body << "</body></html>";
    written.push_back(path);
    return path;
  }

  // A form showing `start`, with the shell, the Open dialog and the About box recorded.
  std::unique_ptr<TForm1> MakeForm(std::vector<std::string> args) {
    auto form = std::make_unique<TForm1>(app, env, std::move(args));
    auto recording = std::make_unique<RecordingSystem>();
    shell = recording.get();
    form->UseSystem(std::move(recording));
    auto paper = std::make_unique<RecordingPrinter>(PaperFormat::A4(72));
    printer = paper.get();
    form->UsePrinter(std::move(paper));
    form->OpenDialog1.OnExecute = [this](TOpenDialog& dialog) {
      ++dialogs;
      filter_index = dialog.FilterIndex;
      filter = dialog.Filter;
      if (choose.empty()) return false;
      dialog.FileName = choose;
      return true;
    };
    form->ShowAbout = [this](const std::string& text, const std::string& caption) {
      about.push_back(caption + "|" + text);
    };
    EXPECT_TRUE(form->Create());
    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    return form;
  }

  static std::string Shown(TForm1& form) { return form.FrameViewer1().CurrentFileName(); }
  static bool Enabled(TForm1& form, int button) {
    return IsWindowEnabled(form.SpeedButton(button).Handle()) != 0;
  }
  static void Command(TForm1& form, TCommand command) {
    SendMessageA(form.Handle(), WM_COMMAND, kCommandIdBase + command, 0);
  }

  TApplication app;
  FakeEnvironment env;
  std::vector<std::string> shown, written, about;
  RecordingSystem* shell = nullptr;
  RecordingPrinter* printer = nullptr;
  std::string choose, filter;
  int dialogs = 0, filter_index = 0;
};

TEST_F(CommandsTest, OpenChoosesTheFileHomeReturnsToAndCancelChangesNothing) {
  const std::string start = Page("start.htm", "Start");
  const std::string opened = Page("opened.htm", "Opened");
  const std::string other = Page("other.htm", "Other");
  auto form = MakeForm({start});
  EXPECT_EQ(Shown(*form), start);

  // Cancelled: the page and the Home file stay.
  form->SpeedButton7Click();
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(filter, kOpenDialog1Filter);
  EXPECT_EQ(filter_index, 1);
  EXPECT_EQ(Shown(*form), start);
  EXPECT_EQ(form->State().HomeName, start);

  choose = opened;
  form->SpeedButton7Click();
  EXPECT_EQ(Shown(*form), opened);
  EXPECT_EQ(form->State().HomeName, opened);
  EXPECT_EQ(form->State().CurrentExt, ".HTM");
  // The folder of the opened file (the viewer keeps it without its last separator).
  EXPECT_EQ(form->FrameViewer1().ServerRoot() + "\\", env.temp);

  form->FrameViewer1().LoadFromFile(other);
  form->SpeedButton6Click();  // Home
  EXPECT_EQ(Shown(*form), opened);

  // Choosing a file that is gone loads nothing; Home then has nothing to show either.
  choose = env.temp + "gone.htm";
  form->SpeedButton7Click();
  EXPECT_EQ(Shown(*form), opened);
  form->SpeedButton6Click();
  EXPECT_EQ(Shown(*form), opened);
  EXPECT_TRUE(shown.empty());
}

TEST_F(CommandsTest, HomeReturnsToTheStartFileAfterOtherPages) {
  const std::string index = Page("index.html", "Index");
  Page("index.htm", "Older index");
  const std::string other = Page("other.htm", "Other");
  // After extraction the working directory is the book's folder: index.html wins there.
  char before[MAX_PATH + 1] = "";
  GetCurrentDirectoryA(sizeof before, before);
  SetCurrentDirectoryA(env.temp.c_str());
  auto form = MakeForm({});
  SetCurrentDirectoryA(before);
  EXPECT_EQ(Shown(*form), index);
  form->FrameViewer1().LoadFromFile(other);
  EXPECT_EQ(Shown(*form), other);
  form->SpeedButton6Click();
  EXPECT_EQ(Shown(*form), index);
}

TEST_F(CommandsTest, AnImageArgumentIsShownAsAnImageAndTheWindowIsPlaced) {
  const std::string image = env.temp + "picture.gif";
  const auto gif = CornerImageBytes();
  std::ofstream(image, std::ios::binary)
      .write(reinterpret_cast<const char*>(gif.data()), static_cast<std::streamsize>(gif.size()));
  written.push_back(image);
  auto form = MakeForm({image});
  EXPECT_EQ(form->State().CurrentExt, ".GIF");
  ASSERT_NE(form->FrameViewer1().ActiveViewer(), nullptr);
  EXPECT_EQ(form->FrameViewer1().ActiveViewer()->CurrentFileType(), ftImage);
  RECT bounds;
  GetWindowRect(form->Handle(), &bounds);
  const TFormBounds place = PlacementForScreenWidth(GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(bounds.left, place.left);
  EXPECT_EQ(bounds.top, place.top);
  EXPECT_EQ(bounds.right - bounds.left, place.width);
  EXPECT_EQ(bounds.bottom - bounds.top, place.height);
}

TEST_F(CommandsTest, LinksWithAShellMarkerGoToTheShellAsWritten) {
  auto form = MakeForm({Page("start.htm", "Start")});
  struct Case {
    const char* url;
    bool handed;
  } cases[] = {{"MAILTO:Keeper@Example.org", true},
               {"song.mp3", true},
               {"movie.mpg", true},
               {"https://example.org/Log", true},
               {"http://example.org/", true},
               {"page.html#part", false},
               {"tower.htm", false}};
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    bool handled = !c.handed;  // the handler sets it either way
    form->FrameViewer1HotSpotTargetClick(&form->FrameViewer1(), "", c.url, handled);
    EXPECT_EQ(handled, c.handed) << c.url;
    if (c.handed) expected.push_back(c.url);
  }
  EXPECT_EQ(shell->shell_requests, expected);
  // The frame viewer asks the main window about every link.
  ASSERT_TRUE(form->FrameViewer1().OnHotSpotTargetClick);
  bool handled = false;
  form->FrameViewer1().OnHotSpotTargetClick(&form->FrameViewer1(), "", "setup.exe", handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(shell->shell_requests.back(), "setup.exe");
}

TEST_F(CommandsTest, BackAndForwardFollowTheHistoryWhileTheMenuItemsStayEnabled) {
  const std::string first = Page("first.htm", "First");
  const std::string second = Page("second.htm", "Second");
  auto form = MakeForm({first});
  EXPECT_FALSE(Enabled(*form, 1));
  EXPECT_FALSE(Enabled(*form, 2));
  form->FrameViewer1().LoadFromFile(second);
  EXPECT_TRUE(Enabled(*form, 1));
  EXPECT_FALSE(Enabled(*form, 2));
  Command(*form, cmBack);  // the menu item
  EXPECT_EQ(Shown(*form), first);
  EXPECT_FALSE(Enabled(*form, 1));
  EXPECT_TRUE(Enabled(*form, 2));
  Command(*form, cmForward);
  EXPECT_EQ(Shown(*form), second);
  EXPECT_TRUE(Enabled(*form, 1));
  EXPECT_FALSE(Enabled(*form, 2));
  for (int i = 0; i < GetMenuItemCount(form->PopupMenu1()); ++i) {
    if (kPopupMenu1[i].command == cmNone) continue;
    EXPECT_EQ(GetMenuState(form->PopupMenu1(), i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED), 0u);
  }
}

TEST_F(CommandsTest, PopupMenuItemsRunTheirButtonsCommands) {
  auto form = MakeForm({Page("start.htm", "Start")});
  HMENU menu = form->PopupMenu1();
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(kPopupMenu1.size()));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    SCOPED_TRACE(i);
    char caption[64] = "";
    GetMenuStringA(menu, i, caption, sizeof caption, MF_BYPOSITION);
    EXPECT_STREQ(caption, kPopupMenu1[i].caption);
    const UINT id = GetMenuItemID(menu, i);
    if (kPopupMenu1[i].command == cmNone)
      EXPECT_TRUE(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR);
    else
      EXPECT_EQ(id, static_cast<UINT>(kCommandIdBase + kPopupMenu1[i].command));
  }

  Command(*form, cmAbout);
  ASSERT_EQ(about.size(), 1u);
  EXPECT_EQ(about[0], std::string(kAboutCaption) + "|" + AboutText());
  Command(*form, cmOpen);
  EXPECT_EQ(dialogs, 1);
  Command(*form, cmPrint);
  EXPECT_EQ(printer->jobs_ended, 1);
  EXPECT_TRUE(shown.empty());
  Command(*form, cmExit);
  EXPECT_TRUE(app.Terminated());
}

// Sends a key as the message loop would see it, with the modifiers held.
bool PressKey(TForm1& form, HWND window, int key, bool ctrl, bool alt) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_MENU] = alt ? 0x80 : 0;
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  MSG msg{};
  msg.hwnd = window;
  msg.message = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
  msg.wParam = static_cast<WPARAM>(key);
  msg.lParam = alt ? (1 << 29) : 0;
  const bool used = form.ShortcutMessage(msg);
  keys[VK_CONTROL] = keys[VK_MENU] = 0;
  SetKeyboardState(keys);
  return used;
}

TEST_F(CommandsTest, ShortcutsWorkWhereverTheFocusIsInTheMainWindow) {
  std::string lines;
  for (int i = 0; i < 300; ++i) lines += "<p>Line " + std::to_string(i) + "</p>";
  const std::string first = Page("first.htm", lines);
  const std::string second = Page("second.htm", "Second <form><input type=text></form>");
  auto form = MakeForm({first});
  form->FrameViewer1().LoadFromFile(second);
  HWND viewer = Win32WindowSystem::HandleOf(form->FrameViewer1().Window());
  HWND button = form->SpeedButton(4).Handle();

  EXPECT_TRUE(PressKey(*form, viewer, VK_LEFT, false, true));  // Alt+Left
  EXPECT_EQ(Shown(*form), first);
  EXPECT_TRUE(PressKey(*form, button, VK_RIGHT, false, true));  // Alt+Right
  EXPECT_EQ(Shown(*form), second);
  EXPECT_TRUE(PressKey(*form, form->Handle(), VK_BACK, false, false));
  EXPECT_EQ(Shown(*form), first);
  EXPECT_TRUE(PressKey(*form, viewer, 'O', true, false));
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(PressKey(*form, viewer, 'P', true, false));
  EXPECT_EQ(printer->jobs_ended, 1);
  EXPECT_TRUE(PressKey(*form, viewer, 'F', true, false));
  EXPECT_TRUE(PressKey(*form, viewer, VK_F3, false, false));
  // Plain letters and keys of other windows are left alone.
  EXPECT_FALSE(PressKey(*form, viewer, 'O', false, false));
  TForm2 search(app);
  ASSERT_TRUE(search.Create());
  EXPECT_FALSE(PressKey(*form, search.Handle(), 'O', true, false));
  EXPECT_EQ(dialogs, 1);

  // Backspace in a text field edits the text.
  HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD, 0, 0, 50, 20, viewer, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  EXPECT_FALSE(PressKey(*form, edit, VK_BACK, false, false));
  EXPECT_EQ(Shown(*form), first);
  DestroyWindow(edit);

  // With the focus on the toolbar the scrolling keys still move the page.
  TPageViewer* page = form->FrameViewer1().ActiveViewer();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->VerticalPosition(), 0);
  EXPECT_TRUE(PressKey(*form, button, VK_NEXT, false, false));
  const int32_t down = page->VerticalPosition();
  EXPECT_GT(down, 0);
  EXPECT_TRUE(PressKey(*form, form->Handle(), VK_END, false, false));
  EXPECT_GT(page->VerticalPosition(), down);
  EXPECT_TRUE(PressKey(*form, button, VK_HOME, false, false));
  EXPECT_EQ(page->VerticalPosition(), 0);
  // On the page they are the page's own keys, not the main window's.
  EXPECT_FALSE(PressKey(*form, Win32WindowSystem::HandleOf(page->Window()), VK_NEXT, false, false));
}

TEST_F(CommandsTest, TheFocusFollowsThePageThatReplacesTheFocusedOne) {
  const std::string first = Page("first.htm", "First");
  const std::string second = Page("second.htm", "Second");
  auto form = MakeForm({first});
  TPageViewer* old_page = form->FrameViewer1().ActiveViewer();
  ASSERT_NE(old_page, nullptr);
  old_page->Window().SetFocus();
  HWND old_focus = GetFocus();
  ASSERT_NE(old_focus, nullptr);
  form->FrameViewer1().LoadFromFile(second);
  ASSERT_FALSE(IsWindowVisible(old_focus));  // kept hidden for the history
  HWND shown = Win32WindowSystem::HandleOf(form->FrameViewer1().ActiveViewer()->Window());
  EXPECT_EQ(GetFocus(), shown);
}

}  // namespace
}  // namespace brisomel
