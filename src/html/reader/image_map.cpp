#include "html/reader/image_map.h"

#include "html/reader/text_utils.h"

namespace brisomel {
namespace {

constexpr size_t kMaxCoords = 201;
constexpr size_t kCoordPieceLength = 20;

enum class Shape { kRect, kCircle, kPolygon };

}  // namespace

void TMapItem::SetName(std::u16string_view name) { name_ = UpperCase(name); }

std::vector<int32_t> TMapItem::ParseCoords(std::u16string_view text) {
  std::vector<int32_t> numbers;
  size_t start = 0;
  while (numbers.size() < kMaxCoords && start <= text.size()) {
    size_t comma = text.find(u',', start);
    if (comma == std::u16string_view::npos) comma = text.size();
    std::u16string_view piece = text.substr(start, comma - start).substr(0, kCoordPieceLength);
    while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
    if (piece.empty()) break;
    numbers.push_back(IntegerOr(piece, 0));
    start = comma + 1;
  }
  return numbers;
}

void TMapItem::AddArea(const TAttributeList& attributes) {
  std::u16string url;
  std::u16string target;
  Shape shape = Shape::kRect;
  std::vector<int32_t> coords;
  for (const auto& attribute : attributes) {
    switch (attribute->Symbol) {
      case symHref: url = attribute->Text; break;
      case symNohref: url.clear(); break;
      case symTarget: target = attribute->Text; break;
      case symShape: {
        std::u16string kind = LowerCase(std::u16string_view(attribute->Text).substr(0, 4));
        shape = kind == u"circ" ? Shape::kCircle : kind == u"poly" ? Shape::kPolygon : Shape::kRect;
        break;
      }
      case symCoords: coords = ParseCoords(attribute->Text); break;
      default: break;
    }
  }

  std::unique_ptr<TMapRegion> region;
  switch (shape) {
    case Shape::kRect:
      // The right and bottom edges belong to the area.
      if (coords.size() >= 4)
        region = std::make_unique<TRectRegion>(coords[0], coords[1], int64_t{coords[2]} + 1,
                                               int64_t{coords[3]} + 1);
      break;
    case Shape::kCircle:
      if (coords.size() >= 3) {
        const int64_t x = coords[0], y = coords[1], r = coords[2];
        region = std::make_unique<TEllipseRegion>(x - r, y - r, x + r + 1, y + r + 1);
      }
      break;
    case Shape::kPolygon:
      if (coords.size() >= 6) {
        std::vector<TMapPoint> points;
        for (size_t i = 0; i + 1 < coords.size(); i += 2) points.push_back({coords[i], coords[i + 1]});
        region = std::make_unique<TPolygonRegion>(std::move(points));
      }
      break;
  }
  if (region) areas_.push_back({std::move(url), std::move(target), std::move(region)});
}

std::unique_ptr<TUrlTarget> TMapItem::Hit(int32_t x, int32_t y) const {
  for (const Area& area : areas_) {
    if (!area.Region->Contains(x, y)) continue;
    if (area.Url.empty()) return nullptr;  // a NOHREF area hides whatever lies beneath it
    auto link = std::make_unique<TUrlTarget>();
    link->Url = area.Url;
    link->Target = area.Target;
    return link;
  }
  return nullptr;
}

}  // namespace brisomel
