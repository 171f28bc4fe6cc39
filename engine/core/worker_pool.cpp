#include "engine/core/worker_pool.h"

#include <algorithm>
#include <exception>

namespace quirmel {

WorkerPool::WorkerPool(int workers) {
  threads_.reserve(static_cast<std::size_t>(workers));
  for (int i = 0; i < workers; ++i)
    threads_.emplace_back([this] { Serve(); });
}

WorkerPool::~WorkerPool() {
  std::function<void()> cancel;
  {
    std::lock_guard lock(mutex_);
    shuttingDown_ = true;
    if (busy_) cancel = cancel_;
  }
  if (cancel) cancel();
  wake_.notify_all();
  for (std::thread& thread : threads_)
    thread.join();
}

WorkerPool& WorkerPool::Shared() {
  static WorkerPool pool(
      std::clamp(static_cast<int>(std::thread::hardware_concurrency()) - 1, 1, 7));
  return pool;
}

bool WorkerPool::Start(std::function<void()> job, std::function<void()> cancel) {
  {
    std::lock_guard lock(mutex_);
    if (busy_) return false;
    busy_ = true;
    job_ = std::move(job);
    cancel_ = std::move(cancel);
    running_ = size();
    ++generation_;
  }
  wake_.notify_all();
  return true;
}

void WorkerPool::Wait() {
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [this] { return running_ == 0; });
  job_ = nullptr;
  cancel_ = nullptr;
  busy_ = false;
}

void WorkerPool::Serve() {
  uint64_t seen = 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return shuttingDown_ || generation_ != seen; });
    if (shuttingDown_) return;
    seen = generation_;
    const std::function<void()>& job = job_;
    lock.unlock();
    job();
    lock.lock();
    if (--running_ == 0) finished_.notify_all();
  }
}

void SideBySide(int count, const std::function<void(int)>& job) {
  std::vector<std::thread> threads;
  for (int j = 0; j < count; ++j)
    threads.emplace_back(job, j);
  for (std::thread& thread : threads)
    thread.join();
}

void RunWatched(const std::function<void()>& work, std::chrono::milliseconds every,
                const std::function<void()>& watch) {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard lock(mutex);
    done = true;
    ended.notify_all();
  });
  {
    std::unique_lock lock(mutex);
    while (!ended.wait_for(lock, every, [&] { return done; })) {
      lock.unlock();
      watch();
      lock.lock();
    }
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace quirmel
