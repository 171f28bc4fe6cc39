#pragma once

// The straightforward analysis, kept as the reference the fast one is checked against: a presence
// table per row, every subset visited by nested loops, every row's hits counted.

#include "window/form/form.h"

namespace quirmel::testing {

CoverageStats SimpleCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                             int16_t poolSize, int16_t subsetSize, const ProgressHook& progress);

// The straightforward general check of any wheel: every m-subset visited by nested loops, every
// row's hits counted. Fills every member of CheckResult but `method`; stops after `stopAfter`
// subsets when that is below the total.
CheckResult SimpleCheck(const AnyWheel& wheel, int poolSize, int drawSize,
                        std::optional<int> guarantee, int64_t holesToList, int64_t stopAfter = -1);

// Whether every m-subset of `numbers` meets a row of the wheel (over those numbers) in t or more
// of its numbers, by the straightforward enumeration.
bool SimpleCovers(const AnyWheel& wheel, const std::vector<int>& numbers, int t, int m);

// For each draw, how many rows hold exactly j of its numbers (j = 0..6), by counting.
std::vector<std::array<int64_t, 7>> SimpleReplay(const AnyWheel& wheel,
                                                 const std::vector<std::vector<int>>& draws);

// A wheel of `rows` rows of random lengths in [1, longest], distinct numbers from [1, high].
AnyWheel RandomAnyWheel(uint32_t seed, int rows, int longest, int high);

// A wheel of `rows` rows and `positions` positions filled with numbers from [low, high].
Wheel RandomWheel(uint32_t seed, int rows, int positions, int low, int high);

// The wheel GenerateWheel develops from `key` over `poolSize` with `rows` rows.
Wheel DevelopedWheel(const std::vector<int>& key, int poolSize, int rows);

}  // namespace quirmel::testing
