#include "engine/builder/designs.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <set>

#include "engine/builder/anneal.h"
#include "engine/builder/finite_field.h"

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

// The images of `base` (points of the projective line over the field: its elements and
// infinity, the point q) under the maps x -> (ax + b) / (cx + d), ad - bc nonzero, or with
// `squares` only those whose determinant is a square (PSL(2, q) for an odd prime q).
std::vector<std::vector<int>> MoebiusImages(const Field& f, const std::vector<int>& base,
                                            bool squares) {
  const int infinity = f.q;
  std::set<int> squareSet;
  for (int x = 1; x < f.q; ++x)
    squareSet.insert(f.Mul(x, x));
  // Each map once up to a common factor of a, b, c, d (which leaves its images, and whether its
  // determinant is a square, as they are): c = 0 with d = 1, or c = 1.
  std::set<std::vector<int>> blocks;
  for (int a = 0; a < f.q; ++a) {
    for (int b = 0; b < f.q; ++b) {
      for (int c = 0; c <= 1; ++c) {
        for (int d = 1 - c; d < (c == 0 ? 2 : f.q); ++d) {
          const int det = f.Add(f.Mul(a, d), f.Neg(f.Mul(b, c)));
          if (det == 0 || (squares && squareSet.count(det) == 0)) continue;
          std::vector<int> image;
          for (const int x : base) {
            const int top = x == infinity ? a : f.Add(f.Mul(a, x), b);
            const int bottom = x == infinity ? c : f.Add(f.Mul(c, x), d);
            image.push_back(bottom == 0 ? infinity : f.Mul(top, f.Inv(bottom)));
          }
          std::sort(image.begin(), image.end());
          blocks.insert(image);
        }
      }
    }
  }
  return {blocks.begin(), blocks.end()};
}

// The inversive plane of order q, S(3, q+1, q^2+1): the points of the projective line over the
// field of q^2 elements, the rows the images of the subline (the subfield of q elements and
// infinity) under every Moebius map.
KnownDesign InversivePlane(int p, int n) {
  const Field f = MakeField(p, 2 * n);
  const int order = static_cast<int>(std::lround(std::sqrt(f.q)));
  std::vector<int> subline{f.q};
  for (int x = 0; x < f.q; ++x) {
    int power = x;  // x^order == x exactly on the subfield
    for (int i = 1; i < order; ++i)
      power = f.Mul(power, x);
    if (power == x) subline.push_back(x);
  }
  return {.name = "S(3," + std::to_string(order + 1) + "," + std::to_string(f.q + 1) +
                  "), the inversive plane of order " + std::to_string(order),
          .points = f.q + 1,
          .rowSize = order + 1,
          .guarantee = 3,
          .rows = MoebiusImages(f, subline, false)};
}

// The small Witt design S(5,6,12): the images of the quadratic residues modulo 11 and infinity
// under PSL(2,11).
KnownDesign WittDesign12() {
  const Field f = MakeField(11, 1);
  return {.name = "S(5,6,12), the small Witt design",
          .points = 12,
          .rowSize = 6,
          .guarantee = 5,
          .rows = MoebiusImages(f, {1, 3, 4, 5, 9, 11}, true)};
}

// The rows through the last point, less it: S(t-1, k-1, v-1) from S(t, k, v).
KnownDesign DerivedDesign(const KnownDesign& design) {
  const int point = design.points - 1;
  KnownDesign derived{.name = "S(" + std::to_string(design.guarantee - 1) + "," +
                              std::to_string(design.rowSize - 1) + "," +
                              std::to_string(design.points - 1) + ") derived from " +
                              design.name.substr(0, design.name.find(')') + 1),
                      .points = design.points - 1,
                      .rowSize = design.rowSize - 1,
                      .guarantee = design.guarantee - 1,
                      .rows = {}};
  for (const auto& row : design.rows) {
    if (std::find(row.begin(), row.end(), point) == row.end()) continue;
    std::vector<int> less;
    for (const int x : row) {
      if (x != point) less.push_back(x);
    }
    derived.rows.push_back(less);
  }
  return derived;
}

std::vector<KnownDesign> Construct() {
  const std::vector<uint32_t> octads = Octads();
  std::vector<KnownDesign> designs{Derived(octads, 0, 5), Derived(octads, 1u << 23, 4),
                                   Derived(octads, 3u << 22, 3)};
  for (const int q : {2, 3, 5, 7}) {
    designs.push_back(ProjectivePlane(q));
    designs.push_back(AffinePlane(q));
  }
  designs.push_back(InversivePlane(2, 2));
  designs.push_back(InversivePlane(5, 1));
  designs.push_back(WittDesign12());
  // Every design derived from one with t >= 3, unless one of its shape is there already.
  for (std::size_t i = 0; i < designs.size(); ++i) {
    if (designs[i].guarantee < 3) continue;
    KnownDesign derived = DerivedDesign(designs[i]);
    const bool known = std::any_of(designs.begin(), designs.end(), [&](const KnownDesign& d) {
      return d.points == derived.points && d.rowSize == derived.rowSize &&
             d.guarantee == derived.guarantee;
    });
    if (!known) designs.push_back(std::move(derived));
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
      row = FilledUp(std::move(row), rowSize, places);
      if (static_cast<int>(row.size()) == rowSize) rows.insert(row);
    }
    starts.push_back({design.name, {rows.begin(), rows.end()}});
  }
  return starts;
}

}  // namespace quirmel
