// The general check against the straightforward enumeration, on wheels of every shape.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "engine/core/worker_pool.h"
#include "engine/engine.h"
#include "tests/oracle.h"

namespace quirmel {
namespace {

using testing::RandomAnyWheel;
using testing::SimpleCheck;

void ExpectSame(const CheckResult& fast, const CheckResult& simple, bool detail) {
  EXPECT_EQ(fast.subsets, simple.subsets);
  EXPECT_EQ(fast.examined, simple.examined);
  EXPECT_EQ(fast.stopped, simple.stopped);
  EXPECT_EQ(fast.levels, simple.levels);
  EXPECT_EQ(fast.covered, simple.covered);
  EXPECT_EQ(fast.holes, simple.holes);
  if (!detail) return;
  EXPECT_EQ(fast.holeList, simple.holeList);
  EXPECT_EQ(fast.necessity, simple.necessity);
}

AnyWheel Twice(const AnyWheel& once) {  // every row repeated
  AnyWheel twice = once;
  for (std::size_t r = 0; r < once.rowCount(); ++r)
    twice.AddRow(once.row(r));
  return twice;
}

struct RandomCase {  // the wheel; numbers above the pool belong to no subset
  uint32_t seed;
  int rows, longest, high, pool, draw, guarantee;
  bool repeated;  // every row twice
  CheckMethod method;
  int threads;
  bool detail;  // list holes and count necessity
};

class CheckRandom : public ::testing::TestWithParam<RandomCase> {};

TEST_P(CheckRandom, MatchesTheStraightforwardEnumeration) {
  const RandomCase c = GetParam();
  const AnyWheel random = RandomAnyWheel(c.seed, c.rows, c.longest, c.high);
  const AnyWheel wheel = c.repeated ? Twice(random) : random;
  const CheckResult fast = CheckWheel({.wheel = wheel,
                                       .poolSize = c.pool,
                                       .drawSize = c.draw,
                                       .guarantee = c.guarantee,
                                       .holesToList = c.detail ? 25 : 0,
                                       .necessity = c.detail,
                                       .threads = c.threads,
                                       .method = c.method});
  ExpectSame(fast, SimpleCheck(wheel, c.pool, c.draw, c.guarantee, 25), c.detail);
}

constexpr auto kRows = CheckMethod::RowSets;
constexpr auto kTables = CheckMethod::CountTables;
constexpr auto kAuto = CheckMethod::Automatic;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Wheels, CheckRandom, ::testing::Values(
    //         seed rows long high pool draw t  repeated method  threads detail
    RandomCase{1,   12,  6,   20,  20,  6,   3, false,   kRows,   1,      false},
    RandomCase{1,   12,  6,   20,  20,  6,   3, false,   kTables, 1,      true},
    RandomCase{2,   40,  8,   25,  22,  5,   4, true,    kRows,   2,      false},
    RandomCase{2,   40,  8,   25,  22,  5,   4, true,    kTables, 2,      true},
    RandomCase{3,   70,  3,   30,  30,  2,   2, false,   kTables, 2,      true},
    RandomCase{4,   130, 7,   24,  24,  7,   5, false,   kRows,   2,      false},
    RandomCase{4,   130, 7,   24,  24,  7,   5, false,   kTables, 1,      true},
    RandomCase{5,   9,   20,  22,  18,  8,   6, false,   kTables, 2,      true},
    RandomCase{5,   9,   20,  22,  18,  8,   6, false,   kRows,   1,      false},
    RandomCase{6,   300, 6,   26,  26,  6,   4, false,   kAuto,   2,      false},
    RandomCase{7,   5,   2,   12,  12,  3,   1, true,    kTables, 1,      true},
    RandomCase{8,   1,   1,   9,   9,   2,   1, false,   kAuto,   2,      true}));
// clang-format on

// The Fano plane: 7 rows of 3 on 7 points, every pair in exactly one row.
TEST(CheckWheel, FanoPlaneCoversEveryPairOnce) {
  AnyWheel fano;
  for (const auto& row : std::vector<std::vector<uint8_t>>{
           {1, 2, 3}, {1, 4, 5}, {1, 6, 7}, {2, 4, 6}, {2, 5, 7}, {3, 4, 7}, {3, 5, 6}})
    fano.AddRow(row);
  for (const CheckMethod method : {kRows, kTables}) {
    const CheckResult result =
        CheckWheel({.wheel = fano, .poolSize = 7, .drawSize = 2, .guarantee = 2, .method = method});
    EXPECT_EQ(result.levels[2], (std::map<int64_t, int64_t>{{1, 21}}));
    EXPECT_EQ(result.covered, 21);
    EXPECT_EQ(result.holes, 0);
  }
  const CheckResult necessity =
      CheckWheel({.wheel = fano, .poolSize = 7, .drawSize = 2, .guarantee = 2, .necessity = true});
  EXPECT_EQ(necessity.necessity, std::vector<int64_t>(7, 3));  // no row can go
}

// With one thread the chunks finish in order: a stop leaves exactly a prefix of the subsets.
TEST(CheckWheel, StopsWithTheStatisticsOfWhatItFinished) {
  const AnyWheel wheel = RandomAnyWheel(9, 60, 6, 30);
  for (const CheckMethod method : {kRows, kTables}) {
    for (const int calls : {1, 3}) {
      int left = calls;
      const CheckRequest request{.wheel = wheel,
                                 .poolSize = 30,
                                 .drawSize = 6,
                                 .guarantee = 3,
                                 .threads = 1,
                                 .method = method,
                                 .progress = [&](int64_t, int64_t) { return --left == 0; }};
      const CheckResult stopped = CheckWheel(request);
      ASSERT_TRUE(stopped.stopped);
      ASSERT_LT(stopped.examined, stopped.subsets);
      ExpectSame(stopped, SimpleCheck(wheel, 30, 6, 3, 0, stopped.examined), false);
    }
  }
  // With every thread the examined subsets are those the histogram holds. (Whether the workers
  // finish every chunk before the calling thread asks the hook depends on the scheduler, so the
  // stop is judged by what was examined.)
  const CheckResult stopped = CheckWheel(
      {.wheel = wheel, .poolSize = 30, .drawSize = 6, .progress = [](int64_t examined, int64_t) {
         return examined > 100000;
       }});
  int64_t sum = 0;
  for (int level = 0; level <= 6; ++level)
    sum += stopped.SubsetsAt(level);
  EXPECT_EQ(sum, stopped.examined);
  EXPECT_EQ(stopped.stopped, stopped.examined < stopped.subsets);
}

// Holes spread over many chunks counted by several threads: every limit lists the first holes
// in rank order, a prefix of the full list.
TEST(CheckWheel, ListsTheFirstHolesWhateverTheLimit) {
  const AnyWheel wheel = RandomAnyWheel(7, 30, 6, 30);
  const auto holes = [&wheel](int64_t limit) {
    return CheckWheel({.wheel = wheel,
                       .poolSize = 30,
                       .drawSize = 5,
                       .guarantee = 3,
                       .holesToList = limit,
                       .threads = 3,
                       .method = CheckMethod::CountTables});
  };
  const CheckResult all = holes(kMaxHolesListed);
  ASSERT_GT(all.holes, 2000);
  ASSERT_EQ(static_cast<int64_t>(all.holeList.size()), all.holes);
  EXPECT_TRUE(std::is_sorted(all.holeList.begin(), all.holeList.end()));
  for (const int64_t limit : {1, 37, 1500}) {
    const CheckResult some = holes(limit);
    EXPECT_EQ(some.holes, all.holes);
    EXPECT_TRUE(std::equal(some.holeList.begin(), some.holeList.end(), all.holeList.begin()));
    EXPECT_EQ(static_cast<int64_t>(some.holeList.size()), limit);
  }
}

// Over the player's numbers the check is the check of the wheel over their places, its holes
// named in the player's numbers.
TEST(CheckWheel, ChecksOverThePlayersNumbers) {
  const std::vector<int> numbers = {4, 9, 11, 15, 23, 30, 31, 40, 44, 47};
  AnyWheel wheel;  // rows in the player's numbers, and one number that is not theirs
  for (const std::vector<uint8_t>& row : std::vector<std::vector<uint8_t>>{
           {4, 9, 11, 15}, {23, 30, 31, 40}, {44, 47, 4, 2}, {9, 23, 44, 31}})
    wheel.AddRow(row);
  const CheckResult mine = CheckWheel(
      {.wheel = wheel, .numbers = numbers, .drawSize = 4, .guarantee = 3, .holesToList = 1000});
  const CheckResult places = CheckWheel({.wheel = OverNumbers(wheel, numbers),
                                         .poolSize = 10,
                                         .drawSize = 4,
                                         .guarantee = 3,
                                         .holesToList = 1000});
  EXPECT_EQ(mine.levels, places.levels);
  ASSERT_EQ(mine.holeList.size(), places.holeList.size());
  ASSERT_GT(mine.holes, 0);
  for (std::size_t h = 0; h < mine.holeList.size(); ++h) {
    for (std::size_t i = 0; i < 4; ++i)
      EXPECT_EQ(mine.holeList[h][i], numbers[static_cast<std::size_t>(places.holeList[h][i] - 1)]);
  }
}

TEST(SortedNumbers, SortsOrRefusesThePlayersNumbers) {
  EXPECT_EQ(SortedNumbers({9, 3, 47}), (std::vector<int>{3, 9, 47}));
  EXPECT_TRUE(SortedNumbers({}).empty());
  for (const std::vector<int>& bad : {std::vector<int>{0, 5}, {5, 100}, {7, 3, 7}})
    EXPECT_THROW(SortedNumbers(bad), std::invalid_argument);
}

// The watcher runs on the caller's thread until the work ends, and what the work throws comes
// back to the caller.
TEST(RunWatched, WatchesUntilTheWorkEndsAndPassesItsFailureOn) {
  std::atomic<bool> release{false};
  int watched = 0;
  RunWatched(
      [&] {
        while (!release)
          std::this_thread::yield();
      },
      std::chrono::milliseconds(1),
      [&] {
        if (++watched == 3) release = true;  // the work may take a while to see it
      });
  EXPECT_GE(watched, 3);
  EXPECT_THROW(
      RunWatched([] { throw std::length_error("full"); }, std::chrono::milliseconds(1), [] {}),
      std::length_error);
}

TEST(CheckWheel, TakesFewerThreadsForManyRows) {
  const AnyWheel small = RandomAnyWheel(2, 100, 6, 49);
  EXPECT_EQ(CountingThreads({.wheel = small, .drawSize = 6}, 64), 64);
  AnyWheel large;
  for (std::size_t r = 0; r < kMaxWheelRows; ++r)
    large.AddRow(std::vector<uint8_t>{1, 2, 3, 4, 5, 6});
  // Each thread tallies at least a histogram of 8-byte counts, draw size + 1 of them a row.
  const int threads = CountingThreads({.wheel = large, .poolSize = 99, .drawSize = 8}, 64);
  EXPECT_GE(threads, 1);
  EXPECT_LE(threads * int64_t{9 * 8} * static_cast<int64_t>(kMaxWheelRows), kMaxCheckTallyBytes);
  EXPECT_EQ(CountingThreads({.wheel = large, .poolSize = 99, .drawSize = 8}, 1), 1);
}

TEST(CheckWheel, RefusesRequestsOutsideItsLimits) {
  const AnyWheel wheel = RandomAnyWheel(1, 3, 6, 10);
  EXPECT_NO_THROW(CheckWheel({.wheel = wheel, .poolSize = 10, .drawSize = 6}));
  // clang-format off
  for (const CheckRequest& bad : std::vector<CheckRequest>{
           {.wheel = wheel, .poolSize = 0},
           {.wheel = wheel, .poolSize = 100},  {.wheel = wheel, .drawSize = 1},
           {.wheel = wheel, .drawSize = 9},    {.wheel = wheel, .guarantee = 7},
           {.wheel = wheel, .guarantee = 0},   {.wheel = wheel, .necessity = true},
           {.wheel = wheel, .holesToList = -1},
           {.wheel = wheel, .numbers = {3, 3, 7, 9, 12, 20}},
           {.wheel = wheel, .numbers = {0, 3, 7, 9, 12, 20}}})
    EXPECT_THROW(CheckWheel(bad), std::invalid_argument);
  // clang-format on
  // 1,100 rows of 20 over 99 at 6 drawn: their count tables would take some 4 GB, so a hole
  // list is refused before anything is built.
  AnyWheel huge;
  for (int r = 0; r < 1100; ++r) {
    std::vector<uint8_t> row;
    for (int i = 0; i < 20; ++i)
      row.push_back(static_cast<uint8_t>((r * 7 + i * 5) % 99 + 1));
    huge.AddRow(row);
  }
  EXPECT_THROW(
      CheckWheel({.wheel = huge, .poolSize = 99, .drawSize = 6, .guarantee = 4, .holesToList = 5}),
      std::length_error);
}

}  // namespace
}  // namespace quirmel
