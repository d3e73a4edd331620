// The images module's process-wide state: colour depth class, shared palette, placeholder
// bitmaps, cursors, the wait stream and the image cache. One instance per application
// context; a start count lets several users share it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "html/images/bitmap_cache.h"
#include "platform/bitmap.h"

namespace brisomel {

// Program resources of the images module.
enum TImageResource : int {
  kResourceImageError = 1001,      // 16 x 16, 16 colours: a picture that failed
  kResourceImageWait = 1002,       // 16 x 16, 16 colours: a picture on its way
  kCursorLink = 1003,              // screen cursor 1, over links
  kResourceImageErrorMask = 1005,  // 16 x 16, monochrome: the mask of 1001
  kCursorText = 1006,              // screen cursor 2, over text
};

// Bits per pixel times planes of the screen: 4 or less gives 4, more than 8 gives 24,
// otherwise 8.
int ColourDepthClassOf(int bits_times_planes);

class TImageModule {
 public:
  explicit TImageModule(int screen_bits_times_planes);

  int ColourDepthClass() const { return colour_depth_class_; }
  // The 256-entry shared palette for class 8; empty otherwise.
  std::span<const uint32_t> SharedPalette() const { return shared_palette_; }
  TStringBitmapList& Cache() { return cache_; }
  // Placeholder bitmap 1001, 1002 or 1005; an empty bitmap for any other number.
  const Bitmap& Placeholder(int resource) const;
  // The ".cur" file bytes of cursor 1003 or 1006 (installed as screen cursors 1 and 2).
  std::span<const uint8_t> Cursor(int resource) const;
  // An image-request handler answers this stream to say "not available yet".
  const std::vector<uint8_t>* WaitStream() const { return &wait_stream_; }

 private:
  int colour_depth_class_;
  std::vector<uint32_t> shared_palette_;
  TStringBitmapList cache_;
  Bitmap broken_, loading_, mono_;
  std::vector<uint8_t> wait_stream_;
};

// Creates the module with the first Start and frees it with the last Stop.
class TImageModuleStarter {
 public:
  TImageModule& Start(int screen_bits_times_planes);
  void Stop();
  TImageModule* Module() { return module_.get(); }

 private:
  int count_ = 0;
  std::unique_ptr<TImageModule> module_;
};

}  // namespace brisomel
