// The builder on the wheels players ask for and on classic covering designs, against the best
// published sizes: one build per case and seed (two threads), stopped at the target size or at
// the time limit, every result checked. Reports the rows reached, the best published size and
// the ratio, for "t if m" the best split of the pool into groups with published wheels of their
// own, the seconds to the first cover and to the result, and what produced the wheel; summary
// lines count the cases at the best published size and within 1.10 of it.
//
//   build/bench/builder_bench                               # 60 s a case, seeds 1-3
//   QUIRMEL_BUILD_SECONDS=10 build/bench/builder_bench --benchmark_filter='C\(2[0-9],6,3'
//
// The published sizes are read from ../shared/best-known (QUIRMEL_BEST_KNOWN to name another
// folder): the La Jolla Covering Repository's covering numbers and the published lotto designs.

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/builder/pigeonhole.h"
#include "engine/engine.h"

namespace {

struct Case {
  std::string name;
  int pool, row, guarantee, draw, target;
};

// clang-format off
const std::vector<Case> kPlayerCases = {
    {"49 numbers 2 if 6",  49, 6, 2, 6, 19},
    {"20 numbers 3 if 6",  20, 6, 3, 6, 11},
    {"30 numbers 3 if 6",  30, 6, 3, 6, 43},
    {"18 numbers 4 if 6",  18, 6, 4, 6, 52},
    {"49 numbers 3 if 6",  49, 6, 3, 6, 163},
    {"27 numbers 3 if 4",  27, 6, 3, 4, 86},
    {"30 numbers 3 if 5 rows of 5", 30, 5, 3, 5, 102},
    {"15 numbers 4 if 5",  15, 6, 4, 5, 0},
    {"24 numbers 3 if 5",  24, 6, 3, 5, 0},
    {"36 numbers 3 if 5",  36, 6, 3, 5, 0},
    {"16 numbers 4 if 5",  16, 6, 4, 5, 0},
    {"25 numbers 4 if 6",  25, 6, 4, 6, 0},
    {"15 numbers 5 if 6",  15, 6, 5, 6, 0},
    {"18 numbers 5 if 6",  18, 6, 5, 6, 0},
    {"40 numbers 3 if 6",  40, 6, 3, 6, 0},
    {"99 numbers 3 if 6",  99, 6, 3, 6, 0},
    {"99 numbers 4 if 4",  99, 6, 4, 4, 0}};

// Covering designs C(v,k,t): k, t and the pools.
constexpr std::tuple<int, int, int, int> kCoveringRanges[] = {
    {6, 2, 10, 30}, {6, 3, 13, 40}, {6, 4, 12, 24}, {6, 5, 10, 16}, {5, 3, 10, 30}, {5, 4, 10, 30}};
// clang-format on

using Key = std::tuple<int, int, int, int>;  // v, k, t, m
std::map<Key, int> best;                     // the best published sizes

void ReadBestKnown() {
  const char* folder = std::getenv("QUIRMEL_BEST_KNOWN");
  const std::string base = folder != nullptr ? folder : "../shared/best-known";
  for (const std::string file : {"covering.csv", "lotto.csv"}) {
    std::ifstream in(base + "/" + file);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#' || line[0] == 'v') continue;
      std::vector<int> field;
      std::stringstream cells(line);
      std::string cell;
      while (std::getline(cells, cell, ','))
        field.push_back(cell.empty() ? 0 : std::atoi(cell.c_str()));
      if (file == "covering.csv" && field.size() >= 4)
        best[{field[0], field[1], field[2], field[2]}] = field[3];
      if (file == "lotto.csv" && field.size() >= 5)
        best[{field[0], field[1], field[3], field[2]}] = field[4];
    }
  }
}

int Published(int v, int k, int t, int m) {
  if (v <= k) return 1;
  const auto at = best.find({v, k, t, m});
  return at == best.end() ? 0 : at->second;
}

// The fewest rows of a split of the pool into groups with published wheels of their own.
int BestSplit(const Case& c) {
  int fewest = 0;
  for (const auto& plan : quirmel::GroupPlans(c.pool, c.guarantee, c.draw)) {
    int rows = 0;
    for (const quirmel::PlaceGroup& group : plan) {
      if (group.size < group.threshold) continue;
      const int published = Published(group.size, c.row, c.guarantee, group.threshold);
      if (published == 0) {
        rows = 0;
        break;
      }
      rows += published;
    }
    if (rows > 0 && (fewest == 0 || rows < fewest)) fewest = rows;
  }
  return fewest;
}

std::atomic<int> ran{0};
std::atomic<int> compared{0};
std::atomic<int> equal{0};
std::atomic<int> within{0};

double FromEnvironment(const char* name, double fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? std::atof(text) : fallback;
}

void Build(benchmark::State& state, const Case& c) {
  const uint64_t seed = static_cast<uint64_t>(state.range(0));
  const int published = Published(c.pool, c.row, c.guarantee, c.draw);
  const int target = c.target > 0 ? c.target : published;
  quirmel::BuildResult result;
  for (auto _ : state) {
    result = quirmel::BuildWheel(
        {.poolSize = c.pool,
         .rowSize = c.row,
         .guarantee = c.guarantee,
         .drawSize = c.draw,
         .targetRows = target > 0 ? std::optional<int>(target) : std::nullopt,
         .seconds = FromEnvironment("QUIRMEL_BUILD_SECONDS", 60),
         .seed = seed,
         .threads = static_cast<int>(FromEnvironment("QUIRMEL_BUILD_THREADS", 2))});
  }
  const auto rows = static_cast<double>(result.wheel.rowCount());
  state.counters["rows"] = rows;
  state.counters["published"] = published;
  if (published > 0) state.counters["ratio"] = rows / published;
  if (c.draw > c.guarantee) state.counters["split"] = BestSplit(c);
  state.counters["verified"] = result.covered;
  state.counters["first_s"] = result.firstCover;
  state.counters["best_s"] = result.bestAt;
  state.counters["moves_per_s"] = static_cast<double>(result.moves) / result.seconds;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.SetLabel(result.method);
  ++ran;
  if (published > 0 && result.covered) {
    ++compared;
    if (rows <= published) ++equal;
    if (rows <= 1.10 * published) ++within;
  }
}

}  // namespace

int main(int argc, char** argv) {
  ReadBestKnown();
  std::vector<Case> cases = kPlayerCases;
  for (const auto& [k, t, low, high] : kCoveringRanges) {
    for (int v = low; v <= high; ++v) {
      const std::string name =
          "C(" + std::to_string(v) + "," + std::to_string(k) + "," + std::to_string(t) + ")";
      cases.push_back({name, v, k, t, t, 0});
    }
  }
  const int seeds = static_cast<int>(FromEnvironment("QUIRMEL_BUILD_SEEDS", 3));
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark(c.name.c_str(), Build, c)
        ->DenseRange(1, seeds)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kSecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("builds run: %d; with a published size: %d, equal to it: %d, within 1.10: %d\n",
              ran.load(), compared.load(), equal.load(), within.load());
}
