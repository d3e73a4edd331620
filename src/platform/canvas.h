// The canvas port: GDI-like drawing for the engine.
//
// A canvas keeps drawing state the way a GDI device context does: a font, a pen, a brush, text
// and background colours, background mode, text alignment, stretch mode, a clip region, a
// window/viewport mapping and a current position. The state lives in this base class as plain
// data; an adapter reads it when it draws (the GDI adapter selects matching GDI objects
// lazily, the software canvas uses it directly). SaveState/RestoreState keep and bring back
// all of it, like SaveDC/RestoreDC.
//
// Pixel rules are GDI's: rectangles and ellipses exclude their right and bottom edges, a line
// excludes its end point, an inside-frame pen keeps a wide outline inside the figure, raster
// operations follow the ternary truth tables (source S, destination D, pattern P = brush).
//
// Coordinates are logical; the mapping turns them into device pixels:
//   device = (logical - window_origin) * viewport_extent / window_extent + viewport_origin.
// Clip regions are in device pixels (like SelectClipRgn); IntersectClipRect takes logical ones.
//
// Colours are 32-bit platform values: 0x00BBGGRR for explicit colours, optionally with the
// palette-relative flag 0x02000000 (on a true-colour device it changes nothing), or a
// system-colour constant (0x80000000 | index) that the adapter resolves.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"
#include "platform/geometry.h"
#include "platform/region.h"

namespace brisomel {

using Color = uint32_t;

constexpr Color kPaletteRelative = 0x02000000;
constexpr Color kSystemColorFlag = 0x80000000;

constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
constexpr uint8_t RedOf(Color c) { return c & 0xFF; }
constexpr uint8_t GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr uint8_t BlueOf(Color c) { return (c >> 16) & 0xFF; }
constexpr bool IsSystemColor(Color c) { return (c & kSystemColorFlag) != 0; }
constexpr int SystemColorIndex(Color c) { return static_cast<int>(c & 0xFF); }
constexpr Color SystemColor(int index) { return kSystemColorFlag | static_cast<Color>(index); }

// System colours by their platform index.
constexpr Color kColorScrollBar = SystemColor(0);
constexpr Color kColorBackground = SystemColor(1);
constexpr Color kColorActiveCaption = SystemColor(2);
constexpr Color kColorInactiveCaption = SystemColor(3);
constexpr Color kColorMenu = SystemColor(4);
constexpr Color kColorWindow = SystemColor(5);
constexpr Color kColorWindowFrame = SystemColor(6);
constexpr Color kColorMenuText = SystemColor(7);
constexpr Color kColorWindowText = SystemColor(8);
constexpr Color kColorCaptionText = SystemColor(9);
constexpr Color kColorHighlight = SystemColor(13);
constexpr Color kColorHighlightText = SystemColor(14);
constexpr Color kColorBtnFace = SystemColor(15);
constexpr Color kColorBtnShadow = SystemColor(16);
constexpr Color kColorGrayText = SystemColor(17);
constexpr Color kColorBtnText = SystemColor(18);
constexpr Color kColorInactiveCaptionText = SystemColor(19);
constexpr Color kColorBtnHighlight = SystemColor(20);
constexpr Color kColor3dDkShadow = SystemColor(21);
constexpr Color kColor3dLight = SystemColor(22);
constexpr Color kColorInfoText = SystemColor(23);
constexpr Color kColorInfoBk = SystemColor(24);
constexpr Color kColorGradientActiveCaption = SystemColor(27);
constexpr Color kColorGradientInactiveCaption = SystemColor(28);

// Converts between the platform colour form (0x00BBGGRR) and the bitmap pixel form
// (0x00RRGGBB).
constexpr uint32_t ColorToPixel(Color c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr Color PixelToColor(uint32_t p) { return ColorToPixel(p); }

enum FontStyle : uint8_t {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};

constexpr uint8_t kDefaultCharset = 1;

struct FontSpec {
  std::string name = "Times New Roman";  // the face name, UTF-8
  int size = 12;      // points; converted with the canvas's FontPixelsPerInch
  int height = 0;     // when not 0: logical height as GDI's lfHeight (negative = em height)
  uint8_t style = 0;  // FontStyle bits
  uint8_t charset = kDefaultCharset;
  bool operator==(const FontSpec&) const = default;
};

// Text metrics of the selected font, in logical units.
struct TextMetrics {
  int height = 0;  // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internal_leading = 0;
  int external_leading = 0;
  int ave_char_width = 0;
  int max_char_width = 0;
  int overhang = 0;
  bool operator==(const TextMetrics&) const = default;
};

enum class PenStyle { kSolid, kNull, kInsideFrame };
struct Pen {
  PenStyle style = PenStyle::kSolid;
  int width = 1;
  Color color = 0;
  bool operator==(const Pen&) const = default;
};

enum class BrushStyle { kSolid, kHollow };
struct Brush {
  BrushStyle style = BrushStyle::kSolid;
  Color color = 0xFFFFFF;
  bool operator==(const Brush&) const = default;
};

enum class BkMode { kTransparent = 1, kOpaque = 2 };

// Text alignment flags (the platform's values).
enum TextAlign : uint32_t {
  kAlignLeft = 0,
  kAlignTop = 0,
  kAlignRight = 2,
  kAlignCenter = 6,
  kAlignBottom = 8,
  kAlignBaseline = 24,
  kAlignHorizontalMask = 6,
  kAlignVerticalMask = 24,
};

// ExtTextOut options.
enum TextOutOption : uint32_t { kTextOpaque = 2, kTextClipped = 4 };

// Stretch modes (the platform's values): when a bitmap shrinks, the rows and columns that
// fall together are combined by AND (black wins), by OR (white wins) or one is kept.
enum class StretchMode { kBlackOnWhite = 1, kWhiteOnBlack = 2, kColorOnColor = 3 };

// Raster operations (the platform's values). The byte at bits 16..23 is the truth table: for
// pattern, source and destination bits P, S, D the result bit is bit (P*4 + S*2 + D) of it.
enum Rop : uint32_t {
  kSrcCopy = 0x00CC0020,       // S
  kSrcPaint = 0x00EE0086,      // S | D
  kSrcAnd = 0x008800C6,        // S & D
  kSrcInvert = 0x00660046,     // S ^ D
  kSrcErase = 0x00440328,      // S & ~D
  kNotSrcCopy = 0x00330008,    // ~S
  kNotSrcErase = 0x001100A6,   // ~(S | D)
  kMergePaint = 0x00BB0226,    // ~S | D
  kDstAndNotSrc = 0x00220326,  // D & ~S: clears the pixels where a mask is white
  kMergeCopy = 0x00C000CA,     // P & S
  kPatCopy = 0x00F00021,       // P
  kPatInvert = 0x005A0049,     // P ^ D
  kDstInvert = 0x00550009,     // ~D
  kBlackness = 0x00000042,     // 0
  kWhiteness = 0x00FF0062,     // 1
};

// Applies a raster operation to 24 colour bits of a pattern, source and destination value.
inline uint32_t ApplyRop(uint32_t rop, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t table = (rop >> 16) & 0xFF;
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((table >> i) & 1)) continue;
    uint32_t pm = (i & 4) ? p : ~p;
    uint32_t sm = (i & 2) ? s : ~s;
    uint32_t dm = (i & 1) ? d : ~d;
    r |= pm & sm & dm;
  }
  return r & 0xFFFFFF;
}

struct DeviceCaps {
  int bits_per_pixel = 32;
  int planes = 1;
  int dpi_x = 96;          // LOGPIXELSX
  int dpi_y = 96;          // LOGPIXELSY
  int width = 0;           // HORZRES: device pixels
  int height = 0;          // VERTRES
  int physical_width = 0;  // PHYSICALWIDTH (printers; equals width otherwise)
  int physical_height = 0;
  int offset_x = 0;  // PHYSICALOFFSETX (printers; 0 otherwise)
  int offset_y = 0;
  bool monochrome() const { return bits_per_pixel == 1 && planes == 1; }
  bool operator==(const DeviceCaps&) const = default;
};

struct Mapping {
  Point window_origin;
  Size window_extent{1, 1};
  Point viewport_origin;
  Size viewport_extent{1, 1};
  bool operator==(const Mapping&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // --- State (kept here; adapters read it when drawing) ---
  void SetFont(const FontSpec& font) { state_.font = font; }
  const FontSpec& font() const { return state_.font; }
  void SetPen(const Pen& pen) { state_.pen = pen; }
  const Pen& pen() const { return state_.pen; }
  void SetBrush(const Brush& brush) { state_.brush = brush; }
  const Brush& brush() const { return state_.brush; }
  void SetTextColor(Color c) { state_.text_color = c; }
  Color text_color() const { return state_.text_color; }
  void SetBkColor(Color c) { state_.bk_color = c; }
  Color bk_color() const { return state_.bk_color; }
  void SetBkMode(BkMode m) { state_.bk_mode = m; }
  BkMode bk_mode() const { return state_.bk_mode; }
  void SetTextAlign(uint32_t align) { state_.text_align = align; }
  uint32_t text_align() const { return state_.text_align; }
  void SetStretchMode(StretchMode m) { state_.stretch_mode = m; }
  StretchMode stretch_mode() const { return state_.stretch_mode; }
  // The resolution a font's point size is converted with (like a font's PixelsPerInch);
  // the device's vertical resolution until set.
  void SetFontPixelsPerInch(int ppi) { state_.font_ppi = ppi; }
  int FontPixelsPerInch() { return state_.font_ppi > 0 ? state_.font_ppi : GetDeviceCaps().dpi_y; }
  // The logical lfHeight a font description asks for on this canvas.
  int FontLogicalHeight(const FontSpec& f) {
    if (f.height != 0) return f.height;
    int64_t v = static_cast<int64_t>(f.size) * FontPixelsPerInch();
    v = (v + (v >= 0 ? 36 : -36)) / 72;
    return -static_cast<int>(std::clamp<int64_t>(v, -(1 << 30), 1 << 30));
  }

  // Mapping (anisotropic): window and viewport origins and extents.
  void SetMapping(const Mapping& m) { state_.mapping = m; }
  const Mapping& mapping() const { return state_.mapping; }
  void SetWindowOrigin(Point p) { state_.mapping.window_origin = p; }
  void ResetMapping() { state_.mapping = Mapping{}; }
  Point LogicalToDevice(Point p) const;
  Rect LogicalToDevice(const Rect& r) const;
  Point DeviceToLogical(Point p) const;
  int ScaleX(int logical_length) const;  // a logical length in device pixels
  int ScaleY(int logical_length) const;

  // Clipping, in device pixels. No region means no clipping beyond the surface.
  void SetClipRegion(const Region* device_region) {
    state_.has_clip = device_region != nullptr;
    state_.clip = device_region ? *device_region : Region{};
  }
  // Intersects the clip with a logical rectangle (IntersectClipRect).
  void IntersectClipRect(const Rect& logical);
  // Removes a logical rectangle from the clip (ExcludeClipRect).
  void ExcludeClipRect(const Rect& logical);
  bool has_clip() const { return state_.has_clip; }
  const Region& clip() const { return state_.clip; }

  void MoveTo(int x, int y) { state_.position = {x, y}; }
  Point position() const { return state_.position; }

  // Pushes all state; RestoreState pops the last pushed state (nothing when none is saved).
  void SaveState() { saved_.push_back(state_); }
  void RestoreState() {
    if (saved_.empty()) return;
    state_ = std::move(saved_.back());
    saved_.pop_back();
  }

  // Takes over another canvas's drawing state (a canvas that draws through another one hands
  // its state on before each call).
  void CopyStateFrom(const Canvas& other) { state_ = other.state_; }

  // --- Queries ---
  virtual DeviceCaps GetDeviceCaps() = 0;
  // The platform colour 0x00BBGGRR a colour value draws with (system colours resolved, the
  // palette-relative flag removed, monochrome devices giving black or white).
  virtual Color ResolveColor(Color c) = 0;
  virtual TextMetrics GetTextMetrics() = 0;
  // Width and height of a single line of text in the selected font (GetTextExtentPoint).
  // Text is UTF-16; a character the selected face lacks is measured in the face that draws it.
  virtual Size TextExtent(std::u16string_view text) = 0;

  // --- Drawing ---
  // A line from the current position to (x, y), end point excluded; moves the position there.
  virtual void LineTo(int x, int y) = 0;
  // Outlined with the pen and filled with the brush; right and bottom edges excluded.
  virtual void Rectangle(const Rect& r) = 0;
  virtual void Ellipse(const Rect& r) = 0;
  // The part of the ellipse's outline counter-clockwise from the ray through `start` to the
  // ray through `end`.
  virtual void Arc(const Rect& r, Point start, Point end) = 0;
  virtual void Polygon(const std::vector<Point>& points) = 0;
  // Fills with a solid colour, no pen (FillRect with a solid brush).
  virtual void FillRect(const Rect& r, Color c) = 0;
  // Fills a region given in logical coordinates with a solid colour.
  virtual void FillRegion(const Region& logical_region, Color c) = 0;
  // Combines the brush with the destination (PatBlt).
  virtual void PatBlt(const Rect& r, uint32_t rop) = 0;
  virtual void SetPixel(int x, int y, Color c) = 0;
  // Text (UTF-16) at (x, y) by the text alignment, in the text colour, on the background colour
  // when the background mode is opaque. A character the selected face lacks is drawn from a
  // fallback face that has it, on the same baseline.
  void TextOut(int x, int y, std::u16string_view text) { ExtTextOut(x, y, 0, nullptr, text); }
  // TextOut with options: kTextClipped clips to `rect`, kTextOpaque fills `rect` with the
  // background colour first.
  virtual void ExtTextOut(int x, int y, uint32_t options, const Rect* rect,
                          std::u16string_view text) = 0;
  // Stretches `source` (the part `source_rect`) into `dest` with a raster operation and the
  // stretch mode. Masks draw as black (0) and white (1); indexed bitmaps through their palette.
  virtual void StretchBitmap(const Rect& dest, const Bitmap& source, const Rect& source_rect,
                             uint32_t rop) = 0;
  // Stretches `source` (the part `source_rect`) into `dest` over what is already there, each
  // source pixel weighted by its byte in `alpha` (width * height of the source, 0 transparent
  // to 255 opaque); rows and columns that fall together keep one pixel, as colour-on-colour.
  // False, with nothing drawn, when the canvas cannot blend or the alpha does not fit the
  // source: the caller then draws through a mask instead.
  virtual bool AlphaBlendBitmap(const Rect& dest, const Bitmap& source, const Rect& source_rect,
                                std::span<const uint8_t> alpha) {
    return false;
  }
  void DrawBitmap(int x, int y, const Bitmap& source, uint32_t rop = kSrcCopy) {
    StretchBitmap(Rect{x, y, x + source.width, y + source.height}, source,
                  Rect{0, 0, source.width, source.height}, rop);
  }

  // --- Off-screen canvases ---
  // A canvas of the same kind with its own surface of width x height device pixels, white.
  virtual std::unique_ptr<Canvas> CreateCompatible(int width, int height) = 0;
  // Copies (with a raster operation) from a canvas made by CreateCompatible, or by the same
  // adapter, to `dest`; `source_origin` is in the source's logical coordinates.
  virtual void CopyFrom(const Rect& dest, Canvas& source, Point source_origin, uint32_t rop) = 0;
  // Reads device pixels as a 32-bit bitmap (0x00RRGGBB), outside the surface black.
  virtual Bitmap ReadPixels(const Rect& device_rect) = 0;

  // The shared palette of palette devices (entries 0x00RRGGBB); true-colour devices ignore it.
  virtual void SelectPalette(const std::vector<uint32_t>* palette) {}

 protected:
  struct State {
    FontSpec font;
    Pen pen;
    Brush brush;
    Color text_color = 0;
    Color bk_color = 0xFFFFFF;
    BkMode bk_mode = BkMode::kOpaque;
    uint32_t text_align = kAlignLeft | kAlignTop;
    StretchMode stretch_mode = StretchMode::kBlackOnWhite;
    int font_ppi = 0;
    Mapping mapping;
    bool has_clip = false;
    Region clip;
    Point position;
  };
  State state_;
  std::vector<State> saved_;
};

}  // namespace brisomel
