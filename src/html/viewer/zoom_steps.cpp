#include "html/viewer/zoom_steps.h"

#include <algorithm>

namespace brisomel {

int NextZoom(int percent, int direction) {
  percent = std::clamp(percent, kMinZoom, kMaxZoom);
  if (direction > 0) {
    auto above = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return above == kZoomSteps.end() ? kMaxZoom : *above;
  }
  if (direction < 0) {
    auto below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return below == kZoomSteps.begin() ? kMinZoom : *std::prev(below);
  }
  return percent;
}

}  // namespace brisomel
