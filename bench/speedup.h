// Runs the registered benchmarks and prints one "SPEEDUP <name> <peer> <ratio>" line per
// comparison: the peer's processor time per iteration over ours, both measured in this run
// (processor time: both sides run in this process, and it is steadier on a shared machine).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace brisomel::bench {

struct Comparison {
  std::string name, peer;
  std::string ours_benchmark, peer_benchmark;
};

class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0 &&
          !medians.count(WithoutRepeats(run.benchmark_name()))) {
        seconds[WithoutRepeats(run.benchmark_name())] = run.GetAdjustedCPUTime();
      }
      // A benchmark run several times is compared by its median, which one slow repetition
      // on a busy machine does not move.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        const std::string name = WithoutRepeats(run.run_name.str());
        seconds[name] = run.GetAdjustedCPUTime();
        medians.insert(name);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // "BM_X/repeats:9" -> "BM_X", so comparisons name a benchmark the same however often it runs.
  static std::string WithoutRepeats(const std::string& name) {
    const size_t at = name.find("/repeats:");
    return at == std::string::npos ? name : name.substr(0, at);
  }
  std::map<std::string, double> seconds;
  std::set<std::string> medians;
};

// The time of a benchmark, or of several joined by '+' (summed); negative if one is missing.
inline double TimeOf(const std::map<std::string, double>& seconds, const std::string& names) {
  double total = 0;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find('+', start);
    if (end == std::string::npos) end = names.size();
    auto it = seconds.find(names.substr(start, end - start));
    if (it == seconds.end()) return -1;
    total += it->second;
    start = end + 1;
  }
  return total;
}

// Benchmarks named in a comparison may be sums ("A+B").
inline int RunAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons) {
  benchmark::Initialize(&argc, argv);
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const Comparison& c : comparisons) {
    double ours = TimeOf(reporter.seconds, c.ours_benchmark);
    double peer = TimeOf(reporter.seconds, c.peer_benchmark);
    if (ours <= 0 || peer <= 0) continue;
    std::printf("SPEEDUP %s %s %.2f\n", c.name.c_str(), c.peer.c_str(), peer / ours);
  }
  return 0;
}

}  // namespace brisomel::bench
