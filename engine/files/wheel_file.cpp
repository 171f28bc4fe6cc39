#include "engine/files/wheel_file.h"

#include <algorithm>
#include <array>
#include <bitset>

#include "engine/core/text_lines.h"

namespace quirmel {

namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '-' || c == '\v' || c == '\f';
}

// The number a token stands for, or the reason it stands for none.
std::string NumberFault(std::string_view token, int64_t value, bool zeroBased) {
  if (value < 0) return Join({Quoted(token), " is not a whole decimal number"});
  const int64_t shown = zeroBased ? value - 1 : value;
  const std::string range =
      zeroBased ? RangeText(0, kMaxWheelNumber - 1) : RangeText(1, kMaxWheelNumber);
  std::string message = Join(
      {"number ", token.size() > 9 ? Quoted(token) : std::to_string(shown), " is outside ", range});
  if (!zeroBased && value == 0) message += " (for a wheel numbered from 0, read it as zero-based)";
  return message;
}

using SeenNumbers = std::bitset<kMaxWheelNumber + 1>;

// Why `token` (read as `value`) cannot be the next number of a row that holds `seen`, `length`
// numbers so far; empty when it can.
std::string RowNumberFault(std::string_view token, int64_t value, const WheelReadOptions& options,
                           const SeenNumbers& seen, std::size_t length) {
  if (value < 1 || value > kMaxWheelNumber) return NumberFault(token, value, options.zeroBased);
  if (value > options.pool)
    return Join({"number ", token, " is above the pool 1..", std::to_string(options.pool)});
  if (!options.only.empty() && !std::binary_search(options.only.begin(), options.only.end(), value))
    return Join({"number ", token, " is not among the numbers checked"});
  if (seen[static_cast<std::size_t>(value)])
    return Join({"number ", token, " is repeated in this row"});
  if (length == kMaxRowLength)
    return Join({"a row holds at most ", std::to_string(kMaxRowLength), " numbers"});
  return {};
}

}  // namespace

WheelReadResult ReadWheel(std::string_view text, const WheelReadOptions& options) {
  WheelReadResult result;
  const auto refuse = [&result](int64_t line, int64_t column, std::string message) {
    result.wheel = {};
    result.lines.clear();
    result.error = TextError{line, column, std::move(message)};
    return std::move(result);
  };
  TextLines lines(text);
  std::string_view line;
  while (lines.Next(line)) {
    std::array<uint8_t, kMaxRowLength> row{};
    std::size_t length = 0;
    SeenNumbers seen;
    std::size_t at = 0;
    while (at < line.size() && IsSeparator(line[at]))
      ++at;
    if (at < line.size() && line[at] == '#') continue;  // a comment
    while (at < line.size()) {
      std::size_t end = at;
      while (end < line.size() && !IsSeparator(line[end]))
        ++end;
      const std::string_view token = line.substr(at, end - at);
      const int64_t column = static_cast<int64_t>(at) + 1;
      int64_t value = ParseWholeNumber(token);
      if (value >= 0 && options.zeroBased) ++value;
      if (std::string fault = RowNumberFault(token, value, options, seen, length); !fault.empty())
        return refuse(lines.number(), column, std::move(fault));
      seen.set(static_cast<std::size_t>(value));
      row[length++] = static_cast<uint8_t>(value);
      at = end;
      while (at < line.size() && IsSeparator(line[at]))
        ++at;
    }
    if (length == 0) continue;  // a blank line
    if (result.wheel.rowCount() == kMaxWheelRows) {
      return refuse(lines.number(), 0,
                    "a wheel holds at most " + GroupedText(kMaxWheelRows) + " rows");
    }
    result.wheel.AddRow({row.data(), length});
    result.lines.push_back(lines.number());
  }
  if (result.wheel.rowCount() == 0) {
    WheelReadResult empty =
        refuse(std::max<int64_t>(lines.number(), 1), 0, "the wheel holds no rows");
    empty.error->nothingYet = true;
    return empty;
  }
  return result;
}

std::string WriteWheel(const AnyWheel& wheel) {
  std::string text;
  text.reserve(wheel.numbers.size() * 3);
  for (std::size_t r = 0; r < wheel.rowCount(); ++r)
    text += TwoDigits(wheel.row(r)) + '\n';
  return text;
}

std::optional<TextError> WheelFileRefusal(const AnyWheel& wheel, const WheelReadOptions& options) {
  return ReadWheel(WriteWheel(wheel), options).error;
}

}  // namespace quirmel
