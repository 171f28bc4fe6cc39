#pragma once

// Groups of permutations of the places, for searches that keep a wheel made of whole orbits:
// a wheel that a group maps onto itself is given by a few base rows, each standing for every
// image of it under the group. The groups are listed element by element (each a table of the
// images of the places), small enough for that: cyclic shifts of one or more equal cycles of
// places (the cyclic development of a key is the simplest), and the maps x -> a x + b and
// x -> a x over a finite field, with a in a subgroup of the multiplicative group.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quirmel {

struct PermutationGroup {
  std::string name;
  int places = 0;
  int order = 0;
  std::vector<uint8_t> images;  // element g maps place x to images[g * places + x]

  const uint8_t* element(int g) const {
    return images.data() + static_cast<std::size_t>(g) * static_cast<std::size_t>(places);
  }
};

// `cycles` cycles of `length` places each (places 0..cycles*length-1), turned together by one
// step at a time; the places after them are fixed.
PermutationGroup CyclicGroup(int places, int cycles, int length);

// The same cycles, also turned among themselves (cycle c to c + 1): the group Z_cycles x
// Z_length, not itself cyclic when the two share a factor.
PermutationGroup CycleProductGroup(int places, int cycles, int length);

// x -> a x + b (or x -> a x without `shifts`) over the field of q elements, q a prime power
// (places 0..q-1, see finite_field.h), with a running over the subgroup of order d of the
// nonzero elements; the places from q on are fixed (the point at infinity is one of them).
PermutationGroup AffineGroup(int places, int q, int d, bool shifts);

// The image of the sorted `count` places under element g of the group, sorted.
void Image(const PermutationGroup& group, int g, const uint8_t* from, int count, uint8_t* into);

// The orbits of the `size`-subsets of the places under the group, numbered in the colex order of
// their first subset: each subset's orbit by colex rank, and each orbit's first subset and size.
struct SubsetOrbits {
  std::vector<int32_t> of;
  std::vector<std::array<uint8_t, 8>> representative;
  std::vector<int64_t> size;
};
SubsetOrbits OrbitsOfSubsets(const PermutationGroup& group, int size);

// The groups a search over `places` places may try, each of order 2..maxOrder: the cyclic
// group on all places or on all but one, two or three equal cycles (one place left fixed when
// they do not divide the pool), those cycles turned among themselves as well, and the affine and
// multiplier groups of a prime power q = places or places - 1; the largest first.
std::vector<PermutationGroup> GroupsFor(int places, int maxOrder);

}  // namespace quirmel
