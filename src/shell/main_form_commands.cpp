// TForm1's commands: the toolbar's Open and Home, the popup menu, the About box, links that
// leave the book, and the keyboard shortcuts. The decisions are in commands.h.
#include <windows.h>

#include "html/viewer/zoom_steps.h"
#include "shell/main_form.h"

namespace brisomel {

namespace {

// Whether the window edits text, so that Backspace belongs to it.
bool EditsText(HWND window) {
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "Edit") == 0;
}

}  // namespace

void TForm1::RunCommand(TCommand command) {
  switch (command) {
    case cmBack:
      Back1Click();
      break;
    case cmForward:
      Forward1Click();
      break;
    case cmOpen:
      Open1Click();
      break;
    case cmHome:
      SpeedButton6Click();
      break;
    case cmSearch:
      SpeedButton5Click();
      break;
    case cmPrint:
      Print1Click();
      break;
    case cmStopSound:
      StopSound1Click();
      break;
    case cmExit:
      Exit1Click();
      break;
    case cmAbout:
      About1Click();
      break;
    case cmFindNext:
      FindNextInPage();
      break;
    case cmZoomIn:
      SetZoomPercent(NextZoom(ZoomPercent(), 1));
      break;
    case cmZoomOut:
      SetZoomPercent(NextZoom(ZoomPercent(), -1));
      break;
    case cmZoomReset:
      SetZoomPercent(kDefaultZoom);
      break;
    case cmFullScreen:
      SetFullScreen(!full_screen_);
      break;
    case cmNone:
      break;
  }
}

void TForm1::Back1Click() { SpeedButton1Click(); }
void TForm1::Forward1Click() { SpeedButton2Click(); }
void TForm1::Print1Click() { SpeedButton4Click(); }
void TForm1::Open1Click() { SpeedButton7Click(); }
void TForm1::Exit1Click() { SpeedButton3Click(); }

void TForm1::About1Click() {
  if (ShowAbout) ShowAbout(AboutText(), kAboutCaption);
}

// Open: the chosen file becomes the shown one and the one Home returns to. Cancelling changes
// nothing.
// Open, Home, Print and Search do nothing while a page is laid out (the toolbar answers clicks
// then), as Back and Forward do.
void TForm1::SpeedButton7Click() {
  if (viewer_->Processing()) return;
  if (!OpenDialog1.Execute(Handle())) return;
  state_.CurrentName = OpenDialog1.FileName;
  state_.HomeName = state_.CurrentName;
  LoadCurrentName();
}

// Home: back to the start file, or to the file of the last Open.
void TForm1::SpeedButton6Click() {
  if (viewer_->Processing()) return;
  state_.CurrentName = state_.HomeName;
  LoadCurrentName();
}

void TForm1::FrameViewer1HotSpotTargetClick(void* /*Sender*/, const std::string& /*Target*/,
                                            const std::string& URL, bool& Handled) {
  Handled = false;
  if (!HandsLinkToShell(URL)) return;
  Handled = true;
  // A failing shell open is not reported.
  system_->ShellOpen(URL);
}

void TForm1::CreatePopupMenu1() {
  popup_menu1_ = CreatePopupMenu();
  for (const TMenuItemDesign& item : kPopupMenu1) {
    if (item.command == cmNone)
      AppendMenuA(popup_menu1_, MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuA(popup_menu1_, MF_STRING, kCommandIdBase + item.command, item.caption);
  }
}

bool TForm1::InsideFrameViewer(HWND window) {
  if (!viewer_ || !window) return false;
  HWND frame_viewer = Win32WindowSystem::HandleOf(viewer_->Window());
  return window == frame_viewer || IsChild(frame_viewer, window);
}

bool TForm1::OnShownPage(HWND window) {
  if (!viewer_ || !window) return false;
  for (TPageViewer* page : viewer_->CurrentSet().Viewers) {
    HWND shown = Win32WindowSystem::HandleOf(page->Window());
    if (window == shown || IsChild(shown, window)) return true;
  }
  return false;
}

bool TForm1::ContextMenu(HWND source, int screen_x, int screen_y) {
  if (!popup_menu1_ || !InsideFrameViewer(source)) return false;
  if (screen_x == -1 && screen_y == -1) {
    // From the keyboard: at the viewer's top left corner.
    POINT corner{4, 4};
    ClientToScreen(source, &corner);
    screen_x = corner.x;
    screen_y = corner.y;
  }
  // The chosen item comes back as WM_COMMAND.
  TrackPopupMenu(popup_menu1_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen_x, screen_y,
                 0, Handle(), nullptr);
  return true;
}

bool TForm1::ShortcutMessage(const MSG& msg) {
  const bool wheel = msg.message == WM_MOUSEWHEEL;
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && !wheel) return false;
  if (!Handle() || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) return false;
  if (wheel) {
    // Ctrl with the wheel zooms, a step per notch; the wheel alone scrolls as before.
    if ((GET_KEYSTATE_WPARAM(msg.wParam) & MK_CONTROL) == 0) return false;
    const int delta = GET_WHEEL_DELTA_WPARAM(msg.wParam);
    if (delta != 0) SetZoomPercent(NextZoom(ZoomPercent(), delta > 0 ? 1 : -1));
    return true;
  }
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  const int key = static_cast<int>(msg.wParam);
  if (key == vkEscape && full_screen_ && shift == 0) {
    SetFullScreen(false);
    return true;
  }
  const TCommand command = ShortcutCommand(key, shift, EditsText(msg.hwnd));
  if (command != cmNone) {
    // Through the window procedure, so that an error is shown like a button's.
    SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(kCommandIdBase + command, 1), 0);
    return true;
  }
  // The page scrolls with these keys wherever else the focus is: on the toolbar, the window,
  // or the frame viewer around the pages.
  const bool scrolls = key == vkPrior || key == vkNext || key == vkHome || key == vkEnd;
  if (scrolls && (shift & (ssAlt | ssCtrl)) == 0 && !OnShownPage(msg.hwnd)) {
    if (TPageViewer* page = viewer_ ? viewer_->ActiveViewer() : nullptr) {
      int forwarded = key;
      page->KeyDown(forwarded, shift);
      return true;
    }
  }
  return false;
}

}  // namespace brisomel
