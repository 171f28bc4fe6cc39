#include "engine/builder/builder.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "engine/builder/anneal.h"
#include "engine/builder/designs.h"
#include "engine/builder/pigeonhole.h"
#include "engine/check/check.h"
#include "engine/core/subsets.h"

namespace quirmel {

namespace {

constexpr double kSplitShare = 0.1;     // of the time, at most, for the pigeonhole splits
constexpr double kSplitSeconds = 8;     // and never more than this
constexpr double kCheckNsPerDraw = 12;  // the final check, per draw and core (measured: 5-7)
constexpr auto kReportEvery = std::chrono::milliseconds(100);
constexpr double kCheckOvertime = 0.8;  // seconds the final check may run past the limit
// Seconds the final check may take once the search has been stopped: enough to confirm the best
// cover of a player's wheel, short enough that a stop still feels immediate.
constexpr double kCheckAfterStop = 0.05;

// The numbers the wheel is built over, ascending.
std::vector<int> PoolNumbers(const BuildRequest& request) {
  std::vector<int> numbers = request.numbers;
  if (numbers.empty()) {
    if (request.poolSize < 1 || request.poolSize > kMaxWheelNumber)
      throw std::invalid_argument("the pool holds 1 to " + std::to_string(kMaxWheelNumber) +
                                  " numbers");
    for (int v = 1; v <= request.poolSize; ++v)
      numbers.push_back(v);
  }
  std::sort(numbers.begin(), numbers.end());
  if (numbers.front() < 1 || numbers.back() > kMaxWheelNumber)
    throw std::invalid_argument("the numbers run from 1 to " + std::to_string(kMaxWheelNumber));
  if (std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end())
    throw std::invalid_argument("a number is given twice");
  return numbers;
}

// What the final check of every draw should take on this machine.
double CheckSeconds(const CoverShape& shape) {
  const double cores = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<double>(Binomial(shape.places, shape.drawSize)) * kCheckNsPerDraw * 1e-9 /
         cores;
}

void Validate(const BuildRequest& request, const CoverShape& shape) {
  const auto refuse = [](const std::string& message) { throw std::invalid_argument(message); };
  if (request.rowSize < 2 || request.rowSize > kMaxRowLength)
    refuse("a row holds 2 to " + std::to_string(kMaxRowLength) + " numbers");
  if (request.drawSize < kMinDrawSize || request.drawSize > kMaxDrawSize)
    refuse("a draw holds " + std::to_string(kMinDrawSize) + " to " + std::to_string(kMaxDrawSize) +
           " numbers");
  if (request.guarantee < 1) refuse("the guarantee is at least 1");
  if (request.guarantee > request.rowSize) refuse("the guarantee cannot pass the row size (t > k)");
  if (request.guarantee > request.drawSize)
    refuse("the guarantee cannot pass the draw size (t > m)");
  if (shape.places < request.rowSize) refuse("the pool is smaller than a row");
  if (shape.places < request.drawSize) refuse("the pool is smaller than a draw");
  if (!(request.seconds > 0) || !std::isfinite(request.seconds))
    refuse("the time limit must be a positive number of seconds");
  const double checkSeconds = CheckSeconds(shape);
  if (checkSeconds > request.seconds / 2) {
    refuse("the final check of all " + std::to_string(Binomial(shape.places, shape.drawSize)) +
           " draws takes about " + std::to_string(static_cast<int64_t>(std::ceil(checkSeconds))) +
           " s here: allow at least " +
           std::to_string(static_cast<int64_t>(std::ceil(2 * checkSeconds))) + " s");
  }
  const int64_t bytes = CoverState::Bytes(shape);
  if (bytes > kMaxBuildBytes) {
    refuse("a search over " + std::to_string(shape.places) + " numbers at " +
           std::to_string(shape.guarantee) + " needs " + std::to_string(bytes >> 20) +
           " MiB, more than " + std::to_string(kMaxBuildBytes >> 20) + " MiB");
  }
}

// Rows of numbers as rows of places 0..P-1 (the starting wheel).
Rows StartRows(const AnyWheel& wheel, const std::vector<int>& numbers, int rowSize) {
  Rows rows;
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    std::vector<int> row;
    for (const uint8_t number : wheel.row(r)) {
      const auto at = std::lower_bound(numbers.begin(), numbers.end(), number);
      if (at == numbers.end() || *at != number)
        throw std::invalid_argument("the starting wheel holds a number outside the pool");
      row.push_back(static_cast<int>(at - numbers.begin()));
    }
    if (static_cast<int>(row.size()) != rowSize)
      throw std::invalid_argument("the starting wheel's rows must hold k numbers");
    std::sort(row.begin(), row.end());
    rows.push_back(row);
  }
  return rows;
}

AnyWheel ToWheel(const Rows& rows, const std::vector<int>& numbers) {
  AnyWheel wheel;
  std::vector<uint8_t> row;
  for (const auto& places : rows) {
    row.clear();
    for (const int place : places)
      row.push_back(static_cast<uint8_t>(numbers[static_cast<std::size_t>(place)]));
    std::sort(row.begin(), row.end());
    wheel.AddRow(row);
  }
  return wheel;
}

// The general check over the places 1..P: no draw may be left unmet.
bool Verified(const Rows& rows, const CoverShape& shape, const CheckProgress& progress) {
  std::vector<int> identity(static_cast<std::size_t>(shape.places));
  for (int i = 0; i < shape.places; ++i)
    identity[static_cast<std::size_t>(i)] = i + 1;
  const AnyWheel wheel = ToWheel(rows, identity);
  const CheckResult check = CheckWheel({.wheel = wheel,
                                        .poolSize = shape.places,
                                        .drawSize = shape.drawSize,
                                        .guarantee = shape.guarantee,
                                        .progress = progress});
  return check.holes == 0 && check.examined == check.subsets;
}

struct Start {
  Rows rows;
  std::string method;
};

// A cover by the pigeonhole principle (see pigeonhole.h), each group's covering design found by
// a short search of its own; the smallest over the ways to cut the pool.
std::optional<Start> SplitStart(const CoverShape& shape, const SearchControl& control) {
  // The plans by the rows their groups need at least (the groups' Schoenheim bounds); one that
  // needs as many as the best plan found, or three quarters of a greedy cover of the whole pool
  // (which the search then shrinks by more than a quarter), is skipped.
  const auto least = [&shape](const std::vector<PlaceGroup>& plan) {
    int64_t rows = 0;
    for (const PlaceGroup& group : plan) {
      rows += group.size < shape.rowSize
                  ? 1
                  : SchoenheimBound(group.size, shape.rowSize, shape.guarantee, shape.guarantee)
                        .value_or(1);
    }
    return rows;
  };
  auto plans = GroupPlans(shape.places, shape.guarantee, shape.drawSize);
  if (plans.empty()) return std::nullopt;
  std::sort(plans.begin(), plans.end(),
            [&](const auto& a, const auto& b) { return least(a) < least(b); });
  SearchControl greedy = control;
  greedy.maxMoves = 1;
  const std::size_t greedyRows = Anneal(shape, {}, 1, greedy, nullptr, false).best.size();
  std::set<int> sizes;
  for (const auto& plan : plans) {
    for (const PlaceGroup& group : plan)
      sizes.insert(group.size);
  }
  const double total = std::min(
      kSplitShare * std::chrono::duration<double>(control.deadline - control.started).count(),
      kSplitSeconds);
  const auto slice = std::chrono::duration_cast<SearchClock::duration>(
      std::chrono::duration<double>(total / static_cast<double>(sizes.size())));
  std::map<int, Rows> designs;  // by group size: a covering design of its places
  const auto design = [&](int size) -> const Rows* {
    if (const auto known = designs.find(size); known != designs.end()) return &known->second;
    if (size < shape.rowSize) return &(designs[size] = {{}});  // the group, filled up
    const CoverShape part{.places = size,
                          .rowSize = shape.rowSize,
                          .guarantee = shape.guarantee,
                          .drawSize = shape.guarantee};
    if (CoverState::Bytes(part) > kMaxBuildBytes) return nullptr;
    SearchControl partControl = control;
    partControl.deadline = std::min(control.deadline, SearchClock::now() + slice);
    partControl.enough =
        SchoenheimBound(size, shape.rowSize, shape.guarantee, shape.guarantee).value_or(1);
    SearchOutcome found = Anneal(part, {}, 1, partControl, nullptr, false);
    if (found.best.empty()) return nullptr;
    return &(designs[size] = std::move(found.best));
  };
  std::optional<Start> best;
  for (const auto& plan : plans) {
    const std::size_t enough = best ? best->rows.size() : greedyRows * 3 / 4;
    if (enough > 0 && least(plan) >= static_cast<int64_t>(enough)) continue;
    std::set<std::vector<int>> rows;
    bool complete = true;
    for (const PlaceGroup& group : plan) {
      const Rows* local = design(group.size);
      if (local == nullptr) {
        complete = false;
        break;
      }
      for (const auto& places : *local) {
        std::vector<int> row;
        for (const int place : places)
          row.push_back(group.first + place);
        if (places.empty()) {
          for (int place = 0; place < group.size; ++place)
            row.push_back(group.first + place);
        }
        for (int place = 0; static_cast<int>(row.size()) < shape.rowSize; ++place) {
          if (std::find(row.begin(), row.end(), place) == row.end()) row.push_back(place);
        }
        std::sort(row.begin(), row.end());
        rows.insert(row);
      }
    }
    if (!complete || (best && best->rows.size() <= rows.size())) continue;
    best =
        Start{{rows.begin(), rows.end()},
              "a split into " + std::to_string(plan.size()) + " groups with designs of their own"};
  }
  return best;
}

// The smallest cover that is there before any search: the player's own start, a known design,
// or a pigeonhole split.
std::optional<Start> BestStart(const BuildRequest& request, const std::vector<int>& numbers,
                               const CoverShape& shape, const SearchControl& control) {
  std::vector<Start> starts;
  if (request.start) starts.push_back({StartRows(*request.start, numbers, shape.rowSize), ""});
  if (shape.drawSize == shape.guarantee) {
    for (DesignStart& design : DesignStarts(shape.places, shape.rowSize, shape.guarantee))
      starts.push_back({std::move(design.rows), std::move(design.name)});
  } else if (auto split = SplitStart(shape, control)) {
    starts.push_back(std::move(*split));
  }
  if (starts.empty()) return std::nullopt;
  return *std::min_element(starts.begin(), starts.end(), [](const Start& a, const Start& b) {
    return a.rows.size() < b.rows.size();
  });
}

int SearchCount(const BuildRequest& request, const CoverShape& shape) {
  const int wanted = request.threads > 0
                         ? request.threads
                         : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const int64_t fit = kMaxBuildBytes / std::max<int64_t>(CoverState::Bytes(shape), 1);
  return static_cast<int>(std::clamp<int64_t>(fit, 1, wanted));
}

}  // namespace

std::optional<int64_t> SchoenheimBound(int places, int rowSize, int guarantee, int drawSize) {
  if (drawSize != guarantee) return std::nullopt;
  int64_t bound = 1;
  for (int i = guarantee - 1; i >= 0; --i)
    bound = ((places - i) * bound + (rowSize - i) - 1) / (rowSize - i);
  return bound;
}

BuildResult BuildWheel(const BuildRequest& request) {
  const std::vector<int> numbers = PoolNumbers(request);
  const CoverShape shape{.places = static_cast<int>(numbers.size()),
                         .rowSize = request.rowSize,
                         .guarantee = request.guarantee,
                         .drawSize = request.drawSize};
  Validate(request, shape);
  BuildResult result;
  result.numbers = numbers;
  result.lowerBound = SchoenheimBound(shape.places, shape.rowSize, shape.guarantee, shape.drawSize);
  result.threads = SearchCount(request, shape);

  // The searches leave time for the final check of what they found.
  const double checkSeconds = CheckSeconds(shape);
  const double searchSeconds = std::max(request.seconds - checkSeconds, request.seconds / 2);
  std::atomic<bool> stop{false};
  double stoppedAt = 0;  // seconds, when the hook asked to stop
  SearchLive live;
  SearchControl control{.started = SearchClock::now(),
                        .deadline = {},
                        .maxMoves = request.maxMoves,
                        .enough = std::max<int64_t>(
                            {result.lowerBound.value_or(1), request.targetRows.value_or(1), 1}),
                        .stop = &stop};
  control.deadline = control.started + std::chrono::duration_cast<SearchClock::duration>(
                                           std::chrono::duration<double>(searchSeconds));
  const auto elapsed = [&] {
    return std::chrono::duration<double>(SearchClock::now() - control.started).count();
  };

  std::optional<Start> start;
  std::vector<SearchOutcome> outcomes(static_cast<std::size_t>(result.threads));
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::exception_ptr failure;
  std::thread coordinator([&] {
    try {
      start = BestStart(request, numbers, shape, control);
      std::vector<std::thread> searches;
      for (int j = 0; j < result.threads; ++j) {
        searches.emplace_back([&, j] {
          outcomes[static_cast<std::size_t>(j)] =
              Anneal(shape, start ? start->rows : Rows{}, request.seed + static_cast<uint64_t>(j),
                     control, &live, j == 0);
        });
      }
      for (std::thread& search : searches)
        search.join();
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard lock(mutex);
    done = true;
    ended.notify_all();
  });
  {
    std::unique_lock lock(mutex);
    while (!ended.wait_for(lock, kReportEvery, [&] { return done; })) {
      if (!request.progress) continue;
      lock.unlock();
      const bool stopNow = request.progress({.rows = live.rows.load(),
                                             .cost = live.cost.load(),
                                             .bestRows = live.bestRows.load(),
                                             .moves = live.moves.load(),
                                             .seconds = elapsed()});
      if (stopNow && !result.stopped) {
        stop = true;
        result.stopped = true;
        stoppedAt = elapsed();
      }
      lock.lock();
    }
  }
  coordinator.join();
  if (failure) std::rethrow_exception(failure);

  const SearchOutcome* best = nullptr;
  for (const SearchOutcome& outcome : outcomes) {
    result.moves += outcome.moves;
    if (!outcome.best.empty() && (best == nullptr || outcome.best.size() < best->best.size()))
      best = &outcome;
    if (outcome.firstCover >= 0 &&
        (result.firstCover < 0 || outcome.firstCover < result.firstCover))
      result.firstCover = outcome.firstCover;
  }
  if (best == nullptr) {  // not even the greedy start was finished
    result.wheel = ToWheel(outcomes.front().last, numbers);
    result.method = "none: the time ran out before a first cover";
  } else {
    // The check keeps to the time limit too, and after a stop to a short while: cut short, it
    // confirms nothing.
    result.covered = Verified(best->best, shape, [&](int64_t, int64_t) {
      if (request.progress && !result.stopped &&
          request.progress({.rows = static_cast<int>(best->best.size()),
                            .cost = 0,
                            .bestRows = static_cast<int>(best->best.size()),
                            .moves = result.moves,
                            .seconds = elapsed()})) {
        result.stopped = true;
        stoppedAt = elapsed();
      }
      const double limit =
          result.stopped ? stoppedAt + kCheckAfterStop : request.seconds + kCheckOvertime;
      if (elapsed() > limit) result.unchecked = true;
      return result.unchecked;
    });
    result.wheel = ToWheel(best->best, numbers);
    result.bestAt = best->bestAt;
    const bool fromStart = start && start->rows.size() == best->best.size();
    result.method = fromStart && !start->method.empty() ? start->method
                    : start && !start->method.empty()   ? "search from " + start->method
                                                        : "search";
  }
  const auto rows = static_cast<int64_t>(result.wheel.rowCount());
  result.reachedTarget = result.covered && request.targetRows && rows <= *request.targetRows;
  result.smallest = result.covered && result.lowerBound && rows <= *result.lowerBound;
  result.seconds = elapsed();
  return result;
}

}  // namespace quirmel
