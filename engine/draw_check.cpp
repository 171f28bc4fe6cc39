#include "engine/draw_check.h"

#include <algorithm>

namespace quirmel {

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

}  // namespace quirmel
