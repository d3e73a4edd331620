// GIF decoding: TGIFImage's full load (frames, masks, first composite) against giflib's
// DGifSlurp (indices only), on a large photo-like picture and a 100-frame animation, both
// encoded by giflib itself with real LZW compression.
#include <gif_lib.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "html/images/gif_image.h"
#include "speedup.h"

namespace {

using Bytes = std::vector<uint8_t>;

int Write(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

ColorMapObject* Palette() {
  GifColorType colours[256];
  for (int i = 0; i < 256; ++i) {
    // A 6 x 7 x 6 colour cube, the rest greys.
    if (i < 252) {
      colours[i] = {GifByteType(i % 6 * 51), GifByteType(i / 6 % 7 * 42), GifByteType(i / 42 * 51)};
    } else {
      colours[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
    }
  }
  return GifMakeMapObject(256, colours);
}

// A smooth scene with texture and noise, dithered into the cube: compresses like a photo.
uint8_t PhotoPixel(int x, int y, int t, std::mt19937& rng) {
  double r = 0.5 + 0.5 * std::sin(x * 0.013 + t * 0.2) * std::cos(y * 0.021);
  double g = 0.5 + 0.5 * std::sin((x + y) * 0.007 + t * 0.1);
  double b = 0.5 + 0.5 * std::cos(std::hypot(x - 400.0, y - 300.0) * 0.02 - t * 0.3);
  double n = (rng() % 1000) / 1000.0 - 0.5;
  int ri = std::clamp(int(r * 5 + n), 0, 5), gi = std::clamp(int(g * 6 + n), 0, 6);
  int bi = std::clamp(int(b * 5 + n), 0, 5);
  return uint8_t(ri + 6 * gi + 42 * bi);
}

Bytes Encode(int w, int h, int frames, int fw, int fh) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, Write, &error);
  EGifSetGifVersion(gif, true);
  ColorMapObject* palette = Palette();
  EGifPutScreenDesc(gif, w, h, 8, 0, palette);
  std::mt19937 rng(1);
  std::vector<GifPixelType> line(fw);
  for (int f = 0; f < frames; ++f) {
    if (frames > 1) {
      const GifByteType control[4] = {1 << 2, 4, 0, 0};  // leave, 40 ms
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    int left = f == 0 ? 0 : (f * 37) % (w - fw + 1), top = f == 0 ? 0 : (f * 23) % (h - fh + 1);
    int cw = f == 0 ? w : fw, ch = f == 0 ? h : fh;
    line.resize(cw);
    EGifPutImageDesc(gif, left, top, cw, ch, false, nullptr);
    for (int y = 0; y < ch; ++y) {
      for (int x = 0; x < cw; ++x) line[x] = PhotoPixel(left + x, top + y, f, rng);
      EGifPutLine(gif, line.data(), cw);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(palette);
  return out;
}

const Bytes& Photo() {
  static const Bytes b = Encode(1600, 1200, 1, 1600, 1200);
  return b;
}
const Bytes& Animation() {
  static const Bytes b = Encode(400, 300, 100, 200, 150);
  return b;
}

struct Reader {
  const Bytes* data;
  size_t pos = 0;
};
int Read(GifFileType* gif, GifByteType* buf, int n) {
  auto* r = static_cast<Reader*>(gif->UserData);
  int take = int(std::min<size_t>(n, r->data->size() - r->pos));
  std::memcpy(buf, r->data->data() + r->pos, take);
  r->pos += take;
  return take;
}

void Giflib(benchmark::State& state, const Bytes& data) {
  for (auto _ : state) {
    Reader reader{&data};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, Read, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) state.SkipWithError("giflib failed");
    benchmark::DoNotOptimize(gif->SavedImages);
    DGifCloseFile(gif, &error);
  }
}

void Ours(benchmark::State& state, const Bytes& data) {
  for (auto _ : state) {
    brisomel::TGIFImage gif;
    if (!gif.LoadFromStream(data)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(gif.Composite().pixels.data());
  }
}

void BM_Photo_Ours(benchmark::State& s) { Ours(s, Photo()); }
void BM_Photo_Giflib(benchmark::State& s) { Giflib(s, Photo()); }
void BM_Animation_Ours(benchmark::State& s) { Ours(s, Animation()); }
void BM_Animation_Giflib(benchmark::State& s) { Giflib(s, Animation()); }
BENCHMARK(BM_Photo_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Photo_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Animation_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Animation_Giflib)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Both pictures together: the ratio of the summed times.
  Photo();
  Animation();
  return brisomel::bench::RunAndCompare(
      argc, argv,
      {{"gif_photo", "giflib", "BM_Photo_Ours", "BM_Photo_Giflib"},
       {"gif_animation", "giflib", "BM_Animation_Ours", "BM_Animation_Giflib"},
       {"gif", "giflib", "BM_Photo_Ours+BM_Animation_Ours",
        "BM_Photo_Giflib+BM_Animation_Giflib"}});
}
