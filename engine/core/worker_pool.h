#pragma once

// A small pool of threads that live as long as the process, so an analysis does not pay for
// starting threads. One job at a time: each worker runs the job function once and returns.
// Whatever ends the process in the middle of a job (exit() from inside a progress hook, a signal
// handler's exit) destroys the pool with the job still running: the destructor then calls the
// job's cancel function, so that workers waiting on a caller that will never come back return.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quirmel {

class WorkerPool {
 public:
  explicit WorkerPool(int workers);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // The process-wide pool: one worker fewer than the machine has cores, at least one.
  static WorkerPool& Shared();

  int size() const { return static_cast<int>(threads_.size()); }

  // Hands `job` to every worker, unless another caller is using the pool (then false). `cancel`
  // must make every running `job` return soon; it is called only when the pool is destroyed
  // before Wait.
  bool Start(std::function<void()> job, std::function<void()> cancel);
  // Waits until every worker has returned from the job started last; frees the pool.
  void Wait();

 private:
  void Serve();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  std::function<void()> job_;
  std::function<void()> cancel_;
  uint64_t generation_ = 0;
  int running_ = 0;
  bool busy_ = false;
  bool shuttingDown_ = false;
  std::vector<std::thread> threads_;
};

// The other ways the engine works on several threads, beside the pool: jobs that run for as long
// as a search runs, which would hold the pool's workers from an analysis.

// job(0), ..., job(count - 1), each on a thread of its own; returns when all have.
void SideBySide(int count, const std::function<void(int)>& job);

// Runs `work` on a thread of its own while the calling thread calls `watch` every `every`, until
// the work has returned; what the work throws is thrown here then.
void RunWatched(const std::function<void()>& work, std::chrono::milliseconds every,
                const std::function<void()>& watch);

}  // namespace quirmel
