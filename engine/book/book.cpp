#include "engine/book/book.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "engine/book/book_data.h"
#include "engine/builder/builder.h"
#include "engine/builder/key_numbers.h"
#include "engine/files/wheel_file.h"

namespace quirmel {
namespace {

// The guarantees and pools the book is made for: rows of 6 over 7..49 numbers ("2 if 6" up to
// 70, the national games), rows of 5 over 6..49 ("2 if 5" up to 90).
struct BookShelf {
  int rowSize;
  int mostDraw;       // guarantees t if m with t <= m <= mostDraw
  int mostGuarantee;  // t at most
  int fewestPool;
  int mostPool;
  int widePool;  // "2 if mostDraw" goes up to here
};
constexpr BookShelf kShelves[] = {
    {.rowSize = 6,
     .mostDraw = 6,
     .mostGuarantee = 5,
     .fewestPool = 7,
     .mostPool = 49,
     .widePool = 70},
    {.rowSize = 5,
     .mostDraw = 5,
     .mostGuarantee = 4,
     .fewestPool = 6,
     .mostPool = 49,
     .widePool = 90},
};

std::string CellName(const BookCell& cell) {
  char name[48];
  std::snprintf(name, sizeof name, "k%d-t%d-m%d-v%02d", cell.rowSize, cell.guarantee, cell.drawSize,
                cell.poolSize);
  return name;
}

std::string CellText(const BookCell& cell) {
  return "rows of " + std::to_string(cell.rowSize) + ", " + std::to_string(cell.guarantee) +
         " if " + std::to_string(cell.drawSize) + " on " + std::to_string(cell.poolSize) +
         " numbers";
}

// The comma-separated fields of an index line, the last one possibly in double quotes.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  while (!line.empty()) {
    if (line.front() == '"') {
      const std::size_t close = line.find('"', 1);
      fields.push_back(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      break;
    }
    const std::size_t comma = line.find(',');
    fields.push_back(line.substr(0, comma));
    if (comma == std::string_view::npos) break;
    line.remove_prefix(comma + 1);
    if (line.empty()) fields.emplace_back();
  }
  return fields;
}

std::optional<int> Number(std::string_view field) {
  int value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc{} || end != field.data() + field.size()) return std::nullopt;
  return value;
}

std::vector<BookEntry> ReadIndex() {
  std::vector<BookEntry> entries;
  std::string_view index = BookIndex();
  bool header = true;
  while (!index.empty()) {
    const std::size_t end = index.find('\n');
    const std::string_view line = index.substr(0, end);
    index.remove_prefix(end == std::string_view::npos ? index.size() : end + 1);
    if (std::exchange(header, false) || line.empty()) continue;
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() < 8) continue;
    BookEntry entry;
    const auto k = Number(fields[0]), t = Number(fields[1]), m = Number(fields[2]),
               v = Number(fields[3]), rows = Number(fields[4]);
    if (!k || !t || !m || !v || !rows) continue;
    entry.cell = {.rowSize = *k, .guarantee = *t, .drawSize = *m, .poolSize = *v};
    entry.rows = *rows;
    entry.bestPublished = Number(fields[5]);
    entry.lowerBound = SchoenheimBound(*v, *k, *t, *m);
    entry.madeBy = std::string(fields[7]);
    entries.push_back(std::move(entry));
  }
  return entries;
}

const BookShelf* ShelfOf(const BookCell& cell) {
  for (const BookShelf& shelf : kShelves) {
    if (shelf.rowSize == cell.rowSize) return &shelf;
  }
  return nullptr;
}

}  // namespace

const std::vector<BookEntry>& BookEntries() {
  static const std::vector<BookEntry> entries = ReadIndex();
  return entries;
}

const BookEntry* FindInBook(const BookCell& cell) {
  const std::vector<BookEntry>& entries = BookEntries();
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [&cell](const BookEntry& entry) { return entry.cell == cell; });
  return found == entries.end() ? nullptr : &*found;
}

std::optional<AnyWheel> BookWheel(const BookCell& cell) {
  if (!FindInBook(cell)) return std::nullopt;
  const std::string name = CellName(cell);
  const std::span<const BookFile> files = BookFiles();
  const auto file =
      std::lower_bound(files.begin(), files.end(), name,
                       [](const BookFile& f, const std::string& n) { return f.name < n; });
  if (file == files.end() || file->name != name) return std::nullopt;
  WheelReadResult read = ReadWheel(file->text, {.pool = cell.poolSize});
  if (read.error) return std::nullopt;
  return std::move(read.wheel);
}

std::string NotInBookText(const BookCell& cell) {
  const BookShelf* shelf = ShelfOf(cell);
  std::string holds = "the book holds ";
  for (const BookShelf& each : kShelves) {
    const std::string k = std::to_string(each.rowSize), m = std::to_string(each.mostDraw);
    if (&each != kShelves) holds += "; ";
    holds += "rows of " + k + " over " + std::to_string(each.fewestPool) + " to " +
             std::to_string(each.mostPool) + " numbers, \"2 if 2\" to \"" +
             std::to_string(each.mostGuarantee) + " if " + m + "\" (\"2 if " + m + "\" up to " +
             std::to_string(each.widePool) + ")";
  }
  const bool inRange = shelf && cell.guarantee >= 2 && cell.guarantee <= shelf->mostGuarantee &&
                       cell.drawSize >= cell.guarantee && cell.drawSize <= shelf->mostDraw &&
                       cell.poolSize >= shelf->fewestPool &&
                       (cell.poolSize <= shelf->mostPool ||
                        (cell.poolSize <= shelf->widePool && cell.guarantee == 2 &&
                         cell.drawSize == shelf->mostDraw));
  if (!inRange) return "no wheel for " + CellText(cell) + " in the book: " + holds;
  return "no wheel for " + CellText(cell) + " in the book: it would have more than " +
         GroupedText(kMostBookRows) + " rows";
}

std::optional<BookAnswer> LookUpBook(const BuildRequest& request) {
  if (!request.keyNumbers.empty()) return std::nullopt;  // the book's rows hold no key numbers
  BookAnswer answer;
  answer.numbers = request.numbers;
  if (answer.numbers.empty()) {
    for (int n = 1; n <= std::min(request.poolSize, kMaxWheelNumber); ++n)
      answer.numbers.push_back(n);
  }
  std::sort(answer.numbers.begin(), answer.numbers.end());
  if (std::adjacent_find(answer.numbers.begin(), answer.numbers.end()) != answer.numbers.end() ||
      answer.numbers.empty() || answer.numbers.front() < 1 ||
      answer.numbers.back() > kMaxWheelNumber)
    return std::nullopt;
  const BookCell cell{.rowSize = request.rowSize,
                      .guarantee = request.guarantee,
                      .drawSize = request.drawSize,
                      .poolSize = static_cast<int>(answer.numbers.size())};
  answer.entry = FindInBook(cell);
  std::optional<AnyWheel> places = BookWheel(cell);
  if (!answer.entry || !places) return std::nullopt;
  answer.wheel = MapOntoNumbers(*places, answer.numbers);
  return answer;
}

const BookEntry* StartFromBook(BuildRequest& request) {
  // The parts a wheel is put together from start from the book's wheels too.
  request.knownCover = [](int places, int rowSize, int guarantee, int drawSize) {
    return BookWheel(
        {.rowSize = rowSize, .guarantee = guarantee, .drawSize = drawSize, .poolSize = places});
  };
  std::optional<BookAnswer> answer;
  if (request.keyNumbers.empty()) {
    answer = LookUpBook(request);
  } else {
    // With key numbers the start is the book's wheel for the rest of each row.
    try {
      answer = LookUpBook(RestOfRows(request));
    } catch (const std::invalid_argument&) {
      return nullptr;  // the build says why
    }
  }
  if (!answer) return nullptr;
  request.start = std::move(answer->wheel);
  request.startMethod = kFromTheBook;
  return answer->entry;
}

AnyWheel MapOntoNumbers(const AnyWheel& wheel, const std::vector<int>& numbers) {
  AnyWheel mapped;
  std::vector<uint8_t> row;
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    row.clear();
    for (const uint8_t place : wheel.row(r))
      row.push_back(static_cast<uint8_t>(numbers.at(place - 1u)));
    std::sort(row.begin(), row.end());
    mapped.AddRow(row);
  }
  return mapped;
}

}  // namespace quirmel
