#include "engine/builder/steiner_search.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

#include "engine/builder/exact_cover.h"
#include "engine/core/subsets.h"

namespace quirmel {

namespace {

constexpr int64_t kMostSubsets = int64_t{1} << 25;  // k-subsets walked, one bit each
constexpr int64_t kMostRowOrbits = int64_t{1} << 18;
constexpr int64_t kStopCheckEvery = 1 << 14;  // orbits walked between looks at the clock

// The row orbits a Steiner system may take: a representative each, and the orbits of t-subsets
// it holds. Nothing when the search ended first.
struct RowOrbits {
  std::vector<std::array<uint8_t, 8>> representative;
  std::vector<std::vector<int>> holds;
};

std::optional<RowOrbits> UsableRowOrbits(const CoverShape& shape, const PermutationGroup& group,
                                         const SubsetOrbits& tOrbits,
                                         const SearchControl& control) {
  const int k = shape.rowSize;
  const int t = shape.guarantee;
  const auto positions = PositionCombinations(k, t);
  std::vector<bool> seen(static_cast<std::size_t>(Binomial(shape.places, k)));
  RowOrbits usable;
  std::array<uint8_t, 8> row{}, image{}, part{};
  std::iota(row.begin(), row.begin() + k, uint8_t{0});
  int64_t walked = 0;
  std::map<int, int64_t> held;  // orbit of t-subsets -> t-subsets of the row in it
  do {
    if (seen[static_cast<std::size_t>(ColexRank(row.data(), k))]) continue;
    if (++walked % kStopCheckEvery == 0 && control.Ended()) return std::nullopt;
    int64_t orbitSize = 0;
    for (int g = 0; g < group.order; ++g) {
      Image(group, g, row.data(), k, image.data());
      const auto at = static_cast<std::size_t>(ColexRank(image.data(), k));
      if (!seen[at]) {
        seen[at] = true;
        ++orbitSize;
      }
    }
    held.clear();
    for (const auto& chosen : positions) {
      for (int i = 0; i < t; ++i)
        part[static_cast<std::size_t>(i)] = row[chosen[static_cast<std::size_t>(i)]];
      ++held[tOrbits.of[static_cast<std::size_t>(ColexRank(part.data(), t))]];
    }
    // The orbit's rows hold orbitSize * n t-subsets of an orbit of which the row holds n: each
    // exactly once when that is the orbit's size.
    const bool once = std::all_of(held.begin(), held.end(), [&](const auto& entry) {
      return entry.second * orbitSize == tOrbits.size[static_cast<std::size_t>(entry.first)];
    });
    if (!once) continue;
    usable.representative.push_back(row);
    std::vector<int>& holds = usable.holds.emplace_back();
    for (const auto& entry : held)
      holds.push_back(entry.first);
  } while (NextSubset(row.data(), k, k, shape.places - 1) >= 0);
  return usable;
}

}  // namespace

std::optional<int64_t> SteinerRows(int places, int rowSize, int guarantee) {
  if (guarantee < 1 || rowSize <= guarantee || places <= rowSize) return std::nullopt;
  for (int i = 0; i < guarantee; ++i) {
    if (Binomial(places - i, guarantee - i) % Binomial(rowSize - i, guarantee - i) != 0)
      return std::nullopt;
  }
  const int64_t rows = Binomial(places, guarantee) / Binomial(rowSize, guarantee);
  // Fisher's inequality: a 2-design has at least as many rows as points.
  if (guarantee >= 2 && rows < places) return std::nullopt;
  return rows;
}

bool SteinerFits(const CoverShape& shape, const PermutationGroup& group) {
  const int64_t subsets = Binomial(shape.places, shape.rowSize);
  return group.places == shape.places && subsets > 0 && subsets <= kMostSubsets &&
         subsets / group.order <= kMostRowOrbits;
}

std::optional<Rows> SteinerUnderGroup(const CoverShape& shape, const PermutationGroup& group,
                                      uint64_t seed, const SearchControl& control) {
  if (shape.drawSize != shape.guarantee ||
      !SteinerRows(shape.places, shape.rowSize, shape.guarantee) || !SteinerFits(shape, group))
    return std::nullopt;
  const SubsetOrbits tOrbits = OrbitsOfSubsets(group, shape.guarantee);
  const std::optional<RowOrbits> usable = UsableRowOrbits(shape, group, tOrbits, control);
  if (!usable) return std::nullopt;
  // The seed orders the rows, and so which cover is found first.
  std::vector<std::size_t> order(usable->holds.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  SearchRandom random(seed);
  std::shuffle(order.begin(), order.end(), random);
  ExactCoverRequest request{.columns = static_cast<int>(tOrbits.size.size()),
                            .rows = {},
                            .stopped = [&control] { return control.Ended(); },
                            .maxSteps = control.maxMoves};
  for (const std::size_t r : order)
    request.rows.push_back(usable->holds[r]);
  const std::optional<std::vector<int>> chosen = ExactCover(request);
  if (!chosen) return std::nullopt;
  std::set<std::vector<int>> rows;
  std::array<uint8_t, 8> image{};
  for (const int r : *chosen) {
    const auto& representative = usable->representative[order[static_cast<std::size_t>(r)]];
    for (int g = 0; g < group.order; ++g) {
      Image(group, g, representative.data(), shape.rowSize, image.data());
      rows.insert(std::vector<int>(image.begin(), image.begin() + shape.rowSize));
    }
  }
  return Rows(rows.begin(), rows.end());
}

}  // namespace quirmel
