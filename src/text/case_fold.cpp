#include "text/case_fold.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "text/utf.h"

namespace brisomel {
namespace {

// Code points first, first + stride, ..., last each fold to themselves plus delta.
struct FoldRun {
  char32_t first, last;
  uint8_t stride;
  int32_t delta;
};

#include "text/case_fold_table.inc"

}  // namespace

const char* const kCaseFoldUnicodeVersion = kCaseFoldVersion;

char32_t SimpleCaseFold(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  const auto* run = std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), c,
                                     [](char32_t k, const FoldRun& r) { return k < r.first; });
  if (run == std::begin(kFoldRuns)) return c;
  --run;
  if (c > run->last || (c - run->first) % run->stride != 0) return c;
  return static_cast<char32_t>(static_cast<int32_t>(c) + run->delta);
}

std::u16string FoldCase(std::u16string_view text) {
  std::u16string out(text);
  for (size_t i = 0; i < out.size();) {
    const char16_t unit = out[i];
    if (unit < 0x80) {
      if (unit >= 'A' && unit <= 'Z') out[i] = unit + 32;
      ++i;
      continue;
    }
    const CodePointAt at = DecodeUtf16At(out, i);
    const char32_t folded = SimpleCaseFold(at.code_point);  // an unpaired surrogate stays
    if (folded != at.code_point) {
      // The same length as the original: the generator checks that for every pair.
      if (at.length == 1) {
        out[i] = static_cast<char16_t>(folded);
      } else {
        out[i] = static_cast<char16_t>(0xD800 + ((folded - 0x10000) >> 10));
        out[i + 1] = static_cast<char16_t>(0xDC00 + ((folded - 0x10000) & 0x3FF));
      }
    }
    i += at.length;
  }
  return out;
}

}  // namespace brisomel
