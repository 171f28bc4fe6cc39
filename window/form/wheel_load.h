#pragma once

// A wheel file opened in the window: it becomes the state's wheel, analysed like a developed one.
// The window's wheel holds rows of 1 to 6 numbers and at most 32,767 rows; shorter rows are
// padded with 0, a number that belongs to no subset.

#include <optional>
#include <string_view>
#include <vector>

#include "engine/core/any_wheel.h"
#include "engine/core/text_error.h"
#include "engine/design/wheel.h"
#include "window/form/variabili.h"

namespace quirmel {

struct LoadedWheel {
  Wheel wheel;  // combinationCount rows of keyCount positions
  int16_t combinationCount = 0;
  int16_t keyCount = 0;  // the longest row
  int16_t largestNumber = 0;
  std::string listing;  // the listing's look: two-digit numbers, one row per line (LF)
};

struct WheelLoadResult {
  std::optional<LoadedWheel> loaded;
  std::optional<TextError> error;  // names the line: the reader's refusal or a window limit
};

// A wheel file's text, or a wheel made elsewhere (a built one); `lines` names the line each row
// stood on in its file, for the refusal (row numbers when empty).
WheelLoadResult LoadWheel(std::string_view text);
WheelLoadResult LoadWheel(const AnyWheel& wheel, const std::vector<int64_t>& lines = {});

// Makes the loaded wheel the state's wheel, as a generation would.
void UseWheel(WheelState& state, const LoadedWheel& loaded);

// The state's wheel as a wheel of any shape (padding left out), to be written as a wheel file;
// empty while there is no wheel to analyse.
AnyWheel StateWheel(const WheelState& state);

}  // namespace quirmel
