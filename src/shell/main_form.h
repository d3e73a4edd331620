// TForm1, the main window: the toolbar panel with its seven speed buttons and the corner
// image (PageViewer1), above the frame viewer (FrameViewer1) that fills the client area and
// shows the book.
// Creating it runs the start-up sequence (startup.h); destroying it runs the exit sequence.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/frames/frame_viewer.h"
#include "html/images/image_module.h"
#include "html/viewer/page_viewer.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/win32/window_win32.h"
#include "shell/commands.h"
#include "shell/gradient_caption.h"
#include "shell/drop_files.h"
#include "shell/main_form_design.h"
#include "shell/open_dialog.h"
#include "shell/panel.h"
#include "shell/remembered_place.h"
#include "shell/sound_requests.h"
#include "shell/speed_button.h"
#include "shell/startup.h"
#include "shell/window.h"

namespace brisomel {

class TForm2;

class TForm1 : public TWindow {
 public:
  TForm1(TApplication& app, BookEnvironment& env, std::vector<std::string> args = {});
  ~TForm1() override;

  // The system port for the shell and message boxes; set before Create to replace the
  // machine's (tests record shell requests this way).
  void UseSystem(std::unique_ptr<System> system) { system_ = std::move(system); }
  // The printer port; set before Create to replace the machine's default printer.
  void UsePrinter(std::unique_ptr<PrinterPort> printer) { printer_ = std::move(printer); }

  // Where this book was left is read at start and written at close (and when the session
  // ends); without this nothing is remembered. Set before Create.
  void UseReadingStates(std::unique_ptr<TReadingStates> states) { states_ = std::move(states); }
  // The command to show the window with at start: maximised when it was left so.
  int StartShowCommand(int show) const;
  // The reading state of what the form shows now: the page, its scroll position, the zoom and
  // the window's placement.
  ReadingState GatherReadingState();
  // Writes GatherReadingState once; later calls do nothing.
  void SaveReadingState();

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
  void SpeedButton6Click();  // Home
  void SpeedButton7Click();  // Open
  // PopupMenu1's items; each with a toolbar button calls that button's handler.
  void Back1Click();
  void Forward1Click();
  void Print1Click();
  void Open1Click();
  void Exit1Click();
  void About1Click();
  // Stops the background sound, if one plays.
  void StopSound1Click();
  void FrameViewer1HistoryChange(void* Sender);
  // Hands a link that leaves the book to the shell and marks it handled; any other link is
  // left to the frame viewer.
  void FrameViewer1HotSpotTargetClick(void* Sender, const std::string& Target,
                                      const std::string& URL, bool& Handled);

  // Runs a command of the toolbar, the popup menu or the keyboard.
  void RunCommand(TCommand command);
  // Handles a key message of any window inside the main window before it is dispatched: a
  // shortcut runs its command, and the scrolling keys reach the shown page when the focus is
  // outside it. True when the message was used up.
  bool ShortcutMessage(const MSG& msg);
  // The popup menu of FrameViewer1 (items as kPopupMenu1, ids kCommandIdBase + command).
  HMENU PopupMenu1() const { return popup_menu1_; }
  TOpenDialog OpenDialog1;
  // Shows the About box (text, caption); tests record it instead.
  std::function<void(const std::string& text, const std::string& caption)> ShowAbout;
  // A page's sound request (only SRC is used): see TSoundRequests.
  void FrameViewer1SoundRequest(void* Sender, const std::string& SRC, int Loop, bool Terminate);
  // The sound device the pages' background sounds play on.
  SoundPort& MediaPlayer1() { return *media_player1_; }
  // The gradient title bar.
  TGradientCaption& GradientCaption1() { return *gradient_caption1_; }
  // Plays the sounds on `player` instead of the machine's device; call before Create.
  void UseSoundPort(std::unique_ptr<SoundPort> player) { media_player1_ = std::move(player); }

  // Loads State().CurrentName the way Open, Home and dropped files do: CurrentExt is set from
  // it; when the file exists the frame viewer's ServerRoot becomes the book's directory for a
  // file of the book, else the file's own directory, and the file is shown as an image or
  // loaded as a page. Answers whether the file existed.
  bool LoadCurrentName();

  // The search dialog, shown modally by the Search button; set once it is created.
  TForm2* Form2 = nullptr;
  void SpeedButton5Click();  // Search: shows Form2
  // Repeats the search dialog's last Find on the shown page without showing the dialog;
  // nothing when nothing was searched yet.
  void FindNextInPage();

  // Files dropped on the window are loaded in turn, as Open would load them; the first one
  // that does not exist ends the loop. Home stays where it was.
  TDropFiles& DropFiles1() { return *drop_files1_; }
  void DropFiles1FilesDroped();

  // The zoom of the book's pages in percent, every frame alike (TFrameViewer::SetZoomPercent);
  // Ctrl with '+', '-', '0' or the mouse wheel changes it.
  int ZoomPercent() const { return viewer_ ? viewer_->ZoomPercent() : kDefaultZoom; }
  void SetZoomPercent(int percent);
  // Full screen: the page covers the monitor, without caption, frame and toolbar. Leaving it
  // puts the window back as it was (maximised too). F11 toggles it, Esc leaves it.
  bool IsFullScreen() const { return full_screen_; }
  void SetFullScreen(bool on);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void CreateViewers(int client_width, int client_height);
  void PlaceViewers(int client_width, int client_height);
  void ShowStartPage();
  // Shows a file by the ShowAsImage rule of its CurrentExt.
  void LoadIntoFrameViewer(const std::string& name);
  void CreatePopupMenu1();
  // Shows PopupMenu1 at a screen point for a right click (or the menu key) inside the viewer.
  bool ContextMenu(HWND source, int screen_x, int screen_y);
  bool InsideFrameViewer(HWND window);
  // Whether the window is one of the shown pages (a viewer of the current document) or inside
  // one.
  bool OnShownPage(HWND window);
  // Creates MediaPlayer1 (unless one was given) and routes the frame viewer's sound requests
  // to it.
  void CreateMediaPlayer1();
  // The sound error posted from a request (shown after the page's load, not during it).
  bool HandleSoundMessage(UINT message, LRESULT* result);
  void CreateDropFiles();
  // Reads the remembered state (unless --fresh) and answers the page to open instead of the
  // start page: empty when there is none, it is no longer in the book, or a file was named on
  // the command line.
  std::string RememberedStartPage();
  // Places the window as remembered and asks for the remembered scroll once it is shown;
  // carries the zoom over.
  void ApplyReadingState();
  // The remembered scroll position, applied to the shown page.
  bool HandleRememberMessage(UINT message);

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
  HMENU popup_menu1_ = nullptr;
  std::unique_ptr<TDropFiles> drop_files1_;
  bool destroyed_ = false;
  std::unique_ptr<SoundPort> media_player1_;
  std::unique_ptr<TSoundRequests> sounds_;
  std::vector<std::string> sound_errors_;
  std::unique_ptr<TGradientCaption> gradient_caption1_;
  std::unique_ptr<TReadingStates> states_;
  bool fresh_ = false;  // --fresh: start as if nothing was remembered
  ReadingState remembered_;
  bool remembered_maximized_ = false;
  bool state_saved_ = false;
  bool full_screen_ = false;
  LONG_PTR windowed_style_ = 0;           // the style to go back to from full screen
  WINDOWPLACEMENT windowed_placement_{};  // and the placement
};

}  // namespace brisomel
