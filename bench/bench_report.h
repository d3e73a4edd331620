// Collects the mean real time per iteration of each benchmark run, so that a comparison line
// can be printed from times measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace brisomel::bench {

class TimesReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations > 0 && run.run_type == Run::RT_Iteration) {
        real[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
        cpu[run.benchmark_name()] = run.cpu_accumulated_time / double(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> real, cpu;
};

// Runs the registered benchmarks and prints SPEEDUP <name> <peer> <peer time / our time>, from
// processor time when both sides run in this process (steadier on a shared machine), else
// from wall-clock time.
inline int RunAndCompare(int argc, char** argv, const char* name, const char* peer,
                         const std::string& ours, const std::string& theirs, bool cpu_time) {
  benchmark::Initialize(&argc, argv);
  TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const auto& times = cpu_time ? reporter.cpu : reporter.real;
  auto a = times.find(ours), b = times.find(theirs);
  if (a != times.end() && b != times.end() && a->second > 0) {
    std::printf("SPEEDUP %s %s %.2f\n", name, peer, b->second / a->second);
  }
  return 0;
}

}  // namespace brisomel::bench
