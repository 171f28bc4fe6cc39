// The builder on the wheels players ask for and on classic covering designs: one search (one
// thread) per case and seed, stopped at the target size or at the time limit, every result
// checked. Reports the rows reached, the seconds to the first cover and to the result, the
// moves a second, and what produced the wheel; a summary line counts the targets reached.
//
//   build/bench/builder_bench                               # 60 s a case, seeds 1-3
//   QUIRMEL_BUILD_SECONDS=10 build/bench/builder_bench --benchmark_filter='C\(22'

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/engine.h"

namespace {

struct Case {
  const char* name;
  int pool, row, guarantee, draw, target;
};

// clang-format off
constexpr Case kCases[] = {
    {"49 numbers 2 if 6",  49, 6, 2, 6, 19},
    {"20 numbers 3 if 6",  20, 6, 3, 6, 11},
    {"30 numbers 3 if 6",  30, 6, 3, 6, 43},
    {"18 numbers 4 if 6",  18, 6, 4, 6, 52},
    {"C(22,6,3)",          22, 6, 3, 3, 77},
    {"C(30,6,3)",          30, 6, 3, 3, 290},
    {"C(20,6,4)",          20, 6, 4, 4, 465},
    {"C(13,6,3)",          13, 6, 3, 3, 21},
    {"C(12,6,4)",          12, 6, 4, 4, 41},
    {"C(10,6,2)", 10, 6, 2, 2, 4},  {"C(11,6,2)", 11, 6, 2, 2, 6},  {"C(12,6,2)", 12, 6, 2, 2, 6},
    {"C(13,6,2)", 13, 6, 2, 2, 7},  {"C(14,6,2)", 14, 6, 2, 2, 7},  {"C(15,6,2)", 15, 6, 2, 2, 10},
    {"C(16,6,2)", 16, 6, 2, 2, 10}, {"C(17,6,2)", 17, 6, 2, 2, 12}, {"C(18,6,2)", 18, 6, 2, 2, 12},
    {"C(19,6,2)", 19, 6, 2, 2, 15}, {"C(20,6,2)", 20, 6, 2, 2, 16}, {"C(21,6,2)", 21, 6, 2, 2, 17},
    {"C(22,6,2)", 22, 6, 2, 2, 19}, {"C(23,6,2)", 23, 6, 2, 2, 21}, {"C(24,6,2)", 24, 6, 2, 2, 22},
    {"C(25,6,2)", 25, 6, 2, 2, 23}, {"C(26,6,2)", 26, 6, 2, 2, 24}, {"C(27,6,2)", 27, 6, 2, 2, 27},
    {"C(28,6,2)", 28, 6, 2, 2, 28}, {"C(29,6,2)", 29, 6, 2, 2, 30}, {"C(30,6,2)", 30, 6, 2, 2, 31},
    // Further cases, without a target: the rows reached are the figure.
    {"15 numbers 4 if 5",  15, 6, 4, 5, 0},
    {"24 numbers 3 if 5",  24, 6, 3, 5, 0},
    {"36 numbers 3 if 5",  36, 6, 3, 5, 0},
    {"49 numbers 3 if 6",  49, 6, 3, 6, 0},
    {"16 numbers 4 if 5",  16, 6, 4, 5, 0},
    {"25 numbers 4 if 6",  25, 6, 4, 6, 0},
    {"15 numbers 5 if 6",  15, 6, 5, 6, 0},
    {"18 numbers 5 if 6",  18, 6, 5, 6, 0},
    {"40 numbers 3 if 6",  40, 6, 3, 6, 0},
    {"99 numbers 3 if 6",  99, 6, 3, 6, 0},
    {"99 numbers 4 if 4",  99, 6, 4, 4, 0}};
// clang-format on

std::atomic<int> ran{0};
std::atomic<int> reached{0};
std::atomic<int> targets{0};

double Seconds() {
  const char* text = std::getenv("QUIRMEL_BUILD_SECONDS");
  return text != nullptr ? std::atof(text) : 60;
}

void Build(benchmark::State& state, const Case& c) {
  const uint64_t seed = static_cast<uint64_t>(state.range(0));
  quirmel::BuildResult result;
  for (auto _ : state) {
    result = quirmel::BuildWheel(
        {.poolSize = c.pool,
         .rowSize = c.row,
         .guarantee = c.guarantee,
         .drawSize = c.draw,
         .targetRows = c.target > 0 ? std::optional<int>(c.target) : std::nullopt,
         .seconds = Seconds(),
         .seed = seed,
         .threads = 1});
  }
  const auto rows = static_cast<double>(result.wheel.rowCount());
  state.counters["rows"] = rows;
  state.counters["target"] = c.target;
  state.counters["verified"] = result.covered;
  state.counters["first_s"] = result.firstCover;
  state.counters["best_s"] = result.bestAt;
  state.counters["moves_per_s"] = static_cast<double>(result.moves) / result.seconds;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.SetLabel(result.method);
  ++ran;
  if (c.target > 0) {
    ++targets;
    if (result.covered && rows <= c.target) ++reached;
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (const Case& c : kCases) {
    benchmark::RegisterBenchmark(c.name, Build, c)
        ->DenseRange(1, c.target > 0 ? 3 : 1)  // seeds
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kSecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("builds run: %d; with a target: %d, reached and verified: %d\n", ran.load(),
              targets.load(), reached.load());
}
