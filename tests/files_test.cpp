// Wheel files and draw-history files: what is read, and where a refusal points.

#include <gtest/gtest.h>

#include "engine/core/bounded_read.h"
#include "window/form/form.h"

namespace quirmel {
namespace {

std::vector<std::vector<int>> Rows(const AnyWheel& wheel) {
  std::vector<std::vector<int>> rows;
  for (std::size_t r = 0; r < wheel.rowCount(); ++r)
    rows.emplace_back(wheel.row(r).begin(), wheel.row(r).end());
  return rows;
}

struct WheelCase {  // rows empty: refused at line, column, saying `says`
  const char* text;
  bool zeroBased;
  std::vector<std::vector<int>> rows;
  int64_t line, column;
  const char* says;
};

class WheelFile : public ::testing::TestWithParam<WheelCase> {};

TEST_P(WheelFile, ReadsOrRefusesWhere) {
  const WheelCase c = GetParam();
  const WheelReadResult read = ReadWheel(c.text, {.zeroBased = c.zeroBased});
  EXPECT_EQ(Rows(read.wheel), c.rows);
  if (c.rows.empty()) {
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->line, c.line);
    EXPECT_EQ(read.error->column, c.column);
    EXPECT_NE(read.error->message.find(c.says), std::string::npos) << read.error->message;
    return;
  }
  EXPECT_FALSE(read.error);
  EXPECT_EQ(ReadWheel(WriteWheel(read.wheel)).wheel, read.wheel);  // reads back equal
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, WheelFile, ::testing::Values(
    WheelCase{"1 2 3 4 5 6\n01,02,03,04,05,49\n1-2-3\n", false, {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 49}, {1, 2, 3}}, 0, 0, ""},
    WheelCase{"\xEF\xBB\xBF# a design\r\n\r\n7;8;9;\r\n\t 10 11 , \r\n", false, {{7, 8, 9}, {10, 11}}, 0, 0, ""},
    WheelCase{"0 1 2\n98 5\n", true, {{1, 2, 3}, {99, 6}}, 0, 0, ""},
    WheelCase{"1 2 3\n4 x5 6\n", false, {}, 2, 3, "'x5' is not a whole decimal number"},
    WheelCase{"1 2 3\n4 5 100\n", false, {}, 2, 5, "number 100 is outside 1..99"},
    WheelCase{"0 1 2\n", false, {}, 1, 1, "zero-based"},
    WheelCase{"0 1 99\n", true, {}, 1, 5, "number 99 is outside 0..98"},
    WheelCase{"1 2 3\n\n5 6 5\n", false, {}, 3, 5, "number 5 is repeated"},
    WheelCase{"1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21\n", false, {}, 1, 52, "at most 20 numbers"},
    WheelCase{"# nothing\n\n , \n", false, {}, 3, 0, "no rows"},
    WheelCase{"", false, {}, 1, 0, "no rows"},
    WheelCase{"1 2.5\n", false, {}, 1, 3, "'2.5' is not"}));
// clang-format on

TEST(WheelFileLimits, AMillionRowsAndNotOneMore) {
  std::string text;
  for (int r = 0; r < 1000000; ++r)
    text += "1 2\n";
  EXPECT_EQ(ReadWheel(text).wheel.rowCount(), 1000000u);
  const WheelReadResult over = ReadWheel(text + "3 4\n");
  ASSERT_TRUE(over.error);
  EXPECT_EQ(over.error->line, 1000001);
  EXPECT_EQ(over.wheel.rowCount(), 0u);
}

// A wheel is refused for saving exactly where its file would not read back: a developed row that
// repeats a number, a number above the pool the file is read under.
TEST(WheelFileRefusal, NamesTheRowThatWouldNotReadBack) {
  AnyWheel wheel;
  for (const std::vector<uint8_t>& row : {std::vector<uint8_t>{1, 2, 3}, {4, 5, 6}})
    wheel.AddRow(row);
  EXPECT_FALSE(WheelFileRefusal(wheel, {}));
  const auto abovePool = WheelFileRefusal(wheel, {.pool = 5});
  ASSERT_TRUE(abovePool);
  EXPECT_EQ(abovePool->line, 2);
  wheel.AddRow(std::vector<uint8_t>{2, 2, 6});
  const auto repeated = WheelFileRefusal(wheel, {});
  ASSERT_TRUE(repeated);
  EXPECT_EQ(repeated->line, 3);
}

// Whatever the source: an endless line is refused at its limit, a failing source or a stop ends
// the read, and the early refusal sees only whole lines.
TEST(BoundedRead, EndsAtTheLimitsOfAnySource) {
  const ByteSource endless = [](char* buffer, std::size_t size) {
    std::fill(buffer, buffer + size, '7');
    return static_cast<int64_t>(size);
  };
  const BoundedText line = ReadBounded(endless);
  ASSERT_EQ(line.end, ReadEnd::Refused);
  EXPECT_EQ(line.refusal->column, static_cast<int64_t>(kMaxLineBytes) + 1);
  EXPECT_LT(line.text.size(), kMaxLineBytes + (1 << 16) + 1);
  EXPECT_EQ(ReadBounded([](char*, std::size_t) { return int64_t{-1}; }).end, ReadEnd::Failed);
  EXPECT_EQ(ReadBounded(endless, {}, [] { return true; }).end, ReadEnd::Stopped);

  std::string seen;  // the text the early refusal was shown, once
  const ByteSource rows = [n = 0](char* buffer, std::size_t size) mutable -> int64_t {
    if (++n > 40) return 0;  // 40 blocks of "1 2 3\n...": 2.6 MB, last line cut
    for (std::size_t i = 0; i < size; ++i)
      buffer[i] = "1 2 3\n"[i % 6];
    return static_cast<int64_t>(size);
  };
  const BoundedText early = ReadBounded(rows, [&seen](std::string_view head) {
    seen = std::string(head);
    return std::optional<TextError>(TextError{1, 0, "enough"});
  });
  ASSERT_EQ(early.end, ReadEnd::Refused);
  EXPECT_EQ(early.refusal->message, "enough");
  EXPECT_GT(seen.size(), (std::size_t{1} << 20) - 6);  // looked at from 1 MiB on
  EXPECT_EQ(seen.size() % 6, 0u);
  EXPECT_EQ(seen.back(), '\n');
}

TEST(WheelLoadLimits, TheWindowTakesExactly32767Rows) {
  std::string text;
  for (int r = 0; r < 32767; ++r)
    text += std::to_string(r % 44 + 1) + " 45 46 47 48 49\n";
  const WheelLoadResult loaded = LoadWheel(text);
  ASSERT_TRUE(loaded.loaded) << loaded.error->message;
  WheelState state;
  UseWheel(state, *loaded.loaded);
  EXPECT_EQ(StateWheel(state), ReadWheel(text).wheel);  // every row back, the last included
  EXPECT_TRUE(LoadWheel(text + "1 2\n").error);
}

struct DrawCase {
  const char* text;
  int draw;
  std::vector<int> columns;
  std::vector<std::vector<int16_t>> numbers;  // empty: refused at `line`
  std::vector<std::string> labels;
  int64_t line;
};

class DrawFile : public ::testing::TestWithParam<DrawCase> {};

TEST_P(DrawFile, ReadsOrRefusesWhere) {
  const DrawCase c = GetParam();
  const DrawReadResult read =
      ReadDraws(c.text, {.poolSize = 59, .drawSize = c.draw, .columns = c.columns});
  std::vector<std::vector<int16_t>> numbers;
  std::vector<std::string> labels;
  for (const Draw& draw : read.draws) {
    numbers.push_back(draw.numbers);
    labels.push_back(draw.label);
  }
  EXPECT_EQ(numbers, c.numbers);
  EXPECT_EQ(labels, c.labels);
  EXPECT_EQ(read.error ? read.error->line : 0, c.line);
}

const char* kLotto =
    "DrawDate,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Bonus Ball,Ball Set,Machine,DrawNumber\n"
    "03-Jan-2024,5,12,27,40,41,59,7,3,Arthur,2900\n";
const char* kQuoted =
    "\"PRODUCT\",\"DRAW NUMBER\",\"SEQUENCE NUMBER\",\"DRAW DATE\",\"NUMBER DRAWN 1\",\"NUMBER "
    "DRAWN 2\","
    "\"NUMBER DRAWN 3\",\"NUMBER DRAWN 4\",\"NUMBER DRAWN 5\",\"NUMBER DRAWN 6\",\"BONUS NUMBER\"\n"
    "\"649\",\"3000\",\"0\",\"2024-01-03\",\"1\",\"9\",\"17\",\"23\",\"34\",\"49\",\"5\"\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, DrawFile, ::testing::Values(
    DrawCase{kLotto, 6, {}, {{5, 12, 27, 40, 41, 59}}, {"03-Jan-2024"}, 0},
    DrawCase{kQuoted, 6, {}, {{1, 9, 17, 23, 34, 49}}, {"2024-01-03"}, 0},
    DrawCase{"Num2;Num1;Num3\n2;1;3\n", 3, {}, {{1, 2, 3}}, {""}, 0},
    DrawCase{"2024-01-03 1 2 3 4 5 6 7\n# note\n11 12 13 14 15 16\n", 6, {}, {{1, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}}, {"", ""}, 0},
    DrawCase{"a,b,c,d\n9,1,2,3\n", 3, {2, 3, 4}, {{1, 2, 3}}, {""}, 0},
    DrawCase{"1 2 3 4 5\n", 6, {}, {}, {}, 1},
    DrawCase{"#,Date,Ball 1,Ball 2,Ball 3\n1,2026-01-03,4,5,6\n2,2026-01-10,7,8,9\n", 3, {}, {{4, 5, 6}, {7, 8, 9}}, {"2026-01-03", "2026-01-10"}, 0},
    DrawCase{"# Date,Ball 1,Ball 2,Ball 3\n1 4 5 6\n", 3, {}, {{1, 4, 5}}, {""}, 0},
    DrawCase{"1 2 3 4 5 6\n1 2 3 4 5 60\n", 6, {}, {}, {}, 2},
    DrawCase{"1 2 3 4 5 6\n\n1 2 3 4 5 5\n", 6, {}, {}, {}, 3},
    DrawCase{"Date,Ball 1,Ball 2,Bonus 3\n", 3, {}, {}, {}, 1},
    DrawCase{"Date,Ball 1,Ball 2,Ball 3\n", 3, {}, {}, {}, 1},
    DrawCase{"a,b,c\n1,x,3\n", 2, {1, 2}, {}, {}, 2},
    // Histories with extra balls: the drawn family is the one that is not stars, lucky or euro numbers.
    DrawCase{"Date,N1,N2,N3,N4,N5,E1,E2\n2026-12-01,3,9,17,28,33,4,11\n", 5, {}, {{3, 9, 17, 28, 33}}, {"2026-12-01"}, 0},
    DrawCase{"date;boule_1;boule_2;boule_3;boule_4;boule_5;etoile_1;etoile_2\n01/12/2026;3;9;17;28;33;4;11\n", 5, {}, {{3, 9, 17, 28, 33}}, {"01/12/2026"}, 0},
    DrawCase{"Datum;Zahl 1;Zahl 2;Zahl 3;Zahl 4;Zahl 5;Eurozahl 1;Eurozahl 2\n1.12.2026;3;9;17;28;33;4;11\n", 5, {}, {{3, 9, 17, 28, 33}}, {"1.12.2026"}, 0},
    DrawCase{"Date,N1,N2,N3,N4,N5,E1,E2\n2026-12-01,3,9,17,28,33,4,11\n", 6, {}, {}, {}, 1},
    DrawCase{"Date,N1,N2,N3,X1,X2,X3,X4\n1,1,2,3,4,5,6,7\n", 3, {}, {{1, 2, 3}}, {"1"}, 0},
    // Separators, quotes and headerless lines.
    DrawCase{"07.12.2026;3;9;17;28;33;45;4;1.234.567,50\n", 6, {}, {{3, 9, 17, 28, 33, 45}}, {""}, 0},
    DrawCase{"\"Draw date, time\",N1,N2,N3\n\"1 \"\"Jan\"\", 20:00\",1,2,3\n", 3, {}, {{1, 2, 3}}, {"1 \"Jan\", 20:00"}, 0},
    DrawCase{"Date,Note,N1,N2,N3\n2026-12-01,\"two\nlines\",1,2,3\n2026-12-08,x,4,5,6\n", 3, {}, {{1, 2, 3}, {4, 5, 6}}, {"2026-12-01", "2026-12-08"}, 0},
    DrawCase{"Date,Note,N1,N2,N3\n2026-12-01,x,1,2,3\n2026-12-08,\"open,4,5,6\n", 3, {}, {}, {}, 3}));
// clang-format on

// A game's extra balls: read from their columns or after the draw, checked against their drum.
struct ExtrasCase {
  const char* text;
  int extraPool;
  int extraDrawn;
  std::vector<std::vector<int16_t>> extras;  // each draw's; empty: refused at `line`
  int64_t line;
};

class DrawExtras : public ::testing::TestWithParam<ExtrasCase> {};

TEST_P(DrawExtras, ReadFromTheirColumnsOrAfterTheDraw) {
  const ExtrasCase c = GetParam();
  const DrawReadResult read = ReadDraws(
      c.text,
      {.poolSize = 50, .drawSize = 5, .extraPool = c.extraPool, .extraDrawn = c.extraDrawn});
  std::vector<std::vector<int16_t>> extras;
  for (const Draw& draw : read.draws) {
    EXPECT_EQ(draw.numbers.size(), 5u);
    extras.push_back(draw.extras);
  }
  EXPECT_EQ(extras, c.extras);
  EXPECT_EQ(read.error ? read.error->line : 0, c.line);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, DrawExtras, ::testing::Values(
    ExtrasCase{"Date,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Lucky Star 2,Lucky Star 1\nd,1,2,3,4,5,9,12\n", 12, 2, {{12, 9}}, 0},
    ExtrasCase{"Date,N1,N2,N3,N4,N5,E1,E2\nd,1,2,3,4,5,4,11\nd,1,2,3,4,6,,\n", 12, 2, {{4, 11}, {}}, 0},
    ExtrasCase{"Draw Date,N1,N2,N3,N4,N5,Powerball\nd,1,2,3,4,5,26\n", 26, 1, {{26}}, 0},
    ExtrasCase{"Date,N1,N2,N3,N4,N5,Star 1,Star 2\nd,1,2,3,4,5,4,13\n", 12, 2, {}, 2},
    ExtrasCase{"Date,N1,N2,N3,N4,N5,Star 1,Star 2\nd,1,2,3,4,5,4,4\n", 12, 2, {}, 2},
    ExtrasCase{"1 2 3 4 5 6 7\n1 2 3 4 5 6 13\n1 2 3 4 5\n", 12, 2, {{6, 7}, {}, {}}, 0},
    ExtrasCase{"1 2 3 4 5 6 7\n", 0, 0, {{}}, 0}));
// clang-format on

}  // namespace
}  // namespace quirmel

namespace quirmel {
namespace {

// Tickets never cross a page's edge or the head, never overlap, and each stands once in the PDF.
TEST(Tickets, FillWholePagesAndSplitNoTicket) {
  for (const int length : {6, 20}) {
    AnyWheel wheel;
    for (int r = 0; r < 100; ++r) {
      std::vector<uint8_t> row;
      for (int i = 0; i < length; ++i)
        row.push_back(static_cast<uint8_t>((r + i * 3) % 99 + 1));
      std::sort(row.begin(), row.end());
      row.erase(std::unique(row.begin(), row.end()), row.end());
      wheel.AddRow(row);
    }
    const TicketLayout layout = LayOutTickets(wheel, 4);
    ASSERT_EQ(layout.boxes.size(), wheel.rowCount());
    for (const TicketBox& box : layout.boxes) {
      EXPECT_GE(box.x, 0);
      EXPECT_GE(box.y, 0);
      EXPECT_LE(box.x + box.width, layout.pageWidth);
      EXPECT_LE(box.y + box.height, layout.headTop - 4 * 10);
      for (const TicketBox& other : layout.boxes) {
        const bool apart = other.ticket == box.ticket || other.page != box.page ||
                           other.x >= box.x + box.width || box.x >= other.x + other.width ||
                           other.y >= box.y + box.height || box.y >= other.y + other.height;
        EXPECT_TRUE(apart) << box.ticket << " " << other.ticket;
      }
    }
    const std::string pdf = TicketsPdf(wheel, {"head", "a", "b", "c"});
    EXPECT_NE(pdf.find("/Count " + std::to_string(layout.pages) + " "), std::string::npos);
    EXPECT_GT(layout.pages, 1);
    for (int ticket = 1; ticket <= 100; ++ticket) {
      const std::string label = "(Ticket " + std::to_string(ticket) + ")";
      const std::size_t at = pdf.find(label);
      EXPECT_NE(at, std::string::npos);
      EXPECT_EQ(pdf.find(label, at + 1), std::string::npos);
    }
    EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
  }
  EXPECT_EQ(TicketsCsv(ReadWheel("3 12 7\n1 2 3\n").wheel, ';'), "03;12;07\n01;02;03\n");
}

}  // namespace
}  // namespace quirmel
