#include "engine/builder/pigeonhole.h"

namespace quirmel {

std::vector<std::vector<PlaceGroup>> GroupPlans(int places, int guarantee, int drawSize) {
  std::vector<std::vector<PlaceGroup>> plans;
  if (guarantee < 2 || drawSize <= guarantee) return plans;
  for (int groups = 1; groups * (guarantee - 1) <= drawSize - 1; ++groups) {
    const int left = drawSize - 1 - groups * (guarantee - 1);  // places that may go without rows
    const int used = places - left;
    if (left == 0 && groups == 1) continue;
    if (used < groups * guarantee) break;
    std::vector<PlaceGroup> plan;
    int first = 0;
    for (int g = 0; g < groups; ++g) {
      const int size = used / groups + (g < used % groups ? 1 : 0);
      plan.push_back({first, size});
      first += size;
    }
    plans.push_back(plan);
  }
  return plans;
}

}  // namespace quirmel
