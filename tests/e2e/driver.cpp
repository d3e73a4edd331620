// brisomel-driver: drives running books from outside, like a user. Run under Wine in the same
// prefix and X display as the books.
//
//   windows                   handles of the main windows ("TForm1"), one per line
//   wait-windows N MS         waits until N main windows exist, then prints their handles
//   wait-gone HWND MS         waits until the window is gone
//   caption HWND              the window's caption (its title, in UTF-8)
//   buttons HWND              one line per speed button: text id enabled left top width height
//                             (screen coordinates)
//   click HWND TEXT           moves the pointer onto the button and clicks it
//   move HWND LEFT TOP        moves the window, as a user drags it aside
//   rect HWND                 the window's bounds on the screen: left top width height
//   key HWND VK [ctrl|alt]    presses a key (virtual key code), with Ctrl or Alt held if asked
//   popup HWND X Y N          right-clicks at a client point of the main window and chooses
//                             the Nth item of the popup menu (separators not counted); with
//                             N 0 the menu is left open
//   dialog-type CAPTION TEXT  types TEXT into the dialog's file name field and presses Enter
//   wait-dialog CAPTION MS    waits for a dialog (a message box) with that caption and prints
//                             the texts of its controls, one per line
//   dialog-click CAPTION TEXT clicks the dialog's button with that text
//   command HWND ID           posts WM_COMMAND with that id (decimal) to the window, as a menu
//                             item would
//   activate HWND             brings the window to the front and makes it active
//   rects HWND                the window's rectangle and its client area's, in screen
//                             coordinates: left top right bottom client-left client-top
//                             client-right client-bottom
//   find CLASS                handles of the top-level windows of that class, shown or not
//   show HWND                 shows the window and makes it active
//   maximize HWND             maximises the window, as its maximise button would
//   zoomed HWND               1 when the window is maximised, else 0
//   close HWND                posts WM_CLOSE to the window, as its close button would
//   type CAPTION TEXT         clicks into the dialog's edit box and types TEXT over what it
//                             holds (Home, Shift+End, then the characters)
//   drop HWND FILE...         drops the files on the window, as the shell does after a drag
//                             (WM_DROPFILES with the names in the given order)
//   click-close HWND X Y MS   clicks at a client point of the main window and, MS milliseconds
//                             later, posts WM_CLOSE to it
//   click-until HWND X Y PX PY RRGGBB MS
//                             clicks at a client point of the main window, then watches the
//                             screen pixel at client point PX PY until it has that colour and
//                             prints the milliseconds from the click to then
//   start-timed PROGRAM X Y RRGGBB MS
//                             starts PROGRAM and waits until its main window shows the colour
//                             RRGGBB (hexadecimal) at the client point X Y; prints the
//                             milliseconds from the start to then, and the window's handle
//                             (the program keeps the driver's output open: read it from a
//                             file, not a pipe)
//   icon FILE SIZE            the program file's icon as Windows extracts it at SIZE pixels:
//                             "WIDTHxHEIGHT RRGGBB", the colour of its middle pixel
//
// Dialogs are message boxes and the reader's search dialog ("TForm2").
//
// Handles are printed and read in hexadecimal. Exit status 0 on success, 1 on a timeout or a
// missing window, 2 on bad usage.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // after windows.h
#include <shlobj.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Text(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The window's title in UTF-8, every character kept.
std::string Utf8Text(HWND window) {
  wchar_t wide[256] = L"";
  const int length = GetWindowTextW(window, wide, 256);
  if (length <= 0) return "";
  std::string text(static_cast<size_t>(length) * 3, '\0');
  text.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data(),
                                                       static_cast<int>(text.size()), nullptr,
                                                       nullptr)));
  return text;
}

BOOL CALLBACK CollectMainWindow(HWND window, LPARAM param) {
  char name[64];
  if (GetClassNameA(window, name, sizeof name) && std::string(name) == "TForm1" &&
      IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> MainWindows() {
  std::vector<HWND> found;
  EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Handles are read and printed at full pointer width (a long is 32 bits on 64-bit Windows).
HWND ParseHandle(const char* text) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text, nullptr, 16)));
}

void PrintHandle(HWND window) {
  std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
}

std::vector<HWND> SpeedButtons(HWND main) {
  std::vector<HWND> buttons;
  HWND panel = FindWindowExA(main, nullptr, "TPanel", nullptr);
  for (HWND b = FindWindowExA(panel, nullptr, "TSpeedButton", nullptr); b;
       b = FindWindowExA(panel, b, "TSpeedButton", nullptr)) {
    buttons.push_back(b);
  }
  return buttons;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
  char name[64];
  if (GetClassNameA(window, name, sizeof name) &&
      (std::string(name) == "#32770" || std::string(name) == "TForm2") && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  }
  return TRUE;
}

HWND FindDialog(const std::string& caption) {
  std::vector<HWND> dialogs;
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  for (HWND d : dialogs) {
    if (Text(d) == caption) return d;
  }
  return nullptr;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    children.push_back(c);
  }
  return children;
}

// The first visible edit field inside a window (a file dialog's file name).
HWND FindEdit(HWND parent) {
  for (HWND c : Children(parent)) {
    char name[64];
    if (IsWindowVisible(c) && GetClassNameA(c, name, sizeof name) && lstrcmpiA(name, "Edit") == 0)
      return c;
    if (HWND inner = FindEdit(c)) return inner;
  }
  return nullptr;
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Moves the pointer to the middle of `target` and clicks there, as a user would. The move is
// also sent as input: in Wine's virtual desktop a click after SetCursorPos alone can land
// where the pointer was before.
void ClickAt(HWND top, HWND target) {
  RECT r;
  GetWindowRect(target, &r);
  SetForegroundWindow(top);
  const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  SetCursorPos(x, y);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  move.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &move, sizeof move);
  Sleep(200);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(100);
  SendMouse(MOUSEEVENTF_LEFTUP);
  Sleep(200);
}

// The pointer to a point of the main window's client area.
void PointerTo(HWND main, int x, int y) {
  POINT p{x, y};
  ClientToScreen(main, &p);
  SetCursorPos(p.x, p.y);
  Sleep(50);
  // A move event, so the window under the pointer hears of it.
  SendMouse(MOUSEEVENTF_MOVE);
  Sleep(100);
}

// Mouse actions at client points of the main window, as a user makes them.
int Mouse(HWND main, const std::string& action, int x, int y, int x2, int y2) {
  SetForegroundWindow(main);
  PointerTo(main, x, y);
  if (action == "move") return 0;
  if (action == "click" || action == "dblclick") {
    for (int i = 0; i < (action == "click" ? 1 : 2); ++i) {
      SendMouse(MOUSEEVENTF_LEFTDOWN);
      Sleep(30);
      SendMouse(MOUSEEVENTF_LEFTUP);
      Sleep(30);
    }
    Sleep(300);
    return 0;
  }
  if (action == "drag") {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    for (int step = 1; step <= 10; ++step) {
      PointerTo(main, x + (x2 - x) * step / 10, y + (y2 - y) * step / 10);
    }
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(300);
    return 0;
  }
  return 2;
}

void SendKey(WORD vk, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// A key press with a modifier (VK_CONTROL, VK_MENU) held when one is given.
void Key(HWND main, int key, WORD modifier) {
  SetForegroundWindow(main);
  if (modifier) SendKey(modifier, 0);
  SendKey(static_cast<WORD>(key), 0);
  SendKey(static_cast<WORD>(key), KEYEVENTF_KEYUP);
  if (modifier) SendKey(modifier, KEYEVENTF_KEYUP);
  Sleep(300);
}

BOOL CALLBACK CollectMenu(HWND window, LPARAM param) {
  char name[64];
  if (GetClassNameA(window, name, sizeof name) && std::string(name) == "#32768" &&
      IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(param) = window;
  }
  return TRUE;
}

HWND OpenMenu() {
  HWND menu = nullptr;
  EnumWindows(CollectMenu, reinterpret_cast<LPARAM>(&menu));
  return menu;
}

// Right-clicks at a client point and picks the Nth item of the menu that opens, with the
// keyboard as a user may: Down moves over the items (separators are skipped), Enter chooses.
int Popup(HWND main, int x, int y, int item) {
  SetForegroundWindow(main);
  PointerTo(main, x, y);
  SendMouse(MOUSEEVENTF_RIGHTDOWN);
  Sleep(50);
  SendMouse(MOUSEEVENTF_RIGHTUP);
  const DWORD start = GetTickCount();
  while (!OpenMenu()) {
    if (GetTickCount() - start > 5000) {
      std::fprintf(stderr, "driver: no popup menu opened\n");
      return 1;
    }
    Sleep(50);
  }
  Sleep(300);
  if (item == 0) return 0;
  for (int i = 0; i < item; ++i) {
    SendKey(VK_DOWN, 0);
    SendKey(VK_DOWN, KEYEVENTF_KEYUP);
    Sleep(100);
  }
  SendKey(VK_RETURN, 0);
  SendKey(VK_RETURN, KEYEVENTF_KEYUP);
  Sleep(300);
  return 0;
}

// The clipboard's Unicode text in UTF-8.
std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      const int length = WideCharToMultiByte(CP_UTF8, 0, p, -1, nullptr, 0, nullptr, nullptr);
      if (length > 1) {
        text.resize(static_cast<size_t>(length));
        WideCharToMultiByte(CP_UTF8, 0, p, -1, text.data(), length, nullptr, nullptr);
        text.resize(static_cast<size_t>(length - 1));
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Argument `index` of the command line as Windows holds it, every character kept (argv has
// them in the system code page).
std::wstring WideArgument(int index) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring argument = arguments && index < count ? arguments[index] : L"";
  LocalFree(arguments);
  return argument;
}

// Clicks into `edit` and types `text` (UTF-16, any script) as key strokes over its old text.
void Type(HWND top, HWND edit, const std::wstring& text) {
  ClickAt(top, edit);
  auto key = [](WORD vk, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
  };
  key(VK_HOME, 0);
  key(VK_HOME, KEYEVENTF_KEYUP);
  key(VK_SHIFT, 0);
  key(VK_END, 0);
  key(VK_END, KEYEVENTF_KEYUP);
  key(VK_SHIFT, KEYEVENTF_KEYUP);
  Sleep(50);
  for (wchar_t c : text) {
    INPUT input[2] = {};
    for (INPUT& i : input) {
      i.type = INPUT_KEYBOARD;
      i.ki.wScan = c;
      i.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
    Sleep(30);
  }
  Sleep(200);
}

// Drops `names` on `window` as the shell does: a DROPFILES block with the names one after
// another, the drop point at the window's client centre. Wine hands the message's handle to
// the receiver as it is, without copying the block between processes, so the block is
// written into the receiving process's memory: there a page-aligned block is a fixed global
// block, whose handle is its address.
bool Drop(HWND window, const std::vector<std::string>& names) {
  std::vector<char> block(sizeof(DROPFILES));
  for (const std::string& name : names) block.insert(block.end(), name.begin(), name.end() + 1);
  block.push_back('\0');  // the list ends with an empty name
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  RECT client;
  GetClientRect(window, &client);
  header->pt = POINT{client.right / 2, client.bottom / 2};
  header->fNC = FALSE;
  header->fWide = FALSE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  void* remote =
      VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool written =
      remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  CloseHandle(process);
  if (!written) return false;
  if (!PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0)) return false;
  Sleep(500);
  return true;
}

// Prints the icon's size and the colour of its middle pixel as DrawIconEx draws it.
int PrintIcon(HICON icon) {
  if (icon == nullptr) {
    std::fprintf(stderr, "driver: no icon\n");
    return 1;
  }
  ICONINFO info{};
  BITMAP mask{};
  if (!GetIconInfo(icon, &info) || !GetObjectA(info.hbmMask, sizeof mask, &mask)) return 1;
  const int width = mask.bmWidth;
  const int height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;  // monochrome: doubled
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, canvas);
  DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  const COLORREF colour = GetPixel(dc, width / 2, height / 2);
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  std::printf("%dx%d %02x%02x%02x\n", width, height, GetRValue(colour), GetGValue(colour),
              GetBValue(colour));
  return 0;
}

// Clicks at (x, y) and times until the screen shows `color` (0xRRGGBB) at (px, py), all client
// points of `main`; -1 when `limit` milliseconds pass first.
long ClickUntil(HWND main, int x, int y, int px, int py, COLORREF color, DWORD limit) {
  SetForegroundWindow(main);
  PointerTo(main, x, y);
  POINT watched{px, py};
  ClientToScreen(main, &watched);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(30);
  SendMouse(MOUSEEVENTF_LEFTUP);
  const DWORD start = GetTickCount();
  HDC screen = GetDC(nullptr);
  long waited = -1;
  for (;;) {
    const DWORD now = GetTickCount();
    if (GetPixel(screen, watched.x, watched.y) == color) {
      waited = static_cast<long>(now - start);
      break;
    }
    if (now - start > limit) break;
    Sleep(20);
  }
  ReleaseDC(nullptr, screen);
  return waited;
}

// The process's visible main window, or null.
HWND MainWindowOf(DWORD pid) {
  for (HWND w : MainWindows()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid) return w;
  }
  return nullptr;
}

// Starts `program` and times it to the moment its window shows `colour` at a client point: the
// time a reader waits for the first page. Polled on the screen every few milliseconds.
int StartTimed(const std::string& program, int x, int y, COLORREF colour, DWORD limit) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  std::string command_line = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "driver: could not start %s\n", program.c_str());
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  HDC screen = GetDC(nullptr);
  for (;;) {
    QueryPerformanceCounter(&now);
    const double ms = 1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    if (HWND window = MainWindowOf(process.dwProcessId)) {
      POINT p{x, y};
      ClientToScreen(window, &p);
      if (GetPixel(screen, p.x, p.y) == colour) {
        ReleaseDC(nullptr, screen);
        std::printf("%.0f ", ms);
        PrintHandle(window);
        return 0;
      }
    }
    if (ms > limit) break;
    Sleep(5);
  }
  ReleaseDC(nullptr, screen);
  std::fprintf(stderr, "driver: the colour did not show\n");
  return 1;
}

int Click(HWND main, const std::string& text) {
  for (HWND button : SpeedButtons(main)) {
    if (Text(button) != text) continue;
    ClickAt(main, button);
    return 0;
  }
  std::fprintf(stderr, "driver: no button \"%s\"\n", text.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "windows" && argc == 2) {
    for (HWND w : MainWindows()) PrintHandle(w);
    return 0;
  }
  if (command == "wait-windows" && argc == 4) {
    const size_t want = std::strtoul(argv[2], nullptr, 10);
    const DWORD limit = std::strtoul(argv[3], nullptr, 10);
    const DWORD start = GetTickCount();
    for (;;) {
      auto windows = MainWindows();
      if (windows.size() >= want) {
        for (HWND w : windows) PrintHandle(w);
        return 0;
      }
      if (GetTickCount() - start > limit) break;
      Sleep(100);
    }
    std::fprintf(stderr, "driver: fewer than %zu main windows\n", want);
    return 1;
  }
  if (command == "wait-gone" && argc == 4) {
    HWND window = ParseHandle(argv[2]);
    const DWORD limit = std::strtoul(argv[3], nullptr, 10);
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
      if (GetTickCount() - start > limit) {
        std::fprintf(stderr, "driver: window still there\n");
        return 1;
      }
      Sleep(100);
    }
    return 0;
  }
  if (command == "caption" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    std::printf("%s\n", Utf8Text(window).c_str());
    return 0;
  }
  if (command == "buttons" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    for (HWND b : SpeedButtons(window)) {
      RECT r;
      GetWindowRect(b, &r);
      std::printf("%s %d %d %ld %ld %ld %ld\n", Text(b).c_str(), GetDlgCtrlID(b),
                  IsWindowEnabled(b) ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    return 0;
  }
  if (command == "click" && argc == 4) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    return Click(window, argv[3]);
  }
  if (command == "move" && argc == 5) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    const int left = std::atoi(argv[3]);
    const int top = std::atoi(argv[4]);
    return SetWindowPos(window, HWND_TOP, left, top, 0, 0, SWP_NOSIZE) ? 0 : 1;
  }
  if (command == "mouse" && (argc == 6 || argc == 8)) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    const int x = std::atoi(argv[4]), y = std::atoi(argv[5]);
    return Mouse(window, argv[3], x, y, argc == 8 ? std::atoi(argv[6]) : x,
                 argc == 8 ? std::atoi(argv[7]) : y);
  }
  if (command == "key" && (argc == 4 || argc == 5)) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    WORD modifier = 0;
    if (argc == 5) modifier = std::string(argv[4]) == "alt" ? VK_MENU : VK_CONTROL;
    Key(window, static_cast<int>(std::strtol(argv[3], nullptr, 0)), modifier);
    return 0;
  }
  if (command == "rect" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    RECT r;
    if (!IsWindow(window) || !GetWindowRect(window, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (command == "popup" && argc == 6) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    return Popup(window, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  }
  if (command == "dialog-type" && argc == 4) {
    HWND dialog = FindDialog(argv[2]);
    HWND edit = dialog ? FindEdit(dialog) : nullptr;
    if (!edit) {
      std::fprintf(stderr, "driver: no file name field in \"%s\"\n", argv[2]);
      return 1;
    }
    SetForegroundWindow(dialog);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    Sleep(200);
    SendKey(VK_RETURN, 0);
    SendKey(VK_RETURN, KEYEVENTF_KEYUP);
    Sleep(300);
    return 0;
  }
  if (command == "clipboard" && argc == 2) {
    std::printf("%s\n", ClipboardText().c_str());
    return 0;
  }
  if (command == "wait-dialog" && argc == 4) {
    const DWORD limit = std::strtoul(argv[3], nullptr, 10);
    const DWORD start = GetTickCount();
    HWND dialog;
    while (!(dialog = FindDialog(argv[2]))) {
      if (GetTickCount() - start > limit) {
        std::fprintf(stderr, "driver: no dialog \"%s\"\n", argv[2]);
        return 1;
      }
      Sleep(100);
    }
    Sleep(300);  // let it finish building its controls
    for (HWND c : Children(dialog)) std::printf("%s\n", Utf8Text(c).c_str());
    return 0;
  }
  if (command == "dialog-click" && argc == 4) {
    HWND dialog = FindDialog(argv[2]);
    if (!dialog) return 1;
    for (HWND c : Children(dialog)) {
      if (Text(c) == argv[3]) {
        ClickAt(dialog, c);
        return 0;
      }
    }
    return 1;
  }
  if (command == "command" && argc == 4) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    const WPARAM id = std::strtoul(argv[3], nullptr, 10);
    return PostMessageA(window, WM_COMMAND, id, 0) ? 0 : 1;
  }
  if (command == "activate" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    SetForegroundWindow(window);
    Sleep(300);
    return 0;
  }
  // The window's rectangle and its client rectangle, both in screen coordinates.
  if (command == "rects" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    RECT r, c;
    GetWindowRect(window, &r);
    GetClientRect(window, &c);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&c), 2);
    std::printf("%ld %ld %ld %ld %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom, c.left,
                c.top, c.right, c.bottom);
    return 0;
  }
  if (command == "find" && argc == 3) {
    for (HWND w = FindWindowExA(nullptr, nullptr, argv[2], nullptr); w;
         w = FindWindowExA(nullptr, w, argv[2], nullptr)) {
      PrintHandle(w);
    }
    return 0;
  }
  if (command == "close" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (command == "maximize" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    return PostMessageA(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0) ? 0 : 1;
  }
  if (command == "zoomed" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    std::printf("%d\n", IsZoomed(window) ? 1 : 0);
    return 0;
  }
  if (command == "show" && argc == 3) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    Sleep(300);
    return 0;
  }
  if (command == "type" && argc == 4) {
    HWND dialog = FindDialog(argv[2]);
    if (!dialog) return 1;
    for (HWND c : Children(dialog)) {
      char name[64];
      if (GetClassNameA(c, name, sizeof name) && lstrcmpiA(name, "Edit") == 0) {
        Type(dialog, c, WideArgument(3));
        return 0;
      }
    }
    std::fprintf(stderr, "driver: no edit box in \"%s\"\n", argv[2]);
    return 1;
  }
  if (command == "start-timed" && argc == 7) {
    const unsigned long rgb = std::strtoul(argv[5], nullptr, 16);
    return StartTimed(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                      RGB((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255),
                      std::strtoul(argv[6], nullptr, 10));
  }
  if (command == "drop" && argc >= 4) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    return Drop(window, std::vector<std::string>(argv + 3, argv + argc)) ? 0 : 1;
  }
  if (command == "icon" && argc == 4) {
    const int size = std::atoi(argv[3]);
    HICON icon = nullptr;
    UINT id = 0;
    if (PrivateExtractIconsA(argv[2], 0, size, size, &icon, &id, 1, 0) != 1) icon = nullptr;
    const int status = PrintIcon(icon);
    if (icon) DestroyIcon(icon);
    return status;
  }
  if (command == "click-close" && argc == 6) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    SetForegroundWindow(window);
    PointerTo(window, std::atoi(argv[3]), std::atoi(argv[4]));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(30);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(std::strtoul(argv[5], nullptr, 10));
    return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (command == "click-until" && argc == 9) {
    HWND window = ParseHandle(argv[2]);
    if (!IsWindow(window)) return 1;
    const unsigned long rgb = std::strtoul(argv[7], nullptr, 16);
    const COLORREF color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    const long waited = ClickUntil(window, std::atoi(argv[3]), std::atoi(argv[4]),
                                   std::atoi(argv[5]), std::atoi(argv[6]), color,
                                   std::strtoul(argv[8], nullptr, 10));
    if (waited < 0) {
      std::fprintf(stderr, "driver: the colour did not appear\n");
      return 1;
    }
    std::printf("%ld\n", waited);
    return 0;
  }
  std::fprintf(stderr,
               "usage: brisomel-driver windows | wait-windows N MS | wait-gone HWND MS |"
               " caption HWND | buttons HWND | click HWND TEXT | move HWND LEFT TOP |"
               " wait-dialog CAPTION MS | dialog-click CAPTION TEXT |"
               " mouse HWND move|click|dblclick X Y | mouse HWND drag X Y X2 Y2 |"
               " key HWND VK [ctrl|alt] | clipboard | rect HWND | popup HWND X Y N |"
               " dialog-type CAPTION TEXT | command HWND ID | activate HWND | rects HWND | find CLASS |"
               " show HWND | maximize HWND | zoomed HWND | close HWND | type CAPTION TEXT | drop HWND FILE... |"
               " icon FILE SIZE |"
               " click-close HWND X Y MS | click-until HWND X Y PX PY RRGGBB MS |"
               " start-timed PROGRAM X Y RRGGBB MS\n");
  return 2;
}
