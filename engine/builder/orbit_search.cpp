#include "engine/builder/orbit_search.h"

#include <algorithm>
#include <cmath>

#include "engine/builder/orbit_state.h"

namespace quirmel {

namespace {

constexpr int kChecksEvery = 64;  // moves between looks at the clock and the stop flag
constexpr double kGuided = 0.9;   // the share of moves aimed at an unmet draw
// The temperature, in units of the mean uphill change of cost: from hot to cold over a few
// sweeps of the neighbourhood (base rows x k x (P - k) moves), hot again when cold and stuck; a
// wheel that has not become a cover for long is given up for the smallest cover less one base
// row. The neighbourhoods are small, so the sweeps are many.
constexpr double kHot = 0.2;
constexpr double kCold = 0.05;
constexpr double kCoolingSweeps = 20;
constexpr double kPatienceSweeps = 20;
constexpr double kRestartSweeps = 3000;

class OrbitAnnealer {
 public:
  OrbitAnnealer(const CoverShape& shape, const PermutationGroup& group, uint64_t seed,
                const SearchControl& control, SearchLive* live)
      : state_(shape, group, [&control] { return control.Ended(); }),
        random_(seed),
        control_(control),
        live_(live) {}

  SearchOutcome Run() {
    if (!state_.complete()) return {};
    Greedy();
    Record();
    Reheat();
    while (state_.bases() > 0 && !TimeUp()) {
      if (state_.cost() == 0) {
        Record();
        if (static_cast<int64_t>(outcome_.best.size()) <= control_.enough || state_.bases() <= 1)
          break;
        DropBase();
        continue;
      }
      if (static_cast<double>(outcome_.moves - phaseStart_) > kRestartSweeps * Neighbours()) {
        if (bestBases_.empty()) break;  // not even the greedy wheel was finished
        Restore(bestBases_);
        state_.RemoveBase(
            static_cast<int>(random_.Below(static_cast<std::size_t>(state_.bases()))));
        Reheat();
        phaseStart_ = outcome_.moves;
        continue;
      }
      Step();
    }
    outcome_.last = state_.Rows();
    return std::move(outcome_);
  }

 private:
  double Seconds() const {
    return std::chrono::duration<double>(SearchClock::now() - control_.started).count();
  }

  bool TimeUp() {
    if (expired_ || (control_.maxMoves > 0 && outcome_.moves >= control_.maxMoves)) return true;
    if (++sinceCheck_ < kChecksEvery) return false;
    sinceCheck_ = 0;
    if (live_ != nullptr) {
      live_->moves.fetch_add(outcome_.moves - published_, std::memory_order_relaxed);
      published_ = outcome_.moves;
    }
    expired_ = control_.Ended();
    return expired_;
  }

  double Neighbours() const {
    const CoverShape& shape = state_.shape();
    return std::max(
        1.0, static_cast<double>(state_.bases()) * shape.rowSize * (shape.places - shape.rowSize));
  }

  void Restore(const std::vector<std::vector<uint8_t>>& bases) {
    while (state_.bases() > 0)
      state_.RemoveBase(state_.bases() - 1);
    for (const auto& base : bases)
      state_.AddBase(base);
  }

  void Record() {
    if (state_.cost() != 0) return;
    Rows rows = state_.Rows();
    if (!outcome_.best.empty() && rows.size() >= outcome_.best.size()) return;
    outcome_.best = std::move(rows);
    bestBases_.clear();
    for (int b = 0; b < state_.bases(); ++b)
      bestBases_.emplace_back(state_.base(b).begin(), state_.base(b).end());
    outcome_.bestAt = Seconds();
    if (outcome_.firstCover < 0) outcome_.firstCover = outcome_.bestAt;
    if (live_ != nullptr) live_->Publish(static_cast<int>(outcome_.best.size()));
  }

  // Base rows built on unmet draws: t numbers of the draw, then, one at a time, the place of a
  // few tried that meets the most draws.
  void Greedy() {
    const CoverShape& shape = state_.shape();
    DrawPlaces draw{};
    while (state_.cost() > 0 && !TimeUp() && state_.FindUnmet(random_, draw)) {
      ++outcome_.moves;
      std::shuffle(draw.begin(), draw.begin() + shape.drawSize, random_);
      std::vector<uint8_t> row(draw.begin(), draw.begin() + shape.guarantee);
      while (static_cast<int>(row.size()) < shape.rowSize) {
        int chosen = -1;
        int64_t most = -1;
        for (int tries = 0; tries < 12; ++tries) {
          const int place =
              tries < shape.drawSize - shape.guarantee
                  ? draw[static_cast<std::size_t>(shape.guarantee + tries)]
                  : static_cast<int>(random_.Below(static_cast<std::size_t>(shape.places)));
          if (std::find(row.begin(), row.end(), place) != row.end()) continue;
          const int64_t covered = state_.NewlyCovered(row, place);
          if (covered > most) {
            most = covered;
            chosen = place;
          }
        }
        if (chosen >= 0) row.push_back(static_cast<uint8_t>(chosen));
      }
      state_.AddBase(row);
    }
  }

  void DropBase() {
    int chosen = 0;
    int64_t fewest = INT64_MAX;
    for (int b = 0; b < state_.bases(); ++b) {
      const int64_t lost = state_.RemovalCost(b);
      if (lost < fewest) {
        fewest = lost;
        chosen = b;
      }
    }
    state_.RemoveBase(chosen);
    Reheat();
    phaseStart_ = outcome_.moves;
  }

  // The base row holding most of the unmet `draw` takes one more of its numbers: `out` of base
  // row `b` gives way to `in`. False when no such move exists.
  bool GuidedMove(const DrawPlaces& draw, int& b, int& out, int& in) {
    const CoverShape& shape = state_.shape();
    PlaceSet drawn;
    for (int i = 0; i < shape.drawSize; ++i)
      drawn.Add(draw[static_cast<std::size_t>(i)]);
    int most = -1;
    int ties = 0;
    for (int r = 0; r < state_.bases(); ++r) {
      int held = 0;
      for (const uint8_t place : state_.base(r))
        held += drawn.Has(place) ? 1 : 0;
      if (held > most) {
        most = held;
        b = r;
        ties = 1;
      } else if (held == most && random_.Below(static_cast<std::size_t>(++ties)) == 0) {
        b = r;
      }
    }
    PlaceSet row;
    for (const uint8_t place : state_.base(b))
      row.Add(place);
    std::array<int, 32> outside{};
    int outsideCount = 0;
    for (const uint8_t place : state_.base(b)) {
      if (!drawn.Has(place)) outside[static_cast<std::size_t>(outsideCount++)] = place;
    }
    std::array<int, 8> missing{};
    int missingCount = 0;
    for (int i = 0; i < shape.drawSize; ++i) {
      const int place = draw[static_cast<std::size_t>(i)];
      if (!row.Has(place)) missing[static_cast<std::size_t>(missingCount++)] = place;
    }
    if (outsideCount == 0 || missingCount == 0) return false;
    out = outside[random_.Below(static_cast<std::size_t>(outsideCount))];
    in = missing[random_.Below(static_cast<std::size_t>(missingCount))];
    return true;
  }

  void Step() {
    const CoverShape& shape = state_.shape();
    int b = -1;
    int out = -1;
    int in = -1;
    DrawPlaces draw{};
    if (random_.Uniform() < kGuided && state_.FindUnmet(random_, draw)) {
      if (!GuidedMove(draw, b, out, in)) return;
    } else {
      if (shape.places == shape.rowSize) return;
      b = static_cast<int>(random_.Below(static_cast<std::size_t>(state_.bases())));
      const auto row = state_.base(b);
      out = row[random_.Below(row.size())];
      do {
        in = static_cast<int>(random_.Below(static_cast<std::size_t>(shape.places)));
      } while (std::find(row.begin(), row.end(), in) != row.end());
    }
    ++outcome_.moves;
    const int64_t delta = state_.Move(b, out, in);
    if (delta > 0) uphill_ += 0.125 * (static_cast<double>(delta) - uphill_);
    if (static_cast<double>(delta) > -heat_ * uphill_ * std::log(1.0 - random_.Uniform()))
      state_.Move(b, in, out);
    if (heat_ > kCold) {
      heat_ *= cooling_;
      return;
    }
    if (state_.cost() < lowest_) {
      lowest_ = state_.cost();
      sinceLowest_ = 0;
    } else if (static_cast<double>(++sinceLowest_) > kPatienceSweeps * Neighbours()) {
      Reheat();
    }
  }

  void Reheat() {
    heat_ = kHot;
    cooling_ = std::exp(std::log(kCold / kHot) / (kCoolingSweeps * Neighbours()));
    lowest_ = state_.cost();
    sinceLowest_ = 0;
  }

  OrbitState state_;
  SearchRandom random_;
  const SearchControl& control_;
  SearchLive* live_;
  SearchOutcome outcome_;
  std::vector<std::vector<uint8_t>> bestBases_;
  int sinceCheck_ = 0;
  bool expired_ = false;
  int64_t published_ = 0;
  double heat_ = kHot;
  double cooling_ = 0.999;
  double uphill_ = 1;
  int64_t lowest_ = INT64_MAX;
  int64_t sinceLowest_ = 0;
  int64_t phaseStart_ = 0;
};

}  // namespace

SearchOutcome OrbitSearch(const CoverShape& shape, const PermutationGroup& group, uint64_t seed,
                          const SearchControl& control, SearchLive* live) {
  OrbitAnnealer annealer(shape, group, seed, control, live);
  return annealer.Run();
}

}  // namespace quirmel
