#include "engine/subsets.h"

#include "engine/coverage.h"

namespace quirmel {

namespace {

struct BinomialTable {
  std::array<std::array<int64_t, kMaxSubsetSize + 1>, kMaxPoolSize + 1> value{};
  constexpr BinomialTable() {
    for (int n = 0; n <= kMaxPoolSize; ++n) {
      value[n][0] = 1;
      for (int k = 1; k <= kMaxSubsetSize && k <= n; ++k) {
        value[n][k] = value[n - 1][k - 1] + (k <= n - 1 ? value[n - 1][k] : 0);
      }
    }
  }
};

constexpr BinomialTable kBinomial;

}  // namespace

int64_t Binomial(int n, int k) {
  if (n < 0 || k < 0 || k > kMaxSubsetSize || n > kMaxPoolSize || k > n) return 0;
  return kBinomial.value[n][k];
}

int64_t SubsetTotal(int n, int k) {
  return k > kMaxLevel ? 0 : Binomial(n, k);
}

Subset UnrankSubset(int64_t rank, int n, int k) {
  Subset subset{};
  int next = 1;
  for (int slot = 0; slot < k; ++slot) {
    // Subsets whose slot holds `next` and whose later slots are any of the numbers above it.
    for (;; ++next) {
      const int64_t block = Binomial(n - next, k - slot - 1);
      if (rank < block) break;
      rank -= block;
    }
    subset[slot] = static_cast<int16_t>(next);
    ++next;
  }
  return subset;
}

}  // namespace quirmel
