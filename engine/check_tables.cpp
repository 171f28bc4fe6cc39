#include "engine/check_tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <utility>

namespace quirmel {

namespace {

constexpr uint64_t kEmptyKey = ~uint64_t{0};
// Levels with more t-subsets than this are stored sparsely, and so are levels that the wheel
// fills thinly (fewer than one entry in 64).
constexpr int64_t kDenseLimit = int64_t{1} << 23;
constexpr int kMaxPrefix = kMaxSubsetSize - 1;  // numbers before the last one
constexpr int kValues = kMaxWheelNumber + 1;    // candidates 1..99

uint64_t Hash(uint64_t key) {
  key ^= key >> 33;
  key *= 0xff51afd7ed558ccdULL;
  key ^= key >> 33;
  return key;
}

// The numbers of a (t-1)-subset in 7 bits each; 0 for the empty one.
uint64_t Pack(const int* numbers, int count) {
  uint64_t key = 0;
  for (int i = 0; i < count; ++i)
    key |= static_cast<uint64_t>(numbers[i]) << (7 * i);
  return key;
}

// The rank of the ascending t-subset u in the lexicographic order of the t-subsets of 1..n: the
// count before it is the total less one less those after it, and those after it are, for each
// slot i, the subsets that agree before i and hold a larger number at i.
int64_t LexRank(const int* u, int t, int n) {
  int64_t after = 0;
  for (int i = 0; i < t; ++i)
    after += Binomial(n - u[i], t - i);
  return Binomial(n, t) - 1 - after;
}

// Calls visit(numbers) for every t-subset of the ascending `row`.
template <typename Visit>
void ForEachSubset(const std::vector<int>& row, int t, Visit&& visit) {
  const int length = static_cast<int>(row.size());
  if (t > length) return;
  std::array<int, kMaxSubsetSize> at{};
  std::array<int, kMaxSubsetSize> numbers{};
  for (int i = 0; i < t; ++i)
    at[i] = i;
  for (;;) {
    for (int i = 0; i < t; ++i)
      numbers[i] = row[static_cast<std::size_t>(at[i])];
    visit(numbers.data());
    int i = t - 1;
    while (i >= 0 && at[i] == length - t + i)
      --i;
    if (i < 0) return;
    ++at[i];
    for (int j = i + 1; j < t; ++j)
      at[j] = at[j - 1] + 1;
  }
}

// Each row's numbers within the pool, ascending.
std::vector<std::vector<int>> PoolRows(const AnyWheel& wheel, int poolSize) {
  std::vector<std::vector<int>> rows(wheel.rowCount());
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    for (const uint8_t number : wheel.row(r)) {
      if (number >= 1 && number <= poolSize) rows[r].push_back(number);
    }
    std::sort(rows[r].begin(), rows[r].end());
  }
  return rows;
}

void BuildSparse(CountTables::Level& level, const std::vector<std::vector<int>>& rows, int t,
                 bool withIds) {
  std::vector<std::pair<uint64_t, uint32_t>> items;  // (key << 7 | last number, row)
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ForEachSubset(rows[r], t, [&](const int* numbers) {
      items.emplace_back(Pack(numbers, t - 1) << 7 | static_cast<uint64_t>(numbers[t - 1]),
                         static_cast<uint32_t>(r));
    });
  }
  std::sort(items.begin(), items.end());
  std::vector<std::pair<uint64_t, uint32_t>> groups;  // (key, first entry)
  for (std::size_t i = 0; i < items.size();) {
    const uint64_t code = items[i].first;
    uint64_t ids = 0;
    std::size_t j = i;
    for (; j < items.size() && items[j].first == code; ++j)
      ids += items[j].second;
    const uint64_t key = code >> 7;
    if (groups.empty() || groups.back().first != key)
      groups.emplace_back(key, static_cast<uint32_t>(level.last.size()));
    level.last.push_back(static_cast<uint8_t>(code & 127));
    level.counts.push_back(static_cast<uint32_t>(j - i));
    if (withIds) level.ids.push_back(ids);
    i = j;
  }
  const std::size_t slots = std::bit_ceil(std::max<std::size_t>(16, groups.size() * 2));
  level.slotMask = slots - 1;
  level.slotKeys.assign(slots, kEmptyKey);
  level.slotBegins.assign(slots, 0);
  level.groupEnds.assign(slots, 0);
  level.present.assign(std::max<std::size_t>(1, slots / 4), 0);  // 16 bits a key
  level.presentMask = level.present.size() * 64 - 1;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const uint64_t hash = Hash(groups[g].first);
    const uint64_t bit = (hash >> 40) & level.presentMask;
    level.present[bit / 64] |= uint64_t{1} << (bit % 64);
    uint64_t slot = hash & level.slotMask;
    while (level.slotKeys[slot] != kEmptyKey)
      slot = (slot + 1) & level.slotMask;
    level.slotKeys[slot] = groups[g].first;
    level.slotBegins[slot] = groups[g].second;
    level.groupEnds[slot] =
        g + 1 < groups.size() ? groups[g + 1].second : static_cast<uint32_t>(level.last.size());
  }
}

// The masks over the prefix slots whose highest slot is d - 1, for each depth d (the empty mask
// for d = 0).
struct NewMasks {
  std::array<std::vector<uint8_t>, kMaxPrefix + 1> of;
  NewMasks() {
    of[0].push_back(0);
    for (int d = 1; d <= kMaxPrefix; ++d) {
      for (int mask = 1 << (d - 1); mask < (1 << d); ++mask)
        of[static_cast<std::size_t>(d)].push_back(static_cast<uint8_t>(mask));
    }
  }
};
const NewMasks kNewMasks;

}  // namespace

int64_t CountTables::EntriesNeeded(const AnyWheel& wheel, int poolSize, int drawSize) {
  int64_t entries = 0;
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    const auto row = wheel.row(r);
    const int length = static_cast<int>(
        std::count_if(row.begin(), row.end(), [&](uint8_t v) { return v >= 1 && v <= poolSize; }));
    for (int t = 1; t <= drawSize; ++t)
      entries += Binomial(length, t);
  }
  return entries;
}

CountTables::CountTables(const AnyWheel& wheel, const TableRequest& request)
    : request_(request), rowCount_(static_cast<int>(wheel.rowCount())) {
  const int n = request.poolSize;
  const std::vector<std::vector<int>> rows = PoolRows(wheel, n);
  levels_.resize(static_cast<std::size_t>(request.drawSize + 1));
  for (int t = 1; t <= request.drawSize; ++t) {
    Level& level = levels_[static_cast<std::size_t>(t)];
    const bool withIds = request.necessity && t == request.guarantee;
    int64_t entries = 0;
    for (const auto& row : rows)
      entries += Binomial(static_cast<int>(row.size()), t);
    const int64_t all = Binomial(n, t);
    level.dense = all <= kDenseLimit && (all <= 65536 || entries * 64 >= all);
    if (!level.dense) {
      BuildSparse(level, rows, t, withIds);
      continue;
    }
    level.counts.assign(static_cast<std::size_t>(all), 0);
    if (withIds) level.ids.assign(static_cast<std::size_t>(all), 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      ForEachSubset(rows[r], t, [&](const int* numbers) {
        const auto rank = static_cast<std::size_t>(LexRank(numbers, t, n));
        ++level.counts[rank];
        if (withIds) level.ids[rank] += r;
      });
    }
  }
}

// One walk over a run of subsets. value[d][t][y] is a_t of the prefix s[0..d-1] plus y, for
// every candidate y of slot d; ids[d][y] is the same sum of row indexes at the guarantee level.
class TableWalk {
 public:
  TableWalk(const CountTables& tables, CheckTally& tally)
      : tables_(tables),
        tally_(tally),
        n_(tables.request_.poolSize),
        m_(tables.request_.drawSize),
        guarantee_(tables.request_.guarantee),
        withIds_(tables.request_.necessity),
        columns_(tables.rowCount_ + 1) {}

  void Run(Subset s, int64_t remaining) {
    const int m = m_;
    for (int d = 0; d < m; ++d)
      Build(d, s);
    for (;;) {
      const int from = s[m - 1];
      const int to = static_cast<int>(std::min<int64_t>(n_, from + remaining - 1));
      Leaf(s, from, to);
      remaining -= to - from + 1;
      if (remaining <= 0) return;
      int i = m - 2;
      while (s[i] == n_ - m + 1 + i)
        --i;
      ++s[i];
      for (int j = i + 1; j < m; ++j)
        s[j] = static_cast<int16_t>(s[j - 1] + 1);
      for (int d = i + 1; d < m; ++d)
        Build(d, s);
    }
  }

 private:
  // Fills value[d] (and ids[d]) for the prefix P = s[0..d-1] from value[d - 1]: for every
  // candidate y, a_t(P + y) = a_t(P) + (a_t(P' + y) - a_t(P')) + the entries c_t[T' + y] of the
  // (t-1)-subsets T' of P that hold s[d-1], where P' is P without s[d-1]. So only the masks whose
  // highest slot is d - 1 are looked up.
  void Build(int d, const Subset& s) {
    const int lo = d == 0 ? 1 : s[d - 1] + 1;
    const int top = std::min(d + 1, m_);
    for (int t = 1; t <= top; ++t)
      Shift(value_[d][t].data(), d, t, lo, s, value_, previous_);
    if (withIds_ && guarantee_ <= top)
      Shift(ids_[d].data(), d, guarantee_, lo, s, idsOf_, previousIds_);
    std::array<int, kMaxPrefix> numbers{};
    for (const uint8_t mask : kNewMasks.of[static_cast<std::size_t>(d)]) {
      int count = 0;
      for (unsigned bits = mask; bits != 0; bits &= bits - 1)
        numbers[count++] = s[std::countr_zero(bits)];
      const int t = count + 1;
      if (t > m_) continue;
      const CountTables::Level& level = tables_.levels_[static_cast<std::size_t>(t)];
      const bool ids = withIds_ && t == guarantee_;
      if (level.dense) {
        int64_t after = 0;
        for (int i = 0; i < count; ++i)
          after += kBinomial.value[static_cast<std::size_t>(n_ - numbers[i])]
                                  [static_cast<std::size_t>(t - i)];
        // The rank of T' + y is base + y.
        const int64_t base = Binomial(n_, t) - 1 - n_ - after;
        AddDense(value_[d][t].data(), level.counts.data() + (base + lo), lo);
        if (ids) AddDense(ids_[d].data(), level.ids.data() + (base + lo), lo);
      } else {
        const uint64_t key = Pack(numbers.data(), count);
        AddSparse(level, key, lo, value_[d][t].data(), level.counts.data());
        if (ids) AddSparse(level, key, lo, ids_[d].data(), level.ids.data());
      }
    }
  }

  // Starts row (of depth d, level t) from the shorter prefix's row, or from 0 for the level the
  // shorter prefix has no row of; records a_t(P) that it starts from.
  template <typename Value, typename Rows, typename Starts>
  void Shift(Value* row, int d, int t, int lo, const Subset& s, Rows& rows, Starts& starts) {
    if (d == 0 || t > d) {
      std::fill(row + lo, row + n_ + 1, Value{0});
      Start(starts, d, t) = 0;
      return;
    }
    const Value* shorter = RowOf(rows, d - 1, t);
    const Value start = shorter[s[d - 1]];
    const Value step = start - Start(starts, d - 1, t);
    for (int y = lo; y <= n_; ++y)
      row[y] = shorter[y] + step;
    Start(starts, d, t) = start;
  }

  template <typename Value>
  void AddDense(Value* row, const Value* entries, int lo) const {
    for (int y = lo; y <= n_; ++y)
      row[y] += entries[y - lo];
  }

  template <typename Value>
  void AddSparse(const CountTables::Level& level, uint64_t key, int lo, Value* row,
                 const Value* entries) const {
    const uint64_t hash = Hash(key);
    const uint64_t bit = (hash >> 40) & level.presentMask;
    if ((level.present[bit / 64] >> (bit % 64) & 1) == 0) return;  // most keys are absent
    uint64_t slot = hash & level.slotMask;
    while (level.slotKeys[slot] != key) {
      if (level.slotKeys[slot] == kEmptyKey) return;
      slot = (slot + 1) & level.slotMask;
    }
    for (uint32_t e = level.slotBegins[slot]; e < level.groupEnds[slot]; ++e) {
      const int y = level.last[e];
      if (y >= lo) row[y] += entries[e];
    }
  }

  using ValueRows =
      std::array<std::array<std::array<uint32_t, kValues>, kMaxSubsetSize + 1>, kMaxSubsetSize>;
  using IdRows = std::array<std::array<uint64_t, kValues>, kMaxSubsetSize>;
  struct IdsOf {};  // marks the id rows, which have one level

  static uint32_t* RowOf(ValueRows& rows, int d, int t) { return rows[d][t].data(); }
  uint64_t* RowOf(IdsOf&, int d, int) { return ids_[d].data(); }
  static uint32_t& Start(
      std::array<std::array<uint32_t, kMaxSubsetSize + 1>, kMaxSubsetSize>& starts, int d, int t) {
    return starts[d][t];
  }
  static uint64_t& Start(std::array<uint64_t, kMaxSubsetSize>& starts, int d, int) {
    return starts[d];
  }

  void Leaf(const Subset& s, int from, int to) {
    const auto& value = value_[m_ - 1];
    int64_t* const histogram = tally_.histogram.data();
    for (int x = from; x <= to; ++x) {
      int level = m_;
      while (level >= 1 && value[level][x] == 0)
        --level;
      const int64_t matches = level >= 1 ? value[level][x] : tables_.rowCount_;
      ++histogram[level * columns_ + matches];
      if (guarantee_ == 0) continue;
      if (level < guarantee_) {
        if (tally_.holes.size() < tables_.request_.holeLimit) {
          Subset hole = s;
          hole[m_ - 1] = static_cast<int16_t>(x);
          tally_.holes.push_back(hole);
        }
      } else if (withIds_) {
        Necessity(x, level);
      }
    }
  }

  // When exactly one row meets the subset ending in x at the guarantee level or above, counts it
  // for that row. n_j, the rows at level j, follow from a_j = sum over i >= j of n_i C(i, j).
  void Necessity(int x, int best) {
    const auto& value = value_[m_ - 1];
    std::array<int64_t, kMaxSubsetSize + 1> rows{};
    int64_t total = 0;
    int single = 0;
    for (int j = best; j >= guarantee_; --j) {
      int64_t at = value[j][x];
      for (int i = j + 1; i <= best; ++i)
        at -= rows[i] * Binomial(i, j);
      rows[j] = at;
      total += at;
      if (at == 1) single = j;
    }
    if (total != 1) return;
    // The one row holds C(single, t) t-subsets of the subset, each adding its index once.
    const uint64_t row = ids_[m_ - 1][x] / static_cast<uint64_t>(Binomial(single, guarantee_));
    ++tally_.necessity[row];
  }

  const CountTables& tables_;
  CheckTally& tally_;
  const int n_;
  const int m_;
  const int guarantee_;
  const bool withIds_;
  const int columns_;
  ValueRows value_{};
  IdRows ids_{};
  IdsOf idsOf_;
  // previous_[d][t]: a_t of the prefix s[0..d-1] itself, which value[d] starts from.
  std::array<std::array<uint32_t, kMaxSubsetSize + 1>, kMaxSubsetSize> previous_{};
  std::array<uint64_t, kMaxSubsetSize> previousIds_{};
};

void CountTables::Count(const Subset& first, int64_t count, CheckTally& tally) const {
  if (count <= 0) return;
  auto walk = std::make_unique<TableWalk>(*this, tally);
  walk->Run(first, count);
}

}  // namespace quirmel
