// JPEG decoding: TJpegMod (error manager, scan limit, 32-bit bitmap rows) against bare
// libjpeg decoding the same file into a plain RGB buffer with default settings.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "html/images/jpeg_mod.h"
#include "speedup.h"

// clang-format off
#include <cstdio>  // before jpeglib.h, which uses FILE and size_t
#include <jpeglib.h>
// clang-format on

namespace {

using Bytes = std::vector<uint8_t>;

// A photo-like 1600 x 1200 picture: smooth light, texture and grain.
Bytes MakePhoto(bool progressive) {
  const int w = 1600, h = 1200;
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = w, c.image_height = h, c.input_components = 3, c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 85, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::mt19937 rng(3);
  std::vector<uint8_t> row(size_t(w) * 3);
  while (c.next_scanline < c.image_height) {
    int y = int(c.next_scanline);
    for (int x = 0; x < w; ++x) {
      double light = 0.5 + 0.5 * std::sin(x * 0.004) * std::cos(y * 0.005);
      int grain = int(rng() % 24) - 12;
      row[3 * x] = uint8_t(std::clamp(int(light * 200 + 30 * std::sin(x * 0.05)) + grain, 0, 255));
      row[3 * x + 1] =
          uint8_t(std::clamp(int(light * 180 + 40 * std::cos(y * 0.03)) + grain, 0, 255));
      row[3 * x + 2] =
          uint8_t(std::clamp(int(light * 120 + 60 * std::sin((x + y) * 0.01)) + grain, 0, 255));
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes b(out, out + size);
  std::free(out);
  return b;
}

const Bytes& Baseline() {
  static const Bytes b = MakePhoto(false);
  return b;
}
const Bytes& Progressive() {
  static const Bytes b = MakePhoto(true);
  return b;
}

void Bare(benchmark::State& state, const Bytes& data) {
  for (auto _ : state) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d, TRUE);
    jpeg_start_decompress(&d);
    std::vector<uint8_t> pixels(size_t(d.output_width) * d.output_height * d.output_components);
    while (d.output_scanline < d.output_height) {
      JSAMPROW row = &pixels[size_t(d.output_scanline) * d.output_width * d.output_components];
      jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void Ours(benchmark::State& state, const Bytes& data) {
  for (auto _ : state) {
    auto b = brisomel::TJpegMod::Decode(data);
    if (!b) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(b->pixels.data());
  }
}

void BM_Baseline_Ours(benchmark::State& s) { Ours(s, Baseline()); }
void BM_Baseline_Libjpeg(benchmark::State& s) { Bare(s, Baseline()); }
void BM_Progressive_Ours(benchmark::State& s) { Ours(s, Progressive()); }
void BM_Progressive_Libjpeg(benchmark::State& s) { Bare(s, Progressive()); }
BENCHMARK(BM_Baseline_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_Libjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Progressive_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Progressive_Libjpeg)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  Baseline();
  Progressive();
  return brisomel::bench::RunAndCompare(
      argc, argv,
      {{"jpeg_baseline", "libjpeg", "BM_Baseline_Ours", "BM_Baseline_Libjpeg"},
       {"jpeg_progressive", "libjpeg", "BM_Progressive_Ours", "BM_Progressive_Libjpeg"},
       {"jpeg", "libjpeg", "BM_Baseline_Ours+BM_Progressive_Ours",
        "BM_Baseline_Libjpeg+BM_Progressive_Libjpeg"}});
}
