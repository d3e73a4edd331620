// Fuzzes image map areas: AREA attributes read by the tokenizer and shapes built directly from
// fuzzed coordinates, then hit tests at fuzzed points.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "html/reader/image_map.h"
#include "html/reader/tokenizer.h"
#include "text/utf.h"

using namespace brisomel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  TMapItem map;
  const int direct_areas = input.ConsumeIntegralInRange<int>(0, 4);
  for (int i = 0; i < direct_areas; ++i) {
    TAttributeList attributes;
    static const char* kShapes[] = {"rect", "circle", "poly", "polygon", "default", "CIRC"};
    attributes.Add(std::make_unique<TAttribute>(
        symShape, AsciiToUtf16(kShapes[input.ConsumeIntegralInRange<int>(0, 5)]), 0));
    std::string coords;
    const int count = input.ConsumeIntegralInRange<int>(0, 12);
    for (int j = 0; j < count; ++j) coords += std::to_string(input.ConsumeIntegral<int32_t>()) + ",";
    attributes.Add(std::make_unique<TAttribute>(symCoords, AsciiToUtf16(coords), 0));
    if (input.ConsumeBool()) attributes.Add(std::make_unique<TAttribute>(symHref, u"h", 0));
    if (input.ConsumeBool()) attributes.Add(std::make_unique<TAttribute>(symNohref, u"", 0));
    map.AddArea(attributes);
  }
  std::vector<std::pair<int32_t, int32_t>> points(input.ConsumeIntegralInRange<size_t>(0, 8));
  for (auto& p : points) p = {input.ConsumeIntegral<int32_t>(), input.ConsumeIntegral<int32_t>()};

  const std::string html = input.ConsumeBytesAsString(input.remaining_bytes());
  (void)TMapItem::ParseCoords(Utf8ToUtf16(html));
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  try {
    tokenizer.Advance();
    for (tokenizer.NextSymbol(); tokenizer.Symbol != symEof; tokenizer.NextSymbol())
      if (tokenizer.Symbol == symArea) map.AddArea(tokenizer.Attributes);
  } catch (const EParseError&) {
  }

  for (const auto& [x, y] : points) {
    auto link = map.Hit(x, y);
    if (link && link->Url.empty()) abort();  // a hit always carries a link
  }
  return 0;
}
