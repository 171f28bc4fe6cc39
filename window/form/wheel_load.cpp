#include "window/form/wheel_load.h"

#include <algorithm>

#include "engine/files/wheel_file.h"

namespace quirmel {

WheelLoadResult LoadWheel(std::string_view text) {
  const WheelReadResult read = ReadWheel(text);
  if (read.error) return {std::nullopt, read.error};
  return LoadWheel(read.wheel, read.lines);
}

WheelLoadResult LoadWheel(const AnyWheel& any, const std::vector<int64_t>& lines) {
  const auto lineOf = [&lines](std::size_t r) {
    return r < lines.size() ? lines[r] : static_cast<int64_t>(r + 1);
  };
  for (std::size_t r = 0; r < any.rowCount(); ++r) {
    if (r == kWindowRows) {
      return {std::nullopt,
              TextError{lineOf(r), 0,
                        "the window takes at most " + GroupedText(kWindowRows) + " rows"}};
    }
    if (any.row(r).size() > kWindowRowLength) {
      return {std::nullopt, TextError{lineOf(r), 0, "the window takes rows of at most 6 numbers"}};
    }
  }
  const auto rows = static_cast<int16_t>(any.rowCount());
  const auto positions = static_cast<int16_t>(any.LongestRow());
  LoadedWheel loaded{Wheel(rows, positions), rows, positions,
                     static_cast<int16_t>(any.LargestNumber()), WriteWheel(any)};
  // The counters are wider than the wheel's 16-bit indexes, which end at the row limit itself.
  for (int r = 1; r <= rows; ++r) {
    int position = 1;
    for (const uint8_t number : any.row(static_cast<std::size_t>(r - 1)))
      loaded.wheel.at(static_cast<int16_t>(r), static_cast<int16_t>(position++)) = number;
  }
  return {std::move(loaded), std::nullopt};
}

void UseWheel(WheelState& state, const LoadedWheel& loaded) {
  state.wheel = loaded.wheel;
  state.combinationCount = loaded.combinationCount;
  state.keyCount = loaded.keyCount;
}

AnyWheel StateWheel(const WheelState& state) {
  if (!state.wheel || state.combinationCount < 1) return {};
  return RowsOf(*state.wheel, std::min(state.combinationCount, state.wheel->rows()),
                std::min(state.keyCount, state.wheel->positions()));
}

}  // namespace quirmel
