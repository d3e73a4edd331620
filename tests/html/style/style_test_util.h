// Helpers for the style tests: elements written compactly, pushed from UTF-8 strings.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "html/style/style_engine.h"
#include "text/utf.h"

namespace brisomel::test {

inline std::u16string U(const std::string& text) { return Utf8ToUtf16(text); }

struct El {
  std::string tag;
  std::vector<std::pair<std::string, std::string>> attributes = {};
  std::string hints = {};
};

inline const ComputedStyle& Push(StyleEngine& engine, const El& element) {
  const std::u16string tag = U(element.tag), hints = U(element.hints);
  std::vector<std::pair<std::u16string, std::u16string>> texts;
  for (const auto& [name, value] : element.attributes) texts.emplace_back(U(name), U(value));
  std::vector<StyleAttribute> attributes;
  for (const auto& [name, value] : texts) attributes.push_back({name, value});
  return engine.Push({tag, attributes, hints});
}

// An element written as in a selector: tag, then #id, .class and [name=value] or [name] in
// any order ("p#x.a.b[title=t]").
inline El Parse(const std::string& text) {
  El element;
  size_t i = 0;
  while (i < text.size() && text[i] != '#' && text[i] != '.' && text[i] != '[') ++i;
  element.tag = text.substr(0, i);
  std::string classes;
  while (i < text.size()) {
    const char kind = text[i++];
    const size_t end = text.find_first_of(kind == '[' ? "]" : "#.[", i);
    const std::string part = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
    i = end == std::string::npos ? text.size() : end + (kind == '[');
    if (kind == '#') {
      element.attributes.push_back({"id", part});
    } else if (kind == '.') {
      classes += classes.empty() ? part : " " + part;
    } else {
      const size_t eq = part.find('=');
      element.attributes.push_back(
          {part.substr(0, eq), eq == std::string::npos ? "" : part.substr(eq + 1)});
    }
  }
  if (!classes.empty()) element.attributes.push_back({"class", classes});
  return element;
}

// Pushes a path of elements separated by " > " (root first) and returns the last one's style.
inline const ComputedStyle& PushPath(StyleEngine& engine, const std::string& path) {
  const ComputedStyle* style = &engine.Current();
  for (size_t start = 0;;) {
    const size_t end = path.find(" > ", start);
    style = &Push(engine, Parse(path.substr(start, end == std::string::npos ? end : end - start)));
    if (end == std::string::npos) return *style;
    start = end + 3;
  }
}

}  // namespace brisomel::test
