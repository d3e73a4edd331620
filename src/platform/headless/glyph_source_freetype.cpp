// Glyphs from FreeType, faces found by fontconfig. Metrics follow what GDI reports for a
// TrueType face: ascent and descent from the OS/2 table's Windows values, internal leading
// = cell height - em height, external leading from the horizontal header's line gap, advances
// hinted at the pixel size; no overhang. Characters are Windows-1252.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>

#include "platform/headless/glyph_source.h"

namespace brisomel {
namespace {

// Windows-1252 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t ToUnicode(uint8_t ch) {
  if (ch >= 0x80 && ch < 0xA0) {
    return kCp1252High[ch - 0x80];
  }
  return ch;
}

std::string Lower(std::string s) {
  for (auto& c : s) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return s;
}

// The metric-compatible face for the Windows face names the documents use.
std::string FamilyFor(const std::string& name) {
  std::string n = Lower(name);
  if (n == "times new roman" || n == "times" || n.empty()) {
    return "Liberation Serif";
  }
  if (n == "arial" || n == "helvetica" || n == "ms sans serif") {
    return "Liberation Sans";
  }
  if (n == "courier new" || n == "courier") {
    return "Liberation Mono";
  }
  return name;
}

// FreeType and a private fontconfig configuration, released with the last face.
struct Library {
  FT_Library ft = nullptr;
  FcConfig* config = nullptr;
  ~Library() {
    if (ft) {
      FT_Done_FreeType(ft);
    }
    if (config) {
      FcConfigDestroy(config);
    }
  }
};

class FreeTypeFace : public FontFace {
 public:
  FreeTypeFace(std::shared_ptr<Library> lib, FT_Face face, int device_height)
      : lib_(std::move(lib)), face_(face) {
    advances_.fill(-1);
    int upem = face_->units_per_EM ? face_->units_per_EM : 2048;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    int win_ascent = os2 ? os2->usWinAscent : face_->ascender;
    int win_descent = os2 ? os2->usWinDescent : -face_->descender;
    if (win_ascent + win_descent <= 0) {
      win_ascent = upem;
      win_descent = 0;
    }
    int em;
    if (device_height < 0) {
      em = -device_height;
    } else if (device_height > 0) {
      em = std::max(1, static_cast<int>(std::lround(static_cast<double>(device_height) * upem /
                                                    (win_ascent + win_descent))));
    } else {
      em = 16;
    }
    em = std::min(em, 1024);  // glyph images stay a bounded size
    keep_images_ = em <= 200;
    FT_Set_Pixel_Sizes(face_, 0, em);
    double scale = static_cast<double>(em) / upem;
    metrics_.ascent = static_cast<int>(std::lround(win_ascent * scale));
    metrics_.descent = static_cast<int>(std::lround(win_descent * scale));
    metrics_.height = metrics_.ascent + metrics_.descent;
    metrics_.internal_leading = std::max(0, metrics_.height - em);
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
    if (hhea) {
      int gap = hhea->Line_Gap + hhea->Ascender - hhea->Descender - (win_ascent + win_descent);
      metrics_.external_leading = std::max(0, static_cast<int>(std::lround(gap * scale)));
    }
    metrics_.ave_char_width =
        os2 ? static_cast<int>(std::lround(os2->xAvgCharWidth * scale)) : em / 2;
    metrics_.max_char_width = static_cast<int>(std::lround(face_->max_advance_width * scale));
    thickness_ = std::max(1, static_cast<int>(std::lround(face_->underline_thickness * scale)));
    underline_ = std::max(
        1, static_cast<int>(std::lround(-face_->underline_position * scale)) - thickness_ / 2);
    int strike = os2 ? os2->yStrikeoutPosition : upem / 4;
    strike_ = -static_cast<int>(std::lround(strike * scale));
  }
  ~FreeTypeFace() override { FT_Done_Face(face_); }

  TextMetrics Metrics() override { return metrics_; }
  int Advance(uint8_t ch) override {
    if (advances_[ch] < 0) {
      advances_[ch] = 0;
      uint32_t code = ToUnicode(ch);
      if (code >= 0x20 &&
          FT_Load_Glyph(face_, FT_Get_Char_Index(face_, code), FT_LOAD_DEFAULT) == 0) {
        advances_[ch] = static_cast<int>((face_->glyph->advance.x + 32) >> 6);
      }
    }
    return advances_[ch];
  }
  const GlyphImage& Glyph(uint8_t ch) override {
    if (keep_images_) {
      auto& slot = images_[ch];
      if (!slot) {
        slot = Render(ch);
      }
      return *slot;
    }
    // Large glyphs: only the last image is kept.
    if (last_char_ != ch) {
      last_ = Render(ch);
      last_char_ = ch;
    }
    return last_;
  }
  int UnderlineOffset() override { return underline_; }
  int StrikeOutOffset() override { return strike_; }
  int LineThickness() override { return thickness_; }

 private:
  GlyphImage Render(uint8_t ch) {
    GlyphImage im;
    uint32_t code = ToUnicode(ch);
    if (code < 0x20) {
      return im;
    }
    FT_UInt index = FT_Get_Char_Index(face_, code);
    if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_RENDER) != 0) {
      return im;
    }
    FT_GlyphSlot g = face_->glyph;
    const FT_Bitmap& bm = g->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) {
      return im;
    }
    im.left = g->bitmap_left;
    im.top = g->bitmap_top;
    im.width = static_cast<int>(bm.width);
    im.height = static_cast<int>(bm.rows);
    im.coverage.resize(static_cast<size_t>(im.width) * im.height);
    for (int y = 0; y < im.height; ++y) {
      const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
      std::copy(src, src + im.width, im.coverage.begin() + static_cast<ptrdiff_t>(y) * im.width);
    }
    return im;
  }

  std::shared_ptr<Library> lib_;
  FT_Face face_;
  TextMetrics metrics_;
  int underline_ = 1, strike_ = -1, thickness_ = 1;
  std::array<int, 256> advances_;
  std::array<std::optional<GlyphImage>, 256> images_;
  bool keep_images_ = true;
  GlyphImage last_;
  int last_char_ = -1;
};

class FreeTypeGlyphSource : public GlyphSource {
 public:
  explicit FreeTypeGlyphSource(std::shared_ptr<Library> lib) : lib_(std::move(lib)) {}

  std::unique_ptr<FontFace> OpenFace(const FontSpec& request, int device_height) override {
    std::string family = FamilyFor(request.name);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        (request.style & kFontBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT,
                        (request.style & kFontItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(lib_->config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(lib_->config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
      return nullptr;
    }
    FcChar8* file = nullptr;
    int index = 0;
    std::string path;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      path = reinterpret_cast<const char*>(file);
    }
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternDestroy(match);
    if (path.empty()) {
      return nullptr;
    }
    FT_Face face;
    if (FT_New_Face(lib_->ft, path.c_str(), index, &face) != 0) {
      return nullptr;
    }
    return std::make_unique<FreeTypeFace>(lib_, face, device_height);
  }

 private:
  std::shared_ptr<Library> lib_;
};

}  // namespace

std::unique_ptr<GlyphSource> MakeFreeTypeGlyphSource() {
  auto lib = std::make_shared<Library>();
  lib->config = FcInitLoadConfigAndFonts();
  if (!lib->config) {
    return nullptr;
  }
  if (FT_Init_FreeType(&lib->ft) != 0) {
    lib->ft = nullptr;
    return nullptr;
  }
  return std::make_unique<FreeTypeGlyphSource>(std::move(lib));
}

}  // namespace brisomel
