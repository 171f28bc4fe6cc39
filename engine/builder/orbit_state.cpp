#include "engine/builder/orbit_state.h"

#include <algorithm>
#include <set>

#include "engine/core/subsets.h"

namespace quirmel {

namespace {

constexpr int64_t kMaxSubsetOrbitTable = 4'000'000;  // t-subsets ranked, at most
constexpr int64_t kMaxDrawsWalked = 25'000'000;      // draws enumerated once, at most
constexpr int64_t kMaxDrawLinks = 20'000'000;        // links from t-orbits to draw orbits

}  // namespace

bool OrbitState::Fits(const CoverShape& shape, const PermutationGroup& group, int64_t bytes) {
  const int64_t subsets = Binomial(shape.places, shape.guarantee);
  if (subsets > kMaxSubsetOrbitTable || group.places != shape.places) return false;
  int64_t need = subsets * 4;
  if (shape.drawSize > shape.guarantee) {
    const int64_t draws = Binomial(shape.places, shape.drawSize);
    const int64_t links = draws / group.order * Binomial(shape.drawSize, shape.guarantee);
    if (draws > kMaxDrawsWalked || links > kMaxDrawLinks) return false;
    need += draws / 8 + links * 12 + draws / group.order * 24;
  }
  return need <= bytes;
}

OrbitState::OrbitState(const CoverShape& shape, const PermutationGroup& group,
                       const std::function<bool()>& cancelled)
    : shape_(shape),
      group_(&group),
      lotto_(shape.drawSize > shape.guarantee),
      orbitOf_(static_cast<std::size_t>(Binomial(shape.places, shape.guarantee)), -1),
      combos_(PositionCombinations(shape.rowSize - 1, shape.guarantee - 1)) {
  NumberSubsetOrbits();
  if (lotto_ && !OrbitDraws(cancelled)) {
    complete_ = false;
    return;
  }
  unmet_.resize(drawRep_.size());
  unmetAt_.resize(drawRep_.size());
  for (std::size_t d = 0; d < drawRep_.size(); ++d) {
    unmet_[d] = static_cast<int32_t>(d);
    unmetAt_[d] = static_cast<int32_t>(d);
    cost_ += drawSize_[d];
  }
}

// Numbers the orbits of the t-subsets; for a covering design they are the draws too.
void OrbitState::NumberSubsetOrbits() {
  SubsetOrbits orbits = OrbitsOfSubsets(*group_, shape_.guarantee);
  orbitOf_ = std::move(orbits.of);
  count_.assign(orbits.size.size(), 0);
  if (!lotto_) {
    drawRep_ = std::move(orbits.representative);
    drawSize_ = std::move(orbits.size);
  }
}

// Every draw once, in lexicographic order; each not seen yet starts an orbit of its own, linked
// to the orbits of its t-subsets. False when cancelled first.
bool OrbitState::OrbitDraws(const std::function<bool()>& cancelled) {
  const int t = shape_.guarantee;
  const int m = shape_.drawSize;
  std::array<uint8_t, 8> image{};
  std::vector<uint64_t> seen(static_cast<std::size_t>(Binomial(shape_.places, m) / 64 + 1), 0);
  std::vector<std::pair<int32_t, int32_t>> links;  // (orbit of t-subsets, orbit of draws)
  const auto tCombos = PositionCombinations(m, t);
  DrawPlaces draw{};
  for (int i = 0; i < m; ++i)
    draw[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i);
  uint32_t walked = 0;
  do {
    if ((++walked & 0xfff) == 0 && cancelled && cancelled()) return false;
    const auto rank = static_cast<uint64_t>(ColexRank(draw.data(), m));
    if ((seen[rank >> 6] >> (rank & 63)) & 1) continue;
    const auto id = static_cast<int32_t>(drawRep_.size());
    int64_t size = 0;
    for (int g = 0; g < group_->order; ++g) {
      Image(*group_, g, draw.data(), m, image.data());
      const auto r = static_cast<uint64_t>(ColexRank(image.data(), m));
      if ((seen[r >> 6] >> (r & 63)) & 1) continue;
      seen[r >> 6] |= uint64_t{1} << (r & 63);
      ++size;
    }
    drawRep_.push_back(draw);
    drawSize_.push_back(size);
    for (const auto& combo : tCombos) {
      std::array<uint8_t, 8> subset{};
      for (int i = 0; i < t; ++i)
        subset[static_cast<std::size_t>(i)] = draw[combo[static_cast<std::size_t>(i)]];
      links.emplace_back(OrbitOf(subset.data()), id);
    }
  } while (NextSubset(draw.data(), m, m, shape_.places - 1) >= 0);
  // The links as lists of draw orbits, one list per orbit of t-subsets.
  listStart_.assign(count_.size() + 1, 0);
  for (const auto& link : links)
    ++listStart_[static_cast<std::size_t>(link.first) + 1];
  for (std::size_t o = 0; o < count_.size(); ++o)
    listStart_[o + 1] += listStart_[o];
  list_.resize(links.size());
  std::vector<uint32_t> next(listStart_.begin(), listStart_.end() - 1);
  for (const auto& link : links)
    list_[next[static_cast<std::size_t>(link.first)]++] = link.second;
  hits_.assign(drawRep_.size(), 0);
  return true;
}

std::span<const uint8_t> OrbitState::base(int b) const {
  return {bases_.data() + static_cast<std::size_t>(b * shape_.rowSize),
          static_cast<std::size_t>(shape_.rowSize)};
}

int32_t OrbitState::OrbitOf(const uint8_t* sorted) const {
  return orbitOf_[static_cast<std::size_t>(ColexRank(sorted, shape_.guarantee))];
}

void OrbitState::SetUnmet(int32_t drawOrbit, bool unmet) {
  const auto d = static_cast<std::size_t>(drawOrbit);
  if (unmet) {
    unmetAt_[d] = static_cast<int32_t>(unmet_.size());
    unmet_.push_back(drawOrbit);
    cost_ += drawSize_[d];
    return;
  }
  const int32_t last = unmet_.back();
  unmet_[static_cast<std::size_t>(unmetAt_[d])] = last;
  unmetAt_[static_cast<std::size_t>(last)] = unmetAt_[d];
  unmet_.pop_back();
  unmetAt_[d] = -1;
  cost_ -= drawSize_[d];
}

void OrbitState::Bump(int32_t orbit, int step) {
  int32_t& count = count_[static_cast<std::size_t>(orbit)];
  const bool flips = step > 0 ? count == 0 : count == 1;
  count += step;
  if (!flips) return;
  if (!lotto_) {
    SetUnmet(orbit, step < 0);
    return;
  }
  const auto o = static_cast<std::size_t>(orbit);
  for (uint32_t i = listStart_[o]; i < listStart_[o + 1]; ++i) {
    const int32_t d = list_[i];
    int32_t& hits = hits_[static_cast<std::size_t>(d)];
    if (step > 0 && hits++ == 0) SetUnmet(d, false);
    if (step < 0 && --hits == 0) SetUnmet(d, true);
  }
}

void OrbitState::TouchThrough(uint8_t* row, int at, int step) {
  const int k = shape_.rowSize;
  const int t = shape_.guarantee;
  std::array<uint8_t, 32> others{};
  for (int i = 0, j = 0; i < k; ++i) {
    if (i != at) others[static_cast<std::size_t>(j++)] = row[i];
  }
  std::array<uint8_t, 8> subset{};
  for (const auto& combo : combos_) {
    for (int i = 0; i < t - 1; ++i)
      subset[static_cast<std::size_t>(i)] = others[combo[static_cast<std::size_t>(i)]];
    subset[static_cast<std::size_t>(t - 1)] = row[at];
    SortSmall(subset.data(), t);
    Bump(OrbitOf(subset.data()), step);
  }
}

void OrbitState::TouchAll(const uint8_t* row, int step) {
  const int t = shape_.guarantee;
  ForEachCombination(shape_.rowSize, t, [&](const int* at) {
    std::array<uint8_t, 8> subset{};
    for (int i = 0; i < t; ++i)
      subset[static_cast<std::size_t>(i)] = row[at[i]];
    Bump(OrbitOf(subset.data()), step);
  });
}

void OrbitState::AddBase(std::span<const uint8_t> places) {
  const std::size_t start = bases_.size();
  bases_.insert(bases_.end(), places.begin(), places.end());
  SortSmall(bases_.data() + start, shape_.rowSize);
  TouchAll(bases_.data() + start, +1);
}

void OrbitState::RemoveBase(int b) {
  const int k = shape_.rowSize;
  uint8_t* row = bases_.data() + static_cast<std::size_t>(b * k);
  TouchAll(row, -1);
  const std::size_t last = bases_.size() - static_cast<std::size_t>(k);
  std::copy(bases_.begin() + static_cast<std::ptrdiff_t>(last), bases_.end(), row);
  bases_.resize(last);
}

int64_t OrbitState::RemovalCost(int b) {
  const int64_t before = cost_;
  const uint8_t* row = bases_.data() + static_cast<std::size_t>(b * shape_.rowSize);
  TouchAll(row, -1);
  const int64_t after = cost_;
  TouchAll(row, +1);
  return after - before;
}

int64_t OrbitState::Move(int b, int out, int in) {
  const int64_t before = cost_;
  const int k = shape_.rowSize;
  uint8_t* row = bases_.data() + static_cast<std::size_t>(b * k);
  const int at = static_cast<int>(std::find(row, row + k, out) - row);
  TouchThrough(row, at, -1);
  row[at] = static_cast<uint8_t>(in);
  SortSmall(row, k);
  TouchThrough(row, static_cast<int>(std::find(row, row + k, in) - row), +1);
  return cost_ - before;
}

bool OrbitState::FindUnmet(SearchRandom& random, DrawPlaces& draw) const {
  if (unmet_.empty()) return false;
  const auto orbit = static_cast<std::size_t>(unmet_[random.Below(unmet_.size())]);
  Image(*group_, static_cast<int>(random.Below(static_cast<std::size_t>(group_->order))),
        drawRep_[orbit].data(), shape_.drawSize, draw.data());
  return true;
}

int64_t OrbitState::NewlyCovered(std::span<const uint8_t> row, int place) const {
  const int t = shape_.guarantee;
  std::array<uint8_t, 32> others{};
  std::copy(row.begin(), row.end(), others.begin());
  int64_t gained = 0;
  ForEachCombination(static_cast<int>(row.size()), t - 1, [&](const int* at) {
    std::array<uint8_t, 9> subset{};
    for (int i = 0; i < t - 1; ++i)
      subset[static_cast<std::size_t>(i)] = others[static_cast<std::size_t>(at[i])];
    subset[static_cast<std::size_t>(t - 1)] = static_cast<uint8_t>(place);
    SortSmall(subset.data(), t);
    const auto orbit = static_cast<std::size_t>(OrbitOf(subset.data()));
    if (count_[orbit] != 0) return;
    if (!lotto_) {
      gained += drawSize_[orbit];
      return;
    }
    for (uint32_t i = listStart_[orbit]; i < listStart_[orbit + 1]; ++i) {
      if (hits_[static_cast<std::size_t>(list_[i])] == 0)
        gained += drawSize_[static_cast<std::size_t>(list_[i])];
    }
  });
  return gained;
}

std::vector<std::vector<int>> OrbitState::Rows() const {
  std::set<std::vector<int>> rows;
  std::array<uint8_t, 32> image{};
  for (int b = 0; b < bases(); ++b) {
    for (int g = 0; g < group_->order; ++g) {
      Image(*group_, g, base(b).data(), shape_.rowSize, image.data());
      rows.emplace(image.begin(), image.begin() + shape_.rowSize);
    }
  }
  return {rows.begin(), rows.end()};
}

}  // namespace quirmel
