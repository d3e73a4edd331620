// Owning lists, the attributes of one tag, and the link-and-target pair that links carry.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "html/reader/symbols.h"

namespace brisomel {

// A list that owns its items. Clearing frees every item in index order and then empties the
// list; destroying it does the same.
template <typename T>
class TFreeList {
 public:
  TFreeList() = default;
  TFreeList(const TFreeList&) = delete;
  TFreeList& operator=(const TFreeList&) = delete;
  TFreeList(TFreeList&&) noexcept = default;
  TFreeList& operator=(TFreeList&& other) noexcept {
    if (this != &other) {
      Clear();
      items_ = std::move(other.items_);
    }
    return *this;
  }
  virtual ~TFreeList() { Clear(); }

  T* Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return items_.back().get();
  }
  void Clear() {
    for (auto& item : items_) item.reset();
    items_.clear();
  }
  // Frees the item at `index` and closes the gap.
  void Delete(size_t index) {
    items_[index].reset();
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  // Takes the item at `index` out of the list without freeing it.
  std::unique_ptr<T> Extract(size_t index) {
    std::unique_ptr<T> item = std::move(items_[index]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return item;
  }

  size_t Count() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  T* operator[](size_t index) const { return items_[index].get(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

// One attribute of one tag; immutable once made.
struct TAttribute {
  TAttribute(TSymbol symbol, std::u16string text, int32_t value)
      : Symbol(symbol), Value(value), Text(std::move(text)) {}

  const TSymbol Symbol;    // the attribute's symbol, or symUnknownAttr
  const int32_t Value;     // the integer read from the value; 0 if none; 1 for a bare BORDER
  const std::u16string Text;  // the value text as scanned; empty without a value
};

// A tag's attributes in the order they stood; duplicates are kept.
class TAttributeList : public TFreeList<TAttribute> {
 public:
  // The first attribute with `symbol`, or null.
  const TAttribute* Find(TSymbol symbol) const;
  bool Find(TSymbol symbol, const TAttribute*& found) const {
    found = Find(symbol);
    return found != nullptr;
  }
};

// The HREF and TARGET of a link.
struct TUrlTarget {
  std::u16string Url;
  std::u16string Target;

  // Replaces each field that is given and leaves the other.
  void Assign(const std::optional<std::u16string>& url,
              const std::optional<std::u16string>& target) {
    if (url) Url = *url;
    if (target) Target = *target;
  }
  void Clear() {
    Url.clear();
    Target.clear();
  }
};

}  // namespace brisomel
