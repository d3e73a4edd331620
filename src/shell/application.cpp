#include "shell/application.h"

#include "platform/win32/wide_text.h"

namespace brisomel {

TApplication::TApplication(HINSTANCE instance, std::string title)
    : instance_(instance), title_(std::move(title)) {
  ShowException = [this](const std::string& text) {
    MessageBoxW(main_window_, WideText(text).c_str(), WideText(title_).c_str(),
                MB_OK | MB_ICONSTOP);
  };
}

int TApplication::Run() {
  MSG msg;
  while (!terminated_) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (PreTranslateMessage && PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  terminated_ = true;
  return 0;
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

std::string TApplication::ExceptionText(const std::string& message) {
  std::string text = message;
  if (text.empty() || text.back() != '.') text += '.';
  return text;
}

void TApplication::HandleException(const std::exception& error) { HandleException(error.what()); }

void TApplication::HandleException(const std::string& message) {
  if (ShowException) ShowException(ExceptionText(message));
}

}  // namespace brisomel
