// TForm1's view of the book: the zoom of its pages and full screen.
#include <windows.h>

#include <algorithm>

#include "shell/main_form.h"

namespace brisomel {

void TForm1::SetZoomPercent(int percent) {
  if (viewer_) viewer_->SetZoomPercent(std::clamp(percent, kMinZoom, kMaxZoom));
}

// Full screen takes the caption and frame off the window and lays it over the whole monitor
// it is on; the style and placement it had are kept and given back on leaving, so a maximised
// window returns maximised with its normal rectangle intact.
void TForm1::SetFullScreen(bool on) {
  HWND window = Handle();
  if (!window || on == full_screen_) return;
  if (on) {
    windowed_style_ = GetWindowLongPtrW(window, GWL_STYLE);
    windowed_placement_ = WINDOWPLACEMENT{};
    windowed_placement_.length = sizeof windowed_placement_;
    GetWindowPlacement(window, &windowed_placement_);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    full_screen_ = true;
    if (panel_ && panel_->Handle()) ShowWindow(panel_->Handle(), SW_HIDE);
    SetWindowLongPtrW(window, GWL_STYLE, windowed_style_ & ~(WS_CAPTION | WS_THICKFRAME));
    // One placement that is not maximised and covers the monitor: a maximised window keeps its
    // maximised size whatever it is moved to (the placement kept above still says maximised,
    // for the way back). Placements are in workspace coordinates.
    const RECT& r = monitor.rcMonitor;
    WINDOWPLACEMENT full = windowed_placement_;
    full.showCmd = SW_SHOWNORMAL;
    full.flags = 0;
    const LONG dx = monitor.rcWork.left - monitor.rcMonitor.left;
    const LONG dy = monitor.rcWork.top - monitor.rcMonitor.top;
    full.rcNormalPosition = RECT{r.left - dx, r.top - dy, r.right - dx, r.bottom - dy};
    SetWindowPlacement(window, &full);
    SetWindowPos(window, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  } else {
    full_screen_ = false;
    SetWindowLongPtrW(window, GWL_STYLE, windowed_style_);
    SetWindowPlacement(window, &windowed_placement_);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    if (panel_ && panel_->Handle()) ShowWindow(panel_->Handle(), SW_SHOW);
  }
  RECT client{};
  GetClientRect(window, &client);
  PlaceViewers(client.right, client.bottom);
}

}  // namespace brisomel
