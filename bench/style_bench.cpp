// Style matching over a generated page: a 5 MB page's worth of elements (sections, headings,
// paragraphs with spans, links and code, a sidebar list) pushed and popped through the style
// engine against a sheet of class and descendant rules. Shows that matching is linear in the
// elements and nearly flat in the number of rules, where matching every rule against every
// element (the "all rules" runs) grows with both.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "html/style/style_engine.h"
#include "speedup.h"
#include "text/utf.h"

namespace {

using namespace brisomel;

constexpr size_t kPageBytes = 5 << 20;
constexpr int kClasses = 100;
constexpr int kSections = 20;

uint32_t Random(uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  return (seed >> 16) & 0x7FFF;
}

// One push (with its tag, id and class) or a pop.
struct Op {
  bool push;
  std::u16string tag, id, classes;
};

// The elements of a page of about `bytes` of markup (counting tags, attributes and 40
// characters of text per element).
std::vector<Op> MakePage(size_t bytes) {
  std::vector<Op> ops;
  size_t size = 0;
  uint32_t seed = 7;
  auto push = [&](const char* tag, std::string classes, std::string id = {}) {
    ops.push_back({true, AsciiToUtf16(tag), AsciiToUtf16(id), AsciiToUtf16(classes)});
    size += 2 * std::string(tag).size() + 5 + (classes.empty() ? 0 : classes.size() + 9) +
            (id.empty() ? 0 : id.size() + 6) + 40;
  };
  auto pop = [&] { ops.push_back({false, {}, {}, {}}); };
  auto c = [&] { return std::string("c") + std::to_string(Random(seed) % kClasses); };
  push("html", "");
  push("body", "");
  for (int section = 0; size < bytes; ++section) {
    push("div", std::string("section s") + std::to_string(section % kSections),
         std::string("id") + std::to_string(section));
    push("h2", c());
    push("a", "headerlink");
    pop();
    pop();
    for (int p = 0; p < 4; ++p) {
      push("p", c());
      for (int inline_element = 0; inline_element < 6; ++inline_element) {
        const uint32_t r = Random(seed) % 4;
        push(r == 0 ? "span" : r == 1 ? "a" : r == 2 ? "code" : "em", r == 3 ? "" : c());
        if (r == 0) {
          push("span", c());
          pop();
        }
        pop();
      }
      pop();
    }
    push("div", "highlight");
    push("pre", "");
    for (int line = 0; line < 5; ++line) {
      push("span", c());
      pop();
    }
    pop();
    pop();
    pop();
  }
  push("div", "sidebar");
  push("ul", "");
  for (int item = 0; item < 50; ++item) {
    push("li", c());
    push("a", "reference");
    pop();
    pop();
  }
  return ops;
}

// `count` rules: classes alone, classes under sections, child rules, type rules under
// classes, and rules under ids.
std::u16string MakeSheet(int count) {
  std::string css;
  uint32_t seed = 11;
  auto c = [&] { return std::string(".c") + std::to_string(Random(seed) % kClasses); };
  auto s = [&] { return std::string(".s") + std::to_string(Random(seed) % kSections); };
  for (int i = 0; i < count; ++i) {
    switch (i % 10) {
      case 0:
      case 1:
      case 2:
      case 3:
        css += c() + " { color: #" + std::to_string(100000 + i) + " }\n";
        break;
      case 4:
      case 5:
      case 6:
        css += s() + " " + c() + " { margin-left: " + std::to_string(i % 30) + "px }\n";
        break;
      case 7:
        css += "div" + s() + " > p" + c() + " { font-weight: bold }\n";
        break;
      case 8:
        css += s() + " span { font-style: italic }\n";
        break;
      case 9:
        css += std::string("#id") + std::to_string(i) + " a { text-decoration: none }\n";
        break;
    }
  }
  return AsciiToUtf16(css);
}

const std::vector<Op>& Page(int quarters) {
  static std::vector<Op> pages[5];
  if (pages[quarters].empty()) pages[quarters] = MakePage(kPageBytes / 4 * quarters);
  return pages[quarters];
}

size_t RunEngine(const std::vector<Op>& ops, const std::u16string& sheet) {
  StyleEngine engine;
  engine.AddSheet(sheet);
  size_t checksum = 0;
  std::vector<StyleAttribute> attributes;
  for (const Op& op : ops) {
    if (!op.push) {
      engine.Pop();
      continue;
    }
    attributes.clear();
    if (!op.id.empty()) attributes.push_back({u"id", op.id});
    if (!op.classes.empty()) attributes.push_back({u"class", op.classes});
    checksum += engine.Push({op.tag, attributes, {}}).font_weight;
  }
  return checksum + engine.StyleCount();
}

// Every selector of the sheet tried on every element: what matching costs without the index.
size_t RunAllRules(const std::vector<Op>& ops, const std::u16string& sheet) {
  StyleAtoms atoms;
  const StyleMedia media;
  const auto rules = ReadStyleSheet(sheet, {}, {atoms, media, nullptr});
  std::vector<SelectorSubject> stack;
  size_t matches = 0;
  for (const Op& op : ops) {
    if (!op.push) {
      stack.pop_back();
      continue;
    }
    SelectorSubject& subject = stack.emplace_back();
    subject.tag = atoms.Find(op.tag);
    subject.id = op.id.empty() ? 0 : atoms.Find(op.id);
    for (size_t i = 0; i < op.classes.size();) {
      size_t j = op.classes.find(u' ', i);
      if (j == std::u16string::npos) j = op.classes.size();
      if (uint32_t atom = atoms.Find(std::u16string_view(op.classes).substr(i, j - i)))
        subject.classes.push_back(atom);
      i = j + 1;
    }
    for (const auto& rule : rules)
      for (const ComplexSelector& selector : rule->selectors)
        matches += MatchesSelector(selector, stack);
  }
  return matches;
}

void BM_Style(benchmark::State& state) {
  const std::vector<Op>& ops = Page(static_cast<int>(state.range(1)));
  const std::u16string sheet = MakeSheet(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(RunEngine(ops, sheet));
  state.counters["elements"] = static_cast<double>(ops.size() / 2);
}
BENCHMARK(BM_Style)->Args({50, 4})->Args({200, 4})->Args({800, 4})->Args({200, 1})->Unit(
    benchmark::kMillisecond);

void BM_StyleAllRules(benchmark::State& state) {
  const std::vector<Op>& ops = Page(static_cast<int>(state.range(1)));
  const std::u16string sheet = MakeSheet(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(RunAllRules(ops, sheet));
}
BENCHMARK(BM_StyleAllRules)
    ->Args({50, 4})
    ->Args({200, 4})
    ->Args({800, 4})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  brisomel::bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // Processor time in milliseconds, the unit the benchmarks report in.
  auto time = [&](const std::string& name) {
    auto it = reporter.seconds.find(name);
    return it == reporter.seconds.end() ? -1.0 : it->second;
  };
  const double elements = static_cast<double>(Page(4).size() / 2);
  const double at200 = time("BM_Style/200/4");
  if (at200 > 0) {
    std::printf("style: %.0f elements of a 5 MB page, 200 rules: %.1f ms, %.0f ns per element\n",
                elements, at200, at200 / elements * 1e6);
    std::printf("style: 4x the rules (800): time x%.2f; all rules tried: time x%.2f\n",
                time("BM_Style/800/4") / at200,
                time("BM_StyleAllRules/800/4") / time("BM_StyleAllRules/200/4"));
    std::printf("style: 4x the page (1.25 -> 5 MB): time x%.2f\n", at200 / time("BM_Style/200/1"));
    std::printf("style: the index against all rules tried, 200 rules: %.1fx faster\n",
                time("BM_StyleAllRules/200/4") / at200);
  }
  return 0;
}
