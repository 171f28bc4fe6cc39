#pragma once

#include <string>

#include "engine/check/check.h"
#include "engine/design/coverage.h"
#include "engine/design/funzioni.h"

namespace quirmel {

// The text of a completed analysis: a header with the number of subsets examined, one line for
// each best level from 6 down to filterLevel that some subset reached, with the fewest and most
// combinations reaching it and its share, and the share covered at filterLevel or above. Empty
// when no subset was examined. Every line ends with CR LF.
std::string BuildCoverageReport(int16_t subsetSize, const CoverageStats& stats, int16_t filterLevel,
                                const NumberFormat& format);

// The same report from the general check of any wheel (drawSize = subsetSize), whose match
// counts are exact rather than capped at 60: for wheels opened from a file, which may hold
// thousands of rows. Empty when the check was stopped.
std::string BuildCoverageReport(int16_t subsetSize, const CheckResult& result, int16_t filterLevel,
                                const NumberFormat& format);

}  // namespace quirmel
