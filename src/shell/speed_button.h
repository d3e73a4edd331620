// A flat speed button: a glyph without caption, flat until the pointer is over it, raised while
// hovered and sunken while pressed. The glyph bitmap holds its images side by side (up,
// disabled, down, held); the colour of its bottom-left pixel is transparent. The window text
// names the button for people and for test drivers; it is not drawn.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "shell/window.h"

namespace brisomel {

class TSpeedButton : public TWindow {
 public:
  static constexpr const char* kClassName = "TSpeedButton";

  explicit TSpeedButton(TApplication& app) : TWindow(app) {}
  ~TSpeedButton() override;

  bool Create(HWND parent, int id, const std::string& text, int left, int top, int width,
              int height);

  // Takes ownership of the bitmap.
  void SetGlyph(HBITMAP glyph);
  HBITMAP Glyph() const { return glyph_; }
  void LoadGlyphFromResource(int resource);
  // Replaces the glyph with a bitmap file; throws when the file is not a readable bitmap.
  void LoadGlyphFromFile(const std::string& path);

  int NumGlyphs = 4;
  bool Flat = true;
  bool AllowAllUp = false;
  // Held down (shown with the held image).
  bool Down = false;

  void SetEnabled(bool enabled);
  bool Enabled() const;

  // Which glyph image is shown now: 0 up, 1 disabled, 2 down, 3 held.
  int GlyphIndex() const;
  // Draws the button as it looks now onto `dc` at the origin.
  void PaintTo(HDC dc);

  std::function<void()> OnClick;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void SetHover(bool hover);
  bool PointInside(LPARAM lparam) const;

  HBITMAP glyph_ = nullptr;
  bool hover_ = false;
  bool tracking_ = false;
  bool mouse_down_ = false;  // left button went down on us and is still held
  bool pressed_ = false;     // mouse_down_ and the pointer is over the button
};

}  // namespace brisomel
