#include "platform/win32/window_win32.h"
// The canvas before windows.h: its operations share names with Win32 macros.
#include "platform/win32/canvas_gdi.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/wide_text.h"
// after the canvas
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <exception>

namespace brisomel {
namespace {

constexpr const char* kWindowClass = "BrisomelControl";
constexpr const char* kBarProperty = "BrisomelScrollBar";
constexpr UINT kPostedTask = WM_USER + 1;

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

void RegisterControlClass(HINSTANCE instance) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kWindowClass, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ControlWindowProc;
  wc.hInstance = instance;
  wc.hCursor = nullptr;  // each window answers WM_SETCURSOR itself
  wc.lpszClassName = kWindowClass;
  RegisterClassExA(&wc);
}

TShiftState KeyShift() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState MouseShift(WPARAM wparam) {
  TShiftState s = 0;
  if (wparam & MK_SHIFT) s |= ssShift;
  if (wparam & MK_CONTROL) s |= ssCtrl;
  if (wparam & MK_LBUTTON) s |= ssLeft;
  if (wparam & MK_RBUTTON) s |= ssRight;
  if (wparam & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

class Win32ScrollBar : public TScrollBarPort {
 public:
  Win32ScrollBar(HWND parent, bool vertical, HINSTANCE instance) : vertical_(vertical) {
    handle_ = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | (vertical ? SBS_VERT : SBS_HORZ), 0, 0,
                              0, 0, parent, nullptr, instance, nullptr);
    if (handle_) SetPropA(handle_, kBarProperty, this);
  }
  ~Win32ScrollBar() override {
    if (handle_) {
      RemovePropA(handle_, kBarProperty);
      DestroyWindow(handle_);
    }
  }
  void SetBounds(const Rect& r) override {
    bounds_ = r;
    if (handle_) MoveWindow(handle_, r.left, r.top, r.width(), r.height(), TRUE);
  }
  Rect Bounds() const override { return bounds_; }
  void SetVisible(bool visible) override {
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
  }
  bool Visible() const override { return handle_ && IsWindowVisible(handle_); }
  void SetScrollInfo(int32_t Min, int32_t Max, int32_t Page, int32_t Pos) override {
    if (!handle_) return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;  // 28
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = Min;
    si.nMax = Max;
    si.nPage = static_cast<UINT>(std::max(Page, 0));
    si.nPos = Pos;
    ::SetScrollInfo(handle_, SB_CTL, &si, TRUE);
  }
  int32_t TrackPosition() override {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    if (!handle_ || !GetScrollInfo(handle_, SB_CTL, &si)) return 0;
    return si.nTrackPos;
  }
  void Notify(int code) {
    if (OnScroll) OnScroll(static_cast<TScrollCode>(code));
  }

 private:
  HWND handle_ = nullptr;
  bool vertical_;
  Rect bounds_;
};

class Win32Window : public TWindowPort {
 public:
  // A window of its own.
  Win32Window(Win32WindowSystem& system, HWND parent, TWindowEvents* events)
      : system_(system), events_(events), owned_(true) {
    RegisterControlClass(system.Instance());
    DWORD style = parent ? (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS)
                         : (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    handle_ = CreateWindowExA(0, kWindowClass, "", style, 0, 0, 0, 0, parent, nullptr,
                              system.Instance(), this);
  }
  // A window made elsewhere.
  Win32Window(Win32WindowSystem& system, HWND handle)
      : system_(system), events_(nullptr), owned_(false), handle_(handle) {}
  ~Win32Window() override {
    // The controls restore the window's procedure and go before the window does.
    controls_.reset();
    if (owned_ && handle_) {
      SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
      DestroyWindow(handle_);
    }
  }

  HWND Handle() const { return handle_; }

  void SetBounds(const Rect& r) override {
    left_ = r.left;
    top_ = r.top;
    if (handle_) MoveWindow(handle_, r.left, r.top, r.width(), r.height(), TRUE);
  }
  Rect Bounds() const override {
    RECT c{};
    if (handle_) GetClientRect(handle_, &c);
    return Rect{left_, top_, left_ + c.right, top_ + c.bottom};
  }
  void SetVisible(bool visible) override {
    if (handle_) ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
  }
  bool Visible() const override { return handle_ && IsWindowVisible(handle_); }
  void Invalidate(const Rect* r) override {
    if (!handle_) return;
    if (r) {
      RECT rc{r->left, r->top, r->right, r->bottom};
      InvalidateRect(handle_, &rc, FALSE);
    } else {
      InvalidateRect(handle_, nullptr, FALSE);
    }
  }
  void Update() override {
    if (handle_) UpdateWindow(handle_);
  }
  void ScrollContents(int dx, int dy) override {
    if (handle_) ScrollWindowEx(handle_, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
  }
  void SetCursor(TCursorKind cursor) override {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    // Show it at once when the pointer is over this window.
    POINT p;
    if (handle_ && GetCursorPos(&p) && WindowFromPoint(p) == handle_ &&
        system_.ScreenCursor() == crArrow) {
      ::SetCursor(static_cast<HCURSOR>(system_.CursorHandle(cursor)));
    }
  }
  void SetTimer(int id, int milliseconds) override {
    if (handle_)
      ::SetTimer(handle_, static_cast<UINT_PTR>(id), static_cast<UINT>(milliseconds), nullptr);
  }
  void KillTimer(int id) override {
    if (handle_) ::KillTimer(handle_, static_cast<UINT_PTR>(id));
  }
  void PostTask(std::function<void()> task) override {
    if (!handle_) return;
    tasks_.push_back(std::move(task));
    PostMessageA(handle_, kPostedTask, 0, 0);
  }
  void SetFocus() override {
    if (handle_ && GetFocus() != handle_) ::SetFocus(handle_);
  }
  bool Focused() const override { return handle_ && GetFocus() == handle_; }
  void SetCapture() override {
    if (handle_) ::SetCapture(handle_);
  }
  void ReleaseCapture() override {
    if (handle_ && GetCapture() == handle_) ::ReleaseCapture();
  }
  Controls& FormControls() override {
    if (!controls_) controls_ = std::make_unique<Win32Controls>(handle_);
    return *controls_;
  }
  Point CursorPos() const override {
    POINT p{};
    GetCursorPos(&p);
    if (handle_) ScreenToClient(handle_, &p);
    return Point{p.x, p.y};
  }

  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    const int x = GET_X_LPARAM(lparam), y = GET_Y_LPARAM(lparam);
    switch (message) {
      case WM_ERASEBKGND: {
        GdiCanvas canvas(reinterpret_cast<HDC>(wparam));
        events_->EraseBackground(&canvas);
        return 1;
      }
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(handle_, &ps);
        std::exception_ptr error;
        {
          GdiCanvas canvas(dc);
          const Rect clip{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom};
          try {
            events_->Paint(canvas, clip);
          } catch (...) {
            error = std::current_exception();
          }
        }
        EndPaint(handle_, &ps);
        if (error) std::rethrow_exception(error);
        return 0;
      }
      case WM_LBUTTONDOWN:
        events_->MouseDown(mbLeft, MouseShift(wparam), x, y);
        return 0;
      case WM_RBUTTONDOWN:
        events_->MouseDown(mbRight, MouseShift(wparam), x, y);
        return 0;
      case WM_MBUTTONDOWN:
        events_->MouseDown(mbMiddle, MouseShift(wparam), x, y);
        return 0;
      case WM_LBUTTONUP:
        events_->MouseUp(mbLeft, MouseShift(wparam), x, y);
        return 0;
      case WM_RBUTTONUP:
        events_->MouseUp(mbRight, MouseShift(wparam), x, y);
        // The default handling raises WM_CONTEXTMENU, which climbs to the window that owns a
        // popup menu.
        return handle_ ? DefWindowProcA(handle_, message, wparam, lparam) : 0;
      case WM_MBUTTONUP:
        events_->MouseUp(mbMiddle, MouseShift(wparam), x, y);
        return 0;
      case WM_LBUTTONDBLCLK:
        events_->DoubleClick(MouseShift(wparam) | ssDouble, x, y);
        return 0;
      case WM_MOUSEMOVE:
        events_->MouseMove(MouseShift(wparam), x, y);
        return 0;
      case WM_MOUSEWHEEL:
        events_->MouseWheel(GET_WHEEL_DELTA_WPARAM(wparam), KeyShift());
        return 0;
      case WM_KEYDOWN: {
        int key = static_cast<int>(wparam);
        events_->KeyDown(key, KeyShift());
        return 0;
      }
      case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
      case WM_SIZE:
        events_->Resized();
        return 0;
      case WM_SETFOCUS:
        events_->FocusChanged(true);
        return 0;
      case WM_KILLFOCUS:
        events_->FocusChanged(false);
        return 0;
      case WM_TIMER:
        events_->Timer(static_cast<int>(wparam));
        return 0;
      case WM_SETCURSOR:
        if (LOWORD(lparam) == HTCLIENT) {
          TCursorKind kind = system_.ScreenCursor() != crArrow ? system_.ScreenCursor() : cursor_;
          ::SetCursor(static_cast<HCURSOR>(system_.CursorHandle(kind)));
          return TRUE;
        }
        break;
      case WM_VSCROLL:
      case WM_HSCROLL:
        if (lparam) {
          if (auto* bar = static_cast<Win32ScrollBar*>(
                  GetPropA(reinterpret_cast<HWND>(lparam), kBarProperty))) {
            bar->Notify(LOWORD(wparam));
          }
        }
        return 0;
      case kPostedTask:
        if (!tasks_.empty()) {
          auto task = std::move(tasks_.front());
          tasks_.pop_front();
          task();
        }
        return 0;
    }
    return DefWindowProcA(handle_, message, wparam, lparam);
  }

  void Attach(HWND handle) { handle_ = handle; }
  void Detach() { handle_ = nullptr; }
  Win32WindowSystem& System() { return system_; }

 private:
  Win32WindowSystem& system_;
  TWindowEvents* events_;
  bool owned_;
  HWND handle_ = nullptr;
  int left_ = 0, top_ = 0;
  TCursorKind cursor_ = crArrow;
  std::deque<std::function<void()>> tasks_;
  std::unique_ptr<Win32Controls> controls_;
};

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Win32Window* self;
  if (message == WM_NCCREATE) {
    self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->Attach(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->Detach();
    return DefWindowProcA(window, message, wparam, lparam);
  }
  try {
    return self->Handle(message, wparam, lparam);
  } catch (const EWorkStopped&) {
    // The program is closing; the work it stopped needs no report.
  } catch (const std::exception& error) {
    if (self->System().OnException) self->System().OnException(error.what());
  } catch (...) {
    if (self->System().OnException) self->System().OnException("Unknown exception");
  }
  return 0;
}

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE__* instance)
    : instance_(instance), screen_(GdiCanvas::CreateDib(1, 1)) {}

Win32WindowSystem::~Win32WindowSystem() = default;

std::unique_ptr<TWindowPort> Win32WindowSystem::NewWindow(TWindowPort* parent,
                                                          TWindowEvents& events) {
  return std::make_unique<Win32Window>(*this, parent ? HandleOf(*parent) : nullptr, &events);
}

std::unique_ptr<TScrollBarPort> Win32WindowSystem::NewScrollBar(TWindowPort& parent,
                                                                bool vertical) {
  return std::make_unique<Win32ScrollBar>(HandleOf(parent), vertical, instance_);
}

std::unique_ptr<TWindowPort> Win32WindowSystem::WrapWindow(HWND__* handle) {
  return std::make_unique<Win32Window>(*this, handle);
}

HWND__* Win32WindowSystem::HandleOf(TWindowPort& window) {
  return static_cast<Win32Window&>(window).Handle();
}

int Win32WindowSystem::ScrollBarWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

void* Win32WindowSystem::CursorHandle(TCursorKind cursor) const {
  switch (cursor) {
    case crLink: {
      static HCURSOR link = [this] {
        HCURSOR c = LoadCursorA(instance_, MAKEINTRESOURCEA(1003));
        return c ? c : LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // the hand
      }();
      return link;
    }
    case crText: {
      static HCURSOR text = [this] {
        HCURSOR c = LoadCursorA(instance_, MAKEINTRESOURCEA(1006));
        return c ? c : LoadCursorA(nullptr, IDC_IBEAM);
      }();
      return text;
    }
    case crHourGlass:
      return LoadCursorA(nullptr, IDC_WAIT);
    case crVSplit:
      return LoadCursorA(nullptr, IDC_SIZENS);
    case crHSplit:
      return LoadCursorA(nullptr, IDC_SIZEWE);
    case crArrow:
    default:
      return LoadCursorA(nullptr, IDC_ARROW);
  }
}

TCursorKind Win32WindowSystem::SetScreenCursor(TCursorKind cursor) {
  TCursorKind old = screen_cursor_;
  screen_cursor_ = cursor;
  if (cursor != crArrow) ::SetCursor(static_cast<HCURSOR>(CursorHandle(cursor)));
  return old;
}

void Win32WindowSystem::SetClipboardText(const std::string& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  const std::wstring wide = WideText(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory) {
    if (void* p = GlobalLock(memory)) {
      std::memcpy(p, wide.c_str(), bytes);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

Canvas& Win32WindowSystem::ScreenCanvas() { return *screen_; }

namespace {

// Whether a window is one of the engine's (a control window of this port) or inside one.
bool InEngineWindow(HWND window) {
  for (; window; window = GetParent(window)) {
    char name[32] = "";
    if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, kWindowClass) == 0) return true;
  }
  return false;
}

bool IsInput(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_KEYFIRST && message <= WM_KEYLAST);
}

}  // namespace

bool Win32WindowSystem::ProcessEvents() {
  if (quitting_) return false;
  // Posted work of the engine (tasks, timers) waits: only a quit, close requests, input and
  // painting are taken out of the queue here, each kind by its own filter. Sent messages are
  // delivered by PeekMessage itself.
  MSG msg;
  auto take = [&msg](UINT first, UINT last, UINT flags) {
    return PeekMessageA(&msg, nullptr, first, last, PM_REMOVE | flags) != FALSE;
  };
  for (int handled = 0; handled < 1000; ++handled) {
    if (take(WM_QUIT, WM_QUIT, 0)) {
      quitting_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the program's own loop
      return false;
    }
    if (take(WM_CLOSE, WM_CLOSE, 0) || take(WM_SYSCOMMAND, WM_SYSCOMMAND, 0) ||
        take(0, 0, PM_QS_INPUT)) {
      if (IsInput(msg.message) && InEngineWindow(msg.hwnd)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      continue;
    }
    if (take(0, 0, PM_QS_PAINT)) {
      DispatchMessageA(&msg);
      continue;
    }
    break;
  }
  return !quitting_;
}

}  // namespace brisomel
