// The application object: the program instance, its title, the message loop, and the standard
// message box for exceptions that escape an event handler.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace brisomel {

class TApplication {
 public:
  TApplication(HINSTANCE instance, std::string title);

  HINSTANCE Instance() const { return instance_; }
  const std::string& Title() const { return title_; }
  HWND MainWindow() const { return main_window_; }
  void SetMainWindow(HWND window) { main_window_ = window; }

  // Runs the message loop until Terminate; returns the exit code.
  int Run();
  // Ends the message loop; the forms are destroyed after it.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Shows an exception that escaped an event handler; the program goes on.
  void HandleException(const std::exception& error);
  void HandleException(const std::string& message);
  // The text shown for an exception: its message with a full stop added when it lacks one.
  static std::string ExceptionText(const std::string& message);

  // Sees each message before it is dispatched; true when it was used up there (the main
  // window's keyboard shortcuts).
  std::function<bool(const MSG& msg)> PreTranslateMessage;

  // Where exception texts go; by default a modal stop box over the main window. Tests
  // record them instead.
  std::function<void(const std::string& text)> ShowException;

 private:
  HINSTANCE instance_;
  std::string title_;
  HWND main_window_ = nullptr;
  bool terminated_ = false;
};

}  // namespace brisomel
