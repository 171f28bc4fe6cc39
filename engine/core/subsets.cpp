#include "engine/core/subsets.h"

namespace quirmel {

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
