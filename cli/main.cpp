// quirmel-cli: develops, checks and replays wheels from the command line.

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/commands.h"
#include "cli/input.h"
#include "engine/check/check.h"

namespace {

using namespace quirmel::cli;

// Copies an option that was given into an optional.
template <typename T>
void Given(const CLI::Option* option, const T& value, std::optional<T>& into) {
  if (option->count() > 0) into = value;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Develops, checks and replays lottery wheels.", "quirmel-cli"};
  app.set_version_flag("--version", std::string("quirmel-cli ") + QUIRMEL_VERSION);
  app.require_subcommand(1);

  DevelopOptions develop;
  CLI::App* developCommand =
      app.add_subcommand("develop", "Develop a key cyclically into a wheel and list it");
  developCommand->add_option("--key", develop.key, "3 to 6 numbers from 1 to 49, as 5,12,27,40")
      ->required()
      ->delimiter(',');
  developCommand->add_option("--pool", develop.pool, "The pool size N the key is developed over")
      ->required();
  developCommand->add_option("--combinations", develop.combinations, "How many rows (at most N)")
      ->required();
  developCommand->add_option("-o,--output", develop.output, "Write the listing to this file");

  CheckOptions check;
  int checkPool = 0;
  int checkGuarantee = 0;
  CLI::App* checkCommand =
      app.add_subcommand("check", "Check a wheel against every draw of the pool");
  checkCommand->add_option("WHEEL", check.wheel, "A wheel file, or - for standard input")
      ->required();
  CLI::Option* poolOption =
      checkCommand->add_option("--pool", checkPool, "Pool size N (default: the largest number)")
          ->check(CLI::Range(1, 99));
  CLI::Option* checkNumbers =
      checkCommand->add_option("--numbers", check.numbers, "The player's own numbers, as 3,7,12")
          ->delimiter(',')
          ->check(CLI::Range(1, 99));
  checkNumbers->excludes(poolOption);
  checkCommand->add_flag("--win-table", check.winTable,
                         "For each count of the numbers drawn, the subsets at each best level");
  checkCommand->add_option("--draw", check.draw, "Numbers drawn, m")
      ->capture_default_str()
      ->check(CLI::Range(2, 8));
  CLI::Option* guaranteeOption =
      checkCommand->add_option("--guarantee", checkGuarantee, "Level t to count holes at")
          ->check(CLI::Range(1, 8));
  checkCommand->add_option("--holes", check.holes, "List the first H holes")
      ->capture_default_str()
      ->check(CLI::Range(int64_t{0}, quirmel::kMaxHolesListed));
  checkCommand->add_flag("--necessity", check.necessity, "Count the subsets only each row covers")
      ->needs(guaranteeOption);
  checkCommand->add_flag("--zero-based", check.zeroBased, "The file numbers from 0");
  checkCommand->add_option("--threads", check.threads, "At most J threads (0: every core)")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  checkCommand->add_option("--format", check.format, "text or json")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "json"}));
  checkCommand->add_flag("--quiet", check.quiet, "No progress line");

  DrawsOptions draws;
  int drawsPool = 0;
  CLI::App* drawsCommand =
      app.add_subcommand("draws", "Replay a wheel against past draws from a history file");
  drawsCommand->add_option("WHEEL", draws.wheel, "A wheel file")->required();
  drawsCommand->add_option("HISTORY", draws.history, "Past draws: CSV or blank-separated")
      ->required();
  CLI::Option* drawsPoolOption =
      drawsCommand->add_option("--pool", drawsPool, "Pool size; draws outside it are refused")
          ->check(CLI::Range(1, 99));
  drawsCommand->add_option("--draw", draws.draw, "Numbers drawn, m")
      ->capture_default_str()
      ->check(CLI::Range(2, 8));
  drawsCommand->add_option("--columns", draws.columns, "The columns of the numbers, from 1")
      ->delimiter(',')
      ->check(CLI::PositiveNumber);
  drawsCommand->add_flag("--zero-based", draws.zeroBased, "The wheel file numbers from 0");
  drawsCommand->add_option("--format", draws.format, "text, csv or json")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "csv", "json"}));

  BuildOptions build;
  int buildPool = 0;
  int buildDraw = 0;
  int buildRows = 0;
  CLI::App* buildCommand = app.add_subcommand(
      "build", "Build a small wheel for a guarantee: every M-subset meets a row in T numbers");
  CLI::Option* buildPoolOption =
      buildCommand->add_option("--pool", buildPool, "The pool 1..N")->check(CLI::Range(1, 99));
  CLI::Option* numbersOption =
      buildCommand->add_option("--numbers", build.numbers, "The player's own numbers, as 3,7,12")
          ->delimiter(',')
          ->check(CLI::Range(1, 99));
  buildPoolOption->excludes(numbersOption);
  buildCommand->add_option("--row", build.row, "Numbers in a row, K")
      ->required()
      ->check(CLI::Range(2, 20));
  buildCommand->add_option("--guarantee", build.guarantee, "Numbers met, T")
      ->required()
      ->check(CLI::Range(1, 8));
  CLI::Option* buildDrawOption =
      buildCommand->add_option("--draw", buildDraw, "Numbers drawn, M (default: T)")
          ->check(CLI::Range(2, 8));
  CLI::Option* buildRowsOption =
      buildCommand->add_option("--rows", buildRows, "Stop at a cover of at most R rows")
          ->check(CLI::PositiveNumber);
  buildCommand->add_option("--seconds", build.seconds, "Time limit")
      ->capture_default_str()
      ->check(CLI::PositiveNumber);
  buildCommand->add_option("--seed", build.seed, "Seed of the random search")
      ->capture_default_str();
  buildCommand->add_option("--threads", build.threads, "Independent searches (0: one per core)")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  buildCommand->add_option("--moves", build.moves, "Moves per search, for a repeatable run")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  buildCommand->add_option("-o,--output", build.output, "Write the wheel to this file");
  buildCommand->add_option("--format", build.format, "text or json")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "json"}));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    const std::string first = argc > 1 ? argv[1] : "";
    const bool known = first.empty() || first[0] == '-' || first == "develop" || first == "check" ||
                       first == "draws" || first == "build";
    Complain(known ? e.what()
                   : "'" + first + "' is not a subcommand: use develop, check, draws or build");
    return kInputError;
  }

  const auto run = [&] {
    if (developCommand->parsed()) return Develop(develop);
    if (buildCommand->parsed()) {
      if (buildPoolOption->count() == 0 && numbersOption->count() == 0) {
        Complain("build: give the pool (--pool N) or the player's numbers (--numbers LIST)");
        return kInputError;
      }
      Given(buildPoolOption, buildPool, build.pool);
      Given(buildDrawOption, buildDraw, build.draw);
      Given(buildRowsOption, buildRows, build.rows);
      return Build(build);
    }
    if (checkCommand->parsed()) {
      Given(poolOption, checkPool, check.pool);
      Given(guaranteeOption, checkGuarantee, check.guarantee);
      return Check(check);
    }
    Given(drawsPoolOption, drawsPool, draws.pool);
    return Draws(draws);
  };
  int status = kInputError;
  try {
    status = run();
  } catch (const std::bad_alloc&) {  // memory is bounded by the limits; this machine has less
    Complain("not enough memory for this request on this machine");
    return kInputError;
  }
  // A result that could not be written (a full disk, a closed or broken output) is a failure.
  std::cout.flush();  // errno still tells why an earlier write failed, if one did
  if (!std::cout) {
    Complain(std::string("standard output: ") + std::strerror(errno != 0 ? errno : EIO));
    return kInputError;
  }
  return status;
}
