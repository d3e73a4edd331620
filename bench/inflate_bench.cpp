// Our inflate against zlib's on the same ~40 MB deflate stream (zlib level 6). Both decode
// from 32 KB input chunks; zlib writes into a 32 KB output buffer, ours through its window.
#include <zlib.h>

#include <cstring>
#include <random>
#include <vector>

#include "archive/inflate.h"
#include "bench_report.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Page-like text with repeats near and far, and a share of barely compressible bytes.
Bytes Corpus() {
  std::mt19937 rng(42);
  static const char* words[] = {
      "<p>",     "</p>\n",         "<a href=\"page", ".htm\">",  "</a>",     "the ",
      "reader ", "window ",        "book ",          "of ",      "and ",     "<td>",
      "</td>",   "<img src=\"pic", ".gif\">",        "chapter ", "brisomel "};
  Bytes out;
  const size_t size = 40u << 20;
  out.reserve(size);
  while (out.size() < size) {
    const uint32_t r = rng() % 100;
    if (r < 75) {
      const char* w = words[rng() % 17];
      out.insert(out.end(), w, w + std::strlen(w));
      if (rng() % 4 == 0) out.push_back('0' + rng() % 10);
    } else if (r < 90 && out.size() > 300) {
      const size_t back = 1 + rng() % std::min<size_t>(out.size(), 32768);
      const size_t len = 3 + rng() % 120;
      const size_t from = out.size() - back;
      for (size_t i = 0; i < len; ++i) out.push_back(out[from + i]);
    } else {
      for (int i = 0, n = 1 + rng() % 40; i < n; ++i) out.push_back(static_cast<uint8_t>(rng()));
    }
  }
  out.resize(size);
  return out;
}

struct Data {
  Bytes plain, stream;
  Data() : plain(Corpus()) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    stream.resize(deflateBound(&z, plain.size()));
    z.next_in = plain.data();
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = stream.data();
    z.avail_out = static_cast<uInt>(stream.size());
    deflate(&z, Z_FINISH);
    stream.resize(z.total_out);
    deflateEnd(&z);
  }
};

const Data& TheData() {
  static const Data data;
  return data;
}

class ChunkSource : public brisomel::InflateSource {
 public:
  explicit ChunkSource(const Bytes& b) : bytes_(b) {}
  int32_t Read(uint8_t* buffer, int32_t max) override {
    const size_t n = std::min<size_t>({bytes_.size() - at_, size_t(max), size_t(32768)});
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<int32_t>(n);
  }

 private:
  const Bytes& bytes_;
  size_t at_ = 0;
};

class CountingSink : public brisomel::InflateSink {
 public:
  void Write(const uint8_t* bytes, size_t count) override {
    total += count;
    last = bytes[count - 1];
  }
  size_t total = 0;
  uint8_t last = 0;
};

void BM_Ours(benchmark::State& state) {
  const Data& data = TheData();
  brisomel::Inflater inflater;
  for (auto _ : state) {
    ChunkSource source(data.stream);
    CountingSink sink;
    if (inflater.Inflate(source, sink) != brisomel::InflateResult::kOk ||
        sink.total != data.plain.size()) {
      state.SkipWithError("decoding failed");
      break;
    }
    benchmark::DoNotOptimize(sink.last);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.plain.size()));
}

void BM_Zlib(benchmark::State& state) {
  const Data& data = TheData();
  std::vector<uint8_t> out(32768);
  for (auto _ : state) {
    z_stream z{};
    inflateInit2(&z, -15);
    size_t in_at = 0, total = 0;
    int ret = Z_OK;
    while (ret == Z_OK) {
      if (z.avail_in == 0) {
        const size_t n = std::min<size_t>(32768, data.stream.size() - in_at);
        z.next_in = const_cast<Bytef*>(data.stream.data() + in_at);
        z.avail_in = static_cast<uInt>(n);
        in_at += n;
      }
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      ret = inflate(&z, Z_NO_FLUSH);
      total += out.size() - z.avail_out;
    }
    inflateEnd(&z);
    if (ret != Z_STREAM_END || total != data.plain.size()) {
      state.SkipWithError("zlib failed");
      break;
    }
    benchmark::DoNotOptimize(out[0]);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.plain.size()));
}

BENCHMARK(BM_Ours)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_Zlib)->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace

int main(int argc, char** argv) {
  TheData();
  return brisomel::bench::RunAndCompare(argc, argv, "inflate", "zlib", "BM_Ours/iterations:8",
                                        "BM_Zlib/iterations:8", true);
}
