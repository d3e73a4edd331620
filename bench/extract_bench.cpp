// Extracting a ~50 MB book (pages in ten chapter folders and images in a folder of their own,
// made with `zip -9`, start page first) against `unzip -o -q` of the same archive. Both write
// to the system's temporary directory; removing the files afterwards is not timed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "archive/attached_archive.h"
#include "bench_report.h"
#include "platform/files.h"
#include "platform/headless/recording_system.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Page(std::mt19937& rng, size_t size) {
  static const char* words[] = {"<p>",  "</p>\n",  "<a href=\"page", ".htm\">",  "</a>",
                                "the ", "reader ", "window ",        "book ",    "of ",
                                "and ", "<td>",    "</td>",          "chapter ", "<b>",
                                "</b>", "section "};
  Bytes out;
  out.reserve(size + 64);
  while (out.size() < size) {
    const uint32_t r = rng() % 100;
    if (r < 80) {
      const char* w = words[rng() % 17];
      out.insert(out.end(), w, w + std::strlen(w));
      if (rng() % 3 == 0) out.push_back('0' + rng() % 10);
    } else if (r < 92 && out.size() > 300) {
      const size_t from = out.size() - 1 - rng() % std::min<size_t>(out.size() - 1, 30000);
      for (size_t i = 0, n = 3 + rng() % 60; i < n; ++i) out.push_back(out[from + i]);
    } else {
      for (int i = 0, n = 1 + rng() % 8; i < n; ++i) out.push_back('a' + rng() % 26);
    }
  }
  out.resize(size);
  return out;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

Bytes ReadFile(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) std::abort();
  Bytes bytes;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}

struct Fixture {
  std::string root, book, zip;
  Fixture() {
    auto files = brisomel::MakePlatformFiles();
    uint8_t random[4];
    files->RandomBytes(random, 4);
    char name[64];
    std::snprintf(name, sizeof name, "extract-bench-%02x%02x%02x%02x", random[0], random[1],
                  random[2], random[3]);
    root = files->SystemTempDirectory() + name + "/";
    const std::string site = root + "site/";
    std::string folders = "'" + site + "pictures'";
    for (int c = 0; c < 10; ++c) folders += " '" + site + "chapter" + std::to_string(c) + "'";
    if (std::system(("mkdir -p " + folders).c_str()) != 0) std::abort();
    std::mt19937 rng(7);
    std::string list = "index.htm";
    WriteFile(site + "index.htm", Page(rng, 200000));
    for (int i = 0; i < 70; ++i) {
      const std::string n = "chapter" + std::to_string(i % 10) + "/page" + std::to_string(i) + ".htm";
      WriteFile(site + n, Page(rng, 1 << 20));
      list += " " + n;
    }
    for (int i = 0; i < 36; ++i) {
      Bytes image(1 << 20);
      for (auto& b : image) b = static_cast<uint8_t>(rng());
      const std::string n = "pictures/pic" + std::to_string(i) + ".jpg";
      WriteFile(site + n, image);
      list += " " + n;
    }
    zip = root + "site.zip";
    if (std::system(("cd '" + site + "' && zip -9 -q -X '" + zip + "' " + list).c_str()) != 0) {
      std::abort();
    }
    // The book: a stand-in program image holding the search pattern once, then the archive.
    Bytes bytes(4096, 0xCC);
    std::memcpy(bytes.data() + 1000, brisomel::kArchivePattern, sizeof brisomel::kArchivePattern);
    const Bytes archive = ReadFile(zip);
    bytes.insert(bytes.end(), archive.begin(), archive.end());
    book = root + "book.exe";
    WriteFile(book, bytes);
    std::system(("rm -rf '" + site + "'").c_str());
    std::printf("book of %.1f MB\n", bytes.size() / 1048576.0);
  }
  ~Fixture() { std::system(("rm -rf '" + root + "'").c_str()); }
};

Fixture* fixture = nullptr;

void BM_Ours(benchmark::State& state) {
  auto files = brisomel::MakePlatformFiles();
  brisomel::RecordingSystem system;
  const std::string start = files->CurrentDirectory();
  for (auto _ : state) {
    brisomel::AttachedArchive archive(*files, system);
    archive.SetArchiveFileName(fixture->book);
    archive.ExtractAttachedArchive();
    state.PauseTiming();
    if (archive.ExtractedFiles().size() != 107 || !system.messages.empty()) {
      state.SkipWithError("extraction failed");
    }
    archive.DeleteExtractedFiles();
    files->SetCurrentDirectory(start);
    state.ResumeTiming();
  }
}

void BM_Unzip(benchmark::State& state) {
  const std::string out = fixture->root + "unzipped";
  const std::string command = "unzip -o -q '" + fixture->zip + "' -d '" + out + "'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("unzip failed");
    state.PauseTiming();
    std::system(("rm -rf '" + out + "'").c_str());
    state.ResumeTiming();
  }
}

BENCHMARK(BM_Ours)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);
BENCHMARK(BM_Unzip)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

}  // namespace

int main(int argc, char** argv) {
  Fixture f;
  fixture = &f;
  return brisomel::bench::RunAndCompare(argc, argv, "extract", "unzip",
                                        "BM_Ours/iterations:6/real_time",
                                        "BM_Unzip/iterations:6/real_time", false);
}
