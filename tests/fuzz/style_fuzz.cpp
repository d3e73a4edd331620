// Fuzzes the style module: a sheet (with imports served from fuzzed sheets, cycles included),
// STYLE attributes and hints, and a stream of element pushes and pops through the cascade.
// Checks that every pushed element gets a style with a family list, that the stack depth
// follows the pushes, and that the text forms can be written.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "html/style/style_engine.h"
#include "text/utf.h"

namespace {

using namespace brisomel;

// Text as UTF-8, or as raw UTF-16 code units so that unpaired surrogates reach the tokenizer.
std::u16string Text(const std::string& bytes, bool utf16) {
  if (!utf16) return Utf8ToUtf16(bytes);
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                         static_cast<uint8_t>(bytes[i + 1]) << 8));
  return text;
}

constexpr const char16_t* kTags[] = {u"html", u"body", u"div",   u"p",  u"span", u"a",
                                     u"ul",   u"li",   u"table", u"td", u"pre",  u"h1"};
constexpr const char16_t* kNames[] = {u"id", u"class", u"style", u"href", u"title", u"lang"};
constexpr const char16_t* kValues[] = {u"a", u"b c", u"x", u"note", u"en-GB", u"#"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const uint8_t flags = input.ConsumeIntegral<uint8_t>();
  const bool utf16 = flags & 1;
  std::vector<std::u16string> imports(input.ConsumeIntegralInRange<size_t>(0, 3));
  for (auto& sheet : imports) sheet = Text(input.ConsumeRandomLengthString(256), utf16);
  const std::u16string inline_style = Text(input.ConsumeRandomLengthString(128), utf16);
  const std::u16string media = Text(input.ConsumeRandomLengthString(32), utf16);
  const std::string ops = input.ConsumeRandomLengthString(256);
  const std::u16string sheet = Text(input.ConsumeRemainingBytesAsString(), utf16);

  StyleMedia medium;
  medium.printing = flags & 2;
  medium.viewport_width = flags & 4 ? 400 : 1024;
  StyleEngine engine({}, medium, flags & 8);
  engine.SetLoader([&](std::u16string_view url, std::u16string_view, std::u16string& text,
                       std::u16string& location) {
    if (imports.empty()) return false;
    text = imports[url.size() % imports.size()];
    location = std::u16string(url);
    return true;
  });
  engine.AddSheet(sheet, u"top.css", media);
  (void)engine.DescribeRules();

  size_t depth = 0;
  for (size_t i = 0; i < ops.size(); ++i) {
    const uint8_t op = static_cast<uint8_t>(ops[i]);
    if (op % 4 == 0) {
      engine.Pop();
      if (depth > 0) --depth;
      continue;
    }
    std::vector<StyleAttribute> attributes;
    for (int a = 0; a < op % 4; ++a) {
      const uint8_t pick = static_cast<uint8_t>(op + a * 37);
      const bool style = kNames[pick % 6] == std::u16string_view(u"style");
      attributes.push_back({kNames[pick % 6], style ? std::u16string_view(inline_style)
                                                    : std::u16string_view(kValues[pick / 6 % 6])});
    }
    const StyleElement element{kTags[op / 4 % 12], attributes,
                               op & 0x80 ? std::u16string_view(inline_style) : u""};
    const ComputedStyle& style = engine.Push(element);
    ++depth;
    if (!style.font_family || engine.Depth() != depth) abort();
    (void)engine.Describe(style);
    if (op % 13 == 0) engine.AddSheet(inline_style);
  }
  (void)ParseStyleDeclarations(inline_style);
  (void)MediaListMatches(media, medium);
  return 0;
}
