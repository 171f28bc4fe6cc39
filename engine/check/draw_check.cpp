#include "engine/check/draw_check.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/text_lines.h"

namespace quirmel {

namespace {

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

DrawReplay ReplayDraws(const AnyWheel& wheel, const std::vector<Draw>& draws, int drawSize) {
  const auto m = static_cast<std::size_t>(std::max(drawSize, 0));
  // The rows holding each number, so a draw touches only the rows it can match.
  std::vector<std::vector<uint32_t>> rowsOf(kMaxWheelNumber + 1);
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    for (const uint8_t number : wheel.row(r))
      rowsOf[number].push_back(static_cast<uint32_t>(r));
  }
  DrawReplay replay;
  replay.bestTotals.assign(m + 1, 0);
  replay.rowTotals.assign(m + 1, 0);
  std::vector<uint8_t> hits(wheel.rowCount(), 0);
  std::vector<uint32_t> touched;
  for (const Draw& draw : draws) {
    DrawOutcome outcome;
    outcome.rows.assign(m + 1, 0);
    touched.clear();
    for (const int16_t number : draw.numbers) {
      if (number < 1 || number > kMaxWheelNumber) continue;
      for (const uint32_t row : rowsOf[static_cast<std::size_t>(number)]) {
        if (hits[row]++ == 0) touched.push_back(row);
      }
    }
    for (const uint32_t row : touched) {
      const std::size_t j = std::min<std::size_t>(hits[row], m);
      ++outcome.rows[j];
      outcome.best = std::max(outcome.best, static_cast<int>(j));
      hits[row] = 0;
    }
    outcome.rows[0] = static_cast<int64_t>(wheel.rowCount() - touched.size());
    ++replay.bestTotals[static_cast<std::size_t>(outcome.best)];
    for (std::size_t j = 0; j <= m; ++j)
      replay.rowTotals[j] += outcome.rows[j];
    replay.draws.push_back(std::move(outcome));
  }
  return replay;
}

std::string ReplayCsv(const std::vector<Draw>& draws, const DrawReplay& replay, int drawSize) {
  std::string csv = "line,label,numbers,best";
  for (int j = drawSize; j >= 2; --j)
    csv += ",rows_" + std::to_string(j);
  csv += '\n';
  for (std::size_t i = 0; i < draws.size(); ++i) {
    csv += std::to_string(draws[i].line) + ',' + CsvField(draws[i].label) + ',' +
           TwoDigits(draws[i].numbers) + ',' + std::to_string(replay.draws[i].best);
    for (int j = drawSize; j >= 2; --j)
      csv += ',' + std::to_string(replay.draws[i].rows[static_cast<std::size_t>(j)]);
    csv += '\n';
  }
  return csv;
}

}  // namespace quirmel
