#include "html/viewer/scroll_bar_32.h"

namespace brisomel {

T32ScrollBar::T32ScrollBar(std::unique_ptr<TScrollBarPort> port) : port_(std::move(port)) {}

void T32ScrollBar::SetParams(int32_t APosition, int32_t APage, int32_t AMin, int32_t AMax) {
  if (sent_ && APosition == Position_ && APage == Page_ && AMin == Min_ && AMax == Max_) return;
  Position_ = APosition;
  Page_ = APage;
  Min_ = AMin;
  Max_ = AMax;
  sent_ = true;
  port_->SetScrollInfo(Min_, Max_, Page_, Position_);
}

}  // namespace brisomel
