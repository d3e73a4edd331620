#include "shell/speed_button.h"

#include <windowsx.h>

#include <stdexcept>

namespace brisomel {

TSpeedButton::~TSpeedButton() {
  Destroy();
  if (glyph_) DeleteObject(glyph_);
}

bool TSpeedButton::Create(HWND parent, int id, const std::string& text, int left, int top,
                          int width, int height) {
  TWindowParams params;
  params.class_name = kClassName;
  params.text = text;
  params.parent = parent;
  params.id = id;
  params.left = left;
  params.top = top;
  params.width = width;
  params.height = height;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  return TWindow::Create(params);
}

void TSpeedButton::SetGlyph(HBITMAP glyph) {
  if (glyph_) DeleteObject(glyph_);
  glyph_ = glyph;
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TSpeedButton::LoadGlyphFromResource(int resource) {
  HBITMAP bitmap =
      static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap) SetGlyph(bitmap);
}

void TSpeedButton::LoadGlyphFromFile(const std::string& path) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) throw std::runtime_error("Bitmap image is not valid");
  SetGlyph(bitmap);
}

void TSpeedButton::SetEnabled(bool enabled) {
  if (!enabled) {
    mouse_down_ = pressed_ = false;
    hover_ = false;
  }
  EnableWindow(Handle(), enabled);
  InvalidateRect(Handle(), nullptr, TRUE);
}

bool TSpeedButton::Enabled() const { return IsWindowEnabled(Handle()) != 0; }

int TSpeedButton::GlyphIndex() const {
  int index = 0;
  if (!Enabled())
    index = 1;
  else if (pressed_)
    index = 2;
  else if (Down)
    index = 3;
  return index < NumGlyphs ? index : 0;
}

void TSpeedButton::PaintTo(HDC dc) {
  RECT rect;
  GetClientRect(Handle(), &rect);
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));

  const bool sunken = pressed_ || Down;
  if (!Flat) {
    DrawEdge(dc, &rect, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  } else if (Enabled() && (sunken || hover_)) {
    DrawEdge(dc, &rect, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }

  if (!glyph_) return;
  BITMAP info;
  if (!GetObjectA(glyph_, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
  const int images = NumGlyphs > 0 ? NumGlyphs : 1;
  const int width = info.bmWidth / images;
  const int height = info.bmHeight;
  if (width <= 0) return;
  int x = (rect.right - width) / 2;
  int y = (rect.bottom - height) / 2;
  if (sunken) {
    ++x;
    ++y;
  }
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, glyph_);
  const COLORREF transparent = GetPixel(source, 0, height - 1);
  TransparentBlt(dc, x, y, width, height, source, GlyphIndex() * width, 0, width, height,
                 transparent);
  SelectObject(source, old);
  DeleteDC(source);
}

void TSpeedButton::SetHover(bool hover) {
  if (hover == hover_) return;
  hover_ = hover;
  InvalidateRect(Handle(), nullptr, TRUE);
}

bool TSpeedButton::PointInside(LPARAM lparam) const {
  RECT rect;
  GetClientRect(Handle(), &rect);
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  return PtInRect(&rect, point) != 0;
}

LRESULT TSpeedButton::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result;
  if (HandlePaintMessage(message, wparam, [this](HDC dc) { PaintTo(dc); }, &result)) return result;
  switch (message) {
    case WM_ENABLE:
      InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    case WM_MOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        tracking_ = TrackMouseEvent(&track) != 0;
      }
      const bool inside = PointInside(lparam);
      SetHover(inside);
      if (mouse_down_ && inside != pressed_) {
        pressed_ = inside;
        InvalidateRect(Handle(), nullptr, TRUE);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (!mouse_down_) SetHover(false);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      mouse_down_ = pressed_ = true;
      SetCapture(Handle());
      InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP: {
      const bool click = mouse_down_ && PointInside(lparam);
      mouse_down_ = pressed_ = false;
      if (GetCapture() == Handle()) ReleaseCapture();
      SetHover(PointInside(lparam));
      InvalidateRect(Handle(), nullptr, TRUE);
      // The handler may end the program; nothing of this object is touched after it.
      if (click && OnClick) OnClick();
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (mouse_down_) {
        mouse_down_ = pressed_ = false;
        InvalidateRect(Handle(), nullptr, TRUE);
      }
      return 0;
  }
  return TWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace brisomel
