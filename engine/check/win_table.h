#pragma once

// What a wheel wins over the player's own numbers: for each count h of those numbers among the
// draw (from the draw size down to the guarantee), how many of the h-subsets of the player's
// numbers reach each best level (the most of them that one row holds).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/check/check.h"
#include "engine/core/any_wheel.h"

namespace quirmel {

struct WinTableRow {
  int drawn = 0;                  // h: the player's numbers among the draw
  int keysDrawn = -1;             // of them key numbers (every row holds them); -1: no keys
  int64_t subsets = 0;            // C(n, h)
  std::map<int, int64_t> byBest;  // best level -> h-subsets at exactly that level (present only)
  bool stopped = false;
};

// A wheel's numbers outside `numbers` count for nothing. `numbers` holds 2 to 99 distinct
// numbers; rows are for h from min(drawSize, n) down to max(guarantee, 2). The hook may stop
// the counting (the rows so far are returned, the last marked stopped).
std::vector<WinTableRow> WinTable(const AnyWheel& wheel, std::vector<int> numbers, int drawSize,
                                  int guarantee, const CheckProgress& progress = {});

// The win table of a wheel whose every row holds the key numbers `keys`: for j key numbers
// among m drawn of the player's numbers (j from the count of keys down), the best levels, each
// j plus the best level of the m - j others against the rest of the rows.
std::vector<WinTableRow> KeyWinTable(const AnyWheel& wheel, const std::vector<int>& numbers,
                                     const std::vector<int>& keys, int drawSize);

// The subsets a win table counts over n numbers: C(n, h) for h from min(m, n) down to
// max(t, 2). Tables above kWinTableSubsets are left out at the end of a build (they take long).
inline constexpr int64_t kWinTableSubsets = 20'000'000;
int64_t WinTableSubsets(int n, int drawSize, int guarantee);

// The win table when it counts at most `mostSubsets` subsets; empty otherwise.
std::vector<WinTableRow> WinTableWithin(const AnyWheel& wheel, const std::vector<int>& numbers,
                                        int drawSize, int guarantee,
                                        int64_t mostSubsets = kWinTableSubsets);

// "If 6 of your numbers are drawn: at least 3 in 100.0000% of cases, 4 in 12.3457%, ..." per
// row, each line starting with `prefix`.
std::string WinTableText(const std::vector<WinTableRow>& table, const std::string& prefix);

// The wheel with each number replaced by its place among `numbers` (ascending), from 1;
// numbers outside them are left out of their rows.
AnyWheel OverNumbers(const AnyWheel& wheel, const std::vector<int>& numbers);

}  // namespace quirmel
