#pragma once

// One search for a small cover: the start given, completed by greedy rows built on unmet draws,
// then simulated annealing on the count of unmet draws with a fixed number of rows; each time
// that count reaches 0 the cover is kept and the rows whose loss costs least are dropped.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "engine/builder/cover_state.h"

namespace quirmel {

using Rows = std::vector<std::vector<int>>;  // places, ascending in each row

// `row` filled up to `rowSize` places with the lowest of 0..places-1 it lacks (while there are
// any), ascending.
inline std::vector<int> FilledUp(std::vector<int> row, int rowSize,
                                 int places = std::numeric_limits<int>::max()) {
  for (int place = 0; static_cast<int>(row.size()) < rowSize && place < places; ++place) {
    if (std::find(row.begin(), row.end(), place) == row.end()) row.push_back(place);
  }
  std::sort(row.begin(), row.end());
  return row;
}
using SearchClock = std::chrono::steady_clock;

struct SearchControl {
  SearchClock::time_point started;   // the build's start, for the times reported
  SearchClock::time_point deadline;  // looked at every few milliseconds, in every phase
  int64_t maxMoves = 0;              // 0: no limit
  int64_t enough = 1;                // a cover of this many rows ends the search
  const std::atomic<bool>* stop = nullptr;

  bool Ended() const {
    return (stop != nullptr && stop->load(std::memory_order_relaxed)) ||
           SearchClock::now() >= deadline;
  }
};

// What the searches share while they run, for the progress report.
struct SearchLive {
  std::atomic<int> bestRows{0};  // the smallest cover so far; 0: none yet
  std::atomic<int> rows{0};      // of the first search: its wheel and the draws it leaves unmet
  std::atomic<int64_t> cost{0};
  std::atomic<int64_t> moves{0};

  // A cover of `size` rows found: shown when it is the smallest so far.
  void Publish(int size) {
    int shown = bestRows.load();
    while ((shown == 0 || shown > size) && !bestRows.compare_exchange_weak(shown, size)) {
    }
  }
};

struct SearchOutcome {
  Rows best;  // the smallest cover found; empty if none
  Rows last;  // the wheel when the search ended (no cover when `best` is empty)
  int64_t moves = 0;
  double firstCover = -1;  // seconds from the build's start, -1: never
  double bestAt = -1;
};

// `live` (may be null) receives the moves and the best cover; with `reports`, also this search's
// wheel and cost, for the progress line.
SearchOutcome Anneal(const CoverShape& shape, const Rows& start, uint64_t seed,
                     const SearchControl& control, SearchLive* live, bool reports);

}  // namespace quirmel
