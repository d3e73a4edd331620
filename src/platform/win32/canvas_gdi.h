// The canvas port on a GDI device context. The canvas state (kept by the port's base class)
// is turned into GDI objects and modes lazily, just before each drawing call, so the engine
// never handles GDI objects itself; only what changed since the last call is handed to GDI.
// Fonts come from the process's font cache, and on display devices text is measured from the
// cached advances of its characters. Text is UTF-16, drawn and measured with the wide calls; a
// text with characters the font lacks is cut into runs, each drawn and measured in the font
// that has its characters (see gdi_fonts.h), so layout and drawing agree. Bitmaps (engine data)
// are drawn with StretchDIBits.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

struct HDC__;
struct HBITMAP__;
struct HFONT__;
struct HPEN__;
struct HBRUSH__;
struct HRGN__;
struct HPALETTE__;

namespace brisomel {

struct GdiFont;

class GdiCanvas : public Canvas {
 public:
  // Draws on a device context the caller owns (a window's paint DC, a printer DC).
  explicit GdiCanvas(HDC__* dc);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  // A canvas on its own 32-bit top-down DIB section of width x height pixels, white.
  static std::unique_ptr<GdiCanvas> CreateDib(int width, int height, HDC__* compatible = nullptr);

  HDC__* dc() { return dc_; }
  // Selects the canvas state into the device context (done before every drawing call; a host
  // that draws on the DC directly calls it first).
  void Sync();

  DeviceCaps GetDeviceCaps() override;
  Color ResolveColor(Color c) override;
  TextMetrics GetTextMetrics() override;
  Size TextExtent(std::u16string_view text) override;

  void LineTo(int x, int y) override;
  void Rectangle(const Rect& r) override;
  void Ellipse(const Rect& r) override;
  void Arc(const Rect& r, Point start, Point end) override;
  void Polygon(const std::vector<Point>& points) override;
  void FillRect(const Rect& r, Color c) override;
  void FillRegion(const Region& logical_region, Color c) override;
  void PatBlt(const Rect& r, uint32_t rop) override;
  void SetPixel(int x, int y, Color c) override;
  void ExtTextOut(int x, int y, uint32_t options, const Rect* rect,
                  std::u16string_view text) override;
  void StretchBitmap(const Rect& dest, const Bitmap& source, const Rect& source_rect,
                     uint32_t rop) override;
  bool AlphaBlendBitmap(const Rect& dest, const Bitmap& source, const Rect& source_rect,
                        std::span<const uint8_t> alpha) override;
  std::unique_ptr<Canvas> CreateCompatible(int width, int height) override;
  void CopyFrom(const Rect& dest, Canvas& source, Point source_origin, uint32_t rop) override;
  Bitmap ReadPixels(const Rect& device_rect) override;
  void SelectPalette(const std::vector<uint32_t>* palette) override;

 private:
  GdiCanvas() = default;
  uint32_t GdiColor(Color c);  // a COLORREF GDI accepts
  HRGN__* MakeRegion(const Region& r);
  // The canvas state in the device context, all but the font, which is only chosen.
  void SyncState();
  void ChooseFont();
  void SelectFont();
  void SyncAttributes();
  // The cached metrics of the chosen font on this canvas, or null where they cannot be used.
  const TextMetrics* CachedMetrics();
  // The cached font whose advances measure text on this canvas now, or null.
  GdiFont* SummableFont();
  // Whether a font's advances measure text on this canvas now.
  bool Summable(GdiFont& font);
  // The sum of the cached advances of the text's characters; with `dx`, also each code unit's
  // advance (the second unit of a surrogate pair 0).
  int32_t SumAdvances(GdiFont& font, std::u16string_view text, std::vector<int>* dx = nullptr);
  // Selects a font into the device context for a call.
  void UseFont(HFONT__* font);
  // A piece of text drawn by one font.
  struct TextRun {
    GdiFont* font;
    size_t begin, end;
  };
  // Cuts the text into runs by the font that draws each character (into runs_); false when
  // the chosen font draws it all.
  bool SplitRuns(std::u16string_view text);
  // The width of a run in its font; with `dx`, each code unit's advance as ExtTextOutW takes it.
  int32_t RunWidth(GdiFont& font, std::u16string_view text, std::vector<int>* dx);
  void DrawRuns(int x, int y, uint32_t options, const Rect* rect, std::u16string_view text);

  HDC__* dc_ = nullptr;
  bool owns_dc_ = false;
  HBITMAP__* dib_ = nullptr;
  HBITMAP__* old_bitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  int dib_width_ = 0, dib_height_ = 0;
  void* original_font_ = nullptr;
  void* original_pen_ = nullptr;
  void* original_brush_ = nullptr;
  DeviceCaps caps_;
  bool caps_known_ = false;
  bool display_ = false;  // a display device (screen, window or memory DC), not a printer
  // What is selected now: a font of the process's cache, or one of this canvas's own when the
  // cache is full.
  bool font_synced_ = false;
  FontSpec synced_font_;
  int synced_height_ = 0;
  GdiFont* cached_font_ = nullptr;
  HFONT__* own_font_ = nullptr;
  HFONT__* wanted_font_ = nullptr;  // chosen for the next text call
  HFONT__* font_ = nullptr;         // selected in the device context
  // The modes and colours last handed to the device context.
  bool attributes_applied_ = false;
  uint32_t applied_text_color_ = 0, applied_bk_color_ = 0, applied_text_align_ = 0;
  BkMode applied_bk_mode_ = BkMode::kOpaque;
  StretchMode applied_stretch_mode_{};
  Point applied_position_;
  HPEN__* pen_handle_ = nullptr;
  Pen selected_pen_;
  bool pen_selected_ = false;
  HBRUSH__* brush_handle_ = nullptr;
  Brush selected_brush_;
  bool brush_selected_ = false;
  Mapping applied_mapping_;
  bool mapping_applied_ = false;
  bool applied_has_clip_ = false;
  Region applied_clip_;
  bool clip_applied_ = false;
  std::vector<TextRun> runs_;
  HPALETTE__* palette_ = nullptr;
  void* old_palette_ = nullptr;
};

}  // namespace brisomel
