#pragma once

// Steiner systems S(t,k,v) made of whole orbits of a group (after Kramer and Mesner). The group
// splits the t-subsets and the k-subsets of the places into orbits; the images of one row hold
// either every t-subset of an orbit exactly once or none of it, or they hold some t-subset twice
// and no Steiner system takes them. A choice of row orbits that holds every orbit of t-subsets
// exactly once is a Steiner system: every t-subset lies in exactly one row. It is found by exact
// cover (see exact_cover.h), the orbits of t-subsets its columns.

#include <cstdint>
#include <optional>

#include "engine/builder/anneal.h"
#include "engine/builder/groups.h"

namespace quirmel {

// The rows of a Steiner system S(t,k,v), C(v,t) / C(k,t), when the counts allow one (C(v-i,t-i)
// divisible by C(k-i,t-i) for every i < t, and for t >= 2 at least as many rows as points);
// nothing otherwise.
std::optional<int64_t> SteinerRows(int places, int rowSize, int guarantee);

// Whether the k-subsets of the places are few enough to be walked, and their orbits under the
// group few enough to be searched.
bool SteinerFits(const CoverShape& shape, const PermutationGroup& group);

// Every row of a Steiner system of the shape (m = t) under the group; nothing when there is none
// under it or the search ended first. The seed orders the rows tried.
std::optional<Rows> SteinerUnderGroup(const CoverShape& shape, const PermutationGroup& group,
                                      uint64_t seed, const SearchControl& control);

}  // namespace quirmel
