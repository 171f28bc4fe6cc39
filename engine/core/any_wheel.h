#pragma once

// A wheel of any shape: rows of 1 to 20 numbers from 1 to 99, rows of different lengths allowed,
// stored one row after another.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/limits.h"

namespace quirmel {

struct AnyWheel {
  std::vector<uint8_t> numbers;  // every row's numbers, row after row
  std::vector<uint32_t> ends;    // row r holds numbers[ends[r - 1], ends[r]) (from 0 for row 0)

  std::size_t rowCount() const { return ends.size(); }
  std::span<const uint8_t> row(std::size_t r) const {
    const std::size_t begin = r == 0 ? 0 : ends[r - 1];
    return {numbers.data() + begin, ends[r] - begin};
  }
  void AddRow(std::span<const uint8_t> row) {
    numbers.insert(numbers.end(), row.begin(), row.end());
    ends.push_back(static_cast<uint32_t>(numbers.size()));
  }
  int LargestNumber() const;  // 0 for a wheel without rows
  int LongestRow() const;

  bool operator==(const AnyWheel&) const = default;
};

// The player's numbers in ascending order; throws std::invalid_argument with the player's text
// for a number outside 1..99 or one given twice (an empty list stays empty).
std::vector<int> SortedNumbers(std::vector<int> numbers);

}  // namespace quirmel
