#pragma once

// The general check of any wheel: for every m-number subset of the pool 1..N, its best level
// (the most of its numbers that one row holds) and its match count (how many rows reach that
// level), in an exact histogram; with a guarantee level t, the holes (subsets whose best level is
// below t), the first of them in lexicographic order, and for every row the subsets that only
// that row lifts to t or above.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "engine/core/any_wheel.h"
#include "engine/core/subsets.h"

namespace quirmel {

// Receives the subsets examined so far and their total, at least every ~50 ms of work; returns
// true to stop the check.
using CheckProgress = std::function<bool(int64_t examined, int64_t total)>;

// How the subsets are counted: row bitsets walked level by level suit few rows; tables of how
// many rows hold each t-number subset suit many. Automatic picks the cheaper by a cost model.
enum class CheckMethod { Automatic, RowSets, CountTables };

struct CheckRequest {
  const AnyWheel& wheel;  // borrowed for the call
  int poolSize = 49;      // N, 1..99; wheel numbers above N belong to no subset
  // The player's numbers, in any order: when given, the subsets are theirs (poolSize is not read),
  // wheel numbers not among them belong to no subset, and the holes are listed in them.
  std::vector<int> numbers;
  int drawSize = 6;              // m, 2..8
  std::optional<int> guarantee;  // t, 1..m
  int64_t holesToList = 0;       // how many holes to list, the first in lexicographic order
  bool necessity = false;        // the per-row counts; needs a guarantee
  int threads = 0;               // at most this many threads; 0: one per core
  CheckMethod method = CheckMethod::Automatic;
  CheckProgress progress;
  // When above 0, the subsets are counted in chunks of exactly this many lexicographic ranks and
  // merged strictly in that order: the hook is then called after each full chunk with the subsets
  // merged so far, in increasing order, and a stop returns exactly the chunks before it.
  int64_t orderedChunk = 0;
};

struct CheckResult {
  int64_t subsets = 0;   // C(N, m)
  int64_t examined = 0;  // subsets visited; below `subsets` only when stopped
  bool stopped = false;
  // levels[L][c]: the subsets whose best level is L with c rows at that level (L = 0..m).
  std::vector<std::map<int64_t, int64_t>> levels;
  std::optional<int> guarantee;
  int64_t covered = 0;                          // subsets at the guarantee level or above
  int64_t holes = 0;                            // subsets below it
  std::vector<std::vector<int>> holeList;       // the first holes, in lexicographic order
  std::vector<int64_t> necessity;               // per row, in wheel order, when asked
  CheckMethod method = CheckMethod::Automatic;  // the method that ran
  int threads = 0;  // threads that counted: one when the shared workers were busy

  int64_t SubsetsAt(int level) const;  // the subsets whose best level is `level`
};

// Throws std::invalid_argument with a message for the player, doing nothing, for a request
// outside the limits above (a pool or draw size outside its range, a guarantee outside 1..m,
// necessity without a guarantee, a hole count outside 0..kMaxHolesListed, more than kMaxWheelRows
// rows), and std::length_error when the count tables the wheel needs would not fit in memory. A
// draw larger than the pool leaves no subset to check: the result is empty.
CheckResult CheckWheel(const CheckRequest& request);

// The threads, at most `wanted`, whose tallies for this request fit in kMaxCheckTallyBytes
// together; one at least.
int CountingThreads(const CheckRequest& request, int wanted);

}  // namespace quirmel
