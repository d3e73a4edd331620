// TForm2, the search dialog. For now only its window: created hidden after the main window.
#pragma once

#include <memory>

#include "shell/gradient_caption.h"
#include "shell/window.h"

namespace brisomel {

class TForm2 : public TWindow {
 public:
  static constexpr const char* kClassName = "TForm2";
  static constexpr const char* kCaption = "Search For...";

  explicit TForm2(TApplication& app) : TWindow(app) {}
  ~TForm2() override { Destroy(); }

  bool Create();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  std::unique_ptr<TGradientCaption> gradient_caption1_;  // the gradient title bar
};

}  // namespace brisomel
