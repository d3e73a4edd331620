#include "shell/main_form.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "html/images/corner_image.h"
#include "shell/book_caption.h"
#include "shell/res/resource_ids.h"
#include "text/utf.h"

namespace brisomel {

namespace {

constexpr int kPageViewer1Width = 67;
constexpr int kPageViewer1Height = 47;

int ScreenBitsTimesPlanes() {
  HDC dc = GetDC(nullptr);
  int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  ReleaseDC(nullptr, dc);
  return bits;
}

}  // namespace

TForm1::TForm1(TApplication& app, BookEnvironment& env, std::vector<std::string> args)
    : TWindow(app), env_(env), args_(std::move(args)) {
  fresh_ = TakeFreshOption(args_);
  OpenDialog1.Filter = kOpenDialog1Filter;
  ShowAbout = [this](const std::string& text, const std::string& caption) {
    MessageBoxA(Handle(), text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
  };
}

TForm1::~TForm1() {
  App().PreTranslateMessage = nullptr;
  // The viewers' windows go before the form's.
  viewer_.reset();
  page_viewer1_.reset();
  drop_files1_.reset();
  Destroy();
  if (popup_menu1_) DestroyMenu(popup_menu1_);
}

void TForm1::CreateViewers(int client_width, int client_height) {
  files_ = MakePlatformFiles();
  if (!system_) system_ = MakePlatformSystem();
  images_ = std::make_unique<TImageModule>(ScreenBitsTimesPlanes());
  windows_ = std::make_unique<Win32WindowSystem>(App().Instance());
  windows_->OnException = [this](const std::string& message) { App().HandleException(message); };
  form_port_ = windows_->WrapWindow(Handle());
  panel_port_ = windows_->WrapWindow(panel_->Handle());
  if (!printer_) printer_ = MakePlatformPrinter();
  const TViewerServices services{windows_.get(), files_.get(), system_.get(), images_.get(),
                                 printer_.get()};

  page_viewer1_ = std::make_unique<TPageViewer>(services, panel_port_.get());
  page_viewer1_->SetScrollBars(ssNone);
  page_viewer1_->SetNoSelect(true);
  page_viewer1_->SetViewImages(true);
  page_viewer1_->SetHistoryMaxCount(0);
  page_viewer1_->SetImageCacheCount(0);

  viewer_ = std::make_unique<TFrameViewer>(services, form_port_.get());
  viewer_->SetHistoryMaxCount(15);
  viewer_->SetDefBackground(0xC0C0C0);
  viewer_->SetViewImages(true);
  viewer_->OnHistoryChange = [this](void* sender) { FrameViewer1HistoryChange(sender); };
  viewer_->OnHotSpotTargetClick = [this](void* sender, const std::string& target,
                                         const std::string& url, bool& handled) {
    FrameViewer1HotSpotTargetClick(sender, target, url, handled);
  };
  CreateMediaPlayer1();
  PlaceViewers(client_width, client_height);
}

void TForm1::PlaceViewers(int client_width, int client_height) {
  if (page_viewer1_) {
    // Right-aligned inside the panel's bevels.
    const int right = std::max(0, client_width - 1);
    page_viewer1_->SetBounds(Rect{right - kPageViewer1Width, 1, right, 1 + kPageViewer1Height});
  }
  if (viewer_) {
    // Full screen shows no toolbar: the viewer takes the whole window.
    const int top = full_screen_ ? 0 : kPanelHeight;
    viewer_->SetBounds(Rect{0, top, client_width, std::max(top, client_height)});
  }
}

bool TForm1::Create() {
  TWindowParams params;
  params.class_name = kMainFormClass;
  params.text = kMainFormCaption;
  params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  params.left = kMainFormBounds.left;
  params.top = kMainFormBounds.top;
  params.width = kMainFormBounds.width;
  params.height = kMainFormBounds.height;
  params.icon = LoadIconA(App().Instance(), MAKEINTRESOURCEA(IDI_BRISOMEL));
  params.background = GetSysColorBrush(COLOR_BTNFACE);
  if (!TWindow::Create(params)) return false;
  App().SetMainWindow(Handle());
  gradient_caption1_ = MakeDesignedCaptionBar(Handle(), kMainFormCaption);

  RECT client;
  GetClientRect(Handle(), &client);
  panel_ = std::make_unique<TPanel>(App());
  panel_->Create(Handle(), "Panel1", 0, 0, client.right, kPanelHeight);
  for (int i = 0; i < kSpeedButtonCount; ++i) {
    const TSpeedButtonDesign& design = kSpeedButtons[i];
    auto button = std::make_unique<TSpeedButton>(App());
    button->Create(panel_->Handle(), design.number, design.text, design.left, design.top,
                   design.width, design.height);
    button->NumGlyphs = kGlyphImages;
    button->Flat = true;
    button->AllowAllUp = design.allow_all_up;
    button->LoadGlyphFromResource(design.builtin_glyph);
    button->SetEnabled(design.enabled_at_start);
    buttons_[i] = std::move(button);
  }
  SpeedButton(1).OnClick = [this] { SpeedButton1Click(); };
  SpeedButton(2).OnClick = [this] { SpeedButton2Click(); };
  SpeedButton(3).OnClick = [this] { SpeedButton3Click(); };
  SpeedButton(4).OnClick = [this] { SpeedButton4Click(); };
  SpeedButton(5).OnClick = [this] { SpeedButton5Click(); };
  SpeedButton(6).OnClick = [this] { SpeedButton6Click(); };
  SpeedButton(7).OnClick = [this] { SpeedButton7Click(); };
  CreateViewers(client.right, client.bottom);
  CreatePopupMenu1();
  App().PreTranslateMessage = [this](const MSG& msg) { return ShortcutMessage(msg); };
  CreateDropFiles();

  try {
    FormCreate();
  } catch (const EWorkStopped&) {
    // Closed while the first page was laid out.
  } catch (const std::exception& error) {
    App().HandleException(error);
  }
  return true;
}

TSpeedButton& TForm1::SpeedButton(int number) {
  for (int i = 0; i < kSpeedButtonCount; ++i) {
    if (kSpeedButtons[i].number == number) return *buttons_[i];
  }
  throw std::out_of_range("no such speed button");
}

void TForm1::FormCreate() {
  RunFormCreate(env_, state_, [this](int index, const std::string& path) {
    buttons_[index]->LoadGlyphFromFile(path);
  });
  gradient_caption1_->CaptionText.SetCaption(
      Utf16ToUtf8(BookCaption(*files_, env_.GetTempDirectory())));
  viewer_->SetServerRoot(env_.GetTempDirectory());
  ShowStartPage();
}

void TForm1::ShowStartPage() {
  // The corner image: the book's own, else the built-in one written beside the book's files.
  if (!env_.GetTempDirectory().empty()) {
    const std::string corner = CornerImagePath(env_);
    if (!env_.FileExists(corner)) {
      auto file = files_->CreateWrite(corner);
      const auto bytes = CornerImageBytes();
      if (!file ||
          file->Write(bytes.data(), static_cast<int32_t>(bytes.size())) !=
              static_cast<int32_t>(bytes.size()) ||
          !file->Close()) {
        throw std::runtime_error("I/O error writing " + corner);
      }
      corner_written_ = corner;
    }
    page_viewer1_->LoadImageFile(corner);
  }
  state_.CurrentName = ChooseStartFile(env_, args_);
  state_.HomeName = state_.CurrentName;
  if (std::string page = RememberedStartPage(); !page.empty()) state_.CurrentName = page;
  state_.CurrentExt = UpperExtension(state_.CurrentName);
  if (state_.CurrentName.empty() || !env_.FileExists(state_.CurrentName)) return;
  LoadIntoFrameViewer(state_.CurrentName);
  const TFormBounds place = PlacementForScreenWidth(GetSystemMetrics(SM_CXSCREEN));
  MoveWindow(Handle(), place.left, place.top, place.width, place.height, TRUE);
  ApplyReadingState();
}

void TForm1::LoadIntoFrameViewer(const std::string& name) {
  if (ShowAsImage(state_.CurrentExt))
    viewer_->LoadImageFile(name);
  else
    viewer_->LoadFromFile(name);
}

bool TForm1::LoadCurrentName() {
  state_.CurrentExt = UpperExtension(state_.CurrentName);
  if (state_.CurrentName.empty() || !env_.FileExists(state_.CurrentName)) return false;
  viewer_->SetServerRoot(ServerRootFor(state_.CurrentName, env_.GetTempDirectory()));
  LoadIntoFrameViewer(state_.CurrentName);
  return true;
}

void TForm1::SpeedButton1Click() { viewer_->GoBack(); }

void TForm1::SpeedButton2Click() { viewer_->GoForward(); }

void TForm1::FrameViewer1HistoryChange(void* Sender) {
  auto* viewer = static_cast<TFrameViewer*>(Sender);
  if (viewer != viewer_.get()) return;
  SpeedButton(2).SetEnabled(viewer->FwdButtonEnabled());
  SpeedButton(1).SetEnabled(viewer->BackButtonEnabled());
  // A replaced page keeps its window, hidden, for the history; the focus it had falls to the
  // frame viewer around the pages, which has no use for keys. The shown page takes it.
  HWND focus = GetFocus();
  if (focus && InsideFrameViewer(focus) && !OnShownPage(focus)) {
    if (TPageViewer* page = viewer->ActiveViewer()) page->Window().SetFocus();
  }
}

void TForm1::FormDestroy() {
  // A corner image this run wrote goes with the book's other files: it sits in the run's own
  // directory, which is removed at exit.
  if (!corner_written_.empty() && files_) files_->Delete(corner_written_);
  SaveReadingState();
  RunFormDestroy(env_, state_);
}

void TForm1::SpeedButton3Click() { App().Terminate(); }

// Prints the whole document; a printer error is shown and the program goes on.
void TForm1::SpeedButton4Click() {
  if (viewer_->Processing()) return;  // clicked while a page is laid out
  try {
    viewer_->PrintRange(1, 9999);
  } catch (const std::exception& error) {
    App().HandleException(error);
  }
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (LRESULT result; HandleSoundMessage(message, &result)) return result;
  if (HandleRememberMessage(message)) return 0;
  switch (message) {
    case WM_SIZE:
      if (panel_ && panel_->Handle()) {
        MoveWindow(panel_->Handle(), 0, 0, LOWORD(lparam), kPanelHeight, TRUE);
      }
      PlaceViewers(LOWORD(lparam), HIWORD(lparam));
      break;
    case WM_COMMAND:
      // Menu items and shortcuts; the speed buttons call their handlers directly.
      if (lparam == 0 && LOWORD(wparam) > kCommandIdBase) {
        RunCommand(static_cast<TCommand>(LOWORD(wparam) - kCommandIdBase));
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      if (ContextMenu(reinterpret_cast<HWND>(wparam), GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)))
        return 0;
      break;
    case WM_CLOSE:
      // Closing the main window ends the program; the window is destroyed after the loop.
      App().Terminate();
      return 0;
    case WM_ENDSESSION:
      // The session ends: the program may be stopped without its window being destroyed.
      if (wparam) SaveReadingState();
      return 0;
    case WM_DESTROY:
      if (!destroyed_) {
        destroyed_ = true;
        FormDestroy();
      }
      if (App().MainWindow() == Handle()) App().SetMainWindow(nullptr);
      return 0;
  }
  return TWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace brisomel
