#include "engine/builder/cover_state.h"

#include <algorithm>

#include "engine/core/popcount_clones.h"
#include "engine/core/subsets.h"

namespace quirmel {

namespace {

constexpr uint32_t kNowhere = ~uint32_t{0};
constexpr std::size_t kUnmetKept = 64;  // unmet draws kept at a time for the guided moves

// The colex rank of the pair {a, b}.
std::size_t PairRank(int a, int b) {
  return static_cast<std::size_t>(a < b ? b * (b - 1) / 2 + a : a * (a - 1) / 2 + b);
}

// `base` (sorted, `count` places) with `place` put in its order, into `into`.
void Insert(const uint8_t* base, int count, uint8_t place, uint8_t* into) {
  int i = 0;
  for (; i < count && base[i] < place; ++i)
    into[i] = base[i];
  into[i] = place;
  for (; i < count; ++i)
    into[i + 1] = base[i];
}

}  // namespace

PlaceSet PlaceSet::FirstPlaces(int count) {
  PlaceSet set;
  for (int place = 0; place < count; ++place)
    set.Add(place);
  return set;
}

int64_t CoverState::Bytes(const CoverShape& shape) {
  const int64_t subsets = Binomial(shape.places, shape.guarantee);
  const int64_t links =
      shape.drawSize > shape.guarantee ? Binomial(shape.places, shape.guarantee - 1) : 0;
  return subsets * 12 + links * static_cast<int64_t>(sizeof(PlaceSet));
}

CoverState::CoverState(const CoverShape& shape)
    : shape_(shape),
      linked_(shape.drawSize > shape.guarantee),
      count_(static_cast<std::size_t>(Binomial(shape.places, shape.guarantee)), 0),
      where_(count_.size()),
      uncovered_(count_.size()),
      combos_(PositionCombinations(shape.rowSize - 1, shape.guarantee - 1)),
      rowCombos_(PositionCombinations(shape.rowSize, shape.guarantee)),
      drawCombos_(PositionCombinations(shape.drawSize, shape.guarantee)),
      scratch_(static_cast<std::size_t>(shape.drawSize)),
      cost_(Binomial(shape.places, shape.drawSize)) {
  for (std::size_t rank = 0; rank < count_.size(); ++rank) {
    where_[rank] = static_cast<uint32_t>(rank);
    uncovered_[rank] = static_cast<uint32_t>(rank);
  }
  if (!linked_) return;
  const int t = shape.guarantee;
  const PlaceSet all = PlaceSet::FirstPlaces(shape.places);
  link_.assign(static_cast<std::size_t>(Binomial(shape.places, t - 1)), all);
  std::array<uint8_t, 8> subset{};
  for (std::size_t rank = 0; rank < link_.size(); ++rank) {
    ColexUnrank(static_cast<int64_t>(rank), t - 1, shape.places, subset.data());
    for (int i = 0; i < t - 1; ++i)
      link_[rank].Remove(subset[static_cast<std::size_t>(i)]);
  }
}

std::span<const uint8_t> CoverState::row(int r) const {
  const auto k = static_cast<std::size_t>(shape_.rowSize);
  return {rows_.data() + static_cast<std::size_t>(r) * k, k};
}

std::vector<std::vector<int>> CoverState::Rows() const {
  std::vector<std::vector<int>> rows;
  for (int r = 0; r < this->rows(); ++r)
    rows.emplace_back(row(r).begin(), row(r).end());
  return rows;
}

uint32_t CoverState::RankWithout(const uint8_t* subset, int skip) const {
  int64_t rank = 0;
  for (int i = 0; i < shape_.guarantee; ++i) {
    if (i == skip) continue;
    rank += kBinomial.value[subset[i]][static_cast<std::size_t>(i < skip ? i + 1 : i)];
  }
  return static_cast<uint32_t>(rank);
}

void CoverState::Uncover(uint32_t rank, const uint8_t* subset) {
  where_[rank] = static_cast<uint32_t>(uncovered_.size());
  uncovered_.push_back(rank);
  if (!linked_) return;
  for (int i = 0; i < shape_.guarantee; ++i)
    link_[RankWithout(subset, i)].Add(subset[i]);
}

void CoverState::Cover(uint32_t rank, const uint8_t* subset) {
  const uint32_t at = where_[rank];
  uncovered_[at] = uncovered_.back();
  where_[uncovered_[at]] = at;
  uncovered_.pop_back();
  where_[rank] = kNowhere;
  if (!linked_) return;
  for (int i = 0; i < shape_.guarantee; ++i)
    link_[RankWithout(subset, i)].Remove(subset[i]);
}

// The draws that hold `subset` (t places, ascending, uncovered) and are unmet.
int64_t CoverState::UnmetDrawsHolding(const uint8_t* subset) const {
  if (!linked_) return 1;
  const int t = shape_.guarantee;
  PlaceSet candidates = PlaceSet::FirstPlaces(shape_.places);
  std::array<uint8_t, 8> draw{};
  for (int i = 0; i < t; ++i) {
    candidates &= link_[RankWithout(subset, i)];
    candidates.Remove(subset[i]);
    draw[static_cast<std::size_t>(i)] = subset[i];
  }
  if (t == 2 || t == 3) return CountSmall(subset, candidates, shape_.drawSize - t);
  return Extend(draw, t, candidates, shape_.drawSize - t, nullptr);
}

// The same count for t = 2 or 3, with the part of each narrowing that depends on the subset
// worked out once per candidate: allowed[y] holds the places that may join y, given the draw so
// far (for t = 3, each new place x of the draw narrows it by the link of the pair {x, y}).
QUIRMEL_POPCOUNT_CLONES int64_t CoverState::CountSmall(const uint8_t* subset, PlaceSet candidates,
                                                       int need) const {
  if (need <= 1) return need == 0 ? 1 : candidates.Size();
  std::array<PlaceSet, 128>& allowed = scratch_[0];
  for (PlaceSet rest = candidates; !rest.Empty();) {
    const int y = rest.Lowest();
    rest.Remove(y);
    PlaceSet joins = candidates;
    if (shape_.guarantee == 2) {
      joins &= link_[static_cast<std::size_t>(y)];
    } else {
      for (int i = 0; i < 3; ++i)
        joins &= link_[PairRank(subset[i], y)];
    }
    allowed[static_cast<std::size_t>(y)] = joins;
  }
  return CountLevel(candidates, need, 0);
}

// The ways to take `left` places from `pool`, each allowed with the others by scratch_[depth].
QUIRMEL_POPCOUNT_CLONES int64_t CoverState::CountLevel(PlaceSet pool, int left, int depth) const {
  const std::array<PlaceSet, 128>& can = scratch_[static_cast<std::size_t>(depth)];
  const bool narrows = shape_.guarantee == 3;
  int64_t total = 0;
  while (!pool.Empty()) {
    const int x = pool.Lowest();
    pool.Remove(x);
    const PlaceSet next = pool & can[static_cast<std::size_t>(x)];
    if (left == 2) {
      total += next.Size();
      continue;
    }
    if (next.Size() < left - 1) continue;
    std::array<PlaceSet, 128>& narrowed = scratch_[static_cast<std::size_t>(depth + 1)];
    for (PlaceSet rest = next; !rest.Empty();) {
      const int y = rest.Lowest();
      rest.Remove(y);
      narrowed[static_cast<std::size_t>(y)] =
          narrows ? can[static_cast<std::size_t>(y)] & link_[PairRank(x, y)]
                  : can[static_cast<std::size_t>(y)];
    }
    total += CountLevel(next, left - 1, depth + 1);
  }
  return total;
}

// Counts (or, with `found`, lists) the ways to add `need` places from `candidates` to the first
// `size` places of `draw` so that every t-subset stays uncovered. Every candidate already
// completes each (t-1)-subset of the draw to an uncovered t-subset; a place taken narrows the
// candidates after it to those that also complete each (t-1)-subset holding that place.
QUIRMEL_POPCOUNT_CLONES int64_t CoverState::Extend(std::array<uint8_t, 8>& draw, int size,
                                                   PlaceSet candidates, int need,
                                                   std::vector<DrawPlaces>* found) const {
  if (need == 0) {
    DrawPlaces sorted = draw;
    SortSmall(sorted.data(), size);
    found->push_back(sorted);
    return 1;
  }
  if (need == 1 && found == nullptr) return candidates.Size();
  int64_t total = 0;
  while (!candidates.Empty()) {
    const int place = candidates.Lowest();
    candidates.Remove(place);
    PlaceSet next = candidates;
    if (need > 1) next = Narrow(draw, size, place, next);
    if (next.Size() < need - 1) continue;
    draw[static_cast<std::size_t>(size)] = static_cast<uint8_t>(place);
    total += Extend(draw, size + 1, next, need - 1, found);
    if (found != nullptr && found->size() >= kUnmetKept) break;
  }
  return total;
}

// The candidates that also complete, with `place`, every (t-2)-subset of the draw's first `size`
// places to an uncovered t-subset.
PlaceSet CoverState::Narrow(const std::array<uint8_t, 8>& draw, int size, int place,
                            PlaceSet next) const {
  const int t = shape_.guarantee;
  if (t == 1) return next;
  if (t == 2) return next & link_[static_cast<std::size_t>(place)];
  if (t == 3) {  // pairs, ranked directly
    for (int i = 0; i < size && !next.Empty(); ++i) {
      next &= link_[PairRank(draw[static_cast<std::size_t>(i)], place)];
    }
    return next;
  }
  std::array<uint8_t, 8> chosen{};
  const auto walk = [&](auto&& self, int at, int first) -> void {
    if (at == t - 2) {
      std::array<uint8_t, 8> subset = chosen;
      subset[static_cast<std::size_t>(at)] = static_cast<uint8_t>(place);
      SortSmall(subset.data(), t - 1);
      next &= link_[static_cast<std::size_t>(ColexRank(subset.data(), t - 1))];
      return;
    }
    for (int i = first; i + (t - 2 - at) <= size && !next.Empty(); ++i) {
      chosen[static_cast<std::size_t>(at)] = draw[static_cast<std::size_t>(i)];
      self(self, at + 1, i + 1);
    }
  };
  walk(walk, 0, 0);
  return next;
}

int64_t CoverState::Bump(const uint8_t* subset, int step, bool remember) {
  const auto rank = static_cast<uint32_t>(ColexRank(subset, shape_.guarantee));
  uint32_t& count = count_[rank];
  int64_t delta = 0;
  if (step < 0) {
    if (--count == 0) {
      Uncover(rank, subset);
      delta = UnmetDrawsHolding(subset);
    }
  } else {
    if (count++ == 0) {
      delta = -UnmetDrawsHolding(subset);
      Cover(rank, subset);
    }
  }
  if (remember) {
    Change change{.rank = rank, .step = static_cast<int8_t>(step), .subset = {}};
    std::copy(subset, subset + shape_.guarantee, change.subset.begin());
    journal_.push_back(change);
  }
  return delta;
}

void CoverState::Unbump(const Change& change) {
  uint32_t& count = count_[change.rank];
  if (change.step < 0) {
    if (count++ == 0) Cover(change.rank, change.subset.data());
  } else {
    if (--count == 0) Uncover(change.rank, change.subset.data());
  }
}

void CoverState::TouchRow(std::span<const uint8_t> sorted, int step, bool remember) {
  const int t = shape_.guarantee;
  std::array<uint8_t, 8> subset{};
  for (const auto& combo : rowCombos_) {
    for (int i = 0; i < t; ++i)
      subset[static_cast<std::size_t>(i)] = sorted[combo[static_cast<std::size_t>(i)]];
    cost_ += Bump(subset.data(), step, remember);
  }
}

void CoverState::AddRow(std::span<const uint8_t> places) {
  std::vector<uint8_t> sorted(places.begin(), places.end());
  std::sort(sorted.begin(), sorted.end());
  TouchRow(sorted, +1, false);
  rows_.insert(rows_.end(), sorted.begin(), sorted.end());
  PlaceSet set;
  for (const uint8_t place : sorted)
    set.Add(place);
  rowSets_.push_back(set);
}

void CoverState::RemoveRow(int r) {
  const std::vector<uint8_t> sorted(row(r).begin(), row(r).end());
  TouchRow(sorted, -1, false);
  const auto k = static_cast<std::size_t>(shape_.rowSize);
  std::copy(rows_.end() - static_cast<std::ptrdiff_t>(k), rows_.end(),
            rows_.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(r) * k));
  rows_.resize(rows_.size() - k);
  rowSets_[static_cast<std::size_t>(r)] = rowSets_.back();
  rowSets_.pop_back();
}

int64_t CoverState::RemovalCost(int r) {
  const std::vector<uint8_t> sorted(row(r).begin(), row(r).end());
  journal_.clear();
  const int64_t before = cost_;
  TouchRow(sorted, -1, true);
  const int64_t lost = cost_ - before;
  for (auto change = journal_.rbegin(); change != journal_.rend(); ++change)
    Unbump(*change);
  journal_.clear();
  cost_ = before;
  movedRow_ = -1;
  return lost;
}

int64_t CoverState::Move(int r, int out, int in, int64_t limit) {
  journal_.clear();
  costBefore_ = cost_;
  movedRow_ = -1;  // the row itself changes last
  movedOut_ = static_cast<uint8_t>(out);
  movedIn_ = static_cast<uint8_t>(in);
  const int k = shape_.rowSize;
  const int t = shape_.guarantee;
  std::array<uint8_t, 32> rest{};
  int restSize = 0;
  for (const uint8_t place : row(r)) {
    if (place != out) rest[static_cast<std::size_t>(restSize++)] = place;
  }
  std::array<uint8_t, 8> base{};
  std::array<uint8_t, 8> subset{};
  // The t-subsets `in` brings first, then those `out` takes away, which only raise the cost:
  // once past the limit the rest is not worth counting.
  for (const bool losing : {false, true}) {
    const auto place = static_cast<uint8_t>(losing ? out : in);
    for (const auto& combo : combos_) {
      for (int i = 0; i < t - 1; ++i)
        base[static_cast<std::size_t>(i)] = rest[combo[static_cast<std::size_t>(i)]];
      Insert(base.data(), std::min(t - 1, kMaxSubsetSize - 1), place, subset.data());
      cost_ += Bump(subset.data(), losing ? -1 : +1, true);
      if (losing && cost_ - costBefore_ > limit) return cost_ - costBefore_;
    }
  }
  movedRow_ = r;
  // The row keeps its places in order.
  auto* places = rows_.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(k);
  Insert(rest.data(), k - 1, static_cast<uint8_t>(in), places);
  PlaceSet& set = rowSets_[static_cast<std::size_t>(r)];
  set.Remove(out);
  set.Add(in);
  return cost_ - costBefore_;
}

void CoverState::Undo() {
  for (auto change = journal_.rbegin(); change != journal_.rend(); ++change)
    Unbump(*change);
  journal_.clear();
  cost_ = costBefore_;
  if (movedRow_ < 0) return;  // the move ended before the row changed
  const int k = shape_.rowSize;
  auto* places = rows_.data() + static_cast<std::size_t>(movedRow_) * static_cast<std::size_t>(k);
  std::array<uint8_t, 32> rest{};
  int restSize = 0;
  for (int i = 0; i < k; ++i) {
    if (places[i] != movedIn_) rest[static_cast<std::size_t>(restSize++)] = places[i];
  }
  Insert(rest.data(), k - 1, movedOut_, places);
  PlaceSet& set = rowSets_[static_cast<std::size_t>(movedRow_)];
  set.Remove(movedIn_);
  set.Add(movedOut_);
  movedRow_ = -1;
}

bool CoverState::Unmet(const DrawPlaces& draw) const {
  const int t = shape_.guarantee;
  std::array<uint8_t, 8> subset{};
  for (const auto& combo : drawCombos_) {
    for (int i = 0; i < t; ++i)
      subset[static_cast<std::size_t>(i)] = draw[combo[static_cast<std::size_t>(i)]];
    if (count_[static_cast<std::size_t>(ColexRank(subset.data(), t))] != 0) return false;
  }
  return true;
}

void CoverState::CollectUnmet(uint32_t rank, std::size_t limit) {
  const int t = shape_.guarantee;
  std::array<uint8_t, 8> draw{};
  ColexUnrank(rank, t, shape_.places, draw.data());
  PlaceSet candidates = PlaceSet::FirstPlaces(shape_.places);
  for (int i = 0; i < t; ++i) {
    candidates &= link_[RankWithout(draw.data(), i)];
    candidates.Remove(draw[static_cast<std::size_t>(i)]);
  }
  if (unmetSeen_.size() < limit) Extend(draw, t, candidates, shape_.drawSize - t, &unmetSeen_);
}

QUIRMEL_POPCOUNT_CLONES int CoverState::RowHoldingMost(const PlaceSet& drawn,
                                                       SearchRandom& random) const {
  int chosen = 0;
  int most = -1;
  std::size_t ties = 0;
  for (std::size_t r = 0; r < rowSets_.size(); ++r) {
    const int shared = (rowSets_[r] & drawn).Size();
    if (shared < most) continue;
    if (shared > most) {
      most = shared;
      ties = 0;
    }
    if (random.Below(++ties) == 0) chosen = static_cast<int>(r);
  }
  return chosen;
}

bool CoverState::FindUnmet(SearchRandom& random, DrawPlaces& draw) {
  if (cost_ == 0 || uncovered_.empty()) return false;
  const auto pick = [&random](std::size_t n) { return random.Below(n); };
  if (!linked_) {
    ColexUnrank(uncovered_[pick(uncovered_.size())], shape_.guarantee, shape_.places, draw.data());
    return true;
  }
  while (!unmetSeen_.empty()) {
    const std::size_t at = pick(unmetSeen_.size());
    if (Unmet(unmetSeen_[at])) {
      draw = unmetSeen_[at];
      return true;
    }
    unmetSeen_[at] = unmetSeen_.back();
    unmetSeen_.pop_back();
  }
  // Uncovered t-subsets from a random one on, until a few unmet draws turn up.
  const std::size_t start = pick(uncovered_.size());
  for (std::size_t i = 0; i < uncovered_.size(); ++i) {
    CollectUnmet(uncovered_[(start + i) % uncovered_.size()], kUnmetKept);
    if (unmetSeen_.size() >= 16 || (!unmetSeen_.empty() && i >= 8)) break;
  }
  if (unmetSeen_.empty()) return false;
  draw = unmetSeen_[pick(unmetSeen_.size())];
  return true;
}

int CoverState::NewlyCovered(std::span<const uint8_t> row, int place) const {
  const int t = shape_.guarantee;
  int covered = 0;
  std::array<uint8_t, 8> chosen{};
  const auto walk = [&](auto&& self, int at, int first) -> void {
    if (at == t - 1) {
      std::array<uint8_t, 8> subset = chosen;
      subset[static_cast<std::size_t>(at)] = static_cast<uint8_t>(place);
      SortSmall(subset.data(), t);
      covered += count_[static_cast<std::size_t>(ColexRank(subset.data(), t))] == 0;
      return;
    }
    for (int i = first; i + (t - 1 - at) <= static_cast<int>(row.size()); ++i) {
      chosen[static_cast<std::size_t>(at)] = row[static_cast<std::size_t>(i)];
      self(self, at + 1, i + 1);
    }
  };
  walk(walk, 0, 0);
  return covered;
}

}  // namespace quirmel
