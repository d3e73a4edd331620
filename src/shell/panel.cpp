#include "shell/panel.h"

namespace brisomel {

bool TPanel::Create(HWND parent, const std::string& name, int left, int top, int width,
                    int height) {
  TWindowParams params;
  params.class_name = kClassName;
  params.text = name;
  params.parent = parent;
  params.left = left;
  params.top = top;
  params.width = width;
  params.height = height;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  return TWindow::Create(params);
}

void TPanel::PaintTo(HDC dc) {
  RECT rect;
  GetClientRect(Handle(), &rect);
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  // The panel's raised outer bevel, one pixel wide.
  DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
  // Bevel1 fills the panel's client area inside that bevel: a lowered box.
  InflateRect(&rect, -1, -1);
  DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result;
  if (HandlePaintMessage(message, wparam, [this](HDC dc) { PaintTo(dc); }, &result)) return result;
  return TWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace brisomel
