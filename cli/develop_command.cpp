#include <iostream>
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "cli/input.h"
#include "engine/design/development.h"
#include "engine/files/wheel_file.h"
#include "engine/limits.h"

namespace quirmel::cli {

namespace {

constexpr std::size_t kLeastKey = 3;

}  // namespace

int Develop(const DevelopOptions& options) {
  if (options.key.size() < kLeastKey || options.key.size() > kWindowRowLength) {
    Complain("--key: a key has " + std::to_string(kLeastKey) + " to " +
             std::to_string(kWindowRowLength) + " numbers, not " +
             std::to_string(options.key.size()));
    return kInputError;
  }
  if (options.combinations > options.pool) {
    Complain("--combinations: at most the pool size, " + std::to_string(options.pool));
    return kInputError;
  }
  const std::vector<int16_t> key(options.key.begin(), options.key.end());
  const Wheel wheel = DevelopKey(key, static_cast<int16_t>(options.pool),
                                 static_cast<int16_t>(options.combinations));
  if (options.output.empty() || options.output == "-") {
    std::cout << DevelopedListing(wheel, "\n");
    return kDone;
  }
  // A file gets only a wheel that can be read back: a development may repeat a number in a row
  // (key 11 1 5 over 10).
  // Every number, those of 50 and above too.
  const AnyWheel any = RowsOf(wheel, wheel.rows(), wheel.positions());
  if (const auto refusal = WheelFileRefusal(any, {.pool = options.pool})) {
    Complain("the developed wheel cannot be written as a wheel file: row " +
             std::to_string(refusal->line) + ": " + refusal->message);
    return kInputError;
  }
  return WriteOutput(options.output, WriteWheel(any)) ? kDone : kInputError;
}

Command SetUpDevelop(CLI::App& program) {
  auto options = std::make_shared<DevelopOptions>();
  CLI::App* command =
      program.add_subcommand("develop", "Develop a key cyclically into a wheel and list it");
  command
      ->add_option("--key", options->key,
                   "3 to 6 numbers from 1 to " + std::to_string(kMaxKeyNumber) + ", as 5,12,27,40")
      ->required()
      ->delimiter(',')
      ->check(CLI::Range(1, static_cast<int>(kMaxKeyNumber)));
  command->add_option("--pool", options->pool, "The pool size N the key is developed over")
      ->required()
      ->check(CLI::Range(1, static_cast<int>(kMaxPoolSize)));
  command->add_option("--combinations", options->combinations, "How many rows (at most N)")
      ->required()
      ->check(CLI::Range(1, static_cast<int>(kMaxPoolSize)));
  command->add_option("-o,--output", options->output, "Write the wheel to this file");
  return {command, [options] { return Develop(*options); }};
}

}  // namespace quirmel::cli
