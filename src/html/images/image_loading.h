// Loading images for documents: files and streams to bitmaps (with masks), and the cache
// lookup that document images go through. Nothing here throws: a failure gives no image.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/images/bitmap_cache.h"
#include "html/images/image_module.h"
#include "platform/bitmap.h"

namespace brisomel {

class Files;

// A Windows bitmap, PNG or JPEG file as a bitmap (JPEG: 24-bit above colour depth class 8,
// else 8-bit through the shared palette); through the shared palette when `remap`. None for
// any other type or failure.
std::unique_ptr<Bitmap> LoadBitmapFile(TImageModule& module, Files& files, const std::string& name,
                                       bool remap);

// A bitmap for a document from a file, with a mask when `kind` asks for one; `kind` becomes
// tkGif or tkPng when a ".gif"/".png" file names a transparent colour. A PNG (told by its
// bytes) takes its mask from tRNS or alpha (alpha below half is transparent), kind tkPng,
// and gives its alpha plane in `alpha` (when given) if some alpha lies between 0 and 255.
std::unique_ptr<Bitmap> ReadImageFile(TImageModule& module, Files& files, const std::string& name,
                                      TTransparency& kind, std::unique_ptr<Bitmap>& mask,
                                      std::vector<uint8_t>* alpha = nullptr);

// A Windows bitmap, PNG or JPEG from memory (an image-request answer). JPEGs never get a
// mask; a PNG with tRNS or alpha gets its own (kind tkPng), and its alpha as ReadImageFile.
std::unique_ptr<Bitmap> LoadBitmapStream(TImageModule& module, const std::vector<uint8_t>* stream,
                                         TTransparency& kind, std::unique_ptr<Bitmap>& mask,
                                         std::vector<uint8_t>* alpha = nullptr);

// The document's handlers for images it cannot find by itself (the viewer's events).
struct TImageHandlers {
  // A bitmap for the source, or null; may set `colour` (initially -1) to its transparent
  // colour.
  std::function<std::unique_ptr<Bitmap>(const std::string& source, int32_t& colour)> bitmap_request;
  // The image's bytes, the module's wait stream ("not yet"), or null.
  std::function<const std::vector<uint8_t>*(const std::string& source)> image_request;
};

struct TLookupResult {
  TBitmapItem* item = nullptr;  // the cache entry; null for no image
  Bitmap* bitmap = nullptr;     // the image when it is a bitmap
  TGIFImage* gif = nullptr;     // the image when it is an animated GIF
  Bitmap* mask = nullptr;
  const std::vector<uint8_t>* alpha = nullptr;  // the entry's alpha plane, when it has one
  TTransparency kind = tkNone;
  bool delayed = false;  // the image-request handler answered "not yet"
  bool from_cache = false;
};

// The document's image lookup: the cache, then the bitmap request, then the image request,
// then the file. `kind` is tkBottomLeft when the image tag asked for transparency.
TLookupResult LookupImage(TImageModule& module, Files& files, const std::string& source,
                          TTransparency kind, const TImageHandlers& handlers = {});

}  // namespace brisomel
