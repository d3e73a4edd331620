// The main form's side of remembering where a book was left: what it reads at start, what it
// gathers and writes at close.
#include <windows.h>

#include <vector>

#include "shell/main_form.h"

namespace brisomel {
namespace {

// Asks for the remembered scroll and full screen once the window is shown with its final size.
constexpr UINT kRememberedScrollMessage = WM_APP + 15;

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcWork;
    reinterpret_cast<std::vector<Rect>*>(list)->push_back(Rect{r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

std::vector<Rect> WorkAreas() {
  std::vector<Rect> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

// GetWindowPlacement's rectangles are in workspace coordinates: screen coordinates less the
// offset of the primary monitor's work area (a task bar at the top or left).
POINT WorkspaceOffset() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  return POINT{info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

}  // namespace

std::string TForm1::RememberedStartPage() {
  if (!states_ || fresh_) return {};
  remembered_ = states_->Load();
  // A file named on the command line opens instead; the window is still placed as it was.
  std::string page;
  if (args_.empty()) {
    page = RememberedPagePath(env_.GetTempDirectory(), remembered_,
                              [this](const std::string& path) { return files_->Exists(path); });
  }
  if (page.empty()) remembered_.scroll = 0;  // the scroll belonged to the page not opened
  // Set before the first page is laid out, so that it is laid out once.
  SetZoomPercent(remembered_.zoom);
  return page;
}

void TForm1::ApplyReadingState() {
  if (!states_ || fresh_) return;
  if (remembered_.window) {
    if (std::optional<Rect> place = PlaceOnScreens(*remembered_.window, WorkAreas())) {
      MoveWindow(Handle(), place->left, place->top, place->width(), place->height(), TRUE);
      remembered_maximized_ = remembered_.window->maximized;
    }
  }
  if (remembered_.scroll > 0 || (remembered_.window && remembered_.window->full_screen))
    PostMessageW(Handle(), kRememberedScrollMessage, 0, 0);
}

bool TForm1::HandleRememberMessage(UINT message) {
  if (message != kRememberedScrollMessage) return false;
  // Full screen first: the page is scrolled at the size it is read at.
  if (remembered_.window && remembered_.window->full_screen) SetFullScreen(true);
  TFrameSet& set = viewer_->CurrentSet();
  if (remembered_.scroll > 0 && set.Viewers.size() == 1)
    set.Viewers.front()->SetVerticalPosition(remembered_.scroll);
  return true;
}

int TForm1::StartShowCommand(int show) const {
  const bool plain = show == SW_SHOWNORMAL || show == SW_SHOW || show == SW_SHOWDEFAULT;
  return remembered_maximized_ && plain ? SW_SHOWMAXIMIZED : show;
}

ReadingState TForm1::GatherReadingState() {
  ReadingState state;
  // The top document: for a frame set its frameset file, whose frames open as they were
  // designed. Only a single page has one scroll position to keep.
  state.page = PageToRemember(env_.GetTempDirectory(), viewer_->CurrentFileName());
  TFrameSet& set = viewer_->CurrentSet();
  if (!state.page.empty() && set.Viewers.size() == 1)
    state.scroll = set.Viewers.front()->VerticalPosition();
  state.zoom = ZoomPercent();
  // In full screen the placement kept is the one the window goes back to.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (full_screen_) placement = windowed_placement_;
  if (full_screen_ || GetWindowPlacement(Handle(), &placement)) {
    const RECT& r = placement.rcNormalPosition;
    const POINT offset = WorkspaceOffset();
    WindowPlacement window{r.left + offset.x, r.top + offset.y, r.right - r.left, r.bottom - r.top};
    window.maximized =
        placement.showCmd == SW_SHOWMAXIMIZED ||
        (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    window.full_screen = full_screen_;
    state.window = window;
  }
  return state;
}

void TForm1::SaveReadingState() {
  if (!states_ || state_saved_ || !viewer_ || !Handle()) return;
  state_saved_ = true;
  // A state that cannot be written is lost, silently: the book still closes.
  try {
    states_->Save(GatherReadingState());
  } catch (...) {
  }
}

}  // namespace brisomel
