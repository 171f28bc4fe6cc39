#pragma once

// The one record of state that every handler of the main window shares.

#include <cstdint>
#include <optional>

#include "engine/design/wheel.h"

namespace quirmel {

struct WheelState {
  int16_t poolSize = 0;          // N, the numerical mass the key is developed over
  int16_t keyCount = 0;          // K, non-empty key boxes accepted by the last generation
  std::optional<Wheel> wheel;    // absent until a generation succeeds
  int16_t combinationCount = 0;  // C; 0 means no wheel to analyse
  int16_t filterLevel = 0;       // 2..6 once the window has loaded
  bool abortRequested = false;   // STOP was pressed during a running analysis
};

}  // namespace quirmel
