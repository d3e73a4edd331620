#include "html/reader/attributes.h"

namespace brisomel {

const TAttribute* TAttributeList::Find(TSymbol symbol) const {
  for (const auto& attribute : *this)
    if (attribute->Symbol == symbol) return attribute.get();
  return nullptr;
}

}  // namespace brisomel
