#pragma once

#include <array>
#include <optional>
#include <string>

#include "window/form/variabili.h"

namespace quirmel {

// The input that takes the focus after a refusal.
enum class FocusTarget { None, KeyBox1, PoolSizeBox, CombinationsBox };

struct GenerationResult {
  bool succeeded = false;
  std::string message;  // empty on success
  FocusTarget focusTarget = FocusTarget::None;
  bool clearsListing = false;
  std::string listing;  // CR LF after every line; empty on failure
};

// The input messages, exactly as the user sees them.
inline constexpr const char* kMsgAllowedNumbers = "Allowed numbers 1 ... 49 ..!";
inline constexpr const char* kMsgAtLeastThree = "Please enter at least 3 numbers..!";
inline constexpr const char* kMsgPoolSize = "Specify quantity numbers..!";
inline constexpr const char* kMsgCombinations = "Specify quantity of combinations..!";
inline constexpr const char* kMsgExceedsPool = "Don't exceed the numerical mass..!";

// Reads a box's text as the input boxes admit it: one or two decimal digits. Anything else
// (empty, signs, blanks, letters, three digits) has no value.
std::optional<int16_t> ReadBoxValue(const std::string& text);

// Checks the key, pool size and quantity in order, stops at the first problem, or develops the
// key cyclically over 1..N into a wheel of C sorted rows and returns its listing. Fields written
// before a failing check keep their values; only a success replaces the wheel.
GenerationResult GenerateWheel(WheelState& state, const std::array<std::string, 6>& keyTexts,
                               const std::string& poolSizeText,
                               const std::string& combinationsText);

}  // namespace quirmel
