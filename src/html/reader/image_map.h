// A client-side image map: the named list of clickable areas that one MAP element describes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/reader/attributes.h"
#include "html/reader/map_region.h"

namespace brisomel {

class TMapItem {
 public:
  struct Area {
    std::u16string Url;     // empty for NOHREF
    std::u16string Target;  // may be empty
    std::unique_ptr<TMapRegion> Region;
  };

  // Upper case, as images look their map up by an upper-cased name.
  const std::u16string& Name() const { return name_; }
  void SetName(std::u16string_view name);

  // Adds the area one AREA tag describes, if its shape has enough coordinates.
  void AddArea(const TAttributeList& attributes);

  // The link of the first area under (x, y); none when there is none or that area is NOHREF.
  std::unique_ptr<TUrlTarget> Hit(int32_t x, int32_t y) const;

  const std::vector<Area>& Areas() const { return areas_; }

  // COORDS: numbers split at commas, each piece cut to 20 characters with trailing spaces
  // removed (0 when it is no integer); reading stops at an empty piece or after 201 numbers.
  static std::vector<int32_t> ParseCoords(std::u16string_view text);

 private:
  std::u16string name_;
  std::vector<Area> areas_;
};

}  // namespace brisomel
