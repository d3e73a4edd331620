// brisomel-driver: drives running books from outside, like a user. Run under Wine in the same
// prefix and X display as the books.
//
//   windows                   handles of the main windows ("TForm1"), one per line
//   wait-windows N MS         waits until N main windows exist, then prints their handles
//   wait-gone HWND MS         waits until the window is gone
//   caption HWND              the window's caption
//   buttons HWND              one line per speed button: text id enabled left top width height
//                             (screen coordinates)
//   click HWND TEXT           moves the pointer onto the button and clicks it
//   move HWND LEFT TOP        moves the window, as a user drags it aside
//
// Handles are printed and read in hexadecimal. Exit status 0 on success, 1 on a timeout or a
// missing window, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

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

HWND ParseHandle(const char* text) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(text, nullptr, 16)));
}

void PrintHandle(HWND window) {
  std::printf("%lx\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
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

std::string Text(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

int Click(HWND main, const std::string& text) {
  for (HWND button : SpeedButtons(main)) {
    if (Text(button) != text) continue;
    RECT r;
    GetWindowRect(button, &r);
    SetForegroundWindow(main);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(200);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(200);
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
    std::printf("%s\n", Text(window).c_str());
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
  std::fprintf(stderr,
               "usage: brisomel-driver windows | wait-windows N MS | wait-gone HWND MS |"
               " caption HWND | buttons HWND | click HWND TEXT | move HWND LEFT TOP\n");
  return 2;
}
