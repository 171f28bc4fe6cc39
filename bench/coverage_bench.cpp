// The coverage analysis on the heaviest cases a player can ask for, beside the straightforward
// enumeration (the tests' reference) on the first case, so the ratio comes from one run.
//
//   build/bench/coverage_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include "engine/design/coverage_options.h"
#include "engine/engine.h"
#include "tests/oracle.h"

namespace {

using quirmel::testing::DevelopedWheel;

struct Case {
  std::vector<int> key;
  int16_t pool;
  int16_t rows;
  int16_t subsetSize;
};

const Case kFull49{{1, 2, 3, 4, 5, 6}, 49, 49, 6};
const Case kTen49{{1, 2, 3, 4, 5, 6}, 49, 10, 6};
const Case kFives49{{1, 2, 3, 4, 5, 6}, 49, 49, 5};
const Case kFull99{{1, 2, 3, 4, 5, 6}, 99, 99, 6};

void Analyse(benchmark::State& state, const Case& c, bool workers) {
  const quirmel::Wheel wheel = DevelopedWheel(c.key, c.pool, c.rows);
  quirmel::AnalysisOptions options;
  options.useWorkers = workers;
  int64_t subsets = 0;
  for (auto _ : state) {
    const auto stats = quirmel::AnalyseCoverage(
        wheel, c.rows, static_cast<int16_t>(c.key.size()), c.pool, c.subsetSize,
        [](int32_t) { return false; }, options);
    benchmark::DoNotOptimize(stats.bestLevelCount);
    subsets += stats.subsetCount;
  }
  // A rate of giga-subsets per second, inverted: nanoseconds per subset of wall time (the
  // benchmarks use real time, so the rate counts the workers' time too).
  state.counters["ns_per_subset"] =
      benchmark::Counter(static_cast<double>(subsets) * 1e-9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Straightforward(benchmark::State& state, const Case& c) {
  const quirmel::Wheel wheel = DevelopedWheel(c.key, c.pool, c.rows);
  for (auto _ : state) {
    const auto stats =
        quirmel::testing::SimpleCoverage(wheel, c.rows, static_cast<int16_t>(c.key.size()), c.pool,
                                         c.subsetSize, [](int32_t) { return false; });
    benchmark::DoNotOptimize(stats.bestLevelCount);
  }
}

BENCHMARK_CAPTURE(Analyse, N49_k6_C49, kFull49, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Analyse, N49_k6_C49_one_thread, kFull49, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Analyse, N49_k6_C10, kTen49, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Analyse, N49_k6_C10_one_thread, kTen49, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Analyse, N49_k5_C49, kFives49, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Analyse, N49_k5_C49_one_thread, kFives49, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Analyse, N99_k6_C99, kFull99, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(Analyse, N99_k6_C99_one_thread, kFull99, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(Straightforward, N49_k6_C49, kFull49)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
