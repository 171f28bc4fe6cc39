#pragma once

// Wheels by the pigeonhole principle: cut the pool into groups, each with a draw threshold
// m_i, and give each group a wheel "t if m_i" of its own. When the thresholds satisfy
// sum (m_i - 1) <= m - 1, a draw of m numbers that put at most m_i - 1 numbers into every group
// would hold at most m - 1 numbers; so every draw puts m_i numbers into some group i and meets
// one of that group's rows in t numbers. The numbers left over by a smaller sum go without
// rows; a group smaller than its threshold needs none either.

#include <vector>

namespace quirmel {

struct PlaceGroup {
  int first = 0;  // the places first..first+size-1
  int size = 0;
  int threshold = 0;  // m_i: the group's wheel meets every m_i of its numbers in t
};

// The ways to cut the places for a guarantee of t if m (m > t >= 1), thresholds from t to m:
// with one or two groups every size, with more groups nearly equal sizes; the whole pool at
// threshold m is not among them. The groups of a plan lie side by side from place 0, the
// places after them are left without rows.
std::vector<std::vector<PlaceGroup>> GroupPlans(int places, int guarantee, int drawSize);

}  // namespace quirmel
