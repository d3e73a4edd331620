#include "text/encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "text/utf8_scan.h"

namespace brisomel {
namespace {

struct Label {
  std::string_view label;
  Encoding encoding;
};

// The Encoding Standard's table of labels, sorted by label for binary search.
constexpr Label kLabels[] = {
    {"866", Encoding::kIbm866},
    {"ansi_x3.4-1968", Encoding::kWindows1252},
    {"arabic", Encoding::kIso8859_6},
    {"ascii", Encoding::kWindows1252},
    {"asmo-708", Encoding::kIso8859_6},
    {"big5", Encoding::kBig5},
    {"big5-hkscs", Encoding::kBig5},
    {"chinese", Encoding::kGbk},
    {"cn-big5", Encoding::kBig5},
    {"cp1250", Encoding::kWindows1250},
    {"cp1251", Encoding::kWindows1251},
    {"cp1252", Encoding::kWindows1252},
    {"cp1253", Encoding::kWindows1253},
    {"cp1254", Encoding::kWindows1254},
    {"cp1255", Encoding::kWindows1255},
    {"cp1256", Encoding::kWindows1256},
    {"cp1257", Encoding::kWindows1257},
    {"cp1258", Encoding::kWindows1258},
    {"cp819", Encoding::kWindows1252},
    {"cp866", Encoding::kIbm866},
    {"csbig5", Encoding::kBig5},
    {"cseuckr", Encoding::kEucKr},
    {"cseucpkdfmtjapanese", Encoding::kEucJp},
    {"csgb2312", Encoding::kGbk},
    {"csibm866", Encoding::kIbm866},
    {"csiso2022jp", Encoding::kIso2022Jp},
    {"csiso2022kr", Encoding::kReplacement},
    {"csiso58gb231280", Encoding::kGbk},
    {"csiso88596e", Encoding::kIso8859_6},
    {"csiso88596i", Encoding::kIso8859_6},
    {"csiso88598e", Encoding::kIso8859_8},
    {"csiso88598i", Encoding::kIso8859_8I},
    {"csisolatin1", Encoding::kWindows1252},
    {"csisolatin2", Encoding::kIso8859_2},
    {"csisolatin3", Encoding::kIso8859_3},
    {"csisolatin4", Encoding::kIso8859_4},
    {"csisolatin5", Encoding::kWindows1254},
    {"csisolatin6", Encoding::kIso8859_10},
    {"csisolatin9", Encoding::kIso8859_15},
    {"csisolatinarabic", Encoding::kIso8859_6},
    {"csisolatincyrillic", Encoding::kIso8859_5},
    {"csisolatingreek", Encoding::kIso8859_7},
    {"csisolatinhebrew", Encoding::kIso8859_8},
    {"cskoi8r", Encoding::kKoi8R},
    {"csksc56011987", Encoding::kEucKr},
    {"csmacintosh", Encoding::kMacintosh},
    {"csshiftjis", Encoding::kShiftJis},
    {"csunicode", Encoding::kUtf16Le},
    {"cyrillic", Encoding::kIso8859_5},
    {"dos-874", Encoding::kWindows874},
    {"ecma-114", Encoding::kIso8859_6},
    {"ecma-118", Encoding::kIso8859_7},
    {"elot_928", Encoding::kIso8859_7},
    {"euc-jp", Encoding::kEucJp},
    {"euc-kr", Encoding::kEucKr},
    {"gb18030", Encoding::kGb18030},
    {"gb2312", Encoding::kGbk},
    {"gb_2312", Encoding::kGbk},
    {"gb_2312-80", Encoding::kGbk},
    {"gbk", Encoding::kGbk},
    {"greek", Encoding::kIso8859_7},
    {"greek8", Encoding::kIso8859_7},
    {"hebrew", Encoding::kIso8859_8},
    {"hz-gb-2312", Encoding::kReplacement},
    {"ibm819", Encoding::kWindows1252},
    {"ibm866", Encoding::kIbm866},
    {"iso-10646-ucs-2", Encoding::kUtf16Le},
    {"iso-2022-cn", Encoding::kReplacement},
    {"iso-2022-cn-ext", Encoding::kReplacement},
    {"iso-2022-jp", Encoding::kIso2022Jp},
    {"iso-2022-kr", Encoding::kReplacement},
    {"iso-8859-1", Encoding::kWindows1252},
    {"iso-8859-10", Encoding::kIso8859_10},
    {"iso-8859-11", Encoding::kWindows874},
    {"iso-8859-13", Encoding::kIso8859_13},
    {"iso-8859-14", Encoding::kIso8859_14},
    {"iso-8859-15", Encoding::kIso8859_15},
    {"iso-8859-16", Encoding::kIso8859_16},
    {"iso-8859-2", Encoding::kIso8859_2},
    {"iso-8859-3", Encoding::kIso8859_3},
    {"iso-8859-4", Encoding::kIso8859_4},
    {"iso-8859-5", Encoding::kIso8859_5},
    {"iso-8859-6", Encoding::kIso8859_6},
    {"iso-8859-6-e", Encoding::kIso8859_6},
    {"iso-8859-6-i", Encoding::kIso8859_6},
    {"iso-8859-7", Encoding::kIso8859_7},
    {"iso-8859-8", Encoding::kIso8859_8},
    {"iso-8859-8-e", Encoding::kIso8859_8},
    {"iso-8859-8-i", Encoding::kIso8859_8I},
    {"iso-8859-9", Encoding::kWindows1254},
    {"iso-ir-100", Encoding::kWindows1252},
    {"iso-ir-101", Encoding::kIso8859_2},
    {"iso-ir-109", Encoding::kIso8859_3},
    {"iso-ir-110", Encoding::kIso8859_4},
    {"iso-ir-126", Encoding::kIso8859_7},
    {"iso-ir-127", Encoding::kIso8859_6},
    {"iso-ir-138", Encoding::kIso8859_8},
    {"iso-ir-144", Encoding::kIso8859_5},
    {"iso-ir-148", Encoding::kWindows1254},
    {"iso-ir-149", Encoding::kEucKr},
    {"iso-ir-157", Encoding::kIso8859_10},
    {"iso-ir-58", Encoding::kGbk},
    {"iso8859-1", Encoding::kWindows1252},
    {"iso8859-10", Encoding::kIso8859_10},
    {"iso8859-11", Encoding::kWindows874},
    {"iso8859-13", Encoding::kIso8859_13},
    {"iso8859-14", Encoding::kIso8859_14},
    {"iso8859-15", Encoding::kIso8859_15},
    {"iso8859-2", Encoding::kIso8859_2},
    {"iso8859-3", Encoding::kIso8859_3},
    {"iso8859-4", Encoding::kIso8859_4},
    {"iso8859-5", Encoding::kIso8859_5},
    {"iso8859-6", Encoding::kIso8859_6},
    {"iso8859-7", Encoding::kIso8859_7},
    {"iso8859-8", Encoding::kIso8859_8},
    {"iso8859-9", Encoding::kWindows1254},
    {"iso88591", Encoding::kWindows1252},
    {"iso885910", Encoding::kIso8859_10},
    {"iso885911", Encoding::kWindows874},
    {"iso885913", Encoding::kIso8859_13},
    {"iso885914", Encoding::kIso8859_14},
    {"iso885915", Encoding::kIso8859_15},
    {"iso88592", Encoding::kIso8859_2},
    {"iso88593", Encoding::kIso8859_3},
    {"iso88594", Encoding::kIso8859_4},
    {"iso88595", Encoding::kIso8859_5},
    {"iso88596", Encoding::kIso8859_6},
    {"iso88597", Encoding::kIso8859_7},
    {"iso88598", Encoding::kIso8859_8},
    {"iso88599", Encoding::kWindows1254},
    {"iso_8859-1", Encoding::kWindows1252},
    {"iso_8859-15", Encoding::kIso8859_15},
    {"iso_8859-1:1987", Encoding::kWindows1252},
    {"iso_8859-2", Encoding::kIso8859_2},
    {"iso_8859-2:1987", Encoding::kIso8859_2},
    {"iso_8859-3", Encoding::kIso8859_3},
    {"iso_8859-3:1988", Encoding::kIso8859_3},
    {"iso_8859-4", Encoding::kIso8859_4},
    {"iso_8859-4:1988", Encoding::kIso8859_4},
    {"iso_8859-5", Encoding::kIso8859_5},
    {"iso_8859-5:1988", Encoding::kIso8859_5},
    {"iso_8859-6", Encoding::kIso8859_6},
    {"iso_8859-6:1987", Encoding::kIso8859_6},
    {"iso_8859-7", Encoding::kIso8859_7},
    {"iso_8859-7:1987", Encoding::kIso8859_7},
    {"iso_8859-8", Encoding::kIso8859_8},
    {"iso_8859-8:1988", Encoding::kIso8859_8},
    {"iso_8859-9", Encoding::kWindows1254},
    {"iso_8859-9:1989", Encoding::kWindows1254},
    {"koi", Encoding::kKoi8R},
    {"koi8", Encoding::kKoi8R},
    {"koi8-r", Encoding::kKoi8R},
    {"koi8-ru", Encoding::kKoi8U},
    {"koi8-u", Encoding::kKoi8U},
    {"koi8_r", Encoding::kKoi8R},
    {"korean", Encoding::kEucKr},
    {"ks_c_5601-1987", Encoding::kEucKr},
    {"ks_c_5601-1989", Encoding::kEucKr},
    {"ksc5601", Encoding::kEucKr},
    {"ksc_5601", Encoding::kEucKr},
    {"l1", Encoding::kWindows1252},
    {"l2", Encoding::kIso8859_2},
    {"l3", Encoding::kIso8859_3},
    {"l4", Encoding::kIso8859_4},
    {"l5", Encoding::kWindows1254},
    {"l6", Encoding::kIso8859_10},
    {"l9", Encoding::kIso8859_15},
    {"latin1", Encoding::kWindows1252},
    {"latin2", Encoding::kIso8859_2},
    {"latin3", Encoding::kIso8859_3},
    {"latin4", Encoding::kIso8859_4},
    {"latin5", Encoding::kWindows1254},
    {"latin6", Encoding::kIso8859_10},
    {"logical", Encoding::kIso8859_8I},
    {"mac", Encoding::kMacintosh},
    {"macintosh", Encoding::kMacintosh},
    {"ms932", Encoding::kShiftJis},
    {"ms_kanji", Encoding::kShiftJis},
    {"replacement", Encoding::kReplacement},
    {"shift-jis", Encoding::kShiftJis},
    {"shift_jis", Encoding::kShiftJis},
    {"sjis", Encoding::kShiftJis},
    {"sun_eu_greek", Encoding::kIso8859_7},
    {"tis-620", Encoding::kWindows874},
    {"ucs-2", Encoding::kUtf16Le},
    {"unicode", Encoding::kUtf16Le},
    {"unicode-1-1-utf-8", Encoding::kUtf8},
    {"unicode11utf8", Encoding::kUtf8},
    {"unicode20utf8", Encoding::kUtf8},
    {"unicodefeff", Encoding::kUtf16Le},
    {"unicodefffe", Encoding::kUtf16Be},
    {"us-ascii", Encoding::kWindows1252},
    {"utf-16", Encoding::kUtf16Le},
    {"utf-16be", Encoding::kUtf16Be},
    {"utf-16le", Encoding::kUtf16Le},
    {"utf-8", Encoding::kUtf8},
    {"utf8", Encoding::kUtf8},
    {"visual", Encoding::kIso8859_8},
    {"windows-1250", Encoding::kWindows1250},
    {"windows-1251", Encoding::kWindows1251},
    {"windows-1252", Encoding::kWindows1252},
    {"windows-1253", Encoding::kWindows1253},
    {"windows-1254", Encoding::kWindows1254},
    {"windows-1255", Encoding::kWindows1255},
    {"windows-1256", Encoding::kWindows1256},
    {"windows-1257", Encoding::kWindows1257},
    {"windows-1258", Encoding::kWindows1258},
    {"windows-31j", Encoding::kShiftJis},
    {"windows-874", Encoding::kWindows874},
    {"windows-949", Encoding::kEucKr},
    {"x-cp1250", Encoding::kWindows1250},
    {"x-cp1251", Encoding::kWindows1251},
    {"x-cp1252", Encoding::kWindows1252},
    {"x-cp1253", Encoding::kWindows1253},
    {"x-cp1254", Encoding::kWindows1254},
    {"x-cp1255", Encoding::kWindows1255},
    {"x-cp1256", Encoding::kWindows1256},
    {"x-cp1257", Encoding::kWindows1257},
    {"x-cp1258", Encoding::kWindows1258},
    {"x-euc-jp", Encoding::kEucJp},
    {"x-gbk", Encoding::kGbk},
    {"x-mac-cyrillic", Encoding::kXMacCyrillic},
    {"x-mac-roman", Encoding::kMacintosh},
    {"x-mac-ukrainian", Encoding::kXMacCyrillic},
    {"x-sjis", Encoding::kShiftJis},
    {"x-unicode20utf8", Encoding::kUtf8},
    {"x-user-defined", Encoding::kXUserDefined},
    {"x-x-big5", Encoding::kBig5},
};

constexpr bool LabelsSorted() {
  for (size_t i = 1; i < std::size(kLabels); ++i)
    if (!(kLabels[i - 1].label < kLabels[i].label)) return false;
  return true;
}
static_assert(LabelsSorted(), "kLabels must stay sorted for binary search");

// Names in the order of Encoding.
constexpr std::string_view kNames[] = {
    "utf-8",        "utf-16le",     "utf-16be",     "ibm866",       "iso-8859-2",
    "iso-8859-3",   "iso-8859-4",   "iso-8859-5",   "iso-8859-6",   "iso-8859-7",
    "iso-8859-8",   "iso-8859-8-i", "iso-8859-10",  "iso-8859-13",  "iso-8859-14",
    "iso-8859-15",  "iso-8859-16",  "koi8-r",       "koi8-u",       "macintosh",
    "windows-874",  "windows-1250", "windows-1251", "windows-1252", "windows-1253",
    "windows-1254", "windows-1255", "windows-1256", "windows-1257", "windows-1258",
    "x-mac-cyrillic", "gbk",        "gb18030",      "big5",         "euc-jp",
    "iso-2022-jp",  "shift_jis",    "euc-kr",       "replacement",  "x-user-defined",
    "ibm437",
};
static_assert(std::size(kNames) == kEncodingCount);

bool IsAsciiWhitespace(uint8_t c) {
  return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// ---------------------------------------------------------------------------------------------
// The prescan of the HTML parser. It walks the bytes as markup: comments and tags other than
// META are skipped whole (their attributes read and dropped, so a quoted ">" does not end
// them), and each META's attributes are read until one settles the encoding. Running out of
// bytes anywhere stops the scan with no answer.

class Prescan {
 public:
  explicit Prescan(std::string_view bytes) : s_(bytes) {}

  std::optional<Encoding> Run();

 private:
  struct Attribute {
    std::string name, value;
  };

  bool AtEnd() const { return pos_ >= s_.size(); }
  uint8_t Byte() const { return static_cast<uint8_t>(s_[pos_]); }
  bool StartsWithIgnoringCase(std::string_view word) const;
  // Moves to the first `target` at or after the current byte; false when there is none.
  bool SkipTo(char target);
  // Reads one attribute; nothing at '>' (or the end of the bytes, which also sets ended_).
  std::optional<Attribute> GetAttribute();
  std::optional<Encoding> ReadMeta();

  std::string_view s_;
  size_t pos_ = 0;
  bool ended_ = false;
};

bool Prescan::StartsWithIgnoringCase(std::string_view word) const {
  if (s_.size() - pos_ < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (AsciiLower(s_[pos_ + i]) != word[i]) return false;
  return true;
}

bool Prescan::SkipTo(char target) {
  const size_t at = s_.find(target, pos_);
  if (at == std::string_view::npos) {
    pos_ = s_.size();
    ended_ = true;
    return false;
  }
  pos_ = at;
  return true;
}

std::optional<Prescan::Attribute> Prescan::GetAttribute() {
  auto run_out = [&]() -> std::optional<Attribute> {
    ended_ = true;
    return std::nullopt;
  };
  while (!AtEnd() && (IsAsciiWhitespace(Byte()) || Byte() == '/')) ++pos_;
  if (AtEnd()) return run_out();
  if (Byte() == '>') return std::nullopt;
  Attribute attribute;
  // The name: up to '=', whitespace, '/' or '>'. A '=' that starts the name is part of it.
  for (;; ++pos_) {
    if (AtEnd()) return run_out();
    const uint8_t c = Byte();
    if (c == '=' && !attribute.name.empty()) {
      ++pos_;
      break;
    }
    if (IsAsciiWhitespace(c)) {
      while (!AtEnd() && IsAsciiWhitespace(Byte())) ++pos_;
      if (AtEnd()) return run_out();
      if (Byte() != '=') return attribute;
      ++pos_;
      break;
    }
    if (c == '/' || c == '>') return attribute;
    attribute.name.push_back(AsciiLower(static_cast<char>(c)));
  }
  // The value: quoted, or up to whitespace or '>'.
  while (!AtEnd() && IsAsciiWhitespace(Byte())) ++pos_;
  if (AtEnd()) return run_out();
  const uint8_t first = Byte();
  if (first == '"' || first == '\'') {
    for (++pos_;; ++pos_) {
      if (AtEnd()) return run_out();
      if (Byte() == first) {
        ++pos_;
        return attribute;
      }
      attribute.value.push_back(AsciiLower(s_[pos_]));
    }
  }
  if (first == '>') return attribute;
  for (;; ++pos_) {
    if (AtEnd()) return run_out();
    if (IsAsciiWhitespace(Byte()) || Byte() == '>') return attribute;
    attribute.value.push_back(AsciiLower(s_[pos_]));
  }
}

// The encoding a CONTENT value such as "text/html; charset=koi8-r" names.
std::optional<Encoding> EncodingFromContent(std::string_view content) {
  size_t pos = 0;
  for (;;) {
    const size_t at = content.find("charset", pos);  // the value is already lower case
    if (at == std::string_view::npos) return std::nullopt;
    pos = at + 7;
    while (pos < content.size() && IsAsciiWhitespace(content[pos])) ++pos;
    if (pos >= content.size() || content[pos] != '=') continue;
    ++pos;
    while (pos < content.size() && IsAsciiWhitespace(content[pos])) ++pos;
    if (pos >= content.size()) return std::nullopt;
    const char first = content[pos];
    if (first == '"' || first == '\'') {
      const size_t close = content.find(first, pos + 1);
      if (close == std::string_view::npos) return std::nullopt;
      return EncodingForLabel(content.substr(pos + 1, close - pos - 1));
    }
    size_t end = pos;
    while (end < content.size() && !IsAsciiWhitespace(content[end]) && content[end] != ';') ++end;
    return EncodingForLabel(content.substr(pos, end - pos));
  }
}

std::optional<Encoding> Prescan::ReadMeta() {
  std::vector<std::string> seen;
  bool got_pragma = false;
  std::optional<bool> need_pragma;
  std::optional<Encoding> charset;
  while (std::optional<Attribute> attribute = GetAttribute()) {
    if (std::find(seen.begin(), seen.end(), attribute->name) != seen.end()) continue;
    seen.push_back(attribute->name);
    if (attribute->name == "http-equiv") {
      if (attribute->value == "content-type") got_pragma = true;
    } else if (attribute->name == "content") {
      if (!charset) {
        if (std::optional<Encoding> found = EncodingFromContent(attribute->value)) {
          charset = found;
          need_pragma = true;
        }
      }
    } else if (attribute->name == "charset") {
      charset = EncodingForLabel(attribute->value);
      need_pragma = false;
    }
  }
  if (ended_ || !need_pragma || (*need_pragma && !got_pragma) || !charset) return std::nullopt;
  if (*charset == Encoding::kUtf16Le || *charset == Encoding::kUtf16Be) return Encoding::kUtf8;
  if (*charset == Encoding::kXUserDefined) return Encoding::kWindows1252;
  return charset;
}

std::optional<Encoding> Prescan::Run() {
  for (; !ended_ && !AtEnd(); ++pos_) {
    if (Byte() != '<') continue;
    if (StartsWithIgnoringCase("<!--")) {
      // To the first '>' preceded by "--"; the dashes of "<!--" count, so "<!-->" ends here.
      const size_t end = s_.find("-->", pos_ + 2);
      if (end == std::string_view::npos) return std::nullopt;
      pos_ = end + 2;
      continue;
    }
    if (StartsWithIgnoringCase("<meta") && s_.size() - pos_ > 5 &&
        (IsAsciiWhitespace(static_cast<uint8_t>(s_[pos_ + 5])) || s_[pos_ + 5] == '/')) {
      pos_ += 6;
      if (std::optional<Encoding> found = ReadMeta()) return found;
      if (ended_) return std::nullopt;
      continue;  // on the '>' that ended the META
    }
    const bool end_tag = s_.size() - pos_ > 1 && s_[pos_ + 1] == '/';
    const size_t letter_at = pos_ + (end_tag ? 2 : 1);
    if (letter_at < s_.size() && ((s_[letter_at] | 0x20) >= 'a' && (s_[letter_at] | 0x20) <= 'z')) {
      // Another tag: to the end of its name, then its attributes.
      pos_ = letter_at;
      while (!AtEnd() && !IsAsciiWhitespace(Byte()) && Byte() != '>') ++pos_;
      if (AtEnd()) return std::nullopt;
      while (GetAttribute()) {
      }
      if (ended_) return std::nullopt;
      continue;
    }
    if (StartsWithIgnoringCase("<!") || end_tag || StartsWithIgnoringCase("<?")) {
      if (!SkipTo('>')) return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<Encoding> EncodingForLabel(std::string_view label) {
  while (!label.empty() && IsAsciiWhitespace(static_cast<uint8_t>(label.front()))) label.remove_prefix(1);
  while (!label.empty() && IsAsciiWhitespace(static_cast<uint8_t>(label.back()))) label.remove_suffix(1);
  char lower[24];
  if (label.empty() || label.size() > sizeof lower) return std::nullopt;
  for (size_t i = 0; i < label.size(); ++i) lower[i] = AsciiLower(label[i]);
  const std::string_view key(lower, label.size());
  const auto it = std::lower_bound(std::begin(kLabels), std::end(kLabels), key,
                                   [](const Label& entry, std::string_view k) { return entry.label < k; });
  if (it == std::end(kLabels) || it->label != key) return std::nullopt;
  return it->encoding;
}

std::string_view EncodingName(Encoding encoding) { return kNames[static_cast<size_t>(encoding)]; }

bool IsSingleByteEncoding(Encoding encoding) {
  return (encoding >= Encoding::kIbm866 && encoding <= Encoding::kXMacCyrillic) ||
         encoding == Encoding::kXUserDefined || encoding == Encoding::kIbm437;
}

Encoding OutputEncoding(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be:
    case Encoding::kReplacement:
      return Encoding::kUtf8;
    default:
      return encoding;
  }
}

std::optional<ByteOrderMark> FindByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return ByteOrderMark{Encoding::kUtf8, 3};
  if (bytes.starts_with("\xFF\xFE")) return ByteOrderMark{Encoding::kUtf16Le, 2};
  if (bytes.starts_with("\xFE\xFF")) return ByteOrderMark{Encoding::kUtf16Be, 2};
  return std::nullopt;
}

std::optional<Encoding> PrescanMetaEncoding(std::string_view bytes) {
  return Prescan(bytes.substr(0, kPrescanBytes)).Run();
}

bool LooksLikeUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const uint8_t* const end = p + bytes.size();
  bool multi_byte = false;
  while (p < end) {
    // Eight ASCII bytes at a time while they last.
    while (end - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      if (word & 0x8080808080808080ull) break;
      p += 8;
    }
    if (p == end) break;
    const Utf8Step step = ScanUtf8(p, end);
    if (!step.valid) return false;
    multi_byte |= step.length > 1;
    p += step.length;
  }
  return multi_byte;
}

Encoding SniffPageEncoding(std::string_view bytes) {
  if (std::optional<ByteOrderMark> mark = FindByteOrderMark(bytes)) return mark->encoding;
  if (std::optional<Encoding> declared = PrescanMetaEncoding(bytes)) return *declared;
  return LooksLikeUtf8(bytes) ? Encoding::kUtf8 : Encoding::kWindows1252;
}

}  // namespace brisomel
