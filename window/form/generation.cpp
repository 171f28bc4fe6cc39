#include "window/form/generation.h"

#include <algorithm>

#include "engine/design/development.h"

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
    if (!value || *value < 1 || *value > kMaxKeyNumber) {
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

  Wheel wheel = DevelopKey(std::span(key.data(), static_cast<std::size_t>(state.keyCount)),
                           state.poolSize, state.combinationCount);
  GenerationResult result;
  result.succeeded = true;
  result.clearsListing = true;
  result.listing = DevelopedListing(wheel, "\r\n");
  state.wheel = std::move(wheel);
  return result;
}

}  // namespace quirmel
