// Drives the formatters and the report with arbitrary statistics and separators.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/engine.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  Check(start == text.size(), "every line ends with CR LF");
  return lines;
}

std::string Separator(FuzzedDataProvider& data) {
  static const char* const kSeparators[] = {",", ".", " ", "\u202f", "\u00a0", "'", "\u066b", ""};
  return kSeparators[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kSeparators) - 1)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const quirmel::NumberFormat format{Separator(data), Separator(data)};

  const double share = data.ConsumeFloatingPointInRange<double>(0.0, 100.0);
  const std::string percent = quirmel::FormatPercent(share, format);
  Check(quirmel::Utf8Length(percent) == 9, "a share from 0 to 100 takes nine characters");
  Check(percent.back() == '%', "ends with the percent sign");
  const std::string wild = quirmel::FormatPercent(data.ConsumeFloatingPoint<double>(), format);
  Check(!wild.empty() && wild.back() == '%', "any double formats");
  const std::string count = quirmel::FormatCount(data.ConsumeIntegral<int32_t>(), format);
  Check(!count.empty(), "any count formats");

  quirmel::CoverageStats stats;
  stats.subsetCount = data.ConsumeIntegralInRange<int32_t>(-5, 1200000000);
  const bool consistent = data.ConsumeBool();
  int64_t left = std::max(stats.subsetCount, 0);
  for (int level = 0; level <= 6; ++level) {
    for (int m = 1; m <= 60; ++m) {
      if (!data.ConsumeBool()) continue;
      const int32_t n = consistent
                            ? static_cast<int32_t>(data.ConsumeIntegralInRange<int64_t>(0, left))
                            : data.ConsumeIntegral<int32_t>();
      stats.matchCountTable[level][m] = n;
      stats.bestLevelCount[level] += consistent ? n : 0;
      if (consistent) left -= n;
    }
    if (!consistent) stats.bestLevelCount[level] = data.ConsumeIntegral<int32_t>();
  }
  const auto subsetSize = static_cast<int16_t>(data.ConsumeIntegralInRange<int>(2, 6));
  const auto filter = static_cast<int16_t>(data.ConsumeIntegralInRange<int>(-3, 9));
  const std::string report = quirmel::BuildCoverageReport(subsetSize, stats, filter, format);
  if (stats.subsetCount < 1) {
    Check(report.empty(), "nothing examined, nothing reported");
    return 0;
  }
  const std::vector<std::string> lines = Lines(report);
  Check(lines.size() >= 2 && lines.size() <= 9, "header, level lines, closing line");
  Check(lines.front().starts_with("Hits 0"), "header");
  Check(lines.back().starts_with("------------------- Covered: "), "closing line");
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    Check(lines[i].starts_with("p. "), "level line");
    if (consistent) {
      Check(quirmel::Utf8Length(lines[i]) == 38, "level line is 38 characters");
    }
  }
  if (consistent) Check(quirmel::Utf8Length(lines.back()) == 38, "closing line is 38 characters");
  return 0;
}
