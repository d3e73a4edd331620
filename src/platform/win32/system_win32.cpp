// The system port on Win32: message boxes, the shell, the tick count and the screen size.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <string>

// The port's operations share names with Win32 macros: use the W functions by name.
#undef MessageBox
#undef RemoveDirectory
#undef SetCurrentDirectory

#include "platform/files.h"
#include "platform/win32/wide_text.h"

namespace brisomel {
namespace {

class Win32System : public System {
 public:
  void MessageBox(const std::string& text, const std::string& caption) override {
    MessageBoxW(nullptr, WideText(text).c_str(), WideText(caption).c_str(), MB_OK);
  }
  // The target's default action, as a double click in the shell would take.
  bool ShellOpen(const std::string& target) override {
    HINSTANCE result =
        ShellExecuteW(nullptr, nullptr, WideText(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }
  uint32_t TickCount() override { return GetTickCount(); }
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
  int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
};

}  // namespace

std::unique_ptr<System> MakePlatformSystem() { return std::make_unique<Win32System>(); }

}  // namespace brisomel
