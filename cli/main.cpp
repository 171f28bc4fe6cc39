// quirmel-cli: develops, checks and replays wheels from the command line.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

#include "cli/commands.h"
#include "cli/input.h"

using namespace quirmel::cli;

int main(int argc, char** argv) {
  // A reader that goes away (a pipe into `head`) makes the next write fail, and that failure is
  // reported in one line, instead of the program ending silently on SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  CLI::App app{"Develops, checks and replays lottery wheels.", "quirmel-cli"};
  app.set_version_flag("--version", std::string("quirmel-cli ") + QUIRMEL_VERSION);
  app.require_subcommand(1);
  const std::vector<Command> commands = {SetUpDevelop(app), SetUpCheck(app), SetUpDraws(app),
                                         SetUpBuild(app),   SetUpBook(app),  SetUpTickets(app)};

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
    const bool known =
        first.empty() || first[0] == '-' ||
        std::any_of(commands.begin(), commands.end(),
                    [&first](const Command& command) { return command.app->get_name() == first; });
    Complain(known
                 ? e.what()
                 : "'" + first +
                       "' is not a subcommand: use develop, check, draws, build, book or tickets");
    return kInputError;
  }

  int status = kInputError;
  try {
    for (const Command& command : commands)
      if (command.app->parsed()) status = command.run();
  } catch (const std::exception& error) {  // what the engine refuses, said the same way for all
    Complain(quirmel::FailureText(error));
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
