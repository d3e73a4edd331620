// The software canvas. Every primitive is reduced to horizontal spans of device pixels that a
// clipper cuts to the surface and the clip region; figures are turned into pixel sets first
// (regions whose pixels have their centres inside the figure), so outlines and fills never
// overlap or leave gaps.
//
// GDI rules followed here:
// - Rectangle and Ellipse cover [left, right) x [top, bottom); with a null pen a rectangle's
//   filled area shrinks by one pixel on the right and bottom, as GDI's does. Ellipses follow
//   GDI's integer midpoint walk.
// - A 1-pixel line excludes its end point; a wider line is a band of that width centred on the
//   line, with square ends.
// - An inside-frame pen keeps the outline of a closed figure inside its bounding rectangle;
//   a solid pen wider than 1 straddles it.
// - Raster operations use the ternary truth tables; the pattern is the solid brush colour.
// - Stretching picks, for each destination pixel, the source pixels that fall on it; when the
//   bitmap shrinks, several are combined by AND (black on white), OR (white on black) or the
//   first is kept (colour on colour).
#include "platform/headless/software_canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "text/utf.h"

namespace brisomel {
namespace {

// The classic Windows colour scheme, by system-colour index, as 0x00BBGGRR.
constexpr std::array<Color, 31> kDefaultSystemColors = {
    0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0,
    0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0xFF0000, 0xD08410, 0xB5B5B5, 0x800000, 0xC0C0C0};

constexpr double kPi = 3.14159265358979323846;

constexpr uint32_t Blend(uint32_t dst, uint32_t src, unsigned alpha) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    unsigned d = (dst >> shift) & 0xFF, s = (src >> shift) & 0xFF;
    unsigned v = (s * alpha + d * (255 - alpha) + 127) / 255;
    out |= v << shift;
  }
  return out;
}

// The outline of an ellipse with a 1-pixel pen, and the whole figure, as GDI draws them (the
// integer midpoint walk of A. Zingl over one quadrant, mirrored into the other three). Only
// for ellipses from 3 to 4096 pixels wide and high; false otherwise.
bool MidpointEllipse(const Rect& d, Region* outline, Region* figure) {
  const int width = d.width(), height = d.height();
  if (width < 3 || height < 3 || width > 4096 || height > 4096) {
    return false;
  }
  // The lower-right quadrant, from the middle of the right side to the middle of the bottom,
  // relative to the rectangle's top-left corner.
  const int64_t a = width - 1, b = height - 1;
  const int64_t asq = 8 * a * a, bsq = 8 * b * b;
  int64_t dx = 4 * b * b * (1 - a);
  int64_t dy = 4 * a * a * (1 + (b % 2));
  int64_t err = dx + dy + a * a * (b % 2);
  int x = static_cast<int>(a), y = height / 2;
  std::vector<std::vector<Region::Span>> dots(height);
  std::vector<int> lo(height, INT32_MAX), hi(height, INT32_MIN);
  auto put = [&](int px, int py) {
    if (py < 0 || py >= height) {
      return;
    }
    dots[py].push_back(Region::Span{d.left + px, d.left + px + 1});
    lo[py] = std::min(lo[py], px);
    hi[py] = std::max(hi[py], px);
  };
  for (int guard = 0; x >= width / 2 && guard <= width + height; ++guard) {
    int64_t e2 = 2 * err;
    // The point and its mirror images across the vertical and horizontal middles.
    put(x, y);
    put(width - 1 - x, y);
    put(x, height - 1 - y);
    put(width - 1 - x, height - 1 - y);
    if (e2 >= dx) {
      --x;
      err += dx += bsq;
    }
    if (e2 <= dy) {
      ++y;
      err += dy += asq;
    }
  }
  *outline = Region::FromRows(d.top, dots);
  std::vector<std::vector<Region::Span>> rows(height);
  for (int r = 0; r < height; ++r) {
    if (lo[r] <= hi[r]) {
      rows[r].push_back(Region::Span{d.left + lo[r], d.left + hi[r] + 1});
    }
  }
  *figure = Region::FromRows(d.top, rows);
  return true;
}

}  // namespace

// Cuts spans to the surface and the clip region (both in device pixels).
class SoftwareCanvas::Clipper {
 public:
  Clipper(const Bitmap& surface, const Canvas::State& state)
      : width_(surface.width), height_(surface.height) {
    if (state.has_clip) {
      region_ = state.clip.Intersect(Region::FromRect(Rect{0, 0, width_, height_}));
      use_region_ = true;
    }
  }
  bool everything() const { return !use_region_; }
  // Calls f(x0, x1) for each visible part of row y in [x0, x1).
  template <class F>
  void Spans(int y, int x0, int x1, F&& f) const {
    if (y < 0 || y >= height_) {
      return;
    }
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_);
    if (x1 <= x0) {
      return;
    }
    if (!use_region_) {
      f(x0, x1);
      return;
    }
    const auto& bands = region_.bands();
    auto it = std::upper_bound(bands.begin(), bands.end(), y,
                               [](int v, const Region::Band& b) { return v < b.bottom; });
    if (it == bands.end() || it->top > y) {
      return;
    }
    for (const auto& s : it->spans) {
      int a = std::max(x0, s.left), b = std::min(x1, s.right);
      if (a < b) {
        f(a, b);
      }
      if (s.left >= x1) {
        break;
      }
    }
  }

 private:
  int width_, height_;
  bool use_region_ = false;
  Region region_;
};

SoftwareCanvas::SoftwareCanvas(int width, int height, std::shared_ptr<GlyphSource> glyphs)
    : surface_(Bitmap::Rgb32(std::max(width, 0), std::max(height, 0), 0xFFFFFF)),
      glyphs_(glyphs ? std::move(glyphs) : std::make_shared<TestGlyphSource>()),
      system_colors_(kDefaultSystemColors) {
  caps_.width = caps_.physical_width = surface_.width;
  caps_.height = caps_.physical_height = surface_.height;
}

Color SoftwareCanvas::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= surface_.width || y >= surface_.height) {
    return 0;
  }
  return PixelToColor(surface_.pixels[static_cast<size_t>(y) * surface_.width + x]);
}

void SoftwareCanvas::SetGlyphSource(std::shared_ptr<GlyphSource> glyphs) {
  glyphs_ = glyphs ? std::move(glyphs) : std::make_shared<TestGlyphSource>();
  faces_.clear();
}

void SoftwareCanvas::SetDeviceCaps(const DeviceCaps& caps) {
  caps_ = caps;
  caps_.width = caps_.physical_width = surface_.width;
  caps_.height = caps_.physical_height = surface_.height;
}

void SoftwareCanvas::SetSystemColor(int index, Color value) {
  if (index >= 0 && index < static_cast<int>(system_colors_.size())) {
    system_colors_[index] = value & 0xFFFFFF;
  }
}

DeviceCaps SoftwareCanvas::GetDeviceCaps() { return caps_; }

Color SoftwareCanvas::ResolveColor(Color c) {
  Color rgb;
  if (IsSystemColor(c)) {
    int i = SystemColorIndex(c);
    rgb = i < static_cast<int>(system_colors_.size()) ? system_colors_[i] : 0;
  } else {
    rgb = c & 0xFFFFFF;
  }
  if (caps_.monochrome()) {
    // The nearer of black and white.
    int sum = RedOf(rgb) + GreenOf(rgb) + BlueOf(rgb);
    rgb = sum >= 3 * 128 ? 0xFFFFFF : 0;
  }
  return rgb;
}

FontFace& SoftwareCanvas::CurrentFace() {
  const FontSpec& f = state_.font;
  int device_height = ScaleY(FontLogicalHeight(f));
  std::string key =
      f.name + '\x01' + static_cast<char>('0' + (f.style & 15)) + static_cast<char>(f.charset);
  auto k = std::make_pair(std::move(key), device_height);
  auto it = faces_.find(k);
  if (it == faces_.end()) {
    if (faces_.size() > 16) {
      faces_.clear();
    }
    auto face = glyphs_->OpenFace(f, device_height);
    if (!face) {
      face = TestGlyphSource().OpenFace(f, device_height);
    }
    it = faces_.emplace(std::move(k), std::move(face)).first;
  }
  return *it->second;
}

TextMetrics SoftwareCanvas::GetTextMetrics() {
  TextMetrics m = CurrentFace().Metrics();
  const Mapping& map = state_.mapping;
  if (map.window_extent != map.viewport_extent) {
    // Device pixels back to logical units.
    auto back_y = [&](int v) {
      return static_cast<int>(
          std::lround(static_cast<double>(v) * map.window_extent.cy / map.viewport_extent.cy));
    };
    auto back_x = [&](int v) {
      return static_cast<int>(
          std::lround(static_cast<double>(v) * map.window_extent.cx / map.viewport_extent.cx));
    };
    m.ascent = std::abs(back_y(m.ascent));
    m.descent = std::abs(back_y(m.descent));
    m.height = m.ascent + m.descent;
    m.internal_leading = std::abs(back_y(m.internal_leading));
    m.external_leading = std::abs(back_y(m.external_leading));
    m.ave_char_width = std::abs(back_x(m.ave_char_width));
    m.max_char_width = std::abs(back_x(m.max_char_width));
    m.overhang = std::abs(back_x(m.overhang));
  }
  return m;
}

// The code point at text[i], advancing i past it: a surrogate pair is one character.
static char32_t NextCodePoint(std::u16string_view text, size_t& i) {
  const char16_t unit = text[i];
  if (unit < 0xD800 || unit > 0xDFFF) {
    ++i;
    return unit;
  }
  const CodePointAt c = DecodeUtf16At(text, i);
  i += c.length;
  return c.code_point;
}

int64_t SoftwareCanvas::AdvanceSum(FontFace& face, std::u16string_view text) {
  int64_t w = 0;
  for (size_t i = 0; i < text.size();) {
    w += face.Advance(NextCodePoint(text, i));
  }
  return w;
}

Size SoftwareCanvas::TextExtent(std::u16string_view text) {
  FontFace& face = CurrentFace();
  int64_t w = AdvanceSum(face, text);
  TextMetrics m = face.Metrics();
  w += m.overhang;
  const Mapping& map = state_.mapping;
  if (map.window_extent != map.viewport_extent) {
    return Size{static_cast<int>(std::abs(std::lround(
                    static_cast<double>(w) * map.window_extent.cx / map.viewport_extent.cx))),
                GetTextMetrics().height};
  }
  return Size{static_cast<int>(std::min<int64_t>(w, INT32_MAX)), m.height};
}

void SoftwareCanvas::PaintRect(const Rect& d, uint32_t pixel) {
  Clipper clip(surface_, state_);
  for (int y = std::max(d.top, 0); y < std::min(d.bottom, surface_.height); ++y) {
    uint32_t* row = surface_.pixels.data() + static_cast<size_t>(y) * surface_.width;
    clip.Spans(y, d.left, d.right, [&](int a, int b) { std::fill(row + a, row + b, pixel); });
  }
}

void SoftwareCanvas::PaintRegion(const Region& r, uint32_t pixel) {
  Clipper clip(surface_, state_);
  for (const auto& band : r.bands()) {
    for (int y = std::max(band.top, 0); y < std::min(band.bottom, surface_.height); ++y) {
      uint32_t* row = surface_.pixels.data() + static_cast<size_t>(y) * surface_.width;
      for (const auto& s : band.spans) {
        clip.Spans(y, s.left, s.right, [&](int a, int b) { std::fill(row + a, row + b, pixel); });
      }
    }
  }
}

int SoftwareCanvas::PenWidth() {
  if (state_.pen.width <= 1) {
    return 1;
  }
  return std::max(1, std::abs(ScaleX(state_.pen.width)));
}

void SoftwareCanvas::ThinLine(Point a, Point b, uint32_t pixel, const Clipper& clip) {
  // Bresenham's choice of pixels, end point excluded, computed directly for each step of the
  // major axis so that only the steps over the surface are visited: after i steps the minor
  // axis has moved round(i * minor / major). Where that is exactly a half, GDI rounds towards
  // the start in octants 1, 2, 4 and 7 and away from it in octants 3, 5, 6 and 8 (numbered
  // counter-clockwise from +x with y growing downward).
  int64_t ox = static_cast<int64_t>(b.x) - a.x, oy = static_cast<int64_t>(b.y) - a.y;
  int octant;
  if (oy > 0) {
    octant = ox > 0 ? (ox > oy ? 1 : 2) : (-ox > oy ? 4 : 3);
  } else {
    octant = ox < 0 ? (-ox > -oy ? 5 : 6) : (ox > -oy ? 8 : 7);
  }
  int64_t half_up = (0xB4 >> (octant - 1)) & 1;
  int64_t dx = std::abs(static_cast<int64_t>(b.x) - a.x);
  int64_t dy = std::abs(static_cast<int64_t>(b.y) - a.y);
  int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  bool x_major = dx >= dy;
  int64_t major = x_major ? dx : dy, minor = x_major ? dy : dx;
  int major_start = x_major ? a.x : a.y;
  int major_step = x_major ? sx : sy;
  int extent = x_major ? surface_.width : surface_.height;
  // Steps i in [0, major) whose major coordinate lies on the surface.
  int64_t first = 0, last = major;
  if (major_step > 0) {
    first = std::max<int64_t>(first, -static_cast<int64_t>(major_start));
    last = std::min<int64_t>(last, static_cast<int64_t>(extent) - major_start);
  } else {
    first = std::max<int64_t>(first, static_cast<int64_t>(major_start) - extent + 1);
    last = std::min<int64_t>(last, static_cast<int64_t>(major_start) + 1);
  }
  for (int64_t i = first; i < last; ++i) {
    int64_t k = (2 * minor * i + major - 1 + half_up) / (2 * major);
    int x = static_cast<int>(x_major ? a.x + sx * i : a.x + sx * k);
    int y = static_cast<int>(x_major ? a.y + sy * k : a.y + sy * i);
    clip.Spans(y, x, x + 1, [&](int p, int) {
      surface_.pixels[static_cast<size_t>(y) * surface_.width + p] = pixel;
    });
  }
}

Region SoftwareCanvas::WideLineRegion(Point a, Point b, int w) {
  // A band of width w around the line through the pixel centres, square ends, built with
  // doubled coordinates so that half pixels stay exact enough.
  double ax = a.x + 0.5, ay = a.y + 0.5, bx = b.x + 0.5, by = b.y + 0.5;
  double len = std::hypot(bx - ax, by - ay);
  double ux = len > 0 ? (bx - ax) / len : 1, uy = len > 0 ? (by - ay) / len : 0;
  double h = w / 2.0;
  double nx = -uy * h, ny = ux * h;
  double ex = ux * h, ey = uy * h;
  // Pixels with centres in the band: rasterise per row.
  double pts[4][2] = {{ax - ex + nx, ay - ey + ny},
                      {bx + ex + nx, by + ey + ny},
                      {bx + ex - nx, by + ey - ny},
                      {ax - ex - nx, ay - ey - ny}};
  double top = pts[0][1], bottom = pts[0][1];
  for (auto& p : pts) {
    top = std::min(top, p[1]);
    bottom = std::max(bottom, p[1]);
  }
  // Only rows near the surface matter.
  top = std::max(top, -2.0);
  bottom = std::min(bottom, surface_.height + 2.0);
  if (bottom <= top) {
    return Region{};
  }
  int y0 = static_cast<int>(std::floor(top)) - 1, y1 = static_cast<int>(std::ceil(bottom)) + 1;
  std::vector<std::vector<Region::Span>> rows(std::max(0, y1 - y0));
  for (int y = y0; y < y1; ++y) {
    double yc = y + 0.5;
    double lo = 1e18, hi = -1e18;
    for (int i = 0; i < 4; ++i) {
      const double* p = pts[i];
      const double* q = pts[(i + 1) % 4];
      double ya = p[1], yb = q[1];
      if (ya == yb) {
        continue;
      }
      if (yc < std::min(ya, yb) || yc >= std::max(ya, yb)) {
        continue;
      }
      double x = p[0] + (yc - ya) * (q[0] - p[0]) / (yb - ya);
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
    if (lo > hi) {
      continue;
    }
    double left = std::max(std::ceil(lo - 0.5), -2.0);
    double right = std::min(std::ceil(hi - 0.5), surface_.width + 2.0);
    if (right > left) {
      rows[y - y0].push_back(Region::Span{static_cast<int>(left), static_cast<int>(right)});
    }
  }
  return Region::FromRows(y0, rows);
}

void SoftwareCanvas::LineTo(int x, int y) {
  Point a = LogicalToDevice(state_.position), b = LogicalToDevice(Point{x, y});
  state_.position = {x, y};
  if (state_.pen.style == PenStyle::kNull) {
    return;
  }
  uint32_t pixel = PixelColor(state_.pen.color);
  int w = PenWidth();
  if (w <= 1) {
    ThinLine(a, b, pixel, Clipper(surface_, state_));
  } else {
    PaintRegion(WideLineRegion(a, b, w), pixel);
  }
}

void SoftwareCanvas::Rectangle(const Rect& r) {
  Rect d = LogicalToDevice(r);
  bool fill = state_.brush.style == BrushStyle::kSolid;
  uint32_t brush = fill ? PixelColor(state_.brush.color) : 0;
  if (state_.pen.style == PenStyle::kNull) {
    if (fill) {
      PaintRect(Rect{d.left, d.top, d.right - 1, d.bottom - 1}, brush);
    }
    return;
  }
  int w = PenWidth();
  Rect outer = d, inner;
  if (state_.pen.style == PenStyle::kInsideFrame || w == 1) {
    w = std::min(w, std::max(1, std::min(d.width(), d.height()) / 2));
    inner = Rect{d.left + w, d.top + w, d.right - w, d.bottom - w};
  } else {
    int a = w / 2, b = w - a - 1;
    outer = Rect{d.left - a, d.top - a, d.right + b, d.bottom + b};
    inner = Rect{d.left + b + 1, d.top + b + 1, d.right - 1 - a, d.bottom - 1 - a};
  }
  if (outer.empty()) {
    return;
  }
  if (fill && !inner.empty()) {
    PaintRect(inner, brush);
  }
  Region ring = Region::FromRect(outer);
  if (!inner.empty()) {
    ring = ring.Subtract(Region::FromRect(inner));
  }
  if (w >= 3 && outer.width() >= w && outer.height() >= w) {
    // Wide pens join the sides with round corners: the pixels of each outer corner square
    // farther than (w - 1) / 2 + 1/4 from the join's centre are left out. Only the part of
    // each square near the surface is looked at.
    double r = (w - 1) / 2.0 + 0.25, half = w / 2.0;
    Rect limit = Limit();
    Rect area = outer.Intersect(limit);
    std::vector<std::vector<Region::Span>> rows(std::max(0, area.height()));
    for (int k = 0; k < 4; ++k) {
      bool right = k & 1, bottom = k & 2;
      Rect square =
          Rect{right ? outer.right - w : outer.left, bottom ? outer.bottom - w : outer.top,
               right ? outer.right : outer.left + w, bottom ? outer.bottom : outer.top + w}
              .Intersect(limit);
      for (int y = square.top; y < square.bottom; ++y) {
        for (int x = square.left; x < square.right; ++x) {
          // Offsets from the join's centre, measured towards the outside of the corner.
          double ox = right ? (x + 0.5) - (outer.right - half) : (outer.left + half) - (x + 0.5);
          double oy = bottom ? (y + 0.5) - (outer.bottom - half) : (outer.top + half) - (y + 0.5);
          if (ox > 0 && oy > 0 && std::hypot(ox, oy) > r) {
            rows[y - area.top].push_back(Region::Span{x, x + 1});
          }
        }
      }
    }
    ring = ring.Subtract(Region::FromRows(area.top, rows));
  }
  PaintRegion(ring, PixelColor(state_.pen.color));
}

Region SoftwareCanvas::EllipseFigure(const Rect& d) {
  Region outline, figure;
  if (MidpointEllipse(d, &outline, &figure)) {
    return figure;
  }
  return Region::Ellipse(d, Limit());
}

Region SoftwareCanvas::EllipseOutline(const Rect& d, int w) {
  if (w == 1) {
    Region outline, figure;
    if (MidpointEllipse(d, &outline, &figure)) {
      return outline;
    }
    // Larger than any window: the pixels of the ellipse with a side neighbour outside it.
    Region outer = Region::Ellipse(d, Limit());
    Region interior = outer.Intersect(outer.Offset(1, 0))
                          .Intersect(outer.Offset(-1, 0))
                          .Intersect(outer.Offset(0, 1))
                          .Intersect(outer.Offset(0, -1));
    return outer.Subtract(interior);
  }
  Region outer = EllipseFigure(d);
  Rect in{d.left + w, d.top + w, d.right - w, d.bottom - w};
  if (in.empty()) {
    return outer;
  }
  return outer.Subtract(EllipseFigure(in));
}

void SoftwareCanvas::Ellipse(const Rect& r) {
  Rect d = LogicalToDevice(r);
  bool fill = state_.brush.style == BrushStyle::kSolid;
  if (state_.pen.style == PenStyle::kNull) {
    // Unlike a rectangle's, the figure keeps its size without a pen.
    if (fill) {
      PaintRegion(EllipseFigure(d), PixelColor(state_.brush.color));
    }
    return;
  }
  int w = PenWidth();
  if (state_.pen.style != PenStyle::kInsideFrame && w > 1) {
    int a = w / 2, b = w - a - 1;
    d = Rect{d.left - a, d.top - a, d.right + b, d.bottom + b};
  }
  if (d.empty()) {
    return;
  }
  Region outline = EllipseOutline(d, w);
  if (fill) {
    PaintRegion(EllipseFigure(d).Subtract(outline), PixelColor(state_.brush.color));
  }
  PaintRegion(outline, PixelColor(state_.pen.color));
}

void SoftwareCanvas::Arc(const Rect& r, Point start, Point end) {
  if (state_.pen.style == PenStyle::kNull) {
    return;
  }
  Rect d = LogicalToDevice(r);
  Point s = LogicalToDevice(start), e = LogicalToDevice(end);
  if (d.empty()) {
    return;
  }
  Region outline = EllipseOutline(d, PenWidth());
  double cx = (d.left + d.right) / 2.0, cy = (d.top + d.bottom) / 2.0;
  // Angles counter-clockwise on the screen (y grows downward).
  auto angle = [&](double x, double y) {
    double a = std::atan2(cy - y, x - cx);
    return a < 0 ? a + 2 * kPi : a;
  };
  double a0 = angle(s.x, s.y), a1 = angle(e.x, e.y);
  double sweep = a1 - a0;
  if (sweep <= 0) {
    sweep += 2 * kPi;
  }
  Rect area = outline.Bounds();
  std::vector<std::vector<Region::Span>> rows(area.height());
  for (const auto& band : outline.bands()) {
    for (int y = band.top; y < band.bottom; ++y) {
      for (const auto& sp : band.spans) {
        for (int x = sp.left; x < sp.right; ++x) {
          double rel = angle(x + 0.5, y + 0.5) - a0;
          if (rel < 0) {
            rel += 2 * kPi;
          }
          if (rel < sweep - 1e-9) {  // the end ray itself is left out, as a line's end point
            rows[y - area.top].push_back(Region::Span{x, x + 1});
          }
        }
      }
    }
  }
  PaintRegion(Region::FromRows(area.top, rows), PixelColor(state_.pen.color));
}

void SoftwareCanvas::Polygon(const std::vector<Point>& points) {
  if (points.size() < 2) {
    return;
  }
  std::vector<Point> d;
  d.reserve(points.size());
  for (const auto& p : points) {
    d.push_back(LogicalToDevice(p));
  }
  if (state_.brush.style == BrushStyle::kSolid && d.size() >= 3) {
    PaintRegion(Region::Polygon(d, Region::FillRule::kAlternate, Limit()),
                PixelColor(state_.brush.color));
  }
  if (state_.pen.style == PenStyle::kNull) {
    return;
  }
  uint32_t pixel = PixelColor(state_.pen.color);
  int w = PenWidth();
  Clipper clip(surface_, state_);
  for (size_t i = 0; i < d.size(); ++i) {
    Point a = d[i], b = d[(i + 1) % d.size()];
    if (w <= 1) {
      ThinLine(a, b, pixel, clip);
    } else {
      PaintRegion(WideLineRegion(a, b, w), pixel);
    }
  }
}

void SoftwareCanvas::FillRect(const Rect& r, Color c) {
  PaintRect(LogicalToDevice(r), PixelColor(c));
}

void SoftwareCanvas::FillRegion(const Region& logical_region, Color c) {
  const Mapping& m = state_.mapping;
  if (m.window_extent == m.viewport_extent) {
    Point o = LogicalToDevice(Point{0, 0});
    PaintRegion(logical_region.Offset(o.x, o.y), PixelColor(c));
    return;
  }
  // A scaled mapping: map each band's rectangles, keeping the rows near the surface.
  Rect limit = Limit();
  std::vector<std::vector<Region::Span>> rows(limit.height());
  for (const auto& band : logical_region.bands()) {
    for (const auto& span : band.spans) {
      Rect d = LogicalToDevice(Rect{span.left, band.top, span.right, band.bottom}).Intersect(limit);
      for (int y = d.top; y < d.bottom; ++y) {
        rows[y - limit.top].push_back(Region::Span{d.left, d.right});
      }
    }
  }
  PaintRegion(Region::FromRows(limit.top, rows), PixelColor(c));
}

void SoftwareCanvas::PatBlt(const Rect& r, uint32_t rop) {
  Rect d = LogicalToDevice(r);
  uint32_t pattern = state_.brush.style == BrushStyle::kSolid ? PixelColor(state_.brush.color) : 0;
  Clipper clip(surface_, state_);
  for (int y = std::max(d.top, 0); y < std::min(d.bottom, surface_.height); ++y) {
    uint32_t* row = surface_.pixels.data() + static_cast<size_t>(y) * surface_.width;
    clip.Spans(y, d.left, d.right, [&](int a, int b) {
      for (int x = a; x < b; ++x) {
        row[x] = ApplyRop(rop, pattern, 0, row[x]);
      }
    });
  }
}

void SoftwareCanvas::SetPixel(int x, int y, Color c) {
  Point d = LogicalToDevice(Point{x, y});
  PaintRect(Rect{d.x, d.y, d.x + 1, d.y + 1}, PixelColor(c));
}

void SoftwareCanvas::ExtTextOut(int x, int y, uint32_t options, const Rect* rect,
                                std::u16string_view text) {
  FontFace& face = CurrentFace();
  TextMetrics m = face.Metrics();
  Point origin = LogicalToDevice(Point{x, y});
  int width = static_cast<int>(std::min<int64_t>(AdvanceSum(face, text), INT32_MAX / 2));
  width += m.overhang;

  uint32_t align = state_.text_align;
  int left = origin.x;
  if ((align & kAlignHorizontalMask) == kAlignCenter) {
    left -= width / 2;
  } else if ((align & kAlignHorizontalMask) == kAlignRight) {
    left -= width;
  }
  int baseline = origin.y + m.ascent;
  if ((align & kAlignVerticalMask) == kAlignBaseline) {
    baseline = origin.y;
  } else if ((align & kAlignVerticalMask) == kAlignBottom) {
    baseline = origin.y - m.descent;
  }
  int top = baseline - m.ascent;

  // Clipping to the option rectangle narrows the canvas clip for this call.
  State saved = state_;
  Rect device_rect = rect ? LogicalToDevice(*rect) : Rect{};
  if (rect && (options & kTextClipped)) {
    Region r = Region::FromRect(device_rect);
    state_.clip = state_.has_clip ? state_.clip.Intersect(r) : r;
    state_.has_clip = true;
  }
  uint32_t bk = PixelColor(state_.bk_color);
  if (rect && (options & kTextOpaque)) {
    PaintRect(device_rect, bk);
  }
  if (state_.bk_mode == BkMode::kOpaque) {
    PaintRect(Rect{left, top, left + width, top + m.height}, bk);
  }

  uint32_t ink = PixelColor(state_.text_color);
  Clipper clip(surface_, state_);
  int pen = left;
  for (size_t i = 0; i < text.size();) {
    const char32_t ch = NextCodePoint(text, i);
    const GlyphImage& g = face.Glyph(ch);
    int gx = pen + g.left, gy = baseline - g.top;
    for (int row = 0; row < g.height; ++row) {
      int y = gy + row;
      if (y < 0 || y >= surface_.height) {
        continue;
      }
      uint32_t* line = surface_.pixels.data() + static_cast<size_t>(y) * surface_.width;
      const uint8_t* cov = g.coverage.data() + static_cast<size_t>(row) * g.width;
      clip.Spans(y, gx, gx + g.width, [&](int a, int b) {
        for (int px = a; px < b; ++px) {
          unsigned c = cov[px - gx];
          if (c == 255) {
            line[px] = ink;
          } else if (c) {
            line[px] = Blend(line[px], ink, c);
          }
        }
      });
    }
    pen += face.Advance(ch);
  }
  int thickness = face.LineThickness();
  if (state_.font.style & kFontUnderline) {
    int uy = baseline + face.UnderlineOffset();
    PaintRect(Rect{left, uy, left + width, uy + thickness}, ink);
  }
  if (state_.font.style & kFontStrikeOut) {
    int sy = baseline + face.StrikeOutOffset();
    PaintRect(Rect{left, sy, left + width, sy + thickness}, ink);
  }
  state_ = std::move(saved);
}

void SoftwareCanvas::StretchBitmap(const Rect& dest, const Bitmap& src, const Rect& src_rect,
                                   uint32_t rop) {
  if (src.empty()) {
    return;
  }
  // Source extents in 64 bits: the rectangle is the caller's and may be anything.
  int64_t src_w = static_cast<int64_t>(src_rect.right) - src_rect.left;
  int64_t src_h = static_cast<int64_t>(src_rect.bottom) - src_rect.top;
  if (src_w == 0 || src_h == 0) {
    return;
  }
  Point p0 = LogicalToDevice(Point{dest.left, dest.top});
  Point p1 = LogicalToDevice(Point{dest.right, dest.bottom});
  int dw = p1.x - p0.x, dh = p1.y - p0.y;
  if (dw == 0 || dh == 0) {
    return;
  }
  // Both rectangles are walked from their start edge to their end edge; a negative extent
  // walks backwards and covers (end, start]: GDI keeps the start edge and drops the end.
  const bool dest_rev_x = dw < 0, dest_rev_y = dh < 0;
  const bool src_rev_x = src_w < 0, src_rev_y = src_h < 0;
  const bool flip_x = dest_rev_x != src_rev_x, flip_y = dest_rev_y != src_rev_y;
  int dl = dest_rev_x ? p1.x + 1 : p0.x, dt = dest_rev_y ? p1.y + 1 : p0.y;
  int aw = std::abs(dw), ah = std::abs(dh);
  int64_t sl = src_rev_x ? static_cast<int64_t>(src_rect.right) + 1 : src_rect.left;
  int64_t st = src_rev_y ? static_cast<int64_t>(src_rect.bottom) + 1 : src_rect.top;
  int64_t sw = std::abs(src_w), sh = std::abs(src_h);

  // The source columns (or rows) [first, last), relative to the source rectangle, that fall
  // on destination column (or row) i. As GDI does: enlarging, each destination pixel takes the
  // source pixel under its centre; shrinking, each source pixel goes to the destination pixel
  // under its centre, so a destination pixel gets a run of them.
  auto walk_range = [](int64_t i, int64_t dn, int64_t sn) -> std::pair<int64_t, int64_t> {
    int64_t a, b;
    if (dn >= sn) {
      // A centre exactly on a source boundary takes the source pixel before it.
      a = ((2 * i + 1) * sn - 1) / (2 * dn);
      b = a + 1;
    } else {
      // Source pixel k goes to floor(((2k + 1) * dn - 1) / (2 * sn)): a centre that falls
      // exactly on a boundary between destination pixels goes to the first of them.
      auto floor_div = [](int64_t num, int64_t den) {
        return num >= 0 ? num / den : -((-num + den - 1) / den);
      };
      a = floor_div(2 * i * sn - dn, 2 * dn) + 1;
      b = floor_div(2 * (i + 1) * sn - dn, 2 * dn) + 1;
      if (b <= a) b = a + 1;
    }
    return {a, b};
  };
  // The same for destination pixel `offset` from the left (top), as source pixels relative
  // to the left (top) of the source, and the one of them met last in the walk.
  struct SourceRun {
    int64_t first, last, kept;
  };
  auto run_at = [&](int64_t offset, int64_t dn, int64_t sn, bool dest_rev, bool src_rev) {
    auto [a, b] = walk_range(dest_rev ? dn - 1 - offset : offset, dn, sn);
    if (src_rev) return SourceRun{sn - b, sn - a, sn - b};
    return SourceRun{a, b, b - 1};
  };
  // Only destination pixels on the surface matter.
  int vx0 = std::max(dl, 0), vx1 = std::min(dl + aw, surface_.width);
  int vy0 = std::max(dt, 0), vy1 = std::min(dt + ah, surface_.height);
  if (vx0 >= vx1 || vy0 >= vy1) {
    return;
  }

  auto read = [&](int64_t sx, int64_t sy) -> uint32_t {
    sx += sl;
    sy += st;
    if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) {
      return 0;
    }
    return src.ColorAt(static_cast<int>(sx), static_cast<int>(sy));
  };
  uint32_t pattern = state_.brush.style == BrushStyle::kSolid ? PixelColor(state_.brush.color) : 0;
  auto combine = [rop, pattern](uint32_t s, uint32_t d) -> uint32_t {
    switch (rop) {
      case kSrcCopy:
        return s;
      case kSrcAnd:
        return s & d;
      case kSrcPaint:
        return s | d;
      case kSrcInvert:
        return (s ^ d) & 0xFFFFFF;
      case kDstAndNotSrc:
        return d & ~s & 0xFFFFFF;
      default:
        return ApplyRop(rop, pattern, s, d);
    }
  };
  Clipper clip(surface_, state_);

  // The common case: same size, no mirroring, a 32-bit or mask source, whole rows visible.
  if (aw == sw && ah == sh && !flip_x && !flip_y &&
      (src.format == Bitmap::Format::kRgb32 || src.format == Bitmap::Format::kMask1) && sl >= 0 &&
      st >= 0 && sl + sw <= src.width && st + sh <= src.height) {
    for (int y = vy0; y < vy1; ++y) {
      uint32_t* row = surface_.pixels.data() + static_cast<size_t>(y) * surface_.width;
      const int64_t sbase = (y - dt + st) * src.width + (sl - dl);
      clip.Spans(y, vx0, vx1, [&](int a, int b) {
        uint32_t* d = row + a;
        int n = b - a;
        if (src.format == Bitmap::Format::kRgb32) {
          const uint32_t* s = src.pixels.data() + (sbase + a);
          switch (rop) {
            case kSrcCopy:
              for (int i = 0; i < n; ++i) {
                d[i] = s[i] & 0xFFFFFF;
              }
              break;
            case kSrcAnd:
              for (int i = 0; i < n; ++i) {
                d[i] &= s[i];
              }
              break;
            case kSrcPaint:
              for (int i = 0; i < n; ++i) {
                d[i] = (d[i] | s[i]) & 0xFFFFFF;
              }
              break;
            case kSrcInvert:
              for (int i = 0; i < n; ++i) {
                d[i] = (d[i] ^ s[i]) & 0xFFFFFF;
              }
              break;
            default:
              for (int i = 0; i < n; ++i) {
                d[i] = combine(s[i] & 0xFFFFFF, d[i]);
              }
          }
        } else {
          const uint8_t* s = src.indices.data() + (sbase + a);
          switch (rop) {
            case kSrcAnd:
              for (int i = 0; i < n; ++i) {
                d[i] &= s[i] ? 0xFFFFFFu : 0u;
              }
              break;
            case kSrcPaint:
              for (int i = 0; i < n; ++i) {
                d[i] |= s[i] ? 0xFFFFFFu : 0u;
              }
              break;
            default:
              for (int i = 0; i < n; ++i) {
                d[i] = combine(s[i] ? 0xFFFFFFu : 0u, d[i]);
              }
          }
        }
      });
    }
    return;
  }

  // Source ranges are cut to the bitmap: pixels outside it read black, which decides an AND
  // and adds nothing to an OR, so the work stays within the bitmap's size.
  const int64_t col_lo = -sl, col_hi = src.width - sl;  // valid columns, relative
  const int64_t row_lo = -st, row_hi = src.height - st;
  std::vector<SourceRun> cols(vx1 - vx0);
  for (int x = vx0; x < vx1; ++x) {
    cols[x - vx0] = run_at(x - dl, aw, sw, dest_rev_x, src_rev_x);
  }
  StretchMode mode = state_.stretch_mode;
  for (int y = vy0; y < vy1; ++y) {
    uint32_t* row = surface_.pixels.data() + static_cast<size_t>(y) * surface_.width;
    const SourceRun rows_here = run_at(y - dt, ah, sh, dest_rev_y, src_rev_y);
    const int64_t r0 = rows_here.first, r1 = rows_here.last;
    clip.Spans(y, vx0, vx1, [&](int a, int b) {
      for (int x = a; x < b; ++x) {
        const SourceRun& col = cols[x - vx0];
        const int64_t c0 = col.first, c1 = col.last;
        uint32_t s;
        if (mode == StretchMode::kColorOnColor || (r1 - r0 == 1 && c1 - c0 == 1)) {
          // Of a run, the pixel met last in the walk over the source is kept.
          s = read(col.kept, rows_here.kept);
        } else {
          bool outside = c0 < col_lo || c1 > col_hi || r0 < row_lo || r1 > row_hi;
          int64_t x0 = std::max(c0, col_lo), x1 = std::min(c1, col_hi);
          int64_t y0 = std::max(r0, row_lo), y1 = std::min(r1, row_hi);
          if (mode == StretchMode::kBlackOnWhite) {
            s = outside ? 0 : 0xFFFFFF;
            for (int64_t sy = y0; sy < y1 && s; ++sy) {
              for (int64_t sx = x0; sx < x1; ++sx) {
                s &= read(sx, sy);
              }
            }
          } else {
            s = 0;
            for (int64_t sy = y0; sy < y1; ++sy) {
              for (int64_t sx = x0; sx < x1; ++sx) {
                s |= read(sx, sy);
              }
            }
          }
        }
        row[x] = combine(s, row[x]);
      }
    });
  }
}

bool SoftwareCanvas::AlphaBlendBitmap(const Rect& dest, const Bitmap& src, const Rect& src_rect,
                                      std::span<const uint8_t> alpha) {
  if (src.empty() || alpha.size() != static_cast<size_t>(src.width) * src.height) return false;
  if (caps_.monochrome()) return false;
  // The picture and its alpha are stretched as StretchBitmap stretches them, colour-on-colour,
  // onto two scratch surfaces covering the visible part of the destination; the alpha travels
  // as a grey picture. Then each visible pixel inside the clip is blended with the surface.
  const Point p0 = LogicalToDevice(Point{dest.left, dest.top});
  const Point p1 = LogicalToDevice(Point{dest.right, dest.bottom});
  const Rect visible{std::max(std::min(p0.x, p1.x), 0), std::max(std::min(p0.y, p1.y), 0),
                     std::min(std::max(p0.x, p1.x), surface_.width),
                     std::min(std::max(p0.y, p1.y), surface_.height)};
  if (visible.left >= visible.right || visible.top >= visible.bottom) return true;
  Bitmap weights = Bitmap::Rgb32(src.width, src.height);
  for (size_t i = 0; i < alpha.size(); ++i) weights.pixels[i] = alpha[i];
  const Rect scratch_dest{p0.x - visible.left, p0.y - visible.top, p1.x - visible.left,
                          p1.y - visible.top};
  SoftwareCanvas colour(visible.width(), visible.height(), glyphs_);
  SoftwareCanvas weight(visible.width(), visible.height(), glyphs_);
  colour.SetStretchMode(StretchMode::kColorOnColor);
  weight.SetStretchMode(StretchMode::kColorOnColor);
  // Outside the source rectangle's bitmap a pixel reads black: no weight, nothing drawn.
  weight.FillRect(Rect{0, 0, visible.width(), visible.height()}, 0);
  colour.StretchBitmap(scratch_dest, src, src_rect, kSrcCopy);
  weight.StretchBitmap(scratch_dest, weights, src_rect, kSrcCopy);
  Clipper clip(surface_, state_);
  for (int y = visible.top; y < visible.bottom; ++y) {
    uint32_t* row = surface_.pixels.data() + static_cast<size_t>(y) * surface_.width;
    const size_t scratch_row = static_cast<size_t>(y - visible.top) * visible.width();
    clip.Spans(y, visible.left, visible.right, [&](int a, int b) {
      for (int x = a; x < b; ++x) {
        const size_t i = scratch_row + (x - visible.left);
        row[x] = Blend(row[x], colour.surface_.pixels[i], weight.surface_.pixels[i] & 0xFF);
      }
    });
  }
  return true;
}

std::unique_ptr<Canvas> SoftwareCanvas::CreateCompatible(int width, int height) {
  auto c = std::make_unique<SoftwareCanvas>(width, height, glyphs_);
  c->SetDeviceCaps(caps_);
  c->system_colors_ = system_colors_;
  return c;
}

void SoftwareCanvas::CopyFrom(const Rect& dest, Canvas& source, Point source_origin, uint32_t rop) {
  auto* soft = dynamic_cast<SoftwareCanvas*>(&source);
  if (!soft) {
    return;
  }
  Point o = soft->LogicalToDevice(source_origin);
  Rect d = LogicalToDevice(dest);
  StretchBitmap(dest, soft->surface_, Rect{o.x, o.y, o.x + d.width(), o.y + d.height()}, rop);
}

Bitmap SoftwareCanvas::ReadPixels(const Rect& r) {
  Bitmap b = Bitmap::Rgb32(std::max(r.width(), 0), std::max(r.height(), 0), 0);
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      int sx = r.left + x, sy = r.top + y;
      if (sx >= 0 && sy >= 0 && sx < surface_.width && sy < surface_.height) {
        b.pixels[static_cast<size_t>(y) * b.width + x] =
            surface_.pixels[static_cast<size_t>(sy) * surface_.width + sx];
      }
    }
  }
  return b;
}

}  // namespace brisomel
