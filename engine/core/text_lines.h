#pragma once

// Walks a text line by line: a UTF-8 byte-order mark is skipped, LF, CR LF and a lone CR end a
// line, and the last line needs no line end.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quirmel {

class TextLines {
 public:
  explicit TextLines(std::string_view text) : rest_(text) {
    if (rest_.starts_with("\xEF\xBB\xBF")) rest_.remove_prefix(3);
  }

  // The next line without its line end; false after the last.
  bool Next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t end = rest_.find_first_of("\r\n");
    line = rest_.substr(0, end);
    if (end == std::string_view::npos) {
      rest_ = {};
    } else {
      const bool crlf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
      rest_.remove_prefix(end + (crlf ? 2 : 1));
    }
    ++number_;
    return true;
  }

  int64_t number() const { return number_; }  // of the line Next returned last, from 1

 private:
  std::string_view rest_;
  int64_t number_ = 0;
};

// A whole decimal number of at most 18 digits, or -1 (also for an empty text).
inline int64_t ParseWholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 18) return -1;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The parts one after another: messages are built from pieces of the text that was read.
inline std::string Join(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts)
    joined += part;
  return joined;
}

// Numbers of 0..99 as the listings show them: two digits each, blank-separated ("03 09 17").
template <typename Numbers>
std::string TwoDigits(const Numbers& numbers) {
  std::string text;
  for (const auto number : numbers) {
    if (!text.empty()) text += ' ';
    text += static_cast<char>('0' + number / 10);
    text += static_cast<char>('0' + number % 10);
  }
  return text;
}

// "1 row", "5 rows": a count and its noun, singular for one.
inline std::string Counted(int64_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}

// The start of a token as a message shows it, in single quotes.
inline std::string Quoted(std::string_view token) {
  constexpr std::size_t kShown = 20;
  if (token.size() > kShown) return Join({"'", token.substr(0, kShown), "...'"});
  return Join({"'", token, "'"});
}

}  // namespace quirmel
