#pragma once

// Building small wheels: the fewest rows of k numbers such that every m-number subset (draw) of
// the pool meets some row in at least t numbers. The builder starts from the best of what
// combinatorics gives (known Steiner systems for covering designs, m = t, and those found under a
// group by exact cover; pigeonhole splits into groups with covering designs of their own for
// m > t), then runs independent searches, one per thread, by simulated annealing on the count
// of unmet draws (see anneal.h and cover_state.h), and keeps the smallest cover, verified by the
// general check.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/any_wheel.h"

namespace quirmel {

struct BuildProgress {
  int rows = 0;      // rows of the wheel being improved
  int64_t cost = 0;  // its draws not met yet
  int bestRows = 0;  // rows of the smallest cover so far; 0: none yet
  int64_t moves = 0;
  double seconds = 0;
};

struct BuildRequest {
  int poolSize = 0;             // the pool 1..N, unless `numbers` is given
  std::vector<int> numbers;     // the player's own numbers (distinct, 1..99), used instead of 1..N
  std::vector<int> keyNumbers;  // numbers every row holds (see key_numbers.h); fewer than k
  int rowSize = 6;              // k, 2..20
  int guarantee = 3;            // t <= k, t <= m
  int drawSize = 3;             // m; m = t is a classic covering design
  std::optional<int> targetRows;  // stop once a cover has at most this many rows
  double seconds = 10;            // time limit, the final check included
  int64_t maxMoves = 0;  // a move limit per search as well (0: none); with it a run is repeatable
  uint64_t seed = 1;     // search j runs with seed + j
  int threads = 0;       // independent searches; 0: one per core
  std::optional<AnyWheel> start;  // a starting wheel over the same numbers
  std::string startMethod;        // when set, the start is a cover already, made by this (the book)
  std::function<bool(const BuildProgress&)> progress;  // every ~0.1 s; true stops the search
  // Wheels known for smaller pools, for the parts a wheel is put together from: rows of
  // `rowSize` over 1..places for "guarantee if drawSize", or nothing (see the book).
  std::function<std::optional<AnyWheel>(int places, int rowSize, int guarantee, int drawSize)>
      knownCover;
};

struct BuildResult {
  AnyWheel wheel;              // the smallest cover found, over the pool's own numbers
  std::vector<int> numbers;    // the numbers it is built over, ascending
  bool covered = false;        // a cover was found and the general check confirmed it
  bool reachedTarget = false;  // it has at most targetRows rows
  bool smallest = false;       // no cover can have fewer rows (it meets the Schoenheim bound)
  bool stopped = false;        // the hook asked to stop
  bool unchecked = false;      // the final check did not end within the time limit
  std::optional<int64_t> lowerBound;  // the Schoenheim bound, for covering designs (m = t)
  std::string method;                 // what produced the wheel: a construction, or the search
  int threads = 0;                    // searches that ran
  int64_t moves = 0;                  // of all the searches
  double firstCover = -1;             // seconds to the first cover; -1: none
  double bestAt = -1;                 // seconds to the wheel returned
  double seconds = 0;
};

// No covering design (m = t) has fewer rows than the Schoenheim bound
// ceil(P/k ceil((P-1)/(k-1) ... ceil((P-t+1)/(k-t+1)))); for m > t none is known here.
std::optional<int64_t> SchoenheimBound(int places, int rowSize, int guarantee, int drawSize);

// Throws std::invalid_argument with a message for the player for a request outside the limits
// (t > k, t > m, a pool smaller than k or m, numbers repeated or outside 1..99, a time limit that
// is not a positive number), and when one search would need more than kMaxBuildBytes.
BuildResult BuildWheel(const BuildRequest& request);

}  // namespace quirmel
