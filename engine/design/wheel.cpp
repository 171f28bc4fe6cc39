#include "engine/design/wheel.h"

#include <stdexcept>
#include <string>

namespace quirmel {

Wheel::Wheel(int16_t rows, int16_t positions) : rows_(rows), positions_(positions) {
  if (rows < 0 || positions < 0) throw std::invalid_argument("Wheel: negative size");
  cells_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(positions), 0);
}

std::size_t Wheel::Offset(int16_t row, int16_t position) const {
  if (row < 1 || row > rows_ || position < 1 || position > positions_) {
    throw std::out_of_range("Wheel: element (" + std::to_string(row) + ", " +
                            std::to_string(position) + ") outside the matrix");
  }
  return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(positions_) +
         static_cast<std::size_t>(position - 1);
}

int16_t& Wheel::at(int16_t row, int16_t position) {
  return cells_[Offset(row, position)];
}

int16_t Wheel::at(int16_t row, int16_t position) const {
  return cells_[Offset(row, position)];
}

void RowNumbers(const Wheel& wheel, int r, int positions, int highest, std::vector<uint8_t>& row) {
  row.clear();
  // The counters are wider than the wheel's 16-bit indexes, which end at the row limit itself.
  for (int p = 1; p <= positions; ++p) {
    const int16_t number = wheel.at(static_cast<int16_t>(r), static_cast<int16_t>(p));
    if (number >= 1 && number <= highest) row.push_back(static_cast<uint8_t>(number));
  }
}

AnyWheel RowsOf(const Wheel& wheel, int16_t rows, int16_t positions) {
  AnyWheel any;
  std::vector<uint8_t> row;
  for (int r = 1; r <= rows; ++r) {
    RowNumbers(wheel, r, positions, kMaxWheelNumber, row);
    if (!row.empty()) any.AddRow(row);
  }
  return any;
}

}  // namespace quirmel
