#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "engine/design/wheel.h"
#include "engine/limits.h"

namespace quirmel {

inline constexpr int kMaxLevel = 6;        // best levels run 0..6
inline constexpr int kMatchCountCap = 60;  // match counts above 60 are counted as 60
inline constexpr int32_t kProgressInterval = 10000;

// [best level 0..6][match count 1..60]; column 0 unused.
using MatchCountRow = std::array<int32_t, kMatchCountCap + 1>;
using MatchTable = std::array<MatchCountRow, kMaxLevel + 1>;

struct CoverageStats {
  int32_t subsetCount = 0;
  std::array<int32_t, 7> bestLevelCount{};  // by best level 0..6
  MatchTable matchCountTable{};
  bool stopped = false;
};

// Receives the running subset count at every multiple of 10,000; returns true to ask for a stop.
using ProgressHook = std::function<bool(int32_t subsetCount)>;

// Visits every subsetSize-number subset of 1..poolSize once and records, for each, its best level
// (the most of its numbers that one of the first combinationCount rows holds, over the first
// keyCount positions) and its match count (how many rows reach that level). The hook is called on
// the calling thread, in increasing order, after each multiple of 10,000 subsets has been counted;
// when it answers true the analysis returns at once with stopped set and exactly the statistics of
// the subsets before that point. Wheel numbers outside 1..poolSize belong to no subset.
// Throws std::invalid_argument, reading nothing, unless 1 <= combinationCount <= wheel.rows(),
// 1 <= keyCount <= wheel.positions(), 0 <= poolSize <= 99 and 2 <= subsetSize <= 6.
CoverageStats AnalyseCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                              int16_t poolSize, int16_t subsetSize, const ProgressHook& progress);

// Number of k-number subsets of an n-number pool (0 when k > n), for n up to 99 and k up to 6.
int64_t SubsetTotal(int n, int k);

}  // namespace quirmel
