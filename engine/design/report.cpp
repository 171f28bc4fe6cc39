#include "engine/design/report.h"

#include <algorithm>
#include <cstdio>

namespace quirmel {

namespace {

struct MatchRange {
  int min = 0;  // 0: no subset has this best level
  int max = 0;
};

MatchRange RangeOf(const MatchCountRow& row) {
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

std::string Pad2(int64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "%2lld", static_cast<long long>(value));
  return text;
}

// The report's text from each best level's fewest and most matching rows and its subsets.
struct LevelFigures {
  int64_t fewest = 0;  // 0: no subset has this best level
  int64_t most = 0;
  int64_t subsets = 0;
};

std::string ReportText(int16_t subsetSize, int64_t total,
                       const std::array<LevelFigures, kMaxLevel + 1>& levels, int16_t filterLevel,
                       const NumberFormat& format) {
  std::string report = ReportHeaderLine(subsetSize, total, format) + "\r\n";

  int64_t coveredCount = 0;
  for (int level = kMaxLevel; level >= std::max<int>(filterLevel, 0); --level) {
    const LevelFigures& figures = levels[static_cast<std::size_t>(level)];
    if (figures.fewest <= 0 || figures.most <= 0) continue;
    coveredCount += figures.subsets;
    const double share = static_cast<double>(figures.subsets) / static_cast<double>(total) * 100.0;
    report +=
        ReportLevelLine(level, figures.fewest, figures.most, FormatPercent(share, format)) + "\r\n";
  }

  const float covered =
      static_cast<float>(static_cast<double>(coveredCount) / static_cast<double>(total) * 100.0);
  report += "------------------- Covered: " + FormatPercent(covered, format) + "\r\n";
  return report;
}

}  // namespace

std::string ReportHeaderLine(int subsetSize, int64_t subsets, const NumberFormat& format) {
  char size[16];
  std::snprintf(size, sizeof size, "%02d", subsetSize);
  return std::string("Hits ") + size + " - Integral: " + FormatLargeCount(subsets, format);
}

std::string ReportLevelLine(int level, int64_t fewest, int64_t most, const std::string& share) {
  return "p. " + std::to_string(level) + " - min. " + Pad2(fewest) + " | max. " + Pad2(most) +
         " ... " + share;
}

std::string BuildCoverageReport(int16_t subsetSize, const CoverageStats& stats, int16_t filterLevel,
                                const NumberFormat& format) {
  if (stats.subsetCount < 1) return {};
  std::array<LevelFigures, kMaxLevel + 1> levels{};
  for (int level = 0; level <= kMaxLevel; ++level) {
    const MatchRange range = RangeOf(stats.matchCountTable[level]);
    levels[static_cast<std::size_t>(level)] = {range.min, range.max, stats.bestLevelCount[level]};
  }
  return ReportText(subsetSize, stats.subsetCount, levels, filterLevel, format);
}

std::string BuildCoverageReport(int16_t subsetSize, const CheckResult& result, int16_t filterLevel,
                                const NumberFormat& format) {
  if (result.examined < 1 || result.stopped) return {};
  std::array<LevelFigures, kMaxLevel + 1> levels{};
  for (std::size_t level = 0; level < result.levels.size() && level <= kMaxLevel; ++level) {
    const std::map<int64_t, int64_t>& byMatches = result.levels[level];
    if (byMatches.empty()) continue;
    levels[level] = {byMatches.begin()->first, byMatches.rbegin()->first,
                     result.SubsetsAt(static_cast<int>(level))};
  }
  return ReportText(subsetSize, result.subsets, levels, filterLevel, format);
}

}  // namespace quirmel
