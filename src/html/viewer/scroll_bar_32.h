// T32ScrollBar: a scroll bar that keeps its own position, page, minimum and maximum as 32-bit
// values and hands all four to the platform in one scroll-information call, so documents
// taller than 32767 pixels scroll over their whole height.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/window.h"

namespace brisomel {

class T32ScrollBar {
 public:
  explicit T32ScrollBar(std::unique_ptr<TScrollBarPort> port);

  // Sends the four values to the platform; nothing when all four are unchanged.
  void SetParams(int32_t APosition, int32_t APage, int32_t AMin, int32_t AMax);
  void SetPosition(int32_t Value) { SetParams(Value, Page_, Min_, Max_); }
  void SetMax(int32_t Value) { SetParams(Position_, Page_, Min_, Value); }

  int32_t Position() const { return Position_; }
  int32_t Page() const { return Page_; }
  int32_t Min() const { return Min_; }
  int32_t Max() const { return Max_; }

  TScrollBarPort& Port() { return *port_; }
  void SetVisible(bool visible) { port_->SetVisible(visible); }
  bool Visible() const { return port_->Visible(); }
  void SetBounds(const Rect& r) { port_->SetBounds(r); }

  int32_t SmallChange = 16;
  int32_t LargeChange = 1;

 private:
  std::unique_ptr<TScrollBarPort> port_;
  int32_t Position_ = 0, Page_ = 0, Min_ = 0, Max_ = 0;
  bool sent_ = false;
};

}  // namespace brisomel
