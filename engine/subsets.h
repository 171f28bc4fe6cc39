#pragma once

// Lexicographic order of the k-number subsets of 1..n: counting and unranking.

#include <array>
#include <cstdint>

namespace quirmel {

using Subset = std::array<int16_t, 6>;  // slots 0..k-1 hold the numbers, ascending

// The subset of lexicographic rank `rank` (0 is 1, 2, ..., k); rank must be below SubsetTotal.
Subset UnrankSubset(int64_t rank, int n, int k);

}  // namespace quirmel
