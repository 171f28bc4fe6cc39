#include "engine/design/generation.h"

#include <algorithm>
#include <cstdio>

namespace quirmel {

namespace {

GenerationResult Refuse(const char* message, FocusTarget focus, bool clearsListing) {
  GenerationResult result;
  result.message = message;
  result.focusTarget = focus;
  result.clearsListing = clearsListing;
  return result;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Develops row 1 (the key) into rows 2..C: each number steps to the next one of the pool and
// comes back to 1 after N; a key number above N comes down by N - 1 per row.
void DevelopRows(Wheel& wheel, int16_t poolSize) {
  for (int16_t r = 2; r <= wheel.rows(); ++r) {
    for (int16_t p = 1; p <= wheel.positions(); ++p) {
      int value = wheel.at(static_cast<int16_t>(r - 1), p) + 1;
      if (value > poolSize) value -= poolSize;
      wheel.at(r, p) = static_cast<int16_t>(value);
    }
  }
}

// Insertion sort with diminishing gaps (K / 2, halved down to 1); equal numbers never swap.
void SortRows(Wheel& wheel) {
  const int k = wheel.positions();
  for (int16_t r = 1; r <= wheel.rows(); ++r) {
    for (int gap = k / 2; gap >= 1; gap /= 2) {
      for (int i = gap + 1; i <= k; ++i) {
        for (int j = i - gap; j >= 1; j -= gap) {
          int16_t& left = wheel.at(r, static_cast<int16_t>(j));
          int16_t& right = wheel.at(r, static_cast<int16_t>(j + gap));
          if (left <= right) break;
          std::swap(left, right);
        }
      }
    }
  }
}

// One line per row: the numbers up to 49 as two digits separated by one blank; numbers of 50
// and above are left out.
std::string BuildListing(const Wheel& wheel) {
  std::string listing;
  listing.reserve(static_cast<std::size_t>(wheel.rows()) * (3 * wheel.positions() + 2));
  for (int16_t r = 1; r <= wheel.rows(); ++r) {
    bool first = true;
    for (int16_t p = 1; p <= wheel.positions(); ++p) {
      const int16_t value = wheel.at(r, p);
      if (value > 49) continue;
      char digits[8];
      std::snprintf(digits, sizeof digits, "%02d", value);
      if (!first) listing += ' ';
      listing += digits;
      first = false;
    }
    listing += "\r\n";
  }
  return listing;
}

}  // namespace

std::optional<int16_t> ReadBoxValue(const std::string& text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
  int value = 0;
  for (char c : text)
    value = value * 10 + (c - '0');
  return static_cast<int16_t>(value);
}

GenerationResult GenerateWheel(WheelState& state, const std::array<std::string, 6>& keyTexts,
                               const std::string& poolSizeText,
                               const std::string& combinationsText) {
  state.keyCount = 0;
  std::array<int16_t, 6> key{};
  for (const std::string& text : keyTexts) {
    if (text.empty()) continue;
    const std::optional<int16_t> value = ReadBoxValue(text);
    if (!value || *value < 1 || *value > 49) {
      return Refuse(kMsgAllowedNumbers, FocusTarget::None, false);
    }
    key[state.keyCount] = *value;
    ++state.keyCount;
  }

  // From here on every outcome empties the listing box.
  if (state.keyCount < 3) return Refuse(kMsgAtLeastThree, FocusTarget::KeyBox1, true);

  const std::optional<int16_t> poolSize = ReadBoxValue(poolSizeText);
  if (!poolSize) return Refuse(kMsgPoolSize, FocusTarget::PoolSizeBox, true);
  state.poolSize = *poolSize;

  const std::optional<int16_t> combinations = ReadBoxValue(combinationsText);
  if (!combinations) return Refuse(kMsgCombinations, FocusTarget::CombinationsBox, true);
  state.combinationCount = *combinations;

  if (state.combinationCount > state.poolSize) {
    return Refuse(kMsgExceedsPool, FocusTarget::CombinationsBox, true);
  }
  // A wheel of no rows cannot be built: refused like a missing quantity.
  if (state.combinationCount < 1) {
    return Refuse(kMsgCombinations, FocusTarget::CombinationsBox, true);
  }

  Wheel wheel(state.combinationCount, state.keyCount);
  for (int16_t p = 1; p <= state.keyCount; ++p)
    wheel.at(1, p) = key[p - 1];
  DevelopRows(wheel, state.poolSize);
  SortRows(wheel);

  GenerationResult result;
  result.succeeded = true;
  result.clearsListing = true;
  result.listing = BuildListing(wheel);
  state.wheel = std::move(wheel);
  return result;
}

}  // namespace quirmel
