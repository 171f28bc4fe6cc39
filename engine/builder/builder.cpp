#include "engine/builder/builder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "engine/builder/cover_search.h"
#include "engine/builder/key_numbers.h"
#include "engine/check/check.h"
#include "engine/core/subsets.h"
#include "engine/core/worker_pool.h"

namespace quirmel {

namespace {

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
  return SortedNumbers(std::move(numbers));
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
  if (request.seconds > kMaxBuildSeconds)
    refuse("the time limit is at most " + GroupedText(static_cast<int64_t>(kMaxBuildSeconds)) +
           " seconds (a week)");
  if (request.threads < 0 || request.threads > kMaxBuildThreads)
    refuse("the searches side by side are 0 (one per core) to " + std::to_string(kMaxBuildThreads));
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

int SearchCount(const BuildRequest& request, const CoverShape& shape) {
  const int wanted = request.threads > 0
                         ? request.threads
                         : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const int64_t fit = kMaxBuildBytes / std::max<int64_t>(CoverState::Bytes(shape), 1);
  return static_cast<int>(std::clamp<int64_t>(fit, 1, wanted));
}

// The known covers the request can give (the book's), as rows of places.
KnownCover KnownFrom(const BuildRequest& request) {
  if (!request.knownCover) return {};
  return [&request](const CoverShape& part) -> std::optional<Rows> {
    const std::optional<AnyWheel> wheel =
        request.knownCover(part.places, part.rowSize, part.guarantee, part.drawSize);
    if (!wheel) return std::nullopt;
    std::vector<int> ones(static_cast<std::size_t>(part.places));
    for (int place = 0; place < part.places; ++place)
      ones[static_cast<std::size_t>(place)] = place + 1;
    return StartRows(*wheel, ones, part.rowSize);
  };
}

// One build: the searches on a thread of their own, watched from the caller's thread (which
// reports progress and passes a stop on), then the final check of what they found.
class BuildRun {
 public:
  BuildRun(const BuildRequest& request, const CoverShape& shape, const std::vector<int>& numbers)
      : request_(request), shape_(shape), numbers_(numbers) {
    result.numbers = numbers;
    result.lowerBound =
        SchoenheimBound(shape.places, shape.rowSize, shape.guarantee, shape.drawSize);
    result.threads = SearchCount(request, shape);
    // The searches leave time for the final check of what they found.
    const double searchSeconds =
        std::max(request.seconds - CheckSeconds(shape), request.seconds / 2);
    control_ = {.started = SearchClock::now(),
                .deadline = {},
                .maxMoves = request.maxMoves,
                .enough = std::max<int64_t>(
                    {result.lowerBound.value_or(1), request.targetRows.value_or(1), 1}),
                .stop = &stop_};
    control_.deadline = control_.started + std::chrono::duration_cast<SearchClock::duration>(
                                               std::chrono::duration<double>(searchSeconds));
  }

  FoundCover Search() {
    const std::optional<Rows> start =
        request_.start ? std::optional<Rows>(StartRows(*request_.start, numbers_, shape_.rowSize))
                       : std::nullopt;
    FoundCover found;
    RunWatched(
        [&] {
          found =
              FindCover(shape_, control_, result.threads, request_.seed, &live_,
                        start ? &*start : nullptr, request_.startMethod, 0, KnownFrom(request_));
        },
        kReportEvery,
        [&] {
          Report({.rows = live_.rows.load(),
                  .cost = live_.cost.load(),
                  .bestRows = live_.bestRows.load(),
                  .moves = live_.moves.load(),
                  .seconds = Elapsed()});
        });
    return found;
  }

  void Finish(FoundCover found) {
    result.moves = found.moves;
    result.firstCover = found.firstCover;
    if (found.rows.empty()) {  // not even the greedy start was finished
      result.wheel = ToWheel(found.last, numbers_);
      result.method = "none: the time ran out before a first cover";
    } else {
      // The check keeps to the time limit too, and after a stop to a short while: cut short, it
      // confirms nothing.
      const int size = static_cast<int>(found.rows.size());
      result.covered = Verified(found.rows, shape_, [&](int64_t, int64_t) {
        if (!result.stopped)
          Report({.rows = size,
                  .cost = 0,
                  .bestRows = size,
                  .moves = result.moves,
                  .seconds = Elapsed()});
        const double limit =
            result.stopped ? stoppedAt_ + kCheckAfterStop : request_.seconds + kCheckOvertime;
        if (Elapsed() > limit) result.unchecked = true;
        return result.unchecked;
      });
      // Listed as wheel files are: each row ascending, the rows in lexicographic order.
      for (std::vector<int>& row : found.rows)
        std::sort(row.begin(), row.end());
      std::sort(found.rows.begin(), found.rows.end());
      result.wheel = ToWheel(found.rows, numbers_);
      result.bestAt = found.bestAt;
      result.method = found.method;
    }
    const auto rows = static_cast<int64_t>(result.wheel.rowCount());
    result.reachedTarget = result.covered && request_.targetRows && rows <= *request_.targetRows;
    result.smallest = result.covered && result.lowerBound && rows <= *result.lowerBound;
    result.seconds = Elapsed();
  }

  BuildResult result;

 private:
  double Elapsed() const {
    return std::chrono::duration<double>(SearchClock::now() - control_.started).count();
  }

  // Tells the caller how far the build is; a stop it asks for is passed on to the searches.
  void Report(const BuildProgress& now) {
    if (!request_.progress || !request_.progress(now) || result.stopped) return;
    stop_ = true;
    result.stopped = true;
    stoppedAt_ = Elapsed();
  }

  const BuildRequest& request_;
  const CoverShape shape_;
  const std::vector<int>& numbers_;
  std::atomic<bool> stop_{false};
  double stoppedAt_ = 0;  // seconds, when the hook asked to stop
  SearchLive live_;
  SearchControl control_;
};

}  // namespace

std::optional<int64_t> SchoenheimBound(int places, int rowSize, int guarantee, int drawSize) {
  if (drawSize != guarantee) return std::nullopt;
  int64_t bound = 1;
  for (int i = guarantee - 1; i >= 0; --i)
    bound = ((places - i) * bound + (rowSize - i) - 1) / (rowSize - i);
  return bound;
}

BuildResult BuildWheel(const BuildRequest& request) {
  if (!request.keyNumbers.empty()) return BuildAroundKeys(request);
  const std::vector<int> numbers = PoolNumbers(request);
  const CoverShape shape{.places = static_cast<int>(numbers.size()),
                         .rowSize = request.rowSize,
                         .guarantee = request.guarantee,
                         .drawSize = request.drawSize};
  Validate(request, shape);
  BuildRun run(request, shape, numbers);
  run.Finish(run.Search());
  return std::move(run.result);
}

}  // namespace quirmel
