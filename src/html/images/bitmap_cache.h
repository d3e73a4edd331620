// The process-wide image cache: entries keyed by the image source (upper-cased, trimmed),
// each counting the document objects that use it and the document loads since it was last
// handed out.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/images/gif_image.h"
#include "platform/bitmap.h"

namespace brisomel {

enum TTransparency : int {
  tkNone = 0,
  tkBottomLeft = 1,  // mask made from the bottom-left pixel
  tkGif = 2,         // the transparent colour of a GIF
  tkPng = 3,         // the transparent colour of a PNG
};

// One cache entry; owns its image (a bitmap or a GIF) and mask.
struct TBitmapItem {
  int age = 0;
  int uses = 0;
  TTransparency transparency = tkNone;
  std::unique_ptr<Bitmap> bitmap;
  std::unique_ptr<TGIFImage> gif;
  std::unique_ptr<Bitmap> mask;  // white where transparent
  // Each pixel's alpha (0 transparent to 255 opaque) for a picture with pixels between the
  // two, drawn blended where the canvas can; empty otherwise.
  std::vector<uint8_t> alpha;
};

// Upper-cases ASCII letters and trims leading and trailing blanks and control characters.
std::string CacheKey(const std::string& source);

class TStringBitmapList {
 public:
  static constexpr int kInitialMaxAge = 4;
  static constexpr int kMaxCacheCount = 20;

  int Count() const { return static_cast<int>(entries_.size()); }
  int MaxAge() const { return max_age_; }
  // Index of the key (already normalised), or -1.
  int IndexOf(const std::string& key) const;
  const std::string& Key(int index) const { return entries_[index].first; }
  TBitmapItem& Item(int index) { return *entries_[index].second; }

  // Adds the entry, which then has one more use. False when the key is already there: the
  // item stays with the caller.
  bool Add(const std::string& key, std::unique_ptr<TBitmapItem>&& item);
  void AddUse(const std::string& key);
  void ReleaseUse(const std::string& key);
  // Hands out the entry's item: its age becomes 0 and it has one more use.
  TBitmapItem& GetImage(int index);
  // Frees every entry older than `n` without uses, and keeps `n` as the maximum age.
  void SetMaxAge(int n);
  // The viewer's image cache count: clamped to 0..20, then as SetMaxAge.
  void SetImageCacheCount(int n) { SetMaxAge(std::clamp(n, 0, kMaxCacheCount)); }
  // Once per document load: every entry ages by one; unused ones past the maximum are freed.
  void AgeAll();
  // Frees every entry without uses (memory ran short).
  void Purge();
  void Clear() { entries_.clear(); }

 private:
  // Sorted by key.
  std::vector<std::pair<std::string, std::unique_ptr<TBitmapItem>>> entries_;
  int max_age_ = kInitialMaxAge;
};

}  // namespace brisomel
