#include "shell/gradient_caption.h"

#include <array>
#include <exception>
#include <stdexcept>

#include "shell/caption_buttons.h"
#include "text/utf.h"

namespace brisomel {
namespace {

constexpr const char* kHookProperty = "BrisomelGradientCaption";

COLORREF Resolve(TCaptionColor color) {
  if (color & kSystemColorBit) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

int ScreenBitsPerPixel() {
  HDC dc = GetDC(nullptr);
  const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  ReleaseDC(nullptr, dc);
  return bits;
}

// The window look before version 4 has no icon or buttons of its own in the bar.
bool OlderLook() { return LOBYTE(LOWORD(GetVersion())) < 4; }

std::wstring Wide(const std::string& utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

}  // namespace

// --- Texts ---

void TCompanyText::SetCaption(const std::string& value) {
  const std::string caption = owner_.CaptionText.Caption();
  caption_ = value;
  owner_.UpdateFormTitle(caption);
}

void TCompanyText::SetVisible(bool value) {
  const std::string caption = owner_.CaptionText.Caption();
  visible_ = value;
  owner_.UpdateFormTitle(caption);
}

void TCompanyText::SetFont(const LOGFONTA& value) {
  font_ = value;
  if (font_kind_ != fkAutoHeight) font_kind_ = fkCustom;
  if (font_kind_ == fkAutoHeight) ApplyFontKind(owner_.SystemFont());
  handle_.reset();
}

void TCompanyText::SetFontKind(TFontKind value) {
  font_kind_ = value;
  ApplyFontKind(owner_.SystemFont());
}

void TCompanyText::ApplyFontKind(const LOGFONTA& system_font) {
  switch (font_kind_) {
    case fkCustom:
      break;
    case fkSystem:
    case fkSystemI:
    case fkSystemB:
    case fkSystemBI:
      font_ = system_font;
      if (font_kind_ == fkSystemI || font_kind_ == fkSystemBI) font_.lfItalic = TRUE;
      if (font_kind_ == fkSystemB || font_kind_ == fkSystemBI) font_.lfWeight = FW_BOLD;
      break;
    case fkAutoHeight: {
      // The character cell of the system caption font, as a positive (cell) height.
      HDC dc = GetDC(nullptr);
      HFONT system = CreateFontIndirectA(&system_font);
      HGDIOBJ old = SelectObject(dc, system);
      TEXTMETRICA metrics{};
      if (GetTextMetricsA(dc, &metrics)) font_.lfHeight = metrics.tmHeight;
      SelectObject(dc, old);
      DeleteObject(system);
      ReleaseDC(nullptr, dc);
      break;
    }
  }
  handle_.reset();
}

HFONT TCompanyText::Handle() {
  if (!handle_) handle_.reset(CreateFontIndirectA(&font_));
  return handle_.get();
}

std::string TCaptionText::Caption() const {
  if (!Visible()) return caption_;
  const TCompanyText& company = owner_.CompanyText;
  const TCompanyText& app_name = owner_.AppNameText;
  return CaptionFromTitle(owner_.WindowText(),
                          company.Visible() ? std::optional(company.Caption()) : std::nullopt,
                          app_name.Visible() ? std::optional(app_name.Caption()) : std::nullopt);
}

void TCaptionText::SetCaption(const std::string& value) { owner_.UpdateFormTitle(value); }

// --- The component ---

TGradientCaption::TGradientCaption(HWND form) : form_(form) {
  if (!IsWindow(form) || (GetWindowLongA(form, GWL_STYLE) & WS_CHILD))
    throw std::invalid_argument("TGradientCaption needs a form as its owner");
  ReadSystemFont();
  for (TCompanyText* text :
       std::array<TCompanyText*, 3>{&CompanyText, &AppNameText, &CaptionText}) {
    text->ApplyFontKind(system_font_);
  }
  CaptionText.caption_ = CaptionText.Caption();
  Hook();
}

TGradientCaption::~TGradientCaption() {
  if (!IsWindow(form_)) return;
  const std::string caption = CaptionText.Caption();
  Unhook();
  SetTitle(caption);
  SetWindowPos(form_, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TGradientCaption::SetNumColors(int value) {
  if (const auto clamped = ClampNumColors(value)) num_colors_ = *clamped;
}

std::string TGradientCaption::WindowText() const {
  wchar_t text[512] = L"";
  if (!IsWindow(form_)) return "";
  const LRESULT length = DefWindowProcW(form_, WM_GETTEXT, static_cast<WPARAM>(std::size(text)),
                                        reinterpret_cast<LPARAM>(text));
  if (length <= 0) return "";
  return Utf16ToUtf8(std::u16string(text, text + length));
}

void TGradientCaption::SetTitle(const std::string& text) {
  if (!IsWindow(form_)) return;
  const std::wstring wide = Wide(text);
  DefWindowProcW(form_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  // The default handling draws a plain caption; the bar goes back over it.
  if (previous_) PaintBar();
}

void TGradientCaption::UpdateFormTitle(const std::string& caption) {
  CaptionText.caption_ = caption;
  auto part = [](const TCompanyText& text, const std::string& value) {
    return text.Visible() ? std::optional(value) : std::nullopt;
  };
  const std::string title =
      FormTitle({part(CompanyText, CompanyText.Caption()), part(AppNameText, AppNameText.Caption()),
                 part(CaptionText, caption)});
  SetTitle(title);
}

void TGradientCaption::ReadSystemFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof system_font_, &system_font_);
    return;
  }
  system_font_ = metrics.lfCaptionFont;
}

bool TGradientCaption::Active() const {
  if (active_) return *active_;
  return GetActiveWindow() == form_;
}

// --- Geometry ---

RECT TGradientCaption::BarRect() const {
  RECT window{};
  GetWindowRect(form_, &window);
  const LONG style = GetWindowLongA(form_, GWL_STYLE);
  const LONG ex_style = GetWindowLongA(form_, GWL_EXSTYLE);
  const bool sizeable = (style & WS_THICKFRAME) != 0;
  const int frame_x = GetSystemMetrics(sizeable ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
  const int frame_y = GetSystemMetrics(sizeable ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
  const int caption =
      GetSystemMetrics((ex_style & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
  return RECT{frame_x, frame_y, window.right - window.left - frame_x, frame_y + caption};
}

RECT TGradientCaption::TextArea() const {
  RECT area = BarRect();
  const LONG style = GetWindowLongA(form_, GWL_STYLE);
  const LONG ex_style = GetWindowLongA(form_, GWL_EXSTYLE);
  const int button = GetSystemMetrics(SM_CXSIZE);
  if (style & WS_SYSMENU) {
    area.right -= button + 2;  // close
    if (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))
      area.right -= 2 * button;  // maximise and minimise
    else if (ex_style & WS_EX_CONTEXTHELP)
      area.right -= button + 2;  // help
  }
  if (area.right < area.left) area.right = area.left;
  return area;
}

// --- Painting ---

void TGradientCaption::DrawBar(HDC dc) {
  const RECT bar = BarRect();
  RECT local{0, 0, bar.right - bar.left, bar.bottom - bar.top};
  RECT area = TextArea();
  OffsetRect(&area, -bar.left, -bar.top);
  const bool active = Active();
  const bool gradient = UseGradient(Enabled, active, ScreenBitsPerPixel());
  const COLORREF flat = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  const COLORREF left = Resolve(active ? ColorLeftActive : ColorLeftInActive);
  const COLORREF right = Resolve(active ? ColorRightActive : ColorRightInActive);
  auto fill = [dc](const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
  };
  const bool older = OlderLook();
  if (!older) fill(local, gradient ? right : flat);
  if (gradient) {
    for (const TGradientBand& band :
         GradientBands(area.left, area.right - area.left, num_colors_, left, right)) {
      fill(RECT{band.left, area.top, band.right, area.bottom}, band.color);
    }
  } else {
    fill(area, flat);
  }
  if (!older) {
    DrawIcon(dc, area);
    DrawButtons(dc, local);
  }
  if (OnDrawCaption) {
    HGDIOBJ old = SelectObject(dc, CaptionText.Handle());
    OnDrawCaption(*this, dc, area);
    SelectObject(dc, old);
  }
  DrawTexts(dc, area);
}

void TGradientCaption::DrawIcon(HDC dc, RECT& area) {
  const LONG style = GetWindowLongA(form_, GWL_STYLE);
  const LONG ex_style = GetWindowLongA(form_, GWL_EXSTYLE);
  if (!(style & WS_SYSMENU) || (ex_style & (WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW))) return;
  HICON icon = reinterpret_cast<HICON>(SendMessageA(form_, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(form_, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(form_, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(form_, GCLP_HICON));
  if (!icon) icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  const int cx = GetSystemMetrics(SM_CXSMICON);
  const int cy = GetSystemMetrics(SM_CYSMICON);
  DrawIconEx(dc, area.left + 1, area.top + 1, icon, cx, cy, 0, nullptr, DI_NORMAL);
  area.left += 1 + cx + 1;
}

void TGradientCaption::DrawButtons(HDC dc, const RECT& bar) {
  const LONG style = GetWindowLongA(form_, GWL_STYLE);
  if (!(style & WS_SYSMENU)) return;
  const int width = GetSystemMetrics(SM_CXSIZE) - 2;
  const int height = GetSystemMetrics(SM_CYSIZE) - 4;
  const int top = bar.top + (bar.bottom - bar.top - height) / 2;
  RECT button{bar.right - 2 - width, top, bar.right - 2, top + height};
  DrawCaptionButton(dc, button, DFCS_CAPTIONCLOSE);
  if (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) {
    OffsetRect(&button, -(width + 2), 0);
    DrawCaptionButton(dc, button,
                      (IsZoomed(form_) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) |
                          ((style & WS_MAXIMIZEBOX) ? 0 : DFCS_INACTIVE));
    OffsetRect(&button, -width, 0);
    DrawCaptionButton(dc, button,
                      (IsIconic(form_) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) |
                          ((style & WS_MINIMIZEBOX) ? 0 : DFCS_INACTIVE));
  } else if (GetWindowLongA(form_, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) {
    OffsetRect(&button, -(width + 2), 0);
    DrawCaptionButton(dc, button, DFCS_CAPTIONHELP);
  }
}

void TGradientCaption::DrawTexts(HDC dc, const RECT& area) {
  std::array<TCompanyText*, kCaptionParts> texts{&CompanyText, &AppNameText, &CaptionText};
  std::array<std::wstring, kCaptionParts> captions;
  std::array<std::optional<int>, kCaptionParts> widths;
  for (int part = 0; part < kCaptionParts; ++part) {
    if (!texts[part]->Visible()) continue;
    captions[part] = Wide(texts[part]->Caption());
    HGDIOBJ old = SelectObject(dc, texts[part]->Handle());
    SIZE size{};
    GetTextExtentPoint32W(dc, captions[part].c_str(), static_cast<int>(captions[part].size()),
                          &size);
    SelectObject(dc, old);
    widths[part] = size.cx;
  }
  const TCaptionTextFit fit =
      FitCaptionTexts(area.left, area.right, widths, Justification, OlderLook());
  const bool active = Active();
  SetBkMode(dc, TRANSPARENT);
  for (int part = 0; part < kCaptionParts; ++part) {
    if (!fit.drawn[part]) continue;
    HGDIOBJ old = SelectObject(dc, texts[part]->Handle());
    SetTextColor(dc, Resolve(active ? texts[part]->ColorActive : texts[part]->ColorInactive));
    RECT rect{fit.left[part], area.top, area.right, area.bottom};
    DrawTextW(dc, captions[part].c_str(), static_cast<int>(captions[part].size()), &rect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, old);
  }
}

void TGradientCaption::PaintBar() {
  const LONG style = GetWindowLongA(form_, GWL_STYLE);
  if ((style & WS_CAPTION) != WS_CAPTION || IsIconic(form_)) return;
  const RECT bar = BarRect();
  const int width = bar.right - bar.left;
  const int height = bar.bottom - bar.top;
  if (width <= 0 || height <= 0) return;
  HDC window_dc = GetWindowDC(form_);
  if (!window_dc) return;
  HDC memory = CreateCompatibleDC(window_dc);
  HBITMAP bitmap = CreateCompatibleBitmap(window_dc, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  DrawBar(memory);
  BitBlt(window_dc, bar.left, bar.top, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(form_, window_dc);
}

// --- The hook ---

void TGradientCaption::Hook() {
  if (!IsWindow(form_) || previous_) return;
  SetPropA(form_, kHookProperty, this);
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(form_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc)));
}

void TGradientCaption::Unhook() {
  if (!previous_) return;
  if (IsWindow(form_)) {
    if (GetWindowLongPtrA(form_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HookProc))
      SetWindowLongPtrA(form_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(form_, kHookProperty);
  }
  previous_ = nullptr;
}

LRESULT TGradientCaption::CallPrevious(UINT message, WPARAM wparam, LPARAM lparam) {
  return CallWindowProcA(previous_, form_, message, wparam, lparam);
}

LRESULT CALLBACK TGradientCaption::HookProc(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  auto* self = static_cast<TGradientCaption*>(GetPropA(window, kHookProperty));
  if (!self || !self->previous_) return DefWindowProcA(window, message, wparam, lparam);
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (const std::exception&) {
    // Painting a caption must never take the window down; the frame is left as it is.
    return self->previous_ ? self->CallPrevious(message, wparam, lparam) : 0;
  }
}

LRESULT TGradientCaption::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCPAINT: {
      if ((GetWindowLongA(form_, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
        return CallPrevious(message, wparam, lparam);
      // The rest of the frame is the window's own, with the bar left out of its clip.
      RECT window{};
      GetWindowRect(form_, &window);
      RECT bar = BarRect();
      OffsetRect(&bar, window.left, window.top);
      HRGN clip = CreateRectRgnIndirect(&window);
      if (wparam != 1) CombineRgn(clip, reinterpret_cast<HRGN>(wparam), nullptr, RGN_COPY);
      HRGN bar_region = CreateRectRgnIndirect(&bar);
      CombineRgn(clip, clip, bar_region, RGN_DIFF);
      DeleteObject(bar_region);
      const LRESULT result = CallPrevious(message, reinterpret_cast<WPARAM>(clip), lparam);
      DeleteObject(clip);
      PaintBar();
      return result;
    }
    case WM_NCACTIVATE:
      active_ = wparam != 0;
      // The window records its state; -1 keeps it from painting a caption over the bar.
      CallPrevious(message, wparam, static_cast<LPARAM>(-1));
      PaintBar();
      return TRUE;
    case WM_SETCURSOR: {
      LPCSTR cursor = nullptr;
      switch (LOWORD(lparam)) {
        case HTLEFT:
        case HTRIGHT:
          cursor = IDC_SIZEWE;
          break;
        case HTTOP:
        case HTBOTTOM:
          cursor = IDC_SIZENS;
          break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
          cursor = IDC_SIZENWSE;
          break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
          cursor = IDC_SIZENESW;
          break;
      }
      if (!cursor) return CallPrevious(message, wparam, lparam);
      SetCursor(LoadCursorA(nullptr, cursor));
      return TRUE;
    }
    case WM_DESTROY: {
      WNDPROC previous = previous_;
      Unhook();
      return CallWindowProcA(previous, form_, message, wparam, lparam);
    }
    case WM_SETICON:
    case WM_SETTEXT: {
      // The window's own handling draws a plain caption; the bar goes back over it.
      const LRESULT result = CallPrevious(message, wparam, lparam);
      PaintBar();
      return result;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE: {
      const LRESULT result = CallPrevious(message, wparam, lparam);
      ReadSystemFont();
      CompanyText.ApplyFontKind(system_font_);
      AppNameText.ApplyFontKind(system_font_);
      CaptionText.ApplyFontKind(system_font_);
      RedrawWindow(form_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return result;
    }
  }
  return CallPrevious(message, wparam, lparam);
}

}  // namespace brisomel

namespace brisomel {

std::unique_ptr<TGradientCaption> MakeDesignedCaptionBar(HWND form, const std::string& caption) {
  auto bar = std::make_unique<TGradientCaption>(form);
  bar->ColorLeftActive = kNavy;
  bar->ColorRightActive = kSilver;
  bar->CompanyText.SetFontKind(fkSystemBI);
  bar->AppNameText.SetFontKind(fkSystemB);
  bar->CaptionText.SetFontKind(fkSystem);
  bar->CaptionText.SetCaption(caption);
  // The texts sit on the bar's dark left end. The system's caption-text colours are black on
  // many systems (and under Wine), which cannot be read on navy or black, so the bar's design
  // gives them light colours of its own.
  for (TCompanyText* text : {&bar->CompanyText, static_cast<TCompanyText*>(&bar->AppNameText),
                             static_cast<TCompanyText*>(&bar->CaptionText)}) {
    text->ColorActive = kWhite;
    text->ColorInactive = kSilver;
  }
  return bar;
}

}  // namespace brisomel
