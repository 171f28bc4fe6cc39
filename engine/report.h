#pragma once

#include <string>

#include "engine/coverage.h"
#include "engine/funzioni.h"

namespace quirmel {

// The text of a completed analysis: a header with the number of subsets examined, one line for
// each best level from 6 down to filterLevel that some subset reached, with the fewest and most
// combinations reaching it and its share, and the share covered at filterLevel or above. Empty
// when no subset was examined. Every line ends with CR LF.
std::string BuildCoverageReport(int16_t subsetSize, const CoverageStats& stats, int16_t filterLevel,
                                const NumberFormat& format);

}  // namespace quirmel
