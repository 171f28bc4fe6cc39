#include "engine/builder/key_numbers.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace quirmel {
namespace {

std::vector<int> Sorted(std::vector<int> numbers) {
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

// The numbers of the request: its own list, or 1..N.
std::vector<int> AllNumbers(const BuildRequest& request) {
  if (!request.numbers.empty()) return Sorted(request.numbers);
  std::vector<int> numbers;
  for (int n = 1; n <= std::min(request.poolSize, kMaxWheelNumber); ++n)
    numbers.push_back(n);
  return numbers;
}

}  // namespace

BuildRequest RestOfRows(const BuildRequest& request) {
  const std::vector<int> keys = Sorted(request.keyNumbers);
  const std::vector<int> all = AllNumbers(request);
  const auto refuse = [](const std::string& message) { throw std::invalid_argument(message); };
  if (std::adjacent_find(keys.begin(), keys.end()) != keys.end())
    refuse("a key number is given twice");
  for (const int key : keys) {
    if (!std::binary_search(all.begin(), all.end(), key))
      refuse("key number " + std::to_string(key) + " is not among the numbers");
  }
  const int b = static_cast<int>(keys.size());
  if (b >= request.rowSize) {
    refuse(std::to_string(b) + " key numbers fill a row of " + std::to_string(request.rowSize) +
           ": give fewer than the numbers in a row");
  }
  BuildRequest rest = request;
  rest.keyNumbers.clear();
  rest.poolSize = 0;
  rest.numbers.clear();
  std::set_difference(all.begin(), all.end(), keys.begin(), keys.end(),
                      std::back_inserter(rest.numbers));
  rest.rowSize = request.rowSize - b;
  rest.guarantee = std::max(request.guarantee - b, 1);
  rest.drawSize = std::max(request.drawSize - b, rest.guarantee);
  if (rest.targetRows) rest.targetRows = std::max(*rest.targetRows, 1);
  return rest;
}

BuildResult BuildAroundKeys(const BuildRequest& request) {
  const BuildRequest rest = RestOfRows(request);
  const std::vector<int> keys = Sorted(request.keyNumbers);
  const int b = static_cast<int>(keys.size());
  BuildResult result;
  if (request.guarantee <= b || rest.drawSize < kMinDrawSize) {
    // The key numbers alone meet the guarantee, or each other number must only stand in some
    // row: the rest is the other numbers in turn, a row at a time.
    const int length = rest.rowSize;
    const std::vector<int>& others = rest.numbers;
    const std::size_t rows = request.guarantee <= b
                                 ? 1
                                 : (others.size() + static_cast<std::size_t>(length) - 1) /
                                       static_cast<std::size_t>(length);
    if (static_cast<int>(others.size()) < length)
      throw std::invalid_argument("the pool is smaller than a row");
    const std::size_t width = static_cast<std::size_t>(length);
    for (std::size_t r = 0; r < rows; ++r) {
      // Row r takes the next `length` others; the last one ends with the last of them.
      const std::size_t first = std::min(r * width, others.size() - width);
      const std::vector<uint8_t> row(others.begin() + static_cast<std::ptrdiff_t>(first),
                                     others.begin() + static_cast<std::ptrdiff_t>(first + width));
      result.wheel.AddRow(row);
    }
    result.covered = true;
    result.smallest = true;
    result.method = "the other numbers in turn";
    result.firstCover = result.bestAt = 0;
  } else {
    result = BuildWheel(rest);
  }
  AnyWheel withKeys;
  for (std::size_t r = 0; r < result.wheel.rowCount(); ++r) {
    std::vector<uint8_t> row(result.wheel.row(r).begin(), result.wheel.row(r).end());
    row.insert(row.end(), keys.begin(), keys.end());
    std::sort(row.begin(), row.end());
    withKeys.AddRow(row);
  }
  result.wheel = std::move(withKeys);
  result.numbers = AllNumbers(request);
  result.method = "the key numbers in every row, the rest by " + result.method;
  result.reachedTarget = result.covered && request.targetRows &&
                         static_cast<int64_t>(result.wheel.rowCount()) <= *request.targetRows;
  return result;
}

std::vector<WinTableRow> BuiltWinTable(const BuildRequest& request, const BuildResult& result) {
  if (!result.covered) return {};
  const int n = static_cast<int>(result.numbers.size());
  if (request.keyNumbers.empty())
    return WinTableWithin(result.wheel, result.numbers, request.drawSize, request.guarantee);
  if (WinTableSubsets(n, request.drawSize, request.guarantee) > kWinTableSubsets) return {};
  return KeyWinTable(result.wheel, result.numbers, Sorted(request.keyNumbers), request.drawSize);
}

}  // namespace quirmel
