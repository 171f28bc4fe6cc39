#include "engine/core/text_error.h"

#include <cstdio>
#include <new>

namespace quirmel {

std::string Describe(const TextError& error, const std::string& name) {
  std::string where = name;
  where += ':';
  where += std::to_string(error.line);
  if (error.column > 0) {
    where += ':';
    where += std::to_string(error.column);
  }
  where += ": ";
  where += error.message;
  return where;
}

std::string EscapeControls(const std::string& message) {
  std::string shown;
  for (const char c : message) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      shown += c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
    shown += escaped;
  }
  return shown;
}

std::string EncodingHint(std::string_view text) {
  constexpr std::size_t kLooked = 4096;
  const std::string_view head = text.substr(0, kLooked);
  const bool byteOrderMark = head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF");
  std::size_t evenZeros = 0;  // UTF-16 text of digits and blanks has a zero in every other byte
  std::size_t oddZeros = 0;
  std::size_t controls = 0;
  for (std::size_t i = 0; i < head.size(); ++i) {
    const auto byte = static_cast<unsigned char>(head[i]);
    if (byte == 0) ++(i % 2 == 0 ? evenZeros : oddZeros);
    if (byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t') ++controls;
  }
  const std::size_t half = head.size() / 2;
  const auto most = [half](std::size_t zeros) { return zeros * 10 >= half * 9; };
  const auto few = [half](std::size_t zeros) { return zeros * 10 <= half; };
  if (byteOrderMark ||
      (half > 0 && ((most(evenZeros) && few(oddZeros)) || (most(oddZeros) && few(evenZeros)))))
    return " (the file looks like UTF-16 text: save it as UTF-8)";
  if (controls * 20 > head.size()) return " (the file looks binary, not text)";
  return {};
}

std::string FailureText(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr)
    return "not enough memory for this request on this machine";
  return error.what();
}

}  // namespace quirmel
