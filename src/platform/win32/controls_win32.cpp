// The controls port on real Win32 controls.
#include "platform/win32/controls_win32.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace brisomel {
namespace {

constexpr const char* kPanelClass = "BrisomelRadioPanel";
constexpr int kRadioSize = 13;
// A drop-down list is created this much taller than its field, for the list it drops.
constexpr int kDropDownList = 200;

class Win32Control;

}  // namespace

struct Win32Controls::FontCache {
  ~FontCache() {
    for (auto& [key, font] : fonts) DeleteObject(font);
  }
  HFONT Get(const FontSpec& font) {
    const std::string key = font.name + "|" + std::to_string(font.size) + "|" +
                            std::to_string(font.style) + "|" + std::to_string(font.charset);
    auto it = fonts.find(key);
    if (it != fonts.end()) return it->second;
    if (pixels_per_inch == 0) {
      HDC screen = GetDC(nullptr);
      pixels_per_inch = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
    HFONT made =
        CreateFontA(-MulDiv(font.size, pixels_per_inch, 72), 0, 0, 0,
                    (font.style & kFontBold) ? FW_BOLD : FW_NORMAL, (font.style & kFontItalic) != 0,
                    (font.style & kFontUnderline) != 0, (font.style & kFontStrikeOut) != 0,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, font.name.c_str());
    fonts[key] = made;
    return made;
  }
  std::map<std::string, HFONT> fonts;
  int pixels_per_inch = 0;
};

namespace {

// Our windows, kept in the process (window properties would cost a trip to the window server
// on every message): control windows and radio panels with their control, and the windows we
// subclassed with the procedure they had. Everything runs on the one GUI thread.
std::unordered_map<HWND, Win32Control*>& Registered() {
  static std::unordered_map<HWND, Win32Control*> controls;
  return controls;
}
std::unordered_map<HWND, WNDPROC>& Originals() {
  static std::unordered_map<HWND, WNDPROC> procedures;
  return procedures;
}

Win32Control* ControlOf(HWND window) {
  auto it = Registered().find(window);
  return it == Registered().end() ? nullptr : it->second;
}

WNDPROC OriginalOf(HWND window) {
  auto it = Originals().find(window);
  return it == Originals().end() ? nullptr : it->second;
}

LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK PanelProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

class Win32Control : public WindowControl {
 public:
  Win32Control(HWND parent, TControlKind kind, const TControlOptions& options,
               Win32Controls::FontCache& fonts, const Rect& bounds)
      : kind_(kind), options_(options), fonts_(fonts), bounds_(bounds) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const bool radio = kind == TControlKind::ckRadioButton;
    // A radio button shows with its panel; everything else starts hidden.
    DWORD style = WS_CHILD | WS_TABSTOP | (radio ? WS_VISIBLE : 0);
    DWORD ex_style = 0;
    const wchar_t* window_class = L"BUTTON";
    switch (kind) {
      case TControlKind::ckEdit:
      case TControlKind::ckPassword:
        window_class = L"EDIT";
        style |= ES_AUTOHSCROLL | (kind == TControlKind::ckPassword ? ES_PASSWORD : 0);
        ex_style = WS_EX_CLIENTEDGE;
        break;
      case TControlKind::ckButton:
        style |= BS_PUSHBUTTON;
        break;
      case TControlKind::ckCheckBox:
        style |= BS_AUTOCHECKBOX;
        break;
      case TControlKind::ckRadioButton:
        style |= BS_AUTORADIOBUTTON;
        break;
      case TControlKind::ckListBox:
        window_class = L"LISTBOX";
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                 (options.MultiSelect ? LBS_EXTENDEDSEL : 0);
        ex_style = WS_EX_CLIENTEDGE;
        break;
      case TControlKind::ckComboBox:
        window_class = L"COMBOBOX";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL;
        break;
      case TControlKind::ckMemo:
        window_class = L"EDIT";
        style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL |
                 (options.WordWrap ? 0 : WS_HSCROLL | ES_AUTOHSCROLL);
        ex_style = WS_EX_CLIENTEDGE;
        break;
    }
    style_ = style;
    ex_style_ = ex_style;
    HWND owner = parent;
    if (kind == TControlKind::ckRadioButton) {
      panel_ =
          CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_CLIPCHILDREN, bounds.left, bounds.top,
                          bounds.width(), bounds.height(), parent, nullptr, instance, nullptr);
      Registered()[panel_] = this;
      owner = panel_;
      window_ = CreateWindowExW(ex_style, window_class, L"", style, 0, 0, kRadioSize, kRadioSize,
                                owner, nullptr, instance, nullptr);
    } else {
      const int extra = kind == TControlKind::ckComboBox ? kDropDownList : 0;
      window_ = CreateWindowExW(ex_style, window_class, L"", style, bounds.left, bounds.top,
                                bounds.width(), bounds.height() + extra, owner, nullptr, instance,
                                nullptr);
    }
    if (!window_) return;
    Registered()[window_] = this;
    Originals()[window_] = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window_, GWLP_WNDPROC));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProcedure));
    if (kind == TControlKind::ckPassword) SendMessageW(window_, EM_SETPASSWORDCHAR, '*', 0);
    if (kind == TControlKind::ckComboBox) ReadComboHeight();
  }

  ~Win32Control() override {
    if (window_) {
      Registered().erase(window_);
      DestroyWindow(window_);
    }
    if (panel_) {
      Registered().erase(panel_);
      DestroyWindow(panel_);
    }
    if (brush_) DeleteObject(brush_);
  }

  bool Valid() const { return window_ != nullptr; }
  HWND Input() const { return window_; }
  HWND Outer() const { return panel_ ? panel_ : window_; }

  TControlKind Kind() const override { return kind_; }

  void SetBounds(const Rect& r) override {
    int height = r.height();
    if (kind_ == TControlKind::ckComboBox) height += kDropDownList;
    SetWindowPos(Outer(), nullptr, r.left, r.top, r.width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
    bounds_ = r;
    if (kind_ == TControlKind::ckComboBox) ReadComboHeight();
  }

  // The field of a drop-down list is as high as the platform makes it.
  void ReadComboHeight() {
    RECT w;
    GetWindowRect(window_, &w);
    bounds_.bottom = bounds_.top + (w.bottom - w.top);
  }

  Rect Bounds() const override { return bounds_; }

  Size WindowSizeForClient(Size client) const override {
    RECT r{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&r, style_ & ~(WS_VSCROLL | WS_HSCROLL), FALSE, ex_style_);
    Size s{r.right - r.left, r.bottom - r.top};
    if (kind_ == TControlKind::ckMemo) {
      s.cx += GetSystemMetrics(SM_CXVSCROLL);
      if (!options_.WordWrap) s.cy += GetSystemMetrics(SM_CYHSCROLL);
    }
    return s;
  }

  void SetVisible(bool visible) override { ShowWindow(Outer(), visible ? SW_SHOWNA : SW_HIDE); }
  bool Visible() const override { return (GetWindowLongA(Outer(), GWL_STYLE) & WS_VISIBLE) != 0; }

  void SetFont(const FontSpec& font) override {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(font)), FALSE);
  }

  bool Focused() const override { return GetFocus() == window_; }
  void SetFocus() override { ::SetFocus(window_); }

  void SetText(std::u16string_view text) override {
    std::wstring t(text.begin(), text.end());
    if (max_length_ > 0 && (kind_ == TControlKind::ckEdit || kind_ == TControlKind::ckPassword) &&
        static_cast<int>(t.size()) > max_length_)
      t.resize(static_cast<size_t>(max_length_));
    SetWindowTextW(window_, t.c_str());
  }

  std::u16string Text() const override {
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return std::u16string(text.begin(), text.end());
  }

  void SetMaxLength(int length) override {
    max_length_ = std::max(length, 0);
    SendMessageW(window_, EM_LIMITTEXT, static_cast<WPARAM>(max_length_), 0);
  }

  void ResetCaret() override {
    SendMessageW(window_, EM_SETSEL, 0, 0);
    SetTopIndex(0);
  }

  int LineCount() const override {
    if (kind_ != TControlKind::ckMemo || GetWindowTextLengthW(window_) == 0) return 0;
    int count = static_cast<int>(SendMessageW(window_, EM_GETLINECOUNT, 0, 0));
    // An empty last line (the text ends with a line break) is no line.
    const LRESULT start = SendMessageW(window_, EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0);
    if (count > 0 && SendMessageW(window_, EM_LINELENGTH, static_cast<WPARAM>(start), 0) == 0)
      --count;
    return count;
  }

  std::u16string Line(int index) const override {
    const LRESULT start = SendMessageW(window_, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
    if (start < 0) return std::u16string();
    const int length =
        static_cast<int>(SendMessageW(window_, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    // EM_GETLINE takes the buffer size in the buffer's first word.
    std::vector<wchar_t> buffer(static_cast<size_t>(std::max(length, 1)) + 2, L'\0');
    *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(std::min(length + 1, 0xFFFF));
    const LRESULT got = SendMessageW(window_, EM_GETLINE, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(buffer.data()));
    return std::u16string(buffer.data(),
                          buffer.data() + static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
  }

  int TopIndex() const override {
    if (kind_ == TControlKind::ckListBox)
      return static_cast<int>(SendMessageW(window_, LB_GETTOPINDEX, 0, 0));
    if (kind_ == TControlKind::ckMemo)
      return static_cast<int>(SendMessageW(window_, EM_GETFIRSTVISIBLELINE, 0, 0));
    return 0;
  }

  void SetTopIndex(int index) override {
    if (kind_ == TControlKind::ckListBox) {
      SendMessageW(window_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(index, 0)), 0);
    } else if (kind_ == TControlKind::ckMemo) {
      const int first = TopIndex();
      SendMessageW(window_, EM_LINESCROLL, 0, std::max(index, 0) - first);
    }
  }

  void SetChecked(bool checked) override {
    SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bool Checked() const override { return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

  void SetPanelColor(Color color) override {
    if (!panel_) return;
    const Color rgb = color & 0xFFFFFF;
    if (brush_ && rgb == panel_color_) return;
    panel_color_ = rgb;
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(rgb);
    InvalidateRect(panel_, nullptr, TRUE);
    InvalidateRect(window_, nullptr, TRUE);
  }
  HBRUSH PanelBrush() const { return brush_; }

  void SetItems(const std::vector<std::u16string>& items) override {
    const bool list = kind_ == TControlKind::ckListBox;
    if (!list && kind_ != TControlKind::ckComboBox) return;
    // One redraw for the whole list, with room for every item made at once.
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window_, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const std::u16string& item : items) bytes += (item.size() + 1) * sizeof(wchar_t);
    SendMessageW(window_, list ? LB_INITSTORAGE : CB_INITSTORAGE, items.size(),
                 static_cast<LPARAM>(bytes));
    for (const std::u16string& item : items) {
      const std::wstring wide(item.begin(), item.end());
      SendMessageW(window_, list ? LB_ADDSTRING : CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(wide.c_str()));
    }
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
  }
  int ItemCount() const override {
    if (kind_ == TControlKind::ckListBox)
      return static_cast<int>(SendMessageW(window_, LB_GETCOUNT, 0, 0));
    if (kind_ == TControlKind::ckComboBox)
      return static_cast<int>(SendMessageW(window_, CB_GETCOUNT, 0, 0));
    return 0;
  }
  std::u16string ItemText(int index) const override {
    if (index < 0 || index >= ItemCount()) return std::u16string();
    const bool list = kind_ == TControlKind::ckListBox;
    const LRESULT length = SendMessageW(window_, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN,
                                        static_cast<WPARAM>(index), 0);
    if (length <= 0) return std::u16string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        SendMessageW(window_, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
    return std::u16string(text.begin(), text.end());
  }
  void SetItemIndex(int index) override {
    if (kind_ == TControlKind::ckComboBox) {
      SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (kind_ == TControlKind::ckListBox) {
      if (options_.MultiSelect)
        SendMessageW(window_, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
      else
        SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
  }
  int ItemIndex() const override {
    if (kind_ == TControlKind::ckComboBox)
      return static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0));
    if (kind_ != TControlKind::ckListBox) return -1;
    if (options_.MultiSelect) {
      if (ItemCount() == 0) return -1;
      return static_cast<int>(SendMessageW(window_, LB_GETCARETINDEX, 0, 0));
    }
    return static_cast<int>(SendMessageW(window_, LB_GETCURSEL, 0, 0));
  }
  void SetSelected(int index, bool selected) override {
    if (kind_ != TControlKind::ckListBox) {
      if (selected) SetItemIndex(index);
      return;
    }
    if (options_.MultiSelect)
      SendMessageW(window_, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
    else if (selected)
      SetItemIndex(index);
  }
  bool Selected(int index) const override {
    if (kind_ == TControlKind::ckListBox)
      return SendMessageW(window_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
    return kind_ == TControlKind::ckComboBox && index >= 0 && index == ItemIndex();
  }

  // Messages the control's own procedure sees first.
  bool Intercept(UINT message, WPARAM wparam) {
    switch (message) {
      case WM_SETFOCUS:
        if (Events.OnEnter) Events.OnEnter();
        return false;
      case WM_KILLFOCUS:
        if (Events.OnExit) Events.OnExit();
        return false;
      case WM_KEYDOWN:
        if (wparam == VK_RETURN &&
            (kind_ == TControlKind::ckEdit || kind_ == TControlKind::ckPassword)) {
          if (Events.OnReturn) Events.OnReturn();
          return true;
        }
        return false;
      case WM_CHAR:
        // Enter in a single-line edit has been handled; no beep.
        return wparam == '\r' &&
               (kind_ == TControlKind::ckEdit || kind_ == TControlKind::ckPassword);
      default:
        return false;
    }
  }

  // A notification the parent received from this control.
  void Notify(int code) {
    if (code == BN_CLICKED &&
        (kind_ == TControlKind::ckButton || kind_ == TControlKind::ckCheckBox ||
         kind_ == TControlKind::ckRadioButton)) {
      if (Events.OnClick) Events.OnClick();
    }
  }

 private:
  TControlKind kind_;
  TControlOptions options_;
  HWND window_ = nullptr;
  HWND panel_ = nullptr;
  DWORD style_ = 0, ex_style_ = 0;
  Win32Controls::FontCache& fonts_;
  Rect bounds_;
  HBRUSH brush_ = nullptr;
  Color panel_color_ = 0;
  int max_length_ = 0;
};

LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const WNDPROC original = OriginalOf(window);
  if (Win32Control* control = ControlOf(window)) {
    if (control->Intercept(message, wparam)) return 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    Originals().erase(window);
  }
  return original ? CallWindowProcW(original, window, message, wparam, lparam)
                  : DefWindowProcW(window, message, wparam, lparam);
}

// WM_COMMAND from one of our controls: its event. True when it was one.
bool RouteCommand(WPARAM wparam, LPARAM lparam) {
  HWND from = reinterpret_cast<HWND>(lparam);
  if (!from) return false;
  Win32Control* control = ControlOf(from);
  if (!control || control->Input() != from) return false;
  control->Notify(HIWORD(wparam));
  return true;
}

LRESULT CALLBACK PanelProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Win32Control* control = ControlOf(window);
  switch (message) {
    case WM_COMMAND:
      if (RouteCommand(wparam, lparam)) return 0;
      break;
    case WM_ERASEBKGND:
      if (control && control->PanelBrush()) {
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wparam), &r, control->PanelBrush());
        return 1;
      }
      break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      if (control && control->PanelBrush()) {
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(control->PanelBrush());
      }
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK ParentProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const WNDPROC original = OriginalOf(window);
  if (message == WM_COMMAND && RouteCommand(wparam, lparam)) return 0;
  return original ? CallWindowProcA(original, window, message, wparam, lparam)
                  : DefWindowProcA(window, message, wparam, lparam);
}

void RegisterPanelClass() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kPanelClass, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &PanelProcedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPanelClass;
  RegisterClassExA(&wc);
}

}  // namespace

Win32Controls::Win32Controls(HWND parent) : parent_(parent), fonts_(std::make_unique<FontCache>()) {
  RegisterPanelClass();
  if (!parent_) return;
  old_procedure_ = reinterpret_cast<void*>(GetWindowLongPtrA(parent_, GWLP_WNDPROC));
  Originals()[parent_] = reinterpret_cast<WNDPROC>(old_procedure_);
  SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ParentProcedure));
}

Win32Controls::~Win32Controls() {
  if (!parent_) return;
  const auto original = reinterpret_cast<WNDPROC>(old_procedure_);
  Originals().erase(parent_);
  if (!IsWindow(parent_)) return;
  if (GetWindowLongPtrA(parent_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ParentProcedure))
    SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

std::unique_ptr<WindowControl> Win32Controls::Create(TControlKind kind,
                                                     const TControlOptions& options,
                                                     const Rect& bounds) {
  auto control = std::make_unique<Win32Control>(parent_, kind, options, *fonts_, bounds);
  if (!control->Valid()) return nullptr;
  return control;
}

HWND Win32Controls::InputWindow(const WindowControl& control) {
  return static_cast<const Win32Control&>(control).Input();
}

HWND Win32Controls::OuterWindow(const WindowControl& control) {
  return static_cast<const Win32Control&>(control).Outer();
}

}  // namespace brisomel
