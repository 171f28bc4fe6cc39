#pragma once

// Every limit of the programs, once: the engine, the window and the command line take them from
// here, and messages are built from them.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/funzioni.h"  // IWYU pragma: export

namespace quirmel {

// Numbers and pools: numbers run 1..99, a pool is 1..N for N up to 99 (two digits).
inline constexpr int kMaxWheelNumber = 99;
inline constexpr int16_t kMaxPoolSize = kMaxWheelNumber;  // the cyclic wheel's pool box

// Wheels of any shape: rows of 1 to 20 numbers, up to 1,000,000 rows.
inline constexpr int kMaxRowLength = 20;
inline constexpr std::size_t kMaxWheelRows = 1000000;

// The window's wheel: rows of up to 6 numbers, up to 32,767 rows.
inline constexpr int kWindowRowLength = 6;
inline constexpr int kWindowRows = 32767;

// Draws and subsets: the general check takes draws of 2 to 8 numbers.
inline constexpr int kMaxSubsetSize = 8;
inline constexpr int kMinDrawSize = 2;
inline constexpr int kMaxDrawSize = kMaxSubsetSize;

// The most holes a check lists (about 100 MB of them); their count is exact whatever it is.
inline constexpr int64_t kMaxHolesListed = 1'000'000;

// The memory a check's count tables may take while they are built; a wheel needing more is
// checked with row sets, or refused when only the tables can answer (a hole list).
inline constexpr int64_t kMaxCheckTableBytes = int64_t{768} << 20;
// The memory the threads of one check may take for their tallies together (a few hundred bytes
// a row each): a wheel of many rows is counted by fewer threads.
inline constexpr int64_t kMaxCheckTallyBytes = int64_t{512} << 20;

// The memory every search of one build may take together; its searches side by side, and its
// time limit (a week), at most.
inline constexpr int64_t kMaxBuildBytes = int64_t{1} << 30;
inline constexpr int kMaxBuildThreads = 64;
// The threads a check may be asked for (it takes at most one per core).
inline constexpr int kMaxCheckThreads = 1024;
inline constexpr double kMaxBuildSeconds = 7 * 24 * 3600;

// A wheel file or a draw history, at most; and one line of it.
inline constexpr std::size_t kMaxInputBytes = std::size_t{128} << 20;
inline constexpr std::size_t kMaxLineBytes = std::size_t{64} << 10;

// "1..99": a range as the messages write it.
inline std::string RangeText(int64_t low, int64_t high) {
  return std::to_string(low) + ".." + std::to_string(high);
}

// A ticket's price, at most (in the player's currency; amounts are shown with two decimals).
inline constexpr double kMaxTicketPrice = 10'000;

}  // namespace quirmel
