#include "settings/book_settings.h"

#include "settings/key_value_text.h"
#include "text/utf.h"

namespace brisomel {
namespace {

constexpr char kTitleKey[] = "title";

// White space and the C0 and C1 controls, DEL and the Unicode line and paragraph separators.
bool IsSpaceOrControl(char16_t c) {
  return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x2028 || c == 0x2029 || c == 0x3000 ||
         c == 0xFEFF;
}

bool HasControl(std::u16string_view text) {
  for (char16_t c : text) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return true;
  }
  return false;
}

}  // namespace

std::u16string CleanTitle(std::u16string_view text) {
  std::u16string title;
  bool space = false;
  for (char16_t c : text) {
    if (IsSpaceOrControl(c)) {
      space = !title.empty();
      continue;
    }
    if (space) title += u' ';
    space = false;
    title += c;
  }
  if (title.size() > kMaxTitleLength) {
    size_t cut = kMaxTitleLength;
    if (IsLowSurrogate(title[cut]) && IsHighSurrogate(title[cut - 1])) --cut;
    title.resize(cut);
    while (!title.empty() && title.back() == u' ') title.pop_back();
  }
  return title;
}

std::string WriteBookSettings(const BookSettings& settings) {
  std::vector<KeyValue> pairs;
  std::u16string title = CleanTitle(settings.title);
  if (!title.empty()) pairs.push_back({kTitleKey, Utf16ToUtf8(title)});
  return WriteKeyValues("Brisomel book settings", pairs);
}

BookSettings ReadBookSettings(std::string_view bytes) {
  BookSettings settings;
  std::vector<KeyValue> pairs = ReadKeyValues(bytes);
  if (const std::string* title = FindValue(pairs, kTitleKey); title != nullptr && IsUtf8(*title)) {
    std::u16string text = Utf8ToUtf16(*title);
    if (text.size() <= kMaxTitleLength && !HasControl(text)) settings.title = CleanTitle(text);
  }
  return settings;
}

}  // namespace brisomel
