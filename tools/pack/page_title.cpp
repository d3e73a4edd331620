#include "pack/page_title.h"

#include "html/reader/entities.h"
#include "platform/charset.h"
#include "settings/book_settings.h"
#include "settings/key_value_text.h"
#include "text/encoding.h"
#include "text/utf.h"

namespace brisomel::pack {
namespace {

// "&thetasym;" and "&#x10FFFF;" fit; a longer run after '&' is no reference.
constexpr size_t kLongestReference = 12;
// More of a title than a caption could ever show is not read.
constexpr size_t kMaxTitleText = 4096;

// The characters of Windows-1252's bytes 0x80..0x9F; the five it leaves undefined stand for
// the control characters of the same number, as browsers read them.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The first kTitleScanBytes bytes of the page as text, in the encoding the reader finds for the
// whole page (byte-order mark, META charset, UTF-8 sniff, else windows-1252).
std::u16string Decode(std::string_view whole) {
  std::u16string text = DecodeBytes(whole.substr(0, kTitleScanBytes), SniffPageEncoding(whole));
  if (!text.empty() && text[0] == u'\xFEFF') text.erase(0, 1);
  return text;
}

char16_t FoldUnit(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

// Where `word` (lower-case ASCII) starts in `text` from `from`, ASCII case folded, or npos.
size_t FindFolded(const std::u16string& text, std::u16string_view word, size_t from) {
  for (size_t at = from; at + word.size() <= text.size(); ++at) {
    size_t k = 0;
    while (k < word.size() && FoldUnit(text[at + k]) == word[k]) ++k;
    if (k == word.size()) return at;
  }
  return std::u16string::npos;
}

// `text` with its character references replaced; references without a ';' stay as written.
std::u16string ReplaceReferences(std::u16string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    size_t end = text[i] == u'&' ? text.substr(0, i + kLongestReference).find(u';', i)
                                 : std::u16string_view::npos;
    if (end == std::u16string_view::npos) {
      out += text[i];
      continue;
    }
    std::string name = Utf16ToUtf8(text.substr(i + 1, end - i - 1));
    int64_t code = -1;
    if (name.size() > 1 && name[0] == '#') {
      bool hex = name[1] == 'x' || name[1] == 'X';
      std::string digits = name.substr(hex ? 2 : 1);
      code = digits.empty() || digits.size() > 7 ||
                     digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                         std::string::npos
                 ? -1
                 : std::stoll(digits, nullptr, hex ? 16 : 10);
      if (code >= 0x80 && code < 0xA0) code = kWindows1252High[code - 0x80];
      if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = 0xFFFD;
    } else {
      code = EntityCodePoint(name);
    }
    if (code < 0) {
      out += text[i];
      continue;
    }
    AppendUtf16(out, static_cast<char32_t>(code));
    i = end;
  }
  return out;
}

}  // namespace

std::u16string PageTitle(std::string_view page) {
  std::u16string text = Decode(page);
  for (size_t open = FindFolded(text, u"<title", 0); open != std::u16string::npos;
       open = FindFolded(text, u"<title", open + 1)) {
    size_t after = open + 6;
    if (after < text.size() && text[after] != u'>' && text[after] > u' ' && text[after] != u'/') {
      continue;  // <titles> or another tag that only starts alike
    }
    size_t start = text.find(u'>', open);
    if (start == std::u16string::npos) return {};
    size_t end = FindFolded(text, u"</title", start);
    std::u16string_view inner = std::u16string_view(text).substr(
        start + 1, end == std::u16string::npos ? end : end - start - 1);
    return CleanTitle(ReplaceReferences(inner.substr(0, kMaxTitleText)));
  }
  return {};
}

}  // namespace brisomel::pack
