#pragma once

// Wheel files: one combination per non-empty line, its numbers separated by any run of blanks,
// tabs, commas, semicolons or hyphens. A UTF-8 byte-order mark, CR LF line ends, a trailing
// separator and comment lines starting with '#' are accepted.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/any_wheel.h"
#include "engine/core/text_error.h"

namespace quirmel {

struct WheelReadOptions {
  bool zeroBased = false;      // the file numbers from 0: every number is read one higher
  int pool = kMaxWheelNumber;  // numbers above it are refused
  std::vector<int> only;       // when not empty: the only numbers allowed, ascending
};

// The wheel, or (with an empty wheel) the first fault: a token that is not a whole decimal
// number, a number outside 1..99 (or above the pool, or not among the only numbers allowed), a
// number repeated within a row, a row of more than 20 numbers, more than 1,000,000 rows, no rows at
// all.
struct WheelReadResult {
  AnyWheel wheel;
  std::vector<int64_t> lines;  // the line each row stands on
  std::optional<TextError> error;
};

WheelReadResult ReadWheel(std::string_view text, const WheelReadOptions& options = {});

// One row per line, numbers as two digits separated by one blank, lines ending in LF; reads
// back equal.
std::string WriteWheel(const AnyWheel& wheel);

// Why the wheel, written as a wheel file, would not read back under `options` (a developed row
// may repeat a number, as the key 11 1 5 over 10 gives 02 02 06); nothing when it would. What is
// saved must open again.
std::optional<TextError> WheelFileRefusal(const AnyWheel& wheel, const WheelReadOptions& options);

}  // namespace quirmel
