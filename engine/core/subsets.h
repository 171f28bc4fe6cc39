#pragma once

// The one home of subset ranks and walks: binomials, the lexicographic order of the k-number
// subsets of 1..n (rank, unrank, next), the colex order of subsets of places, and the walk over
// every combination of a few positions.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/limits.h"

namespace quirmel {

using Subset = std::array<int16_t, kMaxSubsetSize>;  // slots 0..k-1 hold the numbers, ascending

struct BinomialTable {
  std::array<std::array<int64_t, kMaxSubsetSize + 1>, kMaxWheelNumber + 1> value{};  // n = 0..99
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
  if (n < 0 || k < 0 || k > kMaxSubsetSize || n > kMaxWheelNumber || k > n) return 0;
  return kBinomial.value[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
}

// Colex order of subsets of the places 0..98 (a sorted a_0 < ... < a_{k-1} has the rank
// C(a_0, 1) + C(a_1, 2) + ... + C(a_{k-1}, k)): the ranks of the k-subsets of 0..n-1 are exactly
// 0..C(n, k) - 1, whatever n, so the same rank serves every pool.
inline int64_t ColexRank(const uint8_t* sorted, int k) {
  int64_t rank = 0;
  for (int i = 0; i < k; ++i)
    rank += kBinomial.value[sorted[i]][static_cast<std::size_t>(i + 1)];
  return rank;
}

// The k-subset of colex rank `rank`, ascending, into `sorted`; `below` bounds its largest place.
inline void ColexUnrank(int64_t rank, int k, int below, uint8_t* sorted) {
  int x = below;
  for (int i = k - 1; i >= 0; --i) {
    do {
      --x;
    } while (kBinomial.value[static_cast<std::size_t>(x)][static_cast<std::size_t>(i + 1)] > rank);
    sorted[i] = static_cast<uint8_t>(x);
    rank -= kBinomial.value[static_cast<std::size_t>(x)][static_cast<std::size_t>(i + 1)];
  }
}

// The subset of lexicographic rank `rank` (0 is 1, 2, ..., k); rank must be below Binomial(n, k).
Subset UnrankSubset(int64_t rank, int n, int k);

// The rank of the ascending k-subset `sorted` of 1..n in lexicographic order: the count before it
// is the total less one less those after it, and those after it are, for each slot i, the
// subsets that agree before i and hold a larger number at i.
inline int64_t LexRank(const int* sorted, int k, int n) {
  int64_t after = 0;
  for (int i = 0; i < k; ++i)
    after += Binomial(n - sorted[i], k - i);
  return Binomial(n, k) - 1 - after;
}

// The next ascending k-subset of values up to `high` in lexicographic order, stepping only the
// first `slots` slots: the rightmost of them below its bound steps up and every later slot
// follows it. Returns the slot that stepped, or -1 after the last subset.
template <typename T>
int NextSubset(T* sorted, int slots, int k, int high) {
  int i = slots - 1;
  while (i >= 0 && sorted[i] == high - k + 1 + i)
    --i;
  if (i < 0) return -1;
  ++sorted[i];
  for (int j = i + 1; j < k; ++j)
    sorted[j] = static_cast<T>(sorted[j - 1] + 1);
  return i;
}

// Calls visit(positions) for every `count`-subset of the positions 0..from-1, in lexicographic
// order, positions ascending.
template <typename Visit>
void ForEachCombination(int from, int count, Visit&& visit) {
  if (count > from || count < 0 || count > kMaxSubsetSize) return;
  std::array<int, kMaxSubsetSize> at{};
  for (int i = 0; i < count; ++i)
    at[static_cast<std::size_t>(i)] = i;
  do {
    visit(static_cast<const int*>(at.data()));
  } while (count > 0 && NextSubset(at.data(), count, count, from - 1) >= 0);
}

// Every `count`-subset of the positions 0..from-1, as position lists.
inline std::vector<std::array<uint8_t, 8>> PositionCombinations(int from, int count) {
  std::vector<std::array<uint8_t, 8>> all;
  ForEachCombination(from, count, [&](const int* at) {
    std::array<uint8_t, 8> chosen{};
    for (int i = 0; i < count; ++i)
      chosen[static_cast<std::size_t>(i)] = static_cast<uint8_t>(at[i]);
    all.push_back(chosen);
  });
  return all;
}

// A few places sorted in place (insertion sort: the lists hold 2 to 20).
inline void SortSmall(uint8_t* values, int count) {
  for (int i = 1; i < count; ++i) {
    const uint8_t value = values[i];
    int j = i;
    for (; j > 0 && values[j - 1] > value; --j)
      values[j] = values[j - 1];
    values[j] = value;
  }
}

}  // namespace quirmel
