#pragma once

// Limits every layer shares: what a file given to the programs may hold.

#include <cstddef>

namespace quirmel {

// A wheel file or a draw history, at most; and one line of it.
inline constexpr std::size_t kMaxInputBytes = std::size_t{128} << 20;
inline constexpr std::size_t kMaxLineBytes = std::size_t{64} << 10;

}  // namespace quirmel
