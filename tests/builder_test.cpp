// Building wheels for a guarantee: the t-subset and orbit states against the straightforward
// count, known designs and smallest sizes, pigeonhole splits with thresholds, the player's own
// numbers, the win table, repeatable runs, stops and refusals.

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <set>

#include "engine/builder/cover_state.h"
#include "engine/builder/designs.h"
#include "engine/builder/exact_cover.h"
#include "engine/builder/finite_field.h"
#include "engine/builder/groups.h"
#include "engine/builder/halves.h"
#include "engine/builder/orbit_state.h"
#include "engine/builder/pigeonhole.h"
#include "engine/builder/resolvable.h"
#include "engine/builder/steiner_search.h"
#include "engine/engine.h"
#include "tests/oracle.h"

namespace quirmel {
namespace {

using testing::SimpleCheck;
using testing::SimpleCovers;

std::vector<int> OneTo(int n) {
  std::vector<int> numbers(static_cast<std::size_t>(n));
  std::iota(numbers.begin(), numbers.end(), 1);
  return numbers;
}

// The rows of places 0..P-1 as a wheel of numbers 1..P.
AnyWheel PlacesWheel(const std::vector<std::vector<int>>& rows) {
  AnyWheel wheel;
  for (const auto& places : rows) {
    std::vector<uint8_t> row;
    for (const int place : places)
      row.push_back(static_cast<uint8_t>(place + 1));
    wheel.AddRow(row);
  }
  return wheel;
}

// k distinct places at random.
std::vector<uint8_t> RandomRow(SearchRandom& random, const CoverShape& shape) {
  std::vector<uint8_t> row;
  while (static_cast<int>(row.size()) < shape.rowSize) {
    const auto p = static_cast<uint8_t>(random.Below(static_cast<std::size_t>(shape.places)));
    if (std::find(row.begin(), row.end(), p) == row.end()) row.push_back(p);
  }
  return row;
}

class CoverStateCost : public ::testing::TestWithParam<CoverShape> {};

// After random rows, moves, undone moves and removals, the cost is the number of draws the
// straightforward check counts as holes, and an unmet draw found is one.
TEST_P(CoverStateCost, EqualsTheStraightforwardCount) {
  const CoverShape shape = GetParam();
  CoverState state(shape);
  SearchRandom random(shape.places * 131 + shape.drawSize);
  const auto place = [&] { return static_cast<int>(random.Below(shape.places)); };
  for (int r = 0; r < 7; ++r) {
    state.AddRow(RandomRow(random, shape));
  }
  for (int step = 0; step < 120; ++step) {
    const int r = static_cast<int>(random.Below(static_cast<std::size_t>(state.rows())));
    const int out = state.row(r)[random.Below(static_cast<std::size_t>(shape.rowSize))];
    int in = place();
    while (state.rowSet(r).Has(in))
      in = place();
    const int64_t before = state.cost();
    if (step % 6 == 5) {  // a move cut short at its limit, undone
      state.Move(r, out, in, 0);
      state.Undo();
      EXPECT_EQ(state.cost(), before);
    }
    const int64_t delta = state.Move(r, out, in);
    EXPECT_EQ(state.cost(), before + delta);
    if (step % 3 == 0) state.Undo();
    if (step == 60) {  // a row's removal costs what RemovalCost said
      const int64_t lost = state.RemovalCost(1);
      const int64_t kept = state.cost();
      state.RemoveRow(1);
      EXPECT_EQ(state.cost(), kept + lost);
    }
    if (step % 20 != 19) continue;
    const CheckResult check =
        SimpleCheck(PlacesWheel(state.Rows()), shape.places, shape.drawSize, shape.guarantee, 0);
    ASSERT_EQ(state.cost(), check.holes) << "step " << step;
    DrawPlaces draw{};
    if (state.cost() == 0 || !state.FindUnmet(random, draw)) continue;
    for (int row = 0; row < state.rows(); ++row) {
      int shared = 0;
      for (int i = 0; i < shape.drawSize; ++i)
        shared += state.rowSet(row).Has(draw[static_cast<std::size_t>(i)]);
      EXPECT_LT(shared, shape.guarantee);
    }
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Shapes, CoverStateCost, ::testing::Values(
    //         places row t  m
    CoverShape{12,    5,  2, 5},
    CoverShape{14,    6,  3, 6},
    CoverShape{13,    4,  3, 5},
    CoverShape{11,    5,  1, 4},
    CoverShape{12,    6,  4, 6},
    CoverShape{10,    4,  2, 2},
    CoverShape{15,    6,  3, 3},
    CoverShape{12,    5,  2, 7},
    CoverShape{11,    7,  5, 6}));
// clang-format on

TEST(KnownDesigns, AreSteinerSystems) {
  for (const KnownDesign& design : KnownDesigns()) {
    // Every t-subset in some row, and no more rows than t-subsets allow: each in exactly one.
    EXPECT_EQ(static_cast<int64_t>(design.rows.size()) * Binomial(design.rowSize, design.guarantee),
              Binomial(design.points, design.guarantee))
        << design.name;
    EXPECT_TRUE(SimpleCovers(PlacesWheel(design.rows), OneTo(design.points), design.guarantee,
                             design.guarantee))
        << design.name;
    // A Steiner system meets the bound, and its counts are those the Steiner search expects.
    const auto rows = static_cast<int64_t>(design.rows.size());
    EXPECT_EQ(SchoenheimBound(design.points, design.rowSize, design.guarantee, design.guarantee),
              rows)
        << design.name;
    if (design.rowSize > design.guarantee) {  // (the affine plane of order 2 is every pair)
      EXPECT_EQ(SteinerRows(design.points, design.rowSize, design.guarantee), rows) << design.name;
    }
  }
  EXPECT_FALSE(SchoenheimBound(22, 6, 3, 4));  // none is known for m > t
}

// Each field's tables obey the field laws, and its primitive element's powers are every nonzero
// element; the prime powers are told from the other numbers.
TEST(MakeField, ObeysTheFieldLaws) {
  for (const auto& [p, n] : {std::pair{2, 2}, {2, 3}, {3, 2}, {2, 4}, {5, 2}, {3, 3}, {7, 2}}) {
    const Field f = MakeField(p, n);
    ASSERT_EQ(AsPrimePower(f.q).p, p);
    ASSERT_EQ(AsPrimePower(f.q).n, n);
    for (int a = 0; a < f.q; ++a) {
      EXPECT_EQ(f.Add(a, f.Neg(a)), 0);
      EXPECT_EQ(f.Mul(a, 1), a);
      if (a != 0) {
        EXPECT_EQ(f.Mul(a, f.Inv(a)), 1) << f.q << " " << a;
      }
      for (int b = 0; b < f.q; ++b) {
        EXPECT_EQ(f.Mul(a, b), f.Mul(b, a));
        if (a != 0 && b != 0) {
          EXPECT_NE(f.Mul(a, b), 0) << f.q << ": zero divisors";
        }
        for (int c = 0; c < f.q; ++c)
          EXPECT_EQ(f.Mul(a, f.Add(b, c)), f.Add(f.Mul(a, b), f.Mul(a, c)));
      }
    }
    std::set<int> powers;
    for (int i = 0, x = 1; i < f.q - 1; ++i, x = f.Mul(x, f.Primitive()))
      powers.insert(x);
    EXPECT_EQ(static_cast<int>(powers.size()), f.q - 1) << f.q;
  }
  for (const int other : {1, 6, 12, 45, 91, 99})
    EXPECT_EQ(AsPrimePower(other).p, 0) << other;
}

// Knuth's example has one exact cover; two rows that share a column and leave one out have none.
TEST(ExactCover, FindsTheOnlyCoverOrNone) {
  EXPECT_EQ(ExactCover({.columns = 7,
                        .rows = {{2, 4, 5}, {0, 3, 6}, {1, 2, 5}, {0, 3}, {1, 6}, {3, 4, 6}}}),
            (std::vector<int>{0, 3, 4}));
  EXPECT_FALSE(ExactCover({.columns = 3, .rows = {{0, 1}, {1, 2}}}));
  EXPECT_FALSE(ExactCover({.columns = 2, .rows = {{0, 2}}}));  // a column outside the table
}

// The Steiner systems found under a group hold every t-subset in exactly one row; where the
// counts allow none, or none is made of the group's orbits, none is found.
TEST(SteinerUnderGroup, FindsSteinerSystemsOnly) {
  const SearchControl control{.started = SearchClock::now(),
                              .deadline = SearchClock::now() + std::chrono::seconds(60)};
  // clang-format off
  for (const auto& [shape, group] : std::vector<std::pair<CoverShape, PermutationGroup>>{
           {{13, 4, 2, 2}, CyclicGroup(13, 1, 13)},
           {{26, 5, 3, 3}, CyclicGroup(26, 1, 26)},
           {{9, 3, 2, 2}, CycleProductGroup(9, 3, 3)}}) {
    // clang-format on
    const std::optional<Rows> rows = SteinerUnderGroup(shape, group, 3, control);
    ASSERT_TRUE(rows) << shape.places;
    EXPECT_EQ(static_cast<int64_t>(rows->size()),
              SteinerRows(shape.places, shape.rowSize, shape.guarantee));
    EXPECT_TRUE(
        SimpleCovers(PlacesWheel(*rows), OneTo(shape.places), shape.guarantee, shape.guarantee));
  }
  EXPECT_FALSE(SteinerUnderGroup({26, 5, 3, 3}, CyclicGroup(26, 1, 25), 1, control));
  EXPECT_FALSE(SteinerUnderGroup({27, 5, 3, 3}, CyclicGroup(27, 1, 27), 1, control));
  EXPECT_FALSE(SteinerRows(16, 6, 2));  // 8 rows for 16 points
  EXPECT_FALSE(SteinerRows(27, 5, 3));
  EXPECT_EQ(SteinerRows(45, 5, 2), 99);
}

// Each class parts the places (padded up to a multiple of 3); every pair of real places meets in
// a triple, in exactly one for a Kirkman system.
TEST(ResolvableTriples, PartThePlacesAndMeetEveryPair) {
  const SearchControl control{.started = SearchClock::now(),
                              .deadline = SearchClock::now() + std::chrono::seconds(20)};
  // clang-format off
  for (const auto& [points, classes, kirkman] : std::vector<std::tuple<int, int, bool>>{
           {9, 4, true}, {21, 10, true}, {27, 13, true}, {33, 16, true},
           {20, 10, false}, {15, 7, false}, {16, 9, false}, {11, 6, false}}) {
    // clang-format on
    const std::optional<std::vector<Rows>> system =
        kirkman ? KirkmanTriples(points) : ResolvableTriples(points, classes, 1, control);
    ASSERT_TRUE(system) << points;
    EXPECT_EQ(system->size(), static_cast<std::size_t>(classes));
    const int padded = (points + 2) / 3 * 3;
    std::map<std::pair<int, int>, int> pairs;
    for (const Rows& part : *system) {
      std::vector<int> seen(static_cast<std::size_t>(padded), 0);
      for (const auto& triple : part) {
        for (const int place : triple)
          ++seen.at(static_cast<std::size_t>(place));
        for (std::size_t i = 0; i < 3; ++i)
          for (std::size_t j = i + 1; j < 3; ++j)
            if (triple[i] < points && triple[j] < points)
              ++pairs[std::minmax(triple[i], triple[j])];
      }
      EXPECT_EQ(seen, std::vector<int>(static_cast<std::size_t>(padded), 1)) << points;
    }
    EXPECT_EQ(pairs.size(), static_cast<std::size_t>(points * (points - 1) / 2)) << points;
    if (kirkman) {
      for (const auto& [pair, count] : pairs)
        EXPECT_EQ(count, 1) << points;
    }
  }
}

// Two groups of 8 and 11 numbers, their own covers and padded resolvable systems: every triple.
TEST(JoinTwoGroups, CoversEveryTripleOfThePool) {
  const SearchControl control{.started = SearchClock::now(),
                              .deadline = SearchClock::now() + std::chrono::seconds(20)};
  TwoGroups groups{.sizeA = 8, .sizeB = 11};
  for (const auto& [size, inside] : {std::pair{8, &groups.insideA}, {11, &groups.insideB}}) {
    const AnyWheel cover = BuildWheel({.poolSize = size, .guarantee = 3, .seconds = 2}).wheel;
    for (std::size_t r = 0; r < cover.rowCount(); ++r) {
      std::vector<int> row;
      for (const uint8_t number : cover.row(r))
        row.push_back(number - 1);
      inside->push_back(row);
    }
  }
  groups.classesA = *ResolvableTriples(8, 4, 1, control);
  groups.classesB = *ResolvableTriples(11, 6, 1, control);
  const Rows rows = JoinTwoGroups(groups);
  EXPECT_LE(
      static_cast<int64_t>(rows.size()),
      MixedRows(8, 11, 4, 6) + static_cast<int64_t>(groups.insideA.size() + groups.insideB.size()));
  for (const auto& row : rows)
    EXPECT_EQ(row.size(), 6u);
  EXPECT_TRUE(SimpleCovers(PlacesWheel(rows), OneTo(19), 3, 3));
}

struct KnownCase {
  int pool, row, guarantee, draw, smallest;
};

class BuildKnown : public ::testing::TestWithParam<KnownCase> {};

TEST_P(BuildKnown, ReachesTheSmallestKnownSize) {
  const KnownCase c = GetParam();
  const BuildResult result = BuildWheel({.poolSize = c.pool,
                                         .rowSize = c.row,
                                         .guarantee = c.guarantee,
                                         .drawSize = c.draw,
                                         .targetRows = c.smallest,
                                         .seconds = 20});
  EXPECT_EQ(result.wheel.rowCount(), static_cast<std::size_t>(c.smallest)) << result.method;
  EXPECT_TRUE(result.covered && result.reachedTarget);
  EXPECT_TRUE(SimpleCovers(result.wheel, OneTo(c.pool), c.guarantee, c.draw));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Designs, BuildKnown, ::testing::Values(
    //        pool row t  m  smallest
    KnownCase{7,   3,  2, 2, 7},
    KnownCase{16,  4,  2, 2, 20},
    KnownCase{12,  6,  3, 3, 15},
    KnownCase{14,  6,  2, 2, 7},
    KnownCase{22,  6,  3, 3, 77},    // the Steiner system from the Golay code
    KnownCase{26,  6,  3, 3, 130},   // the inversive plane of order 5
    KnownCase{17,  5,  3, 3, 68},    // the inversive plane of order 4
    KnownCase{12,  6,  5, 5, 132},   // the small Witt design
    KnownCase{27,  6,  3, 3, 167},   // S(3,6,26) with one number added
    KnownCase{30,  6,  2, 2, 31},    // the projective plane of order 5, one point cut
    KnownCase{49,  6,  2, 6, 19},    // five groups, each with a covering design of pairs
    KnownCase{42,  6,  3, 3, 644})); // two groups of 21 joined by Kirkman systems
// clang-format on

// Every plan's thresholds leave no draw without a group it fills; and a wheel made by a plan
// from covers of its groups (here: every k-subset of a group, the simplest cover) meets every draw.
TEST(GroupPlans, GiveEveryDrawAGroupItFills) {
  for (const auto& [places, t, m] : {std::tuple{49, 2, 6}, {30, 3, 6}, {20, 2, 5}, {12, 2, 4}}) {
    const auto plans = GroupPlans(places, t, m);
    ASSERT_FALSE(plans.empty());
    for (const auto& plan : plans) {
      int used = 0;
      int slack = 0;
      for (const PlaceGroup& group : plan) {
        EXPECT_EQ(group.first, used);  // side by side, no overlap
        EXPECT_GE(group.threshold, t);
        used += group.size;
        slack += group.threshold - 1;
      }
      EXPECT_LE(slack + (places - used), m - 1);
    }
  }
  for (const auto& plan : GroupPlans(10, 2, 4)) {
    AnyWheel wheel;
    for (const PlaceGroup& group : plan) {
      if (group.size < group.threshold) continue;
      // Every 2-subset of the group (pairs, row size 2) covers the group at any threshold.
      for (int a = 0; a < group.size; ++a) {
        for (int b = a + 1; b < group.size; ++b)
          wheel.AddRow(std::vector<uint8_t>{static_cast<uint8_t>(group.first + a + 1),
                                            static_cast<uint8_t>(group.first + b + 1)});
      }
    }
    EXPECT_TRUE(SimpleCovers(wheel, OneTo(10), 2, 4));
  }
}

// Every group listed is one: its elements permute the places, and the product of any two is
// among them.
TEST(GroupsFor, ListsGroupsOfPermutations) {
  for (const int places : {12, 17, 26, 28, 32}) {
    for (const PermutationGroup& group : GroupsFor(places, 1000)) {
      ASSERT_EQ(group.images.size(), static_cast<std::size_t>(group.order * places));
      std::set<std::string> elements;  // each element as its bytes
      for (int g = 0; g < group.order; ++g) {
        const std::string image(group.element(g), group.element(g) + places);
        std::string sorted = image;
        std::sort(sorted.begin(), sorted.end());
        for (int x = 0; x < places; ++x)
          ASSERT_EQ(sorted[static_cast<std::size_t>(x)], static_cast<char>(x)) << group.name;
        elements.insert(image);
      }
      EXPECT_EQ(elements.size(), static_cast<std::size_t>(group.order)) << group.name;
      // Its orbits of pairs part the pairs, and every image of a pair stays in the pair's orbit.
      const SubsetOrbits pairs = OrbitsOfSubsets(group, 2);
      EXPECT_EQ(std::accumulate(pairs.size.begin(), pairs.size.end(), int64_t{0}),
                Binomial(places, 2));
      for (std::size_t o = 0; o < pairs.size.size(); ++o) {
        std::array<uint8_t, 8> image{};
        Image(group, group.order - 1, pairs.representative[o].data(), 2, image.data());
        ASSERT_EQ(pairs.of[static_cast<std::size_t>(ColexRank(image.data(), 2))],
                  static_cast<int32_t>(o));
      }
      for (const auto& a : elements) {
        for (const auto& b : elements) {
          std::string product(static_cast<std::size_t>(places), 0);
          for (std::size_t x = 0; x < product.size(); ++x)
            product[x] = a[static_cast<uint8_t>(b[x])];
          ASSERT_TRUE(elements.count(product)) << group.name;
        }
      }
    }
  }
}

// No group is listed twice under two names: two groups that are the same up to the names of the
// places have the same cycle lengths in their elements.
TEST(GroupsFor, ListsEachGroupOnce) {
  for (const int places : {16, 17, 23, 24, 25, 29}) {
    std::map<std::vector<std::vector<int>>, std::string> seen;  // cycle lengths of the elements
    for (const PermutationGroup& group : GroupsFor(places, 1000)) {
      std::vector<std::vector<int>> shape;
      for (int g = 0; g < group.order; ++g) {
        std::vector<int> lengths;
        std::vector<bool> done(static_cast<std::size_t>(places));
        for (int x = 0; x < places; ++x) {
          int length = 0;
          for (int y = x; !done[static_cast<std::size_t>(y)]; y = group.element(g)[y], ++length)
            done[static_cast<std::size_t>(y)] = true;
          if (length > 0) lengths.push_back(length);
        }
        std::sort(lengths.begin(), lengths.end());
        shape.push_back(std::move(lengths));
      }
      std::sort(shape.begin(), shape.end());
      const auto [at, added] = seen.emplace(std::move(shape), group.name);
      EXPECT_TRUE(added) << places << ": " << group.name << " and " << at->second;
    }
  }
}

struct OrbitCase {
  CoverShape shape;
  int cycles, length, prime, order;  // a cyclic group, or (prime > 0) an affine one
};

class OrbitStateCost : public ::testing::TestWithParam<OrbitCase> {};

// After random base rows and moves, the cost is the number of draws the straightforward check
// counts as holes in the whole wheel of orbits, a move taken back restores it, and removals cost
// what RemovalCost said.
TEST_P(OrbitStateCost, EqualsTheStraightforwardCount) {
  const OrbitCase c = GetParam();
  const CoverShape shape = c.shape;
  const PermutationGroup group = c.prime > 0
                                     ? AffineGroup(shape.places, c.prime, c.order, c.length > 0)
                                     : CyclicGroup(shape.places, c.cycles, c.length);
  OrbitState state(shape, group);
  SearchRandom random(static_cast<uint64_t>(shape.places * 7 + shape.drawSize));
  const auto place = [&] { return static_cast<int>(random.Below(shape.places)); };
  for (int b = 0; b < 3; ++b) {
    state.AddBase(RandomRow(random, shape));
  }
  for (int step = 0; step < 60; ++step) {
    const int b = static_cast<int>(random.Below(static_cast<std::size_t>(state.bases())));
    const auto row = state.base(b);
    const int out = row[random.Below(row.size())];
    int in = place();
    while (std::find(row.begin(), row.end(), in) != row.end())
      in = place();
    const int64_t before = state.cost();
    const int64_t delta = state.Move(b, out, in);
    EXPECT_EQ(state.cost(), before + delta);
    if (step % 3 == 0) {
      state.Move(b, in, out);
      EXPECT_EQ(state.cost(), before);
    }
    if (step == 30) {
      const int64_t lost = state.RemovalCost(0);
      const int64_t kept = state.cost();
      state.RemoveBase(0);
      EXPECT_EQ(state.cost(), kept + lost);
    }
    if (step % 10 != 9) continue;
    const CheckResult check =
        SimpleCheck(PlacesWheel(state.Rows()), shape.places, shape.drawSize, shape.guarantee, 0);
    ASSERT_EQ(state.cost(), check.holes) << group.name << ", step " << step;
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Groups, OrbitStateCost, ::testing::Values(
    //                  places row t  m   cycles length prime order
    OrbitCase{CoverShape{13,   5,  3, 3}, 1,     13,    0,    0},   // cyclic on all
    OrbitCase{CoverShape{14,   5,  2, 4}, 1,     13,    0,    0},   // one place fixed
    OrbitCase{CoverShape{12,   4,  3, 5}, 2,     6,     0,    0},   // two cycles
    OrbitCase{CoverShape{15,   6,  3, 4}, 3,     5,     0,    0},   // three cycles
    OrbitCase{CoverShape{14,   6,  4, 4}, 0,     1,     13,   3},   // x -> ax + b, one fixed
    OrbitCase{CoverShape{11,   5,  2, 3}, 0,     0,     11,   5},   // x -> ax
    OrbitCase{CoverShape{12,   6,  3, 6}, 2,     6,     0,    0}));
// clang-format on

TEST(BuildWheel, UsesOnlyThePlayersNumbers) {
  const std::vector<int> mine{3, 7, 12, 15, 22, 31, 40, 44, 49};
  const BuildResult result =
      BuildWheel({.numbers = mine, .rowSize = 3, .guarantee = 2, .drawSize = 2, .seconds = 20});
  EXPECT_TRUE(result.smallest);  // 12 rows: the Schoenheim bound
  EXPECT_TRUE(SimpleCovers(result.wheel, mine, 2, 2));
  // Listed as wheel files are: rows ascending, in lexicographic order.
  std::vector<std::vector<uint8_t>> rows;
  for (std::size_t r = 0; r < result.wheel.rowCount(); ++r) {
    rows.emplace_back(result.wheel.row(r).begin(), result.wheel.row(r).end());
    EXPECT_TRUE(std::is_sorted(rows.back().begin(), rows.back().end()));
  }
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
}

// Every row holds the key numbers; a draw of m holding them all meets a row in t numbers, and
// the table by key numbers drawn adds up to the plain win table of the same wheel.
TEST(BuildWheel, PutsTheKeyNumbersInEveryRow) {
  const std::vector<int> mine{2, 3, 5, 8, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43};
  const std::vector<int> keys{8, 31};
  const BuildRequest request{.numbers = mine,
                             .keyNumbers = keys,
                             .rowSize = 5,
                             .guarantee = 3,
                             .drawSize = 5,
                             .seconds = 10,
                             .maxMoves = 100000};
  const BuildResult result = BuildWheel(request);
  ASSERT_TRUE(result.covered);
  std::vector<int> others;
  for (const int n : mine)
    if (n != 8 && n != 31) others.push_back(n);
  AnyWheel rest;
  for (std::size_t r = 0; r < result.wheel.rowCount(); ++r) {
    std::vector<uint8_t> row;
    for (const uint8_t n : result.wheel.row(r))
      if (n != 8 && n != 31) row.push_back(n);
    EXPECT_EQ(row.size(), 3u);  // both key numbers in the row
    rest.AddRow(row);
  }
  EXPECT_TRUE(SimpleCovers(rest, others, 1, 3));  // "3 if 5" once both keys are drawn
  const std::vector<WinTableRow> byKeys = KeyWinTable(result.wheel, mine, keys, 5);
  const WinTableRow plain = WinTable(result.wheel, mine, 5, 1).front();
  ASSERT_EQ(byKeys.size(), 3u);
  EXPECT_EQ(byKeys.front().keysDrawn, 2);
  EXPECT_GE(byKeys.front().byBest.begin()->first, 3);
  std::map<int, int64_t> summed;
  for (const WinTableRow& row : byKeys)
    for (const auto& [best, count] : row.byBest)
      summed[best] += count;
  EXPECT_EQ(summed, plain.byBest);
  for (const std::vector<int>& bad : {std::vector<int>{8, 50}, std::vector<int>{2, 3, 5, 8, 11}}) {
    BuildRequest refused = request;
    refused.keyNumbers = bad;
    EXPECT_THROW(BuildWheel(refused), std::invalid_argument);
  }
}

TEST(BuildWheel, RepeatsForASeedAndStopsWhenAsked) {
  BuildRequest request{
      .poolSize = 14, .rowSize = 5, .guarantee = 3, .drawSize = 4, .seed = 7, .threads = 2};
  request.maxMoves = 3000;  // a move limit, not the clock, ends a repeatable run
  const BuildResult first = BuildWheel(request);
  EXPECT_EQ(BuildWheel(request).wheel, first.wheel);
  EXPECT_TRUE(SimpleCovers(first.wheel, OneTo(14), 3, 4));

  BuildRequest stopping = request;
  stopping.maxMoves = 0;
  stopping.seconds = 30;
  stopping.progress = [](const BuildProgress&) { return true; };
  const BuildResult stopped = BuildWheel(stopping);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_LT(stopped.seconds, 1.0);
}

TEST(WinTable, CountsTheSubsetsOfThePlayersNumbersByBestLevel) {
  const std::vector<int> mine{2, 9, 13, 20, 27, 31, 38, 44, 45, 48};
  const AnyWheel wheel = testing::RandomAnyWheel(5, 12, 6, 49);
  const auto table = WinTable(wheel, mine, 6, 3);
  ASSERT_EQ(table.size(), 4u);  // h = 6, 5, 4, 3
  for (const WinTableRow& row : table) {
    const CheckResult check = SimpleCheck(OverNumbers(wheel, mine), 10, row.drawn, {}, 0);
    for (int level = 0; level <= row.drawn; ++level) {
      const auto at = row.byBest.find(level);
      EXPECT_EQ(at == row.byBest.end() ? 0 : at->second, check.SubsetsAt(level));
    }
  }
}

TEST(BuildWheel, RefusesImpossibleRequests) {
  // clang-format off
  for (const BuildRequest& bad : {
           BuildRequest{.poolSize = 10, .rowSize = 3, .guarantee = 4, .drawSize = 4},   // t > k
           BuildRequest{.poolSize = 10, .rowSize = 5, .guarantee = 4, .drawSize = 3},   // t > m
           BuildRequest{.poolSize = 5,  .rowSize = 6, .guarantee = 2, .drawSize = 2},   // pool < k
           BuildRequest{.numbers = {4, 4, 9, 10}, .rowSize = 2, .guarantee = 2, .drawSize = 2},
           BuildRequest{.poolSize = 12, .rowSize = 6, .guarantee = 3, .seconds = -1},   // no time
           BuildRequest{.poolSize = 99, .rowSize = 8, .guarantee = 3, .drawSize = 8},   // no time to check
           BuildRequest{.poolSize = 99, .rowSize = 8, .guarantee = 6, .drawSize = 6, .seconds = 1e6}})  // memory
    EXPECT_THROW(BuildWheel(bad), std::invalid_argument);
  // clang-format on
}

}  // namespace
}  // namespace quirmel
