#include <gtest/gtest.h>

#include <numeric>
#include <thread>

#include <unistd.h>

#include "engine/design/coverage_options.h"
#include "engine/engine.h"
#include "tests/oracle.h"

namespace quirmel {
namespace {

using testing::DevelopedWheel;
using testing::RandomWheel;
using testing::SimpleCoverage;

Wheel MakeWheel(const std::vector<std::vector<int>>& rows) {
  Wheel wheel(static_cast<int16_t>(rows.size()), static_cast<int16_t>(rows.front().size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t p = 0; p < rows[r].size(); ++p)
      wheel.at(static_cast<int16_t>(r + 1), static_cast<int16_t>(p + 1)) =
          static_cast<int16_t>(rows[r][p]);
  }
  return wheel;
}

Wheel SmallWheel() {
  return MakeWheel({{1, 2, 3}, {2, 3, 4}, {3, 4, 5}});
}

void ExpectSameStats(const CoverageStats& fast, const CoverageStats& simple,
                     const std::string& where) {
  EXPECT_EQ(fast.subsetCount, simple.subsetCount) << where;
  EXPECT_EQ(fast.stopped, simple.stopped) << where;
  EXPECT_EQ(fast.bestLevelCount, simple.bestLevelCount) << where;
  EXPECT_EQ(fast.matchCountTable, simple.matchCountTable) << where;
}

// The invariants every run holds, whatever its wheel.
void ExpectConsistent(const CoverageStats& stats, int subsetSize, int keyCount,
                      const std::string& where) {
  int64_t sum = 0;
  for (int level = 0; level <= 6; ++level) {
    const auto& row = stats.matchCountTable[level];
    EXPECT_EQ(row[0], 0) << where;
    EXPECT_EQ(std::accumulate(row.begin(), row.end(), int64_t{0}), stats.bestLevelCount[level])
        << where << " level " << level;
    if (level > subsetSize || level > keyCount) {
      EXPECT_EQ(stats.bestLevelCount[level], 0) << where;
    }
    sum += stats.bestLevelCount[level];
  }
  EXPECT_EQ(sum, stats.subsetCount) << where;
}

// The wheel 1 2 3 / 2 3 4 / 3 4 5 over 1..8, worked by hand: subsets by best level, and
// (level, match count, subsets) cells.
struct WorkedExample {
  int16_t size;
  std::array<int32_t, 7> levels;
  std::vector<std::array<int, 3>> cells;
};

TEST(AnalyseCoverage, WorkedExamples) {
  // clang-format off
  for (const WorkedExample& w : {
           WorkedExample{2, {3, 18, 7, 0, 0, 0, 0},  {{2, 1, 5}, {2, 2, 2}, {1, 1, 6}, {1, 2, 7}, {1, 3, 5}, {0, 3, 3}}},
           WorkedExample{3, {1, 24, 28, 3, 0, 0, 0}, {{3, 1, 3}, {2, 1, 17}, {2, 2, 9}, {2, 3, 2}, {1, 1, 6}, {1, 2, 9}, {1, 3, 9}, {0, 3, 1}}}}) {
    // clang-format on
    const CoverageStats stats = AnalyseCoverage(SmallWheel(), 3, 3, 8, w.size, {});
    EXPECT_EQ(stats.bestLevelCount, w.levels);
    for (const auto& [level, matches, subsets] : w.cells)
      EXPECT_EQ(stats.matchCountTable[level][matches], subsets) << level << " " << matches;
    ExpectSameStats(stats, SimpleCoverage(SmallWheel(), 3, 3, 8, w.size, {}), "oracle");
  }
}

TEST(AnalyseCoverage, PoolSizeAgainstSubsetSize) {
  // (1, 2, 3, 4, 5): rows 1..3 all hold three of them; smaller pools have no subset at all.
  EXPECT_EQ(AnalyseCoverage(SmallWheel(), 3, 3, 5, 5, {}).matchCountTable[3][3], 1);
  for (int16_t n : {0, 1, 4})
    EXPECT_EQ(AnalyseCoverage(SmallWheel(), 3, 3, n, 5, {}).bestLevelCount,
              (std::array<int32_t, 7>{}));
}

TEST(AnalyseCoverage, BestLevelCountsOnlyTheTopRows) {
  // Subset (1, 2, 3): one row at level 3, five at level 2.
  const Wheel wheel = MakeWheel({{1, 2, 3}, {1, 2, 9}, {1, 3, 9}, {2, 3, 9}, {1, 2, 8}, {2, 3, 8}});
  const CoverageStats stats = AnalyseCoverage(wheel, 6, 3, 3, 3, {});
  EXPECT_EQ(stats.matchCountTable[3][1], 1);
  EXPECT_EQ(stats.bestLevelCount[2], 0);
}

TEST(AnalyseCoverage, MatchCountsAboveSixtyGoToColumnSixty) {
  for (int rows : {60, 61, 99}) {
    const Wheel wheel = MakeWheel(std::vector<std::vector<int>>(rows, {1, 2, 3}));
    const CoverageStats stats = AnalyseCoverage(wheel, static_cast<int16_t>(rows), 3, 6, 3, {});
    EXPECT_EQ(stats.matchCountTable[3][60], 1) << rows;  // (1, 2, 3)
    EXPECT_EQ(stats.matchCountTable[0][60], 1) << rows;  // (4, 5, 6): no row touches it
    ExpectSameStats(stats, SimpleCoverage(wheel, static_cast<int16_t>(rows), 3, 6, 3, {}),
                    std::to_string(rows));
  }
}

TEST(AnalyseCoverage, NumbersOutsideThePoolBelongToNoSubset) {
  const Wheel wheel = MakeWheel({{1, 2, 50, 0}, {-3, 150, 99, 2}, {7, 7, 7, 12}});
  for (int16_t n : {10, 60, 99}) {
    for (int16_t k = 2; k <= 4; ++k) {
      ExpectSameStats(AnalyseCoverage(wheel, 3, 4, n, k, {}), SimpleCoverage(wheel, 3, 4, n, k, {}),
                      "n " + std::to_string(n) + " k " + std::to_string(k));
    }
  }
}

TEST(AnalyseCoverage, ReadsOnlyTheRowsAndPositionsItIsGiven) {
  Wheel wheel = RandomWheel(7, 10, 6, 1, 20);
  const CoverageStats part = AnalyseCoverage(wheel, 4, 3, 20, 3, {});
  for (int16_t r = 1; r <= 10; ++r) {
    wheel.at(r, 6) = 2;
    if (r >= 5) wheel.at(r, 1) = 1;
  }
  ExpectSameStats(part, AnalyseCoverage(wheel, 4, 3, 20, 3, {}), "unread cells changed");
}

TEST(AnalyseCoverage, RefusesArgumentsOutsideTheWheel) {
  const Wheel wheel(5, 4);  // combinations, key count, pool, subset size
  for (const auto& [c, k, n, size] : std::vector<std::array<int16_t, 4>>{{0, 4, 10, 3},
                                                                         {6, 4, 10, 3},
                                                                         {5, 0, 10, 3},
                                                                         {5, 5, 10, 3},
                                                                         {5, 4, -1, 3},
                                                                         {5, 4, 100, 3},
                                                                         {5, 4, 10, 1},
                                                                         {5, 4, 10, 7}})
    EXPECT_THROW(AnalyseCoverage(wheel, c, k, n, size, {}), std::invalid_argument);
  EXPECT_NO_THROW(AnalyseCoverage(wheel, 5, 4, 99, 2, {}));
}

// Random wheels against the straightforward enumeration: row counts at the 64-bit word
// boundaries and beyond two words, duplicates within rows (narrow number ranges), numbers above
// the pool, every subset size.
struct RandomMatrixCase {
  int rows, positions, high, poolSize;  // numbers drawn from 1..high
};

class AnalyseCoverageRandom : public ::testing::TestWithParam<RandomMatrixCase> {};

TEST_P(AnalyseCoverageRandom, MatchesTheSimpleEnumeration) {
  const RandomMatrixCase& c = GetParam();
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    const Wheel wheel = RandomWheel(seed * 7919 + c.rows, c.rows, c.positions, 1, c.high);
    for (int16_t k = 2; k <= 6; ++k) {
      const int16_t n = static_cast<int16_t>(k == 6 ? std::min(c.poolSize, 20) : c.poolSize);
      const std::string where = "seed " + std::to_string(seed) + " k " + std::to_string(k);
      const CoverageStats fast = AnalyseCoverage(wheel, static_cast<int16_t>(c.rows),
                                                 static_cast<int16_t>(c.positions), n, k, {});
      ExpectSameStats(fast,
                      SimpleCoverage(wheel, static_cast<int16_t>(c.rows),
                                     static_cast<int16_t>(c.positions), n, k, {}),
                      where);
      ExpectConsistent(fast, k, c.positions, where);
    }
  }
}

// clang-format off
constexpr RandomMatrixCase kRandomMatrices[] = {
    // rows positions high poolSize
    {1,   6, 20, 20},
    {5,   3, 8,  12},
    {63,  4, 25, 25},
    {64,  6, 30, 26},
    {65,  5, 40, 24},
    {98,  6, 99, 23},
    {99,  6, 26, 24},
    {130, 3, 30, 22},
    {20,  6, 60, 30},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Wheels, AnalyseCoverageRandom, ::testing::ValuesIn(kRandomMatrices));

// The progress contract: every multiple of 10,000 in order, on the calling thread, and a stop that
// leaves exactly the statistics of the subsets before it. Both the one-thread and the worker path.
class AnalyseCoverageProgress : public ::testing::TestWithParam<bool> {
 protected:
  AnalysisOptions Options() const {
    AnalysisOptions options;
    options.useWorkers = GetParam();
    options.parallelFrom = 0;
    return options;
  }
};

TEST_P(AnalyseCoverageProgress, CallsTheHookAtEveryMultipleOfTenThousand) {
  const Wheel wheel = DevelopedWheel({3, 9, 17, 21, 30}, 34, 34);
  const std::thread::id caller = std::this_thread::get_id();
  std::vector<int32_t> calls;
  const CoverageStats stats = AnalyseCoverage(
      wheel, 34, 5, 34, 5,
      [&](int32_t count) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        calls.push_back(count);
        return false;
      },
      Options());
  EXPECT_EQ(stats.subsetCount, 278256);
  ASSERT_EQ(calls.size(), 27u);
  for (std::size_t i = 0; i < calls.size(); ++i)
    EXPECT_EQ(calls[i], 10000 * (i + 1));
  ExpectSameStats(stats, SimpleCoverage(wheel, 34, 5, 34, 5, {}), "whole run");
}

TEST_P(AnalyseCoverageProgress, StopsExactlyWhereTheHookAsks) {
  const Wheel wheel = RandomWheel(11, 70, 6, 1, 32);
  for (int32_t stopAt : {10000, 90000, 200000}) {  // first, a middle and the last point of 201,376
    const auto hook = [stopAt](int32_t count) { return count == stopAt; };
    const CoverageStats fast = AnalyseCoverage(wheel, 70, 6, 32, 5, hook, Options());
    EXPECT_TRUE(fast.stopped);
    EXPECT_EQ(fast.subsetCount, stopAt);
    ExpectSameStats(fast, SimpleCoverage(wheel, 70, 6, 32, 5, hook), std::to_string(stopAt));
    ExpectConsistent(fast, 5, 6, std::to_string(stopAt));
  }
}

TEST_P(AnalyseCoverageProgress, ThrowingHookLeavesTheEngineUsable) {
  const Wheel wheel = DevelopedWheel({1, 2, 3, 4, 5, 6}, 30, 30);
  EXPECT_THROW(AnalyseCoverage(
                   wheel, 30, 6, 30, 5, [](int32_t) -> bool { throw std::runtime_error("hook"); },
                   Options()),
               std::runtime_error);
  const CoverageStats again = AnalyseCoverage(wheel, 30, 6, 30, 5, {}, Options());
  EXPECT_EQ(again.subsetCount, 142506);
  EXPECT_FALSE(again.stopped);
}

TEST_P(AnalyseCoverageProgress, AnalysisStartedFromTheHookRunsToo) {
  const Wheel wheel = DevelopedWheel({1, 2, 3, 4, 5, 6}, 30, 30);
  const CoverageStats inner = SimpleCoverage(wheel, 30, 6, 30, 4, {});
  int nested = 0;
  const CoverageStats outer = AnalyseCoverage(
      wheel, 30, 6, 30, 5,
      [&](int32_t count) {
        if (count == 20000) {
          ExpectSameStats(AnalyseCoverage(wheel, 30, 6, 30, 4, {}, Options()), inner, "nested");
          ++nested;
        }
        return false;
      },
      Options());
  EXPECT_EQ(nested, 1);
  ExpectSameStats(outer, SimpleCoverage(wheel, 30, 6, 30, 5, {}), "outer");
}

INSTANTIATE_TEST_SUITE_P(Threads, AnalyseCoverageProgress, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Workers" : "CallingThread"; });

TEST(AnalyseCoverage, FullLotteryPoolWithDefaultOptions) {
  const Wheel wheel = DevelopedWheel({1, 2, 3, 4, 5, 6}, 49, 49);
  int32_t last = 0;
  const CoverageStats stats = AnalyseCoverage(wheel, 49, 6, 49, 6, [&](int32_t count) {
    EXPECT_EQ(count, last + 10000);
    return last = count, false;
  });
  EXPECT_EQ(last, 13980000);
  ExpectConsistent(stats, 6, 6, "49/6");
  EXPECT_EQ(stats.matchCountTable[6][1], 49);  // every row is a subset of its own
}

// exit() from inside the hook (as Qt does when its display connection breaks) runs the static
// destructors with the workers still counting ahead; the process must still end, at once.
TEST(AnalyseCoverageDeathTest, ExitFromTheHookEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process with a fresh worker pool
  const Wheel wheel = DevelopedWheel({1, 2, 3, 4, 5, 6}, 49, 49);
  EXPECT_EXIT(
      {
        alarm(5);  // a hang ends by SIGALRM, not by the expected status
        AnalyseCoverage(wheel, 49, 6, 49, 6, [](int32_t) -> bool { std::exit(7); });
      },
      ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace quirmel
