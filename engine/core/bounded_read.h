#pragma once

// Reading a wheel file or a draw history from wherever it comes (a file, standard input, the
// window's file), in blocks and within the input limits, so that an endless or binary input
// costs little: one reader, whatever the source.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/core/text_error.h"

namespace quirmel {

// Fills `buffer` with up to `size` bytes; how many, 0 at the end, -1 when the source failed.
using ByteSource = std::function<int64_t(char* buffer, std::size_t size)>;

// Says why the text read so far (up to its last complete line) is refused already, if it is.
using EarlyRefusal = std::function<std::optional<TextError>(std::string_view text)>;

enum class ReadEnd {
  Whole,    // the text is all there
  Refused,  // larger than kMaxInputBytes, a line longer than kMaxLineBytes, or refused early
  Failed,   // the source failed (the caller knows why)
  Stopped,  // `stopped` said so between two blocks
};

struct BoundedText {
  ReadEnd end = ReadEnd::Whole;
  std::string text;                  // what was read
  std::optional<TextError> refusal;  // when refused: where and why
};

// Reads the source to its end. `refused` is asked each time the text has doubled (from 1 MiB).
BoundedText ReadBounded(const ByteSource& source, const EarlyRefusal& refused = {},
                        const std::function<bool()>& stopped = {});

// The refusal of a text larger than kMaxInputBytes, for a reader that knows the size first.
TextError TooLargeError();

}  // namespace quirmel
