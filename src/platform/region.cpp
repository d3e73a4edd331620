// Regions: bands of spans, combined by sweeping the row and column boundaries of both
// operands.
#include "platform/region.h"

#include <algorithm>
#include <cmath>

namespace brisomel {
namespace {

// Sorts spans and merges overlapping or touching ones.
std::vector<Region::Span> Normalize(std::vector<Region::Span> spans) {
  std::erase_if(spans, [](const Region::Span& s) { return s.right <= s.left; });
  std::sort(spans.begin(), spans.end(),
            [](const Region::Span& a, const Region::Span& b) { return a.left < b.left; });
  std::vector<Region::Span> out;
  for (const auto& s : spans) {
    if (!out.empty() && s.left <= out.back().right) {
      out.back().right = std::max(out.back().right, s.right);
    } else {
      out.push_back(s);
    }
  }
  return out;
}

bool InSpans(const std::vector<Region::Span>& spans, int x) {
  for (const auto& s : spans) {
    if (x < s.left) {
      return false;
    }
    if (x < s.right) {
      return true;
    }
  }
  return false;
}

}  // namespace

void Region::AppendBand(int top, int bottom, std::vector<Span> spans) {
  if (spans.empty() || bottom <= top) {
    return;
  }
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back(Band{top, bottom, std::move(spans)});
}

Region Region::FromRect(const Rect& rect) {
  Region r;
  if (!rect.empty()) {
    r.bands_.push_back(Band{rect.top, rect.bottom, {Span{rect.left, rect.right}}});
  }
  return r;
}

Region Region::FromRows(int first_row, const std::vector<std::vector<Span>>& rows) {
  Region r;
  for (size_t i = 0; i < rows.size(); ++i) {
    int y = first_row + static_cast<int>(i);
    r.AppendBand(y, y + 1, Normalize(rows[i]));
  }
  return r;
}

Region Region::Ellipse(const Rect& b, const Rect& limit) {
  Rect visible = b.Intersect(limit);
  if (visible.empty()) {
    return Region{};
  }
  // Pixel centres inside the ellipse inscribed in the rectangle.
  double cx = (static_cast<double>(b.left) + b.right) / 2.0;
  double cy = (static_cast<double>(b.top) + b.bottom) / 2.0;
  double rx = (static_cast<double>(b.right) - b.left) / 2.0;
  double ry = (static_cast<double>(b.bottom) - b.top) / 2.0;
  std::vector<std::vector<Span>> rows(visible.height());
  for (int y = visible.top; y < visible.bottom; ++y) {
    double dy = (y + 0.5 - cy) / ry;
    double t = 1.0 - dy * dy;
    if (t < 0) {
      continue;
    }
    double half = rx * std::sqrt(t);
    // Pixels whose centre x + 0.5 lies in [cx - half, cx + half].
    double left = std::max<double>(std::ceil(cx - half - 0.5), visible.left);
    double right = std::min<double>(std::floor(cx + half - 0.5) + 1, visible.right);
    if (right > left) {
      rows[y - visible.top].push_back(Span{static_cast<int>(left), static_cast<int>(right)});
    }
  }
  return FromRows(visible.top, rows);
}

Region Region::Polygon(const std::vector<Point>& points, FillRule rule, const Rect& limit) {
  if (points.size() < 3) {
    return Region{};
  }
  int top = points[0].y, bottom = points[0].y;
  for (const auto& p : points) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  top = std::max(top, limit.top);
  bottom = std::min(bottom, limit.bottom);
  if (bottom <= top || limit.empty()) {
    return Region{};
  }
  std::vector<std::vector<Span>> rows(bottom - top);
  struct Crossing {
    double x;
    int dir;
  };
  std::vector<Crossing> xs;
  for (int y = top; y < bottom; ++y) {
    // GDI samples a polygon at the pixels' top-left corners: row y at height y, and columns
    // from the first integer at or right of the left edge to the last one left of the right.
    double yc = y;
    xs.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      Point a = points[i], c = points[(i + 1) % points.size()];
      if (a.y == c.y) {
        continue;
      }
      int dir = c.y > a.y ? 1 : -1;
      double y0 = std::min(a.y, c.y), y1 = std::max(a.y, c.y);
      if (yc < y0 || yc >= y1) {
        continue;
      }
      double x =
          a.x + (yc - a.y) * (static_cast<double>(c.x) - a.x) / (static_cast<double>(c.y) - a.y);
      xs.push_back(Crossing{x, dir});
    }
    std::sort(xs.begin(), xs.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    int winding = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      winding += xs[i].dir;
      bool inside = rule == FillRule::kAlternate ? (i % 2 == 0) : winding != 0;
      if (!inside) {
        continue;
      }
      double left = std::max<double>(std::ceil(xs[i].x), limit.left);
      double right = std::min<double>(std::ceil(xs[i + 1].x), limit.right);
      if (right > left) {
        rows[y - top].push_back(Span{static_cast<int>(left), static_cast<int>(right)});
      }
    }
  }
  return FromRows(top, rows);
}

bool Region::Contains(int x, int y) const {
  for (const auto& b : bands_) {
    if (y < b.top) {
      return false;
    }
    if (y < b.bottom) {
      return InSpans(b.spans, x);
    }
  }
  return false;
}

Rect Region::Bounds() const {
  if (bands_.empty()) {
    return Rect{};
  }
  Rect r{bands_.front().spans.front().left, bands_.front().top, bands_.front().spans.back().right,
         bands_.back().bottom};
  for (const auto& b : bands_) {
    r.left = std::min(r.left, b.spans.front().left);
    r.right = std::max(r.right, b.spans.back().right);
  }
  return r;
}

Region Region::Offset(int dx, int dy) const {
  Region r = *this;
  for (auto& b : r.bands_) {
    b.top += dy;
    b.bottom += dy;
    for (auto& s : b.spans) {
      s.left += dx;
      s.right += dx;
    }
  }
  return r;
}

Region Region::Combine(const Region& other, Op op) const {
  std::vector<int> ys;
  for (const auto* reg : {this, &other}) {
    for (const auto& b : reg->bands_) {
      ys.push_back(b.top);
      ys.push_back(b.bottom);
    }
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  static const std::vector<Span> kNone;
  auto spans_at = [](const Region& reg, size_t& index, int y) -> const std::vector<Span>& {
    while (index < reg.bands_.size() && reg.bands_[index].bottom <= y) {
      ++index;
    }
    if (index < reg.bands_.size() && reg.bands_[index].top <= y) {
      return reg.bands_[index].spans;
    }
    return kNone;
  };
  auto keep = [op](bool a, bool b) {
    switch (op) {
      case Op::kUnion:
        return a || b;
      case Op::kIntersect:
        return a && b;
      case Op::kSubtract:
        return a && !b;
      case Op::kXor:
        return a != b;
    }
    return false;
  };

  Region out;
  size_t ia = 0, ib = 0;
  std::vector<int> xs;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    int y0 = ys[k], y1 = ys[k + 1];
    const auto& sa = spans_at(*this, ia, y0);
    const auto& sb = spans_at(other, ib, y0);
    if (sa.empty() && sb.empty()) {
      continue;
    }
    xs.clear();
    for (const auto& s : sa) {
      xs.insert(xs.end(), {s.left, s.right});
    }
    for (const auto& s : sb) {
      xs.insert(xs.end(), {s.left, s.right});
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<Span> spans;
    for (size_t j = 0; j + 1 < xs.size(); ++j) {
      if (!keep(InSpans(sa, xs[j]), InSpans(sb, xs[j]))) {
        continue;
      }
      if (!spans.empty() && spans.back().right == xs[j]) {
        spans.back().right = xs[j + 1];
      } else {
        spans.push_back(Span{xs[j], xs[j + 1]});
      }
    }
    out.AppendBand(y0, y1, std::move(spans));
  }
  return out;
}

Region Region::Union(const Region& o) const { return Combine(o, Op::kUnion); }
Region Region::Intersect(const Region& o) const { return Combine(o, Op::kIntersect); }
Region Region::Subtract(const Region& o) const { return Combine(o, Op::kSubtract); }
Region Region::Xor(const Region& o) const { return Combine(o, Op::kXor); }

}  // namespace brisomel
