#include "tests/oracle.h"

#include <random>
#include <stdexcept>
#include <vector>

namespace quirmel::testing {

namespace {

struct Enumeration {
  std::vector<std::array<bool, 100>> presence;
  int n;
  int k;
  int c;
  const ProgressHook& progress;
  CoverageStats stats;
  std::array<int, 6> subset{};

  // Returns false once the hook asked to stop.
  bool Visit(int slot, int from) {
    if (slot == k) return Examine();
    for (int v = from; v <= n - k + slot + 1; ++v) {
      subset[slot] = v;
      if (!Visit(slot + 1, v + 1)) return false;
    }
    return true;
  }

  bool Examine() {
    ++stats.subsetCount;
    std::array<int, 7> hits{};
    for (int row = 0; row < c; ++row) {
      int count = 0;
      for (int slot = 0; slot < k; ++slot)
        count += presence[row][subset[slot]] ? 1 : 0;
      ++hits[count];
    }
    int level = 6;
    while (hits[level] == 0)
      --level;
    ++stats.matchCountTable[level][std::min(hits[level], 60)];
    ++stats.bestLevelCount[level];
    if (stats.subsetCount % 10000 == 0 && progress && progress(stats.subsetCount)) {
      stats.stopped = true;
      return false;
    }
    return true;
  }
};

}  // namespace

CoverageStats SimpleCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                             int16_t poolSize, int16_t subsetSize, const ProgressHook& progress) {
  Enumeration e{{}, poolSize, subsetSize, combinationCount, progress, {}, {}};
  e.presence.assign(static_cast<std::size_t>(combinationCount), {});
  for (int row = 1; row <= combinationCount; ++row) {
    for (int p = 1; p <= keyCount; ++p) {
      const int v = wheel.at(static_cast<int16_t>(row), static_cast<int16_t>(p));
      if (v >= 1 && v <= poolSize) e.presence[row - 1][v] = true;
    }
  }
  e.Visit(0, 1);
  return e.stats;
}

Wheel RandomWheel(uint32_t seed, int rows, int positions, int low, int high) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> number(low, high);
  Wheel wheel(static_cast<int16_t>(rows), static_cast<int16_t>(positions));
  for (int r = 1; r <= rows; ++r) {
    for (int p = 1; p <= positions; ++p) {
      wheel.at(static_cast<int16_t>(r), static_cast<int16_t>(p)) =
          static_cast<int16_t>(number(random));
    }
  }
  return wheel;
}

Wheel DevelopedWheel(const std::vector<int>& key, int poolSize, int rows) {
  std::array<std::string, 6> texts;
  for (std::size_t i = 0; i < key.size(); ++i)
    texts[i] = std::to_string(key[i]);
  WheelState state;
  const GenerationResult result =
      GenerateWheel(state, texts, std::to_string(poolSize), std::to_string(rows));
  if (!result.succeeded) throw std::runtime_error("DevelopedWheel: " + result.message);
  return *state.wheel;
}

}  // namespace quirmel::testing
