// Drives the whole engine road with arbitrary box texts on one persistent state: generation, then
// an analysis of whatever wheel the state holds, checking the invariants the engine promises.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <stdexcept>

#include "window/form/form.h"

namespace {

quirmel::WheelState state;  // persists across inputs, as the window's does across clicks

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

void CheckSuccess(const quirmel::GenerationResult& result) {
  Check(result.message.empty() && result.clearsListing, "success carries no message");
  Check(state.keyCount >= 3 && state.keyCount <= 6, "keyCount 3..6");
  Check(state.combinationCount >= 1 && state.combinationCount <= state.poolSize, "1 <= C <= N");
  Check(state.wheel && state.wheel->rows() == state.combinationCount &&
            state.wheel->positions() == state.keyCount,
        "wheel of C rows and K positions");
  for (int16_t r = 1; r <= state.wheel->rows(); ++r) {
    for (int16_t p = 1; p <= state.wheel->positions(); ++p) {
      Check(state.wheel->at(r, p) >= 1, "numbers >= 1");
      Check(state.wheel->at(r, p) <= std::max<int>(state.poolSize, 49), "numbers <= max(N, 49)");
      if (p > 1) Check(state.wheel->at(r, p - 1) <= state.wheel->at(r, p), "rows ascending");
    }
  }
  std::size_t lines = 0;
  for (std::size_t at = 0; (at = result.listing.find("\r\n", at)) != std::string::npos; at += 2) {
    ++lines;
  }
  Check(lines == static_cast<std::size_t>(state.combinationCount), "C lines");
  Check(result.listing.size() >= 2 && result.listing.ends_with("\r\n"), "last line ends CR LF");
  Check(result.listing.find('\r') == result.listing.find("\r\n"), "no stray CR");
}

void Analyse(FuzzedDataProvider& data) {
  const bool consistent = state.wheel && state.combinationCount >= 1 &&
                          state.combinationCount <= state.wheel->rows() && state.keyCount >= 1 &&
                          state.keyCount <= state.wheel->positions();
  const auto pool = static_cast<int16_t>(data.ConsumeIntegralInRange<int>(-2, 24));
  const auto size = static_cast<int16_t>(data.ConsumeIntegralInRange<int>(1, 7));
  const int32_t stopAt = data.ConsumeIntegralInRange<int32_t>(0, 200000);
  try {
    const quirmel::CoverageStats stats =
        quirmel::AnalyseCoverage(*state.wheel, state.combinationCount, state.keyCount, pool, size,
                                 [stopAt](int32_t count) { return count >= stopAt; });
    Check(consistent && pool >= 0 && size >= 2 && size <= 6, "arguments were in range");
    int64_t sum = 0;
    for (int level = 0; level <= 6; ++level) {
      int64_t row = 0;
      for (int m = 1; m <= 60; ++m)
        row += stats.matchCountTable[level][m];
      Check(row == stats.bestLevelCount[level], "table rows add up to their level");
      if (level > size || level > state.keyCount) Check(row == 0, "no level above k or K");
      sum += row;
    }
    Check(sum == stats.subsetCount, "levels add up to the subsets");
    if (!stats.stopped) {
      Check(stats.subsetCount == quirmel::SubsetTotal(pool, size), "every subset once");
    } else {
      Check(stats.subsetCount % 10000 == 0 && stats.subsetCount >= stopAt, "stop at a point");
    }
  } catch (const std::invalid_argument&) {
    Check(!consistent || pool < 0 || size < 2 || size > 6, "refused only bad arguments");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  static const std::set<std::string> kMessages = {
      quirmel::kMsgAllowedNumbers, quirmel::kMsgAtLeastThree, quirmel::kMsgPoolSize,
      quirmel::kMsgCombinations, quirmel::kMsgExceedsPool};
  std::array<std::string, 6> keys;
  for (std::string& key : keys)
    key = data.ConsumeRandomLengthString(4);
  const std::string pool = data.ConsumeRandomLengthString(4);
  const std::string combinations = data.ConsumeRandomLengthString(4);

  const std::optional<quirmel::Wheel> before = state.wheel;
  const quirmel::GenerationResult result = quirmel::GenerateWheel(state, keys, pool, combinations);
  if (result.succeeded) {
    CheckSuccess(result);
  } else {
    Check(kMessages.count(result.message) == 1, "a refusal shows one of the five messages");
    Check(result.listing.empty(), "a refusal has no listing");
    Check(state.wheel == before, "a refusal never replaces the wheel");
  }
  if (state.wheel) Analyse(data);
  if (data.ConsumeBool()) state.combinationCount = 0;  // the reset of the inputs
  return 0;
}
