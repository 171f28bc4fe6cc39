#pragma once

// Every triple of a pool from two groups of it, A and B (places 0..a-1 and a..a+b-1): a cover of
// every triple of A, one of every triple of B, and rows of a triple of A beside a triple of B for
// the triples that take two numbers from one group and one from the other. With resolvable
// systems of triples on both groups (see resolvable.h), class i of the group with more classes
// is joined, triple by triple, to every triple of one class of the other: each triple of one
// group then meets a whole class, every number, of the other, and the mixed rows number
// max(rA, rB) x (triples in a class of A) x (triples in a class of B). On 21 + 21 numbers, with
// Kirkman systems of 10 classes of 7: 490 rows, and with the 77 of each group's cover, 644.

#include <vector>

#include "engine/builder/anneal.h"

namespace quirmel {

struct TwoGroups {
  int sizeA = 0;
  int sizeB = 0;
  Rows insideA;                // a cover of every triple of A, rows of 6 places of 0..a-1
  Rows insideB;                // of B, in its own places 0..b-1
  std::vector<Rows> classesA;  // resolvable triples of A (places of a and above stand for none)
  std::vector<Rows> classesB;
};

// The rows of 6 of the whole pool, ascending; rows that a padded triple leaves short are filled
// up with other places.
Rows JoinTwoGroups(const TwoGroups& groups);

// The rows the mixed part takes: max(rA, rB) x ceil(a / 3) x ceil(b / 3).
int64_t MixedRows(int sizeA, int sizeB, int classesA, int classesB);

}  // namespace quirmel
