#include "engine/check/draw_check.h"

#include <algorithm>
#include <bit>

#include "engine/core/text_lines.h"

namespace quirmel {

namespace {

// Draws replayed between two calls of the progress hook.
constexpr std::size_t kReplayStep = 4096;

// CSV fields in double quotes when they hold a comma or a quote.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

WheelReplay::WheelReplay(const AnyWheel& wheel, int drawSize)
    : m_(static_cast<std::size_t>(std::clamp(drawSize, 0, kMaxDrawSize))),
      rowCount_(static_cast<int64_t>(wheel.rowCount())),
      words_((wheel.rowCount() + 63) / 64),
      rowsOf_(kMaxWheelNumber + 1) {
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    for (const uint8_t number : wheel.row(r)) {
      std::vector<uint64_t>& rows = rowsOf_[number];
      if (rows.empty()) rows.assign(words_, 0);
      rows[r / 64] |= uint64_t{1} << (r % 64);
    }
  }
  totals_.bestTotals.assign(m_ + 1, 0);
  totals_.rowTotals.assign(m_ + 1, 0);
}

DrawOutcome WheelReplay::Replay(const Draw& draw) {
  // Each row's count of the draw's numbers, 64 rows at a time, in four bit planes (a draw has
  // at most 8 numbers), then the rows at each count.
  const std::vector<uint64_t>* sets[kMaxDrawSize];
  std::size_t n = 0;
  for (const int16_t number : draw.numbers) {
    if (number < 1 || number > kMaxWheelNumber || n == kMaxDrawSize) continue;
    const std::vector<uint64_t>& rows = rowsOf_[static_cast<std::size_t>(number)];
    if (!rows.empty()) sets[n++] = &rows;
  }
  DrawOutcome outcome;
  for (std::size_t w = 0; w < words_; ++w) {
    uint64_t plane[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < n; ++i) {
      uint64_t carry = (*sets[i])[w];
      for (uint64_t& bit : plane) {
        const uint64_t next = bit & carry;
        bit ^= carry;
        carry = next;
      }
    }
    for (std::size_t j = 1; j <= n; ++j) {
      uint64_t exactly = ~uint64_t{0};
      for (std::size_t b = 0; b < 4; ++b)
        exactly &= (j >> b & 1) != 0 ? plane[b] : ~plane[b];
      outcome.rows[std::min(j, m_)] += std::popcount(exactly);
    }
  }
  int64_t matched = 0;
  for (std::size_t j = 1; j <= m_; ++j) {
    matched += outcome.rows[j];
    if (outcome.rows[j] > 0) outcome.best = static_cast<int>(j);
  }
  outcome.rows[0] = static_cast<int32_t>(rowCount_ - matched);
  ++totals_.bestTotals[static_cast<std::size_t>(outcome.best)];
  for (std::size_t j = 0; j <= m_; ++j)
    totals_.rowTotals[j] += outcome.rows[j];
  ++totals_.replayed;
  return outcome;
}

std::array<int64_t, kMaxWheelNumber + 1> DrawnCounts(const std::vector<Draw>& draws) {
  std::array<int64_t, kMaxWheelNumber + 1> counts{};
  for (const Draw& draw : draws) {
    for (const int16_t number : draw.numbers) {
      if (number >= 1 && number <= kMaxWheelNumber) ++counts[static_cast<std::size_t>(number)];
    }
  }
  return counts;
}

DrawReplay ReplayDraws(const AnyWheel& wheel, const std::vector<Draw>& draws, int drawSize,
                       const ReplayProgress& progress) {
  WheelReplay replayer(wheel, drawSize);
  DrawReplay replay;
  replay.draws.reserve(draws.size());
  const auto total = static_cast<int64_t>(draws.size());
  for (std::size_t i = 0; i < draws.size(); ++i) {
    if (progress && i % kReplayStep == 0 && progress(static_cast<int64_t>(i), total)) {
      replay.totals = replayer.totals();
      replay.totals.stopped = true;
      return replay;
    }
    replay.draws.push_back(replayer.Replay(draws[i]));
  }
  replay.totals = replayer.totals();
  return replay;
}

std::string ReplayCsvHeader(int drawSize) {
  std::string csv = "line,label,numbers,best";
  for (int j = drawSize; j >= 2; --j)
    csv += ",rows_" + std::to_string(j);
  return csv + '\n';
}

std::string ReplayCsvLine(const Draw& draw, const DrawOutcome& outcome, int drawSize) {
  std::string csv = std::to_string(draw.line) + ',' + CsvField(draw.label) + ',' +
                    TwoDigits(draw.numbers) + ',' + std::to_string(outcome.best);
  for (int j = drawSize; j >= 2; --j)
    csv += ',' + std::to_string(outcome.rows[static_cast<std::size_t>(j)]);
  return csv + '\n';
}

std::string ReplayCsv(const std::vector<Draw>& draws, const DrawReplay& replay, int drawSize) {
  std::string csv = ReplayCsvHeader(drawSize);
  for (std::size_t i = 0; i < replay.draws.size(); ++i)
    csv += ReplayCsvLine(draws[i], replay.draws[i], drawSize);
  return csv;
}

}  // namespace quirmel
