#include "shell/caption_buttons.h"

#include <algorithm>

namespace brisomel {
namespace {

void Fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  const RECT rect{left, top, right, bottom};
  FillRect(dc, &rect, brush);
}

// A window outline with a thick top edge (the maximise symbol, and the restore symbol's two
// windows), its inside filled with `inside` when given.
void DrawWindowSymbol(HDC dc, int x, int y, int side, int thick, HBRUSH ink, HBRUSH inside) {
  if (inside) Fill(dc, x + 1, y + thick, x + side - 1, y + side - 1, inside);
  Fill(dc, x, y, x + side, y + thick, ink);
  Fill(dc, x, y, x + 1, y + side, ink);
  Fill(dc, x + side - 1, y, x + side, y + side, ink);
  Fill(dc, x, y + side - 1, x + side, y + side, ink);
}

// The symbol of `kind` in the square at (x, y) of `side` pixels.
void DrawSymbol(HDC dc, UINT kind, int x, int y, int side, HBRUSH ink, HBRUSH face) {
  const int thick = std::max(1, (side + 4) / 6);
  switch (kind) {
    case DFCS_CAPTIONCLOSE:
      // Two diagonals, each row `thick` pixels wide.
      for (int row = 0; row < side; ++row) {
        Fill(dc, x + row, y + row, std::min(x + row + thick, x + side), y + row + 1, ink);
        Fill(dc, std::max(x + side - row - thick, x), y + row, x + side - row, y + row + 1, ink);
      }
      break;
    case DFCS_CAPTIONMIN:
      Fill(dc, x, y + side - thick, x + side - side / 4, y + side, ink);
      break;
    case DFCS_CAPTIONMAX:
      DrawWindowSymbol(dc, x, y, side, thick, ink, nullptr);
      break;
    case DFCS_CAPTIONRESTORE: {
      // Two overlapping windows, the front one at the bottom left.
      const int small = std::max(3, side * 2 / 3);
      DrawWindowSymbol(dc, x + side - small, y, small, thick, ink, nullptr);
      DrawWindowSymbol(dc, x, y + side - small, small, thick, ink, face);
      break;
    }
    case DFCS_CAPTIONHELP: {
      LOGBRUSH brush{};
      GetObjectA(ink, sizeof brush, &brush);
      RECT rect{x - 2, y - 2, x + side + 2, y + side + 2};
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, brush.lbColor);
      DrawTextA(dc, "?", 1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      break;
    }
  }
}

}  // namespace

bool CaptionSymbolFontInstalled() {
  static const bool installed = [] {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET, 0, 0, 0,
                             0, "Marlett");
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return lstrcmpiA(face, "Marlett") == 0;
  }();
  return installed;
}

void DrawCaptionButton(HDC dc, const RECT& rect, UINT state) {
  if (CaptionSymbolFontInstalled()) {
    RECT button = rect;
    DrawFrameControl(dc, &button, DFC_CAPTION, state);
  } else {
    DrawOwnCaptionButton(dc, rect, state);
  }
}

void DrawOwnCaptionButton(HDC dc, const RECT& rect, UINT state) {
  RECT inner = rect;
  DrawEdge(dc, &inner, (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED,
           BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST);
  const int side = std::min(inner.right - inner.left, inner.bottom - inner.top) - 2;
  if (side < 3) return;
  int x = inner.left + (inner.right - inner.left - side) / 2;
  int y = inner.top + (inner.bottom - inner.top - side) / 2;
  if (state & DFCS_PUSHED) {
    ++x;
    ++y;
  }
  const UINT kind = state & 0xFF;
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  if (state & DFCS_INACTIVE) {
    // Greyed out: the symbol in shadow over a highlight copy one pixel down and right.
    DrawSymbol(dc, kind, x + 1, y + 1, side, GetSysColorBrush(COLOR_BTNHIGHLIGHT), face);
    DrawSymbol(dc, kind, x, y, side, GetSysColorBrush(COLOR_BTNSHADOW), face);
  } else {
    DrawSymbol(dc, kind, x, y, side, GetSysColorBrush(COLOR_BTNTEXT), face);
  }
}

}  // namespace brisomel
