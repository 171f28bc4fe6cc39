#include <gtest/gtest.h>

#include <sstream>

#include "engine/engine.h"

namespace quirmel {
namespace {

using Keys = std::array<std::string, 6>;

std::vector<std::string> Lines(const std::string& listing) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = listing.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(listing.substr(start, end - start));
  }
  EXPECT_EQ(start, listing.size()) << "text after the last CR LF";
  return lines;
}

std::vector<std::vector<int>> Rows(const Wheel& wheel) {
  std::vector<std::vector<int>> rows;
  for (int16_t r = 1; r <= wheel.rows(); ++r) {
    rows.emplace_back();
    for (int16_t p = 1; p <= wheel.positions(); ++p)
      rows.back().push_back(wheel.at(r, p));
  }
  return rows;
}

TEST(GenerateWheel, WorkedExampleWithEmptyBoxesAndWrapAround) {
  WheelState state;
  const auto result = GenerateWheel(state, Keys{"38", "3", "", "20", "", ""}, "40", "4");
  ASSERT_TRUE(result.succeeded);
  EXPECT_TRUE(result.clearsListing);
  EXPECT_EQ(result.message, "");
  EXPECT_EQ(result.listing, "03 20 38\r\n04 21 39\r\n05 22 40\r\n01 06 23\r\n");
  EXPECT_EQ(state.keyCount, 3);
  EXPECT_EQ(state.poolSize, 40);
  EXPECT_EQ(state.combinationCount, 4);
}

TEST(GenerateWheel, NumbersFromFiftyStayInTheWheelButLeaveTheListing) {
  WheelState state;
  auto result = GenerateWheel(state, Keys{"47", "10", "25"}, "60", "4");
  ASSERT_TRUE(result.succeeded);
  EXPECT_EQ(Lines(result.listing),
            (std::vector<std::string>{"10 25 47", "11 26 48", "12 27 49", "13 28"}));
  EXPECT_EQ(Rows(*state.wheel)[3], (std::vector<int>{13, 28, 50}));

  result = GenerateWheel(state, Keys{"48", "49", "47"}, "60", "4");
  ASSERT_TRUE(result.succeeded);
  EXPECT_EQ(result.listing, "47 48 49\r\n48 49\r\n49\r\n\r\n");
}

TEST(GenerateWheel, KeyAbovePoolComesDownAndDuplicatesStay) {
  WheelState state;
  const auto result = GenerateWheel(state, Keys{"45", "7", "7"}, "10", "4");
  ASSERT_TRUE(result.succeeded);
  EXPECT_EQ(Rows(*state.wheel),
            (std::vector<std::vector<int>>{{7, 7, 45}, {8, 8, 36}, {9, 9, 27}, {10, 10, 18}}));
  EXPECT_EQ(result.listing, "07 07 45\r\n08 08 36\r\n09 09 27\r\n10 10 18\r\n");
}

TEST(GenerateWheel, NineRowsOverNine) {
  WheelState state;
  const auto result = GenerateWheel(state, Keys{"5", "7", "9"}, "9", "9");
  ASSERT_TRUE(result.succeeded);
  EXPECT_EQ(Lines(result.listing),
            (std::vector<std::string>{"05 07 09", "01 06 08", "02 07 09", "01 03 08", "02 04 09",
                                      "01 03 05", "02 04 06", "03 05 07", "04 06 08"}));
}

TEST(GenerateWheel, FullPoolKeyRepeatsItself) {
  WheelState state;
  const auto result = GenerateWheel(state, Keys{"1", "2", "3", "4", "5", "6"}, "6", "6");
  ASSERT_TRUE(result.succeeded);
  for (const std::string& line : Lines(result.listing))
    EXPECT_EQ(line, "01 02 03 04 05 06");
  EXPECT_EQ(state.wheel->rows(), 6);
}

TEST(GenerateWheel, KeyFillsPositionsInBoxOrderWithoutGaps) {
  WheelState state;
  const auto result = GenerateWheel(state, Keys{"7", "", "3", "", "25", ""}, "49", "1");
  ASSERT_TRUE(result.succeeded);
  EXPECT_EQ(result.listing, "03 07 25\r\n");
  EXPECT_EQ(state.keyCount, 3);
}

TEST(GenerateWheel, OverviewExampleSizesAndRowEleven) {
  WheelState state;
  const auto result = GenerateWheel(state, Keys{"5", "12", "27", "40"}, "49", "20");
  ASSERT_TRUE(result.succeeded);
  const auto lines = Lines(result.listing);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[0], "05 12 27 40");
  EXPECT_EQ(lines[1], "06 13 28 41");
  EXPECT_EQ(lines[10], "01 15 22 37");
  EXPECT_EQ(state.wheel->rows(), 20);
  EXPECT_EQ(state.wheel->positions(), 4);
}

TEST(GenerateWheel, LeadingZerosAreRead) {
  WheelState state;
  const auto result = GenerateWheel(state, Keys{"01", "02", "09"}, "09", "02");
  ASSERT_TRUE(result.succeeded);
  EXPECT_EQ(result.listing, "01 02 09\r\n01 02 03\r\n");
}

// One refusal per row: its message, focus, listing flag and the fields written before it.
struct Refusal {
  const char* name;
  Keys keys;
  std::string pool;
  std::string combinations;
  std::string message;
  FocusTarget focus;
  bool clearsListing;
  int16_t keyCount, poolSize, combinationCount;  // state after the call, from 7 / 8 / 9

  friend void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }
};

class GenerateWheelRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(GenerateWheelRefusal, StopsAtFirstFailingCheckWithoutRollback) {
  const Refusal& r = GetParam();
  WheelState state;
  state.keyCount = 7;
  state.poolSize = 8;
  state.combinationCount = 9;
  state.wheel = Wheel(2, 2);
  state.wheel->at(1, 1) = 42;
  const Wheel before = *state.wheel;

  const auto result = GenerateWheel(state, r.keys, r.pool, r.combinations);

  EXPECT_FALSE(result.succeeded);
  EXPECT_EQ(result.message, r.message);
  EXPECT_EQ(result.focusTarget, r.focus);
  EXPECT_EQ(result.clearsListing, r.clearsListing);
  EXPECT_EQ(result.listing, "");
  EXPECT_EQ(state.keyCount, r.keyCount);
  EXPECT_EQ(state.poolSize, r.poolSize);
  EXPECT_EQ(state.combinationCount, r.combinationCount);
  ASSERT_TRUE(state.wheel.has_value());
  EXPECT_EQ(*state.wheel, before) << "a refusal replaced the wheel";
}

const char* const kAllowed = kMsgAllowedNumbers;
INSTANTIATE_TEST_SUITE_P(
    InOrder, GenerateWheelRefusal,
    ::testing::Values(
        Refusal{"ZeroKey",
                {"0", "5", "6", "7"},
                "49",
                "10",
                kAllowed,
                FocusTarget::None,
                false,
                0,
                8,
                9},
        Refusal{"DoubleZeroKey", {"00"}, "", "", kAllowed, FocusTarget::None, false, 0, 8, 9},
        Refusal{"FiftyLater",
                {"3", "", "50", "5"},
                "49",
                "10",
                kAllowed,
                FocusTarget::None,
                false,
                1,
                8,
                9},
        Refusal{"SixtyFirst", {"60", "5"}, "49", "10", kAllowed, FocusTarget::None, false, 0, 8, 9},
        Refusal{"PastedLetters",
                {"1", "2", "x"},
                "49",
                "10",
                kAllowed,
                FocusTarget::None,
                false,
                2,
                8,
                9},
        Refusal{"PastedSign",
                {"-5", "2", "3"},
                "49",
                "10",
                kAllowed,
                FocusTarget::None,
                false,
                0,
                8,
                9},
        Refusal{"ThreeDigits",
                {"1", "2", "3", "100"},
                "49",
                "10",
                kAllowed,
                FocusTarget::None,
                false,
                3,
                8,
                9},
        Refusal{"TwoKeys",
                {"1", "", "2"},
                "49",
                "10",
                kMsgAtLeastThree,
                FocusTarget::KeyBox1,
                true,
                2,
                8,
                9},
        Refusal{"NoKeys", {}, "", "", kMsgAtLeastThree, FocusTarget::KeyBox1, true, 0, 8, 9},
        Refusal{"NoPoolNoCount",
                {"1", "2", "3"},
                "",
                "",
                kMsgPoolSize,
                FocusTarget::PoolSizeBox,
                true,
                3,
                8,
                9},
        Refusal{"PoolBlank",
                {"1", "2", "3"},
                " 9",
                "5",
                kMsgPoolSize,
                FocusTarget::PoolSizeBox,
                true,
                3,
                8,
                9},
        Refusal{"NoCount",
                {"1", "2", "3"},
                "30",
                "",
                kMsgCombinations,
                FocusTarget::CombinationsBox,
                true,
                3,
                30,
                9},
        Refusal{"CountSign",
                {"1", "2", "3"},
                "30",
                "+5",
                kMsgCombinations,
                FocusTarget::CombinationsBox,
                true,
                3,
                30,
                9},
        Refusal{"ZeroCount",
                {"1", "2", "3"},
                "30",
                "0",
                kMsgCombinations,
                FocusTarget::CombinationsBox,
                true,
                3,
                30,
                0},
        Refusal{"DoubleZeroCount",
                {"1", "2", "3"},
                "0",
                "00",
                kMsgCombinations,
                FocusTarget::CombinationsBox,
                true,
                3,
                0,
                0},
        Refusal{"ExceedsPool",
                {"1", "2", "3", "4"},
                "20",
                "21",
                kMsgExceedsPool,
                FocusTarget::CombinationsBox,
                true,
                4,
                20,
                21},
        Refusal{"ZeroPool",
                {"1", "2", "3"},
                "00",
                "1",
                kMsgExceedsPool,
                FocusTarget::CombinationsBox,
                true,
                3,
                0,
                1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GenerateWheel, CountEqualToPoolPassesAndOneMoreKeepsPreviousWheel) {
  WheelState state;
  ASSERT_TRUE(GenerateWheel(state, Keys{"1", "2", "3", "4"}, "20", "10").succeeded);
  EXPECT_EQ(state.wheel->rows(), 10);
  EXPECT_EQ(state.wheel->positions(), 4);
  const Wheel previous = *state.wheel;

  ASSERT_TRUE(GenerateWheel(state, Keys{"1", "2", "3", "4", "5"}, "12", "12").succeeded);
  EXPECT_EQ(state.wheel->rows(), 12);
  const Wheel twelve = *state.wheel;

  const auto refused = GenerateWheel(state, Keys{"9", "8", "7"}, "15", "16");
  EXPECT_EQ(refused.message, kMsgExceedsPool);
  EXPECT_EQ(state.poolSize, 15);
  EXPECT_EQ(state.combinationCount, 16);
  EXPECT_EQ(state.keyCount, 3);
  EXPECT_EQ(*state.wheel, twelve);
  EXPECT_NE(*state.wheel, previous);
}

TEST(ReadBoxValue, AcceptsOneOrTwoDigitsOnly) {
  EXPECT_EQ(ReadBoxValue("7"), 7);
  EXPECT_EQ(ReadBoxValue("07"), 7);
  EXPECT_EQ(ReadBoxValue("00"), 0);
  EXPECT_EQ(ReadBoxValue("99"), 99);
  for (const char* bad : {"", " ", "7 ", "-1", "+1", "1.", "100", "a", "\xd9\xa3"}) {
    EXPECT_FALSE(ReadBoxValue(bad).has_value()) << '"' << bad << '"';
  }
}

TEST(Wheel, ChecksEveryAccess) {
  Wheel wheel(2, 3);
  EXPECT_EQ(wheel.at(2, 3), 0);
  wheel.at(2, 3) = 9;
  EXPECT_EQ(std::as_const(wheel).at(2, 3), 9);
  EXPECT_THROW(wheel.at(0, 1), std::out_of_range);
  EXPECT_THROW(wheel.at(3, 1), std::out_of_range);
  EXPECT_THROW(wheel.at(1, 4), std::out_of_range);
  EXPECT_THROW(Wheel(-1, 3), std::invalid_argument);
  EXPECT_EQ(Wheel(0, 0).rows(), 0);
}

}  // namespace
}  // namespace quirmel
