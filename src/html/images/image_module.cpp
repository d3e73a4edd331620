#include "html/images/image_module.h"

#include "html/images/bmp_reader.h"
#include "html/images/palette.h"
#include "html/images/resources.h"

namespace brisomel {

int ColourDepthClassOf(int bits) {
  if (bits <= 4) return 4;
  if (bits > 8) return 24;
  return 8;
}

TImageModule::TImageModule(int screen_bits_times_planes)
    : colour_depth_class_(ColourDepthClassOf(screen_bits_times_planes)) {
  if (colour_depth_class_ == 8) shared_palette_ = MakeSharedPalette();
  auto load = [](int id) { return ReadWindowsBitmap(ResourceBytes(id)).value_or(Bitmap()); };
  broken_ = load(kResourceImageError);
  loading_ = load(kResourceImageWait);
  mono_ = load(kResourceImageErrorMask);
}

const Bitmap& TImageModule::Placeholder(int resource) const {
  static const Bitmap kNone;
  switch (resource) {
    case kResourceImageError:
      return broken_;
    case kResourceImageWait:
      return loading_;
    case kResourceImageErrorMask:
      return mono_;
    default:
      return kNone;
  }
}

std::span<const uint8_t> TImageModule::Cursor(int resource) const {
  if (resource != kCursorLink && resource != kCursorText) return {};
  return ResourceBytes(resource);
}

TImageModule& TImageModuleStarter::Start(int screen_bits_times_planes) {
  if (count_++ == 0) module_ = std::make_unique<TImageModule>(screen_bits_times_planes);
  return *module_;
}

void TImageModuleStarter::Stop() {
  if (count_ > 0 && --count_ == 0) module_.reset();
}

}  // namespace brisomel
