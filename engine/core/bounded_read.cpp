#include "engine/core/bounded_read.h"

#include <vector>

#include "engine/limits.h"

namespace quirmel {

TextError TooLargeError() {
  return {1, 0,
          "the file is larger than " + GroupedText(static_cast<int64_t>(kMaxInputBytes)) +
              " bytes, more than any wheel or history"};
}

BoundedText ReadBounded(const ByteSource& source, const EarlyRefusal& refused,
                        const std::function<bool()>& stopped) {
  BoundedText read;
  const auto refuse = [&read](TextError fault) {
    read.end = ReadEnd::Refused;
    read.refusal = std::move(fault);
    return std::move(read);
  };
  std::string& text = read.text;
  int64_t line = 1;
  std::size_t lineStart = 0;       // where the current line starts in `text`
  std::size_t nextLook = 1 << 20;  // when `refused` looks again
  std::vector<char> block(1 << 16);
  for (;;) {
    const int64_t got = source(block.data(), block.size());
    if (stopped && stopped()) {
      read.end = ReadEnd::Stopped;
      return read;
    }
    if (got < 0) {
      read.end = ReadEnd::Failed;
      return read;
    }
    if (got == 0) return read;
    const std::size_t from = text.size();
    if (from + static_cast<std::size_t>(got) > kMaxInputBytes) {
      TextError tooLarge = TooLargeError();
      tooLarge.line = line;
      return refuse(std::move(tooLarge));
    }
    text.append(block.data(), static_cast<std::size_t>(got));
    for (std::size_t at = from; at < text.size(); ++at) {
      if (text[at] != '\n') continue;
      ++line;
      lineStart = at + 1;
    }
    if (text.size() - lineStart > kMaxLineBytes) {
      return refuse({line, static_cast<int64_t>(kMaxLineBytes) + 1,
                     "the line is longer than " + GroupedText(static_cast<int64_t>(kMaxLineBytes)) +
                         " bytes (is this a text file?)"});
    }
    if (refused && text.size() >= nextLook) {
      nextLook = text.size() * 2;
      if (auto fault = refused(std::string_view(text).substr(0, lineStart)))
        return refuse(std::move(*fault));
    }
  }
}

}  // namespace quirmel
