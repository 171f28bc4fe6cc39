#include "engine/builder/designs.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <set>

namespace quirmel {

namespace {

constexpr int kSpareCut = 4;  // how many points past the pool a design may lose

std::vector<int> Members(uint32_t word) {
  std::vector<int> members;
  for (int point = 0; point < 32; ++point) {
    if ((word >> point) & 1) members.push_back(point);
  }
  return members;
}

// The 759 words of weight 8 (octads) of the extended binary Golay code: the multiples of
// g(x) = 1 + x^2 + x^4 + x^5 + x^6 + x^10 + x^11 of degree below 23, with a parity bit 23.
std::vector<uint32_t> Octads() {
  constexpr uint32_t kGenerator = 0b110001110101;
  std::vector<uint32_t> octads;
  for (uint32_t message = 0; message < 4096; ++message) {
    uint32_t word = 0;
    for (int i = 0; i < 12; ++i) {
      if ((message >> i) & 1) word ^= kGenerator << i;
    }
    word |= static_cast<uint32_t>(std::popcount(word) & 1) << 23;
    if (std::popcount(word) == 8) octads.push_back(word);
  }
  return octads;
}

// The rows of the octads holding every point of `fixed`, without those points.
KnownDesign Derived(const std::vector<uint32_t>& octads, uint32_t fixed, int t) {
  const int lost = std::popcount(fixed);
  KnownDesign design{.name = "S(" + std::to_string(t) + "," + std::to_string(8 - lost) + "," +
                             std::to_string(24 - lost) + ") from the Golay code",
                     .points = 24 - lost,
                     .rowSize = 8 - lost,
                     .guarantee = t,
                     .rows = {}};
  for (const uint32_t octad : octads) {
    if ((octad & fixed) == fixed) design.rows.push_back(Members(octad & ~fixed));
  }
  return design;
}

// The lines of the projective plane over the integers modulo a prime q: the points are the
// normalised vectors of GF(q)^3, and a point lies on a line when their product is 0.
KnownDesign ProjectivePlane(int q) {
  std::vector<std::array<int, 3>> points;
  for (int x = 0; x < q; ++x) {
    for (int y = 0; y < q; ++y)
      points.push_back({1, x, y});
  }
  for (int y = 0; y < q; ++y)
    points.push_back({0, 1, y});
  points.push_back({0, 0, 1});
  KnownDesign design{.name = "the projective plane of order " + std::to_string(q),
                     .points = static_cast<int>(points.size()),
                     .rowSize = q + 1,
                     .guarantee = 2,
                     .rows = {}};
  for (const auto& line : points) {
    std::vector<int> row;
    for (std::size_t p = 0; p < points.size(); ++p) {
      const auto& point = points[p];
      if ((line[0] * point[0] + line[1] * point[1] + line[2] * point[2]) % q == 0)
        row.push_back(static_cast<int>(p));
    }
    design.rows.push_back(row);
  }
  return design;
}

// The lines y = ax + b and x = c of the affine plane over the integers modulo a prime q.
KnownDesign AffinePlane(int q) {
  KnownDesign design{.name = "the affine plane of order " + std::to_string(q),
                     .points = q * q,
                     .rowSize = q,
                     .guarantee = 2,
                     .rows = {}};
  for (int a = 0; a <= q; ++a) {
    for (int b = 0; b < q; ++b) {
      std::vector<int> row;
      for (int x = 0; x < q; ++x)
        row.push_back(a == q ? b * q + x : x * q + (a * x + b) % q);
      std::sort(row.begin(), row.end());
      design.rows.push_back(row);
    }
  }
  return design;
}

std::vector<KnownDesign> Construct() {
  const std::vector<uint32_t> octads = Octads();
  std::vector<KnownDesign> designs{Derived(octads, 0, 5), Derived(octads, 1u << 23, 4),
                                   Derived(octads, 3u << 22, 3)};
  for (const int q : {2, 3, 5, 7}) {
    designs.push_back(ProjectivePlane(q));
    designs.push_back(AffinePlane(q));
  }
  return designs;
}

}  // namespace

const std::vector<KnownDesign>& KnownDesigns() {
  static const std::vector<KnownDesign> designs = Construct();
  return designs;
}

std::vector<DesignStart> DesignStarts(int places, int rowSize, int guarantee) {
  std::vector<DesignStart> starts;
  for (const KnownDesign& design : KnownDesigns()) {
    if (design.rowSize != rowSize || design.guarantee != guarantee) continue;
    if (design.points < places || design.points > places + kSpareCut) continue;
    std::set<std::vector<int>> rows;
    for (const auto& full : design.rows) {
      std::vector<int> row;
      for (const int point : full) {
        if (point < places) row.push_back(point);
      }
      if (static_cast<int>(row.size()) < guarantee) continue;  // it holds no t-subset of the pool
      for (int place = 0; static_cast<int>(row.size()) < rowSize && place < places; ++place) {
        if (std::find(row.begin(), row.end(), place) == row.end()) row.push_back(place);
      }
      std::sort(row.begin(), row.end());
      if (static_cast<int>(row.size()) == rowSize) rows.insert(row);
    }
    starts.push_back({design.name, {rows.begin(), rows.end()}});
  }
  return starts;
}

}  // namespace quirmel
