#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "cli/win_table_text.h"
#include "engine/check/check.h"
#include "engine/check/win_table.h"
#include "engine/core/funzioni.h"
#include "engine/core/games.h"
#include "engine/core/text_lines.h"
#include "engine/design/report.h"
#include "engine/limits.h"

namespace quirmel::cli {

namespace {

const NumberFormat kPlain;  // "," groups digits, "." separates decimals

std::string Percent(int64_t part, int64_t whole) {
  return FormatPercent(ShownShare(part, whole), kPlain);
}

// The design's report extended to every level that occurs, then the guarantee, its holes and the
// rows no subset needs.
void WriteText(const CheckResult& result, int draw) {
  std::cout << ReportHeaderLine(draw, result.subsets, kPlain) << '\n';
  for (int level = draw; level >= 0; --level) {
    const auto& matches = result.levels[static_cast<std::size_t>(level)];
    if (matches.empty()) continue;
    std::cout << ReportLevelLine(level, matches.begin()->first, matches.rbegin()->first,
                                 Percent(result.SubsetsAt(level), result.examined))
              << '\n';
  }
  if (result.guarantee) {
    std::cout << "------------------- Covered at " << *result.guarantee << ": "
              << Percent(result.covered, result.examined) << '\n'
              << "Holes: " << FormatLargeCount(result.holes, kPlain) << '\n';
    for (const auto& hole : result.holeList)
      std::cout << TwoDigits(hole) << '\n';
  }
  if (!result.necessity.empty()) {
    std::cout << "Rows no subset needs (each removable on its own):";
    bool any = false;
    for (std::size_t row = 0; row < result.necessity.size(); ++row) {
      if (result.necessity[row] != 0) continue;
      std::cout << ' ' << row + 1;
      any = true;
    }
    std::cout << (any ? "\n" : " none\n");
  }
  if (result.stopped) {
    std::cout << "Stopped after " << FormatLargeCount(result.examined, kPlain) << " of "
              << FormatLargeCount(result.subsets, kPlain) << " subsets\n";
  }
}

std::vector<int> OneTo(int n) {
  std::vector<int> numbers;
  for (int v = 1; v <= n; ++v)
    numbers.push_back(v);
  return numbers;
}

void WriteJson(const CheckResult& result, const CheckRequest& request, std::size_t rows,
               const std::vector<int>& numbers, const std::vector<WinTableRow>& winTable) {
  nlohmann::ordered_json json;
  json["pool"] = request.poolSize;
  if (!numbers.empty()) json["numbers"] = numbers;
  json["draw"] = request.drawSize;
  json["rows"] = rows;
  json["subsets"] = result.subsets;
  json["examined"] = result.examined;
  json["stopped"] = result.stopped;
  nlohmann::ordered_json levels = nlohmann::ordered_json::object();
  for (int level = request.drawSize; level >= 0; --level) {
    const auto& matches = result.levels[static_cast<std::size_t>(level)];
    if (matches.empty()) continue;
    nlohmann::ordered_json counts = nlohmann::ordered_json::object();
    for (const auto& [count, subsets] : matches)
      counts[std::to_string(count)] = subsets;
    levels[std::to_string(level)] = {{"subsets", result.SubsetsAt(level)}, {"rows", counts}};
  }
  json["levels"] = levels;
  if (result.guarantee) {
    json["guarantee"] = *result.guarantee;
    json["covered"] = result.covered;
    json["holes"] = result.holes;
  }
  nlohmann::ordered_json rest = nlohmann::ordered_json::object();
  if (request.necessity) rest["necessity"] = result.necessity;
  if (!winTable.empty()) rest["win_table"] = WinTableJson(winTable);
  // The hole list (up to a million holes) is written as it goes, between the two objects' fields.
  std::string head = json.dump();
  head.pop_back();  // its closing brace
  std::cout << head;
  if (result.guarantee) {
    std::cout << ",\"hole_list\":[";
    for (std::size_t i = 0; i < result.holeList.size(); ++i) {
      std::string hole = i == 0 ? "[" : ",[";
      for (std::size_t j = 0; j < result.holeList[i].size(); ++j) {
        if (j > 0) hole += ',';
        hole += std::to_string(result.holeList[i][j]);
      }
      std::cout << hole << ']';
    }
    std::cout << ']';
  }
  const std::string tail = rest.dump();
  std::cout << (tail.size() > 2 ? "," + tail.substr(1) : "}") << '\n';
}

}  // namespace

int Check(const CheckOptions& options) {
  std::vector<int> numbers = options.numbers;
  std::sort(numbers.begin(), numbers.end());
  if (std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end()) {
    Complain("--numbers: a number is given twice");
    return kInputError;
  }
  StopSignals signals;  // a signal while reading stops too
  const std::optional<AnyWheel> read =
      ReadWheelFile(options.wheel, {.zeroBased = options.zeroBased,
                                    .pool = options.pool.value_or(kMaxWheelNumber),
                                    .only = numbers});
  if (!read) return StopSignals::Requested() ? kInterrupted : kInputError;
  const int pool = numbers.empty() ? options.pool.value_or(read->LargestNumber())
                                   : static_cast<int>(numbers.size());
  if (pool < options.draw) {
    Complain("--draw: a draw of " + std::to_string(options.draw) + " from " + std::to_string(pool) +
             " numbers is not possible");
    return kInputError;
  }
  ProgressLine progress(!options.quiet);
  const CheckProgress hook = [&progress](int64_t examined, int64_t total) {
    progress.Show(examined, total);
    return StopSignals::Requested();
  };
  const CheckRequest request{.wheel = *read,
                             .poolSize = pool,
                             .numbers = numbers,
                             .drawSize = options.draw,
                             .guarantee = options.guarantee,
                             .holesToList = options.holes,
                             .necessity = options.necessity,
                             .threads = options.threads,
                             .progress = hook};
  CheckResult result;
  std::vector<WinTableRow> winTable;
  try {
    result = CheckWheel(request);
    if (options.winTable && !result.stopped) {
      winTable = WinTable(*read, numbers.empty() ? OneTo(pool) : numbers, options.draw,
                          options.guarantee.value_or(2), hook);
      if (!winTable.empty() && winTable.back().stopped) result.stopped = true;
    }
  } catch (const std::exception& error) {  // limits the options could not express
    Complain(FailureText(error));
    return kInputError;
  }
  progress.Finish();  // erased before the result is written
  if (options.format == "json") {
    WriteJson(result, request, read->rowCount(), numbers, winTable);
  } else {
    if (FindGame(options.game)) std::cout << "Game " << options.game << '\n';
    WriteText(result, options.draw);
    std::cout << WinTableText(winTable, "");
  }
  std::cout.flush();
  if (result.stopped) return kInterrupted;
  return result.holes > 0 ? kHoles : kDone;
}

Command SetUpCheck(CLI::App& program) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* command =
      program.add_subcommand("check", "Check a wheel against every draw of the pool");
  command->add_option("WHEEL", options->wheel, "A wheel file, or - for standard input")->required();
  CLI::Option* pool =
      command->add_option("--pool", options->pool, "Pool size N (default: the largest number)")
          ->check(CLI::Range(1, kMaxWheelNumber));
  CLI::Option* numbers =
      command->add_option("--numbers", options->numbers, "The player's own numbers, as 3,7,12")
          ->delimiter(',')
          ->check(CLI::Range(1, kMaxWheelNumber))
          ->excludes(pool);
  command->add_flag("--win-table", options->winTable,
                    "For each count of the numbers drawn, the subsets at each best level");
  CLI::Option* draw = command->add_option("--draw", options->draw, "Numbers drawn, m")
                          ->capture_default_str()
                          ->check(CLI::Range(kMinDrawSize, kMaxDrawSize));
  AddGame(command, options->game);
  CLI::Option* guarantee =
      command->add_option("--guarantee", options->guarantee, "Level t to count holes at")
          ->check(CLI::Range(1, kMaxDrawSize));
  command->add_option("--holes", options->holes, "List the first H holes")
      ->capture_default_str()
      ->check(CLI::Range(int64_t{0}, kMaxHolesListed));
  command->add_flag("--necessity", options->necessity, "Count the subsets only each row covers")
      ->needs(guarantee);
  command->add_flag("--zero-based", options->zeroBased, "The file numbers from 0");
  command->add_option("--threads", options->threads, "At most J threads (0: every core)")
      ->capture_default_str()
      ->check(CLI::Range(0, kMaxCheckThreads));
  command->add_option("--format", options->format, "text or json")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "json"}));
  command->add_flag("--quiet", options->quiet, "No progress line");
  return {command, [options, pool, numbers, draw] {
            if (const Game* game = FindGame(options->game)) {
              if (pool->count() + numbers->count() == 0) options->pool = game->poolSize;
              if (draw->count() == 0) options->draw = game->drawSize;
            }
            return Check(*options);
          }};
}

}  // namespace quirmel::cli
