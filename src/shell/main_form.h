// TForm1, the main window: the toolbar panel with its seven speed buttons and the corner
// image (PageViewer1), above the frame viewer (FrameViewer1) that fills the client area and
// shows the book.
// Creating it runs the start-up sequence (startup.h); destroying it runs the exit sequence.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "html/frames/frame_viewer.h"
#include "html/images/image_module.h"
#include "html/viewer/page_viewer.h"
#include "platform/files.h"
#include "platform/win32/window_win32.h"
#include "shell/drop_files.h"
#include "shell/main_form_design.h"
#include "shell/panel.h"
#include "shell/speed_button.h"
#include "shell/startup.h"
#include "shell/window.h"

namespace brisomel {

class TForm2;

class TForm1 : public TWindow {
 public:
  TForm1(TApplication& app, BookEnvironment& env, std::vector<std::string> args = {});
  ~TForm1() override;

  // Creates the window and its controls at their designed places, runs FormCreate (an
  // exception there is shown and the rest of it skipped) and becomes the application's main
  // window. The window is not shown yet.
  bool Create();

  TPanel& Panel1() { return *panel_; }
  TSpeedButton& SpeedButton(int number);  // SpeedButtonN, N = 1..7
  const TMainWindowState& State() const { return state_; }
  // The viewer that shows the book.
  TFrameViewer& FrameViewer1() { return *viewer_; }
  TPageViewer& PageViewer1() { return *page_viewer1_; }

  void FormCreate();
  void FormDestroy();

  void SpeedButton1Click();  // Back
  void SpeedButton2Click();  // Forward
  void SpeedButton3Click();  // Exit
  void SpeedButton4Click();  // Print
  void ViewerHistoryChange();
  // Stops the background sound, if one plays.
  void StopSound1Click();

  // Loads State().CurrentName the way Open, Home and dropped files do: CurrentExt is set from
  // it; when the file exists the frame viewer's ServerRoot becomes its directory and the file
  // is shown as an image or loaded as a page. Answers whether the file existed.
  bool LoadCurrentName();

  // The search dialog, shown modally by the Search button; set once it is created.
  TForm2* Form2 = nullptr;
  void SpeedButton5Click();  // Search
  // Repeats the search dialog's last Find on the shown page without showing the dialog;
  // nothing when nothing was searched yet.
  void FindNextInPage();

  // Files dropped on the window are loaded in turn, as Open would load them; the first one
  // that does not exist ends the loop. Home stays where it was.
  TDropFiles& DropFiles1() { return *drop_files1_; }
  void DropFiles1FilesDroped();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void CreateViewers(int client_width, int client_height);
  void PlaceViewers(int client_width, int client_height);
  void ShowStartPage();
  // Shows a file by the ShowAsImage rule of its CurrentExt.
  void LoadIntoFrameViewer(const std::string& name);
  void CreateDropFiles();

  BookEnvironment& env_;
  std::vector<std::string> args_;
  std::string corner_written_;
  TMainWindowState state_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<System> system_;
  std::unique_ptr<PrinterPort> printer_;
  std::unique_ptr<TImageModule> images_;
  std::unique_ptr<Win32WindowSystem> windows_;
  std::unique_ptr<TWindowPort> form_port_, panel_port_;
  std::unique_ptr<TPageViewer> page_viewer1_;
  std::unique_ptr<TFrameViewer> viewer_;
  std::unique_ptr<TPanel> panel_;
  // Indexed like kSpeedButtons (glyph lookup order).
  std::array<std::unique_ptr<TSpeedButton>, kSpeedButtonCount> buttons_;
  std::unique_ptr<TDropFiles> drop_files1_;
  bool destroyed_ = false;
};

}  // namespace brisomel
