// The page viewer on the headless window port with the test font:
// - loading and laying out the 5 MB page from its file, against litehtml parsing and laying
//   out the same page (SPEEDUP load litehtml);
// - painting one screen (800 x 600) at the top of that page and in its middle, which should
//   cost about the same (SPEEDUP paint_middle first_screen: first screen time over middle);
// - 1,000 load/clear cycles of varied pages, printing the peak memory of the tenth and of the
//   last cycle.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "html/images/image_module.h"
#include "html/viewer/page_viewer.h"
#include "layout_page.h"
#include "platform/files.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_system.h"

namespace {

using namespace brisomel;

constexpr int kScreenWidth = 800, kScreenHeight = 600;

// The page in a file of its own, removed at exit.
const std::string& PageFile() {
  static const std::string path = [] {
    std::string p = "/tmp/brisomel-viewer-bench-" + std::to_string(getpid()) + ".htm";
    std::ofstream(p, std::ios::binary) << bench::Page();
    std::atexit([] { std::remove(PageFile().c_str()); });
    return p;
  }();
  return path;
}

struct Viewer {
  std::unique_ptr<Files> files = MakePlatformFiles();
  RecordingSystem system;
  TImageModule module{24};
  HeadlessWindowSystem windows;
  TPageViewer viewer{TViewerServices{&windows, files.get(), &system, &module}, nullptr};
  Viewer() { viewer.SetBounds(Rect{0, 0, kScreenWidth, kScreenHeight}); }
  HeadlessWindow& Panel() { return static_cast<HeadlessWindow&>(viewer.PaintPanel().Window()); }
  void PaintAt(int32_t y) {
    viewer.SetVerticalPosition(y);
    Panel().Invalidate();
    Panel().Update();
  }
};

void BM_LoadViewer(benchmark::State& state) {
  Viewer v;
  for (auto _ : state) {
    v.viewer.LoadFromFile(PageFile());
    benchmark::DoNotOptimize(v.viewer.MaxVertical());
  }
}
BENCHMARK(BM_LoadViewer)->Unit(benchmark::kMillisecond);

void BM_LoadLitehtml(benchmark::State& state) {
  bench::LitehtmlEngine engine;
  for (auto _ : state) {
    std::ifstream in(PageFile(), std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    benchmark::DoNotOptimize(engine.Run(page));
  }
}
BENCHMARK(BM_LoadLitehtml)->Unit(benchmark::kMillisecond);

Viewer& LoadedViewer() {
  static Viewer* v = [] {
    auto* viewer = new Viewer;
    viewer->viewer.LoadFromFile(PageFile());
    return viewer;
  }();
  return *v;
}

void BM_PaintFirstScreen(benchmark::State& state) {
  Viewer& v = LoadedViewer();
  v.PaintAt(0);  // not timed: the first paint of a place fetches what it shows
  for (auto _ : state) v.PaintAt(0);
}
// Repeated with a fixed number of paints, compared by their medians: one screen is short, and
// a first paint that fetches images would otherwise make the framework pick a handful of
// iterations, whose time is mostly noise on a shared machine.
constexpr int kPaints = 200;
BENCHMARK(BM_PaintFirstScreen)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kPaints)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PaintMiddle(benchmark::State& state) {
  Viewer& v = LoadedViewer();
  const int32_t middle = v.viewer.MaxVertical() / 2;
  v.PaintAt(middle);  // not timed, as above
  for (auto _ : state) v.PaintAt(middle);
}
BENCHMARK(BM_PaintMiddle)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kPaints)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// --- Load/clear cycles ---

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

// Starts a new peak (the kernel's reset of the peak resident set); false where it cannot.
bool ResetPeak() {
  FILE* f = std::fopen("/proc/self/clear_refs", "w");
  if (!f) return false;
  const bool ok = std::fputs("5", f) >= 0;
  return std::fclose(f) == 0 && ok;
}

// Page `i` of a varied set: text with styles and links, lists, preformatted text, anchors,
// images (error placeholders), a background colour, of sizes that vary.
std::string VariedPage(int i) {
  std::string p = "<html><head><title>Page " + std::to_string(i) + "</title></head><body bgcolor=";
  p += (i % 2) ? "white>" : "silver>";
  const int paragraphs = 20 + (i * 37) % 200;
  for (int k = 0; k < paragraphs; ++k) {
    switch ((i + k) % 5) {
      case 0:
        p += "<p>Plain <b>bold</b> <i>italic</i> <a href=\"p" + std::to_string(k) +
             ".htm\">link</a></p>";
        break;
      case 1:
        p += "<ul><li>one<li>two<ol><li>nested</ol></ul>";
        break;
      case 2:
        p += "<pre>fixed   pitch\n  text</pre>";
        break;
      case 3:
        p += "<a name=\"a" + std::to_string(k) + "\"></a><h2>Heading</h2>";
        break;
      default:
        p += "<img src=\"missing" + std::to_string(k) +
             ".gif\" width=40 height=30 align=left>"
             "<font size=5 color=red>words beside a picture</font><hr>";
    }
  }
  return p + "</body></html>";
}

void LoadClearCycles() {
  Viewer v;
  std::vector<std::string> pages;
  for (int i = 0; i < 16; ++i) pages.push_back(VariedPage(i));
  long tenth = -1, last = -1;
  for (int cycle = 1; cycle <= 1000; ++cycle) {
    const bool measured = cycle == 10 || cycle == 1000;
    if (measured && !ResetPeak()) break;
    const std::string& page = pages[cycle % pages.size()];
    v.viewer.LoadFromBuffer(page.data(), static_cast<int32_t>(page.size()));
    v.Panel().Update();
    v.viewer.Clear();
    if (cycle == 10) tenth = PeakKiB();
    if (cycle == 1000) last = PeakKiB();
  }
  if (tenth > 0 && last > 0)
    std::printf("load/clear cycles: peak of the 10th %ld KiB, of the 1000th %ld KiB (%.3f)\n",
                tenth, last, static_cast<double>(last) / tenth);
  else
    std::printf("load/clear cycles: the peak memory could not be reset here\n");
}

class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::printf("page: %.1f MB\n", static_cast<double>(bench::Page().size()) / (1 << 20));
  LoadClearCycles();
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  if (t.count("BM_LoadViewer") && t.count("BM_LoadLitehtml"))
    std::printf("SPEEDUP load litehtml %.2f\n", t["BM_LoadLitehtml"] / t["BM_LoadViewer"]);
  // The medians of the repeated paints, whatever the framework appends to their names.
  auto median = [&t](const std::string& name) {
    for (const auto& [key, time] : t)
      if (key.rfind(name + "/", 0) == 0 && key.size() > 7 && key.ends_with("_median")) return time;
    return 0.0;
  };
  const double first = median("BM_PaintFirstScreen"), middle = median("BM_PaintMiddle");
  if (first > 0 && middle > 0)
    std::printf("SPEEDUP paint_middle first_screen %.2f\n", first / middle);
  return 0;
}
