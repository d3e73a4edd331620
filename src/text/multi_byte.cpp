#include "text/multi_byte.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "text/utf.h"

namespace brisomel::multi_byte {
namespace {

bool In(uint8_t byte, uint8_t low, uint8_t high) { return byte >= low && byte <= high; }

// Collects consecutive sequences for one platform table into a single request, so that a page
// of valid text costs one platform call per few thousand bytes. Where the platform refuses a
// request (a sequence without mapping somewhere in it), the request is halved at sequence
// boundaries until each refused sequence stands alone and becomes U+FFFD. A request also counts
// as refused when the platform does not give exactly one character per sequence: no table
// maps a checked sequence to more or fewer, and a platform that does has not understood it.
class RunDecoder {
 public:
  RunDecoder(const PlatformTables& platform, std::u16string& out, bool private_use_is_unmapped)
      : platform_(platform), out_(out), private_use_is_unmapped_(private_use_is_unmapped) {}
  ~RunDecoder() { Flush(); }

  // One sequence for `table`. `retry` (when not 0) is an ASCII trail byte that is read again
  // after the U+FFFD should the table not map the sequence.
  void Sequence(std::string_view bytes, Encoding table, char retry = 0) {
    if (!ends_.empty() && (table != table_ || pending_.size() >= kRequestBytes)) Flush();
    table_ = table;
    pending_.append(bytes);
    ends_.push_back(static_cast<uint32_t>(pending_.size()));
    retries_.push_back(retry);
  }
  void Sequence(char byte, Encoding table) { Sequence(std::string_view(&byte, 1), table); }

  void CodePoint(char32_t code_point) {
    Flush();
    AppendUtf16(out_, code_point);
  }
  void Error() { CodePoint(kReplacementCharacter); }

  void Flush() {
    if (ends_.empty()) return;
    Convert(0, ends_.size());
    pending_.clear();
    ends_.clear();
    retries_.clear();
  }

 private:
  static constexpr size_t kRequestBytes = 4096;

  // Sequences [first, last) of the pending request.
  void Convert(size_t first, size_t last) {
    const size_t begin = first == 0 ? 0 : ends_[first - 1];
    const size_t before = out_.size();
    const std::string_view bytes = std::string_view(pending_).substr(begin, ends_[last - 1] - begin);
    if (platform_.decode(bytes, table_, out_) && Acceptable(before, last - first)) return;
    out_.resize(before);
    if (last - first == 1) {
      out_.push_back(kReplacementCharacter);
      if (retries_[first]) out_.push_back(static_cast<char16_t>(retries_[first]));
      return;
    }
    const size_t middle = first + (last - first) / 2;
    Convert(first, middle);
    Convert(middle, last);
  }

  bool Acceptable(size_t from, size_t sequences) const {
    size_t code_points = 0;
    for (size_t i = from; i < out_.size(); ++i) {
      const char16_t c = out_[i];
      if (!IsLowSurrogate(c)) ++code_points;
      if (private_use_is_unmapped_ && c >= 0xE000 && c <= 0xF8FF) return false;
    }
    return code_points == sequences;
  }

  const PlatformTables& platform_;
  std::u16string& out_;
  const bool private_use_is_unmapped_;
  Encoding table_ = Encoding::kShiftJis;
  std::string pending_;
  std::vector<uint32_t> ends_;
  std::vector<char> retries_;
};

// The error after a lead byte whose follower cannot trail it: the lead alone when the follower
// is ASCII (it is read again), else both.
size_t BadPairLength(uint8_t follower) { return follower < 0x80 ? 1 : 2; }

char RetryOf(uint8_t trail) { return trail < 0x80 ? static_cast<char>(trail) : 0; }

void DecodeShiftJis(std::string_view s, RunDecoder& run) {
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const auto lead = static_cast<uint8_t>(s[i]);
    if (lead < 0x80) {
      run.Sequence(s[i++], Encoding::kShiftJis);
    } else if (lead == 0x80) {
      run.CodePoint(0x80);
      ++i;
    } else if (In(lead, 0xA1, 0xDF)) {
      run.CodePoint(0xFF61 - 0xA1 + lead);
      ++i;
    } else if (In(lead, 0x81, 0x9F) || In(lead, 0xE0, 0xFC)) {
      if (i + 1 == n) {
        run.Error();
        ++i;
        continue;
      }
      const auto trail = static_cast<uint8_t>(s[i + 1]);
      if (!In(trail, 0x40, 0x7E) && !In(trail, 0x80, 0xFC)) {
        run.Error();
        i += BadPairLength(trail);
        continue;
      }
      // Leads F0..F9 (numbers 8836 .. 10715): the user-defined characters, as private use.
      if (In(lead, 0xF0, 0xF9))
        run.CodePoint(0xE000 - 8836 + *ShiftJisPointer(s.substr(i, 2)));
      else
        run.Sequence(s.substr(i, 2), Encoding::kShiftJis, RetryOf(trail));
      i += 2;
    } else {
      run.Error();
      ++i;
    }
  }
}

void DecodeEucJp(std::string_view s, RunDecoder& run) {
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const auto lead = static_cast<uint8_t>(s[i]);
    if (lead < 0x80) {
      run.Sequence(s[i++], Encoding::kShiftJis);
      continue;
    }
    if (lead != 0x8E && lead != 0x8F && !In(lead, 0xA1, 0xFE)) {
      run.Error();
      ++i;
      continue;
    }
    if (i + 1 == n) {
      run.Error();
      ++i;
      continue;
    }
    const auto second = static_cast<uint8_t>(s[i + 1]);
    if (lead == 0x8E && In(second, 0xA1, 0xDF)) {
      run.CodePoint(0xFF61 - 0xA1 + second);
      i += 2;
    } else if (lead == 0x8F && In(second, 0xA1, 0xFE)) {
      if (i + 2 == n) {
        run.Error();
        i += 2;
        continue;
      }
      const auto third = static_cast<uint8_t>(s[i + 2]);
      if (In(third, 0xA1, 0xFE)) {
        run.Sequence(s.substr(i, 3), Encoding::kEucJp);
        i += 3;
      } else {
        run.Error();
        i += 1 + BadPairLength(third);
      }
    } else if (In(lead, 0xA1, 0xFE) && In(second, 0xA1, 0xFE)) {
      run.Sequence(ShiftJisBytes((lead - 0xA1) * 94 + second - 0xA1), Encoding::kShiftJis);
      i += 2;
    } else {
      run.Error();
      i += BadPairLength(second);
    }
  }
}

void DecodeIso2022Jp(std::string_view s, RunDecoder& run) {
  enum class State { kAscii, kRoman, kKatakana, kLeadByte, kTrailByte };
  State state = State::kAscii;
  State output_state = State::kAscii;  // the state the last escape sequence chose
  bool output = false;                 // an escape sequence with nothing after it yet
  uint8_t lead = 0;
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const auto byte = static_cast<uint8_t>(s[i]);
    if (byte == 0x1B) {
      if (state == State::kTrailByte) run.Error();  // a pair cut short
      // An escape sequence: ESC ( B/J/I or ESC $ @/B.
      State chosen = state;
      bool known = false;
      if (i + 2 < n) {
        const char a = s[i + 1], b = s[i + 2];
        known = true;
        if (a == '(' && b == 'B') chosen = State::kAscii;
        else if (a == '(' && b == 'J') chosen = State::kRoman;
        else if (a == '(' && b == 'I') chosen = State::kKatakana;
        else if (a == '$' && (b == '@' || b == 'B')) chosen = State::kLeadByte;
        else known = false;
      }
      if (known) {
        state = output_state = chosen;
        if (output) run.Error();
        output = true;
        i += 3;
      } else {
        // Not an escape sequence: the ESC is an error and what follows it is read again.
        state = output_state;
        output = false;
        run.Error();
        ++i;
      }
      continue;
    }
    switch (state) {
      case State::kAscii:
      case State::kRoman:
        output = false;
        if (byte >= 0x80 || byte == 0x0E || byte == 0x0F) run.Error();
        else if (state == State::kRoman && byte == 0x5C) run.CodePoint(0xA5);
        else if (state == State::kRoman && byte == 0x7E) run.CodePoint(0x203E);
        else run.CodePoint(byte);
        ++i;
        break;
      case State::kKatakana:
        output = false;
        if (In(byte, 0x21, 0x5F)) run.CodePoint(0xFF61 - 0x21 + byte);
        else run.Error();
        ++i;
        break;
      case State::kLeadByte:
        output = false;
        if (In(byte, 0x21, 0x7E)) {
          lead = byte;
          state = State::kTrailByte;
        } else {
          run.Error();
        }
        ++i;
        break;
      case State::kTrailByte:
        state = State::kLeadByte;
        if (In(byte, 0x21, 0x7E))
          run.Sequence(ShiftJisBytes((lead - 0x21) * 94 + byte - 0x21), Encoding::kShiftJis);
        else
          run.Error();
        ++i;
        break;
    }
  }
  if (state == State::kTrailByte) run.Error();
}

void DecodeGb18030(std::string_view s, RunDecoder& run) {
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const auto first = static_cast<uint8_t>(s[i]);
    if (first < 0x80) {
      run.Sequence(s[i++], Encoding::kGbk);
      continue;
    }
    if (first == 0x80) {
      run.CodePoint(0x20AC);
      ++i;
      continue;
    }
    if (first == 0xFF || i + 1 == n) {
      run.Error();
      ++i;
      continue;
    }
    const auto second = static_cast<uint8_t>(s[i + 1]);
    if (In(second, 0x30, 0x39)) {
      // Four bytes. A bad third or fourth byte costs only the first: the rest is read again.
      if (i + 2 == n) {
        run.Error();
        i += 2;
        continue;
      }
      const auto third = static_cast<uint8_t>(s[i + 2]);
      if (!In(third, 0x81, 0xFE)) {
        run.Error();
        ++i;
        continue;
      }
      if (i + 3 == n) {
        run.Error();
        i += 3;
        continue;
      }
      const auto fourth = static_cast<uint8_t>(s[i + 3]);
      if (!In(fourth, 0x30, 0x39)) {
        run.Error();
        ++i;
        continue;
      }
      const uint32_t pointer =
          (first - 0x81) * 12600u + (second - 0x30) * 1260u + (third - 0x81) * 10u + fourth - 0x30;
      if (std::optional<char32_t> code_point = Gb18030RangesCodePoint(pointer))
        run.CodePoint(*code_point);
      else
        run.Error();
      i += 4;
    } else if (In(second, 0x40, 0x7E) || In(second, 0x80, 0xFE)) {
      if (std::optional<char32_t> character = Gb18030PairCharacter(static_cast<uint16_t>(first << 8 | second)))
        run.CodePoint(*character);
      else
        run.Sequence(s.substr(i, 2), Encoding::kGbk, RetryOf(second));
      i += 2;
    } else {
      run.Error();
      i += BadPairLength(second);
    }
  }
}

// Big5 pairs whose character is a letter with two accents, which Unicode writes as two code
// points.
struct TwoCodePoints {
  uint16_t pair;
  char32_t first, second;
};
constexpr TwoCodePoints kBig5Composed[] = {
    {0x8862, 0x00CA, 0x0304}, {0x8864, 0x00CA, 0x030C},
    {0x88A3, 0x00EA, 0x0304}, {0x88A5, 0x00EA, 0x030C},
};

// Big5 and EUC-KR: ASCII, or a lead 81..FE and a trail byte the encoding accepts. `special`
// reads the pairs the platform is not asked for, and says whether it did.
template <typename IsTrail, typename Special>
void DecodePairs(std::string_view s, RunDecoder& run, Encoding table, IsTrail is_trail, Special special) {
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const auto lead = static_cast<uint8_t>(s[i]);
    if (lead < 0x80) {
      run.Sequence(s[i++], table);
      continue;
    }
    if (!In(lead, 0x81, 0xFE) || i + 1 == n) {
      run.Error();
      ++i;
      continue;
    }
    const auto trail = static_cast<uint8_t>(s[i + 1]);
    if (!is_trail(trail)) {
      run.Error();
      i += BadPairLength(trail);
      continue;
    }
    if (!special(static_cast<uint16_t>(lead << 8 | trail))) run.Sequence(s.substr(i, 2), table, RetryOf(trail));
    i += 2;
  }
}

void DecodeBig5(std::string_view s, RunDecoder& run) {
  DecodePairs(
      s, run, Encoding::kBig5, [](uint8_t t) { return In(t, 0x40, 0x7E) || In(t, 0xA1, 0xFE); },
      [&](uint16_t pair) {
        const auto* composed = std::find_if(std::begin(kBig5Composed), std::end(kBig5Composed),
                                            [&](const TwoCodePoints& c) { return c.pair == pair; });
        if (composed == std::end(kBig5Composed)) return false;
        run.CodePoint(composed->first);
        run.CodePoint(composed->second);
        return true;
      });
}

void DecodeEucKr(std::string_view s, RunDecoder& run) {
  DecodePairs(
      s, run, Encoding::kEucKr, [](uint8_t t) { return In(t, 0x41, 0xFE); }, [](uint16_t) { return false; });
}

// GB18030's four-byte numbering: each entry starts a run of consecutive code points. Data of
// the Encoding Standard's index gb18030 ranges. The platform is not asked for these: Windows
// (and Wine) may lack code page 54936, and the numbering is arithmetic over this small table.
struct Range {
  uint32_t pointer;
  char32_t code_point;
};
constexpr Range kGb18030Ranges[] = {
    {0, 0x0080},      {36, 0x00A5},     {38, 0x00A9},     {45, 0x00B2},     {50, 0x00B8},
    {81, 0x00D8},     {89, 0x00E2},     {95, 0x00EB},     {96, 0x00EE},     {100, 0x00F4},
    {103, 0x00F8},    {104, 0x00FB},    {105, 0x00FD},    {109, 0x0102},    {126, 0x0114},
    {133, 0x011C},    {148, 0x012C},    {172, 0x0145},    {175, 0x0149},    {179, 0x014E},
    {208, 0x016C},    {306, 0x01CF},    {307, 0x01D1},    {308, 0x01D3},    {309, 0x01D5},
    {310, 0x01D7},    {311, 0x01D9},    {312, 0x01DB},    {313, 0x01DD},    {341, 0x01FA},
    {428, 0x0252},    {443, 0x0262},    {544, 0x02C8},    {545, 0x02CC},    {558, 0x02DA},
    {741, 0x03A2},    {742, 0x03AA},    {749, 0x03C2},    {750, 0x03CA},    {805, 0x0402},
    {819, 0x0450},    {820, 0x0452},    {7922, 0x2011},   {7924, 0x2017},   {7925, 0x201A},
    {7927, 0x201E},   {7934, 0x2027},   {7943, 0x2031},   {7944, 0x2034},   {7945, 0x2036},
    {7950, 0x203C},   {8062, 0x20AD},   {8148, 0x2104},   {8149, 0x2106},   {8152, 0x210A},
    {8164, 0x2117},   {8174, 0x2122},   {8236, 0x216C},   {8240, 0x217A},   {8262, 0x2194},
    {8264, 0x219A},   {8374, 0x2209},   {8380, 0x2210},   {8381, 0x2212},   {8384, 0x2216},
    {8388, 0x221B},   {8390, 0x2221},   {8392, 0x2224},   {8393, 0x2226},   {8394, 0x222C},
    {8396, 0x222F},   {8401, 0x2238},   {8406, 0x223E},   {8416, 0x2249},   {8419, 0x224D},
    {8424, 0x2253},   {8437, 0x2262},   {8439, 0x2268},   {8445, 0x2270},   {8482, 0x2296},
    {8485, 0x229A},   {8496, 0x22A6},   {8521, 0x22C0},   {8603, 0x2313},   {8936, 0x246A},
    {8946, 0x249C},   {9046, 0x254C},   {9050, 0x2574},   {9063, 0x2590},   {9066, 0x2596},
    {9076, 0x25A2},   {9092, 0x25B4},   {9100, 0x25BE},   {9108, 0x25C8},   {9111, 0x25CC},
    {9113, 0x25D0},   {9131, 0x25E6},   {9162, 0x2607},   {9164, 0x260A},   {9218, 0x2641},
    {9219, 0x2643},   {11329, 0x2E82},  {11331, 0x2E85},  {11334, 0x2E89},  {11336, 0x2E8D},
    {11346, 0x2E98},  {11361, 0x2EA8},  {11363, 0x2EAB},  {11366, 0x2EAF},  {11370, 0x2EB4},
    {11372, 0x2EB8},  {11375, 0x2EBC},  {11389, 0x2ECB},  {11682, 0x2FFC},  {11686, 0x3004},
    {11687, 0x3018},  {11692, 0x301F},  {11694, 0x302A},  {11714, 0x303F},  {11716, 0x3094},
    {11723, 0x309F},  {11725, 0x30F7},  {11730, 0x30FF},  {11736, 0x312A},  {11982, 0x322A},
    {11989, 0x3232},  {12102, 0x32A4},  {12336, 0x3390},  {12348, 0x339F},  {12350, 0x33A2},
    {12384, 0x33C5},  {12393, 0x33CF},  {12395, 0x33D3},  {12397, 0x33D6},  {12510, 0x3448},
    {12553, 0x3474},  {12851, 0x359F},  {12962, 0x360F},  {12973, 0x361B},  {13738, 0x3919},
    {13823, 0x396F},  {13919, 0x39D1},  {13933, 0x39E0},  {14080, 0x3A74},  {14298, 0x3B4F},
    {14585, 0x3C6F},  {14698, 0x3CE1},  {15583, 0x4057},  {15847, 0x4160},  {16318, 0x4338},
    {16434, 0x43AD},  {16438, 0x43B2},  {16481, 0x43DE},  {16729, 0x44D7},  {17102, 0x464D},
    {17122, 0x4662},  {17315, 0x4724},  {17320, 0x472A},  {17402, 0x477D},  {17418, 0x478E},
    {17859, 0x4948},  {17909, 0x497B},  {17911, 0x497E},  {17915, 0x4984},  {17916, 0x4987},
    {17936, 0x499C},  {17939, 0x49A0},  {17961, 0x49B8},  {18664, 0x4C78},  {18703, 0x4CA4},
    {18814, 0x4D1A},  {18962, 0x4DAF},  {19043, 0x9FA6},  {33469, 0xE76C},  {33470, 0xE7C8},
    {33471, 0xE7E7},  {33484, 0xE815},  {33485, 0xE819},  {33490, 0xE81F},  {33497, 0xE827},
    {33501, 0xE82D},  {33505, 0xE833},  {33513, 0xE83C},  {33520, 0xE844},  {33536, 0xE856},
    {33550, 0xE865},  {37845, 0xF92D},  {37921, 0xF97A},  {37948, 0xF996},  {38029, 0xF9E8},
    {38038, 0xF9F2},  {38064, 0xFA10},  {38065, 0xFA12},  {38066, 0xFA15},  {38069, 0xFA19},
    {38075, 0xFA22},  {38076, 0xFA25},  {38078, 0xFA2A},  {39108, 0xFE32},  {39109, 0xFE45},
    {39113, 0xFE53},  {39114, 0xFE58},  {39115, 0xFE67},  {39116, 0xFE6C},  {39265, 0xFF5F},
    {39394, 0xFFE6},  {189000, 0x10000},
};

struct GbPair {
  uint16_t pair;
  char16_t character;
};
#include "text/gb18030_pairs.inc"

}  // namespace

std::optional<char32_t> Gb18030PairCharacter(uint16_t pair) {
  const auto* it = std::lower_bound(std::begin(kGb18030Pairs), std::end(kGb18030Pairs), pair,
                                    [](const GbPair& p, uint16_t k) { return p.pair < k; });
  if (it == std::end(kGb18030Pairs) || it->pair != pair) return std::nullopt;
  return it->character;
}

std::optional<uint16_t> Gb18030PairOf(char32_t character) {
  for (const GbPair& p : kGb18030Pairs)
    if (p.character == character) return p.pair;
  return std::nullopt;
}

std::string ShiftJisBytes(uint32_t pointer) {
  const uint32_t lead = pointer / 188, trail = pointer % 188;
  return {static_cast<char>(lead + (lead < 0x1F ? 0x81 : 0xC1)),
          static_cast<char>(trail + (trail < 0x3F ? 0x40 : 0x41))};
}

std::optional<uint32_t> ShiftJisPointer(std::string_view pair) {
  if (pair.size() != 2) return std::nullopt;
  const auto lead = static_cast<uint8_t>(pair[0]), trail = static_cast<uint8_t>(pair[1]);
  if (!In(lead, 0x81, 0x9F) && !In(lead, 0xE0, 0xFC)) return std::nullopt;
  if (!In(trail, 0x40, 0x7E) && !In(trail, 0x80, 0xFC)) return std::nullopt;
  return (lead - (lead < 0xA0 ? 0x81 : 0xC1)) * 188u + trail - (trail < 0x7F ? 0x40 : 0x41);
}

std::optional<char32_t> Gb18030RangesCodePoint(uint32_t pointer) {
  if ((pointer > 39419 && pointer < 189000) || pointer > 1237575) return std::nullopt;
  if (pointer == 7457) return 0xE7C7;  // moved from a four-byte to a two-byte code in 2005
  const auto* range = std::upper_bound(std::begin(kGb18030Ranges), std::end(kGb18030Ranges), pointer,
                                       [](uint32_t p, const Range& r) { return p < r.pointer; });
  --range;
  return range->code_point + (pointer - range->pointer);
}

uint32_t Gb18030RangesPointer(char32_t code_point) {
  if (code_point == 0xE7C7) return 7457;
  const auto* range = std::upper_bound(std::begin(kGb18030Ranges), std::end(kGb18030Ranges), code_point,
                                       [](char32_t c, const Range& r) { return c < r.code_point; });
  --range;
  return range->pointer + (code_point - range->code_point);
}

void Decode(std::string_view bytes, Encoding encoding, const PlatformTables& platform,
            std::u16string& out) {
  // Big5 and EUC-KR have no private-use characters; their code pages give private use to the
  // user-defined areas (and, for Big5, the Hong Kong additions), which are read as unmapped.
  RunDecoder run(platform, out, encoding == Encoding::kBig5 || encoding == Encoding::kEucKr);
  switch (encoding) {
    case Encoding::kShiftJis: DecodeShiftJis(bytes, run); break;
    case Encoding::kEucJp: DecodeEucJp(bytes, run); break;
    case Encoding::kIso2022Jp: DecodeIso2022Jp(bytes, run); break;
    case Encoding::kGbk:
    case Encoding::kGb18030: DecodeGb18030(bytes, run); break;
    case Encoding::kBig5: DecodeBig5(bytes, run); break;
    case Encoding::kEucKr: DecodeEucKr(bytes, run); break;
    default: break;
  }
}

}  // namespace brisomel::multi_byte
