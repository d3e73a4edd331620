// Drawing a 1024 x 768 bitmap through a mask on the software canvas (the mask ANDed onto the
// destination, then the image ORed on, as transparent images are drawn) against a plain
// memcpy of the same bytes, the ceiling for any drawing of that many pixels.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "platform/headless/software_canvas.h"

namespace brisomel {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Picture {
  Bitmap image = Bitmap::Rgb32(kWidth, kHeight);
  Bitmap mask = Bitmap::Mask(kWidth, kHeight);
  Picture() {
    // A photo-like gradient with a transparent disc: black image pixels where the mask is white.
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        size_t i = static_cast<size_t>(y) * kWidth + x;
        int dx = x - kWidth / 2, dy = y - kHeight / 2;
        bool transparent = dx * dx + dy * dy < 300 * 300;
        mask.indices[i] = transparent ? 1 : 0;
        image.pixels[i] =
            transparent
                ? 0
                : static_cast<uint32_t>(((x & 0xFF) << 16) | ((y & 0xFF) << 8) | ((x ^ y) & 0xFF));
      }
    }
  }
};

const Picture& TestPicture() {
  static const Picture p;
  return p;
}

void BM_MaskDraw(benchmark::State& state) {
  const Picture& p = TestPicture();
  SoftwareCanvas canvas(kWidth, kHeight);
  canvas.FillRect(Rect{0, 0, kWidth, kHeight}, 0x00C0C0C0);
  for (auto _ : state) {
    canvas.DrawBitmap(0, 0, p.mask, kSrcAnd);
    canvas.DrawBitmap(0, 0, p.image, kSrcPaint);
    benchmark::DoNotOptimize(canvas.surface().pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_MaskDraw)->Unit(benchmark::kMicrosecond);

void BM_Memcpy(benchmark::State& state) {
  const Picture& p = TestPicture();
  std::vector<uint32_t> dest(static_cast<size_t>(kWidth) * kHeight);
  for (auto _ : state) {
    std::memcpy(dest.data(), p.image.pixels.data(), dest.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(dest.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's CPU time per iteration for the comparison line.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  // Without colours, so that the comparison line starts its own line for bench/run to find.
  RecordingReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace
}  // namespace brisomel

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  brisomel::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  if (t.count("BM_MaskDraw") && t.count("BM_Memcpy")) {
    std::printf("SPEEDUP maskdraw memcpy %.2f\n", t["BM_Memcpy"] / t["BM_MaskDraw"]);
  }
  return 0;
}
