#pragma once

// Tuning of the coverage analysis, for tests and benchmarks; AnalyseCoverage uses the defaults.

#include <cstdint>

#include "engine/design/coverage.h"

namespace quirmel {

struct AnalysisOptions {
  // Runs with fewer subsets than this stay on the calling thread.
  int64_t parallelFrom = 300000;
  bool useWorkers = true;
};

CoverageStats AnalyseCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                              int16_t poolSize, int16_t subsetSize, const ProgressHook& progress,
                              const AnalysisOptions& options);

}  // namespace quirmel
