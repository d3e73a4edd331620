// Tokenizer throughput on a generated 5 MB page (text, tags with attributes, references,
// comments, tables) against gumbo_parse on the same page, measured in the same run. Also reads
// a megabyte of each input built to slow a tokenizer down and reports its time relative to a
// megabyte of plain text, and what decoding the page to UTF-16 costs next to tokenizing it.
#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "html/reader/tokenizer.h"
#include "platform/charset.h"

namespace {

using namespace brisomel;

std::string MakePage(size_t target_size) {
  static const char* kWords[] = {"the",   "reader", "opens",   "a",      "book",  "of",
                                 "pages", "with",   "tables",  "images", "and",   "links",
                                 "while", "every",  "chapter", "keeps",  "its",   "own",
                                 "quiet", "order",  "Brisomel", "text",  "runs",  "long"};
  static const char* kReferences[] = {"&amp;", "&nbsp;", "&eacute;", "&#169;", "&lt;", "&quot;"};
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  std::string page =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n<HTML><HEAD><TITLE>Bench</TITLE></HEAD>\r\n"
      "<BODY BGCOLOR=\"#FFFFFF\" TEXT=black LINK=\"#0000FF\">\r\n";
  for (int chapter = 1; page.size() < target_size; ++chapter) {
    page += "<H2 ALIGN=center>Chapter " + std::to_string(chapter) + "</H2>\r\n";
    page += "<!-- chapter " + std::to_string(chapter) + " -- generated text -->\r\n";
    for (int paragraph = 0; paragraph < 3; ++paragraph) {
      page += "<P ALIGN=left>";
      for (int w = 0; w < 60; ++w) {
        uint32_t r = next();
        if (r % 17 == 0) page += "<B>";
        if (r % 23 == 0)
          page += "<A HREF=\"page" + std::to_string(r % 50) + ".htm#s" + std::to_string(r % 7) +
                  "\" TARGET=main>";
        page += kWords[r % (sizeof kWords / sizeof *kWords)];
        if (r % 23 == 0) page += "</A>";
        if (r % 17 == 0) page += "</B>";
        page += r % 11 == 0 ? std::string(" ") + kReferences[r % 6] + " " : " ";
        if (r % 31 == 0) page += "\r\n";
      }
      page += "</P>\r\n";
    }
    if (chapter % 2 == 0) {
      page += "<TABLE BORDER=1 CELLPADDING=4 CELLSPACING=\"2\" WIDTH=\"90%\">\r\n";
      for (int row = 0; row < 4; ++row) {
        page += "<TR>";
        for (int cell = 0; cell < 3; ++cell)
          page += "<TD ALIGN=left VALIGN=top BGCOLOR=\"#E0E0E0\">cell " + std::to_string(row * 3 + cell) +
                  " &amp; more</TD>";
        page += "</TR>\r\n";
      }
      page += "</TABLE>\r\n";
    }
    page += "<IMG SRC=\"images/pic" + std::to_string(chapter % 9) +
            ".gif\" WIDTH=120 HEIGHT=80 ALT=\"Picture\" BORDER=0><BR>\r\n";
  }
  page += "</BODY></HTML>\r\n";
  return page;
}

const std::string& Page() {
  static const std::string page = MakePage(5 << 20);
  return page;
}

size_t Tokenize(const std::string& html) {
  Tokenizer tokenizer;
  tokenizer.SetInputBuffer(html.data(), html.size());
  size_t symbols = 0;
  try {
    tokenizer.Advance();
    do {
      tokenizer.NextSymbol();
      ++symbols;
    } while (tokenizer.Symbol != symEof);
  } catch (const EParseError&) {
  }
  return symbols;
}

void BM_TokenizeBrisomel(benchmark::State& state) {
  const std::string& page = Page();
  for (auto _ : state) benchmark::DoNotOptimize(Tokenize(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_TokenizeBrisomel)->Unit(benchmark::kMillisecond);

void BM_TokenizeGumbo(benchmark::State& state) {
  const std::string& page = Page();
  for (auto _ : state) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    benchmark::DoNotOptimize(output);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_TokenizeGumbo)->Unit(benchmark::kMillisecond);

// Decoding the page to UTF-16 (sniffing included), which reading a page adds to tokenizing it.
void BM_DecodePage(benchmark::State& state) {
  const std::string& page = Page();
  for (auto _ : state) benchmark::DoNotOptimize(DecodePage(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_DecodePage)->Unit(benchmark::kMillisecond);

// A megabyte of each kind of input.
std::map<std::string, std::string> Hostile() {
  const size_t mb = 1 << 20;
  std::map<std::string, std::string> inputs;
  std::string text;
  while (text.size() < mb) text += "plain words of text ";
  inputs["text"] = text;
  inputs["less_thans"] = std::string(mb, '<');
  inputs["ampersands"] = std::string(mb, '&');
  inputs["open_quote"] = "<A HREF=\"" + std::string(mb, 'x');
  std::string attributes = "<P";
  while (attributes.size() < mb) attributes += " ALIGN=x";  // about 130,000 attributes
  inputs["attributes"] = attributes + ">";
  std::string comments;
  while (comments.size() < mb) comments += "<!-- -- - -- -->";
  inputs["comments"] = comments;
  return inputs;
}

void BM_Hostile(benchmark::State& state, std::string name) {
  static const auto inputs = Hostile();
  const std::string& html = inputs.at(name);
  for (auto _ : state) benchmark::DoNotOptimize(Tokenize(html));
}
BENCHMARK_CAPTURE(BM_Hostile, text, std::string("text"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Hostile, less_thans, std::string("less_thans"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Hostile, ampersands, std::string("ampersands"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Hostile, open_quote, std::string("open_quote"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Hostile, attributes, std::string("attributes"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Hostile, comments, std::string("comments"))->Unit(benchmark::kMillisecond);

// Keeps each benchmark's CPU time per iteration for the comparison lines (CPU time, as the
// machine may be shared with other work while the benchmarks run).
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
  benchmark::Initialize(&argc, argv);
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  if (t.count("BM_TokenizeBrisomel") && t.count("BM_TokenizeGumbo")) {
    const double mb = static_cast<double>(Page().size()) / (1 << 20);
    std::printf("tokenize: %.1f MB/s, gumbo: %.1f MB/s\n", mb / (t["BM_TokenizeBrisomel"] / 1e3),
                mb / (t["BM_TokenizeGumbo"] / 1e3));
  }
  if (t.count("BM_TokenizeBrisomel") && t.count("BM_DecodePage"))
    std::printf("decoding the page takes %.1f%% of the time tokenizing it does\n",
                100.0 * t["BM_DecodePage"] / t["BM_TokenizeBrisomel"]);
  const std::string text = "BM_Hostile/text";
  for (const auto& [name, time] : t)
    if (name.rfind("BM_Hostile/", 0) == 0 && name != text && t.count(text))
      std::printf("hostile %s: %.2f times the time of plain text\n", name.c_str() + 11, time / t[text]);
  if (t.count("BM_TokenizeBrisomel") && t.count("BM_TokenizeGumbo"))
    std::printf("SPEEDUP tokenize gumbo %.2f\n", t["BM_TokenizeGumbo"] / t["BM_TokenizeBrisomel"]);
  return 0;
}
