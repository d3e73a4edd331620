// Drawing commands read from the input, played on a small software canvas with the test font:
// any coordinates, pens, fonts, mappings, clips and bitmaps must draw without a crash, undefined
// behaviour, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/software_canvas.h"

namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool done() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int32_t Int() {
    // Mostly small values, sometimes any 32-bit value.
    uint8_t kind = Byte();
    if (kind & 0x80) {
      uint32_t v = 0;
      for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
      return static_cast<int32_t>(v);
    }
    return static_cast<int32_t>(kind) - 32;
  }
  brisomel::Rect RectValue() { return brisomel::Rect{Int(), Int(), Int(), Int()}; }
  brisomel::Point PointValue() { return brisomel::Point{Int(), Int()}; }
  // UTF-16 code units, surrogates paired or not.
  std::u16string Text() {
    size_t n = Byte() % 48;
    std::u16string s;
    for (size_t i = 0; i < n; ++i) {
      const uint8_t low = Byte();
      s += static_cast<char16_t>(low | Byte() << 8);
    }
    return s;
  }
  brisomel::Bitmap BitmapValue() {
    using brisomel::Bitmap;
    int w = Byte() % 20, h = Byte() % 20;
    Bitmap b;
    switch (Byte() % 3) {
      case 0:
        b = Bitmap::Rgb32(w, h);
        break;
      case 1:
        b = Bitmap::Mask(w, h);
        break;
      default:
        b.format = Bitmap::Format::kIndexed8;
        b.width = w;
        b.height = h;
        b.indices.assign(static_cast<size_t>(w) * h, 0);
        b.palette.assign(Byte() % 8, 0x123456);
    }
    for (auto& p : b.pixels) p = Byte() * 0x010101u;
    for (auto& i : b.indices) i = Byte();
    return b;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brisomel;
  Reader in(data, size);
  SoftwareCanvas c(40, 30);
  int commands = 0;
  while (!in.done() && ++commands < 64) {
    switch (in.Byte() % 22) {
      case 0:
        c.SetPen(Pen{static_cast<PenStyle>(in.Byte() % 3), in.Int(), in.Int() & 0x83FFFFFFu});
        break;
      case 1:
        c.SetBrush(Brush{static_cast<BrushStyle>(in.Byte() % 2), static_cast<Color>(in.Int())});
        break;
      case 2:
        c.SetFont(FontSpec{"Arial", in.Int(), in.Int(), in.Byte(), in.Byte()});
        break;
      case 3:
        c.MoveTo(in.Int(), in.Int());
        break;
      case 4: {
        int x = in.Int();
        c.LineTo(x, in.Int());
        break;
      }
      case 5:
        c.Rectangle(in.RectValue());
        break;
      case 6:
        c.Ellipse(in.RectValue());
        break;
      case 7: {
        Rect r = in.RectValue();
        Point a = in.PointValue();
        c.Arc(r, a, in.PointValue());
        break;
      }
      case 8: {
        std::vector<Point> pts(in.Byte() % 12);
        for (auto& p : pts) p = in.PointValue();
        c.Polygon(pts);
        break;
      }
      case 9:
        c.FillRect(in.RectValue(), static_cast<Color>(in.Int()));
        break;
      case 10: {
        Region r = Region::Ellipse(in.RectValue()).Xor(Region::FromRect(in.RectValue()));
        c.FillRegion(r, 0xFF);
        break;
      }
      case 11:
        c.PatBlt(in.RectValue(), static_cast<uint32_t>(in.Int()));
        break;
      case 12: {
        int x = in.Int();
        c.SetPixel(x, in.Int(), 0);
        break;
      }
      case 13: {
        c.SetTextAlign(static_cast<uint32_t>(in.Byte()));
        c.SetBkMode(in.Byte() & 1 ? BkMode::kOpaque : BkMode::kTransparent);
        int x = in.Int(), y = in.Int();
        uint32_t options = in.Byte();
        Rect r = in.RectValue();
        c.ExtTextOut(x, y, options, options & 1 ? nullptr : &r, in.Text());
        break;
      }
      case 14: {
        Bitmap b = in.BitmapValue();
        Rect dest = in.RectValue();
        Rect src = in.RectValue();
        c.SetStretchMode(static_cast<StretchMode>(1 + in.Byte() % 3));
        c.StretchBitmap(dest, b, src, static_cast<uint32_t>(in.Int()));
        break;
      }
      case 15: {
        Mapping m;
        m.window_origin = in.PointValue();
        m.window_extent = Size{in.Int(), in.Int()};
        m.viewport_origin = in.PointValue();
        m.viewport_extent = Size{in.Int(), in.Int()};
        c.SetMapping(m);
        break;
      }
      case 16:
        c.IntersectClipRect(in.RectValue());
        break;
      case 17:
        c.ExcludeClipRect(in.RectValue());
        break;
      case 18:
        c.SetClipRegion(nullptr);
        break;
      case 19:
        c.SaveState();
        break;
      case 20:
        c.RestoreState();
        break;
      default: {
        std::vector<Point> pts(3 + in.Byte() % 6);
        for (auto& p : pts) p = in.PointValue();
        Region r = Region::Polygon(
            pts, in.Byte() & 1 ? Region::FillRule::kWinding : Region::FillRule::kAlternate);
        (void)r.Contains(in.Int(), in.Int());
        (void)c.TextExtent(in.Text());
        (void)c.GetTextMetrics();
        break;
      }
    }
  }
  return 0;
}
