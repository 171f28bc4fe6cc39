#pragma once

// The straightforward analysis, kept as the reference the fast one is checked against: a presence
// table per row, every subset visited by nested loops, every row's hits counted.

#include "engine/engine.h"

namespace quirmel::testing {

CoverageStats SimpleCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                             int16_t poolSize, int16_t subsetSize, const ProgressHook& progress);

// A wheel of `rows` rows and `positions` positions filled with numbers from [low, high].
Wheel RandomWheel(uint32_t seed, int rows, int positions, int low, int high);

// The wheel GenerateWheel develops from `key` over `poolSize` with `rows` rows.
Wheel DevelopedWheel(const std::vector<int>& key, int poolSize, int rows);

}  // namespace quirmel::testing
