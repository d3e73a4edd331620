#include "html/images/image_loading.h"

#include "html/images/bmp_reader.h"
#include "html/images/file_bytes.h"
#include "html/images/image_type.h"
#include "html/images/jpeg_mod.h"
#include "html/images/masks.h"
#include "html/images/png_image.h"
#include "platform/files.h"

namespace brisomel {
namespace {

bool HasExtension(const std::string& name, const char* ext) {
  size_t n = std::char_traits<char>::length(ext);
  if (name.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = name[name.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != ext[i]) return false;
  }
  return true;
}

std::unique_ptr<Bitmap> DecodeJpeg(TImageModule& module, std::span<const uint8_t> bytes) {
  // Colour depth class 8 decodes to 8 bits through the shared palette; without a shared
  // palette (class 4) the 24-bit result is what the display reduces.
  std::optional<Bitmap> b = TJpegMod::Decode(
      bytes, module.ColourDepthClass() > 8 ? std::span<const uint32_t>() : module.SharedPalette());
  return b ? std::make_unique<Bitmap>(std::move(*b)) : nullptr;
}

// A PNG as a bitmap, its mask (from tRNS or alpha) in `mask` when it has one, and its alpha
// plane in `alpha` when some alpha lies between transparent and opaque.
std::unique_ptr<Bitmap> DecodePng(std::span<const uint8_t> bytes, std::unique_ptr<Bitmap>* mask,
                                  std::vector<uint8_t>* alpha = nullptr) {
  std::optional<TPngImage> png = TPngImage::Decode(bytes);
  if (!png) return nullptr;
  if (mask && png->mask) *mask = std::make_unique<Bitmap>(std::move(*png->mask));
  if (alpha && png->partial_alpha) *alpha = std::move(png->alpha);
  return std::make_unique<Bitmap>(std::move(png->bitmap));
}

TImageType TypeOf(std::span<const uint8_t> bytes) {
  return ImageTypeOf(bytes.first(std::min(bytes.size(), kImageTypeBytes)));
}

std::unique_ptr<Bitmap> DecodeStill(TImageModule& module, std::span<const uint8_t> bytes) {
  switch (TypeOf(bytes)) {
    case itBitmap: {
      std::optional<Bitmap> b = ReadWindowsBitmap(bytes);
      return b ? std::make_unique<Bitmap>(std::move(*b)) : nullptr;
    }
    case itPng:
      return DecodePng(bytes, nullptr);
    case itJpeg:
      return DecodeJpeg(module, bytes);
    default:
      return nullptr;
  }
}

}  // namespace

std::unique_ptr<Bitmap> LoadBitmapFile(TImageModule& module, Files& files, const std::string& name,
                                       bool remap) {
  try {
    auto head = ReadFileBytes(files, name, kImageTypeBytes);
    if (!head) return nullptr;
    TImageType type = ImageTypeOf(*head);
    if (type != itBitmap && type != itJpeg && type != itPng) return nullptr;
    auto bytes = ReadFileBytes(files, name);
    if (!bytes) return nullptr;
    std::unique_ptr<Bitmap> b = DecodeStill(module, *bytes);
    if (b && remap) b = RemapToPalette(std::move(b), module.SharedPalette());
    return b;
  } catch (...) {
    return nullptr;
  }
}

std::unique_ptr<Bitmap> ReadImageFile(TImageModule& module, Files& files, const std::string& name,
                                      TTransparency& kind, std::unique_ptr<Bitmap>& mask,
                                      std::vector<uint8_t>* alpha) {
  mask.reset();
  try {
    if (!files.Exists(name)) return nullptr;
    auto head = ReadFileBytes(files, name, kImageTypeBytes);
    if (head && ImageTypeOf(*head) == itPng) {
      // A PNG carries its own transparency (tRNS or alpha), whatever the file is called.
      auto bytes = ReadFileBytes(files, name);
      if (!bytes) return nullptr;
      std::unique_ptr<Bitmap> b = DecodePng(*bytes, &mask, alpha);
      if (!b) return nullptr;
      if (mask)
        kind = tkPng;
      else if (kind == tkBottomLeft)
        mask = MakeMask(*b, false, 0);
      return RemapToPalette(std::move(b), module.SharedPalette());
    }
    std::optional<uint32_t> colour;
    if (HasExtension(name, ".gif")) {
      auto head = ReadFileBytes(files, name, kGifColorTestBytes);
      if (head && (colour = GifTransparentColor(*head))) kind = tkGif;
    } else if (HasExtension(name, ".png")) {
      auto bytes = ReadFileBytes(files, name);
      if (bytes && (colour = PngTransparentColor(*bytes))) kind = tkPng;
    }
    if (kind == tkNone) return LoadBitmapFile(module, files, name, true);
    std::unique_ptr<Bitmap> plain = LoadBitmapFile(module, files, name, false);
    if (!plain) return nullptr;
    mask = kind == tkBottomLeft ? MakeMask(*plain, false, 0)
                                : MakeMask(*plain, true, colour.value_or(0));
    plain.reset();
    if (!mask) return nullptr;
    return LoadBitmapFile(module, files, name, true);
  } catch (...) {
    mask.reset();
    return nullptr;
  }
}

std::unique_ptr<Bitmap> LoadBitmapStream(TImageModule& module, const std::vector<uint8_t>* stream,
                                         TTransparency& kind, std::unique_ptr<Bitmap>& mask,
                                         std::vector<uint8_t>* alpha) {
  mask.reset();
  if (!stream || stream->size() < 20) return nullptr;
  try {
    TImageType type = ImageTypeOf(std::span<const uint8_t>(*stream).first(kImageTypeBytes));
    std::unique_ptr<Bitmap> b;
    if (type == itJpeg) {
      kind = tkNone;
      b = DecodeJpeg(module, *stream);
    } else if (type == itPng) {
      b = DecodePng(*stream, &mask, alpha);
      if (mask) kind = tkPng;
    } else if (type == itBitmap) {
      std::optional<Bitmap> read = ReadWindowsBitmap(*stream);
      if (read) b = std::make_unique<Bitmap>(std::move(*read));
    }
    if (!b) return nullptr;
    if (kind == tkBottomLeft && !mask) mask = MakeMask(*b, false, 0);
    return RemapToPalette(std::move(b), module.SharedPalette());
  } catch (...) {
    mask.reset();
    return nullptr;
  }
}

namespace {

// A GIF decode for the cache; a failed decode purges the cache (memory may have run out).
std::unique_ptr<TGIFImage> DecodeGif(TImageModule& module, std::span<const uint8_t> bytes) {
  auto gif = std::make_unique<TGIFImage>();
  gif->SetSharedPalette({module.SharedPalette().begin(), module.SharedPalette().end()});
  if (gif->LoadFromStream(bytes)) return gif;
  module.Cache().Purge();
  return nullptr;
}

}  // namespace

TLookupResult LookupImage(TImageModule& module, Files& files, const std::string& source,
                          TTransparency kind, const TImageHandlers& handlers) {
  TLookupResult r;
  r.kind = kind;
  try {
    std::string key = CacheKey(source);
    if (key.empty()) return r;
    TStringBitmapList& cache = module.Cache();

    int index = cache.IndexOf(key);
    if (index >= 0) {
      TBitmapItem& item = cache.GetImage(index);
      r.item = &item;
      r.from_cache = true;
      if (item.bitmap) {
        if (item.transparency == tkGif || item.transparency == tkPng) {
          r.kind = item.transparency;
        } else if (kind == tkBottomLeft && !item.mask) {
          item.mask = MakeMask(*item.bitmap, false, 0);
          if (item.mask) item.transparency = tkBottomLeft;
        }
      }
      r.bitmap = item.bitmap.get();
      r.gif = item.gif.get();
      r.mask = item.mask.get();
      if (!item.alpha.empty()) r.alpha = &item.alpha;
      return r;
    }

    std::unique_ptr<Bitmap> bitmap, mask;
    std::vector<uint8_t> alpha;
    std::unique_ptr<TGIFImage> gif;
    if (handlers.bitmap_request) {
      int32_t colour = -1;
      bitmap = handlers.bitmap_request(source, colour);
      if (bitmap) {
        if (colour != -1) {
          mask = MakeMask(*bitmap, true, static_cast<uint32_t>(colour));
          r.kind = tkGif;
        } else if (r.kind == tkBottomLeft) {
          mask = MakeMask(*bitmap, false, 0);
        }
      }
    } else if (handlers.image_request) {
      const std::vector<uint8_t>* stream = handlers.image_request(source);
      if (stream == module.WaitStream()) {
        r.delayed = true;
        return r;
      }
      if (stream && !stream->empty()) {
        TImageType type = ImageTypeOf(
            std::span<const uint8_t>(*stream).first(std::min(stream->size(), kImageTypeBytes)));
        if (type == itGif || type == itGif89) gif = DecodeGif(module, *stream);
        if (!gif) bitmap = LoadBitmapStream(module, stream, r.kind, mask, &alpha);
      }
    } else {
      if (HasExtension(source, ".gif")) {
        auto bytes = ReadFileBytes(files, source);
        if (bytes) gif = DecodeGif(module, *bytes);
      }
      if (!gif) bitmap = ReadImageFile(module, files, source, r.kind, mask, &alpha);
    }

    if (gif && gif->FrameCount() == 1) {
      // A still GIF is kept as a plain bitmap (with its own mask when transparent).
      bitmap = std::make_unique<Bitmap>(gif->FirstFrameBitmap());
      if (gif->Frame(1).transparent) {
        mask = std::make_unique<Bitmap>(gif->FirstFrameMask());
        r.kind = tkGif;
      } else if (r.kind == tkBottomLeft) {
        mask = MakeMask(*bitmap, false, 0);
      }
      gif.reset();
    }
    if (!bitmap && !gif) return r;

    auto item = std::make_unique<TBitmapItem>();
    item->transparency = mask ? r.kind : tkNone;
    item->bitmap = std::move(bitmap);
    item->gif = std::move(gif);
    item->mask = std::move(mask);
    if (item->mask) item->alpha = std::move(alpha);
    TBitmapItem* added = item.get();
    if (!cache.Add(key, std::move(item))) {
      // Cannot happen for a key just found missing; the image is dropped with the entry.
      return TLookupResult{};
    }
    r.item = added;
    r.bitmap = added->bitmap.get();
    r.gif = added->gif.get();
    r.mask = added->mask.get();
    if (!added->alpha.empty()) r.alpha = &added->alpha;
    return r;
  } catch (...) {
    return TLookupResult{};
  }
}

}  // namespace brisomel
