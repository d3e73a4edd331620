#include "shell/search_form.h"

namespace brisomel {

bool TForm2::Create() {
  TWindowParams params;
  params.class_name = kClassName;
  params.text = kCaption;
  // Minimise and maximise border icons only.
  params.style = WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  params.left = CW_USEDEFAULT;
  params.top = CW_USEDEFAULT;
  params.width = 450;
  params.height = 121;
  params.parent = App().MainWindow();  // owned by the main window, not shown
  params.background = GetSysColorBrush(COLOR_BTNFACE);
  if (!TWindow::Create(params)) return false;
  gradient_caption1_ = MakeDesignedCaptionBar(Handle(), kCaption);
  return true;
}

LRESULT TForm2::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    ShowWindow(Handle(), SW_HIDE);
    return 0;
  }
  return TWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace brisomel
