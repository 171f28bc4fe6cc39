#include "engine/check/win_table.h"

#include <algorithm>

#include "engine/core/subsets.h"
#include "engine/limits.h"

namespace quirmel {

int64_t WinTableSubsets(int n, int drawSize, int guarantee) {
  int64_t total = 0;
  for (int h = std::min(drawSize, n); h >= std::max(guarantee, 2); --h)
    total += Binomial(n, h);
  return total;
}

std::vector<WinTableRow> KeyWinTable(const AnyWheel& wheel, const std::vector<int>& numbers,
                                     const std::vector<int>& keys, int drawSize) {
  std::vector<int> others;
  for (const int number : numbers) {
    if (std::find(keys.begin(), keys.end(), number) == keys.end()) others.push_back(number);
  }
  AnyWheel rest;
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    std::vector<uint8_t> row;
    for (const uint8_t number : wheel.row(r)) {
      if (std::find(keys.begin(), keys.end(), number) == keys.end()) row.push_back(number);
    }
    rest.AddRow(row);
  }
  const int b = static_cast<int>(keys.size());
  std::vector<WinTableRow> table;
  if (others.size() < 2) return table;
  for (WinTableRow& row : WinTable(rest, others, drawSize, std::max(drawSize - b, 1))) {
    const int j = drawSize - row.drawn;  // key numbers among the draw
    if (j > b) continue;
    // Every choice of the j key numbers drawn meets the rows alike.
    const int64_t choices = Binomial(b, j);
    WinTableRow shifted{.drawn = drawSize,
                        .keysDrawn = j,
                        .subsets = row.subsets * choices,
                        .byBest = {},
                        .stopped = row.stopped};
    for (const auto& [best, count] : row.byBest)
      shifted.byBest[best + j] = count * choices;
    table.push_back(std::move(shifted));
  }
  std::reverse(table.begin(), table.end());  // every key number drawn first
  return table;
}

std::vector<WinTableRow> WinTableWithin(const AnyWheel& wheel, const std::vector<int>& numbers,
                                        int drawSize, int guarantee, int64_t mostSubsets) {
  if (WinTableSubsets(static_cast<int>(numbers.size()), drawSize, guarantee) > mostSubsets)
    return {};
  return WinTable(wheel, numbers, drawSize, guarantee);
}

std::string WinTableText(const std::vector<WinTableRow>& table, const std::string& prefix) {
  std::string text;
  for (const WinTableRow& row : table) {
    text += prefix + "If " + std::to_string(row.drawn) + " of your numbers are drawn";
    if (row.keysDrawn >= 0) {
      text += ", ";
      text += std::to_string(row.keysDrawn);
      text += " of them key numbers";
    }
    text += ':';
    int64_t atLeast = row.subsets;  // the h-subsets at this level or above
    bool first = true;
    for (const auto& [level, subsets] : row.byBest) {
      text += (first ? " at least " : ", ") + std::to_string(level) + " in " +
              ShareText(atLeast, row.subsets) + (first ? " of cases" : "");
      first = false;
      atLeast -= subsets;
    }
    text += '\n';
  }
  return text;
}

AnyWheel OverNumbers(const AnyWheel& wheel, const std::vector<int>& numbers) {
  AnyWheel mapped;
  std::vector<uint8_t> row;
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    row.clear();
    for (const uint8_t number : wheel.row(r)) {
      const auto at = std::lower_bound(numbers.begin(), numbers.end(), number);
      if (at != numbers.end() && *at == number)
        row.push_back(static_cast<uint8_t>(at - numbers.begin() + 1));
    }
    mapped.AddRow(row);
  }
  return mapped;
}

std::vector<WinTableRow> WinTable(const AnyWheel& wheel, std::vector<int> numbers, int drawSize,
                                  int guarantee, const CheckProgress& progress) {
  std::sort(numbers.begin(), numbers.end());
  const AnyWheel mapped = OverNumbers(wheel, numbers);
  const int n = static_cast<int>(numbers.size());
  std::vector<WinTableRow> table;
  for (int h = std::min(drawSize, n); h >= std::max(guarantee, kMinDrawSize); --h) {
    const CheckResult check =
        CheckWheel({.wheel = mapped, .poolSize = n, .drawSize = h, .progress = progress});
    WinTableRow row{.drawn = h, .subsets = check.subsets, .byBest = {}, .stopped = check.stopped};
    for (int level = 0; level <= h; ++level) {
      if (const int64_t count = check.SubsetsAt(level); count > 0) row.byBest[level] = count;
    }
    table.push_back(row);
    if (check.stopped) break;
  }
  return table;
}

}  // namespace quirmel
