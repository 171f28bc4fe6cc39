#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/oracle.h"

namespace quirmel {
namespace {

using testing::SimpleCovers;

// The rows of each cell of the book, by (row size, guarantee, draw, pool).
using CellRows = std::map<std::tuple<int, int, int, int>, int>;

CellRows RowsByCell() {
  CellRows rows;
  for (const BookEntry& entry : BookEntries()) {
    const BookCell& c = entry.cell;
    rows[{c.rowSize, c.guarantee, c.drawSize, c.poolSize}] = entry.rows;
  }
  return rows;
}

// The rows of the book's wheel on a group of `size` numbers; one row when the group fits in one.
std::optional<int> GroupRows(const CellRows& rows, int k, int t, int m, int size) {
  if (size <= k) return 1;
  const auto found = rows.find({k, t, m, size});
  return found == rows.end() ? std::nullopt : std::optional<int>(found->second);
}

TEST(Book, GivesItsWheelOnThePlayersNumbers) {
  const std::vector<int> numbers = {40, 3, 17, 9, 22, 31, 5, 12, 28, 44, 36, 1, 19};
  for (const BookCell& cell : {BookCell{.rowSize = 6, .guarantee = 3, .drawSize = 4},
                               BookCell{.rowSize = 5, .guarantee = 2, .drawSize = 2}}) {
    const std::optional<BookAnswer> answer = LookUpBook({.numbers = numbers,
                                                         .rowSize = cell.rowSize,
                                                         .guarantee = cell.guarantee,
                                                         .drawSize = cell.drawSize});
    ASSERT_TRUE(answer);
    EXPECT_EQ(static_cast<int>(answer->wheel.rowCount()), answer->entry->rows);
    EXPECT_TRUE(SimpleCovers(answer->wheel, answer->numbers, cell.guarantee, cell.drawSize));
    EXPECT_TRUE(std::is_sorted(answer->numbers.begin(), answer->numbers.end()));
  }
  EXPECT_FALSE(LookUpBook({.numbers = {1, 2, 3, 4, 5, 6, 7, 7}, .guarantee = 2, .drawSize = 2}));
  EXPECT_FALSE(LookUpBook({.poolSize = 95, .guarantee = 3, .drawSize = 6}));
  EXPECT_NE(NotInBookText({.poolSize = 95}).find("up to 70"), std::string::npos);
}

// A wheel on v + 1 numbers, that number replaced where it stands, is a wheel on v.
TEST(Book, NoCellHasMoreRowsThanTheCellOfOneMoreNumber) {
  const auto rows = RowsByCell();
  for (const auto& [cell, count] : rows) {
    const auto [k, t, m, v] = cell;
    const auto above = rows.find({k, t, m, v + 1});
    if (above != rows.end()) {
      EXPECT_LE(count, above->second) << k << " " << t << " " << m << " " << v;
    }
  }
}

// The wheel on v - 1 numbers, and number v joined to every row of a "t-1 if m-1" wheel of rows of
// k - 1 on those v - 1, is a wheel on v.
TEST(Book, NoCellIsBeatenByJoiningANumberToASmallerWheel) {
  const auto rows = RowsByCell();
  for (const auto& [cell, count] : rows) {
    const auto [k, t, m, v] = cell;
    const auto below = rows.find({k, t, m, v - 1}),
               joined = rows.find({k - 1, t - 1, m - 1, v - 1});
    if (below != rows.end() && joined != rows.end() &&
        below->second + joined->second <= kMostBookRows) {
      EXPECT_LE(count, below->second + joined->second) << k << " " << t << " " << m << " " << v;
    }
  }
}

// A draw of m numbers puts m1 of them into a group of a numbers or m + 1 - m1 into the other b,
// so two wheels of the book on the groups are a wheel of the whole pool.
TEST(Book, NoCellIsBeatenByASplitIntoOtherCells) {
  const auto rows = RowsByCell();
  for (const auto& [cell, count] : rows) {
    const auto [k, t, m, v] = cell;
    for (int a = 1; a < v && m > t; ++a) {
      for (int m1 = t; m1 <= m; ++m1) {
        const int m2 = m + 1 - m1;
        if (m2 < t || a < m1 || v - a < m2) continue;
        const auto first = GroupRows(rows, k, t, m1, a), second = GroupRows(rows, k, t, m2, v - a);
        if (first && second) {
          EXPECT_LE(count, *first + *second) << k << t << m << v << " " << a;
        }
      }
    }
  }
}

// A block of s numbers held whole in rows with a few of the other a = v - s: a draw with fewer
// than J numbers of the block meets a row of a "t if m-J+1" wheel on the a; one with J or more
// meets a row of the block with t - J more of its numbers: with t - J = 1, rows of the block and
// k - s of the a, holding all of them but m - J; with t - J = 0, one row.
TEST(Book, NoCellIsBeatenByABlockHeldWholeInRowsWithAFewOthers) {
  const auto rows = RowsByCell();
  for (const auto& [cell, count] : rows) {
    const auto [k, t, m, v] = cell;
    for (int s = 2; s < k; ++s) {
      const int a = v - s;
      for (int J = std::max(1, t - 1); J <= std::min({t, s, m - t + 1}); ++J) {
        if (m - J > a) continue;
        const auto first = GroupRows(rows, k, t, m - J + 1, a);
        const int held = a - (m - J) + 1;
        const int joined = t == J ? 1 : (held + k - s - 1) / (k - s);
        if (first && *first + joined <= kMostBookRows) {
          EXPECT_LE(count, *first + joined) << k << t << m << v << " " << s;
        }
      }
    }
  }
}

}  // namespace
}  // namespace quirmel
