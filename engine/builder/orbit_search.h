#pragma once

// A search among wheels made of whole orbits of a group: a few base rows, each standing for all
// its images (see orbit_state.h). Greedy base rows on unmet draws until every draw is met, then
// simulated annealing on the base rows with their number fixed; each time every draw is met the
// wheel is kept and the base row whose loss costs least is dropped. A base row whose orbit is
// short (a row that some elements map onto itself) counts with the rows it really gives.

#include "engine/builder/anneal.h"
#include "engine/builder/groups.h"

namespace quirmel {

// `best` holds every row of the smallest cover found (empty if none).
SearchOutcome OrbitSearch(const CoverShape& shape, const PermutationGroup& group, uint64_t seed,
                          const SearchControl& control, SearchLive* live);

}  // namespace quirmel
