#pragma once

// A wheel replayed against past draws: for every draw, how many rows match it in exactly j
// numbers, and its best level; then the totals over all draws.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/any_wheel.h"
#include "engine/files/draw_file.h"

namespace quirmel {

struct DrawOutcome {
  int best = 0;               // the most numbers of the draw one row holds
  std::vector<int64_t> rows;  // [j]: rows holding exactly j numbers of the draw, j = 0..m
};

struct DrawReplay {
  std::vector<DrawOutcome> draws;   // in the order of the draws
  std::vector<int64_t> bestTotals;  // [L]: draws whose best level is L
  std::vector<int64_t> rowTotals;   // [j]: rows matching in exactly j numbers, over all draws
};

// Numbers of the wheel above the pool match no draw. Each draw has `drawSize` numbers.
DrawReplay ReplayDraws(const AnyWheel& wheel, const std::vector<Draw>& draws, int drawSize);

// The replay as CSV: "line,label,numbers,best,rows_<m>,...,rows_2", then one line per draw
// (numbers two digits each, blank-separated; a label quoted when it holds a comma or a quote).
std::string ReplayCsv(const std::vector<Draw>& draws, const DrawReplay& replay, int drawSize);

}  // namespace quirmel
