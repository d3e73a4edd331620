#include "shell/window.h"

#include <exception>

#include "platform/window.h"

namespace brisomel {
namespace {

void RegisterClassOnce(HINSTANCE instance, const TWindowParams& params, WNDPROC procedure) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, params.class_name, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = params.icon;
  wc.hbrBackground = params.background;
  wc.lpszClassName = params.class_name;
  RegisterClassExA(&wc);
}

}  // namespace

TWindow::~TWindow() { Destroy(); }

bool TWindow::Create(const TWindowParams& params) {
  RegisterClassOnce(app_.Instance(), params, &TWindow::WindowProc);
  HMENU menu = (params.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.id))
                                         : nullptr;
  HWND window = CreateWindowExA(params.ex_style, params.class_name, params.text.c_str(),
                                params.style, params.left, params.top, params.width, params.height,
                                params.parent, menu, app_.Instance(), this);
  return window != nullptr;
}

void TWindow::Destroy() {
  if (handle_) DestroyWindow(handle_);
}

bool TWindow::HandlePaintMessage(UINT message, WPARAM wparam,
                                 const std::function<void(HDC)>& paint, LRESULT* result) {
  switch (message) {
    case WM_ERASEBKGND:
      *result = 1;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      paint(dc);
      EndPaint(Handle(), &ps);
      *result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wparam));
      *result = 0;
      return true;
  }
  return false;
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(handle_, message, wparam, lparam);
}

LRESULT CALLBACK TWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TWindow* self;
  if (message == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(window, message, wparam, lparam);

  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wparam, lparam);
  } catch (const EWorkStopped&) {
    // The program is closing; the work it stopped needs no report.
  } catch (const std::exception& error) {
    self->app_.HandleException(error);
  } catch (...) {
    self->app_.HandleException("Unknown exception");
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
  }
  return result;
}

}  // namespace brisomel
