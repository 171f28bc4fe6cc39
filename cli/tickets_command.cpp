#include <cstdio>
#include <ctime>
#include <memory>

#include "cli/commands.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "engine/core/games.h"
#include "engine/core/text_lines.h"
#include "engine/files/tickets.h"
#include "engine/files/wheel_file.h"
#include "engine/limits.h"

namespace quirmel::cli {

namespace {

std::string Today() {
  const std::time_t now = std::time(nullptr);
  char date[16] = "";
  std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&now));
  return date;
}

// The head of every page: what the wheel is, what it costs, and when it was printed.
std::vector<std::string> Head(const TicketsOptions& options, const AnyWheel& wheel) {
  const auto rows = static_cast<int64_t>(wheel.rowCount());
  std::vector<std::string> head{"QUIRMEL tickets: " + Shown(options.wheel)};
  std::string what = Counted(rows, "ticket", "tickets");
  if (FindGame(options.game)) what += ", game " + options.game;
  if (options.guarantee) {
    what += ", guarantee " + std::to_string(*options.guarantee) + " if " +
            std::to_string(options.draw.value_or(*options.guarantee));
  }
  head.push_back(what);
  if (options.price) head.push_back("Cost: " + StakeText(rows, *options.price));
  head.push_back("Printed " + Today());
  return head;
}

}  // namespace

int Tickets(const TicketsOptions& options) {
  StopSignals signals;  // Ctrl+C while a slow input is read
  const std::optional<AnyWheel> wheel = ReadWheelFile(options.wheel, {});
  if (!wheel) return StopSignals::Requested() ? kInterrupted : kInputError;
  if (!Writable(options.output)) return kInputError;
  const std::string text = options.format == "pdf" ? TicketsPdf(*wheel, Head(options, *wheel))
                                                   : TicketsCsv(*wheel, options.separator);
  return WriteOutput(options.output, text) ? kDone : kInputError;
}

Command SetUpTickets(CLI::App& program) {
  auto options = std::make_shared<TicketsOptions>();
  CLI::App* command = program.add_subcommand(
      "tickets", "A wheel as tickets: a PDF to print, or CSV for online forms");
  command->add_option("WHEEL", options->wheel, "A wheel file, or - for standard input")->required();
  command->add_option("--format", options->format, "pdf or csv")
      ->capture_default_str()
      ->check(CLI::IsMember({"pdf", "csv"}));
  command->add_option("--separator", options->separator, "Between the numbers of a CSV ticket")
      ->capture_default_str()
      ->check(CLI::IsMember({',', ';', '\t', ' '}));
  AddGame(command, options->game);
  command->add_option("--guarantee", options->guarantee, "The wheel's guarantee T, for the head")
      ->check(CLI::Range(1, kMaxDrawSize));
  command->add_option("--draw", options->draw, "Numbers drawn M, for the head")
      ->check(CLI::Range(kMinDrawSize, kMaxDrawSize));
  AddPrice(command, options->price);
  command->add_option("-o,--output", options->output, "Write the tickets to this file");
  return {command, [options] { return Tickets(*options); }};
}

}  // namespace quirmel::cli
