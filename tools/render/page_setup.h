// What the page modes share: the glyphs they draw with and a page loaded into a viewer.
#pragma once

#include <memory>
#include <string>

#include "html/viewer/page_viewer.h"
#include "platform/headless/glyph_source.h"

namespace brisomel::render {

// The test font's glyphs, or FreeType's; null, with the reason printed, when FreeType's fonts
// are unavailable.
std::shared_ptr<GlyphSource> PageGlyphs(bool test_font);

// Loads `page` into the viewer (as plain text when `as_text`). A parse error keeps what was read
// and is printed; false when nothing was loaded to show.
bool LoadViewerPage(TPageViewer& viewer, const std::string& page, bool as_text);

}  // namespace brisomel::render
