#pragma once

// The subcommands of quirmel-cli: each reads its inputs, runs the engine and writes its result to
// standard output, its messages to standard error, and returns the program's exit status.

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quirmel::cli {

// Exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kHoles = 1;          // done, but the guarantee has holes
inline constexpr int kInputError = 2;     // a usage or input error: nothing on standard output
inline constexpr int kInterrupted = 130;  // stopped by SIGINT or SIGTERM

struct DevelopOptions {
  std::vector<int> key;
  int pool = 0;
  int combinations = 0;
  std::string output;  // empty or "-": standard output
};

struct CheckOptions {
  std::string game;   // a common game filling the sizes not given; empty or "custom": none
  std::string wheel;  // a file, or "-" for standard input
  std::optional<int> pool;
  std::vector<int> numbers;  // the player's own numbers: the draws are their m-subsets
  bool winTable = false;
  int draw = 6;
  std::optional<int> guarantee;
  int64_t holes = 0;
  bool necessity = false;
  bool zeroBased = false;
  int threads = 0;
  std::string format = "text";
  bool quiet = false;
};

struct DrawsOptions {
  std::string game;  // a common game filling the sizes not given; empty or "custom": none
  std::string wheel;
  std::string history;
  std::optional<int> pool;
  int draw = 6;
  std::vector<int> columns;
  bool zeroBased = false;
  std::string format = "text";
  std::optional<double> price;  // of one ticket: the stake over the history
};

struct BuildOptions {
  std::vector<int> keyNumbers;  // numbers every row holds
  std::string game;  // a common game filling the sizes not given; empty or "custom": none
  std::optional<int> pool;
  std::vector<int> numbers;
  int row = 6;
  int guarantee = 3;
  std::optional<int> draw;  // default: the guarantee
  std::optional<int> rows;
  double seconds = 60;
  uint64_t seed = 1;
  int threads = 0;
  int64_t moves = 0;
  std::string output;
  std::string format = "text";
  std::optional<double> price;  // of one ticket: the wheel's stake
};

struct BookOptions {
  std::string game;  // a common game filling the sizes not given; empty or "custom": none
  std::optional<int> pool;
  std::vector<int> numbers;
  int row = 6;
  int guarantee = 3;
  std::optional<int> draw;  // default: the guarantee
  std::string output;
  std::string format = "text";
  bool verify = false;
  std::optional<double> price;  // of one ticket: the wheel's stake
};

struct TicketsOptions {
  std::string wheel;
  std::string format = "pdf";
  char separator = ',';
  std::string game;
  std::optional<int> guarantee;
  std::optional<int> draw;
  std::optional<double> price;
  std::string output;
};

int Develop(const DevelopOptions& options);
int Tickets(const TicketsOptions& options);
int Book(const BookOptions& options);
int Build(const BuildOptions& options);
int Check(const CheckOptions& options);
int Draws(const DrawsOptions& options);

// A subcommand on the program's command line: SetUp... adds it with its own options, and `run`,
// called once the command line has been parsed into them, does the work.
struct Command {
  CLI::App* app = nullptr;
  std::function<int()> run;
};
// The pool 1..N (--pool) or the player's own numbers (--numbers), one excluding the other.
struct PoolOptions {
  CLI::Option* pool = nullptr;
  CLI::Option* numbers = nullptr;
};
PoolOptions AddPoolOrNumbers(CLI::App* command, std::optional<int>& pool,
                             std::vector<int>& numbers);

// --game NAME: one of the common games, or "custom".
CLI::Option* AddGame(CLI::App* command, std::string& game);
// --price P: what one ticket costs, for the stake shown beside a row count.
CLI::Option* AddPrice(CLI::App* command, std::optional<double>& price);

Command SetUpDevelop(CLI::App& program);
Command SetUpCheck(CLI::App& program);
Command SetUpDraws(CLI::App& program);
Command SetUpBuild(CLI::App& program);
Command SetUpBook(CLI::App& program);
Command SetUpTickets(CLI::App& program);

}  // namespace quirmel::cli
