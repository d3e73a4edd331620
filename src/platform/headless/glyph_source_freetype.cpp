// Glyphs from FreeType, faces found by fontconfig. Metrics follow what GDI reports for a
// TrueType face: ascent and descent from the OS/2 table's Windows values, internal leading
// = cell height - em height, external leading from the horizontal header's line gap, advances
// hinted at the pixel size; no overhang. Characters are Unicode code points, read through the
// face's Unicode charmap.
//
// Fallback: a character the face has no glyph for is taken from another installed face, the
// first that fontconfig's sort for the same family, weight and slant lists with the character
// in its charset. The face found serves the character's whole block of 256 code points while
// it has the character; a character it lacks is looked up on its own. Fallback faces are
// opened at the same em height and draw on the same baseline.
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
#include <unordered_map>
#include <vector>

#include "platform/headless/glyph_source.h"

namespace brisomel {
namespace {

// Characters below this have their advances and images kept in arrays.
constexpr char32_t kArrayChars = 256;
// Past this many kept entries a map of characters beyond the arrays starts afresh.
constexpr size_t kMaxKept = 4096;

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

// What a face asks of fontconfig when it looks for a fallback.
struct FaceRequest {
  std::string family;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
};

// The pattern fontconfig matches and sorts with for a request, substitutions applied; null
// when fontconfig cannot make one.
FcPattern* PatternFor(Library& lib, const FaceRequest& request, FcCharSet* charset) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, request.weight);
  FcPatternAddInteger(pattern, FC_SLANT, request.slant);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  if (charset) FcPatternAddCharSet(pattern, FC_CHARSET, charset);
  FcConfigSubstitute(lib.config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

class FreeTypeFace : public FontFace {
 public:
  // `request` is what fallbacks are looked for with; null for a face that is itself a
  // fallback (it has none of its own).
  FreeTypeFace(std::shared_ptr<Library> lib, FT_Face face, int device_height,
               const FaceRequest* request)
      : lib_(std::move(lib)), face_(face) {
    if (request) request_ = *request;
    advances_.fill(-1);
    FT_Select_Charmap(face_, FT_ENCODING_UNICODE);
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
    em_ = em;
    keep_images_ = em <= 200;
    sized_ = FT_Set_Pixel_Sizes(face_, 0, em) == 0;
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
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;

  bool usable() const { return sized_; }
  bool Has(char32_t ch) const { return FT_Get_Char_Index(face_, ch) != 0; }

  TextMetrics Metrics() override { return metrics_; }
  int Advance(char32_t ch) override {
    if (ch < kArrayChars) {
      if (advances_[ch] < 0) advances_[ch] = MeasureAdvance(ch);
      return advances_[ch];
    }
    auto it = far_advances_.find(ch);
    if (it != far_advances_.end()) return it->second;
    if (far_advances_.size() >= kMaxKept) far_advances_.clear();
    return far_advances_[ch] = MeasureAdvance(ch);
  }
  const GlyphImage& Glyph(char32_t ch) override { return FaceFor(ch).OwnGlyph(ch); }
  int UnderlineOffset() override { return underline_; }
  int StrikeOutOffset() override { return strike_; }
  int LineThickness() override { return thickness_; }

 private:
  // The face that draws `ch`: this one when it has the glyph (or no face has it).
  FreeTypeFace& FaceFor(char32_t ch) {
    if (!request_ || ch < 0x20 || Has(ch)) return *this;
    const char32_t block = ch >> 8;
    auto in_block = fallback_by_block_.find(block);
    if (in_block != fallback_by_block_.end() && in_block->second && in_block->second->Has(ch)) {
      return *in_block->second;
    }
    auto single = fallback_by_char_.find(ch);
    if (single != fallback_by_char_.end()) return single->second ? *single->second : *this;
    FreeTypeFace* found = FindFallback(ch);
    if (in_block == fallback_by_block_.end()) {
      fallback_by_block_.emplace(block, found);
    } else {
      if (fallback_by_char_.size() >= kMaxKept) fallback_by_char_.clear();
      fallback_by_char_.emplace(ch, found);
    }
    return found ? *found : *this;
  }

  // The first face of fontconfig's sort for this face's request that has `ch`, opened at
  // this face's em height; null when none has it.
  FreeTypeFace* FindFallback(char32_t ch) {
    FcCharSet* wanted = FcCharSetCreate();
    if (!wanted) return nullptr;
    FcCharSetAddChar(wanted, ch);
    FcPattern* pattern = PatternFor(*lib_, *request_, wanted);
    FcCharSetDestroy(wanted);
    if (!pattern) return nullptr;
    FcResult result;
    FcFontSet* sorted = FcFontSort(lib_->config, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
    FreeTypeFace* found = nullptr;
    for (int i = 0; sorted && i < sorted->nfont && !found; ++i) {
      FcPattern* font = sorted->fonts[i];
      FcCharSet* charset = nullptr;
      FcChar8* file = nullptr;
      int index = 0;
      FcBool color = FcFalse;
      if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch ||
          !FcCharSetHasChar(charset, ch) ||
          FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) {
        continue;
      }
      FcPatternGetInteger(font, FC_INDEX, 0, &index);
      FcPatternGetBool(font, FC_COLOR, 0, &color);
      if (color) continue;  // colour bitmap faces have no coverage images at any size
      found = OpenFallback(reinterpret_cast<const char*>(file), index);
      if (found && !found->Has(ch)) found = nullptr;
    }
    if (sorted) FcFontSetDestroy(sorted);
    return found;
  }

  FreeTypeFace* OpenFallback(const std::string& path, int index) {
    for (auto& f : fallbacks_) {
      if (f.path == path && f.index == index) return f.face.get();
    }
    FT_Face face;
    if (FT_New_Face(lib_->ft, path.c_str(), index, &face) != 0) return nullptr;
    auto opened = std::make_unique<FreeTypeFace>(lib_, face, -em_, nullptr);
    if (!opened->usable()) return nullptr;
    fallbacks_.push_back(Fallback{path, index, std::move(opened)});
    return fallbacks_.back().face.get();
  }

  int MeasureAdvance(char32_t ch) {
    FreeTypeFace& face = FaceFor(ch);
    if (&face != this) return face.Advance(ch);
    if (ch < 0x20 || FT_Load_Glyph(face_, FT_Get_Char_Index(face_, ch), FT_LOAD_DEFAULT) != 0) {
      return 0;
    }
    return static_cast<int>((face_->glyph->advance.x + 32) >> 6);
  }

  // The image of `ch` from this face itself.
  const GlyphImage& OwnGlyph(char32_t ch) {
    if (keep_images_ && ch < kArrayChars) {
      auto& slot = images_[ch];
      if (!slot) slot = Render(ch);
      return *slot;
    }
    if (keep_images_) {
      auto it = far_images_.find(ch);
      if (it != far_images_.end()) return it->second;
      if (far_images_.size() >= kMaxKept) far_images_.clear();
      return far_images_.emplace(ch, Render(ch)).first->second;
    }
    // Large glyphs: only the last image is kept.
    if (last_char_ != ch) {
      last_ = Render(ch);
      last_char_ = ch;
    }
    return last_;
  }

  GlyphImage Render(char32_t ch) {
    GlyphImage im;
    if (ch < 0x20) {
      return im;
    }
    FT_UInt index = FT_Get_Char_Index(face_, ch);
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

  struct Fallback {
    std::string path;
    int index;
    std::unique_ptr<FreeTypeFace> face;
  };

  std::shared_ptr<Library> lib_;
  FT_Face face_;
  std::optional<FaceRequest> request_;
  int em_ = 16;
  bool sized_ = false;
  TextMetrics metrics_;
  int underline_ = 1, strike_ = -1, thickness_ = 1;
  std::array<int, kArrayChars> advances_;
  std::unordered_map<char32_t, int> far_advances_;
  std::array<std::optional<GlyphImage>, kArrayChars> images_;
  std::unordered_map<char32_t, GlyphImage> far_images_;
  bool keep_images_ = true;
  GlyphImage last_;
  char32_t last_char_ = 0xFFFFFFFF;
  std::vector<Fallback> fallbacks_;
  std::unordered_map<char32_t, FreeTypeFace*> fallback_by_block_;  // null: no face has the first
  std::unordered_map<char32_t, FreeTypeFace*> fallback_by_char_;   // null: no face has it
};

class FreeTypeGlyphSource : public GlyphSource {
 public:
  explicit FreeTypeGlyphSource(std::shared_ptr<Library> lib) : lib_(std::move(lib)) {}

  std::unique_ptr<FontFace> OpenFace(const FontSpec& request, int device_height) override {
    FaceRequest wanted;
    wanted.family = FamilyFor(request.name);
    wanted.weight = (request.style & kFontBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
    wanted.slant = (request.style & kFontItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN;
    FcPattern* pattern = PatternFor(*lib_, wanted, nullptr);
    if (!pattern) {
      return nullptr;
    }
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
    return std::make_unique<FreeTypeFace>(lib_, face, device_height, &wanted);
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
