// Fonts for the GDI canvases, made once per description and kept for the life of the process.
// A page asks for the same few fonts thousands of times, from the measuring canvas and from
// every paint's canvas; made per canvas (and per paint) they would be created and deleted again
// and again. With each font go what measuring on display devices needs: its text metrics and
// the advance of each character, each read from GDI once, so that a text's extent is a sum of
// cached advances instead of a call into GDI.
//
// Fallback: a character of the Basic Multilingual Plane from U+0100 on that a font has no
// glyph for (GetGlyphIndicesW marks it missing) is drawn and measured with a fallback font: a
// face chosen for the character's script that exists and has the glyph, at the same height and
// style. The fallback found serves the character's whole block of 256 code points while it has
// the character. Characters below U+0100 always stay with the font (symbol faces draw them
// from their own code points), and so do characters beyond the plane, which GDI cannot look up
// glyph by glyph.
//
// Everything here runs on the GUI thread (GDI canvases are made and used there), so the cache
// takes no lock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>

#include "platform/canvas.h"

struct HFONT__;
struct HDC__;

namespace brisomel {

struct GdiFont {
  HFONT__* handle = nullptr;
  FontSpec wanted;
  int height = 0;
  // What a display device reports for the font (identity mapping), once asked.
  bool metrics_known = false;
  TextMetrics metrics;
  // Whether a text's extent is the sum of its characters' advances: fonts without an overhang
  // (see GdiFontCache::SetMetrics).
  bool summable = true;
  std::array<int32_t, 256> advances;                   // -1 until measured
  std::unordered_map<char32_t, int32_t> far_advances;  // characters from U+0100 on
  // The font that draws each character looked up so far (this one or a fallback), and the
  // fallback found first in each block (null: none).
  std::unordered_map<char32_t, GdiFont*> drawn_by;
  std::unordered_map<char32_t, GdiFont*> block_fallback;
};

class GdiFontCache {
 public:
  // The process's cache.
  static GdiFontCache& Instance();
  ~GdiFontCache();

  // The font of `wanted` at logical height `height`, made on first use; null when the cache is
  // full (the caller then makes and deletes a font of its own).
  GdiFont* Find(const FontSpec& wanted, int height);

  // Makes a font as GDI's CreateFontIndirectW does from a description.
  static HFONT__* Create(const FontSpec& wanted, int height);

  // Records the font's metrics on a display device (identity mapping).
  static void SetMetrics(GdiFont& font, const TextMetrics& metrics);

  // The font that draws code point `ch` for `font`: `font` itself or a fallback (see above).
  // Glyphs are looked up on `dc`, whose selected font is left as it was.
  GdiFont& DrawnBy(GdiFont& font, char32_t ch, HDC__* dc);

  // Distinct descriptions kept; past this a canvas makes its own fonts (a book uses a few dozen).
  static constexpr size_t kMaxFonts = 512;

 private:
  bool FaceExists(HDC__* dc, const wchar_t* name);

  using Key = std::tuple<std::string, int, int, int>;
  std::map<Key, std::unique_ptr<GdiFont>> fonts_;
  std::map<std::wstring, bool> face_exists_;
};

// Reads a TEXTMETRIC of the font selected into `dc`.
TextMetrics ReadTextMetrics(HDC__* dc);

}  // namespace brisomel
