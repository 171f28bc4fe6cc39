#pragma once

// Wheels with key numbers: every row holds the b key numbers, and the rest of each row is a wheel
// of k - b numbers over the other numbers with the guarantee "t - b if m - b", so that any draw
// holding every key number and m - b of the others meets a row in at least t numbers.

#include <vector>

#include "engine/builder/builder.h"
#include "engine/check/win_table.h"

namespace quirmel {

// The request for the rest of the rows (over the numbers that are not key numbers, no key
// numbers of its own); throws std::invalid_argument for key numbers that repeat, are not among
// the numbers, or fill a row.
BuildRequest RestOfRows(const BuildRequest& request);

// The wheel for a request with key numbers: the rest built (from `request.start`, a wheel of the
// rest, when given) and the key numbers put into every row. `covered` and `smallest` speak of
// the draws that hold every key number; `numbers` are all the numbers.
BuildResult BuildAroundKeys(const BuildRequest& request);

// The win table of a verified build, when it counts few enough subsets (kWinTableSubsets): by
// the key numbers among the draw when the request has them; empty otherwise.
std::vector<WinTableRow> BuiltWinTable(const BuildRequest& request, const BuildResult& result);

}  // namespace quirmel
