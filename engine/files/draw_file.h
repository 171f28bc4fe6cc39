#pragma once

// Draw-history files: past draws as CSV or blank-separated text.
//
// With a header line, the draw's numbers are a family of columns whose headers end in an index
// 1, 2, 3, ... ("Ball 1", "NUMBER DRAWN 1", "Num1", "N1", "boule_1"), not a family of extra balls
// (bonus, stars, lucky or euro numbers, in several languages: "etoile_1", "Eurozahl 1", ...):
// the family with m columns, taken in the order of their index; a date column ("Date", "Datum",
// "Fecha", ...) labels each draw. A first line with m or more whole numbers is no header: a draw
// is then the first m whole numbers of each line. An explicit column list overrides the
// detection. The separator is the commonest of ',', ';', '|' and tab outside quotes in the first
// line, else blanks; fields may be quoted as in RFC 4180 (separators, doubled quotes and line
// breaks inside quotes); '#' starts a comment line.
//
// For a game with extra balls (EuroMillions' two stars), a draw's extras are read too when the file
// holds them: from the family of extra-ball columns with that many columns (or one extra-ball
// column without an index, "Powerball"), or, without a header, the whole numbers that follow
// the draw's own. They are checked against the extra drum; a file without them is read as before.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/text_error.h"

namespace quirmel {

struct Draw {
  int64_t line = 0;              // in the file, from 1
  std::string label;             // the date column, or empty
  std::vector<int16_t> numbers;  // m numbers, as they stand in the file
  std::vector<int16_t> extras;   // the extra balls, when the game has them and the file holds them
};

struct DrawReadOptions {
  int poolSize = 49;
  int drawSize = 6;
  std::vector<int> columns;  // the fields holding the numbers, from 1; empty: detect them
  int extraPool = 0;         // the extra balls' drum (12 stars: 1..12); 0: none read
  int extraDrawn = 0;        // extra balls a draw has
};

// The draws, or (with no draws) the first fault: a line with fewer than m numbers, a number
// outside the pool, a number repeated within a draw, a header naming fewer than m number columns,
// no draws at all.
struct DrawReadResult {
  std::vector<Draw> draws;
  std::optional<TextError> error;
};

DrawReadResult ReadDraws(std::string_view text, const DrawReadOptions& options);

}  // namespace quirmel
