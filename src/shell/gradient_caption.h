// TGradientCaption: paints a form's title bar itself - a colour gradient from left to right,
// the small icon, the caption buttons and up to three texts (company, application name,
// caption), each in its own font and colour. It subclasses the form's window: non-client
// paint and activation draw the bar into an off-screen bitmap and copy it in one step;
// everything else of the frame is left to the window's own procedure.
//
// The texts are UTF-8, so that a caption of any script reaches the bar and the window's title
// (which the task bar and the window switcher show) whole: the title is read and stored
// through the wide default window procedure, past the form's own code-page procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "shell/caption_bar_layout.h"

namespace brisomel {

class TGradientCaption;

// Delphi-style colours: 0x00BBGGRR, or 0x80000000 | COLOR_xxx for a system colour.
inline constexpr TCaptionColor kSystemColorBit = 0x80000000u;
constexpr TCaptionColor SystemCaptionColor(int index) {
  return kSystemColorBit | static_cast<TCaptionColor>(index);
}
inline constexpr TCaptionColor kNavy = 0x00800000;
inline constexpr TCaptionColor kSilver = 0x00C0C0C0;
inline constexpr TCaptionColor kBlack = 0x00000000;
inline constexpr TCaptionColor kWhite = 0x00FFFFFF;

// One text of the bar. Changing its caption or visibility retitles the form.
class TCompanyText {
 public:
  explicit TCompanyText(TGradientCaption& owner) : owner_(owner) {}
  virtual ~TCompanyText() = default;
  TCompanyText(const TCompanyText&) = delete;
  TCompanyText& operator=(const TCompanyText&) = delete;

  virtual std::string Caption() const { return caption_; }
  virtual void SetCaption(const std::string& value);
  TCaptionColor ColorActive = SystemCaptionColor(COLOR_CAPTIONTEXT);
  TCaptionColor ColorInactive = SystemCaptionColor(COLOR_INACTIVECAPTIONTEXT);
  const LOGFONTA& Font() const { return font_; }
  // Assigning the font makes the kind fkCustom unless it is fkAutoHeight.
  void SetFont(const LOGFONTA& value);
  TFontKind FontKind() const { return font_kind_; }
  void SetFontKind(TFontKind value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  // The font the text is drawn in, made from its kind and the system caption font.
  void ApplyFontKind(const LOGFONTA& system_font);
  HFONT Handle();

 protected:
  TGradientCaption& owner_;
  std::string caption_;

 private:
  LOGFONTA font_{};
  TFontKind font_kind_ = fkSystem;
  bool visible_ = true;
  struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
  };
  std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> handle_;
};

class TAppNameText : public TCompanyText {
 public:
  using TCompanyText::TCompanyText;
};

// The caption comes from the form's title, less the company and application names.
class TCaptionText : public TCompanyText {
 public:
  using TCompanyText::TCompanyText;
  // While visible, read from the form's title; while hidden, the caption it last had.
  std::string Caption() const override;
  void SetCaption(const std::string& value) override;

 private:
  friend class TGradientCaption;
};

class TGradientCaption {
 public:
  // Hooks `form` (a top-level window) at once; anything else throws std::invalid_argument.
  explicit TGradientCaption(HWND form);
  ~TGradientCaption();
  TGradientCaption(const TGradientCaption&) = delete;
  TGradientCaption& operator=(const TGradientCaption&) = delete;

  TCompanyText CompanyText{*this};
  TAppNameText AppNameText{*this};
  TCaptionText CaptionText{*this};
  TCaptionColor ColorLeftActive = kBlack;
  TCaptionColor ColorLeftInActive = kBlack;
  TCaptionColor ColorRightActive = SystemCaptionColor(COLOR_ACTIVECAPTION);
  TCaptionColor ColorRightInActive = SystemCaptionColor(COLOR_INACTIVECAPTION);
  TGradEnabled Enabled = geSmart;
  TJustification Justification = jAuto;
  int NumColors() const { return num_colors_; }
  // 0 or less is ignored; above 256 becomes 256 (at run time without a message).
  void SetNumColors(int value);
  std::function<void(TGradientCaption& Sender, HDC Canvas, const RECT& R)> OnDrawCaption;

  HWND Form() const { return form_; }
  bool Active() const;
  // The bar's rectangle in window coordinates, and its text area (less the caption buttons).
  RECT BarRect() const;
  RECT TextArea() const;
  // Draws the bar as it is now into `dc`, whose origin is the bar's top-left corner.
  void DrawBar(HDC dc);
  // Paints the bar onto the window's frame.
  void PaintBar();
  // Sets the form's title from the three texts, `caption` being the caption text's (called
  // when a text's caption or visibility changes).
  void UpdateFormTitle(const std::string& caption);
  std::string WindowText() const;
  void SetTitle(const std::string& text);
  const LOGFONTA& SystemFont() const { return system_font_; }

 private:
  static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT CallPrevious(UINT message, WPARAM wparam, LPARAM lparam);
  void Hook();
  void Unhook();
  void ReadSystemFont();
  void DrawIcon(HDC dc, RECT& area);
  void DrawButtons(HDC dc, const RECT& bar);
  void DrawTexts(HDC dc, const RECT& area);

  HWND form_;
  WNDPROC previous_ = nullptr;
  int num_colors_ = 64;
  std::optional<bool> active_;  // from the last non-client activation
  LOGFONTA system_font_{};
};

}  // namespace brisomel

namespace brisomel {

// The bar both of the program's windows carry, with `caption` as its caption text: navy to
// silver while active, the company text bold italic, the application name bold, the caption
// plain; the texts white while active and silver while inactive.
std::unique_ptr<TGradientCaption> MakeDesignedCaptionBar(HWND form, const std::string& caption);

}  // namespace brisomel
