// What a form control costs against a line of text: a page of 5,000 controls of every kind and
// a page of 5,000 lines of text, each parsed, laid out at width 800 and painted once, with the
// in-memory controls and the test font; and a SELECT of 100,000 options. Prints
//   PER_ITEM form_control <microseconds per control> text_line <microseconds per line> <ratio>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench_report.h"
#include "html/document/document_builder.h"
#include "html/document/section_list.h"
#include "platform/headless/glyph_source.h"
#include "platform/headless/memory_controls.h"
#include "platform/headless/software_canvas.h"

namespace {

using namespace brisomel;

constexpr int kItems = 5000;

std::string ControlsPage() {
  std::string page = "<FORM>";
  const char* const kControls[] = {"<INPUT NAME=e VALUE=v>",
                                   "<INPUT TYPE=checkbox NAME=c>",
                                   "<INPUT TYPE=radio NAME=r>",
                                   "<INPUT TYPE=submit>",
                                   "<SELECT NAME=s><OPTION>a<OPTION>b</SELECT>",
                                   "<TEXTAREA NAME=t>x</TEXTAREA>"};
  for (int i = 0; i < kItems; ++i) page += std::string(kControls[i % 6]) + "<BR>";
  return page + "</FORM>";
}

std::string TextPage() {
  std::string page;
  for (int i = 0; i < kItems; ++i) page += "A line of text with a few words in it<BR>";
  return page;
}

std::string SelectPage() {
  std::string page = "<SELECT NAME=s>";
  for (int i = 0; i < 100000; ++i) page += "<OPTION>Option " + std::to_string(i);
  return page + "</SELECT>";
}

void Open(benchmark::State& state, const std::string& page) {
  static auto glyphs = std::make_shared<TestGlyphSource>();
  SoftwareCanvas screen(1, 1, glyphs);
  SoftwareCanvas canvas(820, 600, glyphs);
  for (auto _ : state) {
    MemoryControls controls;
    TDocumentServices services;
    services.Screen = &screen;
    services.WindowControls = &controls;
    TSectionList list(services);
    TDocumentParser parser(list);
    parser.Parser.ParseHtmlBuffer(page.data(), page.size());
    list.DoLayout(screen, 800);
    list.Paint(canvas, Rect{0, 0, 820, 600}, 800, 10, 5);
    benchmark::DoNotOptimize(list.FormControls.size());
  }
}

void BM_Controls(benchmark::State& state) { Open(state, ControlsPage()); }
void BM_TextLines(benchmark::State& state) { Open(state, TextPage()); }
void BM_Select100000(benchmark::State& state) { Open(state, SelectPage()); }
BENCHMARK(BM_Controls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Select100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  brisomel::bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  auto control = reporter.real.find("BM_Controls"), line = reporter.real.find("BM_TextLines");
  if (control != reporter.real.end() && line != reporter.real.end() && line->second > 0) {
    // Accumulated times are in seconds.
    const double per_control = control->second * 1e6 / kItems,
                 per_line = line->second * 1e6 / kItems;
    std::printf("PER_ITEM form_control %.2f text_line %.2f %.1f\n", per_control, per_line,
                per_control / per_line);
  }
  return 0;
}
