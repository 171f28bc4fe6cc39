#include "engine/check/check.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "engine/check/check_tables.h"
#include "engine/check/row_sets.h"
#include "engine/check/win_table.h"
#include "engine/core/worker_pool.h"

namespace quirmel {

namespace {

// Each chunk is sized for about this much work, so the hook and a stop come often enough.
constexpr double kChunkNanoseconds = 8e6;

void Validate(const CheckRequest& request) {
  const auto refuse = [](const std::string& what) { throw std::invalid_argument(what); };
  if (request.poolSize < 1 || request.poolSize > kMaxWheelNumber)
    refuse("the pool holds " + RangeText(1, kMaxWheelNumber) + " numbers");
  if (request.drawSize < kMinDrawSize || request.drawSize > kMaxDrawSize)
    refuse("the numbers drawn are " + RangeText(kMinDrawSize, kMaxDrawSize));
  if (request.guarantee && (*request.guarantee < 1 || *request.guarantee > request.drawSize))
    refuse("the guarantee is at most the draw size " + std::to_string(request.drawSize));
  if (request.necessity && !request.guarantee) refuse("the rows' necessity needs a guarantee");
  if (request.holesToList < 0 || request.holesToList > kMaxHolesListed)
    refuse("the hole list holds 0 to " + std::to_string(kMaxHolesListed) + " holes");
  if (request.wheel.rowCount() > kMaxWheelRows)
    refuse("more than " + std::to_string(kMaxWheelRows) + " rows");
}

// Estimated nanoseconds per subset of each method, from measurements on this kind of machine:
// the row bitsets cost about one word operation per 64 rows, the tables one pass per prefix
// subset, 2^(m-1) of them, plus building the tables.
double RowSetCost(const AnyWheel& wheel) {
  return 1.0 + static_cast<double>((wheel.rowCount() + 63) / 64);
}
double TableCost(const CheckRequest& request, int64_t entries, int64_t subsets) {
  const double perSubset = 2.0 + 0.2 * static_cast<double>(1 << (request.drawSize - 1));
  return perSubset + 20.0 * static_cast<double>(entries) / static_cast<double>(subsets);
}

TableRequest TablesFor(const CheckRequest& request) {
  return {.poolSize = request.poolSize,
          .drawSize = request.drawSize,
          .guarantee = request.guarantee.value_or(0),
          .necessity = request.necessity};
}

CheckMethod ChooseMethod(const CheckRequest& request, int64_t subsets) {
  const bool detail = request.holesToList > 0 || request.necessity;
  if (request.method == CheckMethod::RowSets && !detail) return CheckMethod::RowSets;
  const int64_t bytes = CountTables::BytesNeeded(request.wheel, TablesFor(request));
  const bool tablesFit = bytes <= kMaxCheckTableBytes;
  if (request.method == CheckMethod::CountTables || detail) {
    if (!tablesFit) {
      throw std::length_error(
          "the count tables this check needs (for the hole list or the rows each subset needs) "
          "would take about " +
          GroupedText(bytes >> 20) + " MB, more than the " +
          GroupedText(kMaxCheckTableBytes >> 20) + " MB a check may take");
    }
    return CheckMethod::CountTables;
  }
  if (!tablesFit) return CheckMethod::RowSets;
  const int64_t entries =
      CountTables::EntriesNeeded(request.wheel, request.poolSize, request.drawSize);
  return RowSetCost(request.wheel) <= TableCost(request, entries, subsets)
             ? CheckMethod::RowSets
             : CheckMethod::CountTables;
}

// Tallies kept for chunks counted ahead of the in-order merge take at most about this much.
constexpr int64_t kOrderedRingBytes = int64_t{32} << 20;
constexpr int64_t kOrderedRingSlots = 256;
constexpr int64_t kSlotsPerThread = 16;

void AddTally(const CheckTally& from, CheckTally& to) {
  for (std::size_t i = 0; i < to.histogram.size(); ++i)
    to.histogram[i] += from.histogram[i];
  for (std::size_t i = 0; i < to.necessity.size(); ++i)
    to.necessity[i] += from.necessity[i];
}

// The first `limit` holes in rank order, gathered from chunks that finish in any order. A chunk's
// holes are kept only while the chunks before it hold fewer than the limit, so at most `limit`
// are kept at any time, however many holes the pool has.
class HoleList {
 public:
  explicit HoleList(int64_t limit) : limit_(limit) {}

  // Whether chunk `chunk` may still add holes.
  bool Wants(int64_t chunk) const {
    return limit_ > 0 && chunk < cutoff_.load(std::memory_order_relaxed);
  }

  void Add(int64_t chunk, std::vector<Subset>&& holes) {
    std::lock_guard lock(mutex_);
    if (!Wants(chunk)) return;
    count_ += static_cast<int64_t>(holes.size());
    kept_.emplace(chunk, std::move(holes));
    // The last chunk kept is dropped while the ones before it hold enough, then cut to size.
    while (count_ - static_cast<int64_t>(kept_.rbegin()->second.size()) >= limit_) {
      count_ -= static_cast<int64_t>(kept_.rbegin()->second.size());
      kept_.erase(std::prev(kept_.end()));
    }
    if (count_ >= limit_) {
      std::vector<Subset>& last = kept_.rbegin()->second;
      last.resize(last.size() - static_cast<std::size_t>(count_ - limit_));
      count_ = limit_;
      cutoff_.store(kept_.rbegin()->first, std::memory_order_relaxed);
    }
  }

  int64_t Count() const { return count_; }
  const std::map<int64_t, std::vector<Subset>>& Kept() const { return kept_; }

 private:
  const int64_t limit_;
  std::mutex mutex_;
  std::map<int64_t, std::vector<Subset>> kept_;  // by chunk
  int64_t count_ = 0;
  std::atomic<int64_t> cutoff_{INT64_MAX};  // chunks from here on add nothing
};

// The subsets in chunks of consecutive lexicographic ranks, counted by the calling thread and the
// pool's workers. Unordered, each counts into its own tally and the calling thread calls the hook
// between its chunks. Ordered (orderedChunk), workers count chunks ahead into a ring of slots and
// the calling thread, counting too, merges the slots strictly in chunk order and calls the hook
// after each, so progress and a stop are the same whatever the number of threads.
class CheckRun {
 public:
  CheckRun(const CheckRequest& request, CheckMethod method, int64_t subsets, int participants)
      : request_(request),
        method_(method),
        subsets_(subsets),
        columns_(static_cast<int>(request.wheel.rowCount()) + 1),
        tallies_(static_cast<std::size_t>(participants)) {
    const double cost =
        method == CheckMethod::RowSets ? RowSetCost(request.wheel) : TableCost(request, 0, 1);
    chunk_ =
        std::clamp<int64_t>(static_cast<int64_t>(kChunkNanoseconds / cost), 4096, int64_t{1} << 22);
    chunk_ = std::min(chunk_, std::max<int64_t>(1024, subsets / (8 * participants)));
    if (request.orderedChunk > 0) chunk_ = request.orderedChunk;
    chunks_ = (subsets + chunk_ - 1) / chunk_;
    const auto histogram = static_cast<std::size_t>((request.drawSize + 1) * columns_);
    for (CheckTally& tally : tallies_) {
      tally.histogram.assign(histogram, 0);
      if (request.necessity) tally.necessity.assign(request.wheel.rowCount(), 0);
    }
    if (request.orderedChunk > 0) {
      const auto slotBytes = static_cast<int64_t>(
          8 * (histogram + (request.necessity ? request.wheel.rowCount() : 0)));
      // Enough slots for every thread to count a few chunks ahead of the merge.
      ring_ = std::clamp<int64_t>(
          std::min({kOrderedRingBytes / slotBytes, chunks_, kSlotsPerThread * participants}), 2,
          kOrderedRingSlots);
      slots_ = std::vector<Slot>(static_cast<std::size_t>(ring_));
      for (Slot& slot : slots_)
        slot.tally = tallies_[0];
    }
    if (method == CheckMethod::RowSets) {
      rowSets_ = std::make_unique<RowSets>(
          BuildRowSets(request.wheel, request.poolSize, request.drawSize));
    } else {
      tables_ = std::make_unique<CountTables>(request.wheel, TablesFor(request));
    }
  }

  // The calling thread's share, asking the hook after each of its chunks; returns once no chunk
  // is left or the hook asked to stop.
  void Lead() {
    if (!slots_.empty()) return MergeInOrder();
    while (CountNext(tallies_[0])) {
      if (request_.progress && request_.progress(examined_.load(), subsets_)) {
        Cancel();
        return;
      }
    }
  }

  void Help() {
    if (!slots_.empty()) return CountAhead();
    const int id = joined_.fetch_add(1) + 1;
    if (id >= static_cast<int>(tallies_.size())) return;
    while (CountNext(tallies_[static_cast<std::size_t>(id)])) {
    }
  }

  // Tells the workers to leave; those waiting for a free slot are released.
  void Cancel() {
    cancelled_.store(true, std::memory_order_release);
    merged_.store(INT64_MAX, std::memory_order_release);
    merged_.notify_all();
  }

  CheckResult Result() {
    CheckResult result;
    result.subsets = subsets_;
    result.examined = examined_.load();
    result.stopped = stopAsked_ || result.examined < subsets_;
    result.method = method_;
    result.guarantee = request_.guarantee;
    const int m = request_.drawSize;
    result.levels.resize(static_cast<std::size_t>(m + 1));
    for (int level = 0; level <= m; ++level) {
      for (int matches = 0; matches < columns_; ++matches) {
        int64_t sum = 0;
        for (const CheckTally& tally : tallies_)
          sum += tally.histogram[static_cast<std::size_t>(level * columns_ + matches)];
        if (sum != 0) result.levels[static_cast<std::size_t>(level)][matches] = sum;
      }
    }
    if (request_.guarantee) {
      for (int level = 0; level <= m; ++level) {
        (level < *request_.guarantee ? result.holes : result.covered) += result.SubsetsAt(level);
      }
    }
    result.holeList.reserve(static_cast<std::size_t>(holes_.Count()));
    for (const auto& [chunk, holes] : holes_.Kept()) {
      for (const Subset& hole : holes)
        result.holeList.emplace_back(hole.begin(), hole.begin() + m);
    }
    if (request_.necessity) {
      result.necessity.assign(request_.wheel.rowCount(), 0);
      for (const CheckTally& tally : tallies_) {
        for (std::size_t row = 0; row < tally.necessity.size(); ++row)
          result.necessity[row] += tally.necessity[row];
      }
    }
    return result;
  }

 private:
  struct Slot {
    std::atomic<int64_t> ready{-1};  // the chunk whose tally the slot holds
    CheckTally tally;
  };

  int64_t SizeOf(int64_t chunk) const { return std::min(chunk_, subsets_ - chunk * chunk_); }

  // Adds chunk `chunk` to `tally`, its holes (count tables only) into tally.holes when the
  // chunks before it have not listed enough already.
  void CountChunk(int64_t chunk, CheckTally& tally) const {
    const Subset first = UnrankSubset(chunk * chunk_, request_.poolSize, request_.drawSize);
    if (rowSets_) {
      CountSubsets(*rowSets_, first, SizeOf(chunk), tally.histogram.data());
    } else {
      tally.holes.clear();
      tally.holeRoom = holes_.Wants(chunk) ? static_cast<std::size_t>(request_.holesToList) : 0;
      tables_->Count(first, SizeOf(chunk), tally);
    }
  }

  // Counts the next chunk into `tally`; false when none is left or the run was cancelled.
  bool CountNext(CheckTally& tally) {
    if (cancelled_.load(std::memory_order_acquire)) return false;
    const int64_t chunk = next_.fetch_add(1, std::memory_order_relaxed);
    if (chunk >= chunks_) return false;
    CountChunk(chunk, tally);
    if (!tally.holes.empty()) holes_.Add(chunk, std::move(tally.holes));
    examined_.fetch_add(SizeOf(chunk), std::memory_order_relaxed);
    return true;
  }

  Slot& SlotOf(int64_t chunk) { return slots_[static_cast<std::size_t>(chunk % ring_)]; }

  // A worker of an ordered run: claims chunks in order and counts each into its slot once the
  // merge has emptied that slot.
  void CountAhead() {
    for (;;) {
      if (cancelled_.load(std::memory_order_acquire)) return;
      const int64_t chunk = next_.fetch_add(1, std::memory_order_relaxed);
      if (chunk >= chunks_) return;
      int64_t merged = merged_.load(std::memory_order_acquire);
      while (chunk - merged >= ring_) {  // its slot still holds an unmerged chunk
        merged_.wait(merged, std::memory_order_acquire);
        merged = merged_.load(std::memory_order_acquire);
      }
      if (cancelled_.load(std::memory_order_acquire)) return;
      Fill(chunk);
    }
  }

  // The calling thread of an ordered run: merges the chunks in order, counting those no worker
  // has taken, and asks the hook after each full chunk.
  void MergeInOrder() {
    for (int64_t chunk = 0; chunk < chunks_; ++chunk) {
      Slot& slot = SlotOf(chunk);
      for (;;) {
        const int64_t ready = slot.ready.load(std::memory_order_acquire);
        if (ready == chunk) break;
        if (!ClaimAndFill(chunk)) slot.ready.wait(ready, std::memory_order_acquire);
      }
      AddTally(slot.tally, tallies_[0]);
      if (!slot.tally.holes.empty()) holes_.Add(chunk, std::move(slot.tally.holes));
      merged_.store(chunk + 1, std::memory_order_release);
      merged_.notify_all();
      examined_.store(chunk * chunk_ + SizeOf(chunk), std::memory_order_relaxed);
      if (SizeOf(chunk) == chunk_ && request_.progress &&
          request_.progress(examined_.load(), subsets_)) {
        stopAsked_ = true;
        Cancel();
        return;
      }
    }
  }

  // The calling thread takes the next unclaimed chunk, if its slot is free.
  bool ClaimAndFill(int64_t merging) {
    int64_t chunk = next_.load(std::memory_order_relaxed);
    while (chunk < chunks_ && chunk - merging < ring_) {
      if (next_.compare_exchange_weak(chunk, chunk + 1, std::memory_order_relaxed)) {
        Fill(chunk);
        return true;
      }
    }
    return false;
  }

  void Fill(int64_t chunk) {
    Slot& slot = SlotOf(chunk);
    std::fill(slot.tally.histogram.begin(), slot.tally.histogram.end(), 0);
    std::fill(slot.tally.necessity.begin(), slot.tally.necessity.end(), 0);
    CountChunk(chunk, slot.tally);
    slot.ready.store(chunk, std::memory_order_release);
    slot.ready.notify_all();
  }

  const CheckRequest request_;  // its own copy: the run never outlives what it counts
  const CheckMethod method_;
  const int64_t subsets_;
  const int columns_;
  int64_t chunk_ = 0;
  int64_t chunks_ = 0;
  std::vector<CheckTally> tallies_;  // [0] the calling thread's, then one per worker
  std::unique_ptr<RowSets> rowSets_;
  std::unique_ptr<CountTables> tables_;
  std::atomic<int64_t> next_{0};
  std::atomic<int64_t> examined_{0};
  std::atomic<int> joined_{0};
  std::atomic<bool> cancelled_{false};
  bool stopAsked_ = false;  // an ordered run's hook asked to stop (perhaps after its last chunk)
  int64_t ring_ = 0;        // slots of an ordered run; none when unordered
  std::vector<Slot> slots_;
  std::atomic<int64_t> merged_{0};  // chunks merged, in order
  HoleList holes_{request_.holesToList};
};

}  // namespace

int64_t CheckResult::SubsetsAt(int level) const {
  int64_t sum = 0;
  if (level >= 0 && level < static_cast<int>(levels.size())) {
    for (const auto& [matches, count] : levels[static_cast<std::size_t>(level)])
      sum += count;
  }
  return sum;
}

int CountingThreads(const CheckRequest& request, int wanted) {
  // A thread's tallies: its level-by-matches histogram, the row-set walker's two 32-bit copies of
  // it and, for necessity, a count a row.
  const int64_t columns = static_cast<int64_t>(request.wheel.rowCount()) + 1;
  const int64_t perThread = columns * (request.drawSize + 1) * 8 +
                            columns * 2 * (kMaxSubsetSize + 1) * 4 +
                            (request.necessity ? columns * 8 : 0);
  return static_cast<int>(
      std::clamp<int64_t>(kMaxCheckTallyBytes / perThread, 1, std::max(wanted, 1)));
}

CheckResult CheckWheel(const CheckRequest& request) {
  if (!request.numbers.empty()) {
    const std::vector<int> numbers = SortedNumbers(request.numbers);
    // Over the player's numbers, the wheel is checked over their places 1..n.
    const AnyWheel places = OverNumbers(request.wheel, numbers);
    CheckRequest inner{.wheel = places,
                       .poolSize = static_cast<int>(numbers.size()),
                       .drawSize = request.drawSize,
                       .guarantee = request.guarantee,
                       .holesToList = request.holesToList,
                       .necessity = request.necessity,
                       .threads = request.threads,
                       .method = request.method,
                       .progress = request.progress,
                       .orderedChunk = request.orderedChunk};
    CheckResult result = CheckWheel(inner);
    for (std::vector<int>& hole : result.holeList) {
      for (int& place : hole)
        place = numbers[static_cast<std::size_t>(place - 1)];
    }
    return result;
  }
  Validate(request);
  const int64_t subsets = Binomial(request.poolSize, request.drawSize);
  if (subsets == 0 || request.wheel.rowCount() == 0) {
    CheckResult empty;
    empty.subsets = subsets;
    empty.guarantee = request.guarantee;
    empty.levels.resize(static_cast<std::size_t>(request.drawSize + 1));
    if (subsets > 0) {  // no rows: every subset is at level 0 with no row there
      empty.examined = subsets;
      empty.levels[0][0] = subsets;
      if (request.guarantee) empty.holes = subsets;
    }
    return empty;
  }
  const CheckMethod method = ChooseMethod(request, subsets);

  WorkerPool& workerPool = WorkerPool::Shared();
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const int wanted = CountingThreads(request, request.threads > 0 ? request.threads : cores);
  const int workers = std::clamp(wanted - 1, 0, workerPool.size());
  auto run = std::make_unique<CheckRun>(request, method, subsets, 1 + workers);
  const bool helped =
      workers > 0 && workerPool.Start([&run] { run->Help(); }, [&run] { run->Cancel(); });
  try {
    run->Lead();
  } catch (...) {  // a throwing hook must not leave workers behind on a dead run
    run->Cancel();
    if (helped) workerPool.Wait();
    throw;
  }
  if (helped) workerPool.Wait();
  CheckResult result = run->Result();
  result.threads = helped ? 1 + workers : 1;  // the shared workers may be busy with another run
  return result;
}

}  // namespace quirmel
