#include <gtest/gtest.h>

#include "engine/engine.h"

namespace quirmel {
namespace {

const NumberFormat kPoint{",", "."};
const NumberFormat kComma{".", ","};

TEST(FormatCount, GroupsByThreeFromTheRight) {
  const NumberFormat thin{"\u202f", ","};
  const NumberFormat none{"", "."};
  // clang-format off
  for (const auto& [value, format, text] : std::vector<std::tuple<int32_t, NumberFormat, std::string>>{
           {0, kPoint, "0"}, {999, kPoint, "999"}, {1176, kPoint, "1,176"}, {100000, kPoint, "100,000"},
           {13983816, kPoint, "13,983,816"}, {13983816, kComma, "13.983.816"},
           {1120529256, thin, "1\u202f120\u202f529\u202f256"}, {1234, none, "1234"},
           {-1234, kPoint, "-1,234"}, {INT32_MIN, kPoint, "-2,147,483,648"}})
    EXPECT_EQ(FormatCount(value, format), text);
  // clang-format on
}

// Four decimals, rounded half away from zero from the exact binary value, right-aligned to nine
// characters (not bytes), never cut.
TEST(FormatPercent, RoundsTheExactValueAndAligns) {
  const NumberFormat arabic{".", "\u066b"};
  // clang-format off
  for (const auto& [value, format, text] : std::vector<std::tuple<double, NumberFormat, std::string>>{
           {0, kPoint, "  0.0000%"}, {5.357142857, kPoint, "  5.3571%"}, {100, kPoint, "100.0000%"},
           {25, kComma, " 25,0000%"}, {99.99996, kPoint, "100.0000%"},
           {0.03125, kPoint, "  0.0313%"},   // an exact half
           {0.00005, kPoint, "  0.0001%"},   // stored a hair above the half
           {12.34565, kPoint, " 12.3456%"},  // a hair below
           {0.00035, kPoint, "  0.0003%"},   // a hair below, though value * 10000 is 3.5 in double
           {2.5e-5, kPoint, "  0.0000%"}, {-0.03125, kPoint, " -0.0313%"},
           {5.5, arabic, "  5\u066b5000%"}, {1234.5, kPoint, "1234.5000%"}})
    EXPECT_EQ(FormatPercent(value, format), text) << value;
  // clang-format on
  EXPECT_EQ(FormatPercent(1e300, kPoint).back(), '%');
}

// Statistics from (best level, match count, subsets) cells.
CoverageStats Stats(const std::vector<std::array<int32_t, 3>>& cells) {
  CoverageStats stats;
  for (const auto& [level, matches, subsets] : cells) {
    stats.matchCountTable[level][matches] += subsets;
    stats.bestLevelCount[level] += subsets;
    stats.subsetCount += subsets;
  }
  return stats;
}

struct ReportCase {
  int16_t size;
  std::vector<std::array<int32_t, 3>> cells;
  int16_t filter;
  NumberFormat format;
  std::string lines;  // joined by LF, each ending with CR LF in the report
};

class BuildCoverageReportCase : public ::testing::TestWithParam<ReportCase> {};

TEST_P(BuildCoverageReportCase, WritesTheLevelsFromTheFilterUp) {
  const ReportCase& c = GetParam();
  std::string expected;
  for (const char ch : c.lines + "\n")
    expected += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  EXPECT_EQ(BuildCoverageReport(c.size, Stats(c.cells), c.filter, c.format), expected);
}

const std::vector<std::array<int32_t, 3>> kTriples = {  // the worked wheel's 56 triples
    {3, 1, 3}, {2, 1, 17}, {2, 2, 9}, {2, 3, 2}, {1, 1, 6}, {1, 2, 9}, {1, 3, 9}, {0, 3, 1}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reports, BuildCoverageReportCase, ::testing::Values(
    ReportCase{3, kTriples, 2, kPoint, "Hits 03 - Integral: 56\np. 3 - min.  1 | max.  1 ...   5.3571%\np. 2 - min.  1 | max.  3 ...  50.0000%\n------------------- Covered:  55.3571%"},
    ReportCase{3, kTriples, 2, kComma, "Hits 03 - Integral: 56\np. 3 - min.  1 | max.  1 ...   5,3571%\np. 2 - min.  1 | max.  3 ...  50,0000%\n------------------- Covered:  55,3571%"},
    ReportCase{3, kTriples, 3, kPoint, "Hits 03 - Integral: 56\np. 3 - min.  1 | max.  1 ...   5.3571%\n------------------- Covered:   5.3571%"},
    ReportCase{2, {{2, 1, 5}, {2, 2, 2}, {1, 1, 21}}, 2, kPoint, "Hits 02 - Integral: 28\np. 2 - min.  1 | max.  2 ...  25.0000%\n------------------- Covered:  25.0000%"},
    ReportCase{2, {{2, 1, 5}, {2, 2, 2}, {1, 1, 21}}, 3, kPoint, "Hits 02 - Integral: 28\n------------------- Covered:   0.0000%"},
    ReportCase{6, {{2, 7, 13983815}, {2, 60, 1}}, 2, kPoint, "Hits 06 - Integral: 13,983,816\np. 2 - min.  7 | max. 60 ... 100.0000%\n------------------- Covered: 100.0000%"},
    // The covered share is held in single precision: 2/3 still rounds to 66.6667, while 23/31
    // gives 74.1935 for the level (double) and 74.1936 covered (float).
    ReportCase{2, {{0, 1, 1}, {2, 1, 2}}, 2, kPoint, "Hits 02 - Integral: 3\np. 2 - min.  1 | max.  1 ...  66.6667%\n------------------- Covered:  66.6667%"},
    ReportCase{2, {{0, 1, 8}, {2, 1, 23}}, 2, kPoint, "Hits 02 - Integral: 31\np. 2 - min.  1 | max.  1 ...  74.1935%\n------------------- Covered:  74.1936%"}));
// clang-format on

TEST(BuildCoverageReport, EmptyWhenNothingWasExamined) {
  EXPECT_EQ(BuildCoverageReport(6, CoverageStats{}, 2, kPoint), "");
}

TEST(AmountText, TwoDecimalsRoundedWithDigitsGrouped) {
  // clang-format off
  for (const auto& [amount, text] : std::vector<std::pair<double, std::string>>{
           {0, "0.00"}, {2.5, "2.50"}, {0.005, "0.01"}, {0.07, "0.07"}, {1234567.891, "1,234,567.89"},
           {-0.25, "-0.25"}, {-1234.5, "-1,234.50"}, {kMaxTicketPrice * 5000 * 5e6, "250,000,000,000,000.00"}})
    EXPECT_EQ(AmountText(amount), text) << amount;
  // clang-format on
  EXPECT_EQ(StakeText(163, 2), "163 tickets x 2.00 = 326.00");
  EXPECT_EQ(StakeText(1, 0.1), "1 ticket x 0.10 = 0.10");
}

}  // namespace
}  // namespace quirmel
