#include "cli/progress.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace quirmel::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;
struct sigaction previousInt {};
struct sigaction previousTerm {};

extern "C" void RequestStop(int) {
  stopRequested = 1;
}

}  // namespace

StopSignals::StopSignals() {
  stopRequested = 0;
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previousInt);
  sigaction(SIGTERM, &action, &previousTerm);
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &previousInt, nullptr);
  sigaction(SIGTERM, &previousTerm, nullptr);
}

bool StopSignals::Requested() {
  return stopRequested != 0;
}

ProgressLine::ProgressLine(bool wanted)
    : active_(wanted && isatty(STDERR_FILENO) == 1),
      start_(std::chrono::steady_clock::now()),
      last_(start_) {}

ProgressLine::~ProgressLine() {
  Finish();
}

void ProgressLine::Finish() {
  if (shown_) std::fputs("\r\033[K", stderr);
  shown_ = false;
  active_ = false;
}

void ProgressLine::Show(int64_t examined, int64_t total) {
  if (!active_ || total <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0 ? static_cast<double>(examined) / seconds : 0;
  const double left = rate > 0 ? static_cast<double>(total - examined) / rate : 0;
  std::fprintf(stderr, "\r\033[K%5.1f%%  %.0f subsets/s  %.0f s left",
               100.0 * static_cast<double>(examined) / static_cast<double>(total), rate, left);
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::Show(int rows, int64_t cost, int bestRows, double secondsLeft) {
  if (!active_) return;
  std::fprintf(stderr, "\r\033[Krows %d  unmet %lld  best cover %d rows  %.0f s left", rows,
               static_cast<long long>(cost), bestRows, secondsLeft > 0 ? secondsLeft : 0.0);
  std::fflush(stderr);
  shown_ = true;
}

}  // namespace quirmel::cli
