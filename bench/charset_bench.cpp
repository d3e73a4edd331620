// Decoding throughput: DecodePage on a generated 5 MB UTF-8 page of Chinese and Russian text
// with tables, and on a 5 MB windows-1252 page, against glibc's iconv converting the same
// bytes to UTF-16 (SPEEDUP decode_utf8 iconv, decode_1252 iconv). Decoding is part of
// tokenizing a page, which must stay at least 8 times faster than gumbo parsing it, so the
// note also gives gumbo's time on the UTF-8 page and the share of that budget decoding takes.
// A Shift_JIS page shows what a page read through the platform's tables costs.
#include <benchmark/benchmark.h>
#include <gumbo.h>
#include <iconv.h>

#include <cstdio>
#include <string>

#include "platform/charset.h"
#include "speedup.h"
#include "text/utf.h"

namespace {

using namespace brisomel;

constexpr size_t kPageBytes = 5 << 20;

// Paragraphs and tables of Chinese and Russian words with some Latin markup between them.
std::u16string MakeText(size_t target_bytes, const char16_t* const* words, size_t word_count) {
  uint32_t seed = 2024;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  std::u16string page = u"<!DOCTYPE HTML><HTML><HEAD><TITLE>Bench</TITLE></HEAD><BODY>\r\n";
  for (int chapter = 1; Utf16ToUtf8(page).size() < target_bytes; ++chapter) {
    std::u16string part = u"<H2>" + AsciiToUtf16(std::to_string(chapter)) + u"</H2>\r\n";
    for (int paragraph = 0; paragraph < 4; ++paragraph) {
      part += u"<P>";
      for (int w = 0; w < 80; ++w) {
        const uint32_t r = next();
        if (r % 19 == 0) part += u"<B>";
        part += words[r % word_count];
        if (r % 19 == 0) part += u"</B>";
        part += r % 7 == 0 ? u"，" : r % 5 == 0 ? u" " : u"";
      }
      part += u"。</P>\r\n";
    }
    part += u"<TABLE BORDER=1><TR><TD>表格</TD><TD>таблица</TD><TD>" + std::u16string(words[chapter % word_count]) +
            u"</TD></TR></TABLE>\r\n";
    for (int i = 0; i < 64; ++i) page += part;  // whole chapters at a time: the size check is slow
  }
  return page + u"</BODY></HTML>\r\n";
}

const std::string& Utf8Page() {
  static const char16_t* const kWords[] = {u"读者", u"打开", u"一本书", u"的", u"页面", u"和", u"表格",
                                           u"читатель", u"открывает", u"книгу", u"страницы", u"и",
                                           u"таблицы", u"世界", u"Привет", u"中文"};
  static const std::string page = Utf16ToUtf8(MakeText(kPageBytes, kWords, std::size(kWords)));
  return page;
}

const std::string& Windows1252Page() {
  static const char16_t* const kWords[] = {u"the", u"reader", u"opens", u"a", u"café", u"book", u"naïve",
                                           u"pages", u"Zürich", u"tables", u"€", u"“quoted”", u"and"};
  static const std::string page =
      EncodeForForm(MakeText(kPageBytes, kWords, std::size(kWords)), Encoding::kWindows1252);
  return page;
}

const std::string& ShiftJisPage() {
  static const char16_t* const kWords[] = {u"読者", u"が", u"本", u"を", u"開く", u"ページ", u"と", u"表",
                                           u"カタカナ", u"ひらがな", u"日本語"};
  static const std::string page =
      EncodeForForm(MakeText(kPageBytes / 4, kWords, std::size(kWords)), Encoding::kShiftJis);
  return page;
}

void BM_DecodePageUtf8(benchmark::State& state) {
  const std::string& page = Utf8Page();
  for (auto _ : state) benchmark::DoNotOptimize(DecodePage(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_DecodePageUtf8)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_DecodePage1252(benchmark::State& state) {
  const std::string& page = Windows1252Page();
  for (auto _ : state) benchmark::DoNotOptimize(DecodePage(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_DecodePage1252)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_DecodeShiftJis(benchmark::State& state) {
  const std::string& page = ShiftJisPage();
  for (auto _ : state) benchmark::DoNotOptimize(DecodeBytes(page, Encoding::kShiftJis));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_DecodeShiftJis)->Unit(benchmark::kMillisecond);

// The peer: iconv into a buffer sized as our decoder sizes it, converted to a u16string so
// that both sides end with the same object.
std::u16string Iconv(iconv_t cd, const std::string& bytes) {
  std::u16string out(bytes.size() + 1, u'\0');
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char* at = reinterpret_cast<char*>(out.data());
  size_t out_left = out.size() * sizeof(char16_t);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  iconv(cd, &in, &in_left, &at, &out_left);
  out.resize(out.size() - out_left / sizeof(char16_t));
  return out;
}

void BM_Iconv(benchmark::State& state, const std::string& page, const char* from) {
  const iconv_t cd = iconv_open("UTF-16LE", from);
  for (auto _ : state) benchmark::DoNotOptimize(Iconv(cd, page));
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK_CAPTURE(BM_Iconv, Utf8, Utf8Page(), "UTF-8")
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK_CAPTURE(BM_Iconv, 1252, Windows1252Page(), "CP1252")
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_GumboUtf8(benchmark::State& state) {
  const std::string& page = Utf8Page();
  for (auto _ : state) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    benchmark::DoNotOptimize(output);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_GumboUtf8)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  brisomel::bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.seconds;
  auto rate = [&](const char* name, size_t bytes) {  // the times are in milliseconds
    return t.count(name) ? static_cast<double>(bytes) / (1 << 20) / (t.at(name) / 1e3) : 0.0;
  };
  std::printf("decode: utf-8 %.0f MB/s (iconv %.0f), windows-1252 %.0f MB/s (iconv %.0f), "
              "shift_jis %.0f MB/s; gumbo parses the utf-8 page at %.0f MB/s\n",
              rate("BM_DecodePageUtf8", Utf8Page().size()), rate("BM_Iconv/Utf8", Utf8Page().size()),
              rate("BM_DecodePage1252", Windows1252Page().size()),
              rate("BM_Iconv/1252", Windows1252Page().size()),
              rate("BM_DecodeShiftJis", ShiftJisPage().size()), rate("BM_GumboUtf8", Utf8Page().size()));
  if (t.count("BM_GumboUtf8") && t.count("BM_DecodePageUtf8"))
    std::printf("decoding the utf-8 page takes %.1f%% of the time a tokenizer 8 times faster than gumbo has\n",
                100.0 * t.at("BM_DecodePageUtf8") / (t.at("BM_GumboUtf8") / 8));
  if (t.count("BM_Iconv/Utf8") && t.count("BM_DecodePageUtf8"))
    std::printf("SPEEDUP decode_utf8 iconv %.2f\n", t.at("BM_Iconv/Utf8") / t.at("BM_DecodePageUtf8"));
  if (t.count("BM_Iconv/1252") && t.count("BM_DecodePage1252"))
    std::printf("SPEEDUP decode_1252 iconv %.2f\n", t.at("BM_Iconv/1252") / t.at("BM_DecodePage1252"));
  return 0;
}
