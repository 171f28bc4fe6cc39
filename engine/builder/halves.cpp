#include "engine/builder/halves.h"

#include <algorithm>
#include <set>

namespace quirmel {

int64_t MixedRows(int sizeA, int sizeB, int classesA, int classesB) {
  return static_cast<int64_t>(std::max(classesA, classesB)) * ((sizeA + 2) / 3) * ((sizeB + 2) / 3);
}

Rows JoinTwoGroups(const TwoGroups& groups) {
  const int a = groups.sizeA;
  const int places = a + groups.sizeB;
  std::set<std::vector<int>> rows;
  // A row short of six (a padded triple, a group smaller than a row) takes the lowest places
  // it lacks.
  const auto add = [&](std::vector<int> row) { rows.insert(FilledUp(std::move(row), 6, places)); };
  for (const auto& row : groups.insideA)
    add(row);
  for (const auto& row : groups.insideB) {
    std::vector<int> shifted;
    for (const int place : row)
      shifted.push_back(place + a);
    add(shifted);
  }
  const std::size_t rA = groups.classesA.size();
  const std::size_t rB = groups.classesB.size();
  for (std::size_t i = 0; i < std::max(rA, rB); ++i) {
    for (const auto& tripleA : groups.classesA[i % rA]) {
      for (const auto& tripleB : groups.classesB[i % rB]) {
        std::vector<int> row;
        for (const int place : tripleA)
          if (place < a) row.push_back(place);
        for (const int place : tripleB)
          if (place < groups.sizeB) row.push_back(place + a);
        add(row);
      }
    }
  }
  return {rows.begin(), rows.end()};
}

}  // namespace quirmel
