#include "html/images/bitmap_cache.h"

#include <algorithm>

namespace brisomel {

std::string CacheKey(const std::string& source) {
  size_t first = 0, last = source.size();
  while (first < last && static_cast<unsigned char>(source[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(source[last - 1]) <= ' ') --last;
  std::string key = source.substr(first, last - first);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

namespace {
template <typename Entries>
auto LowerBound(Entries& entries, const std::string& key) {
  return std::lower_bound(entries.begin(), entries.end(), key,
                          [](const auto& entry, const std::string& k) { return entry.first < k; });
}
}  // namespace

int TStringBitmapList::IndexOf(const std::string& key) const {
  auto it = LowerBound(entries_, key);
  if (it == entries_.end() || it->first != key) return -1;
  return static_cast<int>(it - entries_.begin());
}

bool TStringBitmapList::Add(const std::string& key, std::unique_ptr<TBitmapItem>&& item) {
  auto it = LowerBound(entries_, key);
  if (!item || (it != entries_.end() && it->first == key)) return false;
  ++item->uses;
  entries_.emplace(it, key, std::move(item));
  return true;
}

void TStringBitmapList::AddUse(const std::string& key) {
  int i = IndexOf(key);
  if (i >= 0) ++entries_[i].second->uses;
}

void TStringBitmapList::ReleaseUse(const std::string& key) {
  int i = IndexOf(key);
  if (i >= 0) --entries_[i].second->uses;
}

TBitmapItem& TStringBitmapList::GetImage(int index) {
  TBitmapItem& item = *entries_[index].second;
  item.age = 0;
  ++item.uses;
  return item;
}

// Entries are visited from the last index down, so that removing one leaves the rest of the
// walk in place.
void TStringBitmapList::SetMaxAge(int n) {
  for (int i = Count() - 1; i >= 0; --i) {
    const TBitmapItem& item = *entries_[i].second;
    if (item.age > n && item.uses <= 0) entries_.erase(entries_.begin() + i);
  }
  max_age_ = n;
}

void TStringBitmapList::AgeAll() {
  for (int i = Count() - 1; i >= 0; --i) {
    TBitmapItem& item = *entries_[i].second;
    ++item.age;
    if (item.age > max_age_ && item.uses <= 0) entries_.erase(entries_.begin() + i);
  }
}

void TStringBitmapList::Purge() {
  for (int i = Count() - 1; i >= 0; --i) {
    if (entries_[i].second->uses <= 0) entries_.erase(entries_.begin() + i);
  }
}

}  // namespace brisomel
