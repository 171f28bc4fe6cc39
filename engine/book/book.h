#pragma once

// The wheel book: for each common cell (rows of k numbers, the guarantee "t if m", a pool of v
// numbers) the smallest wheel QUIRMEL's builder has made and its check verified, over 1..v,
// shipped inside the program so that it answers at once and offline.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/builder/builder.h"
#include "engine/core/any_wheel.h"

namespace quirmel {

struct BookCell {
  int rowSize = 6;    // k
  int guarantee = 3;  // t
  int drawSize = 6;   // m
  int poolSize = 49;  // v

  bool operator==(const BookCell&) const = default;
};

struct BookEntry {
  BookCell cell;
  int rows = 0;
  std::optional<int> bestPublished;   // the smallest published size, to compare with
  std::optional<int64_t> lowerBound;  // the Schoenheim bound, for covering designs (m = t)
  std::string madeBy;                 // method, seed, seconds and version of the search
};

// Every cell the book holds, by row size, guarantee, draw size and pool.
const std::vector<BookEntry>& BookEntries();

// The cell's entry, or nullptr when the book does not hold it.
const BookEntry* FindInBook(const BookCell& cell);

// The cell's wheel over 1..v, or nothing when the book does not hold it.
std::optional<AnyWheel> BookWheel(const BookCell& cell);

// Why the book holds no wheel for the cell, said for the player: the ranges it covers, or that
// the wheel would have more than the rows the book takes.
std::string NotInBookText(const BookCell& cell);

// The wheel with place i (1..v) replaced by numbers[i - 1], each row ascending.
AnyWheel MapOntoNumbers(const AnyWheel& wheel, const std::vector<int>& numbers);

// The book's wheel for a shape on the player's numbers (any order; the pool 1..N when empty
// and poolSize is N): the cell and its wheel mapped onto the numbers, or nothing when the book
// does not hold the cell, the numbers repeat or there are key numbers.
struct BookAnswer {
  const BookEntry* entry = nullptr;
  AnyWheel wheel;
  std::vector<int> numbers;  // ascending
};
std::optional<BookAnswer> LookUpBook(const BuildRequest& request);

// What a build started from the book says it was made by.
inline constexpr const char* kFromTheBook = "the book";

// Starts the build from the book's wheel, a cover already, when the book holds the cell (with key
// numbers, the cell of the rest of each row): the entry used, or nullptr. The book's wheels of
// smaller cells are the first wheels of the parts the build puts its wheel together from.
const BookEntry* StartFromBook(BuildRequest& request);

// The wheels of the book are at most this long.
inline constexpr int kMostBookRows = 5000;

}  // namespace quirmel
