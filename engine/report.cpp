#include "engine/report.h"

#include <algorithm>
#include <cstdio>

namespace quirmel {

namespace {

struct MatchRange {
  int min = 0;  // 0: no subset has this best level
  int max = 0;
};

MatchRange RangeOf(const std::array<int32_t, 61>& row) {
  MatchRange range;
  for (int m = 1; m <= kMatchCountCap; ++m) {
    if (row[m] > 0) {
      range.min = m;
      break;
    }
  }
  for (int m = kMatchCountCap; m >= 1; --m) {
    if (row[m] > 0) {
      range.max = m;
      break;
    }
  }
  return range;
}

std::string Pad2(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%2d", value);
  return text;
}

}  // namespace

std::string BuildCoverageReport(int16_t subsetSize, const CoverageStats& stats, int16_t filterLevel,
                                const NumberFormat& format) {
  if (stats.subsetCount < 1) return {};
  const double total = stats.subsetCount;

  char size[16];
  std::snprintf(size, sizeof size, "%02d", subsetSize);
  std::string report = std::string("Hits ") + size +
                       " - Integral: " + FormatCount(stats.subsetCount, format) + "\r\n";

  int64_t coveredCount = 0;
  for (int level = kMaxLevel; level >= std::max<int>(filterLevel, 0); --level) {
    const MatchRange range = RangeOf(stats.matchCountTable[level]);
    if (range.min <= 0 || range.max <= 0) continue;
    coveredCount += stats.bestLevelCount[level];
    const double share = stats.bestLevelCount[level] / total * 100.0;
    report += "p. " + std::to_string(level) + " - min. " + Pad2(range.min) + " | max. " +
              Pad2(range.max) + " ... " + FormatPercent(share, format) + "\r\n";
  }

  const float covered = static_cast<float>(static_cast<double>(coveredCount) / total * 100.0);
  report += "------------------- Covered: " + FormatPercent(covered, format) + "\r\n";
  return report;
}

}  // namespace quirmel
