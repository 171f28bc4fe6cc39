#include "tests/oracle.h"

#include "engine/core/subsets.h"

#include <algorithm>
#include <bitset>
#include <functional>
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

CheckResult SimpleCheck(const AnyWheel& wheel, int poolSize, int drawSize,
                        std::optional<int> guarantee, int64_t holesToList, int64_t stopAfter) {
  CheckResult result;
  result.subsets = Binomial(poolSize, drawSize);
  result.guarantee = guarantee;
  result.levels.resize(static_cast<std::size_t>(drawSize + 1));
  if (guarantee) result.necessity.assign(wheel.rowCount(), 0);
  const int64_t limit = stopAfter >= 0 ? std::min(stopAfter, result.subsets) : result.subsets;
  std::vector<int> subset(static_cast<std::size_t>(drawSize));
  for (int64_t rank = 0; rank < limit; ++rank) {
    const Subset s = UnrankSubset(rank, poolSize, drawSize);
    std::array<bool, 100> in{};
    for (int slot = 0; slot < drawSize; ++slot)
      in[static_cast<std::size_t>(s[slot])] = true;
    std::vector<int> hits(wheel.rowCount());
    int best = 0;
    for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
      for (const uint8_t v : wheel.row(r))
        hits[r] += v <= poolSize && in[v] ? 1 : 0;
      best = std::max(best, hits[r]);
    }
    const auto atBest = std::count(hits.begin(), hits.end(), best);
    ++result.levels[static_cast<std::size_t>(best)][atBest];
    ++result.examined;
    if (!guarantee) continue;
    if (best < *guarantee) {
      ++result.holes;
      if (static_cast<int64_t>(result.holeList.size()) < holesToList)
        result.holeList.emplace_back(s.begin(), s.begin() + drawSize);
      continue;
    }
    ++result.covered;
    const auto lifting =
        std::count_if(hits.begin(), hits.end(), [&](int h) { return h >= *guarantee; });
    if (lifting == 1) {
      ++result.necessity[static_cast<std::size_t>(
          std::find_if(hits.begin(), hits.end(), [&](int h) { return h >= *guarantee; }) -
          hits.begin())];
    }
  }
  result.stopped = result.examined < result.subsets;
  return result;
}

// Every m-subset of the numbers, walked in nested loops, against every row's set of numbers.
bool SimpleCovers(const AnyWheel& wheel, const std::vector<int>& numbers, int t, int m) {
  std::vector<std::bitset<128>> rows(wheel.rowCount());
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    for (const uint8_t number : wheel.row(r))
      rows[r].set(number);
  }
  std::bitset<128> draw;
  const std::function<bool(int, std::size_t)> meets = [&](int left, std::size_t from) {
    if (left == 0)
      return std::any_of(rows.begin(), rows.end(), [&](const auto& row) {
        return static_cast<int>((row & draw).count()) >= t;
      });
    for (std::size_t i = from; i + static_cast<std::size_t>(left) <= numbers.size(); ++i) {
      draw.set(static_cast<std::size_t>(numbers[i]));
      const bool met = meets(left - 1, i + 1);
      draw.reset(static_cast<std::size_t>(numbers[i]));
      if (!met) return false;
    }
    return true;
  };
  return meets(m, 0);
}

std::vector<std::array<int64_t, 7>> SimpleReplay(const AnyWheel& wheel,
                                                 const std::vector<std::vector<int>>& draws) {
  std::vector<std::array<int64_t, 7>> counts(draws.size());
  for (std::size_t d = 0; d < draws.size(); ++d) {
    for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
      int hits = 0;
      for (const uint8_t number : wheel.row(r))
        hits += std::count(draws[d].begin(), draws[d].end(), number) > 0 ? 1 : 0;
      ++counts[d][static_cast<std::size_t>(std::min(hits, 6))];
    }
  }
  return counts;
}

AnyWheel RandomAnyWheel(uint32_t seed, int rows, int longest, int high) {
  std::mt19937 random(seed);
  AnyWheel wheel;
  std::vector<uint8_t> numbers(static_cast<std::size_t>(high));
  for (int v = 1; v <= high; ++v)
    numbers[static_cast<std::size_t>(v - 1)] = static_cast<uint8_t>(v);
  for (int r = 0; r < rows; ++r) {
    std::shuffle(numbers.begin(), numbers.end(), random);
    const int length = std::uniform_int_distribution<int>(1, std::min(longest, high))(random);
    wheel.AddRow({numbers.data(), static_cast<std::size_t>(length)});
  }
  return wheel;
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
  const std::vector<int16_t> numbers(key.begin(), key.end());
  return DevelopKey(numbers, static_cast<int16_t>(poolSize), static_cast<int16_t>(rows));
}

}  // namespace quirmel::testing
