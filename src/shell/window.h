// A thin base for the program's windows: registers a window class per class name, keeps the
// object with its window handle, and turns messages into a virtual handler. Exceptions that
// escape a handler go to the application's exception box instead of through Windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "shell/application.h"

namespace brisomel {

struct TWindowParams {
  const char* class_name = "";
  std::string text;
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD ex_style = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  HWND parent = nullptr;
  int id = 0;  // control id of a child window
  HICON icon = nullptr;
  HBRUSH background = nullptr;
};

class TWindow {
 public:
  explicit TWindow(TApplication& app) : app_(app) {}
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  HWND Handle() const { return handle_; }
  // Creates the window; false when Windows refused.
  bool Create(const TWindowParams& params);
  void Destroy();

 protected:
  // Handles one message; the default passes it to Windows.
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  TApplication& App() { return app_; }
  // Answers the paint messages of a window that draws all of itself (no background erase,
  // WM_PAINT and WM_PRINTCLIENT through `paint`); true when `message` was one of them, with
  // the message's result in `*result`.
  bool HandlePaintMessage(UINT message, WPARAM wparam, const std::function<void(HDC)>& paint,
                          LRESULT* result);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  TApplication& app_;
  HWND handle_ = nullptr;
};

}  // namespace brisomel
