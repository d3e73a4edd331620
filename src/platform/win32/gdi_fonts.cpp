// The process's GDI fonts with their display metrics, character advances and fallbacks.
#include <windows.h>
#undef GetTextMetrics

#include <algorithm>
#include <vector>

#include "platform/win32/gdi_fonts.h"
#include "text/utf.h"

namespace brisomel {
namespace {

// Past this many looked-up characters a font's map of them starts afresh.
constexpr size_t kMaxDrawnBy = 8192;

// Fallback faces, by script. Windows' own faces come first; then faces Wine finds on the host
// through fontconfig.
constexpr const wchar_t* kHangulFaces[] = {L"Gulim", L"Malgun Gothic", L"Batang", L"Dotum"};
constexpr const wchar_t* kKanaFaces[] = {L"MS Gothic", L"MS PGothic", L"Meiryo", L"Yu Gothic",
                                         L"MS Mincho"};
constexpr const wchar_t* kCjkFaces[] = {L"SimSun",
                                        L"Microsoft YaHei",
                                        L"MingLiU",
                                        L"PMingLiU",
                                        L"MS Gothic",
                                        L"MS Mincho",
                                        L"Gulim",
                                        L"Arial Unicode MS",
                                        L"Noto Sans CJK SC",
                                        L"Noto Sans CJK JP",
                                        L"Noto Serif CJK SC",
                                        L"WenQuanYi Zen Hei",
                                        L"WenQuanYi Micro Hei",
                                        L"Droid Sans Fallback"};
constexpr const wchar_t* kGeneralFaces[] = {
    L"Arial Unicode MS", L"Segoe UI",    L"Tahoma",    L"Microsoft Sans Serif",
    L"Segoe UI Symbol",  L"Nirmala UI",  L"Ebrima",    L"Leelawadee",
    L"Mangal",           L"DejaVu Sans", L"Noto Sans", L"FreeSans",
    L"FreeSerif"};

bool IsHangul(char32_t c) {
  return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F) ||
         (c >= 0xA960 && c <= 0xA97F) || (c >= 0xAC00 && c <= 0xD7FF);
}
bool IsKana(char32_t c) {
  return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) ||
         (c >= 0xFF65 && c <= 0xFF9F);
}
bool IsCjk(char32_t c) {
  return (c >= 0x2E80 && c <= 0x2FFF) || (c >= 0x3000 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFFEF);
}

// The faces to try for a character, most fitting first.
std::vector<const wchar_t*> CandidatesFor(char32_t c) {
  std::vector<const wchar_t*> faces;
  auto add = [&](const auto& list) {
    for (const wchar_t* f : list) {
      if (std::find(faces.begin(), faces.end(), f) == faces.end()) faces.push_back(f);
    }
  };
  if (IsHangul(c)) add(kHangulFaces);
  if (IsKana(c)) add(kKanaFaces);
  if (IsCjk(c) || IsHangul(c) || IsKana(c)) {
    add(kCjkFaces);
    add(kGeneralFaces);
  } else {
    add(kGeneralFaces);
    add(kCjkFaces);
  }
  return faces;
}

// Whether the font has a glyph for a character of the Basic Multilingual Plane. A font GDI
// cannot answer for (a raster font) counts as having it.
bool HasGlyph(HDC dc, HFONT font, char32_t ch) {
  HGDIOBJ old = SelectObject(dc, font);
  const WCHAR c = static_cast<WCHAR>(ch);
  WORD index = 0xFFFF;
  const DWORD r = GetGlyphIndicesW(dc, &c, 1, &index, GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, old);
  return r == GDI_ERROR || index != 0xFFFF;
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
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
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = (f.style & kFontBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (f.style & kFontItalic) != 0;
  lf.lfUnderline = (f.style & kFontUnderline) != 0;
  lf.lfStrikeOut = (f.style & kFontStrikeOut) != 0;
  lf.lfCharSet = f.charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::u16string name = Utf8ToUtf16(f.name);
  const size_t n = std::min<size_t>(name.size(), LF_FACESIZE - 1);
  std::copy_n(name.begin(), n, lf.lfFaceName);
  return CreateFontIndirectW(&lf);
}

GdiFont* GdiFontCache::Find(const FontSpec& wanted, int height) {
  Key key{wanted.name, height, wanted.style, wanted.charset};
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();
  if (fonts_.size() >= kMaxFonts) return nullptr;
  auto font = std::make_unique<GdiFont>();
  font->handle = Create(wanted, height);
  if (!font->handle) return nullptr;
  font->wanted = wanted;
  font->height = height;
  font->advances.fill(-1);
  return fonts_.emplace(std::move(key), std::move(font)).first->second.get();
}

TextMetrics ReadTextMetrics(HDC dc) {
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
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

bool GdiFontCache::FaceExists(HDC dc, const wchar_t* name) {
  auto it = face_exists_.find(name);
  if (it != face_exists_.end()) return it->second;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, name, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(dc, &lf, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  face_exists_.emplace(name, found);
  return found;
}

GdiFont& GdiFontCache::DrawnBy(GdiFont& font, char32_t ch, HDC dc) {
  if (ch < 0x100 || ch > 0xFFFF) return font;
  auto known = font.drawn_by.find(ch);
  if (known != font.drawn_by.end()) return *known->second;
  GdiFont* result = &font;
  if (!HasGlyph(dc, font.handle, ch)) {
    auto block = font.block_fallback.find(ch >> 8);
    if (block != font.block_fallback.end() && block->second &&
        HasGlyph(dc, block->second->handle, ch)) {
      result = block->second;
    } else {
      for (const wchar_t* face : CandidatesFor(ch)) {
        if (!FaceExists(dc, face)) continue;
        FontSpec wanted = font.wanted;
        wanted.name = Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(face)));
        wanted.charset = DEFAULT_CHARSET;
        GdiFont* candidate = Find(wanted, font.height);
        if (candidate && candidate != &font && HasGlyph(dc, candidate->handle, ch)) {
          result = candidate;
          break;
        }
      }
      if (block == font.block_fallback.end()) {
        font.block_fallback.emplace(ch >> 8, result == &font ? nullptr : result);
      }
    }
  }
  if (font.drawn_by.size() >= kMaxDrawnBy) font.drawn_by.clear();
  font.drawn_by.emplace(ch, result);
  return *result;
}

}  // namespace brisomel
