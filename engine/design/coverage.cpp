#include "engine/design/coverage.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "engine/check/check.h"
#include "engine/design/coverage_options.h"

namespace quirmel {

namespace {

// The cyclic wheel as a wheel of any shape for the general check: the first combinationCount
// rows over their first keyCount positions. A developed row may repeat a number (key 11 1 5 over
// 10 gives 02 02 06); a row meets a subset in the numbers it holds, so each is kept once. Numbers
// outside 1..poolSize belong to no subset and are left out; a row left empty still counts among
// the rows at level 0.
AnyWheel DesignRows(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                    int16_t poolSize) {
  AnyWheel rows;
  std::vector<uint8_t> row;
  for (int r = 1; r <= combinationCount; ++r) {
    RowNumbers(wheel, r, keyCount, poolSize, row);
    std::sort(row.begin(), row.end());
    row.erase(std::unique(row.begin(), row.end()), row.end());
    rows.AddRow(row);
  }
  return rows;
}

void CheckArguments(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                    int16_t poolSize, int16_t subsetSize) {
  if (combinationCount < 1 || combinationCount > wheel.rows()) {
    throw std::invalid_argument("AnalyseCoverage: combination count outside the wheel");
  }
  if (keyCount < 1 || keyCount > wheel.positions()) {
    throw std::invalid_argument("AnalyseCoverage: key count outside the wheel");
  }
  if (poolSize < 0 || poolSize > kMaxPoolSize) {
    throw std::invalid_argument("AnalyseCoverage: pool size outside " + RangeText(0, kMaxPoolSize));
  }
  if (subsetSize < kMinDrawSize || subsetSize > kMaxLevel) {
    throw std::invalid_argument("AnalyseCoverage: subset size outside " +
                                RangeText(kMinDrawSize, kMaxLevel));
  }
}

}  // namespace

int64_t SubsetTotal(int n, int k) {
  return k > kMaxLevel ? 0 : Binomial(n, k);
}

CoverageStats AnalyseCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                              int16_t poolSize, int16_t subsetSize, const ProgressHook& progress,
                              const AnalysisOptions& options) {
  CheckArguments(wheel, combinationCount, keyCount, poolSize, subsetSize);
  CoverageStats stats;
  const int64_t total = SubsetTotal(poolSize, subsetSize);
  if (total == 0) return stats;

  const AnyWheel rows = DesignRows(wheel, combinationCount, keyCount, poolSize);
  const bool parallel = options.useWorkers && total >= options.parallelFrom;
  const CheckResult result =
      CheckWheel({.wheel = rows,
                  .poolSize = poolSize,
                  .drawSize = subsetSize,
                  .threads = parallel ? 0 : 1,
                  .progress =
                      [&progress](int64_t merged, int64_t) {
                        return progress && progress(static_cast<int32_t>(merged));
                      },
                  .orderedChunk = kProgressInterval});
  stats.subsetCount = static_cast<int32_t>(result.examined);
  stats.stopped = result.stopped;
  // The design's table: match counts above the cap are counted at the cap.
  for (std::size_t level = 0; level < result.levels.size(); ++level) {
    for (const auto& [matches, subsets] : result.levels[level]) {
      if (matches < 1) continue;  // no row at all: cannot happen with at least one row
      const auto column = static_cast<std::size_t>(std::min<int64_t>(matches, kMatchCountCap));
      stats.matchCountTable[level][column] += static_cast<int32_t>(subsets);
    }
  }
  for (int level = 0; level <= kMaxLevel; ++level) {
    int64_t sum = 0;
    for (int m = 1; m <= kMatchCountCap; ++m)
      sum += stats.matchCountTable[level][m];
    stats.bestLevelCount[level] = static_cast<int32_t>(sum);
  }
  return stats;
}

CoverageStats AnalyseCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                              int16_t poolSize, int16_t subsetSize, const ProgressHook& progress) {
  return AnalyseCoverage(wheel, combinationCount, keyCount, poolSize, subsetSize, progress,
                         AnalysisOptions{});
}

}  // namespace quirmel
