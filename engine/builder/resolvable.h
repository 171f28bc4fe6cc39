#pragma once

// Resolvable systems of triples: classes that each part the numbers into triples, such that every
// two numbers stand in a triple of some class (a Kirkman triple system when no pair repeats). Two
// of them join two groups of numbers into a cover of every triple (see halves.h).

#include <optional>
#include <vector>

#include "engine/builder/anneal.h"

namespace quirmel {

// `classes` classes of triples of places 0..points-1, each class a partition of the places, padded
// up to a multiple of three with places of `points` and above that stand for no number (a triple
// holding one is a pair of real places, or a single one); every pair of real places in some
// triple. Found by a local search within `control`; nothing when it found none (too few classes,
// or the time ran out). A class needs (points - 1) / 2 classes at least.
std::optional<std::vector<Rows>> ResolvableTriples(int points, int classes, uint64_t seed,
                                                   const SearchControl& control);

// A Kirkman triple system on `points` = 3n places (n odd): (points - 1) / 2 classes, every pair
// in exactly one triple; the translates x -> x + 1 of a base class on Z_n x {0, 1, 2} found by a
// short search, and (n - 1) / 2 classes of it fixed. Nothing when the search found no base class.
std::optional<std::vector<Rows>> KirkmanTriples(int points);

// The fewest classes such a system can have: every place meets two others in each class.
inline int LeastClasses(int points) {
  return points / 2;
}

// The places of the Kirkman system a system on `points` places is cut from, when it has at most
// two more (9 for 7 and 8, 21 for 19 and 20); 0 when there is none.
inline int KirkmanPlaces(int points) {
  const int kirkman = points + (3 - points % 6 + 6) % 6;
  return kirkman - points <= 2 && kirkman >= 9 ? kirkman : 0;
}

// The classes a system is expected to take: those of the Kirkman system it is cut from, else a
// class above the fewest (a local search seldom finds the fewest).
inline int LikelyClasses(int points) {
  const int kirkman = KirkmanPlaces(points);
  return kirkman > 0 ? (kirkman - 1) / 2 : LeastClasses(points) + 1;
}

}  // namespace quirmel
