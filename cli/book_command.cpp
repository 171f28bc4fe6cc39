#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <numeric>
#include <sstream>

#include "cli/commands.h"
#include "cli/input.h"
#include "cli/win_table_text.h"
#include "engine/book/book.h"
#include "engine/check/check.h"
#include "engine/check/win_table.h"
#include "engine/core/games.h"
#include "engine/core/subsets.h"
#include "engine/files/wheel_file.h"
#include "engine/limits.h"

namespace quirmel::cli {

namespace {

std::string Optional(const auto& value) {
  return value ? std::to_string(*value) : "-";
}

nlohmann::ordered_json Figures(const BookEntry& entry, std::optional<double> price) {
  nlohmann::ordered_json json;
  json["row_size"] = entry.cell.rowSize;
  json["guarantee"] = entry.cell.guarantee;
  json["draw"] = entry.cell.drawSize;
  json["pool_size"] = entry.cell.poolSize;
  json["rows"] = entry.rows;
  json["best_published"] =
      entry.bestPublished ? nlohmann::ordered_json(*entry.bestPublished) : nullptr;
  json["lower_bound"] = entry.lowerBound ? nlohmann::ordered_json(*entry.lowerBound) : nullptr;
  json["made_by"] = entry.madeBy;
  if (price) json["stake"] = *price * entry.rows;
  return json;
}

int List(const BookOptions& options) {
  if (options.format == "json") {
    nlohmann::ordered_json cells = nlohmann::ordered_json::array();
    for (const BookEntry& entry : BookEntries())
      cells.push_back(Figures(entry, options.price));
    std::cout << cells.dump() << '\n';
    return kDone;
  }
  std::ostringstream text;
  text << "row  guarantee  pool   rows  published  bound" << (options.price ? "  stake\n" : "\n");
  char line[96];
  for (const BookEntry& entry : BookEntries()) {
    const BookCell& cell = entry.cell;
    std::snprintf(line, sizeof line, "%3d  %3d if %d   %4d  %5d  %9s  %5s", cell.rowSize,
                  cell.guarantee, cell.drawSize, cell.poolSize, entry.rows,
                  Optional(entry.bestPublished).c_str(), Optional(entry.lowerBound).c_str());
    text << line;
    if (options.price) text << "  " << AmountText(*options.price * entry.rows);
    text << '\n';
  }
  std::cout << text.str();
  return kDone;
}

// Every wheel of the book checked: its recorded size, its row length, and its guarantee over its
// pool by the general check.
int Verify() {
  int failed = 0;
  for (const BookEntry& entry : BookEntries()) {
    const BookCell& cell = entry.cell;
    const std::optional<AnyWheel> wheel = BookWheel(cell);
    std::string fault;
    if (!wheel) {
      fault = "its wheel file is missing or cannot be read";
    } else if (static_cast<int>(wheel->rowCount()) != entry.rows) {
      fault = "it has " + std::to_string(wheel->rowCount()) + " rows, the index says " +
              std::to_string(entry.rows);
    } else if (wheel->LongestRow() != cell.rowSize) {
      fault = "its rows are not rows of " + std::to_string(cell.rowSize);
    } else {
      const CheckResult result = CheckWheel({.wheel = *wheel,
                                             .poolSize = cell.poolSize,
                                             .drawSize = cell.drawSize,
                                             .guarantee = cell.guarantee});
      if (result.holes != 0) fault = std::to_string(result.holes) + " draws are not met";
    }
    if (!fault.empty()) {
      ++failed;
      Complain("book: rows of " + std::to_string(cell.rowSize) + ", " +
               std::to_string(cell.guarantee) + " if " + std::to_string(cell.drawSize) + " on " +
               std::to_string(cell.poolSize) + " numbers: " + fault);
    }
  }
  std::cout << BookEntries().size() - static_cast<std::size_t>(failed) << " of "
            << BookEntries().size() << " wheels of the book verified\n";
  return failed == 0 ? kDone : kHoles;
}

int Answer(const BookOptions& options) {
  std::vector<int> given = options.numbers;
  std::sort(given.begin(), given.end());
  if (const auto twice = std::adjacent_find(given.begin(), given.end()); twice != given.end()) {
    Complain("--numbers: " + std::to_string(*twice) + " is given twice");
    return kInputError;
  }
  const int draw = options.draw.value_or(options.guarantee);
  const std::optional<BookAnswer> answer = LookUpBook({.poolSize = options.pool.value_or(0),
                                                       .numbers = options.numbers,
                                                       .rowSize = options.row,
                                                       .guarantee = options.guarantee,
                                                       .drawSize = draw});
  if (!answer) {
    Complain(NotInBookText({.rowSize = options.row,
                            .guarantee = options.guarantee,
                            .drawSize = draw,
                            .poolSize = options.pool.value_or(static_cast<int>(given.size()))}));
    return kInputError;
  }
  const BookEntry* entry = answer->entry;
  const BookCell& cell = entry->cell;
  const std::vector<int>& numbers = answer->numbers;
  const AnyWheel& wheel = answer->wheel;
  if (!Writable(options.output)) return kInputError;
  const std::vector<WinTableRow> winTable = WinTableWithin(wheel, numbers, draw, cell.guarantee);

  std::string text;
  if (options.format == "json") {
    nlohmann::ordered_json json = Figures(*entry, options.price);
    if (FindGame(options.game)) json["game"] = options.game;
    json["pool"] = numbers;
    std::vector<std::vector<int>> rows;
    for (std::size_t r = 0; r < wheel.rowCount(); ++r)
      rows.emplace_back(wheel.row(r).begin(), wheel.row(r).end());
    json["wheel"] = rows;
    if (!winTable.empty()) json["win_table"] = WinTableJson(winTable);
    text = json.dump() + "\n";
  } else {
    text = "# from the book: every " + std::to_string(draw) + "-subset meets a row in at least " +
           std::to_string(cell.guarantee) + " numbers (" + std::to_string(entry->rows) +
           " rows; best published " + Optional(entry->bestPublished) + ")\n" + WriteWheel(wheel) +
           WinTableText(winTable, "# ");
    if (options.price) text = "# stake " + StakeText(entry->rows, *options.price) + "\n" + text;
    if (FindGame(options.game)) text = "# game " + options.game + "\n" + text;
  }
  return WriteOutput(options.output, text) ? kDone : kInputError;
}

}  // namespace

int Book(const BookOptions& options) {
  if (options.verify) return Verify();
  if (!options.pool && options.numbers.empty()) return List(options);
  return Answer(options);
}

Command SetUpBook(CLI::App& program) {
  auto options = std::make_shared<BookOptions>();
  CLI::App* command = program.add_subcommand(
      "book",
      "The wheel book: its cells, or the wheel of one cell at once on the player's numbers");
  const PoolOptions given = AddPoolOrNumbers(command, options->pool, options->numbers);
  CLI::Option* pool = given.pool;
  CLI::Option* numbers = given.numbers;
  CLI::Option* row = command->add_option("--row", options->row, "Numbers in a row, K")
                         ->capture_default_str()
                         ->check(CLI::Range(2, kMaxRowLength));
  CLI::Option* guarantee = command->add_option("--guarantee", options->guarantee, "Numbers met, T")
                               ->check(CLI::Range(1, kMaxDrawSize));
  CLI::Option* draw = command->add_option("--draw", options->draw, "Numbers drawn, M (default: T)")
                          ->check(CLI::Range(kMinDrawSize, kMaxDrawSize));
  CLI::Option* output =
      command->add_option("-o,--output", options->output, "Write the wheel to this file");
  command->add_option("--format", options->format, "text or json")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "json"}));
  CLI::Option* game = AddGame(command, options->game);
  CLI::Option* price = AddPrice(command, options->price);
  CLI::Option* verify =
      command->add_flag("--verify", options->verify, "Check every wheel of the book");
  for (CLI::Option* cellOption : {pool, numbers, row, guarantee, draw, output, game, price})
    verify->excludes(cellOption);
  return {command, [options, pool, numbers, guarantee, row, draw, output, game] {
            if (const Game* chosen = FindGame(options->game)) {
              if (pool->count() + numbers->count() == 0) options->pool = chosen->poolSize;
              if (row->count() == 0) options->row = chosen->rowSize;
              if (draw->count() == 0) options->draw = chosen->drawSize;
            }
            const bool cellGiven = pool->count() + numbers->count() + game->count() > 0;
            const bool partsGiven =
                guarantee->count() + row->count() + draw->count() + output->count() > 0;
            if (!cellGiven && partsGiven) {
              Complain("book: give the pool (--pool N) or the player's numbers (--numbers LIST)");
              return kInputError;
            }
            if (cellGiven && guarantee->count() == 0) {
              Complain("book: give the guarantee (--guarantee T, and --draw M for \"T if M\")");
              return kInputError;
            }
            return Book(*options);
          }};
}

}  // namespace quirmel::cli
