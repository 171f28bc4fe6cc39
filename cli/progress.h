#pragma once

// The progress of a long check on a terminal, and its stop by SIGINT or SIGTERM.

#include <chrono>
#include <cstdint>

namespace quirmel::cli {

// While it lives, SIGINT and SIGTERM ask the running check to stop instead of ending the program.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  static bool Requested();
};

// One line on standard error, when it is a terminal: percent done, subsets per second and time
// left, redrawn at most ten times a second and erased at the end.
class ProgressLine {
 public:
  explicit ProgressLine(bool wanted);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(int64_t examined, int64_t total);
  // The building of a wheel: rows now, subsets still unmet, the best cover, seconds left.
  void Show(int rows, int64_t cost, int bestRows, double secondsLeft);
  void Finish();  // erases the line; nothing more is shown

 private:
  bool shown_ = false;
  bool active_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace quirmel::cli
