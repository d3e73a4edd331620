#include "shell/main_form.h"

#include <stdexcept>

#include "shell/res/resource_ids.h"

namespace brisomel {

TForm1::TForm1(TApplication& app, BookEnvironment& env) : TWindow(app), env_(env) {}

TForm1::~TForm1() { Destroy(); }

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
  SpeedButton(3).OnClick = [this] { SpeedButton3Click(); };

  try {
    FormCreate();
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
}

void TForm1::FormDestroy() { RunFormDestroy(env_, state_); }

void TForm1::SpeedButton3Click() { App().Terminate(); }

LRESULT TForm1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      if (panel_ && panel_->Handle()) {
        MoveWindow(panel_->Handle(), 0, 0, LOWORD(lparam), kPanelHeight, TRUE);
      }
      break;
    case WM_CLOSE:
      // Closing the main window ends the program; the window is destroyed after the loop.
      App().Terminate();
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
