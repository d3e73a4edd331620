// The flat speed button's look in each state: flat at rest, raised under the pointer, sunken
// and showing the down image while pressed, the disabled image (and no raising) when disabled,
// the held image when held down.
#include "shell/speed_button.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "shell/application.h"

namespace brisomel {
namespace {

class SpeedButtonTest : public ::testing::Test {
 protected:
  SpeedButtonTest() : app(GetModuleHandleA(nullptr), "Brisomel"), button(app) {
    parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    button.Create(parent, 1, "Back", 4, 4, 49, 41);
  }
  ~SpeedButtonTest() override {
    button.Destroy();
    DestroyWindow(parent);
  }

  // The colour the button paints at its top-left corner.
  COLORREF Corner() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 49, 41);
    HGDIOBJ old = SelectObject(dc, canvas);
    button.PaintTo(dc);
    COLORREF corner = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return corner;
  }
  void Send(UINT message, int x = 10, int y = 10) {
    SendMessageA(button.Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(x, y));
  }

  TApplication app;
  TSpeedButton button;
  HWND parent = nullptr;
};

TEST_F(SpeedButtonTest, EdgesAndImagesFollowThePointer) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };

  EXPECT_EQ(Corner(), face);
  EXPECT_EQ(button.GlyphIndex(), 0);
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(Corner(), light) << "raised under the pointer";
  Send(WM_LBUTTONDOWN);
  EXPECT_EQ(Corner(), shadow) << "sunken while pressed";
  EXPECT_EQ(button.GlyphIndex(), 2);
  Send(WM_MOUSEMOVE, 100, 10);
  EXPECT_EQ(button.GlyphIndex(), 0) << "dragged off: up again";
  Send(WM_MOUSEMOVE);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Corner(), light);
  Send(WM_MOUSELEAVE);
  EXPECT_EQ(Corner(), face);

  button.SetEnabled(false);
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(button.GlyphIndex(), 1);
  EXPECT_EQ(Corner(), face) << "a disabled flat button stays flat";

  button.SetEnabled(true);
  button.Down = true;
  EXPECT_EQ(button.GlyphIndex(), 3);
  EXPECT_EQ(Corner(), shadow);
}

}  // namespace
}  // namespace brisomel
