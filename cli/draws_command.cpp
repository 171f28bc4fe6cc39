#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "engine/check/draw_check.h"
#include "engine/core/games.h"
#include "engine/core/text_lines.h"
#include "engine/files/draw_file.h"
#include "engine/limits.h"

namespace quirmel::cli {

namespace {

// Draws written between two looks at a signal or a broken output.
constexpr std::size_t kLookEvery = 256;

// "6:0 5:1 4:3 3:9 2:40": rows matching in exactly j numbers, j from m down to 2.
template <typename Counts>
std::string ByMatches(const Counts& rows, int draw) {
  std::string text;
  for (int j = draw; j >= 2; --j) {
    if (!text.empty()) text += ' ';
    text += std::to_string(j) + ":" + std::to_string(rows[static_cast<std::size_t>(j)]);
  }
  return text;
}

template <typename Counts>
nlohmann::ordered_json ByMatchesJson(const Counts& rows, int draw) {
  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  for (int j = draw; j >= 2; --j)
    json[std::to_string(j)] = rows[static_cast<std::size_t>(j)];
  return json;
}

// One way of writing a replay: its head, each draw as it is replayed, then the totals. Written as
// it goes, so that memory holds the draws read and not their output.
struct ReplayWriter {
  std::function<void()> head;
  std::function<void(const Draw&, const DrawOutcome&, bool first)> each;
  std::function<void(const ReplayTotals&, int64_t given)> tail;
};

// What playing the wheel in every draw replayed would have cost; nothing without a price.
struct Stake {
  std::optional<double> price;
  int64_t rows = 0;  // the wheel's tickets, played in each draw

  int64_t Tickets(const ReplayTotals& totals) const { return rows * totals.replayed; }
};

// " + 03 09": the extra balls of a draw, when the history holds them.
std::string ExtrasText(const Draw& d) {
  return d.extras.empty() ? "" : " + " + TwoDigits(d.extras);
}

ReplayWriter TextWriter(int draw, Stake stake) {
  return {
      .head = [] {},
      .each =
          [draw](const Draw& d, const DrawOutcome& outcome, bool) {
            const std::string label = d.label.empty() ? "line " + std::to_string(d.line) : d.label;
            std::cout << label << "  " << TwoDigits(d.numbers) << ExtrasText(d) << "  best "
                      << outcome.best << "  rows " << ByMatches(outcome.rows, draw) << '\n';
          },
      .tail =
          [draw, stake](const ReplayTotals& totals, int64_t given) {
            std::cout << "Draws by best level:";
            for (int level = draw; level >= 0; --level)
              std::cout << ' ' << level << ':'
                        << totals.bestTotals[static_cast<std::size_t>(level)];
            std::cout << "\nRows matching, over all draws: " << ByMatches(totals.rowTotals, draw)
                      << '\n';
            if (stake.price) {
              std::cout << "Stake: " << StakeText(stake.Tickets(totals), *stake.price) << " ("
                        << Counted(stake.rows, "ticket", "tickets") << " a draw over "
                        << Counted(totals.replayed, "draw", "draws") << ")\n";
            }
            if (totals.stopped)
              std::cout << "Stopped after " << totals.replayed << " of " << given << " draws\n";
          },
  };
}

ReplayWriter CsvWriter(int draw) {
  return {.head = [draw] { std::cout << ReplayCsvHeader(draw); },
          .each = [draw](const Draw& d, const DrawOutcome& outcome,
                         bool) { std::cout << ReplayCsvLine(d, outcome, draw); },
          .tail = [](const ReplayTotals&, int64_t) {}};
}

// A JSON string: as it stands when it is plain ASCII, else through the JSON library (escapes,
// and bytes that are not UTF-8 replaced rather than refused).
std::string JsonString(const std::string& text) {
  const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
    return c >= 0x20 && c < 0x7f && c != '"' && c != '\\';
  });
  if (plain) return '"' + text + '"';
  return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

ReplayWriter JsonWriter(int draw, Stake stake) {
  return {
      .head = [] { std::cout << "{\"draws\":["; },
      .each =
          [draw](const Draw& d, const DrawOutcome& outcome, bool first) {
            // Written by hand: the library's object for each of millions of draws costs more
            // than the replay.
            std::string json = first ? "{\"line\":" : ",{\"line\":";
            json += std::to_string(d.line) + ",\"label\":" + JsonString(d.label) + ",\"numbers\":[";
            for (std::size_t i = 0; i < d.numbers.size(); ++i)
              json += (i == 0 ? "" : ",") + std::to_string(d.numbers[i]);
            json += ']';
            if (!d.extras.empty()) {
              json += ",\"extras\":[";
              for (std::size_t i = 0; i < d.extras.size(); ++i)
                json += (i == 0 ? "" : ",") + std::to_string(d.extras[i]);
              json += ']';
            }
            json += ",\"best\":" + std::to_string(outcome.best) + ",\"rows\":{";
            for (int j = draw; j >= 2; --j) {
              json += (j == draw ? "\"" : ",\"") + std::to_string(j) +
                      "\":" + std::to_string(outcome.rows[static_cast<std::size_t>(j)]);
            }
            std::cout << json << "}}";
          },
      .tail =
          [draw, stake](const ReplayTotals& totals, int64_t) {
            nlohmann::ordered_json best = nlohmann::ordered_json::object();
            for (int level = draw; level >= 0; --level)
              best[std::to_string(level)] = totals.bestTotals[static_cast<std::size_t>(level)];
            nlohmann::ordered_json json = {{"best", best},
                                           {"rows", ByMatchesJson(totals.rowTotals, draw)}};
            if (stake.price) {
              json["price"] = *stake.price;
              json["stake"] = *stake.price * static_cast<double>(stake.Tickets(totals));
            }
            std::cout << "],\"totals\":" << json.dump();
            if (totals.stopped) std::cout << ",\"stopped\":true";
            std::cout << "}\n";
          },
  };
}

}  // namespace

int Draws(const DrawsOptions& options) {
  if (!options.columns.empty() && static_cast<int>(options.columns.size()) != options.draw) {
    Complain("--columns: name exactly " + std::to_string(options.draw) +
             " columns, one for each number drawn (--draw); " +
             std::to_string(options.columns.size()) + " given");
    return kInputError;
  }
  StopSignals signals;  // SIGINT or SIGTERM: status 130, with the draws replayed so far
  const std::optional<AnyWheel> wheel =
      ReadWheelFile(options.wheel, {.zeroBased = options.zeroBased});
  if (!wheel) return StopSignals::Requested() ? kInterrupted : kInputError;
  const Game* game = FindGame(options.game);
  const DrawReadOptions readOptions{.poolSize = options.pool.value_or(kMaxWheelNumber),
                                    .drawSize = options.draw,
                                    .columns = options.columns,
                                    .extraPool = game ? game->extraPool : 0,
                                    .extraDrawn = game ? game->extraDrawn : 0};
  const std::optional<std::string> history =
      ReadInput(options.history, [&readOptions](std::string_view head) -> std::optional<TextError> {
        DrawReadResult read = ReadDraws(head, readOptions);
        const bool final = read.error && !read.error->nothingYet;
        return final ? read.error : std::nullopt;
      });
  if (!history) return StopSignals::Requested() ? kInterrupted : kInputError;
  const DrawReadResult read = ReadDraws(*history, readOptions);
  if (read.error) {
    Complain(Describe(*read.error, Shown(options.history)) + EncodingHint(*history));
    return kInputError;
  }
  const Stake stake{.price = options.price, .rows = static_cast<int64_t>(wheel->rowCount())};
  const ReplayWriter writer = options.format == "json"  ? JsonWriter(options.draw, stake)
                              : options.format == "csv" ? CsvWriter(options.draw)
                                                        : TextWriter(options.draw, stake);
  WheelReplay replay(*wheel, options.draw);
  if (options.format == "text" && game) std::cout << "Game " << options.game << '\n';
  writer.head();
  for (std::size_t i = 0; i < read.draws.size(); ++i) {
    // A signal stops the replay; an output that can take no more (a closed pipe) ends it too.
    if (i % kLookEvery == 0 && (StopSignals::Requested() || !std::cout)) break;
    writer.each(read.draws[i], replay.Replay(read.draws[i]), i == 0);
  }
  ReplayTotals totals = replay.totals();
  totals.stopped = totals.replayed < static_cast<int64_t>(read.draws.size());
  writer.tail(totals, static_cast<int64_t>(read.draws.size()));
  if (StopSignals::Requested()) return kInterrupted;
  return kDone;
}

Command SetUpDraws(CLI::App& program) {
  auto options = std::make_shared<DrawsOptions>();
  CLI::App* command =
      program.add_subcommand("draws", "Replay a wheel against past draws from a history file");
  command->add_option("WHEEL", options->wheel, "A wheel file")->required();
  command->add_option("HISTORY", options->history, "Past draws: CSV or blank-separated")
      ->required();
  CLI::Option* pool =
      command->add_option("--pool", options->pool, "Pool size; draws outside it are refused")
          ->check(CLI::Range(1, kMaxWheelNumber));
  CLI::Option* draw = command->add_option("--draw", options->draw, "Numbers drawn, m")
                          ->capture_default_str()
                          ->check(CLI::Range(kMinDrawSize, kMaxDrawSize));
  AddGame(command, options->game);
  AddPrice(command, options->price);
  command->add_option("--columns", options->columns, "The columns of the numbers, from 1")
      ->delimiter(',')
      ->check(CLI::Range(1, static_cast<int>(kMaxLineBytes)));
  command->add_flag("--zero-based", options->zeroBased, "The wheel file numbers from 0");
  command->add_option("--format", options->format, "text, csv or json")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "csv", "json"}));
  return {command, [options, pool, draw] {
            if (const Game* game = FindGame(options->game)) {
              if (pool->count() == 0) options->pool = game->poolSize;
              if (draw->count() == 0) options->draw = game->drawSize;
            }
            return Draws(*options);
          }};
}

}  // namespace quirmel::cli
