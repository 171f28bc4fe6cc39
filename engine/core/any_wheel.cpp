#include "engine/core/any_wheel.h"

#include <algorithm>

namespace quirmel {

int AnyWheel::LargestNumber() const {
  int largest = 0;
  for (const uint8_t number : numbers)
    largest = std::max<int>(largest, number);
  return largest;
}

int AnyWheel::LongestRow() const {
  int longest = 0;
  for (std::size_t r = 0; r < rowCount(); ++r)
    longest = std::max<int>(longest, static_cast<int>(row(r).size()));
  return longest;
}

}  // namespace quirmel
