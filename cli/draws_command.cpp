#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "engine/check/draw_check.h"
#include "engine/core/text_lines.h"
#include "engine/files/draw_file.h"
#include "engine/limits.h"

namespace quirmel::cli {

namespace {

// "6:0 5:1 4:3 3:9 2:40": rows matching in exactly j numbers, j from m down to 2.
std::string ByMatches(const std::vector<int64_t>& rows, int draw) {
  std::string text;
  for (int j = draw; j >= 2; --j) {
    if (!text.empty()) text += ' ';
    text += std::to_string(j) + ":" + std::to_string(rows[static_cast<std::size_t>(j)]);
  }
  return text;
}

void WriteText(const std::vector<Draw>& draws, const DrawReplay& replay, int draw) {
  for (std::size_t i = 0; i < draws.size(); ++i) {
    const std::string label =
        draws[i].label.empty() ? "line " + std::to_string(draws[i].line) : draws[i].label;
    std::cout << label << "  " << TwoDigits(draws[i].numbers) << "  best " << replay.draws[i].best
              << "  rows " << ByMatches(replay.draws[i].rows, draw) << '\n';
  }
  std::cout << "Draws by best level:";
  for (int level = draw; level >= 0; --level)
    std::cout << ' ' << level << ':' << replay.bestTotals[static_cast<std::size_t>(level)];
  std::cout << "\nRows matching, over all draws: " << ByMatches(replay.rowTotals, draw) << '\n';
}

void WriteJson(const std::vector<Draw>& draws, const DrawReplay& replay, int draw) {
  const auto byMatches = [draw](const std::vector<int64_t>& rows) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (int j = draw; j >= 2; --j)
      json[std::to_string(j)] = rows[static_cast<std::size_t>(j)];
    return json;
  };
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < draws.size(); ++i) {
    list.push_back({{"line", draws[i].line},
                    {"label", draws[i].label},
                    {"numbers", draws[i].numbers},
                    {"best", replay.draws[i].best},
                    {"rows", byMatches(replay.draws[i].rows)}});
  }
  nlohmann::ordered_json best = nlohmann::ordered_json::object();
  for (int level = draw; level >= 0; --level)
    best[std::to_string(level)] = replay.bestTotals[static_cast<std::size_t>(level)];
  nlohmann::ordered_json json;
  json["draws"] = list;
  json["totals"] = {{"best", best}, {"rows", byMatches(replay.rowTotals)}};
  std::cout << json.dump() << '\n';
}

}  // namespace

int Draws(const DrawsOptions& options) {
  if (!options.columns.empty() && static_cast<int>(options.columns.size()) != options.draw) {
    Complain("--columns: name exactly " + std::to_string(options.draw) +
             " columns, one for each number drawn (--draw); " +
             std::to_string(options.columns.size()) + " given");
    return kInputError;
  }
  StopSignals signals;  // SIGINT or SIGTERM: status 130, nothing written
  const std::optional<AnyWheel> wheel =
      ReadWheelFile(options.wheel, {.zeroBased = options.zeroBased});
  if (!wheel) return StopSignals::Requested() ? kInterrupted : kInputError;
  const DrawReadOptions readOptions{.poolSize = options.pool.value_or(kMaxWheelNumber),
                                    .drawSize = options.draw,
                                    .columns = options.columns};
  const std::optional<std::string> history =
      ReadInput(options.history, [&readOptions](std::string_view head) -> std::optional<TextError> {
        DrawReadResult read = ReadDraws(head, readOptions);
        const bool final = read.error && read.error->message.find("no draws") == std::string::npos;
        return final ? read.error : std::nullopt;
      });
  if (!history) return StopSignals::Requested() ? kInterrupted : kInputError;
  const DrawReadResult read = ReadDraws(*history, readOptions);
  if (read.error) {
    Complain(Describe(*read.error, Shown(options.history)) + EncodingHint(*history));
    return kInputError;
  }
  const DrawReplay replay = ReplayDraws(*wheel, read.draws, options.draw);
  if (StopSignals::Requested()) return kInterrupted;
  if (options.format == "json") {
    WriteJson(read.draws, replay, options.draw);
  } else if (options.format == "csv") {
    std::cout << ReplayCsv(read.draws, replay, options.draw);
  } else {
    WriteText(read.draws, replay, options.draw);
  }
  return kDone;
}

Command SetUpDraws(CLI::App& program) {
  auto options = std::make_shared<DrawsOptions>();
  CLI::App* command =
      program.add_subcommand("draws", "Replay a wheel against past draws from a history file");
  command->add_option("WHEEL", options->wheel, "A wheel file")->required();
  command->add_option("HISTORY", options->history, "Past draws: CSV or blank-separated")
      ->required();
  command->add_option("--pool", options->pool, "Pool size; draws outside it are refused")
      ->check(CLI::Range(1, kMaxWheelNumber));
  command->add_option("--draw", options->draw, "Numbers drawn, m")
      ->capture_default_str()
      ->check(CLI::Range(kMinDrawSize, kMaxDrawSize));
  command->add_option("--columns", options->columns, "The columns of the numbers, from 1")
      ->delimiter(',')
      ->check(CLI::PositiveNumber);
  command->add_flag("--zero-based", options->zeroBased, "The wheel file numbers from 0");
  command->add_option("--format", options->format, "text, csv or json")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "csv", "json"}));
  return {command, [options] { return Draws(*options); }};
}

}  // namespace quirmel::cli
