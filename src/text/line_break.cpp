#include "text/line_break.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace brisomel {
namespace {

// The line-break classes the pair rules tell apart (UAX #14 class names in the comments).
enum Class : uint8_t {
  kOther,         // letters and symbols: AL, HL, AI, B2, CB, RI, SG, XX
  kIdeographic,   // ID, EB: ideographs, kana, fullwidth letters, emoji
  kHangulL,       // JL, JV, JT: conjoining jamo
  kHangulV,
  kHangulT,
  kHangulLv,      // H2, H3: precomposed syllables
  kHangulLvt,
  kOpen,          // OP
  kClose,         // CL, CP
  kNonStarter,    // NS, CJ: small kana, prolonged sound mark, iteration marks
  kExclamation,   // EX
  kInfix,         // IS, SY
  kQuotation,     // QU
  kGlue,          // GL, WJ
  kBreakAfter,    // BA, HY
  kBreakBefore,   // BB
  kInseparable,   // IN
  kCombining,     // CM, ZWJ, EM
  kPrefix,        // PR
  kPostfix,       // PO
  kNumeric,       // NU
  kSpace,         // SP, BK, CR, LF, NL, ZW
  kComplex,       // SA: Thai, Lao, Khmer, Myanmar (need a dictionary; not broken here)
};

struct Segment {
  char32_t start;
  Class cls;
  bool wide;  // East Asian Width W or F
};

#include "text/line_break_table.inc"

const Segment& SegmentOf(char32_t c) {
  const auto* segment = std::upper_bound(std::begin(kSegments), std::end(kSegments), c,
                                         [](char32_t k, const Segment& s) { return k < s.start; });
  return *(segment - 1);  // the first segment starts at U+0000
}

bool IsIdeographic(Class c) { return c >= kIdeographic && c <= kHangulLvt; }
bool IsAlphanumeric(Class c) { return c == kOther || c == kNumeric; }

}  // namespace

const char* const kLineBreakUnicodeVersion = kLineBreakVersion;

bool IsLineBreakBetween(char32_t before, char32_t after) {
  const Segment& a = SegmentOf(before);
  const Segment& b = SegmentOf(after);
  if (!(a.wide || b.wide || IsIdeographic(a.cls) || IsIdeographic(b.cls))) return false;
  // Spaces are the layout's own break opportunities; complex scripts need more than pairs.
  if (a.cls == kSpace || b.cls == kSpace || a.cls == kComplex || b.cls == kComplex) return false;
  switch (a.cls) {  // never after these
    case kOpen:
    case kQuotation:
    case kGlue:
    case kBreakBefore:
      return false;
    default:
      break;
  }
  switch (b.cls) {  // never before these
    case kClose:
    case kNonStarter:
    case kExclamation:
    case kInfix:
    case kQuotation:
    case kGlue:
    case kBreakAfter:
    case kInseparable:
    case kCombining:
      return false;
    default:
      break;
  }
  // Currency and percent signs stay with their number or ideograph ("￥１００", "５０％");
  // letters and digits stay together ("２０２４").
  if (a.cls == kPrefix && (b.cls == kNumeric || IsIdeographic(b.cls))) return false;
  if ((a.cls == kNumeric || IsIdeographic(a.cls)) && b.cls == kPostfix) return false;
  if (IsAlphanumeric(a.cls) && IsAlphanumeric(b.cls)) return false;
  // A Hangul syllable written in conjoining jamo is one unit.
  if (a.cls == kHangulL && (b.cls == kHangulL || b.cls == kHangulV || b.cls == kHangulLv || b.cls == kHangulLvt))
    return false;
  if ((a.cls == kHangulV || a.cls == kHangulLv) && (b.cls == kHangulV || b.cls == kHangulT)) return false;
  if ((a.cls == kHangulT || a.cls == kHangulLvt) && b.cls == kHangulT) return false;
  return true;
}

}  // namespace brisomel
