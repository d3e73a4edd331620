#include "page_setup.h"

#include <cstdio>
#include <exception>

namespace brisomel::render {

std::shared_ptr<GlyphSource> PageGlyphs(bool test_font) {
  if (test_font) return std::make_shared<TestGlyphSource>();
  std::shared_ptr<GlyphSource> glyphs = MakeFreeTypeGlyphSource();
  if (!glyphs)
    std::fprintf(stderr, "brisomel-render: FreeType fonts unavailable; use --test-font\n");
  return glyphs;
}

bool LoadViewerPage(TPageViewer& viewer, const std::string& page, bool as_text) {
  try {
    if (as_text)
      viewer.LoadTextFile(page);
    else
      viewer.LoadFromFile(page);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brisomel-render: %s\n", e.what());
    if (viewer.CurrentFileName().empty()) return false;
  }
  return true;
}

}  // namespace brisomel::render
