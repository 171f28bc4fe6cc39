#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/any_wheel.h"

namespace quirmel {

// A matrix of 16-bit numbers: one combination per row. Rows and positions count from 1, and every
// access is checked, so a reader that trusts stale counts cannot read past the matrix.
class Wheel {
 public:
  Wheel(int16_t rows, int16_t positions);  // every element 0; negative sizes throw

  int16_t rows() const { return rows_; }
  int16_t positions() const { return positions_; }

  int16_t& at(int16_t row, int16_t position);
  int16_t at(int16_t row, int16_t position) const;

  bool operator==(const Wheel&) const = default;

 private:
  std::size_t Offset(int16_t row, int16_t position) const;

  int16_t rows_;
  int16_t positions_;
  std::vector<int16_t> cells_;
};

// The numbers 1..highest in row r's first `positions` positions, in their order, into `row`.
void RowNumbers(const Wheel& wheel, int r, int positions, int highest, std::vector<uint8_t>& row);

// The first `rows` rows over their first `positions` positions as a wheel of any shape, to be
// written or checked: numbers outside 1..99 (the padding 0) are left out, and rows left empty.
AnyWheel RowsOf(const Wheel& wheel, int16_t rows, int16_t positions);

}  // namespace quirmel
