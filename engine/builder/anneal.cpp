#include "engine/builder/anneal.h"

#include <algorithm>
#include <cmath>

namespace quirmel {

namespace {

constexpr int kChecksEvery = 64;    // moves between looks at the clock and the stop flag, at most
constexpr double kGuided = 0.95;    // the share of moves aimed at an unmet draw
constexpr int kDropTries = 32;      // rows weighed before one is dropped
constexpr double kFastSweeps = 5;   // a cover this quick drops twice as many rows the next time
constexpr double kSlowSweeps = 10;  // rows dropped at once that take longer are taken back
constexpr double kSmallNeighbourhood = 10000;  // moves (rows x k x (P - k)) of a small design

// The temperature, in units of the mean uphill change of cost, runs from hot to cold over a few
// sweeps of the neighbourhood (rows x k x (P - k) moves) and heats up again when it has been cold
// without progress for a while; a wheel that has not become a cover for long is given up for the
// smallest cover with another row dropped. Covering designs (m = t) like cycles of a warm search;
// lotto designs (m > t), whose changes of cost spread over a far wider range, a cold search
// started afresh often. Measured on the benchmark's cases.
struct Schedule {
  double hot;
  double cold;
  double coolingSweeps;
  double patienceSweeps;
  double restartSweeps;
  double hotter;  // the start of every other cycle, as a multiple of `hot`
};
constexpr Schedule kCoveringSchedule{0.08, 0.04, 10, 10, 300, 2.5};
constexpr Schedule kLottoSchedule{0.03, 0.03, 10, 10, 8, 1};

class Annealer {
 public:
  Annealer(const CoverShape& shape, uint64_t seed, const SearchControl& control, SearchLive* live,
           bool reports)
      : state_(shape),
        random_(seed),
        control_(control),
        live_(live),
        reports_(reports),
        schedule_(shape.drawSize == shape.guarantee ? kCoveringSchedule : kLottoSchedule) {}

  SearchOutcome Run(const Rows& start) {
    for (const auto& row : start)
      AddRow(row);
    Greedy();
    Record();
    Reheat();
    while (state_.rows() > 0 && !TimeUp()) {
      if (state_.cost() == 0) {
        Record();
        if (static_cast<int64_t>(outcome_.best.size()) <= control_.enough || state_.rows() <= 1)
          break;
        DropRows();
        continue;
      }
      const double sweeps = static_cast<double>(outcome_.moves - phaseStart_) / Neighbours();
      if ((dropping_ > 1 && sweeps > kSlowSweeps) || sweeps > schedule_.restartSweeps) {
        // Too many rows went at once, or this wheel leads nowhere: back to the smallest cover,
        // one row fewer (a row chosen at random when the search starts again at the same size).
        const bool again = dropping_ == 1;
        state_ = CoverState(state_.shape());
        for (const auto& row : outcome_.best)
          AddRow(row);
        dropping_ = 1;
        if (again) {
          state_.RemoveRow(static_cast<int>(Pick(static_cast<std::size_t>(state_.rows()))));
          Reheat();
          phaseStart_ = outcome_.moves;
        } else {
          DropRows();
        }
        continue;
      }
      Step();
    }
    outcome_.last = state_.Rows();
    return std::move(outcome_);
  }

 private:
  std::size_t Pick(std::size_t n) { return random_.Below(n); }
  double Uniform() { return random_.Uniform(); }

  double Seconds() const {
    return std::chrono::duration<double>(SearchClock::now() - control_.started).count();
  }

  // Counts a move; every few moves, looks at the limits and tells the others where it stands.
  bool TimeUp(int every = 0) {
    if (expired_ || (control_.maxMoves > 0 && outcome_.moves >= control_.maxMoves)) return true;
    if (++sinceCheck_ < (every > 0 ? every : checksEvery_)) return false;
    sinceCheck_ = 0;
    // Looks come every millisecond or two, however long a move takes on this pool.
    const auto now = SearchClock::now();
    const auto interval = now - lastCheck_;
    lastCheck_ = now;
    if (interval > std::chrono::milliseconds(2) && checksEvery_ > 1) checksEvery_ /= 2;
    if (interval < std::chrono::microseconds(500) && checksEvery_ < kChecksEvery) checksEvery_ *= 2;
    if (live_ != nullptr) {
      live_->moves.fetch_add(outcome_.moves - published_, std::memory_order_relaxed);
      published_ = outcome_.moves;
      if (reports_) {
        live_->rows.store(state_.rows(), std::memory_order_relaxed);
        live_->cost.store(state_.cost(), std::memory_order_relaxed);
      }
    }
    expired_ = (control_.stop != nullptr && control_.stop->load(std::memory_order_relaxed)) ||
               now >= control_.deadline;
    return expired_;
  }

  void AddRow(const std::vector<int>& row) {
    std::vector<uint8_t> places(row.begin(), row.end());
    state_.AddRow(places);
  }

  void Record() {
    if (state_.cost() != 0) return;
    if (!outcome_.best.empty() && state_.rows() >= static_cast<int>(outcome_.best.size())) return;
    outcome_.best = state_.Rows();
    outcome_.bestAt = Seconds();
    if (outcome_.firstCover < 0) outcome_.firstCover = outcome_.bestAt;
    if (live_ != nullptr) live_->Publish(state_.rows());
  }

  // Rows built on unmet draws until every draw is met: t numbers of the draw, then, one at a
  // time, the place of a few tried that completes the most uncovered t-subsets.
  void Greedy() {
    const CoverShape& shape = state_.shape();
    DrawPlaces draw{};
    while (state_.cost() > 0 && !TimeUp(1) && state_.FindUnmet(random_, draw)) {
      std::shuffle(draw.begin(), draw.begin() + shape.drawSize, random_);
      std::vector<uint8_t> row(draw.begin(),
                               draw.begin() + std::min(shape.guarantee, shape.rowSize));
      std::sort(row.begin(), row.end());
      while (static_cast<int>(row.size()) < shape.rowSize) {
        int chosen = -1;
        int most = -1;
        for (int tries = 0; tries < 12; ++tries) {
          const int place = tries < shape.drawSize - shape.guarantee
                                ? draw[static_cast<std::size_t>(shape.guarantee + tries)]
                                : static_cast<int>(Pick(static_cast<std::size_t>(shape.places)));
          if (std::binary_search(row.begin(), row.end(), place)) continue;
          const int covered = state_.NewlyCovered(row, place);
          if (covered > most) {
            most = covered;
            chosen = place;
          }
        }
        if (chosen < 0) continue;
        row.insert(std::upper_bound(row.begin(), row.end(), chosen), static_cast<uint8_t>(chosen));
      }
      state_.AddRow(row);
    }
  }

  // Drops rows after a cover: more at a time while covers come quickly, fewer when they do not.
  void DropRows() {
    const double sweeps = static_cast<double>(outcome_.moves - phaseStart_) / Neighbours();
    if (sweeps < kFastSweeps) {
      dropping_ = std::min(dropping_ * 2, std::max(1, state_.rows() / 32));
    } else {
      dropping_ = std::max(1, dropping_ / 2);
    }
    for (int i = 0; i < dropping_ && state_.rows() > 1; ++i)
      DropRow();
    Reheat();
    phaseStart_ = outcome_.moves;
  }

  double Neighbours() const {
    const CoverShape& shape = state_.shape();
    return std::max(
        1.0, static_cast<double>(state_.rows()) * shape.rowSize * (shape.places - shape.rowSize));
  }

  // Drops the row, of a few weighed, whose loss leaves the fewest draws unmet.
  void DropRow() {
    const int rows = state_.rows();
    int chosen = 0;
    int64_t fewest = INT64_MAX;
    for (int tries = 0; tries < std::min(rows, kDropTries); ++tries) {
      const int r =
          rows <= kDropTries ? tries : static_cast<int>(Pick(static_cast<std::size_t>(rows)));
      const int64_t lost = state_.RemovalCost(r);
      if (lost < fewest) {
        fewest = lost;
        chosen = r;
      }
    }
    state_.RemoveRow(chosen);
  }

  // One move, aimed most of the time at an unmet draw: a row that holds t - 1 of its numbers
  // (or as many as any row does) takes one more of them in place of a number outside the draw.
  void Step() {
    const CoverShape& shape = state_.shape();
    int r = -1;
    int out = -1;
    int in = -1;
    DrawPlaces draw{};
    if (Uniform() < kGuided && state_.FindUnmet(random_, draw)) {
      PlaceSet drawn;
      for (int i = 0; i < shape.drawSize; ++i)
        drawn.Add(draw[static_cast<std::size_t>(i)]);
      r = state_.RowHoldingMost(drawn, random_);
      const auto places = state_.row(r);
      std::array<int, 32> outside{};
      int outsideCount = 0;
      for (const uint8_t place : places) {
        if (!drawn.Has(place)) outside[static_cast<std::size_t>(outsideCount++)] = place;
      }
      std::array<int, 8> missing{};
      int missingCount = 0;
      for (int i = 0; i < shape.drawSize; ++i) {
        if (!state_.rowSet(r).Has(draw[static_cast<std::size_t>(i)]))
          missing[static_cast<std::size_t>(missingCount++)] = draw[static_cast<std::size_t>(i)];
      }
      if (outsideCount == 0 || missingCount == 0) return;
      out = outside[Pick(static_cast<std::size_t>(outsideCount))];
      in = missing[Pick(static_cast<std::size_t>(missingCount))];
    } else {
      if (shape.places == shape.rowSize) return;  // every row holds the whole pool
      r = static_cast<int>(Pick(static_cast<std::size_t>(state_.rows())));
      out = state_.row(r)[Pick(static_cast<std::size_t>(shape.rowSize))];
      do {
        in = static_cast<int>(Pick(static_cast<std::size_t>(shape.places)));
      } while (state_.rowSet(r).Has(in));
    }
    ++outcome_.moves;
    // A move is taken when its change of cost is at most -T ln(u), u uniform in (0, 1]: the
    // Metropolis rule, with the bound known before the move so that a move that passes it can
    // stop counting. One move in eight is counted whole, for the mean uphill change.
    const bool whole = (outcome_.moves & 7) == 0;
    const double bound = -heat_ * uphill_ * std::log(1.0 - Uniform());
    const int64_t limit =
        whole || bound >= 1e15 ? INT64_MAX : static_cast<int64_t>(std::floor(bound));
    const int64_t delta = state_.Move(r, out, in, limit);
    if (whole && delta > 0) uphill_ += 0.125 * (static_cast<double>(delta) - uphill_);
    if (static_cast<double>(delta) > bound) state_.Undo();
    if (heat_ > schedule_.cold) {
      heat_ *= cooling_;
      return;
    }
    if (state_.cost() < lowest_) {
      lowest_ = state_.cost();
      sinceLowest_ = 0;
    } else if (++sinceLowest_ > Patience()) {  // cold and stuck: heat up again
      Reheat();
    }
  }

  // Hot again, to cool down over a set number of sweeps of the neighbourhood.
  void Reheat() {
    // Every other cycle starts hotter on a small neighbourhood: small designs need the wider
    // walk, large ones the colder one.
    const bool hotter = Neighbours() < kSmallNeighbourhood && (++reheats_ & 1) != 0;
    heat_ = schedule_.hot * (hotter ? schedule_.hotter : 1.0);
    cooling_ =
        std::exp(std::log(schedule_.cold / heat_) / (schedule_.coolingSweeps * Neighbours()));
    lowest_ = state_.cost();
    sinceLowest_ = 0;
  }

  int64_t Patience() const { return static_cast<int64_t>(schedule_.patienceSweeps * Neighbours()); }

  CoverState state_;
  SearchRandom random_;
  const SearchControl& control_;
  SearchLive* live_;
  bool reports_;
  SearchOutcome outcome_;
  int sinceCheck_ = 0;
  int checksEvery_ = 1;
  SearchClock::time_point lastCheck_ = SearchClock::now();
  bool expired_ = false;   // the time or the stop flag has ended the search
  int64_t published_ = 0;  // moves already added to the shared count
  const Schedule schedule_;
  double heat_ = 1;
  int reheats_ = 0;
  double cooling_ = 0.9999;
  double uphill_ = 1;  // the mean of the recent uphill changes of cost
  int64_t lowest_ = INT64_MAX;
  int64_t sinceLowest_ = 0;
  int dropping_ = 1;        // rows dropped after the last cover
  int64_t phaseStart_ = 0;  // the move count when the rows last changed
};

}  // namespace

SearchOutcome Anneal(const CoverShape& shape, const Rows& start, uint64_t seed,
                     const SearchControl& control, SearchLive* live, bool reports) {
  Annealer annealer(shape, seed, control, live, reports);
  return annealer.Run(start);
}

}  // namespace quirmel
