#include <gtest/gtest.h>

#include "engine/engine.h"

namespace quirmel {
namespace {

const NumberFormat kPoint{",", "."};
const NumberFormat kComma{".", ","};

TEST(FormatCount, GroupsByThreeFromTheRight) {
  EXPECT_EQ(FormatCount(0, kPoint), "0");
  EXPECT_EQ(FormatCount(28, kPoint), "28");
  EXPECT_EQ(FormatCount(999, kPoint), "999");
  EXPECT_EQ(FormatCount(1176, kPoint), "1,176");
  EXPECT_EQ(FormatCount(100000, kPoint), "100,000");
  EXPECT_EQ(FormatCount(13983816, kPoint), "13,983,816");
  EXPECT_EQ(FormatCount(13983816, kComma), "13.983.816");
  EXPECT_EQ(FormatCount(1120529256, NumberFormat{"\u202f", ","}), "1\u202f120\u202f529\u202f256");
  EXPECT_EQ(FormatCount(1234, NumberFormat{"", "."}), "1234");
  EXPECT_EQ(FormatCount(-1234, kPoint), "-1,234");
  EXPECT_EQ(FormatCount(INT32_MIN, kPoint), "-2,147,483,648");
}

TEST(FormatPercent, FourDecimalsRightAlignedToNine) {
  EXPECT_EQ(FormatPercent(0, kPoint), "  0.0000%");
  EXPECT_EQ(FormatPercent(5.357142857, kPoint), "  5.3571%");
  EXPECT_EQ(FormatPercent(25, kPoint), " 25.0000%");
  EXPECT_EQ(FormatPercent(55.357142857, kPoint), " 55.3571%");
  EXPECT_EQ(FormatPercent(100, kPoint), "100.0000%");
  EXPECT_EQ(FormatPercent(25, kComma), " 25,0000%");
  EXPECT_EQ(FormatPercent(99.99996, kPoint), "100.0000%");
}

TEST(FormatPercent, RoundsHalvesAwayFromZeroFromTheExactValue) {
  EXPECT_EQ(FormatPercent(0.03125, kPoint), "  0.0313%");   // an exact half
  EXPECT_EQ(FormatPercent(0.00005, kPoint), "  0.0001%");   // stored a hair above the half
  EXPECT_EQ(FormatPercent(1.00005, kPoint), "  1.0001%");   // a hair above
  EXPECT_EQ(FormatPercent(12.34565, kPoint), " 12.3456%");  // a hair below
  // Stored a hair below the half, although value * 10000 rounds to exactly 3.5 in double.
  EXPECT_EQ(FormatPercent(0.00035, kPoint), "  0.0003%");
  EXPECT_EQ(FormatPercent(0.00085, kPoint), "  0.0008%");
  EXPECT_EQ(FormatPercent(2.5e-5, kPoint), "  0.0000%");
  EXPECT_EQ(FormatPercent(-0.03125, kPoint), " -0.0313%");  // symmetric
}

TEST(FormatPercent, CountsCharactersNotBytes) {
  const std::string text = FormatPercent(5.5, NumberFormat{".", "\u066b"});  // Arabic separator
  EXPECT_EQ(text, "  5\u066b5000%");
  EXPECT_EQ(Utf8Length(text), 9u);
}

TEST(FormatPercent, WiderValuesAreNeverCut) {
  EXPECT_EQ(FormatPercent(1234.5, kPoint), "1234.5000%");
  EXPECT_EQ(FormatPercent(1e300, kPoint).back(), '%');
}

CoverageStats WorkedTriples() {
  CoverageStats stats;
  stats.subsetCount = 56;
  stats.bestLevelCount = {1, 24, 28, 3, 0, 0, 0};
  stats.matchCountTable[3][1] = 3;
  stats.matchCountTable[2][1] = 17;
  stats.matchCountTable[2][2] = 9;
  stats.matchCountTable[2][3] = 2;
  stats.matchCountTable[1][1] = 6;
  stats.matchCountTable[1][2] = 9;
  stats.matchCountTable[1][3] = 9;
  stats.matchCountTable[0][3] = 1;
  return stats;
}

TEST(BuildCoverageReport, WorkedTriplesFilterTwo) {
  EXPECT_EQ(BuildCoverageReport(3, WorkedTriples(), 2, kPoint),
            "Hits 03 - Integral: 56\r\n"
            "p. 3 - min.  1 | max.  1 ...   5.3571%\r\n"
            "p. 2 - min.  1 | max.  3 ...  50.0000%\r\n"
            "------------------- Covered:  55.3571%\r\n");
  EXPECT_EQ(BuildCoverageReport(3, WorkedTriples(), 2, kComma),
            "Hits 03 - Integral: 56\r\n"
            "p. 3 - min.  1 | max.  1 ...   5,3571%\r\n"
            "p. 2 - min.  1 | max.  3 ...  50,0000%\r\n"
            "------------------- Covered:  55,3571%\r\n");
}

TEST(BuildCoverageReport, HigherFilterDropsLowerLevels) {
  EXPECT_EQ(BuildCoverageReport(3, WorkedTriples(), 3, kPoint),
            "Hits 03 - Integral: 56\r\n"
            "p. 3 - min.  1 | max.  1 ...   5.3571%\r\n"
            "------------------- Covered:   5.3571%\r\n");
}

TEST(BuildCoverageReport, WholeRoadForPairs) {
  WheelState state;
  ASSERT_TRUE(GenerateWheel(state, {"1", "2", "3"}, "8", "3").succeeded);
  const CoverageStats stats = AnalyseCoverage(*state.wheel, 3, 3, 8, 2, {});
  EXPECT_EQ(BuildCoverageReport(2, stats, 2, kPoint),
            "Hits 02 - Integral: 28\r\n"
            "p. 2 - min.  1 | max.  2 ...  25.0000%\r\n"
            "------------------- Covered:  25.0000%\r\n");
  for (int16_t filter = 3; filter <= 6; ++filter) {
    EXPECT_EQ(BuildCoverageReport(2, stats, filter, kPoint),
              "Hits 02 - Integral: 28\r\n"
              "------------------- Covered:   0.0000%\r\n");
  }
}

TEST(BuildCoverageReport, FullPoolHeaderAndCappedMaximum) {
  CoverageStats stats;
  stats.subsetCount = 13983816;
  stats.bestLevelCount[2] = 13983816;
  stats.matchCountTable[2][7] = 13983815;
  stats.matchCountTable[2][60] = 1;
  EXPECT_EQ(BuildCoverageReport(6, stats, 2, kPoint),
            "Hits 06 - Integral: 13,983,816\r\n"
            "p. 2 - min.  7 | max. 60 ... 100.0000%\r\n"
            "------------------- Covered: 100.0000%\r\n");
}

TEST(BuildCoverageReport, CoveredShareIsHeldInSinglePrecision) {
  // 1/3 of the subsets at level 2: the float nearest 33.3333.. prints the same four decimals,
  // while 2/3 as a float (66.66666412..) still rounds to 66.6667.
  CoverageStats stats;
  stats.subsetCount = 3;
  stats.bestLevelCount = {1, 0, 2, 0, 0, 0, 0};
  stats.matchCountTable[0][1] = 1;
  stats.matchCountTable[2][1] = 2;
  EXPECT_EQ(BuildCoverageReport(2, stats, 2, kPoint),
            "Hits 02 - Integral: 3\r\n"
            "p. 2 - min.  1 | max.  1 ...  66.6667%\r\n"
            "------------------- Covered:  66.6667%\r\n");
  // 23 of 31: the level's share in double rounds to 74.1935, the same share held as a float
  // (74.19355010..) to 74.1936.
  stats.subsetCount = 31;
  stats.bestLevelCount = {8, 0, 23, 0, 0, 0, 0};
  stats.matchCountTable[0][1] = 8;
  stats.matchCountTable[2][1] = 23;
  EXPECT_EQ(BuildCoverageReport(2, stats, 2, kPoint),
            "Hits 02 - Integral: 31\r\n"
            "p. 2 - min.  1 | max.  1 ...  74.1935%\r\n"
            "------------------- Covered:  74.1936%\r\n");
}

TEST(BuildCoverageReport, EmptyWhenNothingWasExamined) {
  EXPECT_EQ(BuildCoverageReport(6, CoverageStats{}, 2, kPoint), "");
}

}  // namespace
}  // namespace quirmel
