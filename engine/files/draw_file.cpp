#include "engine/files/draw_file.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <span>

#include "engine/core/any_wheel.h"
#include "engine/core/text_lines.h"
#include "engine/limits.h"

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
  std::vector<int> extraColumns;   // from 0: the extra balls' columns, when the header names them
  int dateColumn = -1;
};

// Names of column families that hold extra balls (bonus, stars, lucky numbers, euro numbers) in
// the histories lotteries publish, in the languages they publish them in.
constexpr std::string_view kNotDrawn[] = {
    "bonus",  "extra",  "supp",  "power",  "star",  "lucky",    "euro",
    "etoile", "étoile", "stern", "zusatz", "super", "estrella", "stella",
    "jolly",  "chance", "joker", "plus",   "mega",  "special",  "additional"};
// Names of the date column.
constexpr std::string_view kDateWords[] = {"date", "datum", "fecha", "data"};

bool HasAny(const std::string& name, std::span<const std::string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [&](std::string_view word) { return name.find(word) != std::string::npos; });
}

// A numbered column's name without its index and what separates the index ("ball_1": "ball").
std::string FamilyName(const std::string& name) {
  std::string stem = name.substr(0, name.find_last_not_of("0123456789") + 1);
  while (!stem.empty() && (IsBlank(stem.back()) || stem.back() == '_' || stem.back() == '-' ||
                           stem.back() == '.' || stem.back() == '#'))
    stem.pop_back();
  return stem;
}

// The numbered columns of a header grouped by the name before their index ("Ball 1".."Ball 6"
// are one family, "E1", "E2" another), families of extra balls left out. The drawn numbers are
// the family with exactly m columns (the first such), else the first with more, in the order of
// their index; a date column labels each draw.
Layout ReadHeader(const std::vector<Field>& headers, std::size_t m, std::size_t extras) {
  struct Family {
    std::string name;
    std::vector<std::pair<int, int>> columns;  // (index in the header, column)
  };
  std::vector<Family> families;
  std::vector<Family> extraFamilies;
  int loneExtra = -1;  // the first extra-ball column without an index ("Powerball")
  Layout layout;
  for (std::size_t column = 0; column < headers.size(); ++column) {
    const std::string name = Lower(headers[column].text);
    if (layout.dateColumn < 0 && HasAny(name, kDateWords))
      layout.dateColumn = static_cast<int>(column);
    const int index = TrailingIndex(name);
    const bool extra = HasAny(name, kNotDrawn);
    if (extra && index < 0 && loneExtra < 0) loneExtra = static_cast<int>(column);
    if (index < 0) continue;
    std::vector<Family>& into = extra ? extraFamilies : families;
    const std::string stem = FamilyName(name);
    auto family =
        std::find_if(into.begin(), into.end(), [&](const Family& f) { return f.name == stem; });
    if (family == into.end()) family = into.insert(into.end(), {stem, {}});
    family->columns.emplace_back(index, static_cast<int>(column));
  }
  const auto exact = std::find_if(families.begin(), families.end(),
                                  [m](const Family& f) { return f.columns.size() == m; });
  const auto larger = std::find_if(families.begin(), families.end(),
                                   [m](const Family& f) { return f.columns.size() > m; });
  const auto chosen = exact != families.end() ? exact : larger;
  if (chosen == families.end()) {
    // The most numbered columns any family has, for the refusal.
    for (const Family& family : families)
      if (family.columns.size() > layout.numberColumns.size())
        layout.numberColumns.assign(family.columns.size(), -1);
    return layout;
  }
  std::stable_sort(chosen->columns.begin(), chosen->columns.end());
  for (const auto& [index, column] : chosen->columns)
    layout.numberColumns.push_back(column);
  if (extras == 0) return layout;
  // The extra balls: a family named as such with as many columns as the game draws extras, else
  // one such column without an index when it draws one, else another family of that many.
  const auto fits = [extras](const Family& f) { return f.columns.size() == extras; };
  auto named = std::find_if(extraFamilies.begin(), extraFamilies.end(), fits);
  if (named == extraFamilies.end()) {
    if (extras == 1 && loneExtra >= 0) {
      layout.extraColumns.push_back(loneExtra);
      return layout;
    }
    named = std::find_if(families.begin(), families.end(),
                         [&](const Family& f) { return &f != &*chosen && fits(f); });
    if (named == families.end()) return layout;
  }
  std::stable_sort(named->columns.begin(), named->columns.end());
  for (const auto& [index, column] : named->columns)
    layout.extraColumns.push_back(column);
  return layout;
}

// The field separator of a file, from its first line: the most frequent of ',', ';', '|' and tab
// outside double quotes (a semicolon file whose amounts carry decimal commas stays a semicolon
// file); 0, fields parted by blanks, when there is none.
char DelimiterOf(std::string_view line) {
  std::size_t commas = 0;
  std::size_t semicolons = 0;
  std::size_t bars = 0;
  std::size_t tabs = 0;
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    commas += c == ',';
    semicolons += c == ';';
    bars += c == '|';
    tabs += c == '\t';
  }
  const std::size_t most = std::max({commas, semicolons, bars, tabs});
  if (most == 0) return 0;
  if (most == semicolons) return ';';
  if (most == commas) return ',';
  return most == bars ? '|' : '\t';
}

// Whether a record is still inside a double-quoted field at its end (a quoted line break).
bool OpenQuote(std::string_view record) {
  return std::count(record.begin(), record.end(), '"') % 2 != 0;
}

// A field's text with each doubled quote made one, as CSV writes a quote inside quotes.
std::string Unquoted(std::string_view text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    plain += text[i];
    if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') ++i;
  }
  return plain;
}

bool IsContent(std::string_view line) {
  const std::string_view text = Trim(line);
  return !text.empty() && text.front() != '#';
}

// One draw file's reading: the layout its first record (or header) sets, then every record.
class DrawReader {
 public:
  explicit DrawReader(const DrawReadOptions& options)
      : options_(options),
        m_(static_cast<std::size_t>(std::max(options.drawSize, 1))),
        extras_(options.extraPool > 0
                    ? static_cast<std::size_t>(std::clamp(options.extraDrawn, 0, 16))
                    : 0),
        pool_(std::min(options.poolSize, kMaxWheelNumber)),
        extraPool_(std::min(options.extraPool, kMaxWheelNumber)) {
    for (const int column : options.columns)
      layout_.numberColumns.push_back(column - 1);
  }

  DrawReadResult Read(std::string_view text) {
    DrawReadResult result;
    const auto refuse = [&result](TextError error) {
      result.draws.clear();
      result.error = std::move(error);
      return std::move(result);
    };
    TextLines lines(text);
    std::string_view line;
    bool first = true;
    std::string_view lastComment;  // the last '#' line before the first record
    while (lines.Next(line)) {
      if (!IsContent(line)) {
        if (first && !Trim(line).empty()) lastComment = Trim(line);
        continue;
      }
      const int64_t lineNumber = lines.number();
      // A quoted field may hold line breaks: the record goes on to the line that closes it.
      for (std::string_view more; OpenQuote(line) && lines.Next(more);) {
        line = std::string_view(line.data(),
                                static_cast<std::size_t>(more.data() + more.size() - line.data()));
        if (line.size() > kMaxLineBytes)
          return refuse({lineNumber, 0, "a quoted field is not closed within a line's length"});
      }
      if (first) {
        first = false;
        bool header = false;
        if (auto fault = FirstRecord(line, lineNumber, lastComment, header))
          return refuse(std::move(*fault));
        if (header) continue;
      }
      Draw draw;
      if (auto fault = Record(line, lineNumber, draw)) return refuse(std::move(*fault));
      result.draws.push_back(std::move(draw));
    }
    if (result.draws.empty()) {
      DrawReadResult empty =
          refuse({std::max<int64_t>(lines.number(), 1), 0, "the file holds no draws"});
      empty.error->nothingYet = true;
      return empty;
    }
    return result;
  }

 private:
  // The first record sets the delimiter, and the layout when it is a header (or a header
  // commented out just above it names its columns).
  std::optional<TextError> FirstRecord(std::string_view line, int64_t lineNumber,
                                       std::string_view lastComment, bool& header) {
    delimiter_ = DelimiterOf(line);
    const std::vector<Field> fields = SplitFields(line, delimiter_);
    const auto numbers = std::count_if(fields.begin(), fields.end(), [](const Field& field) {
      return ParseWholeNumber(field.text) >= 0;
    });
    const auto words = std::count_if(fields.begin(), fields.end(), [](const Field& field) {
      return !field.text.empty() && ParseWholeNumber(field.text) < 0;
    });
    // A header commented out ("#,Date,Ball 1,...") still names the columns of the records
    // under it when it has as many fields as they have.
    if (static_cast<std::size_t>(numbers) >= m_ && options_.columns.empty() &&
        !lastComment.empty()) {
      const std::vector<Field> named = SplitFields(lastComment.substr(1), delimiter_);
      Layout commented = ReadHeader(named, m_, extras_);
      if (named.size() == fields.size() && commented.numberColumns.size() >= m_) {
        commented.numberColumns.resize(m_);
        layout_ = commented;
      }
    }
    // A header has a word in it; a line of too few numbers is a short draw, refused later.
    if (static_cast<std::size_t>(numbers) >= m_ || words == 0) return std::nullopt;
    header = true;
    Layout named = ReadHeader(fields, m_, extras_);
    if (options_.columns.empty()) {
      if (named.numberColumns.size() < m_) {
        return TextError{
            lineNumber, 0,
            Join({"the header names ",
                  Counted(static_cast<int64_t>(named.numberColumns.size()), "column", "columns"),
                  " of drawn numbers; a draw has ", std::to_string(m_)})};
      }
      named.numberColumns.resize(m_);
      layout_.numberColumns = named.numberColumns;
      layout_.extraColumns = named.extraColumns;
    }
    layout_.dateColumn = named.dateColumn;
    return std::nullopt;
  }

  std::optional<TextError> Record(std::string_view line, int64_t lineNumber, Draw& draw) {
    const std::vector<Field> fields = SplitFields(line, delimiter_);
    draw.line = lineNumber;
    if (layout_.dateColumn >= 0 && static_cast<std::size_t>(layout_.dateColumn) < fields.size())
      draw.label = Unquoted(fields[static_cast<std::size_t>(layout_.dateColumn)].text);
    seen_.reset();
    extraSeen_.reset();
    const auto fault = [lineNumber](const Field& field, std::string message) {
      return TextError{lineNumber, field.column, std::move(message)};
    };
    if (layout_.numberColumns.empty()) {
      // The draw's numbers; then, when the game has extra balls, the numbers that follow are
      // taken as its extras if they are that many and all fit the extra drum (what else a line
      // holds after a draw, a jackpot or a draw's serial number, is left alone as before).
      std::size_t at = 0;
      for (; at < fields.size() && draw.numbers.size() < m_; ++at) {
        const int64_t value = ParseWholeNumber(fields[at].text);
        if (value < 0) continue;
        if (auto why = Take(fields[at], value, draw)) return fault(fields[at], std::move(*why));
      }
      for (; at < fields.size() && draw.extras.size() < extras_; ++at) {
        const int64_t value = ParseWholeNumber(fields[at].text);
        if (value >= 0 && TakeExtra(fields[at], value, draw)) break;
      }
      if (draw.extras.size() < extras_) draw.extras.clear();
    } else {
      for (const int column : layout_.numberColumns) {
        if (column < 0 || static_cast<std::size_t>(column) >= fields.size()) break;
        const Field& field = fields[static_cast<std::size_t>(column)];
        const int64_t value = ParseWholeNumber(field.text);
        if (value < 0)
          return fault(field, Join({Quoted(field.text), " is not a whole decimal number"}));
        if (auto why = Take(field, value, draw)) return fault(field, std::move(*why));
      }
      for (const int column : layout_.extraColumns) {
        if (static_cast<std::size_t>(column) >= fields.size()) break;
        const Field& field = fields[static_cast<std::size_t>(column)];
        const int64_t value = ParseWholeNumber(field.text);
        if (value < 0) continue;  // an extra ball not published for this draw
        if (auto why = TakeExtra(field, value, draw)) return fault(field, std::move(*why));
      }
    }
    if (draw.numbers.size() < m_) {
      return TextError{
          lineNumber, 0,
          Join({"the line holds ",
                Counted(static_cast<int64_t>(draw.numbers.size()), "number", "numbers"),
                " of a draw; a draw has ", std::to_string(m_)})};
    }
    return std::nullopt;
  }

  // Takes a drawn number (or an extra ball) into the draw; why not, when it cannot be one.
  std::optional<std::string> Take(const Field& field, int64_t value, Draw& draw) {
    if (value < 1 || value > pool_)
      return Join({"number ", field.text, " is outside the pool 1..", std::to_string(pool_)});
    if (seen_[static_cast<std::size_t>(value)])
      return Join({"number ", field.text, " is repeated in this draw"});
    seen_.set(static_cast<std::size_t>(value));
    draw.numbers.push_back(static_cast<int16_t>(value));
    return std::nullopt;
  }
  std::optional<std::string> TakeExtra(const Field& field, int64_t value, Draw& draw) {
    if (value < 1 || value > extraPool_) {
      return Join(
          {"extra ball ", field.text, " is outside its drum 1..", std::to_string(extraPool_)});
    }
    if (extraSeen_[static_cast<std::size_t>(value)])
      return Join({"extra ball ", field.text, " is repeated in this draw"});
    extraSeen_.set(static_cast<std::size_t>(value));
    draw.extras.push_back(static_cast<int16_t>(value));
    return std::nullopt;
  }

  const DrawReadOptions& options_;
  const std::size_t m_;
  const std::size_t extras_;
  const int pool_;
  const int extraPool_;
  char delimiter_ = 0;
  Layout layout_;
  std::bitset<kMaxWheelNumber + 1> seen_;
  std::bitset<kMaxWheelNumber + 1> extraSeen_;
};

}  // namespace

DrawReadResult ReadDraws(std::string_view text, const DrawReadOptions& options) {
  return DrawReader(options).Read(text);
}

}  // namespace quirmel
