#include "engine/builder/pigeonhole.h"

#include <functional>

namespace quirmel {

namespace {

constexpr int kMaxGroups = 8;

// Groups of the given sizes and thresholds, side by side from place 0.
std::vector<PlaceGroup> SideBySide(const std::vector<int>& sizes,
                                   const std::vector<int>& thresholds) {
  std::vector<PlaceGroup> plan;
  int first = 0;
  for (std::size_t g = 0; g < sizes.size(); ++g) {
    plan.push_back({first, sizes[g], thresholds[g]});
    first += sizes[g];
  }
  return plan;
}

}  // namespace

std::vector<std::vector<PlaceGroup>> GroupPlans(int places, int guarantee, int drawSize) {
  std::vector<std::vector<PlaceGroup>> plans;
  if (guarantee < 1 || drawSize <= guarantee) return plans;
  // Every non-increasing list of thresholds t..m whose (m_i - 1) add up to at most m - 1.
  std::vector<int> thresholds;
  const std::function<void(int, int)> choose = [&](int highest, int budget) {
    if (!thresholds.empty()) {
      const int left = budget;  // numbers that may go without rows
      const int used = places - left;
      const int groups = static_cast<int>(thresholds.size());
      const bool whole = groups == 1 && left == 0 && thresholds[0] == drawSize;
      if (!whole && used >= groups) {
        if (groups == 1) {
          plans.push_back(SideBySide({used}, thresholds));
        } else if (groups == 2) {
          // The first group no larger than the second when their thresholds are equal.
          for (int a = 1; a < used; ++a) {
            if (thresholds[0] == thresholds[1] && a > used - a) break;
            plans.push_back(SideBySide({a, used - a}, thresholds));
          }
        } else {
          std::vector<int> sizes;
          for (int g = 0; g < groups; ++g)
            sizes.push_back(used / groups + (g < used % groups ? 1 : 0));
          plans.push_back(SideBySide(sizes, thresholds));
        }
      }
    }
    if (static_cast<int>(thresholds.size()) == kMaxGroups) return;
    for (int m = highest; m >= guarantee; --m) {
      if (m - 1 > budget) continue;
      thresholds.push_back(m);
      choose(m, budget - (m - 1));
      thresholds.pop_back();
    }
  };
  choose(drawSize, drawSize - 1);
  return plans;
}

}  // namespace quirmel
