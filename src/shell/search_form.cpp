#include "shell/search_form.h"

#include "platform/win32/wide_text.h"
#include "shell/main_form.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// Window texts go through the wide calls, so that names in any script show as written.
void SetText(HWND window, const std::string& utf8) {
  SetWindowTextW(window, WideText(utf8).c_str());
}

}  // namespace

TForm2::TForm2(TApplication& app, TForm1* form1)
    : TWindow(app), form1_(form1), files_(MakePlatformFiles()) {
  ShowMessage = [this](const std::string& text) {
    MessageBoxW(Handle(), WideText(text).c_str(), WideText(App().Title()).c_str(),
                MB_OK | MB_ICONINFORMATION);
  };
}

HWND TForm2::AddControl(const char* window_class, const char* text, DWORD style, int id, int left,
                        int top, int width, int height) {
  HWND control =
      CreateWindowExW(0, WideText(window_class).c_str(), WideText(text).c_str(),
                      WS_CHILD | WS_VISIBLE | style, left, top, width, height, Handle(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), App().Instance(), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  return control;
}

bool TForm2::Create() {
  TWindowParams params;
  params.class_name = kClassName;
  params.text = kCaption;
  // Minimise and maximise border icons only.
  params.style = WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  // Tab moves between the controls.
  params.ex_style = WS_EX_CONTROLPARENT;
  params.left = CW_USEDEFAULT;
  params.top = CW_USEDEFAULT;
  params.width = kWidth;
  params.height = kHeight;
  params.parent = App().MainWindow();  // owned by the main window, not shown
  params.background = GetSysColorBrush(COLOR_BTNFACE);
  if (!TWindow::Create(params)) return false;
  gradient_caption1_ = MakeDesignedCaptionBar(Handle(), kCaption);
  edit1_ =
      AddControl("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kEdit1Id, 20, 8, 265, 21);
  button1_ =
      AddControl("BUTTON", "Find", WS_TABSTOP | BS_DEFPUSHBUTTON, kButton1Id, 328, 12, 101, 25);
  button2_ = AddControl("BUTTON", "Search All Pages", WS_TABSTOP | BS_PUSHBUTTON, kButton2Id, 328,
                        52, 101, 25);
  button3_ = AddControl("BUTTON", "Close", WS_TABSTOP | BS_PUSHBUTTON, kButton3Id, 20, 56, 75, 25);
  label1_ = AddControl("STATIC", "", SS_LEFT | SS_NOPREFIX, kLabel1Id, 148, 72, 170, 13);
  return true;
}

std::string TForm2::Edit1Text() const {
  const int length = GetWindowTextLengthW(edit1_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit1_, text.data(), length + 1)));
  return Utf8Text(text);
}

void TForm2::SetEdit1Text(const std::string& text) { SetText(edit1_, text); }

void TForm2::ShowModal() {
  if (!Handle()) return;  // never created: there is nothing to wait for
  HWND owner = App().MainWindow();
  HWND focused = GetFocus();
  FormShow();
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(Handle(), SW_SHOW);
  SetFocus(edit1_);
  modal_ = true;
  MSG msg;
  while (modal_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: leave the quit message for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (IsDialogMessageW(Handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  modal_ = false;
  // The owner comes back before the dialog goes, so that it is the one activated.
  if (owner) EnableWindow(owner, TRUE);
  ShowWindow(Handle(), SW_HIDE);
  if (owner) SetActiveWindow(owner);
  // The control that had the focus gets it back, unless a page loaded meanwhile replaced it.
  if (focused && IsWindow(focused)) SetFocus(focused);
}

void TForm2::FormShow() {
  SetText(label1_, "");
  RECT bounds;
  GetWindowRect(Handle(), &bounds);
  const int width = bounds.right - bounds.left;
  SetWindowPos(Handle(), nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2, kTop, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetText(button1_, "Find");
  if (!form1_) return;
  TFrameViewer& viewer = form1_->FrameViewer1();
  viewer.SetFindStart(0);
  walk_.Start(*files_, viewer.ServerRoot(), viewer.CurrentFileName());
}

void TForm2::Find(const std::string& text) {
  if (!form1_) return;
  TFrameViewer& viewer = form1_->FrameViewer1();
  last_find_text_ = text;
  if (viewer.FindText(Utf8ToUtf16(text), false)) {
    SetText(button1_, "Find Next");
    return;
  }
  ShowMessage(text + " - Text not Found");
  SetText(button1_, "Find");
  // The next Find starts again from the top.
  viewer.SetFindStart(0);
}

void TForm2::Button1Click() { Find(Edit1Text()); }

void TForm2::FindNext() {
  if (!last_find_text_.empty()) Find(last_find_text_);
}

void TForm2::Button2Click() {
  if (!form1_) return;
  if (walk_.SearchFiles().empty()) {
    ShowMessage("No Files to Search");
    return;
  }
  const std::string text = Edit1Text();
  const TSearchWalk::TStep step = walk_.Next(*files_, Utf8ToUtf16(text));
  if (step.Outcome != TSearchWalk::TOutcome::Found) {
    ShowMessage("No more files to search");
    SetText(button2_, "Find in Files");
    return;
  }
  SetText(label1_, FileNamePart(step.Name));
  TFrameViewer& viewer = form1_->FrameViewer1();
  viewer.LoadFromFile(step.Path);
  // Selects the first match; a file whose markup alone holds the text stays loaded as it is.
  viewer.FindText(Utf8ToUtf16(text), false);
  SetText(button2_, "Next File");
  form1_->SpeedButton(1).SetEnabled(true);
}

void TForm2::Button3Click() {
  SetText(label1_, "");
  walk_.Release();
  EndDialog();
}

void TForm2::EndDialog() {
  // A modal showing hides the dialog itself once its owner is enabled again.
  if (modal_)
    modal_ = false;
  else
    ShowWindow(Handle(), SW_HIDE);
}

LRESULT TForm2::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) != BN_CLICKED) break;
      switch (LOWORD(wparam)) {
        case kButton1Id:
        case IDOK:  // Enter
          Button1Click();
          return 0;
        case kButton2Id:
          Button2Click();
          return 0;
        case kButton3Id:
        case IDCANCEL:  // Escape
          Button3Click();
          return 0;
      }
      break;
    case WM_CLOSE:
      EndDialog();
      return 0;
  }
  return TWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace brisomel
