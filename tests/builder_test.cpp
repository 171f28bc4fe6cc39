// Building wheels for a guarantee: known smallest covering designs, the player's own numbers,
// repeatable runs, a stop, and the refusals.

#include <gtest/gtest.h>

#include <numeric>

#include "engine/engine.h"
#include "tests/oracle.h"

namespace quirmel {
namespace {

using testing::SimpleCovers;

std::vector<int> OneTo(int n) {
  std::vector<int> numbers(static_cast<std::size_t>(n));
  std::iota(numbers.begin(), numbers.end(), 1);
  return numbers;
}

struct KnownCase {
  int pool, row, guarantee, draw, smallest;
};

class BuildKnown : public ::testing::TestWithParam<KnownCase> {};

TEST_P(BuildKnown, ReachesTheSmallestKnownSize) {
  const KnownCase c = GetParam();
  for (const uint64_t seed : {1u, 2u, 3u}) {
    const BuildResult result = BuildWheel({.poolSize = c.pool,
                                           .rowSize = c.row,
                                           .guarantee = c.guarantee,
                                           .drawSize = c.draw,
                                           .targetRows = c.smallest,
                                           .seconds = 20,
                                           .seed = seed});
    EXPECT_EQ(result.wheel.rowCount(), static_cast<std::size_t>(c.smallest)) << "seed " << seed;
    EXPECT_TRUE(result.covered && result.reachedTarget);
    EXPECT_TRUE(SimpleCovers(result.wheel, OneTo(c.pool), c.guarantee, c.draw));
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Designs, BuildKnown, ::testing::Values(
    //        pool row t  m  smallest
    KnownCase{7,   3,  2, 2, 7},
    KnownCase{9,   3,  2, 2, 12},
    KnownCase{13,  4,  2, 2, 13},
    KnownCase{16,  4,  2, 2, 20},
    KnownCase{12,  6,  3, 3, 15}));
// clang-format on

TEST(BuildWheel, UsesOnlyThePlayersNumbers) {
  const std::vector<int> mine{3, 7, 12, 15, 22, 31, 40, 44, 49};
  const BuildResult result =
      BuildWheel({.numbers = mine, .rowSize = 3, .guarantee = 2, .drawSize = 2, .seconds = 20});
  EXPECT_TRUE(result.smallest);  // 12 rows: the Schoenheim bound
  EXPECT_TRUE(SimpleCovers(result.wheel, mine, 2, 2));
}

TEST(BuildWheel, RepeatsForASeedAndStopsWhenAsked) {
  BuildRequest request{.poolSize = 14, .rowSize = 5, .guarantee = 3, .drawSize = 4, .seed = 7};
  request.maxMoves = 3000;  // a move limit, not the clock, ends a repeatable run
  const BuildResult first = BuildWheel(request);
  EXPECT_EQ(BuildWheel(request).wheel, first.wheel);
  EXPECT_TRUE(SimpleCovers(first.wheel, OneTo(14), 3, 4));

  BuildRequest stopping = request;
  stopping.maxMoves = 0;
  stopping.progress = [](const BuildProgress&) { return true; };
  const BuildResult stopped = BuildWheel(stopping);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_TRUE(stopped.covered);  // the best cover so far
}

TEST(BuildWheel, RefusesImpossibleRequests) {
  // clang-format off
  for (const BuildRequest& bad : {
           BuildRequest{.poolSize = 10, .rowSize = 3, .guarantee = 4, .drawSize = 4},   // t > k
           BuildRequest{.poolSize = 10, .rowSize = 5, .guarantee = 4, .drawSize = 3},   // t > m
           BuildRequest{.poolSize = 5,  .rowSize = 6, .guarantee = 2, .drawSize = 2},   // pool < k
           BuildRequest{.numbers = {4, 4, 9, 10}, .rowSize = 2, .guarantee = 2, .drawSize = 2},
           BuildRequest{.poolSize = 99, .rowSize = 8, .guarantee = 3, .drawSize = 8}})  // 1 GiB
    EXPECT_THROW(BuildWheel(bad), std::invalid_argument);
  // clang-format on
}

}  // namespace
}  // namespace quirmel
