// The steps the reader's zoom keys walk through, in percent of the page's own size.
#pragma once

#include <array>

#include "settings/reading_state.h"

namespace brisomel {

inline constexpr std::array<int, 12> kZoomSteps{50,  67,  75,  90,  100, 110,
                                                125, 150, 175, 200, 250, 300};
static_assert(kZoomSteps.front() == kMinZoom && kZoomSteps.back() == kMaxZoom);

// The first step above `percent` (direction > 0) or below it (direction < 0), so that a zoom
// between steps (one read from the state file) goes to its neighbour; it stays at the ends.
int NextZoom(int percent, int direction);

}  // namespace brisomel
