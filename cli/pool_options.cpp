#include "cli/commands.h"
#include "engine/limits.h"

namespace quirmel::cli {

PoolOptions AddPoolOrNumbers(CLI::App* command, std::optional<int>& pool,
                             std::vector<int>& numbers) {
  PoolOptions added;
  added.pool =
      command->add_option("--pool", pool, "The pool 1..N")->check(CLI::Range(1, kMaxWheelNumber));
  added.numbers = command->add_option("--numbers", numbers, "The player's own numbers, as 3,7,12")
                      ->delimiter(',')
                      ->check(CLI::Range(1, kMaxWheelNumber))
                      ->excludes(added.pool);
  return added;
}

}  // namespace quirmel::cli
