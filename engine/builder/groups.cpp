#include "engine/builder/groups.h"

#include <algorithm>

namespace quirmel {

namespace {

bool IsPrime(int n) {
  if (n < 2) return false;
  for (int d = 2; d * d <= n; ++d) {
    if (n % d == 0) return false;
  }
  return true;
}

// A generator of the nonzero residues modulo the prime p.
int PrimitiveRoot(int p) {
  for (int g = 1; g < p; ++g) {
    int x = 1;
    int order = 0;
    do {
      x = x * g % p;
      ++order;
    } while (x != 1);
    if (order == p - 1) return g;
  }
  return 1;
}

std::string Count(int n) {
  static const char* const kWords[] = {"", "one", "two", "three"};
  return n < 4 ? kWords[n] : std::to_string(n);
}

}  // namespace

PermutationGroup CyclicGroup(int places, int cycles, int length) {
  PermutationGroup group{.name = "", .places = places, .order = length, .images = {}};
  const int fixed = places - cycles * length;
  group.name = cycles == 1 ? "the cyclic group on " + std::to_string(length)
                           : Count(cycles) + " cycles of " + std::to_string(length);
  if (fixed > 0) group.name += ", " + Count(fixed) + " fixed";
  group.images.reserve(static_cast<std::size_t>(places * length));
  for (int shift = 0; shift < length; ++shift) {
    for (int x = 0; x < places; ++x) {
      const int image =
          x < cycles * length ? x / length * length + (x % length + shift) % length : x;
      group.images.push_back(static_cast<uint8_t>(image));
    }
  }
  return group;
}

PermutationGroup AffineGroup(int places, int prime, int d, bool shifts) {
  const int root = PrimitiveRoot(prime);
  int step = 1;  // a generator of the subgroup of order d
  for (int i = 0; i < (prime - 1) / d; ++i)
    step = step * root % prime;
  PermutationGroup group{.name = (shifts ? "x -> ax + b" : "x -> ax") + std::string(" mod ") +
                                 std::to_string(prime) + ", a of order " + std::to_string(d),
                         .places = places,
                         .order = d * (shifts ? prime : 1),
                         .images = {}};
  if (places > prime) group.name += ", " + Count(places - prime) + " fixed";
  int a = 1;
  for (int i = 0; i < d; ++i, a = a * step % prime) {
    for (int b = 0; b < (shifts ? prime : 1); ++b) {
      for (int x = 0; x < places; ++x)
        group.images.push_back(static_cast<uint8_t>(x < prime ? (a * x + b) % prime : x));
    }
  }
  return group;
}

std::vector<PermutationGroup> GroupsFor(int places, int maxOrder) {
  std::vector<PermutationGroup> groups;
  const auto keep = [&](PermutationGroup group) {
    if (group.order >= 2 && group.order <= maxOrder) groups.push_back(std::move(group));
  };
  for (int fixed = 0; fixed <= 1; ++fixed) {
    const int moved = places - fixed;
    for (int cycles = 1; cycles <= 3; ++cycles) {
      if (moved % cycles == 0 && moved / cycles >= 3)
        keep(CyclicGroup(places, cycles, moved / cycles));
    }
  }
  for (int fixed = 0; fixed <= 1; ++fixed) {
    const int p = places - fixed;
    if (!IsPrime(p) || p < 5) continue;
    for (int d = p - 1; d >= 2; --d) {
      if ((p - 1) % d != 0) continue;
      keep(AffineGroup(places, p, d, true));
      keep(AffineGroup(places, p, d, false));
    }
  }
  std::stable_sort(groups.begin(), groups.end(),
                   [](const auto& a, const auto& b) { return a.order > b.order; });
  return groups;
}

}  // namespace quirmel
