#include "engine/draw_file.h"

#include <algorithm>
#include <bitset>
#include <cctype>

#include "engine/any_wheel.h"
#include "engine/text_lines.h"

namespace quirmel {

namespace {

struct Field {
  std::string_view text;  // without blanks around it and without its quotes
  int64_t column = 0;     // from 1
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// The fields of a line: split at `delimiter`, or at runs of blanks when it is 0. A field in
// double quotes may hold the delimiter; its quotes are dropped ("" inside stays as it is).
std::vector<Field> SplitFields(std::string_view line, char delimiter) {
  std::vector<Field> fields;
  std::size_t at = 0;
  while (at <= line.size()) {
    if (delimiter == 0) {
      while (at < line.size() && IsBlank(line[at]))
        ++at;
      if (at == line.size()) break;
    }
    std::size_t end = at;
    bool quoted = false;
    while (end < line.size()) {
      const char c = line[end];
      if (c == '"') quoted = !quoted;
      if (!quoted && (delimiter == 0 ? IsBlank(c) : c == delimiter)) break;
      ++end;
    }
    std::string_view text = Trim(line.substr(at, end - at));
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
      text = Trim(text.substr(1, text.size() - 2));
    fields.push_back({text, static_cast<int64_t>(at) + 1});
    if (end >= line.size()) break;
    at = end + 1;
  }
  return fields;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The index a header ends in ("Ball 3" -> 3), or -1.
int TrailingIndex(std::string_view header) {
  std::size_t digits = 0;
  while (digits < header.size() && digits < 3 &&
         std::isdigit(static_cast<unsigned char>(header[header.size() - 1 - digits])))
    ++digits;
  if (digits == 0 || digits == header.size()) return -1;
  return static_cast<int>(ParseWholeNumber(header.substr(header.size() - digits)));
}

struct Layout {
  std::vector<int> numberColumns;  // from 0; empty: the first m whole numbers of the line
  int dateColumn = -1;
};

// The number and date columns named by a header line.
Layout ReadHeader(const std::vector<Field>& headers) {
  static constexpr std::string_view kNotDrawn[] = {"bonus", "extra", "supp", "power", "star"};
  std::vector<std::pair<int, int>> indexed;  // (index in the header, column)
  Layout layout;
  for (std::size_t column = 0; column < headers.size(); ++column) {
    const std::string name = Lower(headers[column].text);
    if (layout.dateColumn < 0 && name.find("date") != std::string::npos)
      layout.dateColumn = static_cast<int>(column);
    const int index = TrailingIndex(name);
    const bool drawn =
        std::none_of(std::begin(kNotDrawn), std::end(kNotDrawn),
                     [&](std::string_view word) { return name.find(word) != std::string::npos; });
    if (index >= 0 && drawn) indexed.emplace_back(index, static_cast<int>(column));
  }
  std::stable_sort(indexed.begin(), indexed.end());
  for (const auto& [index, column] : indexed)
    layout.numberColumns.push_back(column);
  return layout;
}

char DelimiterOf(std::string_view line) {
  if (line.find(',') != std::string_view::npos) return ',';
  if (line.find(';') != std::string_view::npos) return ';';
  return 0;
}

bool IsContent(std::string_view line) {
  const std::string_view text = Trim(line);
  return !text.empty() && text.front() != '#';
}

}  // namespace

DrawReadResult ReadDraws(std::string_view text, const DrawReadOptions& options) {
  DrawReadResult result;
  const auto refuse = [&result](int64_t line, int64_t column, std::string message) {
    result.draws.clear();
    result.error = TextError{line, column, std::move(message)};
    return std::move(result);
  };
  const std::size_t m = static_cast<std::size_t>(std::max(options.drawSize, 1));
  const std::string wanted = std::to_string(m);
  const std::string pool = std::to_string(std::min(options.poolSize, kMaxWheelNumber));

  TextLines lines(text);
  std::string_view line;
  bool first = true;
  char delimiter = 0;
  Layout layout;
  for (const int column : options.columns)
    layout.numberColumns.push_back(column - 1);
  while (lines.Next(line)) {
    if (!IsContent(line)) continue;
    if (first) {
      first = false;
      delimiter = DelimiterOf(line);
      const std::vector<Field> fields = SplitFields(line, delimiter);
      const auto numbers = std::count_if(fields.begin(), fields.end(), [](const Field& field) {
        return ParseWholeNumber(field.text) >= 0;
      });
      if (static_cast<std::size_t>(numbers) < m) {  // a header
        Layout named = ReadHeader(fields);
        if (options.columns.empty()) {
          if (named.numberColumns.size() < m) {
            return refuse(lines.number(), 0,
                          Join({"the header names ", std::to_string(named.numberColumns.size()),
                                " columns of drawn numbers; a draw has ", wanted}));
          }
          named.numberColumns.resize(m);
          layout.numberColumns = named.numberColumns;
        }
        layout.dateColumn = named.dateColumn;
        continue;
      }
    }
    const std::vector<Field> fields = SplitFields(line, delimiter);
    Draw draw;
    draw.line = lines.number();
    if (layout.dateColumn >= 0 && static_cast<std::size_t>(layout.dateColumn) < fields.size())
      draw.label = std::string(fields[static_cast<std::size_t>(layout.dateColumn)].text);
    std::bitset<kMaxWheelNumber + 1> seen;
    const auto take = [&](const Field& field, int64_t value) -> std::optional<std::string> {
      if (value < 1 || value > std::min(options.poolSize, kMaxWheelNumber)) {
        return Join({"number ", field.text, " is outside the pool 1..", pool});
      }
      if (seen[static_cast<std::size_t>(value)])
        return Join({"number ", field.text, " is repeated in this draw"});
      seen.set(static_cast<std::size_t>(value));
      draw.numbers.push_back(static_cast<int16_t>(value));
      return std::nullopt;
    };
    if (layout.numberColumns.empty()) {
      for (const Field& field : fields) {
        if (draw.numbers.size() == m) break;
        const int64_t value = ParseWholeNumber(field.text);
        if (value < 0) continue;
        if (auto fault = take(field, value)) return refuse(lines.number(), field.column, *fault);
      }
    } else {
      for (const int column : layout.numberColumns) {
        if (column < 0 || static_cast<std::size_t>(column) >= fields.size()) break;
        const Field& field = fields[static_cast<std::size_t>(column)];
        const int64_t value = ParseWholeNumber(field.text);
        if (value < 0) {
          return refuse(lines.number(), field.column,
                        Join({Quoted(field.text), " is not a whole decimal number"}));
        }
        if (auto fault = take(field, value)) return refuse(lines.number(), field.column, *fault);
      }
    }
    if (draw.numbers.size() < m) {
      return refuse(lines.number(), 0,
                    Join({"the line holds ", std::to_string(draw.numbers.size()),
                          " numbers of a draw; a draw has ", wanted}));
    }
    result.draws.push_back(std::move(draw));
  }
  if (result.draws.empty())
    return refuse(std::max<int64_t>(lines.number(), 1), 0, "the file holds no draws");
  return result;
}

}  // namespace quirmel
