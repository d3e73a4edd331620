// The canvas adapters a test build has, so one set of tests runs against each.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace brisomel::testing {

struct CanvasAdapter {
  std::string name;
  // A white canvas of width x height device pixels.
  std::function<std::unique_ptr<Canvas>(int, int)> make;
};

std::vector<CanvasAdapter> AllCanvasAdapters();

inline void PrintTo(const CanvasAdapter& a, std::ostream* os) { *os << a.name; }

// The colour (0x00BBGGRR) of one device pixel.
Color PixelOf(Canvas& canvas, int x, int y);

// The pixels of a device rectangle as text, one line per row: '.' white, '#' black,
// 'r' red (0x0000FF), 'g' green, 'b' blue, '?' anything else. Lines end with '\n'.
std::string Picture(Canvas& canvas, const Rect& device_rect);

}  // namespace brisomel::testing
