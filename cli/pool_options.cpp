#include <cstdlib>

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

CLI::Option* AddPrice(CLI::App* command, std::optional<double>& price) {
  return command
      ->add_option("--price", price,
                   "Price of one ticket, for the stake (more than 0, at most " +
                       AmountText(kMaxTicketPrice) + ")")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (end != text.c_str() + text.size() || !(value > 0 && value <= kMaxTicketPrice))
              return "a ticket's price is more than 0 and at most " + AmountText(kMaxTicketPrice);
            return "";
          },
          "PRICE"));
}

}  // namespace quirmel::cli
