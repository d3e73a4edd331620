// The toolbar panel: a raised panel with a lowered bevel box filling its client area.
#pragma once

#include "shell/window.h"

namespace brisomel {

class TPanel : public TWindow {
 public:
  static constexpr const char* kClassName = "TPanel";

  explicit TPanel(TApplication& app) : TWindow(app) {}
  ~TPanel() override { Destroy(); }

  bool Create(HWND parent, const std::string& name, int left, int top, int width, int height);
  void PaintTo(HDC dc);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace brisomel
