#pragma once

// Wheels by the pigeonhole principle: cut the pool into g groups and give each group a covering
// design of its own (every t of its numbers in some row). A draw of m numbers that put at most
// t - 1 numbers into every group would hold at most g (t - 1) numbers, plus the f numbers left
// with no rows; so when g (t - 1) + f <= m - 1, every draw meets some row in t numbers.

#include <vector>

namespace quirmel {

struct PlaceGroup {
  int first = 0;  // the places first..first+size-1
  int size = 0;
};

// Every way to cut the places into g >= 1 groups of nearly equal size, with as many places left
// out as the draw allows, for a guarantee of t if m (m > t >= 2); the whole pool with no place
// left out is not among them.
std::vector<std::vector<PlaceGroup>> GroupPlans(int places, int guarantee, int drawSize);

}  // namespace quirmel
