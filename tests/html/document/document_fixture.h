// A document on the deterministic test font for layout tests. At base size 12 (16-pixel em)
// every character is 8 pixels wide and a line of text is 22 pixels high with descent 4.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/document/section_list.h"
#include "html/document/simple_sections.h"
#include "html/document/text_section.h"
#include "html/images/image_module.h"
#include "platform/headless/no_files.h"
#include "platform/headless/recording_system.h"
#include "platform/headless/software_canvas.h"
#include "text/utf.h"

namespace brisomel::test {

// Attributes as the tokenizer gives them: the value is the leading integer of the text.
inline TAttributeList Attrs(std::initializer_list<std::pair<TSymbol, std::string>> items) {
  TAttributeList list;
  for (const auto& [symbol, text] : items) {
    int32_t value = static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
    list.Add(std::make_unique<TAttribute>(symbol, Utf8ToUtf16(text), value));
  }
  return list;
}

struct DocFixture {
  SoftwareCanvas screen{8, 8};
  RecordingSystem system;
  TImageModule module{24};
  NoFiles files;
  std::map<std::string, Bitmap> pictures;  // what the bitmap request answers, by source
  TSectionList list{TDocumentServices{&screen, &system, &module, &files}};
  TMyFont font;

  DocFixture() {
    list.ImageHandlers.bitmap_request = [this](const std::string& source, int32_t&) {
      auto it = pictures.find(source);
      return it == pictures.end() ? nullptr : std::make_unique<Bitmap>(it->second);
    };
    font.SetName(list.FontName);
    font.SetRelSize(list, 12);
  }

  // A paragraph with its text (UTF-8), added to the document.
  TSection& Para(const std::string& text, uint8_t justify = 1) {
    auto s = std::make_unique<TSection>(list, 0, justify, nullptr, font);
    s->AddText(Utf8ToUtf16(text));
    TSection& ref = *s;
    list.Add(std::move(s));
    return ref;
  }
  // A section to fill by hand; added when Add is called.
  std::unique_ptr<TSection> Section(uint8_t justify = 1) {
    return std::make_unique<TSection>(list, 0, justify, nullptr, font);
  }
  template <typename T>
  T& Add(std::unique_ptr<T> section) {
    T& ref = *section;
    list.Add(std::move(section));
    return ref;
  }
  std::string Layout(int width) {
    height = list.DoLayout(screen, width);
    return DumpLayout(list);
  }
  int32_t height = 0;
};

}  // namespace brisomel::test
