#pragma once

// Exact cover by dancing links (Knuth's Algorithm X): a set of the given rows such that every
// column lies in exactly one of them. Each step takes the column with the fewest rows left and
// tries its rows in turn.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace quirmel {

struct ExactCoverRequest {
  int columns = 0;
  std::vector<std::vector<int>> rows;  // each a list of distinct columns 0..columns-1
  // Asked every few dozen steps; true ends the search without a cover.
  std::function<bool()> stopped;
  int64_t maxSteps = 0;  // rows tried, at most (0: no limit)
};

// The indexes of the chosen rows, ascending; nothing when there is no exact cover or the search
// was ended first.
std::optional<std::vector<int>> ExactCover(const ExactCoverRequest& request);

}  // namespace quirmel
