// The software canvas: the canvas port on a 32-bit pixel buffer, following GDI's pixel rules,
// with glyphs from a pluggable source (the test font unless told otherwise). Builds for both
// targets; the headless program and the tests draw with it.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/headless/glyph_source.h"

namespace brisomel {

class SoftwareCanvas : public Canvas {
 public:
  // A white surface of width x height pixels, 96 dots per inch, 32 bits per pixel.
  SoftwareCanvas(int width, int height, std::shared_ptr<GlyphSource> glyphs = nullptr);

  // The pixels, 0x00RRGGBB, rows top-down.
  Bitmap& surface() { return surface_; }
  const Bitmap& surface() const { return surface_; }
  // The colour at a device pixel in the platform form 0x00BBGGRR (black outside).
  Color PixelAt(int x, int y) const;

  void SetGlyphSource(std::shared_ptr<GlyphSource> glyphs);
  // What the canvas reports as its device (bits per pixel, planes, resolution). The size
  // always follows the surface. A monochrome device (1 bit, 1 plane) draws pens, brushes and
  // text in black or white.
  void SetDeviceCaps(const DeviceCaps& caps);
  void SetSystemColor(int index, Color value);

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

 private:
  class Clipper;
  FontFace& CurrentFace();
  // The sum of the advances of the text's characters in a face.
  static int64_t AdvanceSum(FontFace& face, std::u16string_view text);
  uint32_t PixelColor(Color c) { return ColorToPixel(ResolveColor(c)); }
  int PenWidth();
  // Shapes are rasterised only near the surface.
  Rect Limit() const { return Rect{-2, -2, surface_.width + 2, surface_.height + 2}; }
  // Fills every device pixel of a region (already in device coordinates) with a pixel value.
  void PaintRegion(const Region& device_region, uint32_t pixel);
  void PaintRect(const Rect& device_rect, uint32_t pixel);
  void ThinLine(Point a, Point b, uint32_t pixel, const Clipper& clip);
  Region WideLineRegion(Point a, Point b, int width);
  Region EllipseOutline(const Rect& d, int width);
  Region EllipseFigure(const Rect& d);

  Bitmap surface_;
  std::shared_ptr<GlyphSource> glyphs_;
  DeviceCaps caps_;
  std::array<Color, 31> system_colors_;
  std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> faces_;
};

}  // namespace brisomel
