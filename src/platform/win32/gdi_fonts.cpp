// The process's GDI fonts with their display metrics and character advances.
#include <windows.h>
#undef GetTextMetrics

#include "platform/win32/gdi_fonts.h"

namespace brisomel {
namespace {

// Character sets whose text has double-byte characters: there a byte is not a character, and
// advances per byte do not add up to an extent.
bool DoubleByteCharset(int charset) {
  return charset == SHIFTJIS_CHARSET || charset == HANGUL_CHARSET || charset == JOHAB_CHARSET ||
         charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET;
}

bool SingleByteCodePage() {
  static const bool single = [] {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
  }();
  return single;
}

}  // namespace

GdiFontCache& GdiFontCache::Instance() {
  static GdiFontCache cache;
  return cache;
}

GdiFontCache::~GdiFontCache() {
  for (auto& [key, font] : fonts_) DeleteObject(font->handle);
}

HFONT GdiFontCache::Create(const FontSpec& f, int height) {
  return CreateFontA(height, 0, 0, 0, (f.style & kFontBold) ? FW_BOLD : FW_NORMAL,
                     (f.style & kFontItalic) != 0, (f.style & kFontUnderline) != 0,
                     (f.style & kFontStrikeOut) != 0, f.charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     f.name.substr(0, LF_FACESIZE - 1).c_str());
}

GdiFont* GdiFontCache::Find(const FontSpec& spec, int height) {
  Key key{spec.name, height, spec.style, spec.charset};
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();
  if (fonts_.size() >= kMaxFonts) return nullptr;
  auto font = std::make_unique<GdiFont>();
  font->handle = Create(spec, height);
  if (!font->handle) return nullptr;
  font->advances.fill(-1);
  font->summable = !DoubleByteCharset(spec.charset) && SingleByteCodePage();
  return fonts_.emplace(std::move(key), std::move(font)).first->second.get();
}

TextMetrics ReadTextMetrics(HDC dc) {
  TEXTMETRICA tm{};
  ::GetTextMetricsA(dc, &tm);
  TextMetrics m;
  m.height = tm.tmHeight;
  m.ascent = tm.tmAscent;
  m.descent = tm.tmDescent;
  m.internal_leading = tm.tmInternalLeading;
  m.external_leading = tm.tmExternalLeading;
  m.ave_char_width = tm.tmAveCharWidth;
  m.max_char_width = tm.tmMaxCharWidth;
  m.overhang = tm.tmOverhang;
  return m;
}

void GdiFontCache::SetMetrics(GdiFont& font, const TextMetrics& metrics) {
  font.metrics = metrics;
  font.metrics_known = true;
  // A synthesised bold or italic raster font adds its overhang once per text, not per
  // character.
  if (metrics.overhang != 0) font.summable = false;
}

}  // namespace brisomel
