// The key developed into a wheel: listings, refusals in their order, and the state they leave.

#include <gtest/gtest.h>

#include "window/form/form.h"

namespace quirmel {
namespace {

using Keys = std::array<std::string, 6>;

struct Development {
  Keys keys;
  std::string pool, combinations;
  std::string listing;  // lines joined by '|' (each ends with CR LF in the real listing)
  int16_t keyCount;
};

class GenerateWheelListing : public ::testing::TestWithParam<Development> {};

TEST_P(GenerateWheelListing, DevelopsTheKeyCyclically) {
  const Development& d = GetParam();
  WheelState state;
  const GenerationResult result = GenerateWheel(state, d.keys, d.pool, d.combinations);
  ASSERT_TRUE(result.succeeded) << result.message;
  std::string listing = d.listing + "|";
  for (std::size_t at; (at = listing.find('|')) != std::string::npos;)
    listing.replace(at, 1, "\r\n");
  EXPECT_EQ(result.listing, listing);
  EXPECT_TRUE(result.clearsListing);
  EXPECT_EQ(state.keyCount, d.keyCount);
  EXPECT_EQ(state.wheel->positions(), d.keyCount);
  EXPECT_EQ(state.wheel->rows(), state.combinationCount);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, GenerateWheelListing, ::testing::Values(
    Development{{"38", "3", "", "20"},           "40", "4",  "03 20 38|04 21 39|05 22 40|01 06 23", 3},   // empty boxes, wrap
    Development{{"47", "10", "25"},              "60", "4",  "10 25 47|11 26 48|12 27 49|13 28", 3},      // 50 leaves the listing
    Development{{"48", "49", "47"},              "60", "4",  "47 48 49|48 49|49|", 3},
    Development{{"45", "7", "7"},                "10", "4",  "07 07 45|08 08 36|09 09 27|10 10 18", 3},   // above the pool
    Development{{"5", "7", "9"},                 "9",  "9",  "05 07 09|01 06 08|02 07 09|01 03 08|02 04 09|01 03 05|02 04 06|03 05 07|04 06 08", 3},
    Development{{"1", "2", "3", "4", "5", "6"},  "6",  "2",  "01 02 03 04 05 06|01 02 03 04 05 06", 6},
    Development{{"7", "", "3", "", "25", ""},    "49", "1",  "03 07 25", 3},
    Development{{"01", "02", "09"},              "09", "02", "01 02 09|01 02 03", 3},
    Development{{"5", "12", "27", "40"},         "49", "12", "05 12 27 40|06 13 28 41|07 14 29 42|08 15 30 43|09 16 31 44|10 17 32 45|11 18 33 46|12 19 34 47|13 20 35 48|14 21 36 49|01 15 22 37|02 16 23 38", 4}));
// clang-format on

TEST(GenerateWheel, NumbersFromFiftyStayInTheWheel) {
  WheelState state;
  ASSERT_TRUE(GenerateWheel(state, Keys{"47", "10", "25"}, "60", "4").succeeded);
  EXPECT_EQ(state.wheel->at(4, 3), 50);
  // The listing leaves it out; the wheel a file gets keeps it.
  EXPECT_EQ(DevelopedListing(*state.wheel, "\n"), "10 25 47\n11 26 48\n12 27 49\n13 28\n");
  EXPECT_EQ(RowsOf(*state.wheel, 4, 3).row(3).back(), 50);
  EXPECT_EQ(RowsOf(*state.wheel, 2, 2).LongestRow(), 2u);
}

// One refusal per row: its message, focus, listing flag and the fields written before it.
struct Refusal {
  Keys keys;
  std::string pool, combinations;
  const char* message;
  FocusTarget focus;
  bool clearsListing;
  int16_t keyCount, poolSize, combinationCount;  // state after the call, from 7 / 8 / 9
};

class GenerateWheelRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(GenerateWheelRefusal, StopsAtFirstFailingCheckWithoutRollback) {
  const Refusal& r = GetParam();
  WheelState state{.poolSize = 8, .keyCount = 7, .wheel = Wheel(2, 2), .combinationCount = 9};
  state.wheel->at(1, 1) = 42;
  const Wheel before = *state.wheel;
  const GenerationResult result = GenerateWheel(state, r.keys, r.pool, r.combinations);
  EXPECT_FALSE(result.succeeded);
  EXPECT_EQ(result.message, r.message);
  EXPECT_EQ(result.focusTarget, r.focus);
  EXPECT_EQ(result.clearsListing, r.clearsListing);
  EXPECT_EQ(result.listing, "");
  EXPECT_EQ(state.keyCount, r.keyCount);
  EXPECT_EQ(state.poolSize, r.poolSize);
  EXPECT_EQ(state.combinationCount, r.combinationCount);
  EXPECT_EQ(state.wheel, before) << "a refusal replaced the wheel";
}

constexpr auto kNone = FocusTarget::None;
constexpr auto kKey1 = FocusTarget::KeyBox1;
constexpr auto kPool = FocusTarget::PoolSizeBox;
constexpr auto kCount = FocusTarget::CombinationsBox;

// clang-format off
INSTANTIATE_TEST_SUITE_P(InOrder, GenerateWheelRefusal, ::testing::Values(
    //      keys                     pool   count  message             focus   clears keys pool count
    Refusal{{"0", "5", "6", "7"},    "49",  "10",  kMsgAllowedNumbers, kNone,  false, 0,   8,   9},
    Refusal{{"00"},                  "",    "",    kMsgAllowedNumbers, kNone,  false, 0,   8,   9},
    Refusal{{"3", "", "50", "5"},    "49",  "10",  kMsgAllowedNumbers, kNone,  false, 1,   8,   9},
    Refusal{{"60", "5"},             "49",  "10",  kMsgAllowedNumbers, kNone,  false, 0,   8,   9},
    Refusal{{"1", "2", "x"},         "49",  "10",  kMsgAllowedNumbers, kNone,  false, 2,   8,   9},
    Refusal{{"-5", "2", "3"},        "49",  "10",  kMsgAllowedNumbers, kNone,  false, 0,   8,   9},
    Refusal{{"1", "2", "3", "100"},  "49",  "10",  kMsgAllowedNumbers, kNone,  false, 3,   8,   9},
    Refusal{{"1", "", "2"},          "49",  "10",  kMsgAtLeastThree,   kKey1,  true,  2,   8,   9},
    Refusal{{},                      "",    "",    kMsgAtLeastThree,   kKey1,  true,  0,   8,   9},
    Refusal{{"1", "2", "3"},         "",    "",    kMsgPoolSize,       kPool,  true,  3,   8,   9},
    Refusal{{"1", "2", "3"},         " 9",  "5",   kMsgPoolSize,       kPool,  true,  3,   8,   9},
    Refusal{{"1", "2", "3"},         "30",  "",    kMsgCombinations,   kCount, true,  3,   30,  9},
    Refusal{{"1", "2", "3"},         "30",  "+5",  kMsgCombinations,   kCount, true,  3,   30,  9},
    Refusal{{"1", "2", "3"},         "30",  "0",   kMsgCombinations,   kCount, true,  3,   30,  0},
    Refusal{{"1", "2", "3"},         "0",   "00",  kMsgCombinations,   kCount, true,  3,   0,   0},
    Refusal{{"1", "2", "3", "4"},    "20",  "21",  kMsgExceedsPool,    kCount, true,  4,   20,  21},
    Refusal{{"1", "2", "3"},         "00",  "1",   kMsgExceedsPool,    kCount, true,  3,   0,   1}));
// clang-format on

TEST(ReadBoxValue, AcceptsOneOrTwoDigitsOnly) {
  EXPECT_EQ(ReadBoxValue("7"), 7);
  EXPECT_EQ(ReadBoxValue("07"), 7);
  EXPECT_EQ(ReadBoxValue("00"), 0);
  EXPECT_EQ(ReadBoxValue("99"), 99);
  for (const char* bad : {"", " ", "7 ", "-1", "+1", "1.", "100", "a", "\xd9\xa3"})
    EXPECT_FALSE(ReadBoxValue(bad).has_value()) << '"' << bad << '"';
}

TEST(Wheel, ChecksEveryAccess) {
  Wheel wheel(2, 3);
  wheel.at(2, 3) = 9;
  EXPECT_EQ(std::as_const(wheel).at(2, 3), 9);
  for (const auto& [row, position] : {std::pair{0, 1}, {3, 1}, {1, 4}})
    EXPECT_THROW(wheel.at(static_cast<int16_t>(row), static_cast<int16_t>(position)),
                 std::out_of_range);
  EXPECT_THROW(Wheel(-1, 3), std::invalid_argument);
}

}  // namespace
}  // namespace quirmel
