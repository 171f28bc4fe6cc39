#pragma once

// One engine call on a thread of its own, so that the window keeps painting and answering while
// a wheel tool works. The call watches stopRequested() through its progress hook; the dialog
// that started it polls finished() from a timer and then reads what the call left behind.

#include <atomic>
#include <functional>
#include <thread>

namespace quirmel {

class BackgroundRun {
 public:
  BackgroundRun() = default;
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;
  ~BackgroundRun() { Stop(); }

  // Starts `work` on a new thread; the previous call must have finished.
  void Start(std::function<void()> work) {
    Stop();
    stop_ = false;
    done_ = false;
    uncollected_ = true;
    thread_ = std::thread([this, work = std::move(work)] {
      work();
      done_ = true;
    });
  }
  void RequestStop() { stop_ = true; }
  bool stopRequested() const { return stop_; }
  bool running() const { return thread_.joinable() && !done_; }
  // True once per call, when it has returned (its thread is joined then).
  bool finished() {
    if (!uncollected_ || !done_) return false;
    if (thread_.joinable()) thread_.join();
    uncollected_ = false;
    return true;
  }
  // Asks the call to stop and waits for it; finished() then says so once.
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  bool uncollected_ = false;  // a call has started and finished() has not said so yet
};

}  // namespace quirmel
