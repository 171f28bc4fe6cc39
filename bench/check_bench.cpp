// The general check on the cases players bring, beside the straightforward enumeration on the
// same wheels in the same run. Times are wall-clock (the check runs on every core); the
// enumeration is timed on the first subsets only and its per-subset figure compared.
//
//   build/bench/check_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <random>

#include "engine/engine.h"
#include "tests/oracle.h"

namespace {

using quirmel::AnyWheel;

// `rows` random rows of `length` distinct numbers from 1..high.
AnyWheel RandomRows(uint32_t seed, int rows, int length, int high) {
  std::mt19937 random(seed);
  std::vector<uint8_t> numbers(static_cast<std::size_t>(high));
  for (int v = 1; v <= high; ++v)
    numbers[static_cast<std::size_t>(v - 1)] = static_cast<uint8_t>(v);
  AnyWheel wheel;
  for (int r = 0; r < rows; ++r) {
    std::shuffle(numbers.begin(), numbers.end(), random);
    wheel.AddRow({numbers.data(), static_cast<std::size_t>(length)});
  }
  return wheel;
}

// A structured design: four keys developed cyclically over 49, 163 of their 196 rows.
AnyWheel CyclicDesign() {
  const std::array<std::array<int, 6>, 4> keys{{{1, 2, 4, 8, 16, 32},
                                                {1, 3, 7, 15, 31, 44},
                                                {1, 5, 12, 23, 35, 40},
                                                {1, 6, 14, 27, 38, 47}}};
  AnyWheel wheel;
  for (const auto& key : keys) {
    for (int shift = 0; shift < 49 && wheel.rowCount() < 163; ++shift) {
      std::array<uint8_t, 6> row{};
      for (std::size_t i = 0; i < 6; ++i)
        row[i] = static_cast<uint8_t>((key[i] - 1 + shift) % 49 + 1);
      wheel.AddRow(row);
    }
  }
  return wheel;
}

struct Case {
  AnyWheel wheel;
  int pool;
  int draw;
};

const Case& Get(const std::string& name) {
  static const std::map<std::string, Case> cases = {
      {"N49_m6_163_random", {RandomRows(1, 163, 6, 49), 49, 6}},
      {"N49_m6_163_design", {CyclicDesign(), 49, 6}},
      {"N49_m6_1000", {RandomRows(2, 1000, 6, 49), 49, 6}},
      {"N49_m6_10000", {RandomRows(3, 10000, 6, 49), 49, 6}},
      {"N49_m6_100000", {RandomRows(4, 100000, 6, 49), 49, 6}},
      {"N90_m6_1000", {RandomRows(5, 1000, 6, 90), 90, 6}},
      {"N49_m5_10000", {RandomRows(6, 10000, 6, 49), 49, 5}},
      {"N50_m7_163", {RandomRows(7, 163, 7, 50), 50, 7}},
      {"N99_m6_100000", {RandomRows(8, 100000, 6, 99), 99, 6}},
  };
  return cases.at(name);
}

std::map<std::string, int64_t> subsetsByMethod;  // what actually ran, for the summary line

void Check(benchmark::State& state, const std::string& name) {
  const Case& c = Get(name);
  int64_t subsets = 0;
  quirmel::CheckMethod method{};
  for (auto _ : state) {
    const quirmel::CheckResult result =
        quirmel::CheckWheel({.wheel = c.wheel, .poolSize = c.pool, .drawSize = c.draw});
    benchmark::DoNotOptimize(result.levels);
    subsets += result.examined;
    method = result.method;
  }
  const char* label = method == quirmel::CheckMethod::RowSets ? "row sets" : "count tables";
  state.SetLabel(label);
  subsetsByMethod[label] += subsets;
  // Wall time per subset (the benchmark uses real time, so the rate is over wall time).
  state.counters["ns_per_subset"] =
      benchmark::Counter(static_cast<double>(subsets) * 1e-9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A check with a guarantee, as `quirmel-cli check --guarantee 3` runs it.
void CheckAtThree(benchmark::State& state, const std::string& name) {
  const Case& c = Get(name);
  for (auto _ : state) {
    const quirmel::CheckResult result = quirmel::CheckWheel(
        {.wheel = c.wheel, .poolSize = c.pool, .drawSize = c.draw, .guarantee = 3});
    benchmark::DoNotOptimize(result.holes);
  }
}

// The floor the check is measured against: one thread visiting every 6-subset of 1..49 once,
// with one histogram add each.
void Floor(benchmark::State& state) {
  for (auto _ : state) {
    std::array<int64_t, 64> histogram{};
    quirmel::Subset s{1, 2, 3, 4, 5, 6};
    do {
      ++histogram[static_cast<std::size_t>((s[0] ^ s[5]) & 63)];
    } while (quirmel::NextSubset(s.data(), 6, 6, 49) >= 0);
    benchmark::DoNotOptimize(histogram);
  }
}

// The straightforward enumeration on the first subsets of the same wheel (fewer for more rows).
void Straightforward(benchmark::State& state, const std::string& name) {
  const Case& c = Get(name);
  const int64_t kSample =
      std::clamp<int64_t>(20000000 / static_cast<int64_t>(c.wheel.rowCount()), 1000, 200000);
  int64_t subsets = 0;
  for (auto _ : state) {
    const auto result = quirmel::testing::SimpleCheck(c.wheel, c.pool, c.draw, {}, 0, kSample);
    benchmark::DoNotOptimize(result.levels);
    subsets += result.examined;
  }
  state.counters["ns_per_subset"] =
      benchmark::Counter(static_cast<double>(subsets) * 1e-9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Register() {
  benchmark::RegisterBenchmark("Floor/N49_m6", Floor)->Unit(benchmark::kMillisecond)->UseRealTime();
  for (const char* name : {"N49_m6_163_random", "N49_m6_10000", "N49_m6_100000"}) {
    benchmark::RegisterBenchmark((std::string("CheckAtThree/") + name).c_str(), CheckAtThree,
                                 std::string(name))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  for (const char* name :
       {"N49_m6_163_random", "N49_m6_163_design", "N49_m6_1000", "N49_m6_10000", "N49_m6_100000",
        "N90_m6_1000", "N49_m5_10000", "N50_m7_163", "N99_m6_100000"}) {
    const std::string check = std::string("Check/") + name;
    const std::string simple = std::string("Straightforward/") + name;
    auto* b = benchmark::RegisterBenchmark(check.c_str(), Check, std::string(name));
    b->Unit(benchmark::kMillisecond)->UseRealTime();
    if (std::string(name).starts_with("N90") || std::string(name).starts_with("N99") ||
        std::string(name).starts_with("N50"))
      b->Iterations(1);
    benchmark::RegisterBenchmark(simple.c_str(), Straightforward, std::string(name))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("summary:");
  for (const auto& [method, subsets] : subsetsByMethod)
    std::printf(" %s checked %lld subsets;", method.c_str(), static_cast<long long>(subsets));
  std::printf("\n");
}
