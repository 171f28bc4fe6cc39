#pragma once

#include <string>

#include "engine/check/check.h"
#include "engine/core/funzioni.h"
#include "engine/design/coverage.h"

namespace quirmel {

// The text of a completed analysis: a header with the number of subsets examined, one line for
// each best level from 6 down to filterLevel that some subset reached, with the fewest and most
// combinations reaching it and its share, and the share covered at filterLevel or above. Empty
// when no subset was examined. Every line ends with CR LF.
std::string BuildCoverageReport(int16_t subsetSize, const CoverageStats& stats, int16_t filterLevel,
                                const NumberFormat& format);

// The report's lines without their line end, for every writer of the report (the window's and
// the command line's extended one): "Hits 06 - Integral: 13,983,816" and
// "p. 3 - min.  1 | max.  4 ...   0.7534%" (the share as formatted by the caller).
std::string ReportHeaderLine(int subsetSize, int64_t subsets, const NumberFormat& format);
std::string ReportLevelLine(int level, int64_t fewest, int64_t most, const std::string& share);

// The same report from the general check of any wheel (drawSize = subsetSize), whose match
// counts are exact rather than capped at 60: for wheels opened from a file, which may hold
// thousands of rows. Empty when the check was stopped.
std::string BuildCoverageReport(int16_t subsetSize, const CheckResult& result, int16_t filterLevel,
                                const NumberFormat& format);

}  // namespace quirmel
