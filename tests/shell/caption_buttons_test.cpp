// The caption buttons' own symbols, drawn into a 16x14 bitmap (a classic caption button):
// a raised face with the symbol in an 8x8 square at (4, 3).
#include "shell/caption_buttons.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace brisomel {
namespace {

constexpr int kWidth = 16, kHeight = 14, kLeft = 4, kTop = 3;

// Pixels as 0x00BBGGRR.
std::vector<COLORREF> DrawButton(UINT state) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DrawOwnCaptionButton(dc, RECT{0, 0, kWidth, kHeight}, state);
  GdiFlush();
  std::vector<COLORREF> pixels;
  for (const auto* p = static_cast<const uint32_t*>(bits);
       p != static_cast<const uint32_t*>(bits) + kWidth * kHeight; ++p)
    pixels.push_back(((*p & 0xFF) << 16) | (*p & 0xFF00) | ((*p >> 16) & 0xFF));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

COLORREF At(const std::vector<COLORREF>& pixels, int x, int y) {
  return pixels[static_cast<size_t>(kTop + y) * kWidth + kLeft + x];
}

TEST(CaptionButtonsTest, EachSymbolHasItsShape) {
  using Points = std::vector<std::pair<int, int>>;  // in the symbol's square
  struct Case {
    UINT state;
    Points ink, face;
  };
  const Case cases[] = {
      // An X: the corners and the middle, not the middle of an edge.
      {DFCS_CAPTIONCLOSE, {{0, 0}, {7, 0}, {0, 7}, {7, 7}, {3, 3}, {4, 4}}, {{4, 0}, {0, 4}}},
      // A bar along the bottom.
      {DFCS_CAPTIONMIN, {{0, 7}, {0, 6}, {5, 7}}, {{0, 0}, {3, 3}, {7, 7}}},
      // A window: outline with a thick top.
      {DFCS_CAPTIONMAX, {{0, 0}, {7, 0}, {3, 1}, {0, 7}, {7, 7}}, {{3, 3}, {4, 5}}},
      // Two windows: the back one at the top right, the front one at the bottom left.
      {DFCS_CAPTIONRESTORE,
       {{3, 0}, {7, 0}, {7, 4}, {0, 3}, {0, 7}, {4, 7}},
       {{0, 0}, {2, 5}, {7, 7}}},
  };
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const Case& c : cases) {
    const std::vector<COLORREF> pixels = DrawButton(c.state);
    for (auto [x, y] : c.ink)
      EXPECT_EQ(At(pixels, x, y), ink) << c.state << " at " << x << "," << y;
    for (auto [x, y] : c.face)
      EXPECT_EQ(At(pixels, x, y), face) << c.state << " at " << x << "," << y;
  }
  // Greyed out: the symbol in the shadow colour; pushed: one pixel down and right.
  EXPECT_EQ(At(DrawButton(DFCS_CAPTIONCLOSE | DFCS_INACTIVE), 3, 3), GetSysColor(COLOR_BTNSHADOW));
  const std::vector<COLORREF> pushed = DrawButton(DFCS_CAPTIONMAX | DFCS_PUSHED);
  EXPECT_EQ(At(pushed, 1, 1), ink);
  EXPECT_EQ(At(pushed, 0, 0), face);
}

}  // namespace
}  // namespace brisomel
