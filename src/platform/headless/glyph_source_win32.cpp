// The Windows build of the headless adapters has no FreeType: only the test font.
#include "platform/headless/glyph_source.h"

namespace brisomel {

std::unique_ptr<GlyphSource> MakeFreeTypeGlyphSource() { return nullptr; }

}  // namespace brisomel
