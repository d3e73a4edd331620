// The main window as a user meets it, without the archive: a fake environment stands in for
// the machine and the attached book.
#include "shell/main_form.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "fake_environment.h"
#include "shell/application.h"
#include "shell/res/resource_ids.h"
#include "shell/search_form.h"
#include "shell/startup.h"

namespace brisomel {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() : app(GetModuleHandleA(nullptr), "Brisomel") {
    app.ShowException = [this](const std::string& text) { shown.push_back(text); };
    // A real run directory: the corner image is written there.
    char buffer[MAX_PATH + 1] = {};
    GetTempPathA(sizeof buffer, buffer);
    env.temp = std::string(buffer) + "brisomel-shell-test\\";
    CreateDirectoryA(env.temp.c_str(), nullptr);
  }
  ~MainFormTest() override {
    DeleteFileA(CornerImagePath(env).c_str());
    RemoveDirectoryA(env.temp.c_str());
  }

  HWND Button(HWND panel, const char* text) {
    return FindWindowExA(panel, nullptr, TSpeedButton::kClassName, text);
  }

  TApplication app;
  std::vector<std::string> shown;
  FakeEnvironment env;
};

RECT ChildRect(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST_F(MainFormTest, WindowPanelAndButtonsSitAtTheirDesignedPlaces) {
  TForm1 form(app, env);
  ASSERT_TRUE(form.Create());
  // The form's own window (a search by class and caption could find another reader's window
  // on the same desktop, such as a book an end-to-end test has open).
  HWND main = form.Handle();
  char text[64] = {};
  GetClassNameA(main, text, sizeof text);
  EXPECT_STREQ(text, "TForm1");
  GetWindowTextA(main, text, sizeof text);
  EXPECT_STREQ(text, "Brisomel");
  EXPECT_EQ(app.MainWindow(), main);
  RECT bounds;
  GetWindowRect(main, &bounds);
  EXPECT_EQ(bounds.left, 181);
  EXPECT_EQ(bounds.top, 146);
  EXPECT_EQ(bounds.right - bounds.left, 772);
  EXPECT_EQ(bounds.bottom - bounds.top, 546);

  RECT client;
  GetClientRect(main, &client);
  HWND panel = FindWindowExA(main, nullptr, "TPanel", "Panel1");
  ASSERT_NE(panel, nullptr);
  RECT panel_rect = ChildRect(panel);
  EXPECT_EQ(panel_rect.left, 0);
  EXPECT_EQ(panel_rect.top, 0);
  EXPECT_EQ(panel_rect.right, client.right);
  EXPECT_EQ(panel_rect.bottom, 49);

  struct Row {
    const char* text;
    int id;
    int left;
    bool enabled;
  };
  const Row rows[] = {{"Back", 1, 4, false},  {"Forward", 2, 56, false}, {"Open", 7, 108, true},
                      {"Home", 6, 160, true}, {"Search", 5, 212, true},  {"Print", 4, 264, true},
                      {"Exit", 3, 316, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    HWND button = Button(panel, row.text);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetDlgCtrlID(button), row.id);
    EXPECT_EQ(GetDlgItem(panel, row.id), button);
    RECT rect = ChildRect(button);
    EXPECT_EQ(rect.left, row.left);
    EXPECT_EQ(rect.top, 4);
    EXPECT_EQ(rect.right - rect.left, 49);
    EXPECT_EQ(rect.bottom - rect.top, 41);
    EXPECT_EQ(IsWindowEnabled(button) != 0, row.enabled);
    EXPECT_EQ(form.SpeedButton(row.id).NumGlyphs, 4);
    EXPECT_EQ(form.SpeedButton(row.id).AllowAllUp, row.id != 7);  // all but Open
  }

  // The panel follows the window's width.
  SetWindowPos(main, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(main, &client);
  EXPECT_EQ(ChildRect(panel).right, client.right);
  EXPECT_EQ(ChildRect(panel).bottom, 49);
}

TEST_F(MainFormTest, SearchDialogIsCreatedHiddenAfterTheMainWindow) {
  TForm1 form(app, env);
  ASSERT_TRUE(form.Create());
  TForm2 search(app);
  ASSERT_TRUE(search.Create());
  EXPECT_EQ(FindWindowA("TForm2", "Search For..."), search.Handle());
  EXPECT_FALSE(IsWindowVisible(search.Handle()));
}

TEST(ChooseGlyphFiles, TakesEachPresentFileAndKeepsTheBuiltInGlyphForMissingOnes) {
  FakeEnvironment env;
  const std::string dir = env.temp;
  env.files = {dir + "\\4back.bmp",   dir + "\\4fwd.bmp",   dir + "\\4home.bmp",
               dir + "\\4search.bmp", dir + "\\4print.bmp", dir + "\\4exit.bmp",
               dir + "4open.bmp"};
  const auto chosen = ChooseGlyphFiles(env);
  // Design order: Back, Forward, Open, Home, Search, Print, Exit. The path keeps the doubled
  // separator; "4open.bmp" under the single-separator name does not count.
  const std::array<std::string, 7> expected = {
      dir + "\\4back.bmp",  dir + "\\4fwd.bmp", "", dir + "\\4home.bmp", dir + "\\4search.bmp",
      dir + "\\4print.bmp", dir + "\\4exit.bmp"};
  EXPECT_EQ(chosen, expected);

  env.files.clear();
  for (const auto& path : ChooseGlyphFiles(env)) EXPECT_EQ(path, "");

  // No run directory could be made: nothing is looked up at the drive's root.
  env.temp = "";
  env.files = {"\\4back.bmp", "\\4exit.bmp"};
  for (const auto& path : ChooseGlyphFiles(env)) EXPECT_EQ(path, "");
}

TEST_F(MainFormTest, CreateRemembersTheStartDirectoryBeforeExtractingAndDestroyReturnsToIt) {
  {
    TForm1 form(app, env);
    ASSERT_TRUE(form.Create());
    EXPECT_EQ(form.State().StartDir, "C:\\start");
    EXPECT_EQ(env.log, (std::vector<std::string>{"cwd", "extract"}));
    EXPECT_EQ(env.cwd, env.temp);
  }
  // Back to the start directory first, so that the run's directory is not in use when it goes.
  EXPECT_EQ(env.log, (std::vector<std::string>{"cwd", "extract", "cd C:\\start", "delete"}));
  EXPECT_EQ(env.cwd, "C:\\start");
  EXPECT_TRUE(shown.empty());
}

TEST_F(MainFormTest, AnExceptionInCreateIsShownAndTheProgramGoesOn) {
  env.fail_extraction = true;
  env.files = {env.temp + "\\4back.bmp"};  // would fail to load; never reached
  TForm1 form(app, env);
  ASSERT_TRUE(form.Create());
  EXPECT_EQ(shown, (std::vector<std::string>{"I/O error 32."}));
  EXPECT_TRUE(IsWindow(form.Handle()));
  EXPECT_FALSE(app.Terminated());
}

TEST_F(MainFormTest, ViewerFillsTheClientAreaAndTheCornerImageShows) {
  TForm1 form(app, env);
  ASSERT_TRUE(form.Create());
  EXPECT_TRUE(shown.empty());
  RECT client;
  GetClientRect(form.Handle(), &client);
  const Rect viewer = form.FrameViewer1().Window().Bounds();
  EXPECT_EQ(viewer, (Rect{0, kPanelHeight, client.right, client.bottom}));
  // PageViewer1 shows the built-in corner image, written into the run directory.
  EXPECT_EQ(GetFileAttributesA(CornerImagePath(env).c_str()) != INVALID_FILE_ATTRIBUTES, true);
  EXPECT_EQ(form.PageViewer1().CurrentFileType(), ftImage);
  EXPECT_EQ(form.PageViewer1().Window().Bounds().width(), 67);
  // No start file: the viewer stays empty and the window keeps its designed bounds.
  EXPECT_TRUE(form.FrameViewer1().CurrentSet().Viewers.empty());
  EXPECT_EQ(form.FrameViewer1().CurrentFileName(), "");
}

TEST(StartPage, ChoiceOfFileAndWayOfShowing) {
  FakeEnvironment env;
  EXPECT_EQ(ChooseStartFile(env, {}), "");
  env.files = {"index.htm"};
  EXPECT_EQ(ChooseStartFile(env, {}), "C:\\start\\index.htm");
  env.files = {"index.htm", "index.html"};
  EXPECT_EQ(ChooseStartFile(env, {}), "C:\\start\\index.html");
  EXPECT_EQ(ChooseStartFile(env, {"other.htm", "ignored.htm"}), "other.htm");

  struct Case {
    const char* name;
    bool image;
  } cases[] = {{"a.gif", true},  {"a.JPG", true},  {"a.jpeg", true}, {"a.png", true},
               {"a.bmp", false}, {"a.htm", false}, {"a", false}};
  for (const Case& c : cases) EXPECT_EQ(ShowAsImage(UpperExtension(c.name)), c.image) << c.name;

  EXPECT_EQ(PlacementForScreenWidth(640).width, 500);
  EXPECT_EQ(PlacementForScreenWidth(800).left, 100);
  const TFormBounds other = PlacementForScreenWidth(1024);
  EXPECT_EQ(other.left, 140);
  EXPECT_EQ(other.top, 80);
  EXPECT_EQ(other.width, 800);
  EXPECT_EQ(other.height, 600);
}

TEST(ExceptionText, EndsWithOneFullStop) {
  EXPECT_EQ(TApplication::ExceptionText("Can't load: x"), "Can't load: x.");
  EXPECT_EQ(TApplication::ExceptionText("Done."), "Done.");
  EXPECT_EQ(TApplication::ExceptionText(""), ".");
}

TEST_F(MainFormTest, ExitEndsTheMessageLoopAndDestructionRunsOnce) {
  {
    TForm1 form(app, env);
    ASSERT_TRUE(form.Create());
    HWND exit_button = form.SpeedButton(3).Handle();
    SendMessageA(exit_button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(exit_button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(app.Terminated());
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
    // The form is still there until the program destroys it after the loop.
    EXPECT_TRUE(IsWindow(form.Handle()));
    form.Destroy();
    EXPECT_EQ(std::count(env.log.begin(), env.log.end(), "delete"), 1);
  }
  EXPECT_EQ(std::count(env.log.begin(), env.log.end(), "delete"), 1);
}

TEST_F(MainFormTest, ReleasingTheButtonOutsideIsNoClick) {
  TForm1 form(app, env);
  ASSERT_TRUE(form.Create());
  HWND exit_button = form.SpeedButton(3).Handle();
  SendMessageA(exit_button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(form.SpeedButton(3).GlyphIndex(), 2);  // down image while held
  SendMessageA(exit_button, WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
  EXPECT_FALSE(app.Terminated());
  EXPECT_EQ(form.SpeedButton(3).GlyphIndex(), 0);
}

}  // namespace
}  // namespace brisomel
