#pragma once

// Lexicographic order of the k-number subsets of 1..n: counting and unranking.

#include <array>
#include <cstdint>

namespace quirmel {

inline constexpr int kMaxSubsetSize = 8;  // the largest draw the general check takes

using Subset = std::array<int16_t, kMaxSubsetSize>;  // slots 0..k-1 hold the numbers, ascending

struct BinomialTable {
  std::array<std::array<int64_t, kMaxSubsetSize + 1>, 100> value{};  // n = 0..99
  constexpr BinomialTable() {
    for (int n = 0; n < 100; ++n) {
      value[n][0] = 1;
      for (int k = 1; k <= kMaxSubsetSize && k <= n; ++k)
        value[n][k] = value[n - 1][k - 1] + (k <= n - 1 ? value[n - 1][k] : 0);
    }
  }
};
inline constexpr BinomialTable kBinomial;

// C(n, k) for 0 <= n <= 99 and 0 <= k <= 8; 0 outside (k > n, negative or too large arguments).
inline int64_t Binomial(int n, int k) {
  if (n < 0 || k < 0 || k > kMaxSubsetSize || n > 99 || k > n) return 0;
  return kBinomial.value[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
}

// The subset of lexicographic rank `rank` (0 is 1, 2, ..., k); rank must be below Binomial(n, k).
Subset UnrankSubset(int64_t rank, int n, int k);

}  // namespace quirmel
