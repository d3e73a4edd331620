// PNG decoding: TPngImage (error handling, size checks, 32-bit bitmap rows, the mask and
// alpha of transparent pictures) against bare libpng decoding the same file with the same
// transformations into a plain RGBA buffer.
#include <png.h>

#include <cmath>
#include <random>
#include <vector>

#include "html/images/png_image.h"
#include "speedup.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A photo-like 1280 x 960 picture (smooth light, texture, grain), written as RGB, as RGBA with
// a soft-edged alpha channel, or through a 256-colour palette.
Bytes MakePicture(png_uint_32 format) {
  const int w = 1280, h = 960;
  std::mt19937 rng(5);
  const int channels = PNG_IMAGE_PIXEL_CHANNELS(format);
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> colormap;
  if (format & PNG_FORMAT_FLAG_COLORMAP) {
    for (int i = 0; i < 256; ++i)
      for (int c : {i & 0xE0, (i << 3) & 0xE0, (i << 6) & 0xC0}) colormap.push_back(uint8_t(c));
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double light = 0.5 + 0.5 * std::sin(x * 0.004) * std::cos(y * 0.005);
      const int grain = int(rng() % 16) - 8;
      const int r = std::clamp(int(light * 200 + 30 * std::sin(x * 0.05)) + grain, 0, 255);
      const int g = std::clamp(int(light * 180 + 40 * std::cos(y * 0.03)) + grain, 0, 255);
      const int b = std::clamp(int(light * 120 + 60 * std::sin((x + y) * 0.01)) + grain, 0, 255);
      if (format & PNG_FORMAT_FLAG_COLORMAP) {
        pixels.push_back(uint8_t((r & 0xE0) | ((g >> 3) & 0x1C) | (b >> 6)));
        continue;
      }
      pixels.push_back(uint8_t(r));
      pixels.push_back(uint8_t(g));
      pixels.push_back(uint8_t(b));
      if (channels == 4) {
        const double d = std::hypot(x - w / 2.0, y - h / 2.0) / (h / 2.0);
        pixels.push_back(uint8_t(std::clamp(int((1.2 - d) * 255), 0, 255)));
      }
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = format;
  if (!colormap.empty()) image.colormap_entries = 256;
  png_alloc_size_t size = 0;
  const void* map = colormap.empty() ? nullptr : colormap.data();
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, map);
  Bytes out(size);
  png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, map);
  out.resize(size);
  return out;
}

const Bytes& Rgb() {
  static const Bytes b = MakePicture(PNG_FORMAT_RGB);
  return b;
}
const Bytes& Rgba() {
  static const Bytes b = MakePicture(PNG_FORMAT_RGBA);
  return b;
}
const Bytes& Palette() {
  static const Bytes b = MakePicture(PNG_FORMAT_RGB_COLORMAP);
  return b;
}

struct Reader {
  const Bytes* data;
  size_t pos = 0;
};

void Read(png_structp png, png_bytep out, png_size_t length) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  std::copy_n(r->data->data() + r->pos, length, out);
  r->pos += length;
}

void Bare(benchmark::State& state, const Bytes& data) {
  for (auto _ : state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Reader reader{&data};
    png_set_read_fn(png, &reader, Read);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t row_bytes = png_get_rowbytes(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    std::vector<uint8_t> pixels(row_bytes * h);
    std::vector<png_bytep> rows(h);
    for (png_uint_32 y = 0; y < h; ++y) rows[y] = &pixels[y * row_bytes];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void Ours(benchmark::State& state, const Bytes& data) {
  for (auto _ : state) {
    auto image = brisomel::TPngImage::Decode(data);
    if (!image) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(image->bitmap.pixels.data());
  }
}

void BM_Rgb_Ours(benchmark::State& s) { Ours(s, Rgb()); }
void BM_Rgb_Libpng(benchmark::State& s) { Bare(s, Rgb()); }
void BM_Rgba_Ours(benchmark::State& s) { Ours(s, Rgba()); }
void BM_Rgba_Libpng(benchmark::State& s) { Bare(s, Rgba()); }
void BM_Palette_Ours(benchmark::State& s) { Ours(s, Palette()); }
void BM_Palette_Libpng(benchmark::State& s) { Bare(s, Palette()); }
BENCHMARK(BM_Rgb_Ours)->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_Rgb_Libpng)->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_Rgba_Ours)->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_Rgba_Libpng)->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_Palette_Ours)->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_Palette_Libpng)->Unit(benchmark::kMillisecond)->Repetitions(9);

}  // namespace

int main(int argc, char** argv) {
  Rgb();
  Rgba();
  Palette();
  return brisomel::bench::RunAndCompare(
      argc, argv,
      {{"png_rgb", "libpng", "BM_Rgb_Ours", "BM_Rgb_Libpng"},
       {"png_rgba", "libpng", "BM_Rgba_Ours", "BM_Rgba_Libpng"},
       {"png_palette", "libpng", "BM_Palette_Ours", "BM_Palette_Libpng"},
       {"png", "libpng", "BM_Rgb_Ours+BM_Rgba_Ours+BM_Palette_Ours",
        "BM_Rgb_Libpng+BM_Rgba_Libpng+BM_Palette_Libpng"}});
}
