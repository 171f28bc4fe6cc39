#pragma once

// The counting core of the general check for few rows. Each pool number is turned into the set of
// wheel rows that hold it, as a bitmask over the rows; walking the subsets in lexicographic order,
// the rows are kept grouped by how many numbers of the current prefix they hold, so the best level
// and the match count of every subset follow from one or two AND + popcount operations.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/core/any_wheel.h"
#include "engine/core/subsets.h"

namespace quirmel {

struct RowSets {
  int poolSize = 0;
  int subsetSize = 0;
  int rowCount = 0;
  int words = 0;                 // 64-bit words per row set
  std::vector<uint64_t> rowsOf;  // row set of number v at [v * words, (v + 1) * words), v 1..N
  std::vector<uint64_t> allRows;
  std::vector<uint64_t> noRows;  // all zero
};

// Row sets of the wheel's rows; numbers outside 1..poolSize are left out.
RowSets BuildRowSets(const AnyWheel& wheel, int poolSize, int subsetSize);

// Adds the `count` subsets that follow `first` (included) in lexicographic order to a histogram
// of (subsetSize + 1) x (rowCount + 1) entries: best level times match count.
void CountSubsets(const RowSets& sets, const Subset& first, int64_t count, int64_t* histogram);

}  // namespace quirmel
