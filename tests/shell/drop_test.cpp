// Message hooks and dropped files on real windows: components see a window's messages before
// it, and files dropped on the main window are loaded as Open would load them.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <shellapi.h>  // after windows.h
#include <shlobj.h>
// clang-format on

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "book_folder.h"
#include "fake_environment.h"
#include "shell/application.h"
#include "shell/drop_files.h"
#include "shell/main_form.h"
#include "shell/msg_hook.h"

namespace brisomel {
namespace {

constexpr UINT kProbe = WM_USER + 1;
std::vector<std::string>* window_log = nullptr;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kProbe) {
    if (window_log) window_log->push_back("window");
    return 7;
  }
  if (msg == WM_DROPFILES && window_log) window_log->push_back("window drop");
  return DefWindowProcA(window, msg, wparam, lparam);
}

HWND MakePlainWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "BrisomelHookTest";
  RegisterClassA(&wc);
  return CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                         nullptr, wc.hInstance, nullptr);
}

// The shell's handle for a drop of `names` (in the shell's order) at `point`.
HDROP MakeDrop(const std::vector<std::string>& names, POINT point) {
  size_t chars = 2;  // the list ends with an empty name
  for (const std::string& name : names) chars += name.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = point;
  header->fNC = FALSE;
  header->fWide = FALSE;
  char* text = reinterpret_cast<char*>(header + 1);
  for (const std::string& name : names) {
    std::copy(name.begin(), name.end(), text);
    text += name.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

class Recorder : public TMsgHookComponent {
 public:
  Recorder(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  void Dispatch(TMessage& message) override {
    if (message.Msg != kProbe) return;
    log_.push_back(name_ + " " + std::to_string(message.Result));
    message.Result += 10;
  }

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

std::vector<TMsgCmpList::TRecord> RecordsOf(HWND window) {
  std::vector<TMsgCmpList::TRecord> found;
  for (const auto& record : TMsgCmpList::Instance().Records()) {
    if (record.Window == window) found.push_back(record);
  }
  return found;
}

TEST(MsgHook, ComponentsSeeMessagesInAttachOrderThenTheWindowWhoseResultWins) {
  std::vector<std::string> log;
  window_log = &log;
  HWND window = MakePlainWindow();
  ASSERT_NE(window, nullptr);
  const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  {
    Recorder a("A", log), b("B", log);
    a.Loaded();
    b.ChangeHookedWindow(window);  // while loading only stored
    EXPECT_TRUE(RecordsOf(window).empty());
    b.Loaded();
    a.ChangeHookedWindow(window);
    EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 7);
    EXPECT_EQ(log, (std::vector<std::string>{"B 0", "A 10", "window"}));

    auto records = RecordsOf(window);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].PreviousProc, own);
    EXPECT_EQ(records[1].PreviousProc, own);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)),
              &TMsgCmpList::SharedWindowProc);

    // Detached: the record stays without its component, the window keeps working.
    b.ChangeHookedWindow(nullptr);
    log.clear();
    EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 7);
    EXPECT_EQ(log, (std::vector<std::string>{"A 0", "window"}));
    records = RecordsOf(window);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Component, nullptr);
    EXPECT_EQ(records[1].Component, &a);
  }
  // Destroyed components see nothing more.
  log.clear();
  EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 7);
  EXPECT_EQ(log, (std::vector<std::string>{"window"}));
  // Once the window is gone its records no longer name it, so a later window given the same
  // handle starts afresh.
  DestroyWindow(window);
  EXPECT_TRUE(RecordsOf(window).empty());
  window_log = nullptr;
}

TEST(DropFiles, DroppedNamesArriveInReverseShellOrder) {
  std::vector<std::string> log;
  window_log = &log;
  HWND window = MakePlainWindow();
  TDropFiles drop(window);
  int raised = 0;
  drop.OnFilesDroped = [&](TDropFiles* sender) {
    EXPECT_EQ(sender, &drop);
    ++raised;
  };
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  drop.Loaded();
  EXPECT_EQ(drop.HookedWindow(), window);
  EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);

  SendMessageA(window, WM_DROPFILES,
               reinterpret_cast<WPARAM>(MakeDrop({"C:\\a.htm", "C:\\b.htm"}, {5, 6})), 0);
  EXPECT_EQ(drop.DroppedFiles(), (std::vector<std::string>{"C:\\b.htm", "C:\\a.htm"}));
  EXPECT_EQ(drop.DropPoint().x, 5);
  EXPECT_EQ(drop.DropPoint().y, 6);
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"window drop"}));  // the window still hears of it

  // A name longer than the buffer is cut.
  const std::string long_name = "C:\\" + std::string(300, 'x');
  SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({long_name}, {0, 0})), 0);
  ASSERT_EQ(drop.DroppedFiles().size(), 1u);
  EXPECT_EQ(drop.DroppedFiles()[0], long_name.substr(0, TDropFiles::kMaxName - 1));
  EXPECT_EQ(raised, 2);

  // An error in the handler is swallowed.
  drop.OnFilesDroped = [&](TDropFiles*) { throw std::runtime_error("handler failed"); };
  SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\c.htm"}, {1, 1})), 0);
  EXPECT_EQ(drop.DroppedFiles(), (std::vector<std::string>{"C:\\c.htm"}));

  // A handle that is no drop block of this process is ignored.
  HGLOBAL freed = GlobalAlloc(GMEM_MOVEABLE, 64);
  GlobalFree(freed);
  for (WPARAM bogus : {WPARAM{0}, reinterpret_cast<WPARAM>(freed)}) {
    SendMessageA(window, WM_DROPFILES, bogus, 0);
  }
  EXPECT_EQ(drop.DroppedFiles(), (std::vector<std::string>{"C:\\c.htm"}));
  EXPECT_EQ(raised, 2);

  // Not accepting: the window is no drop target and a drop changes nothing.
  drop.OnFilesDroped = [&](TDropFiles*) { ++raised; };
  drop.SetAccept(false);
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  HDROP ignored = MakeDrop({"C:\\d.htm"}, {1, 1});
  SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(ignored), 0);
  GlobalFree(ignored);
  EXPECT_EQ(drop.DroppedFiles(), (std::vector<std::string>{"C:\\c.htm"}));
  EXPECT_EQ(raised, 2);

  // Another drop window takes over, until it goes away.
  drop.SetAccept(true);
  HWND other = MakePlainWindow();
  drop.SetDropWindow(other);
  EXPECT_EQ(drop.HookedWindow(), other);
  EXPECT_NE(GetWindowLongA(other, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  drop.DropWindowRemoved();
  EXPECT_EQ(drop.HookedWindow(), window);
  EXPECT_EQ(drop.DropWindow(), nullptr);
  DestroyWindow(other);
  DestroyWindow(window);
  window_log = nullptr;
}

class MainFormDropTest : public ::testing::Test {
 protected:
  MainFormDropTest()
      : app(GetModuleHandleA(nullptr), "Brisomel"),
        folder(std::string("brisomel-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    app.ShowException = [this](const std::string& text) { shown.push_back(text); };
    env.temp = folder.Path();
    env.use_disk = true;
    folder.Forget(CornerImagePath(env));
  }
  void Drop(TForm1& form, const std::vector<std::string>& shell_order) {
    SendMessageA(form.Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop(shell_order, {20, 80})), 0);
  }

  TApplication app;
  BookFolder folder;
  FakeEnvironment env;
  std::vector<std::string> shown;
};

TEST_F(MainFormDropTest, DroppedFilesLoadInListOrderUntilAMissingOne) {
  const std::string start = folder.Write("index.htm", "<p>start</p>");
  const std::string first = folder.Write("first.htm", "<p>first</p>");
  const std::string third = folder.Write("third.htm", "<p>third</p>");
  const std::string missing = folder.Path() + "missing.htm";
  TForm1 form(app, env, {start});
  ASSERT_TRUE(form.Create());
  // The list holds the reverse of the shell's order: first, missing, third.
  Drop(form, {third, missing, first});
  EXPECT_EQ(form.DropFiles1().DroppedFiles(), (std::vector<std::string>{first, missing, third}));
  EXPECT_EQ(form.FrameViewer1().CurrentFileName(), first);
  EXPECT_EQ(form.State().CurrentName, missing);
  EXPECT_EQ(form.State().HomeName, start);  // Home still leads to the start file
  EXPECT_TRUE(shown.empty());

  // Both exist: each loads in turn and the last in the list stays shown.
  Drop(form, {first, third});
  EXPECT_EQ(form.FrameViewer1().CurrentFileName(), first);
  EXPECT_EQ(form.State().HomeName, start);
}

}  // namespace
}  // namespace brisomel
