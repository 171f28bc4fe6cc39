#pragma once

// What a wheel wins over the player's own numbers: for each count h of those numbers among the
// draw (from the draw size down to the guarantee), how many of the h-subsets of the player's
// numbers reach each best level (the most of them that one row holds).

#include <cstdint>
#include <map>
#include <vector>

#include "engine/any_wheel.h"
#include "engine/check.h"

namespace quirmel {

struct WinTableRow {
  int drawn = 0;                  // h: the player's numbers among the draw
  int64_t subsets = 0;            // C(n, h)
  std::map<int, int64_t> byBest;  // best level -> h-subsets at exactly that level (present only)
  bool stopped = false;

  int Fewest() const;   // the lowest best level that occurs
  int Typical() const;  // the best level of most h-subsets
};

// A wheel's numbers outside `numbers` count for nothing. `numbers` holds 2 to 99 distinct
// numbers; rows are for h from min(drawSize, n) down to max(guarantee, 2). The hook may stop
// the counting (the rows so far are returned, the last marked stopped).
std::vector<WinTableRow> WinTable(const AnyWheel& wheel, std::vector<int> numbers, int drawSize,
                                  int guarantee, const CheckProgress& progress = {});

// The wheel with each number replaced by its place among `numbers` (ascending), from 1;
// numbers outside them are left out of their rows.
AnyWheel OverNumbers(const AnyWheel& wheel, const std::vector<int>& numbers);

}  // namespace quirmel
