#pragma once

// The cyclic wheel: a key developed over a pool, one row after another.

#include <cstdint>
#include <span>
#include <string>

#include "engine/design/wheel.h"

namespace quirmel {

// The largest key number the development takes (a number of the 6/49 game).
inline constexpr int16_t kMaxKeyNumber = 49;

// Row 1 is the key; each further row steps every number to the next one of the pool 1..N, back
// to 1 after N (a key number above N comes down by N - 1 per row), and every row is then sorted.
// Takes a key of 1..6 numbers, 1 <= rowCount and 1 <= poolSize <= 99, which the callers check.
Wheel DevelopKey(std::span<const int16_t> key, int16_t poolSize, int16_t rowCount);

// The listing's look: one line per row, the numbers up to 49 as two digits separated by one
// blank (numbers of 50 and above left out), each line ended by `lineEnd`.
std::string DevelopedListing(const Wheel& wheel, const char* lineEnd);

}  // namespace quirmel
