#include <array>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/input.h"
#include "engine/design/generation.h"
#include "engine/design/wheel_load.h"
#include "engine/files/wheel_file.h"
#include "engine/limits.h"

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

Command SetUpDevelop(CLI::App& program) {
  auto options = std::make_shared<DevelopOptions>();
  CLI::App* command =
      program.add_subcommand("develop", "Develop a key cyclically into a wheel and list it");
  command->add_option("--key", options->key, "3 to 6 numbers from 1 to 49, as 5,12,27,40")
      ->required()
      ->delimiter(',');
  command->add_option("--pool", options->pool, "The pool size N the key is developed over")
      ->required();
  command->add_option("--combinations", options->combinations, "How many rows (at most N)")
      ->required();
  command->add_option("-o,--output", options->output, "Write the wheel to this file");
  return {command, [options] { return Develop(*options); }};
}

}  // namespace quirmel::cli
