#include "engine/builder/groups.h"

#include <algorithm>
#include <numeric>

#include "engine/builder/finite_field.h"
#include "engine/core/subsets.h"

namespace quirmel {

namespace {

// The cycle groups listed: up to three equal cycles, each of three places at least.
constexpr int kMostCycles = 3;
constexpr int kShortestCycle = 3;

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

PermutationGroup CycleProductGroup(int places, int cycles, int length) {
  const int fixed = places - cycles * length;
  std::string name = "Z";
  name += std::to_string(cycles);
  name += " x Z";
  name += std::to_string(length);
  PermutationGroup group{
      .name = std::move(name), .places = places, .order = cycles * length, .images = {}};
  if (fixed > 0) group.name += ", " + Count(fixed) + " fixed";
  group.images.reserve(static_cast<std::size_t>(places * group.order));
  for (int turn = 0; turn < cycles; ++turn) {
    for (int shift = 0; shift < length; ++shift) {
      for (int x = 0; x < places; ++x) {
        const int image = x < cycles * length ? (x / length + turn) % cycles * length +
                                                    (x % length + shift) % length
                                              : x;
        group.images.push_back(static_cast<uint8_t>(image));
      }
    }
  }
  return group;
}

PermutationGroup AffineGroup(int places, int q, int d, bool shifts) {
  const PrimePower power = AsPrimePower(q);
  const Field field = MakeField(power.p, power.n);
  int step = 1;  // a generator of the subgroup of order d
  for (int i = 0; i < (q - 1) / d; ++i)
    step = field.Mul(step, field.Primitive());
  const std::string over =
      power.n == 1 ? " mod " + std::to_string(q) : " over GF(" + std::to_string(q) + ")";
  PermutationGroup group{.name = d == 1 ? "x -> x + b" + over
                                        : (shifts ? "x -> ax + b" : "x -> ax") + over +
                                              ", a of order " + std::to_string(d),
                         .places = places,
                         .order = d * (shifts ? q : 1),
                         .images = {}};
  if (places > q) group.name += ", " + Count(places - q) + " fixed";
  int a = 1;
  for (int i = 0; i < d; ++i, a = field.Mul(a, step)) {
    for (int b = 0; b < (shifts ? q : 1); ++b) {
      for (int x = 0; x < places; ++x)
        group.images.push_back(static_cast<uint8_t>(x < q ? field.Add(field.Mul(a, x), b) : x));
    }
  }
  return group;
}

void Image(const PermutationGroup& group, int g, const uint8_t* from, int count, uint8_t* into) {
  const uint8_t* map = group.element(g);
  for (int i = 0; i < count; ++i)
    into[i] = map[from[i]];
  SortSmall(into, count);
}

SubsetOrbits OrbitsOfSubsets(const PermutationGroup& group, int size) {
  SubsetOrbits orbits;
  if (size < 1 || size > 8) return orbits;  // subsets of 1 to 8 places
  orbits.of.assign(static_cast<std::size_t>(Binomial(group.places, size)), -1);
  std::array<uint8_t, 8> subset{}, image{};
  for (std::size_t rank = 0; rank < orbits.of.size(); ++rank) {
    if (orbits.of[rank] >= 0) continue;
    const auto id = static_cast<int32_t>(orbits.size.size());
    ColexUnrank(static_cast<int64_t>(rank), size, group.places, subset.data());
    int64_t count = 0;
    for (int g = 0; g < group.order; ++g) {
      Image(group, g, subset.data(), size, image.data());
      int32_t& at = orbits.of[static_cast<std::size_t>(ColexRank(image.data(), size))];
      if (at < 0) {
        at = id;
        ++count;
      }
    }
    orbits.representative.push_back(subset);
    orbits.size.push_back(count);
  }
  return orbits;
}

std::vector<PermutationGroup> GroupsFor(int places, int maxOrder) {
  std::vector<PermutationGroup> groups;
  const auto keep = [&](PermutationGroup group) {
    if (group.order >= 2 && group.order <= maxOrder) groups.push_back(std::move(group));
  };
  for (int fixed = 0; fixed <= 1; ++fixed) {
    const int moved = places - fixed;
    for (int cycles = 1; cycles <= kMostCycles; ++cycles) {
      if (moved % cycles != 0 || moved / cycles < kShortestCycle) continue;
      keep(CyclicGroup(places, cycles, moved / cycles));
      // (When the counts share no factor, the product is the cyclic group on all of them.)
      if (cycles > 1 && std::gcd(cycles, moved / cycles) > 1)
        keep(CycleProductGroup(places, cycles, moved / cycles));
    }
  }
  for (int fixed = 0; fixed <= 1; ++fixed) {
    const int q = places - fixed;
    const PrimePower power = AsPrimePower(q);
    if (power.p == 0 || q < 4) continue;
    for (int d = q - 1; d >= 1; --d) {
      if ((q - 1) % d != 0) continue;
      // With d = 1 the shifts alone: for a prime, the cyclic group again.
      if (d > 1 || power.n > 1) keep(AffineGroup(places, q, d, true));
      // x -> ax fixes 0 and turns the rest in (q - 1) / d cycles of d: on q places alone, the
      // cycles above already hold that group (up to the names of the places).
      const bool asCycles = fixed == 0 && (q - 1) / d <= kMostCycles && d >= kShortestCycle;
      if (d > 1 && !asCycles) keep(AffineGroup(places, q, d, false));
    }
  }
  std::stable_sort(groups.begin(), groups.end(),
                   [](const auto& a, const auto& b) { return a.order > b.order; });
  return groups;
}

}  // namespace quirmel
