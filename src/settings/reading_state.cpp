#include "settings/reading_state.h"

#include <algorithm>
#include <vector>

#include "settings/key_value_text.h"
#include "text/utf.h"

namespace brisomel {
namespace {

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

// A value that is exactly an integer in [low, high].
std::optional<int> Integer(const std::vector<KeyValue>& pairs, std::string_view key, int low,
                           int high) {
  const std::string* text = FindValue(pairs, key);
  long long value = 0;
  if (text == nullptr || !ParseInteger(*text, low, high, &value)) return std::nullopt;
  return static_cast<int>(value);
}

bool Fits(const WindowPlacement& w) {
  auto coordinate = [](int value) {
    return value >= -kMaxWindowCoordinate && value <= kMaxWindowCoordinate;
  };
  auto side = [](int value) { return value >= 1 && value <= kMaxWindowSide; };
  return coordinate(w.left) && coordinate(w.top) && side(w.width) && side(w.height);
}

std::optional<WindowPlacement> Window(const std::vector<KeyValue>& pairs) {
  const std::string* text = FindValue(pairs, "window");
  if (text == nullptr) return std::nullopt;
  std::vector<std::string_view> parts;
  std::string_view rest = *text;
  for (size_t comma; (comma = rest.find(',')) != std::string_view::npos;) {
    parts.push_back(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
  }
  parts.push_back(rest);
  long long values[4];
  for (size_t i = 0; i < 4; ++i) {
    if (parts.size() != 4 ||
        !ParseInteger(parts[i], -kMaxWindowCoordinate, kMaxWindowCoordinate, &values[i])) {
      return std::nullopt;
    }
  }
  WindowPlacement window{int(values[0]), int(values[1]), int(values[2]), int(values[3])};
  if (!Fits(window)) return std::nullopt;
  window.maximized = Integer(pairs, "maximized", 0, 1).value_or(0) == 1;
  window.full_screen = Integer(pairs, "fullscreen", 0, 1).value_or(0) == 1;
  return window;
}

}  // namespace

std::string WriteReadingState(const ReadingState& state) {
  std::vector<KeyValue> pairs;
  if (IsPageInBook(state.page)) {
    pairs.push_back({"page", Utf16ToUtf8(state.page)});
    pairs.push_back({"scroll", std::to_string(state.scroll < 0 ? 0 : state.scroll)});
  }
  pairs.push_back({"zoom", std::to_string(std::clamp(state.zoom, kMinZoom, kMaxZoom))});
  if (state.window && Fits(*state.window)) {
    const WindowPlacement& w = *state.window;
    pairs.push_back({"window", std::to_string(w.left) + "," + std::to_string(w.top) + "," +
                                   std::to_string(w.width) + "," + std::to_string(w.height)});
    pairs.push_back({"maximized", w.maximized ? "1" : "0"});
    pairs.push_back({"fullscreen", w.full_screen ? "1" : "0"});
  }
  return WriteKeyValues("Brisomel reading state", pairs);
}

ReadingState ReadReadingState(std::string_view bytes) {
  ReadingState state;
  std::vector<KeyValue> pairs = ReadKeyValues(bytes);
  const std::string* page = FindValue(pairs, "page");
  if (page != nullptr && IsUtf8(*page)) {
    std::u16string text = Utf8ToUtf16(*page);
    if (IsPageInBook(text)) {
      state.page = std::move(text);
      state.scroll = Integer(pairs, "scroll", 0, INT32_MAX).value_or(0);
    }
  }
  state.zoom = Integer(pairs, "zoom", kMinZoom, kMaxZoom).value_or(kDefaultZoom);
  state.window = Window(pairs);
  return state;
}

bool IsPageInBook(std::u16string_view page) {
  if (page.empty() || page.size() > kMaxSettingsLine) return false;
  size_t start = 0;
  while (start <= page.size()) {
    size_t end = start;
    while (end < page.size() && !IsSeparator(page[end])) ++end;
    std::u16string_view step = page.substr(start, end - start);
    if (step.empty() || step == u"." || step == u"..") return false;
    for (char16_t c : step) {
      if (c < 0x20 || c == u':') return false;
    }
    start = end + 1;
  }
  return true;
}

std::u16string PageRelativeToBook(std::u16string_view book_folder, std::u16string_view full_path) {
  if (book_folder.empty() || full_path.size() <= book_folder.size()) return {};
  for (size_t i = 0; i < book_folder.size(); ++i) {
    char16_t a = book_folder[i], b = full_path[i];
    bool same = IsSeparator(a) ? IsSeparator(b) : FoldAscii(a) == FoldAscii(b);
    if (!same) return {};
  }
  std::u16string page(full_path.substr(book_folder.size()));
  for (char16_t& c : page) {
    if (c == u'\\') c = u'/';
  }
  return IsPageInBook(page) ? page : std::u16string();
}

std::u16string PageInBook(std::u16string_view book_folder, std::u16string_view page,
                          char16_t separator) {
  if (!IsPageInBook(page)) return {};
  std::u16string path(book_folder);
  for (char16_t c : page) path += IsSeparator(c) ? separator : c;
  return path;
}

}  // namespace brisomel
