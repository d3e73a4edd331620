#include "canvas_adapters.h"

#include "platform/headless/software_canvas.h"
#ifdef _WIN32
#include "platform/win32/canvas_gdi.h"
#endif

namespace brisomel::testing {

std::vector<CanvasAdapter> AllCanvasAdapters() {
  std::vector<CanvasAdapter> adapters;
  adapters.push_back({"software", [](int w, int h) -> std::unique_ptr<Canvas> {
                        return std::make_unique<SoftwareCanvas>(w, h);
                      }});
#ifdef _WIN32
  adapters.push_back(
      {"gdi", [](int w, int h) -> std::unique_ptr<Canvas> { return GdiCanvas::CreateDib(w, h); }});
#endif
  return adapters;
}

Color PixelOf(Canvas& canvas, int x, int y) {
  Bitmap b = canvas.ReadPixels(Rect{x, y, x + 1, y + 1});
  return PixelToColor(b.pixels[0]);
}

std::string Picture(Canvas& canvas, const Rect& r) {
  Bitmap b = canvas.ReadPixels(r);
  std::string s;
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      switch (PixelToColor(b.pixels[static_cast<size_t>(y) * b.width + x])) {
        case 0xFFFFFF:
          s += '.';
          break;
        case 0x000000:
          s += '#';
          break;
        case 0x0000FF:
          s += 'r';
          break;
        case 0x00FF00:
          s += 'g';
          break;
        case 0xFF0000:
          s += 'b';
          break;
        default:
          s += '?';
      }
    }
    s += '\n';
  }
  return s;
}

}  // namespace brisomel::testing
