// Drives the wheel-file and draw-file readers with arbitrary text; a wheel that reads is checked
// by both counting methods, which must agree.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine/engine.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

int64_t LineCount(std::string_view text) {
  int64_t lines = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
      ++lines;
  }
  return lines;
}

void CheckRefusal(const quirmel::TextError& error, std::string_view text) {
  Check(error.line >= 1 && error.line <= LineCount(text), "a refusal names a line of the file");
  Check(!error.message.empty(), "a refusal says why");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  const int options = bytes[0];
  const std::string_view text(reinterpret_cast<const char*>(bytes) + 1, size - 1);

  const quirmel::WheelReadResult read = quirmel::ReadWheel(text, {.zeroBased = (options & 1) != 0});
  if (read.error) {
    CheckRefusal(*read.error, text);
    Check(read.wheel.rowCount() == 0, "a refused wheel returns no rows");
  } else {
    const quirmel::AnyWheel& wheel = read.wheel;
    Check(quirmel::ReadWheel(quirmel::WriteWheel(wheel)).wheel == wheel,
          "a wheel reads back equal");
    const int pool = std::clamp(wheel.LargestNumber(), 1, 16);
    const int draw = 2 + (options >> 1) % 3;
    if (wheel.rowCount() <= 200) {
      quirmel::CheckRequest request{.wheel = wheel,
                                    .poolSize = pool,
                                    .drawSize = draw,
                                    .guarantee = 1 + (options >> 3) % draw,
                                    .threads = 1};
      request.method = quirmel::CheckMethod::RowSets;
      const quirmel::CheckResult rows = quirmel::CheckWheel(request);
      request.method = quirmel::CheckMethod::CountTables;
      const quirmel::CheckResult tables = quirmel::CheckWheel(request);
      Check(rows.levels == tables.levels, "both methods count the same");
      Check(rows.covered + rows.holes == rows.subsets, "every subset covered or a hole");
    }
  }

  const quirmel::DrawReadResult draws =
      quirmel::ReadDraws(text, {.poolSize = 1 + options % 99, .drawSize = 2 + (options >> 4) % 7});
  if (draws.error) {
    CheckRefusal(*draws.error, text);
  } else {
    for (const quirmel::Draw& draw : draws.draws) {
      Check(draw.numbers.size() == static_cast<std::size_t>(2 + (options >> 4) % 7),
            "a draw has m numbers");
      Check(draw.line >= 1 && draw.line <= LineCount(text), "a draw names its line");
    }
  }
  return 0;
}
