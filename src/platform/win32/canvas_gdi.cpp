// The canvas port on GDI.
#include <windows.h>
// The port's method names are also GDI's ANSI/wide macros; the calls below name the wide
// functions directly.
#undef TextOut
#undef ExtTextOut
#undef GetTextMetrics

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/canvas_gdi.h"
#include "platform/win32/gdi_fonts.h"
#include "text/utf.h"

namespace brisomel {
namespace {

int PenStyleOf(PenStyle s) {
  switch (s) {
    case PenStyle::kSolid:
      return PS_SOLID;
    case PenStyle::kNull:
      return PS_NULL;
    case PenStyle::kInsideFrame:
      return PS_INSIDEFRAME;
  }
  return PS_SOLID;
}

}  // namespace

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc) {
  original_font_ = GetCurrentObject(dc_, OBJ_FONT);
  original_pen_ = GetCurrentObject(dc_, OBJ_PEN);
  original_brush_ = GetCurrentObject(dc_, OBJ_BRUSH);
}

std::unique_ptr<GdiCanvas> GdiCanvas::CreateDib(int width, int height, HDC compatible) {
  std::unique_ptr<GdiCanvas> c(new GdiCanvas());
  width = std::max(width, 1);
  height = std::max(height, 1);
  c->dc_ = CreateCompatibleDC(compatible);
  if (!c->dc_) {
    return nullptr;
  }
  c->owns_dc_ = true;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  c->dib_ = CreateDIBSection(c->dc_, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!c->dib_) {
    return nullptr;
  }
  c->bits_ = static_cast<uint32_t*>(bits);
  c->dib_width_ = width;
  c->dib_height_ = height;
  std::fill(c->bits_, c->bits_ + static_cast<size_t>(width) * height, 0xFFFFFFu);
  c->old_bitmap_ = static_cast<HBITMAP>(SelectObject(c->dc_, c->dib_));
  c->original_font_ = GetCurrentObject(c->dc_, OBJ_FONT);
  c->original_pen_ = GetCurrentObject(c->dc_, OBJ_PEN);
  c->original_brush_ = GetCurrentObject(c->dc_, OBJ_BRUSH);
  return c;
}

GdiCanvas::~GdiCanvas() {
  if (!dc_) {
    return;
  }
  SelectObject(dc_, static_cast<HGDIOBJ>(original_font_));
  SelectObject(dc_, static_cast<HGDIOBJ>(original_pen_));
  SelectObject(dc_, static_cast<HGDIOBJ>(original_brush_));
  SelectClipRgn(dc_, nullptr);
  if (old_palette_) {
    ::SelectPalette(dc_, static_cast<HPALETTE>(old_palette_), TRUE);
  }
  if (palette_) {
    DeleteObject(palette_);
  }
  if (own_font_) DeleteObject(own_font_);
  if (pen_handle_) {
    DeleteObject(pen_handle_);
  }
  if (brush_handle_) {
    DeleteObject(brush_handle_);
  }
  if (mapping_applied_) {
    SetMapMode(dc_, MM_TEXT);
    SetWindowOrgEx(dc_, 0, 0, nullptr);
    SetViewportOrgEx(dc_, 0, 0, nullptr);
  }
  if (owns_dc_) {
    if (old_bitmap_) {
      SelectObject(dc_, old_bitmap_);
    }
    if (dib_) {
      DeleteObject(dib_);
    }
    DeleteDC(dc_);
  }
}

uint32_t GdiCanvas::GdiColor(Color c) {
  if (IsSystemColor(c)) return GetSysColor(SystemColorIndex(c));
  return c & 0x03FFFFFF;
}

Color GdiCanvas::ResolveColor(Color c) {
  Color rgb = IsSystemColor(c) ? GetSysColor(SystemColorIndex(c)) & 0xFFFFFF : c & 0xFFFFFF;
  if (GetDeviceCaps().monochrome()) {
    int sum = RedOf(rgb) + GreenOf(rgb) + BlueOf(rgb);
    rgb = sum >= 3 * 128 ? 0xFFFFFF : 0;
  }
  return rgb;
}

HRGN GdiCanvas::MakeRegion(const Region& r) {
  std::vector<RECT> rects;
  for (const auto& band : r.bands()) {
    for (const auto& s : band.spans) rects.push_back(RECT{s.left, band.top, s.right, band.bottom});
  }
  std::vector<char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* rd = reinterpret_cast<RGNDATA*>(data.data());
  rd->rdh.dwSize = sizeof(RGNDATAHEADER);
  rd->rdh.iType = RDH_RECTANGLES;
  rd->rdh.nCount = static_cast<DWORD>(rects.size());
  rd->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  Rect b = r.Bounds();
  rd->rdh.rcBound = RECT{b.left, b.top, b.right, b.bottom};
  if (!rects.empty()) std::memcpy(rd->Buffer, rects.data(), rects.size() * sizeof(RECT));
  HRGN h = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rd);
  return h ? h : CreateRectRgn(0, 0, 0, 0);
}

void GdiCanvas::Sync() {
  SyncState();
  SelectFont();
}

void GdiCanvas::SyncState() {
  if (!caps_known_) GetDeviceCaps();  // also tells whether this is a display device
  // Mapping.
  if (!mapping_applied_ || applied_mapping_ != state_.mapping) {
    const Mapping& m = state_.mapping;
    if (m == Mapping{}) {
      SetMapMode(dc_, MM_TEXT);
    } else {
      SetMapMode(dc_, MM_ANISOTROPIC);
      SetWindowExtEx(dc_, m.window_extent.cx, m.window_extent.cy, nullptr);
      SetViewportExtEx(dc_, m.viewport_extent.cx, m.viewport_extent.cy, nullptr);
    }
    SetWindowOrgEx(dc_, m.window_origin.x, m.window_origin.y, nullptr);
    SetViewportOrgEx(dc_, m.viewport_origin.x, m.viewport_origin.y, nullptr);
    applied_mapping_ = m;
    mapping_applied_ = true;
  }
  // Clip region (device pixels).
  if (!clip_applied_ || applied_has_clip_ != state_.has_clip ||
      (state_.has_clip && !(applied_clip_ == state_.clip))) {
    if (state_.has_clip) {
      HRGN rgn = MakeRegion(state_.clip);
      SelectClipRgn(dc_, rgn);
      DeleteObject(rgn);
    } else {
      SelectClipRgn(dc_, nullptr);
    }
    applied_has_clip_ = state_.has_clip;
    applied_clip_ = state_.clip;
    clip_applied_ = true;
  }
  ChooseFont();
  // Pen and brush.
  if (!pen_selected_ || !(selected_pen_ == state_.pen)) {
    const Pen& p = state_.pen;
    HPEN pen = CreatePen(PenStyleOf(p.style), std::max(p.width, 0), GdiColor(p.color));
    SelectObject(dc_, pen);
    if (pen_handle_) {
      DeleteObject(pen_handle_);
    }
    pen_handle_ = pen;
    selected_pen_ = p;
    pen_selected_ = true;
  }
  if (!brush_selected_ || !(selected_brush_ == state_.brush)) {
    const Brush& b = state_.brush;
    HBRUSH brush = b.style == BrushStyle::kHollow
                       ? static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH))
                       : CreateSolidBrush(GdiColor(b.color));
    SelectObject(dc_, brush);
    if (brush_handle_) {
      DeleteObject(brush_handle_);  // stock objects ignore deletion
    }
    brush_handle_ = b.style == BrushStyle::kHollow ? nullptr : brush;
    selected_brush_ = b;
    brush_selected_ = true;
  }
  SyncAttributes();
}

void GdiCanvas::ChooseFont() {
  const int height = FontLogicalHeight(state_.font);
  if (font_synced_ && synced_height_ == height && synced_font_ == state_.font) return;
  cached_font_ = GdiFontCache::Instance().Find(state_.font, height);
  if (own_font_) {
    if (font_ == own_font_) {
      SelectObject(dc_, static_cast<HGDIOBJ>(original_font_));
      font_ = nullptr;
    }
    DeleteObject(own_font_);
    own_font_ = nullptr;
  }
  if (!cached_font_) own_font_ = GdiFontCache::Create(state_.font, height);
  wanted_font_ = cached_font_ ? cached_font_->handle : own_font_;
  synced_font_ = state_.font;
  synced_height_ = height;
  font_synced_ = true;
}

// Selecting a font is left until a call needs it: on an X11 display Wine looks up the
// display's font settings on each selection, which costs more than the rest of measuring.
void GdiCanvas::SelectFont() {
  if (font_ == wanted_font_) return;
  SelectObject(dc_, wanted_font_);
  font_ = wanted_font_;
}

void GdiCanvas::SyncAttributes() {
  const uint32_t text_color = GdiColor(state_.text_color), bk_color = GdiColor(state_.bk_color);
  const bool all = !attributes_applied_;
  if (all || applied_text_color_ != text_color) ::SetTextColor(dc_, text_color);
  if (all || applied_bk_color_ != bk_color) ::SetBkColor(dc_, bk_color);
  if (all || applied_bk_mode_ != state_.bk_mode)
    ::SetBkMode(dc_, state_.bk_mode == BkMode::kOpaque ? OPAQUE : TRANSPARENT);
  if (all || applied_text_align_ != state_.text_align) ::SetTextAlign(dc_, state_.text_align);
  if (all || applied_stretch_mode_ != state_.stretch_mode)
    ::SetStretchBltMode(dc_, static_cast<int>(state_.stretch_mode));
  if (all) ::SetPolyFillMode(dc_, ALTERNATE);
  if (all || !(applied_position_ == state_.position))
    ::MoveToEx(dc_, state_.position.x, state_.position.y, nullptr);
  applied_text_color_ = text_color;
  applied_bk_color_ = bk_color;
  applied_bk_mode_ = state_.bk_mode;
  applied_text_align_ = state_.text_align;
  applied_stretch_mode_ = state_.stretch_mode;
  applied_position_ = state_.position;
  attributes_applied_ = true;
}

const TextMetrics* GdiCanvas::CachedMetrics() {
  if (!cached_font_ || !display_ || !(state_.mapping == Mapping{})) return nullptr;
  if (!cached_font_->metrics_known) {
    SelectFont();
    GdiFontCache::SetMetrics(*cached_font_, ReadTextMetrics(dc_));
  }
  return &cached_font_->metrics;
}

GdiFont* GdiCanvas::SummableFont() {
  return CachedMetrics() && cached_font_->summable ? cached_font_ : nullptr;
}

bool GdiCanvas::Summable(GdiFont& font) {
  if (&font == cached_font_) return SummableFont() != nullptr;
  if (!display_ || !(state_.mapping == Mapping{})) return false;
  if (!font.metrics_known) {
    UseFont(font.handle);
    GdiFontCache::SetMetrics(font, ReadTextMetrics(dc_));
  }
  return font.summable;
}

void GdiCanvas::UseFont(HFONT font) {
  if (font_ == font) return;
  SelectObject(dc_, font);
  font_ = font;
}

int32_t GdiCanvas::SumAdvances(GdiFont& font, std::u16string_view text, std::vector<int>* dx) {
  int32_t width = 0;
  for (size_t i = 0; i < text.size();) {
    const char16_t unit = text[i];
    int32_t* advance;
    size_t length = 1;
    if (unit < font.advances.size()) {
      advance = &font.advances[unit];
    } else {
      const CodePointAt c = DecodeUtf16At(text, i);
      length = c.length;
      auto it = font.far_advances.find(c.code_point);
      if (it == font.far_advances.end()) it = font.far_advances.emplace(c.code_point, -1).first;
      advance = &it->second;
    }
    if (*advance < 0) {
      UseFont(font.handle);
      SIZE size{};
      ::GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(text.data() + i),
                              static_cast<int>(length), &size);
      *advance = size.cx;
    }
    width += *advance;
    if (dx) {
      dx->push_back(*advance);
      if (length == 2) dx->push_back(0);
    }
    i += length;
  }
  return width;
}

bool GdiCanvas::SplitRuns(std::u16string_view text) {
  runs_.clear();
  if (!cached_font_) return false;
  // Text below U+0100 is always the chosen font's: most text never looks further.
  size_t i = 0;
  while (i < text.size() && text[i] < 0x100) ++i;
  if (i == text.size()) return false;
  GdiFontCache& cache = GdiFontCache::Instance();
  GdiFont* current = cached_font_;
  size_t begin = 0;
  while (i < text.size()) {
    const CodePointAt c = text[i] < 0x100 ? CodePointAt{text[i], 1} : DecodeUtf16At(text, i);
    GdiFont* font = &cache.DrawnBy(*cached_font_, c.code_point, dc_);
    if (font != current) {
      if (i > begin) runs_.push_back(TextRun{current, begin, i});
      current = font;
      begin = i;
    }
    i += c.length;
  }
  runs_.push_back(TextRun{current, begin, text.size()});
  if (runs_.size() == 1 && runs_[0].font == cached_font_) {
    runs_.clear();
    return false;
  }
  return true;
}

int32_t GdiCanvas::RunWidth(GdiFont& font, std::u16string_view text, std::vector<int>* dx) {
  if (Summable(font)) return SumAdvances(font, text, dx);
  UseFont(font.handle);
  const auto* chars = reinterpret_cast<const wchar_t*>(text.data());
  const int count = static_cast<int>(text.size());
  SIZE total{};
  if (!dx) {
    ::GetTextExtentPoint32W(dc_, chars, count, &total);
    return total.cx;
  }
  std::vector<INT> ends(text.size());
  if (!::GetTextExtentExPointW(dc_, chars, count, 0, nullptr, ends.data(), &total)) return 0;
  for (size_t k = 0; k < ends.size(); ++k) dx->push_back(ends[k] - (k ? ends[k - 1] : 0));
  return total.cx;
}

DeviceCaps GdiCanvas::GetDeviceCaps() {
  // A device context's capabilities do not change while it lives.
  if (caps_known_) return caps_;
  display_ = ::GetDeviceCaps(dc_, TECHNOLOGY) == DT_RASDISPLAY;
  DeviceCaps c;
  c.bits_per_pixel = ::GetDeviceCaps(dc_, BITSPIXEL);
  c.planes = ::GetDeviceCaps(dc_, PLANES);
  c.dpi_x = ::GetDeviceCaps(dc_, LOGPIXELSX);
  c.dpi_y = ::GetDeviceCaps(dc_, LOGPIXELSY);
  c.width = ::GetDeviceCaps(dc_, HORZRES);
  c.height = ::GetDeviceCaps(dc_, VERTRES);
  c.physical_width = ::GetDeviceCaps(dc_, PHYSICALWIDTH);
  c.physical_height = ::GetDeviceCaps(dc_, PHYSICALHEIGHT);
  c.offset_x = ::GetDeviceCaps(dc_, PHYSICALOFFSETX);
  c.offset_y = ::GetDeviceCaps(dc_, PHYSICALOFFSETY);
  if (dib_) {
    // A memory DC reports the screen; its surface is the DIB.
    c.bits_per_pixel = 32;
    c.planes = 1;
    c.width = dib_width_;
    c.height = dib_height_;
  }
  if (c.physical_width == 0) {
    c.physical_width = c.width;
  }
  if (c.physical_height == 0) {
    c.physical_height = c.height;
  }
  caps_ = c;
  caps_known_ = true;
  return c;
}

TextMetrics GdiCanvas::GetTextMetrics() {
  SyncState();
  if (const TextMetrics* metrics = CachedMetrics()) return *metrics;
  SelectFont();
  return ReadTextMetrics(dc_);
}

Size GdiCanvas::TextExtent(std::u16string_view text) {
  SyncState();
  if (SplitRuns(text)) {
    int32_t width = 0;
    for (const TextRun& run : runs_) {
      width += RunWidth(*run.font, text.substr(run.begin, run.end - run.begin), nullptr);
    }
    return Size{width, GetTextMetrics().height};
  }
  if (GdiFont* font = text.empty() ? nullptr : SummableFont())
    return Size{SumAdvances(*font, text), font->metrics.height};
  SelectFont();
  SIZE s{};
  ::GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(text.data()),
                          static_cast<int>(text.size()), &s);
  return Size{s.cx, s.cy};
}

void GdiCanvas::LineTo(int x, int y) {
  SyncState();
  ::LineTo(dc_, x, y);
  state_.position = {x, y};
  applied_position_ = state_.position;
}

void GdiCanvas::Rectangle(const Rect& r) {
  SyncState();
  ::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::Ellipse(const Rect& r) {
  SyncState();
  ::Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::Arc(const Rect& r, Point start, Point end) {
  SyncState();
  ::Arc(dc_, r.left, r.top, r.right, r.bottom, start.x, start.y, end.x, end.y);
}

void GdiCanvas::Polygon(const std::vector<Point>& points) {
  if (points.size() < 2) {
    return;
  }
  SyncState();
  std::vector<POINT> pts;
  pts.reserve(points.size());
  for (const auto& p : points) pts.push_back(POINT{p.x, p.y});
  ::Polygon(dc_, pts.data(), static_cast<int>(pts.size()));
}

void GdiCanvas::FillRect(const Rect& r, Color c) {
  SyncState();
  HBRUSH brush = CreateSolidBrush(GdiColor(c));
  RECT rc{r.left, r.top, r.right, r.bottom};
  ::FillRect(dc_, &rc, brush);
  DeleteObject(brush);
}

void GdiCanvas::FillRegion(const Region& logical_region, Color c) {
  SyncState();
  HRGN rgn = MakeRegion(logical_region);
  HBRUSH brush = CreateSolidBrush(GdiColor(c));
  ::FillRgn(dc_, rgn, brush);
  DeleteObject(brush);
  DeleteObject(rgn);
}

void GdiCanvas::PatBlt(const Rect& r, uint32_t rop) {
  SyncState();
  ::PatBlt(dc_, r.left, r.top, r.width(), r.height(), rop);
}

void GdiCanvas::SetPixel(int x, int y, Color c) {
  SyncState();
  ::SetPixel(dc_, x, y, GdiColor(c));
}

void GdiCanvas::ExtTextOut(int x, int y, uint32_t options, const Rect* rect,
                           std::u16string_view text) {
  Sync();
  if (SplitRuns(text)) {
    DrawRuns(x, y, options, rect, text);
    return;
  }
  RECT rc{};
  if (rect) {
    rc = RECT{rect->left, rect->top, rect->right, rect->bottom};
  }
  // Each character is placed where the text's measured extent puts it: left to its own advances,
  // Wine draws a long run narrower than GetTextExtentPoint32 measures it, which leaves a gap
  // before the next run that layout placed after the measured width.
  const int count = static_cast<int>(text.size());
  const auto* chars = reinterpret_cast<const wchar_t*>(text.data());
  std::vector<INT> dx;
  if (count > 1) {
    if (GdiFont* font = SummableFont()) {
      dx.reserve(text.size());
      SumAdvances(*font, text, &dx);
    } else {
      std::vector<INT> ends(static_cast<size_t>(count));
      SIZE total{};
      if (::GetTextExtentExPointW(dc_, chars, count, 0, nullptr, ends.data(), &total)) {
        dx.resize(ends.size());
        for (size_t i = 0; i < ends.size(); ++i) dx[i] = ends[i] - (i ? ends[i - 1] : 0);
        if (std::any_of(dx.begin(), dx.end(), [](INT d) { return d < 0; })) dx.clear();
      }
    }
  }
  SelectFont();
  ::ExtTextOutW(dc_, x, y, rect ? options & (ETO_OPAQUE | ETO_CLIPPED) : 0, rect ? &rc : nullptr,
                chars, static_cast<UINT>(count), dx.empty() ? nullptr : dx.data());
}

// Runs in several fonts share the chosen font's baseline and cell: the alignment is applied
// to the whole text here, the background filled once, and each run drawn left to right from
// the baseline, transparent.
void GdiCanvas::DrawRuns(int x, int y, uint32_t options, const Rect* rect,
                         std::u16string_view text) {
  std::vector<std::vector<INT>> advances(runs_.size());
  std::vector<int32_t> widths(runs_.size());
  int32_t width = 0;
  for (size_t r = 0; r < runs_.size(); ++r) {
    const TextRun& run = runs_[r];
    widths[r] = RunWidth(*run.font, text.substr(run.begin, run.end - run.begin), &advances[r]);
    width += widths[r];
  }
  const TextMetrics m = GetTextMetrics();
  int left = x;
  if ((state_.text_align & kAlignHorizontalMask) == kAlignCenter) {
    left -= width / 2;
  } else if ((state_.text_align & kAlignHorizontalMask) == kAlignRight) {
    left -= width;
  }
  int baseline = y + m.ascent;
  if ((state_.text_align & kAlignVerticalMask) == kAlignBaseline) {
    baseline = y;
  } else if ((state_.text_align & kAlignVerticalMask) == kAlignBottom) {
    baseline = y - m.descent;
  }
  RECT rc{};
  if (rect) rc = RECT{rect->left, rect->top, rect->right, rect->bottom};
  const UINT clip = rect && (options & kTextClipped) ? ETO_CLIPPED : 0;
  if (rect && (options & kTextOpaque)) {
    ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE | clip, &rc, L"", 0, nullptr);
  }
  if (state_.bk_mode == BkMode::kOpaque) {
    RECT cell{left, baseline - m.ascent, left + width, baseline + m.descent};
    if (clip) IntersectRect(&cell, &cell, &rc);
    ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &cell, L"", 0, nullptr);
    ::SetBkMode(dc_, TRANSPARENT);
  }
  ::SetTextAlign(dc_, TA_LEFT | TA_BASELINE);
  int pen = left;
  for (size_t r = 0; r < runs_.size(); ++r) {
    const TextRun& run = runs_[r];
    const std::vector<INT>& dx = advances[r];
    UseFont(run.font->handle);
    ::ExtTextOutW(dc_, pen, baseline, clip, clip ? &rc : nullptr,
                  reinterpret_cast<const wchar_t*>(text.data() + run.begin),
                  static_cast<UINT>(run.end - run.begin),
                  dx.size() == run.end - run.begin ? dx.data() : nullptr);
    pen += widths[r];
  }
  // Back to what the canvas state says.
  ::SetTextAlign(dc_, applied_text_align_);
  if (state_.bk_mode == BkMode::kOpaque) ::SetBkMode(dc_, OPAQUE);
}

void GdiCanvas::StretchBitmap(const Rect& dest, const Bitmap& src, const Rect& src_rect,
                              uint32_t rop) {
  if (src.empty()) {
    return;
  }
  SyncState();
  // A DIB header with the bitmap's own colours: 32-bit pixels as they are, masks and indexed
  // bitmaps as 8-bit rows (padded to 4 bytes) with a colour table.
  std::vector<char> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
  bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi->bmiHeader.biWidth = src.width;
  bmi->bmiHeader.biHeight = -src.height;
  bmi->bmiHeader.biPlanes = 1;
  bmi->bmiHeader.biCompression = BI_RGB;
  const void* bits = nullptr;
  std::vector<uint8_t> rows;
  if (src.format == Bitmap::Format::kRgb32) {
    bmi->bmiHeader.biBitCount = 32;
    bits = src.pixels.data();
  } else {
    bmi->bmiHeader.biBitCount = 8;
    int stride = (src.width + 3) & ~3;
    rows.assign(static_cast<size_t>(stride) * src.height, 0);
    for (int y = 0; y < src.height; ++y) {
      std::memcpy(rows.data() + static_cast<size_t>(y) * stride,
                  src.indices.data() + static_cast<size_t>(y) * src.width, src.width);
    }
    bits = rows.data();
    RGBQUAD* table = bmi->bmiColors;
    if (src.format == Bitmap::Format::kMask1) {
      // Any non-zero mask byte is white.
      table[0] = RGBQUAD{0, 0, 0, 0};
      for (int i = 1; i < 256; ++i) {
        table[i] = RGBQUAD{255, 255, 255, 0};
      }
      bmi->bmiHeader.biClrUsed = 256;
    } else {
      for (int i = 0; i < 256; ++i) {
        uint32_t c = i < static_cast<int>(src.palette.size()) ? src.palette[i] : 0;
        table[i] = RGBQUAD{static_cast<BYTE>(c & 0xFF), static_cast<BYTE>((c >> 8) & 0xFF),
                           static_cast<BYTE>((c >> 16) & 0xFF), 0};
      }
      bmi->bmiHeader.biClrUsed = 256;
    }
  }
  // With a top-down DIB, StretchDIBits still counts the source rectangle's y from the bottom
  // row, as for a bottom-up one.
  int source_y = src.height - (src_rect.top + src_rect.height());
  ::StretchDIBits(dc_, dest.left, dest.top, dest.width(), dest.height(), src_rect.left, source_y,
                  src_rect.width(), src_rect.height(), bits, bmi, DIB_RGB_COLORS, rop);
}

bool GdiCanvas::AlphaBlendBitmap(const Rect& dest, const Bitmap& src, const Rect& src_rect,
                                 std::span<const uint8_t> alpha) {
  if (src.empty() || alpha.size() != static_cast<size_t>(src.width) * src.height) return false;
  // AlphaBlend takes neither mirrored rectangles nor source rectangles beyond the bitmap.
  if (dest.width() <= 0 || dest.height() <= 0 || src_rect.width() <= 0 || src_rect.height() <= 0 ||
      src_rect.left < 0 || src_rect.top < 0 || src_rect.right > src.width ||
      src_rect.bottom > src.height) {
    return false;
  }
  if (GetDeviceCaps().monochrome()) return false;
  SyncState();
  // The picture as a top-down 32-bit DIB section with each colour premultiplied by its alpha,
  // the form AlphaBlend blends per pixel.
  HDC memory = CreateCompatibleDC(dc_);
  if (!memory) return false;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = src.width;
  bmi.bmiHeader.biHeight = -src.height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) {
    DeleteDC(memory);
    return false;
  }
  auto* out = static_cast<uint32_t*>(bits);
  for (int y = 0; y < src.height; ++y) {
    for (int x = 0; x < src.width; ++x) {
      const size_t i = static_cast<size_t>(y) * src.width + x;
      const uint32_t c = src.ColorAt(x, y), a = alpha[i];
      uint32_t p = a << 24;
      for (int shift = 0; shift < 24; shift += 8)
        p |= (((c >> shift) & 0xFF) * a + 127) / 255 << shift;
      out[i] = p;
    }
  }
  HGDIOBJ old = SelectObject(memory, dib);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const BOOL drawn =
      ::AlphaBlend(dc_, dest.left, dest.top, dest.width(), dest.height(), memory, src_rect.left,
                   src_rect.top, src_rect.width(), src_rect.height(), blend);
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  return drawn != FALSE;
}

std::unique_ptr<Canvas> GdiCanvas::CreateCompatible(int width, int height) {
  return CreateDib(width, height, dc_);
}

void GdiCanvas::CopyFrom(const Rect& dest, Canvas& source, Point source_origin, uint32_t rop) {
  auto* gdi = dynamic_cast<GdiCanvas*>(&source);
  if (!gdi) {
    return;
  }
  SyncState();
  gdi->Sync();
  ::BitBlt(dc_, dest.left, dest.top, dest.width(), dest.height(), gdi->dc_, source_origin.x,
           source_origin.y, rop);
}

Bitmap GdiCanvas::ReadPixels(const Rect& r) {
  Bitmap b = Bitmap::Rgb32(std::max(r.width(), 0), std::max(r.height(), 0), 0);
  if (b.empty()) {
    return b;
  }
  GdiFlush();
  if (bits_) {
    for (int y = 0; y < b.height; ++y) {
      for (int x = 0; x < b.width; ++x) {
        int sx = r.left + x, sy = r.top + y;
        if (sx >= 0 && sy >= 0 && sx < dib_width_ && sy < dib_height_) {
          b.pixels[static_cast<size_t>(y) * b.width + x] =
              bits_[static_cast<size_t>(sy) * dib_width_ + sx] & 0xFFFFFF;
        }
      }
    }
    return b;
  }
  auto copy = CreateDib(b.width, b.height, dc_);
  if (!copy) {
    return b;
  }
  int saved = SaveDC(dc_);
  SetMapMode(dc_, MM_TEXT);
  SetWindowOrgEx(dc_, 0, 0, nullptr);
  SetViewportOrgEx(dc_, 0, 0, nullptr);
  ::BitBlt(copy->dc_, 0, 0, b.width, b.height, dc_, r.left, r.top, SRCCOPY);
  RestoreDC(dc_, saved);
  return copy->ReadPixels(Rect{0, 0, b.width, b.height});
}

void GdiCanvas::SelectPalette(const std::vector<uint32_t>* palette) {
  if (!palette || palette->empty()) {
    if (old_palette_) {
      ::SelectPalette(dc_, static_cast<HPALETTE>(old_palette_), TRUE);
    }
    old_palette_ = nullptr;
    if (palette_) {
      DeleteObject(palette_);
    }
    palette_ = nullptr;
    return;
  }
  size_t n = std::min<size_t>(palette->size(), 256);
  std::vector<char> data(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(data.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(n);
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = (*palette)[i];
    lp->palPalEntry[i] =
        PALETTEENTRY{static_cast<BYTE>((c >> 16) & 0xFF), static_cast<BYTE>((c >> 8) & 0xFF),
                     static_cast<BYTE>(c & 0xFF), 0};
  }
  HPALETTE pal = CreatePalette(lp);
  HPALETTE old = ::SelectPalette(dc_, pal, TRUE);
  if (!old_palette_) {
    old_palette_ = old;
  }
  if (palette_) {
    DeleteObject(palette_);
  }
  palette_ = pal;
  RealizePalette(dc_);
}

}  // namespace brisomel
