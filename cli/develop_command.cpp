#include <array>
#include <iostream>

#include "cli/commands.h"
#include "cli/input.h"
#include "engine/design/generation.h"
#include "engine/files/wheel_file.h"
#include "engine/files/wheel_load.h"

namespace quirmel::cli {

int Develop(const DevelopOptions& options) {
  if (options.key.size() > 6) {
    Complain("a key has at most 6 numbers");
    return kInputError;
  }
  std::array<std::string, 6> keys;
  std::copy(options.key.begin(), options.key.end(), keys.begin());
  WheelState state;
  const GenerationResult result = GenerateWheel(state, keys, options.pool, options.combinations);
  if (!result.succeeded) {
    Complain(result.message);
    return kInputError;
  }
  if (options.output.empty() || options.output == "-") {
    std::string listing = result.listing;  // the listing's CR LF line ends become LF
    std::erase(listing, '\r');
    std::cout << listing;
    return kDone;
  }
  // A file gets the wheel itself (every number, those of 50 and above too), and only a wheel
  // that can be read back: a development may repeat a number in a row (key 11 1 5 over 10).
  const std::string wheel = WriteWheel(StateWheel(state));
  const WheelReadResult reread = ReadWheel(wheel, {.pool = state.poolSize});
  if (reread.error) {
    Complain("the developed wheel cannot be written as a wheel file: row " +
             std::to_string(reread.error->line) + ": " + reread.error->message);
    return kInputError;
  }
  return WriteOutput(options.output, wheel) ? kDone : kInputError;
}

}  // namespace quirmel::cli
