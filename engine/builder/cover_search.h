#pragma once

// How a build finds its cover, in phases that share its time: the best of what combinatorics
// gives at once (known designs for m = t; for m > t, splits of the pool into groups with a draw
// threshold each, every group's wheel found by these same phases), then searches among wheels
// made of whole orbits of the groups that fit the pool (see orbit_search.h), then free searches,
// one per thread, started from the smallest cover so far (see anneal.h).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/builder/anneal.h"

namespace quirmel {

struct FoundCover {
  Rows rows;           // the smallest cover found, places ascending in each row; empty if none
  Rows last;           // the free search's wheel when it ended (for a build with no cover)
  std::string method;  // what produced `rows`
  int64_t moves = 0;
  double firstCover = -1;  // seconds from the build's start; -1: none
  double bestAt = -1;
};

// A cover already known for a smaller shape (places 0..P-1), or nothing.
using KnownCover = std::function<std::optional<Rows>(const CoverShape&)>;

// `start` (may be null) is a cover or wheel of the player's to start from; a cover already when
// `startMethod` names what made it, and then the first cover. `depth` counts the splits above
// this search (a group's wheel is found at depth + 1). `known` gives the parts a wheel is put
// together from (groups of a split) their first covers.
FoundCover FindCover(const CoverShape& shape, const SearchControl& control, int threads,
                     uint64_t seed, SearchLive* live, const Rows* start,
                     const std::string& startMethod = {}, int depth = 0,
                     const KnownCover& known = {});

}  // namespace quirmel
