#pragma once

// Lexicographic order of the k-number subsets of 1..n: counting and unranking.

#include <array>
#include <cstdint>

namespace quirmel {

inline constexpr int kMaxSubsetSize = 8;  // the largest draw the general check takes

using Subset = std::array<int16_t, kMaxSubsetSize>;  // slots 0..k-1 hold the numbers, ascending

// C(n, k) for 0 <= n <= 99 and 0 <= k <= 8; 0 outside (k > n, negative or too large arguments).
int64_t Binomial(int n, int k);

// The subset of lexicographic rank `rank` (0 is 1, 2, ..., k); rank must be below Binomial(n, k).
Subset UnrankSubset(int64_t rank, int n, int k);

}  // namespace quirmel
