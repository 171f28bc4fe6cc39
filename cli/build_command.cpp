#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>

#include "cli/commands.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "cli/win_table_text.h"
#include "engine/book/book.h"
#include "engine/builder/builder.h"
#include "engine/builder/key_numbers.h"
#include "engine/check/win_table.h"
#include "engine/core/games.h"
#include "engine/core/subsets.h"
#include "engine/core/text_lines.h"
#include "engine/files/wheel_file.h"
#include "engine/limits.h"

namespace quirmel::cli {

namespace {

std::string Json(const BuildOptions& options, const BuildRequest& request,
                 const BuildResult& result, const std::vector<WinTableRow>& winTable) {
  std::vector<std::vector<int>> rows;
  for (std::size_t r = 0; r < result.wheel.rowCount(); ++r)
    rows.emplace_back(result.wheel.row(r).begin(), result.wheel.row(r).end());
  nlohmann::ordered_json json;
  json["rows"] = result.wheel.rowCount();
  if (FindGame(options.game)) json["game"] = options.game;
  json["pool"] = result.numbers;
  json["row_size"] = request.rowSize;
  json["guarantee"] = request.guarantee;
  json["draw"] = request.drawSize;
  json["covered"] = result.covered;
  json["stopped"] = result.stopped;
  json["lower_bound"] = result.lowerBound ? nlohmann::ordered_json(*result.lowerBound) : nullptr;
  json["method"] = result.method;
  json["threads"] = result.threads;
  json["moves"] = result.moves;
  json["seconds"] = result.seconds;
  json["first_cover_seconds"] = result.firstCover;
  json["best_seconds"] = result.bestAt;
  if (options.price) {
    json["price"] = *options.price;
    json["stake"] = *options.price * static_cast<double>(result.wheel.rowCount());
  }
  json["wheel"] = rows;
  if (!winTable.empty()) json["win_table"] = WinTableJson(winTable);
  return json.dump() + "\n";
}

// How the wheel was found: the method, the bound, the times and the pace of the search.
std::string Summary(const BuildResult& result) {
  std::ostringstream line;
  line.precision(3);
  line << "by " << result.method << "; lower bound "
       << (result.lowerBound ? std::to_string(*result.lowerBound) : "not known for m > t")
       << "; first cover " << result.firstCover << " s, this one " << result.bestAt << " s of "
       << result.seconds << " s; " << result.threads
       << (result.threads == 1 ? " search, " : " searches, ") << result.moves << " moves ("
       << static_cast<int64_t>(static_cast<double>(result.moves) / std::max(result.seconds, 1e-3) /
                               result.threads)
       << " a second each)";
  return line.str();
}

// "every 6-subset meets a row in at least 3 numbers", of the draws holding the key numbers if any.
std::string GuaranteeText(const BuildRequest& request) {
  std::string holding;
  if (!request.keyNumbers.empty()) {
    std::vector<int> keys = request.keyNumbers;
    std::sort(keys.begin(), keys.end());
    holding = " holding the key numbers " + TwoDigits(keys);
  }
  return "every " + std::to_string(request.drawSize) + "-subset" + holding +
         " meets a row in at least " + std::to_string(request.guarantee) + " numbers";
}

int64_t RowCount(const BuildResult& result) {
  return static_cast<int64_t>(result.wheel.rowCount());
}

// Whether the wheel is the book's or smaller than it; empty when the book has no such cell.
std::string BookNote(const BookEntry* book, const BuildResult& result) {
  if (!book || !result.covered) return "";
  if (result.method == kFromTheBook) return "from the book";
  if (static_cast<int>(result.wheel.rowCount()) < book->rows)
    return "smaller than the book's " + Counted(book->rows, "row", "rows");
  return "";
}

BuildRequest RequestOf(const BuildOptions& options) {
  return {.poolSize = options.pool.value_or(0),
          .numbers = options.numbers,
          .keyNumbers = options.keyNumbers,
          .rowSize = options.row,
          .guarantee = options.guarantee,
          .drawSize = options.draw.value_or(options.guarantee),
          .targetRows = options.rows,
          .seconds = options.seconds,
          .maxMoves = options.moves,
          .seed = options.seed,
          .threads = options.threads};
}

// What is written: the wheel with its win table, under a header of what it is.
std::string WheelText(const BuildOptions& options, const BuildRequest& request,
                      const BuildResult& result, const BookEntry* fromBook,
                      const std::vector<WinTableRow>& winTable) {
  if (options.format == "json") return Json(options, request, result, winTable);
  std::ostringstream header;
  if (result.covered) header << "# verified: " << GuaranteeText(request) << '\n';
  if (result.stopped) header << "# stopped: the best wheel when the search was stopped\n";
  if (const std::string book = BookNote(fromBook, result); !book.empty())
    header << "# " << book << '\n';
  if (FindGame(options.game)) header << "# game " << options.game << '\n';
  if (options.price) header << "# stake " << StakeText(RowCount(result), *options.price) << '\n';
  return header.str() + WriteWheel(result.wheel) + WinTableText(winTable, "# ");
}

// Says on standard error what the written wheel is, and returns the exit status that goes with it.
int Verdict(const BuildOptions& options, const BuildRequest& request, const BuildResult& result,
            const BookEntry* fromBook) {
  const int64_t rows = RowCount(result);
  if (result.stopped) {
    Complain("stopped: the best wheel has " + Counted(rows, "row", "rows") +
             (result.covered       ? ""
              : result.bestAt >= 0 ? ", a cover not yet confirmed by the final check"
                                   : ", not a cover"));
    return kInterrupted;
  }
  if (result.unchecked) {
    Complain(
        "the check of every draw did not end within the time limit: the wheel written is"
        " not verified (allow more --seconds)");
    return kHoles;
  }
  if (!result.covered) {
    Complain("the wheel written is not verified as a cover");
    return kHoles;
  }
  if (options.rows && !result.reachedTarget) {
    Complain("the time ran out before a cover of " + Counted(*options.rows, "row", "rows") +
             ": the best cover has " + Counted(rows, "row", "rows"));
    return kHoles;
  }
  std::string book = BookNote(fromBook, result);
  if (!book.empty()) book = ", " + book;
  const std::string game = FindGame(options.game) ? "game " + options.game + ": " : "";
  const std::string stake =
      options.price ? ", stake " + AmountText(*options.price * static_cast<double>(rows)) : "";
  std::cerr << game << "verified: " << GuaranteeText(request) << " ("
            << Counted(rows, "row", "rows") << (result.smallest ? ", the fewest possible" : "")
            << stake << book << ")\n"
            << Summary(result) << '\n';
  const int64_t counted =
      WinTableSubsets(static_cast<int>(result.numbers.size()), request.drawSize, request.guarantee);
  if (counted > kWinTableSubsets)
    std::cerr << "(no win table: " << counted << " subsets to count; quirmel-cli check --win-table"
              << " counts them)\n";
  return kDone;
}

}  // namespace

int Build(const BuildOptions& options) {
  if (!options.draw && options.guarantee < kMinDrawSize) {
    Complain("--guarantee " + std::to_string(options.guarantee) +
             ": give the numbers drawn as well (--draw M, " +
             RangeText(kMinDrawSize, kMaxDrawSize) + ")");
    return kInputError;
  }
  BuildRequest request = RequestOf(options);
  if (!Writable(options.output)) return kInputError;
  // The book's wheel for these numbers, when it holds one, is the answer at once; the search
  // then looks for a smaller one.
  const BookEntry* fromBook = StartFromBook(request);
  ProgressLine progress(true);
  StopSignals signals;
  request.progress = [&](const BuildProgress& now) {
    progress.Show(now.rows, now.cost, now.bestRows, options.seconds - now.seconds);
    return StopSignals::Requested();
  };
  BuildResult result;
  try {
    result = BuildWheel(request);
  } catch (const std::invalid_argument& error) {
    Complain(error.what());
    return kInputError;
  }
  progress.Finish();
  if (result.firstCover < 0 && !result.covered) {
    // Not even a first cover: nothing is written (an old file stays as it was).
    Complain(std::string(result.stopped ? "stopped" : "the time ran out") +
             " before a first cover: nothing written");
    return result.stopped ? kInterrupted : kHoles;
  }
  // The win table over the numbers the wheel is for, unless that takes long.
  const std::vector<WinTableRow> winTable = BuiltWinTable(request, result);
  if (!WriteOutput(options.output, WheelText(options, request, result, fromBook, winTable)))
    return kInputError;
  return Verdict(options, request, result, fromBook);
}

Command SetUpBuild(CLI::App& program) {
  auto options = std::make_shared<BuildOptions>();
  CLI::App* command = program.add_subcommand(
      "build", "Build a small wheel for a guarantee: every M-subset meets a row in T numbers");
  const PoolOptions given = AddPoolOrNumbers(command, options->pool, options->numbers);
  CLI::Option* pool = given.pool;
  CLI::Option* numbers = given.numbers;
  CLI::Option* row = command->add_option("--row", options->row, "Numbers in a row, K")
                         ->check(CLI::Range(2, kMaxRowLength));
  command->add_option("--guarantee", options->guarantee, "Numbers met, T")
      ->required()
      ->check(CLI::Range(1, kMaxDrawSize));
  CLI::Option* draw = command->add_option("--draw", options->draw, "Numbers drawn, M (default: T)")
                          ->check(CLI::Range(kMinDrawSize, kMaxDrawSize));
  AddGame(command, options->game);
  command->add_option("--key-numbers", options->keyNumbers, "Numbers every row holds, as 7,12")
      ->delimiter(',')
      ->check(CLI::Range(1, kMaxWheelNumber));
  command->add_option("--rows", options->rows, "Stop at a cover of at most R rows")
      ->check(CLI::Range(1, static_cast<int>(kMaxWheelRows)));
  command->add_option("--seconds", options->seconds, "Time limit, at most a week")
      ->capture_default_str()
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            char* end = nullptr;
            const double seconds = std::strtod(text.c_str(), &end);
            if (end != text.c_str() + text.size() || !(seconds > 0 && seconds <= kMaxBuildSeconds))
              return "the time limit is more than 0 and at most " +
                     GroupedText(static_cast<int64_t>(kMaxBuildSeconds)) + " seconds (a week)";
            return "";
          },
          "SECONDS"));
  command->add_option("--seed", options->seed, "Seed of the random search")->capture_default_str();
  command->add_option("--threads", options->threads, "Independent searches (0: one per core)")
      ->capture_default_str()
      ->check(CLI::Range(0, kMaxBuildThreads));
  command->add_option("--moves", options->moves, "Moves per search, for a repeatable run")
      ->capture_default_str()
      ->check(CLI::Range(int64_t{0}, std::numeric_limits<int64_t>::max()));
  AddPrice(command, options->price);
  command->add_option("-o,--output", options->output, "Write the wheel to this file");
  command->add_option("--format", options->format, "text or json")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "json"}));
  return {command, [options, pool, numbers, row, draw] {
            if (const Game* game = FindGame(options->game)) {
              if (pool->count() + numbers->count() == 0) options->pool = game->poolSize;
              if (row->count() == 0) options->row = game->rowSize;
              if (draw->count() == 0) options->draw = game->drawSize;
            } else if (row->count() == 0) {
              Complain("build: give the numbers in a row (--row K) or the game (--game NAME)");
              return kInputError;
            }
            if (pool->count() == 0 && numbers->count() == 0 && !options->pool) {
              Complain("build: give the pool (--pool N) or the player's numbers (--numbers LIST)");
              return kInputError;
            }
            return Build(*options);
          }};
}

}  // namespace quirmel::cli
