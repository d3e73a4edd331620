// TGradientCaption on a real window: the bar drawn into a bitmap, the title rules through
// the window's text, and the hook put on and taken off.
#include "shell/gradient_caption.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace brisomel {
namespace {

class GradientCaptionTest : public ::testing::Test {
 protected:
  GradientCaptionTest() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GradientCaptionTestForm";
    RegisterClassA(&wc);
    form = CreateWindowExA(0, wc.lpszClassName, "Brisomel", WS_OVERLAPPEDWINDOW, 10, 10, 600, 300,
                           nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~GradientCaptionTest() override { DestroyWindow(form); }

  std::string Title() {
    char text[128] = "";
    GetWindowTextA(form, text, sizeof text);
    return text;
  }

  // The bar drawn into a 32-bit bitmap; pixels as 0x00BBGGRR.
  struct Drawn {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + x];  // 0x00RRGGBB
      return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
  };
  Drawn Draw(TGradientCaption& bar) {
    const RECT rect = bar.BarRect();
    Drawn drawn;
    drawn.width = rect.right - rect.left;
    drawn.height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = drawn.width;
    info.bmiHeader.biHeight = -drawn.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    bar.DrawBar(dc);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    drawn.pixels.assign(p, p + static_cast<size_t>(drawn.width) * drawn.height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return drawn;
  }

  HWND form = nullptr;
};

TEST_F(GradientCaptionTest, TheTextAreaIsBandedAndTheRestTakesTheRightColour) {
  auto bar = MakeDesignedCaptionBar(form, "Brisomel");
  bar->Enabled = geAlways;
  bar->SetNumColors(4);
  bar->CaptionText.SetVisible(false);          // no text over the bands
  SendMessageA(form, WM_NCACTIVATE, TRUE, 0);  // the active state's colours
  RECT area = bar->TextArea();
  const RECT rect = bar->BarRect();
  OffsetRect(&area, -rect.left, -rect.top);
  const Drawn drawn = Draw(*bar);
  const int bottom = drawn.height - 1;  // below the icon
  const auto bands = GradientBands(area.left, area.right - area.left, 4, kNavy, kSilver);
  for (const TGradientBand& band : bands) {
    EXPECT_EQ(drawn.At(band.left, bottom), band.color) << band.left;
    EXPECT_EQ(drawn.At(band.right - 1, bottom), band.color) << band.right;
  }
  // Under the caption buttons (to the right of the text area): the right colour.
  EXPECT_EQ(drawn.At(drawn.width - 1, bottom), kSilver);

  // Inactive: from the inactive left colour (black) to the system's inactive caption colour.
  SendMessageA(form, WM_NCACTIVATE, FALSE, 0);
  const COLORREF inactive = GetSysColor(COLOR_INACTIVECAPTION);
  const Drawn dimmed = Draw(*bar);
  EXPECT_EQ(dimmed.At(area.left, bottom), kBlack);
  EXPECT_EQ(dimmed.At(area.right - 1, bottom), inactive);
  EXPECT_EQ(dimmed.At(drawn.width - 1, bottom), inactive);

  // One colour: the whole text area in the left colour; never: the system caption colour.
  SendMessageA(form, WM_NCACTIVATE, TRUE, 0);
  bar->SetNumColors(1);
  EXPECT_EQ(Draw(*bar).At(area.right - 1, bottom), kNavy);
  bar->Enabled = geNever;
  EXPECT_EQ(Draw(*bar).At(area.left + 30, bottom), GetSysColor(COLOR_ACTIVECAPTION));
}

TEST_F(GradientCaptionTest, NumColorsKeepsItsLimitsQuietly) {
  TGradientCaption bar(form);
  EXPECT_EQ(bar.NumColors(), 64);
  bar.SetNumColors(300);
  EXPECT_EQ(bar.NumColors(), 256);
  bar.SetNumColors(0);
  EXPECT_EQ(bar.NumColors(), 256);
  bar.SetNumColors(-1);
  EXPECT_EQ(bar.NumColors(), 256);
  bar.SetNumColors(1);
  EXPECT_EQ(bar.NumColors(), 1);
}

TEST_F(GradientCaptionTest, TextsMakeTheTitleAndTheCaptionIsReadFromIt) {
  TGradientCaption bar(form);
  EXPECT_EQ(bar.CaptionText.Caption(), "Brisomel");
  bar.CompanyText.SetCaption("Acme");
  EXPECT_EQ(Title(), "Acme Brisomel");
  bar.AppNameText.SetCaption("Soft");
  EXPECT_EQ(Title(), "Acme Soft Brisomel");
  // A program that sets the title directly sees it in the caption text.
  SetWindowTextA(form, "Acme Reader");
  EXPECT_EQ(bar.CaptionText.Caption(), "Reader");
  bar.AppNameText.SetVisible(false);
  EXPECT_EQ(Title(), "Acme Reader");
  bar.CompanyText.SetVisible(false);
  EXPECT_EQ(Title(), "Reader");
  bar.CaptionText.SetVisible(false);
  EXPECT_EQ(Title(), "");
  bar.CaptionText.SetVisible(true);
  EXPECT_EQ(Title(), "Reader");
}

// A caption of any script reaches the window's stored title whole, as the task bar reads it,
// and comes back from it unchanged.
TEST_F(GradientCaptionTest, CaptionsOfAnyScriptKeepEveryCharacter) {
  TGradientCaption bar(form);
  const std::string title =
      "Caf\xC3\xA9 \xE2\x80\x94 \xD0\x93\xD0\xB0\xD0\xB2\xD0\xB0\xD0\xBD\xD1\x8C "
      "\xE6\xB8\xAF";  // Café — Гавань 港
  bar.CaptionText.SetCaption(title);
  wchar_t stored[64] = L"";
  InternalGetWindowText(form, stored, 64);
  EXPECT_EQ(std::wstring(stored), L"Caf\u00E9 \u2014 \u0413\u0430\u0432\u0430\u043D\u044C \u6E2F");
  EXPECT_EQ(bar.CaptionText.Caption(), title);
  bar.CompanyText.SetCaption("Acme");
  EXPECT_EQ(bar.WindowText(), "Acme " + title);
  EXPECT_EQ(bar.CaptionText.Caption(), title);
}

TEST_F(GradientCaptionTest, FontKindsFollowTheSystemCaptionFont) {
  TGradientCaption bar(form);
  bar.CompanyText.SetFontKind(fkSystemBI);
  EXPECT_TRUE(bar.CompanyText.Font().lfItalic);
  EXPECT_EQ(bar.CompanyText.Font().lfWeight, FW_BOLD);
  EXPECT_STREQ(bar.CompanyText.Font().lfFaceName, bar.SystemFont().lfFaceName);
  bar.AppNameText.SetFontKind(fkSystemI);
  EXPECT_TRUE(bar.AppNameText.Font().lfItalic);
  // Assigning a font makes the kind custom, except for the automatic height.
  LOGFONTA custom = bar.SystemFont();
  custom.lfHeight = -40;
  bar.CaptionText.SetFont(custom);
  EXPECT_EQ(bar.CaptionText.FontKind(), fkCustom);
  EXPECT_EQ(bar.CaptionText.Font().lfHeight, -40);
  bar.CaptionText.SetFontKind(fkAutoHeight);
  bar.CaptionText.SetFont(custom);
  EXPECT_EQ(bar.CaptionText.FontKind(), fkAutoHeight);
  EXPECT_GT(bar.CaptionText.Font().lfHeight, 0);  // the system font's cell height
  EXPECT_LT(bar.CaptionText.Font().lfHeight, 40);
}

TEST_F(GradientCaptionTest, TheHookComesOffWithTheComponentAndTheWindow) {
  const LONG_PTR original = GetWindowLongPtrA(form, GWLP_WNDPROC);
  {
    TGradientCaption bar(form);
    EXPECT_NE(GetWindowLongPtrA(form, GWLP_WNDPROC), original);
    bar.CompanyText.SetCaption("Acme");
    // Frame messages pass through the hook without harm.
    SendMessageA(form, WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(bar.Active());
    SendMessageA(form, WM_NCACTIVATE, FALSE, 0);
    EXPECT_FALSE(bar.Active());
    SendMessageA(form, WM_NCPAINT, 1, 0);
    SendMessageA(form, WM_SETTINGCHANGE, 0, 0);
    // Sizing borders set their sizing cursors.
    struct Case {
      WORD hit;
      LPCSTR cursor;
    };
    for (const Case& c : {Case{HTLEFT, IDC_SIZEWE}, Case{HTBOTTOM, IDC_SIZENS},
                          Case{HTTOPLEFT, IDC_SIZENWSE}, Case{HTBOTTOMLEFT, IDC_SIZENESW}}) {
      SetCursor(nullptr);
      EXPECT_TRUE(SendMessageA(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(form),
                               MAKELPARAM(c.hit, WM_MOUSEMOVE)));
      EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, c.cursor)) << c.hit;
    }
  }
  EXPECT_EQ(GetWindowLongPtrA(form, GWLP_WNDPROC), original);
  EXPECT_EQ(Title(), "Brisomel");  // the caption text's caption is left as the title
  // Only a form can carry the bar.
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  EXPECT_THROW(TGradientCaption{child}, std::invalid_argument);
  EXPECT_THROW(TGradientCaption{nullptr}, std::invalid_argument);
  // A component whose window goes first unhooks on the window's destruction.
  auto bar = std::make_unique<TGradientCaption>(form);
  DestroyWindow(form);
  form = nullptr;
  bar.reset();
}

}  // namespace
}  // namespace brisomel
