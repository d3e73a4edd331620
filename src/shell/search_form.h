// TForm2, the search dialog "Search For...", shown modally by the main window's Search
// button. Find steps through the matches of Edit1's text on the shown page; Search All Pages
// loads the next page of the root directory that holds the text (the walk is TSearchWalk).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/files.h"
#include "shell/gradient_caption.h"
#include "shell/search_walk.h"
#include "shell/window.h"

namespace brisomel {

class TForm1;

class TForm2 : public TWindow {
 public:
  static constexpr const char* kClassName = "TForm2";
  static constexpr const char* kCaption = "Search For...";
  static constexpr int kWidth = 450;
  static constexpr int kHeight = 121;
  static constexpr int kTop = 150;
  // Control ids; Enter and Escape arrive as IDOK and IDCANCEL.
  static constexpr int kEdit1Id = 100;
  static constexpr int kButton1Id = 101;
  static constexpr int kButton2Id = 102;
  static constexpr int kButton3Id = 103;
  static constexpr int kLabel1Id = 104;

  // `form1` is the main window whose frame viewer the dialog searches; without one the
  // dialog only shows itself.
  explicit TForm2(TApplication& app, TForm1* form1 = nullptr);
  ~TForm2() override { Destroy(); }

  bool Create();
  // Shows the dialog (FormShow first) with the main window disabled, and returns when it is
  // closed.
  void ShowModal();

  void FormShow();
  void Button1Click();  // Find
  void Button2Click();  // Search All Pages
  void Button3Click();  // Close
  // Find once more with the text of the last Find (nothing before the first one).
  void FindNext();

  HWND Edit1() const { return edit1_; }
  HWND Button1() const { return button1_; }
  HWND Button2() const { return button2_; }
  HWND Button3() const { return button3_; }
  HWND Label1() const { return label1_; }
  std::string Edit1Text() const;
  void SetEdit1Text(const std::string& text);
  const TSearchWalk& Walk() const { return walk_; }
  const std::string& LastFindText() const { return last_find_text_; }

  // Where the dialog's information messages go; by default a modal box over the dialog.
  // Tests record them instead.
  std::function<void(const std::string& text)> ShowMessage;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  std::unique_ptr<TGradientCaption> gradient_caption1_;  // the gradient title bar
  void Find(const std::string& text);
  void EndDialog();
  HWND AddControl(const char* window_class, const char* text, DWORD style, int id, int left,
                  int top, int width, int height);

  TForm1* form1_;
  // The walk lists and reads through its own files port.
  std::unique_ptr<Files> files_;
  TSearchWalk walk_;
  std::string last_find_text_;
  bool modal_ = false;
  HWND edit1_ = nullptr, button1_ = nullptr, button2_ = nullptr, button3_ = nullptr,
       label1_ = nullptr;
};

}  // namespace brisomel
