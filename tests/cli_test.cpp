// quirmel-cli run as a user would: its JSON against the straightforward enumeration, its exit
// statuses and messages, and a check stopped by SIGINT.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "engine/engine.h"
#include "tests/oracle.h"

namespace quirmel {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out, err;
};

fs::path Scratch() {  // a folder of this run's own
  static const fs::path folder =
      fs::temp_directory_path() / ("quirmel-cli-" + std::to_string(getpid()));
  fs::create_directories(folder);
  return folder;
}

std::string Slurp(const fs::path& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Runs the program with `arguments` (shell words), under `wrapper` if given, and returns its
// status and outputs.
Outcome Cli(const std::string& arguments, const std::string& wrapper = "") {
  const fs::path out = Scratch() / "out";
  const fs::path err = Scratch() / "err";
  const std::string command =
      wrapper + " " + QUIRMEL_CLI + " " + arguments + " >" + out.string() + " 2>" + err.string();
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
}

fs::path Write(const std::string& name, const std::string& text) {
  const fs::path path = Scratch() / name;
  std::ofstream(path) << text;
  return path;
}

struct CheckCase {
  uint32_t seed;
  int rows, longest, high, pool, draw, guarantee, holes;
};

class CliCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CliCheck, JsonMatchesTheStraightforwardEnumeration) {
  const CheckCase c = GetParam();
  const AnyWheel wheel = testing::RandomAnyWheel(c.seed, c.rows, c.longest, c.high);
  const fs::path file = Write("wheel.txt", WriteWheel(wheel));
  const Outcome run =
      Cli("check " + file.string() + " --pool " + std::to_string(c.pool) + " --draw " +
          std::to_string(c.draw) + " --guarantee " + std::to_string(c.guarantee) + " --holes " +
          std::to_string(c.holes) + " --necessity --format json");
  const CheckResult expected = testing::SimpleCheck(wheel, c.pool, c.draw, c.guarantee, c.holes);
  EXPECT_EQ(run.status, expected.holes > 0 ? 1 : 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["subsets"], expected.subsets);
  EXPECT_EQ(json["examined"], expected.subsets);
  EXPECT_EQ(json["stopped"], false);
  for (int level = 0; level <= c.draw; ++level) {
    for (const auto& [matches, subsets] : expected.levels[static_cast<std::size_t>(level)])
      EXPECT_EQ(json["levels"][std::to_string(level)]["rows"][std::to_string(matches)], subsets);
  }
  EXPECT_EQ(json["covered"], expected.covered);
  EXPECT_EQ(json["holes"], expected.holes);
  EXPECT_EQ(json["hole_list"], expected.holeList);
  EXPECT_EQ(json["necessity"], expected.necessity);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Wheels, CliCheck, ::testing::Values(
    //        seed rows long high pool draw t  holes
    CheckCase{1,   30,  6,   20,  20,  6,   3, 5},
    CheckCase{2,   8,   3,   12,  12,  3,   3, 100},
    CheckCase{3,   200, 6,   18,  18,  5,   4, 0}));
// clang-format on

struct StatusCase {
  // {wheel} stands for a good wheel file, {bad} for a refused one, {euro} for a history with
  // star numbers, {junk} for 3 MB of random bytes, {wide} for a wheel of 1..43, {one} for one row
  // of 1..6, {twenty} for 1,100 rows of 20 numbers over 99, {out} for a file to write
  const char* arguments;
  int status;
  const char* says;  // on standard error for status 2, else on standard output
};

// Every run under a memory cap, so that input that makes memory grow without bound fails the
// test instead of eating the machine. (The sanitizers reserve address space beyond any cap.)
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
const char* const kMemoryCap = "";
#else
const char* const kMemoryCap = "prlimit --as=1500000000";
#endif

class CliStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(CliStatus, ExitsWithItsStatusAndMessage) {
  const StatusCase c = GetParam();
  std::string arguments = c.arguments;
  const auto replace = [&](const std::string& mark, const fs::path& path) {
    for (std::size_t at; (at = arguments.find(mark)) != std::string::npos;)
      arguments.replace(at, mark.size(), path.string());
  };
  replace("{wheel}", Write("good.txt", "1 2 3\n1 4 5\n1 6 7\n2 4 6\n2 5 7\n3 4 7\n3 5 6\n"));
  replace("{bad}", Write("bad.txt", "1 2 3\n4 5 5\n"));
  replace("{euro}", Write("euro.csv", "Date,N1,N2,N3,N4,N5,E1,E2\n2026-12-01,3,9,17,28,33,4,11\n"));
  std::string junk(3 << 20, '\0');
  for (std::size_t i = 0; i < junk.size(); ++i)
    junk[i] = static_cast<char>((i * 2654435761u) >> 13);
  replace("{junk}", Write("junk.bin", junk));
  replace("{out}", Scratch() / "out.txt");
  std::string wide;  // 1..43 in three rows: the one draw of 44..49 meets none of them
  for (int number = 1; number <= 43; ++number)
    wide += std::to_string(number) + (number % 20 == 0 || number == 43 ? "\n" : " ");
  replace("{wide}", Write("wide.txt", wide));
  replace("{one}", Write("one.txt", "1 2 3 4 5 6\n"));
  std::string twenty;  // 1,100 rows of 20 numbers over 99
  for (int r = 0; r < 1100; ++r) {
    for (int i = 0; i < 20; ++i)
      twenty += std::to_string((r * 7 + i * 5) % 99 + 1) + (i == 19 ? "\n" : " ");
  }
  replace("{twenty}", Write("twenty.txt", twenty));
  const Outcome run = Cli(arguments, kMemoryCap);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_NE((c.status == 2 ? run.err : run.out).find(c.says), std::string::npos)
      << run.out << run.err;
  if (c.status == 2) {
    EXPECT_EQ(run.out, "");  // a refusal writes nothing on standard output
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, CliStatus, ::testing::Values(
    StatusCase{"develop --key 5,12,27,40 --pool 49 --combinations 20", 0, "05 12 27 40\n06 13 28 41\n"},
    StatusCase{"develop --key 5,12 --pool 49 --combinations 20",       2, "--key: a key has 3 to 6 numbers, not 2"},
    StatusCase{"develop --key 5,12,50 --pool 49 --combinations 20",    2, "--key: Value 50 not in range 1 to 49"},
    StatusCase{"develop --key 5,12,27 --pool 9 --combinations 20",     2, "--combinations: at most the pool size, 9"},
    StatusCase{"check {wheel} --draw 2 --guarantee 2",                 0, "Covered at 2: 100.0000%"},
    StatusCase{"check - --draw 2 < {wheel}",                           0, "Hits 02 - Integral: 21"},
    StatusCase{"check {wheel} --draw 3 --guarantee 3",                 1, "Holes: 28"},
    StatusCase{"check {bad}",                                          2, "bad.txt:2:5: number 5 is repeated"},
    StatusCase{"check {wheel} --necessity",                            2, "--necessity requires --guarantee"},
    StatusCase{"check {wheel} --draw 3 --guarantee 4",                 2, "at most the draw size"},
    StatusCase{"check {wheel} --draw 8",                               2, "a draw of 8 from 7 numbers is not possible"},
    StatusCase{"check {wheel} --pool 100",                             2, "--pool"},
    StatusCase{"check /nonexistent",                                   2, "/nonexistent: No such file"},
    StatusCase{"frobnicate",                                           2, "subcommand"},
    StatusCase{"build --pool 9 --row 3 --guarantee 2",                 0, "# verified: every 2-subset meets a row in at least 2"},
    StatusCase{"build --pool 5 --row 6 --guarantee 2",                 2, "the pool is smaller than a row"},
    StatusCase{"build --pool 12 --row 6 --guarantee 3 --draw 6 --seconds 5 --rows 2", 0, "\n# If 6 of your numbers are drawn: at least 3 in 100.0000% of cases"},
    StatusCase{"check {wheel} --numbers 1,2,3,4,5,6 --draw 2",         2, "good.txt:3:5: number 7 is not among the numbers checked"},
    StatusCase{"check {wheel} --pool 6 --draw 2",                      2, "good.txt:3:5: number 7 is above the pool 1..6"},
    StatusCase{"check {wheel} --numbers 1,2,3,4,5,6,7 --draw 3 --guarantee 2 --win-table", 0, "If 3 of your numbers are drawn: at least 2 in 100.0000% of cases, 3 in 20.0000%"},
    StatusCase{"--version",                                            0, "quirmel-cli "},
    // Hostile input and requests: refused in one line, in bounded memory.
    StatusCase{"check /dev/zero",                                      2, "/dev/zero:1:65537: the line is longer"},
    StatusCase{"check {junk}",                                         2, "(the file looks binary, not text)"},
    StatusCase{"draws {wheel} /dev/zero",                              2, "/dev/zero:1:65537"},
    StatusCase{"check {wheel} --pool 49 --draw 6 --guarantee 3 --holes 10000000000", 2, "--holes: Value 10000000000 not in range 0 to 1000000"},
    StatusCase{"build --pool 9 --row 3 --guarantee 2 --seconds nan",   2, "--seconds: the time limit is more than 0"},
    StatusCase{"draws {wheel} {euro} --draw 5",                        0, "2026-12-01  03 09 17 28 33  best 1"},
    StatusCase{"draws {wheel} {euro} --draw 6",                        2, "euro.csv:1: the header names 5 columns of drawn numbers"},
    StatusCase{"draws {wheel} {one} --draw 7",                         2, "one.txt:1: the line holds 6 numbers of a draw; a draw has 7"},
    StatusCase{"draws {wheel} {euro} --draw 5 --columns 2,3,4",        2, "--columns: name exactly 5 columns"},
    StatusCase{"develop --key 11,1,5 --pool 10 --combinations 5 -o {out}", 2, "row 1: number 11 is above the pool 1..10"},
    StatusCase{"check {wide} --pool 49 --draw 6 --guarantee 1",        1, "Covered at 1:  99.9999%\nHoles: 1\n"},
    StatusCase{"build --pool 9 --row 3 --guarantee 2 --threads 100000", 2, "--threads: Value 100000 not in range 0 to 64"},
    StatusCase{"build --pool 9 --row 3 --guarantee 2 --seconds 1e10",  2, "--seconds: the time limit is more than 0 and at most 604,800 seconds"},
    StatusCase{"build --pool 9 --row 3 --guarantee 1",                 2, "--guarantee 1: give the numbers drawn as well (--draw M, 2..8)"},
    StatusCase{"build --pool 9 --row 3 --guarantee 2 --rows 0",        2, "--rows: Value 0 not in range 1 to 1000000"},
    StatusCase{"build --pool 30 --row 6 --guarantee 4 -o /tmp",        2, "/tmp: Is a directory"},
    StatusCase{"check {one} --pool 70 --draw 6 --guarantee 3 --holes 1000000 --quiet", 1, "Holes: 130,252,080\n01 02 07 08 09 10\n"},
    StatusCase{"check {twenty} --pool 99 --draw 6 --guarantee 4 --holes 5", 2, "would take about"},
    StatusCase{"book --numbers 4,8,15,16,23,42,7,9 --guarantee 2",     0, "# from the book: every 2-subset"},
    StatusCase{"book --pool 80 --guarantee 3 --draw 6",                2, "no wheel for rows of 6, 3 if 6 on 80 numbers in the book"},
    StatusCase{"book --pool 12 --row 20 --guarantee 2",                2, "no wheel for rows of 20, 2 if 2 on 12 numbers"},
    StatusCase{"book --numbers 3,3,9 --guarantee 2",                   2, "--numbers: 3 is given twice"},
    StatusCase{"book --guarantee 2",                                   2, "book: give the pool"},
    StatusCase{"build --pool 12 --row 6 --guarantee 2 --seconds 30",   0, "from the book"},
    StatusCase{"book --game 6/49 --guarantee 2",                       0, "# game 6/49\n# from the book: every 6-subset meets a row in at least 2 numbers (19 rows"},
    StatusCase{"book --game 5/50+2/12 --pool 12 --guarantee 2",        0, "every 5-subset meets a row in at least 2"},
    StatusCase{"check {wheel} --game 6/49 --draw 3 --guarantee 3",     1, "Game 6/49\nHits 03 - Integral: 18,424"},
    StatusCase{"build --pool 9 --guarantee 2",                         2, "give the numbers in a row (--row K) or the game (--game NAME)"},
    StatusCase{"book --game 6/48 --guarantee 2",                       2, "--game: 6/48 not in {custom,6/49"},
    // The stake at a ticket's price, and a game's extra balls.
    StatusCase{"book --game 6/49 --guarantee 2 --price 1.5",           0, "# game 6/49\n# stake 19 tickets x 1.50 = 28.50\n"},
    StatusCase{"build --game 6/49 --guarantee 2 --price 2 --seconds 10 --rows 19", 0, "# stake 19 tickets x 2.00 = 38.00\n"},
    StatusCase{"draws {wheel} {euro} --game 5/50+2/12 --price 2.5",    0, "03 09 17 28 33 + 04 11  best 1"},
    StatusCase{"draws {wheel} {euro} --game 5/50+2/12 --price 2.5",    0, "Stake: 7 tickets x 2.50 = 17.50 (7 tickets a draw over 1 draw)"},
    StatusCase{"build --pool 9 --row 3 --guarantee 2 --price 0",       2, "--price: a ticket's price is more than 0 and at most 10,000.00"},
    StatusCase{"book --price 2 --format json",                         0, "\"stake\":6.0},"}));  // 3 rows, the fewest
// clang-format on

TEST(CliDraws, CountsEveryDrawAgainstEveryRow) {
  const AnyWheel wheel = testing::RandomAnyWheel(4, 40, 8, 30);
  const fs::path file = Write("wheel.txt", WriteWheel(wheel));
  const fs::path history = Write("history.csv",
                                 "DrawDate,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Bonus Ball\n"
                                 "03-Jan-2024,1,2,3,4,5,6,7\n"
                                 "06-Jan-2024,10,30,12,22,8,17,1\n");
  const Outcome run = Cli("draws " + file.string() + " " + history.string() + " --format json");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  const std::vector<std::vector<int>> draws = {{1, 2, 3, 4, 5, 6}, {10, 30, 12, 22, 8, 17}};
  const auto expected = testing::SimpleReplay(wheel, draws);
  for (int j = 6; j >= 2; --j) {
    const std::string key = std::to_string(j);
    int64_t total = 0;
    for (std::size_t d = 0; d < draws.size(); ++d) {
      EXPECT_EQ(json["draws"][d]["numbers"], draws[d]);
      EXPECT_EQ(json["draws"][d]["rows"][key], expected[d][static_cast<std::size_t>(j)]);
      total += expected[d][static_cast<std::size_t>(j)];
    }
    EXPECT_EQ(json["totals"]["rows"][key], total);
  }
  for (std::size_t d = 0; d < draws.size(); ++d) {  // the best level: the most matched
    const auto& rows = expected[d];
    EXPECT_EQ(json["draws"][d]["best"],
              std::find_if(rows.rbegin(), rows.rend(), [](int64_t n) { return n > 0; }).base() -
                  rows.begin() - 1);
  }
}

// A reader that goes away (a pipe into head) is reported in one line, with status 2.
TEST(CliOutput, SaysWhenThePipeBreaks) {
  const fs::path wheel = Write("pipe.txt", "1 2 3 4 5 6\n");
  const fs::path err = Scratch() / "pipe.err";
  const std::string command = std::string("bash -c '") + QUIRMEL_CLI + " check " + wheel.string() +
                              " --pool 40 --draw 6 --guarantee 3 --holes 200000 --quiet 2>" +
                              err.string() + " | head -c 1 >/dev/null; exit ${PIPESTATUS[0]}'";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 2);
  EXPECT_EQ(Slurp(err), "quirmel-cli: standard output: Broken pipe\n");
}

// -o touches only its file: a read-only file is refused and kept, a symbolic link is written
// through, the mode of a file stays, another file named like a part file is left alone.
TEST(CliOutput, TouchesOnlyItsFile) {
  for (const char* name : {"readonly.txt", "private.txt", "link.txt"})
    fs::remove(Scratch() / name);
  const fs::path kept = Write("readonly.txt", "old\n");
  fs::permissions(kept, fs::perms::owner_read);
  const std::string build = "build --pool 9 --row 3 --guarantee 2 --seconds 5 -o ";
  EXPECT_EQ(Cli(build + kept.string()).status, 2);
  EXPECT_EQ(Slurp(kept), "old\n");

  const fs::path target = Write("private.txt", "old\n");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  const fs::path link = target.parent_path() / "link.txt";
  fs::remove(link);
  fs::create_symlink(target, link);
  const fs::path other = Write("link.txt.part", "someone else's\n");
  ASSERT_EQ(Cli(build + link.string()).status, 0);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE(Slurp(target).find("# verified"), std::string::npos);
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Slurp(other), "someone else's\n");
}

// A long check (N = 99, m = 6, 10,000 rows) ends within a second of SIGINT with its partial result.
TEST(CliSignal, InterruptStopsALongCheck) {
  const fs::path file = Write("long.txt", WriteWheel(testing::RandomAnyWheel(5, 10000, 6, 99)));
  const auto start = std::chrono::steady_clock::now();
  const Outcome run = Cli("check " + file.string() + " --format json --quiet",
                          "timeout --preserve-status -s INT 0.7");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1700));
  EXPECT_EQ(run.status, 130);
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["stopped"], true);
  EXPECT_LT(json["examined"].get<int64_t>(), json["subsets"].get<int64_t>());
}

}  // namespace
}  // namespace quirmel
