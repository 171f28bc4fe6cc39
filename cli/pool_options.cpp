#include "cli/commands.h"
#include "engine/core/games.h"
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

CLI::Option* AddGame(CLI::App* command, std::string& game) {
  std::vector<std::string> names{std::string(kCustomGame)};
  for (const Game& each : kGames)
    names.emplace_back(each.name);
  return command
      ->add_option("--game", game,
                   "A common game (" + GameNames() + "): its pool, draw and row size")
      ->check(CLI::IsMember(names));
}

}  // namespace quirmel::cli
