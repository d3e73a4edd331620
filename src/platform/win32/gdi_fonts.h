// Fonts for the GDI canvases, made once per description and kept for the life of the process.
// A page asks for the same few fonts thousands of times, from the measuring canvas and from
// every paint's canvas; made per canvas (and per paint) they would be created and deleted again
// and again. With each font go what measuring on display devices needs: its text metrics and
// the advance of each single-byte character, each read from GDI once, so that a text's extent
// is a sum of cached advances instead of a call into GDI.
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

#include "platform/canvas.h"

struct HFONT__;
struct HDC__;

namespace brisomel {

struct GdiFont {
  HFONT__* handle = nullptr;
  // What a display device reports for the font (identity mapping), once asked.
  bool metrics_known = false;
  TextMetrics metrics;
  // Whether a text's extent is the sum of its characters' advances: TrueType and other fonts
  // without an overhang, in a single-byte code page (see GdiFontCache::Summable).
  bool summable = false;
  std::array<int32_t, 256> advances;  // -1 until measured
};

class GdiFontCache {
 public:
  // The process's cache.
  static GdiFontCache& Instance();
  ~GdiFontCache();

  // The font of `spec` at logical height `height`, made on first use; null when the cache is
  // full (the caller then makes and deletes a font of its own).
  GdiFont* Find(const FontSpec& spec, int height);

  // Makes a font as GDI's CreateFont does from a description.
  static HFONT__* Create(const FontSpec& spec, int height);

  // Records the font's metrics on a display device (identity mapping).
  static void SetMetrics(GdiFont& font, const TextMetrics& metrics);

  // Distinct descriptions kept; past this a canvas makes its own fonts (a book uses a few dozen).
  static constexpr size_t kMaxFonts = 512;

 private:
  using Key = std::tuple<std::string, int, int, int>;
  std::map<Key, std::unique_ptr<GdiFont>> fonts_;
};

// Reads a TEXTMETRIC of the font selected into `dc`.
TextMetrics ReadTextMetrics(HDC__* dc);

}  // namespace brisomel
