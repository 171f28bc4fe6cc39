#pragma once

// Building small wheels: the fewest rows of k numbers such that every m-number subset of the pool
// meets some row in at least t numbers, by simulated annealing on the number of subsets not yet
// met (the published approach to covering designs). For a fixed row count a move replaces one
// number of one row; each m-subset keeps the count of rows meeting it in t or more, so a move's
// change of cost comes from the subsets whose count it changes. Once a cover is found, a row is
// dropped and the search goes on with one row fewer.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/any_wheel.h"

namespace quirmel {

struct BuildProgress {
  int rows = 0;      // rows of the wheel being improved
  int64_t cost = 0;  // its subsets not met yet
  int bestRows = 0;  // rows of the smallest cover so far; 0: none yet
  int64_t moves = 0;
  double seconds = 0;
};

struct BuildRequest {
  int poolSize = 0;          // the pool 1..N, unless `numbers` is given
  std::vector<int> numbers;  // the player's own numbers (distinct, 1..99), used instead of 1..N
  int rowSize = 6;           // k, 2..20
  int guarantee = 3;         // t <= k, t <= m
  int drawSize = 3;          // m; m = t is a classic covering design
  std::optional<int> targetRows;  // stop once a cover has at most this many rows
  double seconds = 10;            // time limit
  int64_t maxMoves = 0;           // a move limit as well (0: none); with it a run is repeatable
  uint64_t seed = 1;
  std::optional<AnyWheel> start;                       // a starting wheel over the same numbers
  std::function<bool(const BuildProgress&)> progress;  // every ~0.1 s; true stops the search
};

struct BuildResult {
  AnyWheel wheel;              // the smallest cover found, over the pool's own numbers
  bool covered = false;        // a cover was found (and verified by the general check)
  bool reachedTarget = false;  // it has at most targetRows rows
  bool smallest = false;       // no cover can have fewer rows (it meets the Schoenheim bound)
  bool stopped = false;        // the hook asked to stop
  int64_t moves = 0;
  double seconds = 0;
};

// Throws std::invalid_argument with a message for the player for a request outside the limits
// (t > k, t > m, a pool smaller than k or m, numbers repeated or outside 1..99), and when the
// count array, one entry per m-subset, would pass 1 GiB.
BuildResult BuildWheel(const BuildRequest& request);

}  // namespace quirmel
