#include "engine/core/any_wheel.h"

#include <algorithm>
#include <stdexcept>
#include <string>

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

std::vector<int> SortedNumbers(std::vector<int> numbers) {
  std::sort(numbers.begin(), numbers.end());
  if (!numbers.empty() && (numbers.front() < 1 || numbers.back() > kMaxWheelNumber))
    throw std::invalid_argument("the numbers run from 1 to " + std::to_string(kMaxWheelNumber));
  if (std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end())
    throw std::invalid_argument("a number is given twice");
  return numbers;
}

}  // namespace quirmel
