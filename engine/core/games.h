#pragma once

// The common lottery games: how many numbers the drum holds, how many are drawn, how many a
// ticket takes, and a second drum of extra balls where the game has one. Tools that take a game
// fill the pool, draw and row size from it; options given explicitly still win.

#include <array>
#include <string>
#include <string_view>

namespace quirmel {

struct Game {
  std::string_view name;  // as the player types it: "6/49", "5/50+2/12"
  int poolSize = 0;
  int drawSize = 0;
  int rowSize = 0;     // numbers a ticket takes from the main drum
  int extraPool = 0;   // the extra balls' own drum (EuroMillions' 12 stars); 0: none
  int extraDrawn = 0;  // extra balls drawn from it
};

inline constexpr std::array<Game, 8> kGames = {{
    {.name = "6/49", .poolSize = 49, .drawSize = 6, .rowSize = 6},
    {.name = "6/45", .poolSize = 45, .drawSize = 6, .rowSize = 6},
    {.name = "6/59", .poolSize = 59, .drawSize = 6, .rowSize = 6},
    {.name = "6/90", .poolSize = 90, .drawSize = 6, .rowSize = 6},
    {.name = "5/90", .poolSize = 90, .drawSize = 5, .rowSize = 5},
    {.name = "5/50+2/12",
     .poolSize = 50,
     .drawSize = 5,
     .rowSize = 5,
     .extraPool = 12,
     .extraDrawn = 2},
    {.name = "5/69+1/26",
     .poolSize = 69,
     .drawSize = 5,
     .rowSize = 5,
     .extraPool = 26,
     .extraDrawn = 1},
    {.name = "7/35", .poolSize = 35, .drawSize = 7, .rowSize = 7},
}};

// "custom" stands for no game: every size comes from its own option.
inline constexpr std::string_view kCustomGame = "custom";

// The game of that name, or nullptr (also for "custom").
inline const Game* FindGame(std::string_view name) {
  for (const Game& game : kGames) {
    if (game.name == name) return &game;
  }
  return nullptr;
}

// "6/49, 6/45, ..., custom": the names a game option takes.
inline std::string GameNames() {
  std::string names;
  for (const Game& game : kGames)
    names += std::string(game.name) + ", ";
  return names + std::string(kCustomGame);
}

}  // namespace quirmel
