#pragma once

// A wheel replayed against past draws: for every draw, how many rows match it in exactly j
// numbers, and its best level; then the totals over all draws.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/any_wheel.h"
#include "engine/files/draw_file.h"
#include "engine/limits.h"

namespace quirmel {

struct DrawOutcome {
  int best = 0;                                  // the most numbers of the draw one row holds
  std::array<int32_t, kMaxDrawSize + 1> rows{};  // [j]: rows holding exactly j numbers, j = 0..m
};

struct ReplayTotals {
  std::vector<int64_t> bestTotals;  // [L]: draws whose best level is L
  std::vector<int64_t> rowTotals;   // [j]: rows matching in exactly j numbers, over all draws
  int64_t replayed = 0;             // draws replayed; fewer than given only when stopped
  bool stopped = false;
};

// The wheel's rows by number, replaying one draw after another and adding up the totals, so that
// a long history can be written out as it is replayed. Numbers of the wheel above the pool match
// no draw; each draw has `drawSize` numbers.
class WheelReplay {
 public:
  WheelReplay(const AnyWheel& wheel, int drawSize);
  DrawOutcome Replay(const Draw& draw);
  const ReplayTotals& totals() const { return totals_; }

 private:
  std::size_t m_;
  int64_t rowCount_;
  std::size_t words_;                          // 64-row words of a row set
  std::vector<std::vector<uint64_t>> rowsOf_;  // the rows holding each number, as bits
  ReplayTotals totals_;
};

struct DrawReplay {
  std::vector<DrawOutcome> draws;  // in the order of the draws
  ReplayTotals totals;
};

// Receives the draws replayed so far and their total, every few thousand draws; true stops.
using ReplayProgress = std::function<bool(int64_t replayed, int64_t total)>;

// Every draw replayed; a stop keeps the outcomes of the draws before it.
DrawReplay ReplayDraws(const AnyWheel& wheel, const std::vector<Draw>& draws, int drawSize,
                       const ReplayProgress& progress = {});

// How often each number 1..99 was drawn over the draws (index 0 unused): plain counts.
std::array<int64_t, kMaxWheelNumber + 1> DrawnCounts(const std::vector<Draw>& draws);

// The replay as CSV: "line,label,numbers,best,rows_<m>,...,rows_2", then one line per draw
// (numbers two digits each, blank-separated; a label quoted when it holds a comma or a quote).
std::string ReplayCsvHeader(int drawSize);
std::string ReplayCsvLine(const Draw& draw, const DrawOutcome& outcome, int drawSize);
std::string ReplayCsv(const std::vector<Draw>& draws, const DrawReplay& replay, int drawSize);

}  // namespace quirmel
