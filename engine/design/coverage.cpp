#include "engine/design/coverage.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>
#include <stdexcept>

#include "engine/core/worker_pool.h"
#include "engine/design/coverage_kernel.h"
#include "engine/design/coverage_options.h"

namespace quirmel {

namespace {

// The subsets are counted in chunks of one progress interval, in lexicographic order; after every
// full chunk the hook is asked whether to go on.
struct ChunkPlan {
  const RowSets& sets;
  int64_t total;
  int64_t chunks;

  int64_t SizeOf(int64_t chunk) const {
    return std::min<int64_t>(kProgressInterval, total - chunk * kProgressInterval);
  }
  void Count(int64_t chunk, MatchTable& table) const {
    const Subset first = UnrankSubset(chunk * kProgressInterval, sets.poolSize, sets.subsetSize);
    CountSubsets(sets, first, SizeOf(chunk), table);
  }
};

void AddTable(const MatchTable& from, MatchTable& to) {
  for (std::size_t level = 0; level < to.size(); ++level) {
    for (std::size_t m = 0; m < to[level].size(); ++m)
      to[level][m] += from[level][m];
  }
}

// Reports the chunk just counted; true when the hook asks to stop.
bool ChunkDone(const ChunkPlan& plan, int64_t chunk, CoverageStats& stats,
               const ProgressHook& progress) {
  stats.subsetCount = static_cast<int32_t>(chunk * kProgressInterval + plan.SizeOf(chunk));
  if (plan.SizeOf(chunk) < kProgressInterval || !progress) return false;
  return progress(stats.subsetCount);
}

void RunOnCallingThread(const ChunkPlan& plan, CoverageStats& stats, const ProgressHook& progress) {
  for (int64_t chunk = 0; chunk < plan.chunks; ++chunk) {
    plan.Count(chunk, stats.matchCountTable);
    if (ChunkDone(plan, chunk, stats, progress)) {
      stats.stopped = true;
      return;
    }
  }
}

// Workers count chunks ahead into a ring of private tables; the calling thread counts chunks too,
// and merges the tables strictly in chunk order, calling the hook after each, so progress and a
// stop behave exactly as on one thread.
class ParallelRun {
 public:
  static constexpr int kRing = 256;

  explicit ParallelRun(const ChunkPlan& plan) : plan_(plan) {}

  void Work() {
    for (;;) {
      if (cancelled_.load(std::memory_order_acquire)) return;
      const int64_t chunk = next_.fetch_add(1, std::memory_order_relaxed);
      if (chunk >= plan_.chunks) return;
      int merged = merged_.load(std::memory_order_acquire);
      while (chunk - merged >= kRing) {  // its slot still holds an unmerged chunk
        merged_.wait(merged, std::memory_order_acquire);
        merged = merged_.load(std::memory_order_acquire);
      }
      if (cancelled_.load(std::memory_order_acquire)) return;
      Fill(chunk);
    }
  }

  void Merge(CoverageStats& stats, const ProgressHook& progress) {
    for (int64_t chunk = 0; chunk < plan_.chunks; ++chunk) {
      Slot& slot = slots_[chunk % kRing];
      for (;;) {
        const int ready = slot.ready.load(std::memory_order_acquire);
        if (ready == chunk) break;
        if (!ClaimAndFill(chunk)) slot.ready.wait(ready, std::memory_order_acquire);
      }
      AddTable(slot.table, stats.matchCountTable);
      merged_.store(static_cast<int>(chunk + 1), std::memory_order_release);
      merged_.notify_all();
      if (ChunkDone(plan_, chunk, stats, progress)) {
        stats.stopped = true;
        return;
      }
    }
  }

  // Tells the workers to leave; those waiting for a slot are released.
  void Cancel() {
    cancelled_.store(true, std::memory_order_release);
    merged_.store(INT_MAX, std::memory_order_release);
    merged_.notify_all();
  }

 private:
  struct Slot {
    std::atomic<int> ready{-1};  // the chunk whose table the slot holds
    MatchTable table{};
  };

  // The calling thread takes the next unclaimed chunk, if its slot is free.
  bool ClaimAndFill(int64_t merging) {
    int64_t chunk = next_.load(std::memory_order_relaxed);
    while (chunk < plan_.chunks && chunk - merging < kRing) {
      if (next_.compare_exchange_weak(chunk, chunk + 1, std::memory_order_relaxed)) {
        Fill(chunk);
        return true;
      }
    }
    return false;
  }

  void Fill(int64_t chunk) {
    Slot& slot = slots_[chunk % kRing];
    slot.table = MatchTable{};
    plan_.Count(chunk, slot.table);
    slot.ready.store(static_cast<int>(chunk), std::memory_order_release);
    slot.ready.notify_all();
  }

  const ChunkPlan& plan_;
  std::atomic<int64_t> next_{0};
  std::atomic<int> merged_{0};
  std::atomic<bool> cancelled_{false};
  Slot slots_[kRing];
};

void CheckArguments(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                    int16_t poolSize, int16_t subsetSize) {
  if (combinationCount < 1 || combinationCount > wheel.rows()) {
    throw std::invalid_argument("AnalyseCoverage: combination count outside the wheel");
  }
  if (keyCount < 1 || keyCount > wheel.positions()) {
    throw std::invalid_argument("AnalyseCoverage: key count outside the wheel");
  }
  if (poolSize < 0 || poolSize > kMaxPoolSize) {
    throw std::invalid_argument("AnalyseCoverage: pool size outside " + RangeText(0, kMaxPoolSize));
  }
  if (subsetSize < 2 || subsetSize > kMaxLevel) {
    throw std::invalid_argument("AnalyseCoverage: subset size outside 2..6");
  }
}

}  // namespace

CoverageStats AnalyseCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                              int16_t poolSize, int16_t subsetSize, const ProgressHook& progress,
                              const AnalysisOptions& options) {
  CheckArguments(wheel, combinationCount, keyCount, poolSize, subsetSize);
  CoverageStats stats;
  const int64_t total = SubsetTotal(poolSize, subsetSize);
  if (total == 0) return stats;

  const RowSets sets = BuildRowSets(wheel, combinationCount, keyCount, poolSize, subsetSize);
  const ChunkPlan plan{sets, total, (total + kProgressInterval - 1) / kProgressInterval};

  bool parallel = false;
  if (options.useWorkers && total >= options.parallelFrom && plan.chunks > 1) {
    WorkerPool& pool = WorkerPool::Shared();
    auto run = std::make_unique<ParallelRun>(plan);
    if (pool.Start([&run] { run->Work(); }, [&run] { run->Cancel(); })) {
      parallel = true;
      try {
        run->Merge(stats, progress);
      } catch (...) {  // a throwing hook must not leave workers behind on a dead run
        run->Cancel();
        pool.Wait();
        throw;
      }
      run->Cancel();
      pool.Wait();
    }
  }
  if (!parallel) RunOnCallingThread(plan, stats, progress);

  for (int level = 0; level <= kMaxLevel; ++level) {
    int64_t sum = 0;
    for (int m = 1; m <= kMatchCountCap; ++m)
      sum += stats.matchCountTable[level][m];
    stats.bestLevelCount[level] = static_cast<int32_t>(sum);
  }
  return stats;
}

CoverageStats AnalyseCoverage(const Wheel& wheel, int16_t combinationCount, int16_t keyCount,
                              int16_t poolSize, int16_t subsetSize, const ProgressHook& progress) {
  return AnalyseCoverage(wheel, combinationCount, keyCount, poolSize, subsetSize, progress,
                         AnalysisOptions{});
}

}  // namespace quirmel
