// Parse and lay out generated 5 MB pages with 200 tables at width 800 (one in English, one of
// Chinese and Russian text in UTF-8; the English one also zoomed to 200%), against litehtml with a
// container of the same fixed font metrics (the test font: every character advances (em + 1) / 2
// pixels, plus 1 when bold; cell height em + em / 4). Time per page, and peak memory measured in a
// fresh process per engine (its peak resident set less that of a process that only makes the
// page, so that every allocator the engine uses is counted).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "html/document/document_builder.h"
#include "layout_page.h"
#include "platform/headless/glyph_source.h"
#include "platform/headless/software_canvas.h"

namespace {

using brisomel::bench::CjkPage;
using brisomel::bench::kWidth;
using brisomel::bench::LitehtmlEngine;
using brisomel::bench::Page;

// --- Brisomel ---

struct BrisomelEngine {
  std::shared_ptr<brisomel::GlyphSource> glyphs = std::make_shared<brisomel::TestGlyphSource>();
  brisomel::SoftwareCanvas canvas{1, 1, glyphs};

  int zoom = 100;

  int32_t Run(const std::string& page) {
    brisomel::TDocumentServices services;
    services.Screen = &canvas;
    brisomel::TSectionList list(services);
    list.Zoom = zoom;
    brisomel::TDocumentParser parser(list);
    parser.Parser.ParseHtmlBuffer(page.data(), page.size());
    return list.DoLayout(canvas, kWidth);
  }
};

void BM_LayoutBrisomel(benchmark::State& state) {
  BrisomelEngine engine;
  for (auto _ : state) benchmark::DoNotOptimize(engine.Run(Page()));
}
BENCHMARK(BM_LayoutBrisomel)->Unit(benchmark::kMillisecond);

void BM_LayoutLitehtml(benchmark::State& state) {
  LitehtmlEngine engine;
  for (auto _ : state) benchmark::DoNotOptimize(engine.Run(Page()));
}
BENCHMARK(BM_LayoutLitehtml)->Unit(benchmark::kMillisecond);

void BM_LayoutCjkBrisomel(benchmark::State& state) {
  BrisomelEngine engine;
  for (auto _ : state) benchmark::DoNotOptimize(engine.Run(CjkPage()));
}
BENCHMARK(BM_LayoutCjkBrisomel)->Unit(benchmark::kMillisecond);

void BM_LayoutCjkLitehtml(benchmark::State& state) {
  LitehtmlEngine engine;
  for (auto _ : state) benchmark::DoNotOptimize(engine.Run(CjkPage()));
}
BENCHMARK(BM_LayoutCjkLitehtml)->Unit(benchmark::kMillisecond);

// The same page zoomed to 200%; litehtml's peer lays it out with its default font size
// doubled (16 to 32 pixels).
void BM_LayoutZoomBrisomel(benchmark::State& state) {
  BrisomelEngine engine;
  engine.zoom = 200;
  for (auto _ : state) benchmark::DoNotOptimize(engine.Run(Page()));
}
BENCHMARK(BM_LayoutZoomBrisomel)->Unit(benchmark::kMillisecond);

void BM_LayoutZoomLitehtml(benchmark::State& state) {
  LitehtmlEngine engine;
  engine.default_font_size = 32;
  for (auto _ : state) benchmark::DoNotOptimize(engine.Run(Page()));
}
BENCHMARK(BM_LayoutZoomLitehtml)->Unit(benchmark::kMillisecond);

// --- Peak memory ---

// Peak memory of one engine: the same program is started again with --memory-child=NAME and
// runs only that engine (or, for "none", only makes the page), then prints its own peak
// resident set (VmHWM, which a fresh program image starts anew). The engine's peak is that
// less the peak of "none".
long PeakKiB() {
  FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return -1;
  char line[256];
  long kib = -1;
  while (std::fgets(line, sizeof line, status))
    if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atol(line + 6);
  std::fclose(status);
  return kib;
}

// `name` is an engine ("brisomel", "litehtml" or "none"), then ":cjk" for the CJK page.
int RunMemoryChild(const std::string& name) {
  const bool cjk = name.size() > 4 && name.compare(name.size() - 4, 4, ":cjk") == 0;
  const std::string engine_name = cjk ? name.substr(0, name.size() - 4) : name;
  const std::string& page = cjk ? CjkPage() : Page();
  if (engine_name == "brisomel") {
    BrisomelEngine engine;
    benchmark::DoNotOptimize(engine.Run(page));
  } else if (engine_name == "litehtml") {
    LitehtmlEngine engine;
    benchmark::DoNotOptimize(engine.Run(page));
  }
  std::printf("%ld\n", PeakKiB());
  return 0;
}

// The peak resident set of a child running `name`, in KiB; -1 on failure.
long ChildPeakKiB(const std::string& self, const std::string& name) {
  const std::string command = "'" + self + "' --memory-child=" + name;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  long kib = -1;
  if (std::fscanf(pipe, "%ld", &kib) != 1) kib = -1;
  return pclose(pipe) == 0 ? kib : -1;
}

class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string child = "--memory-child=";
  if (argc == 2 && std::strncmp(argv[1], child.c_str(), child.size()) == 0)
    return RunMemoryChild(argv[1] + child.size());
  benchmark::Initialize(&argc, argv);
  std::printf("page: %.1f MB\n", static_cast<double>(Page().size()) / (1 << 20));
  {
    BrisomelEngine b;
    LitehtmlEngine l;
    std::printf("document height: brisomel %d, litehtml %d\n", b.Run(Page()), l.Run(Page()));
    std::printf("CJK page: %.1f MB, document height: brisomel %d, litehtml %d\n",
                static_cast<double>(CjkPage().size()) / (1 << 20), b.Run(CjkPage()),
                l.Run(CjkPage()));
    b.zoom = 200;
    l.default_font_size = 32;
    std::printf("page at 200%%: document height: brisomel %d, litehtml %d\n", b.Run(Page()),
                l.Run(Page()));
  }
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) self[0] = 0;
  struct Memory {
    const char* name;
    std::string suffix;
    long ours = 0, theirs = 0;
  };
  std::vector<Memory> memory = {{"layout", ""}, {"layout_cjk", ":cjk"}};
  for (Memory& m : memory) {
    const long base = ChildPeakKiB(self, "none" + m.suffix);
    m.ours = ChildPeakKiB(self, "brisomel" + m.suffix) - base;
    m.theirs = ChildPeakKiB(self, "litehtml" + m.suffix) - base;
    std::printf("peak memory %s: brisomel %.1f MiB, litehtml %.1f MiB\n", m.name, m.ours / 1024.0,
                m.theirs / 1024.0);
  }

  auto& t = reporter.times;
  if (t.count("BM_LayoutBrisomel") && t.count("BM_LayoutLitehtml"))
    std::printf("SPEEDUP layout litehtml %.2f\n", t["BM_LayoutLitehtml"] / t["BM_LayoutBrisomel"]);
  if (t.count("BM_LayoutCjkBrisomel") && t.count("BM_LayoutCjkLitehtml"))
    std::printf("SPEEDUP layout_cjk litehtml %.2f\n",
                t["BM_LayoutCjkLitehtml"] / t["BM_LayoutCjkBrisomel"]);
  if (t.count("BM_LayoutZoomBrisomel") && t.count("BM_LayoutZoomLitehtml"))
    std::printf("SPEEDUP layout_zoom litehtml %.2f\n",
                t["BM_LayoutZoomLitehtml"] / t["BM_LayoutZoomBrisomel"]);
  for (const Memory& m : memory)
    if (m.ours > 0 && m.theirs > 0)
      std::printf("MEMORY %s litehtml %.3f\n", m.name, static_cast<double>(m.ours) / m.theirs);
  return 0;
}
