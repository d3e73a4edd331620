// TForm1, the main window: the toolbar panel with its seven speed buttons above an (for now)
// empty client area. Creating it runs the start-up sequence (startup.h); destroying it runs
// the exit sequence.
#pragma once

#include <array>
#include <memory>

#include "shell/main_form_design.h"
#include "shell/panel.h"
#include "shell/speed_button.h"
#include "shell/startup.h"
#include "shell/window.h"

namespace brisomel {

class TForm1 : public TWindow {
 public:
  TForm1(TApplication& app, BookEnvironment& env);
  ~TForm1() override;

  // Creates the window and its controls at their designed places, runs FormCreate (an
  // exception there is shown and the rest of it skipped) and becomes the application's main
  // window. The window is not shown yet.
  bool Create();

  TPanel& Panel1() { return *panel_; }
  TSpeedButton& SpeedButton(int number);  // SpeedButtonN, N = 1..7
  const TMainWindowState& State() const { return state_; }

  void FormCreate();
  void FormDestroy();

  void SpeedButton3Click();  // Exit

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  BookEnvironment& env_;
  TMainWindowState state_;
  std::unique_ptr<TPanel> panel_;
  // Indexed like kSpeedButtons (glyph lookup order).
  std::array<std::unique_ptr<TSpeedButton>, kSpeedButtonCount> buttons_;
  bool destroyed_ = false;
};

}  // namespace brisomel
