#include "engine/check/check_tables.h"

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

// The numbers in 7 bits each, the first highest, so that packed subsets of one size sort
// lexicographically; 0 for the empty one.
uint64_t Pack(const int* numbers, int count) {
  uint64_t key = 0;
  for (int i = 0; i < count; ++i)
    key = key << 7 | static_cast<uint64_t>(numbers[i]);
  return key;
}

using HashIndex = CountTables::HashIndex;

// An index over `groups` (key, first entry), in ascending entry order, of `entries` entries.
HashIndex BuildIndex(const std::vector<std::pair<uint64_t, uint32_t>>& groups,
                     std::size_t entries) {
  HashIndex index;
  const std::size_t slots = std::bit_ceil(std::max<std::size_t>(16, groups.size() * 2));
  index.slotMask = slots - 1;
  index.keys.assign(slots, kEmptyKey);
  index.begins.assign(slots, 0);
  index.ends.assign(slots, 0);
  index.present.assign(slots / 4, 0);  // 32 bits a key
  index.presentMask = index.present.size() * 64 - 1;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const uint64_t hash = Hash(groups[g].first);
    const uint64_t bit = (hash >> 40) & index.presentMask;
    index.present[bit / 64] |= uint64_t{1} << (bit % 64);
    uint64_t slot = hash & index.slotMask;
    while (index.keys[slot] != kEmptyKey)
      slot = (slot + 1) & index.slotMask;
    index.keys[slot] = groups[g].first;
    index.begins[slot] = groups[g].second;
    index.ends[slot] =
        static_cast<uint32_t>(g + 1 < groups.size() ? groups[g + 1].second : entries);
  }
  return index;
}

// The entries [begin, end) of `key`; empty when it has none.
std::pair<uint32_t, uint32_t> Find(const HashIndex& index, uint64_t key) {
  const uint64_t hash = Hash(key);
  const uint64_t bit = (hash >> 40) & index.presentMask;
  if ((index.present[bit / 64] >> (bit % 64) & 1) == 0) return {0, 0};  // most keys are absent
  uint64_t slot = hash & index.slotMask;
  while (index.keys[slot] != key) {
    if (index.keys[slot] == kEmptyKey) return {0, 0};
    slot = (slot + 1) & index.slotMask;
  }
  return {index.begins[slot], index.ends[slot]};
}

// Calls visit(numbers) for every t-subset of the ascending `row`.
template <typename Visit>
void ForEachSubset(const std::vector<int>& row, int t, Visit&& visit) {
  std::array<int, kMaxSubsetSize> numbers{};
  ForEachCombination(static_cast<int>(row.size()), t, [&](const int* at) {
    for (int i = 0; i < t; ++i)
      numbers[static_cast<std::size_t>(i)] = row[static_cast<std::size_t>(at[i])];
    visit(static_cast<const int*>(numbers.data()));
  });
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

// How level t of the tables is kept: its entries over all rows, the t-subsets of the pool, and
// whether it is a dense array by rank or sparse entries found through prefix indexes.
struct LevelShape {
  int64_t entries = 0;
  int64_t all = 0;
  bool dense = true;
};

LevelShape ShapeOf(const std::vector<int>& lengths, int poolSize, int t) {
  LevelShape shape;
  for (const int length : lengths)
    shape.entries += Binomial(length, t);
  shape.all = Binomial(poolSize, t);
  shape.dense = shape.all <= kDenseLimit && (shape.all <= 65536 || shape.entries * 16 >= shape.all);
  return shape;
}

// Each row's count of numbers within the pool.
std::vector<int> PoolLengths(const AnyWheel& wheel, int poolSize) {
  std::vector<int> lengths(wheel.rowCount());
  for (std::size_t r = 0; r < wheel.rowCount(); ++r) {
    const auto row = wheel.row(r);
    lengths[r] = static_cast<int>(
        std::count_if(row.begin(), row.end(), [&](uint8_t v) { return v >= 1 && v <= poolSize; }));
  }
  return lengths;
}

void BuildSparse(CountTables::TableLevel& level, const std::vector<std::vector<int>>& rows, int t,
                 bool withIds, int64_t entries) {
  std::vector<std::pair<uint64_t, uint32_t>> items;  // (packed subset, row)
  items.reserve(static_cast<std::size_t>(entries));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ForEachSubset(rows[r], t, [&](const int* numbers) {
      items.emplace_back(Pack(numbers, t), static_cast<uint32_t>(r));
    });
  }
  std::sort(items.begin(), items.end());
  std::vector<std::pair<uint64_t, uint32_t>> byFirst;  // (key, first entry)
  std::vector<std::pair<uint64_t, uint32_t>> byPairPrefix;
  for (std::size_t i = 0; i < items.size();) {
    const uint64_t code = items[i].first;
    uint64_t ids = 0;
    std::size_t j = i;
    for (; j < items.size() && items[j].first == code; ++j)
      ids += items[j].second;
    const auto entry = static_cast<uint32_t>(level.last.size());
    if (byFirst.empty() || byFirst.back().first != code >> 7)
      byFirst.emplace_back(code >> 7, entry);
    if (t >= 2 && (byPairPrefix.empty() || byPairPrefix.back().first != code >> 14))
      byPairPrefix.emplace_back(code >> 14, entry);
    level.last.push_back(static_cast<uint8_t>(code & 127));
    level.second.push_back(static_cast<uint8_t>(code >> 7 & 127));
    level.counts.push_back(static_cast<uint32_t>(j - i));
    if (withIds) level.ids.push_back(ids);
    i = j;
  }
  level.byFirst = BuildIndex(byFirst, level.last.size());
  level.byPairPrefix = BuildIndex(byPairPrefix, level.last.size());
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
  const std::vector<int> lengths = PoolLengths(wheel, poolSize);
  int64_t entries = 0;
  for (int t = 1; t <= drawSize; ++t)
    entries += ShapeOf(lengths, poolSize, t).entries;
  return entries;
}

int64_t CountTables::BytesNeeded(const AnyWheel& wheel, const TableRequest& request) {
  const std::vector<int> lengths = PoolLengths(wheel, request.poolSize);
  // The rows as lists while the tables are built, then every level kept, and the largest
  // level's own building (its sorted items and prefix lists).
  int64_t rows = 0;
  for (const int length : lengths)
    rows += 32 + 4 * int64_t{length};
  int64_t kept = 0;
  int64_t building = 0;
  for (int t = 1; t <= request.drawSize; ++t) {
    const LevelShape shape = ShapeOf(lengths, request.poolSize, t);
    const int64_t idBytes = request.necessity && t == request.guarantee ? 8 : 0;
    if (shape.dense) {
      kept += shape.all * (4 + idBytes);
      continue;
    }
    // A prefix index has a key for each distinct first t - 1 (or t - 2) numbers: at most one
    // per entry, and at most the (t - 1)-subsets (or (t - 2)-subsets) of the pool; its slots
    // hold a key, a begin, an end and a presence bit.
    int64_t keys = 0;
    const auto addIndex = [&](int prefix) {
      const int64_t distinct = std::min(shape.entries, Binomial(request.poolSize, prefix));
      keys += distinct;
      kept += static_cast<int64_t>(
                  std::bit_ceil(static_cast<uint64_t>(std::max<int64_t>(16, 2 * distinct)))) *
              18;
    };
    addIndex(t - 1);
    if (t >= 2) addIndex(t - 2);
    kept += shape.entries * (6 + idBytes);
    building = std::max(building, (shape.entries + keys) * 16);
  }
  return rows + kept + building;
}

CountTables::CountTables(const AnyWheel& wheel, const TableRequest& request)
    : request_(request), rowCount_(static_cast<int>(wheel.rowCount())) {
  const int n = request.poolSize;
  const std::vector<std::vector<int>> rows = PoolRows(wheel, n);
  const std::vector<int> lengths = PoolLengths(wheel, n);
  levels_.resize(static_cast<std::size_t>(request.drawSize + 1));
  for (int t = 1; t <= request.drawSize; ++t) {
    TableLevel& level = levels_[static_cast<std::size_t>(t)];
    const bool withIds = request.necessity && t == request.guarantee;
    const LevelShape shape = ShapeOf(lengths, n, t);
    const int64_t all = shape.all;
    level.dense = shape.dense;
    if (!level.dense) {
      BuildSparse(level, rows, t, withIds, shape.entries);
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
// every candidate y of slot d, and start[d][t] is a_t of the prefix itself; ids[d][y] and
// idStart[d] are the same sums of row indexes at the guarantee level. pair[t][y][x] holds the
// entries of the (t-2)-subsets of the first m - 2 numbers with y and x added.
class TableWalk {
 public:
  TableWalk(const CountTables& tables, CheckTally& tally)
      : tables_(tables),
        tally_(tally),
        n_(tables.request_.poolSize),
        m_(tables.request_.drawSize),
        q_(m_ - 2),
        guarantee_(tables.request_.guarantee),
        withIds_(tables.request_.necessity),
        columns_(tables.rowCount_ + 1),
        histogram_(tally.histogram.size()),
        copies_(columns_ <= 4096 ? 4 : 1),
        copyHistograms_(copies_ * histogram_, 0) {}

  // Adds the copies of the histogram into the tally's; the walk is done with them then.
  void AddToTally() const {
    for (std::size_t copy = 0; copy < copies_; ++copy) {
      for (std::size_t i = 0; i < histogram_; ++i)
        tally_.histogram[i] += copyHistograms_[copy * histogram_ + i];
    }
  }

  void Run(Subset s, int64_t remaining) {
    for (int d = 0; d <= q_; ++d)
      Build(d, s);
    for (;;) {
      FillPairs(s);
      remaining = CountPairs(s, s[q_], s[q_ + 1], remaining);
      if (remaining <= 0) return;
      // The pairs after the first m - 2 numbers have run out: the next subset steps one of those.
      const int i = NextSubset(s.data(), q_, m_, n_);
      if (i < 0) __builtin_unreachable();  // subsets remain, so some slot steps
      for (int d = i + 1; d <= q_; ++d)
        Build(d, s);
    }
  }

 private:
  static constexpr int kLevels = kMaxSubsetSize + 1;
  using ValueRow = std::array<uint32_t, kValues>;
  using IdRow = std::array<uint64_t, kValues>;

  // Fills value[d] (and ids[d]) for the prefix P = s[0..d-1] from value[d - 1]: for every
  // candidate y, a_t(P + y) = a_t(P) + (a_t(P' + y) - a_t(P')) + the entries c_t[T' + y] of the
  // (t-1)-subsets T' of P that hold s[d-1], where P' is P without s[d-1]. So only the masks whose
  // highest slot is d - 1 are looked up.
  void Build(int d, const Subset& s) {
    const int lo = d == 0 ? 1 : s[d - 1] + 1;
    const int top = std::min(d + 1, m_);
    for (int t = 1; t <= top; ++t) {
      const bool carried = d >= 1 && t <= d;  // the shorter prefix has this level
      start_[d][t] = carried ? value_[d - 1][t][s[d - 1]] : 0;
      Shift(value_[d][t].data(), carried ? value_[d - 1][t].data() : nullptr, lo,
            carried ? start_[d][t] - start_[d - 1][t] : 0);
    }
    const bool ids = withIds_ && guarantee_ <= top;
    if (ids) {
      const bool carried = d >= 1 && guarantee_ <= d;
      idStart_[d] = carried ? ids_[d - 1][s[d - 1]] : 0;
      Shift(ids_[d].data(), carried ? ids_[d - 1].data() : nullptr, lo,
            carried ? idStart_[d] - idStart_[d - 1] : 0);
    }
    std::array<int, kMaxPrefix> numbers{};
    for (const uint8_t mask : kNewMasks.of[static_cast<std::size_t>(d)]) {
      const int count = Numbers(mask, s, numbers);
      const int t = count + 1;
      const CountTables::TableLevel& level = tables_.levels_[static_cast<std::size_t>(t)];
      const bool withIds = ids && t == guarantee_;
      if (level.dense) {
        const int64_t base = Binomial(n_, t) - 1 - n_ - After(numbers, count, t);  // + y: rank
        const auto at = static_cast<std::size_t>(base + lo);
        Add(value_[d][t].data(), level.counts.data() + at, lo);
        if (withIds) Add(ids_[d].data(), level.ids.data() + at, lo);
        continue;
      }
      const auto [begin, end] = Find(level.byFirst, Pack(numbers.data(), count));
      for (uint32_t e = begin; e < end; ++e) {
        const int y = level.last[e];
        if (y < lo) continue;
        value_[d][t][y] += level.counts[e];
        if (withIds) ids_[d][y] += level.ids[e];
      }
    }
  }

  // Starts a row from the shorter prefix's row plus `step`, or from 0 without one.
  template <typename Value>
  void Shift(Value* row, const Value* shorter, int lo, Value step) const {
    if (shorter == nullptr) {
      std::fill(row + lo, row + n_ + 1, Value{0});
      return;
    }
    for (int y = lo; y <= n_; ++y)
      row[y] = shorter[y] + step;
  }

  template <typename Value>
  void Add(Value* row, const Value* entries, int lo) const {
    for (int y = lo; y <= n_; ++y)
      row[y] += entries[y - lo];
  }

  // The numbers of the prefix slots in `mask`, ascending; returns how many.
  static int Numbers(unsigned mask, const Subset& s, std::array<int, kMaxPrefix>& numbers) {
    int count = 0;
    for (; mask != 0; mask &= mask - 1)
      numbers[static_cast<std::size_t>(count++)] = s[std::countr_zero(mask)];
    return count;
  }

  // The t-subsets after those that start with `numbers`, counted slot by slot (see LexRank).
  int64_t After(const std::array<int, kMaxPrefix>& numbers, int count, int t) const {
    int64_t after = 0;
    for (int i = 0; i < count; ++i) {
      after += kBinomial.value[static_cast<std::size_t>(n_ - numbers[static_cast<std::size_t>(i)])]
                              [static_cast<std::size_t>(t - i)];
    }
    return after;
  }

  // pair[t] for the first m - 2 numbers Q = s[0..m-3]: the pairs y < x after them in
  // lexicographic order, as each (t-2)-subset T'' of Q has them in one block of a dense table.
  void FillPairs(const Subset& s) {
    lo_ = q_ == 0 ? 1 : s[q_ - 1] + 1;
    std::size_t pairs = 0;
    for (int y = lo_; y < n_; ++y) {
      rowStart_[y] = pairs;
      pairs += static_cast<std::size_t>(n_ - y);
    }
    for (int t = 2; t <= m_; ++t)
      pair_[t].assign(pairs, 0);
    if (withIds_ && guarantee_ >= 2) pairIds_.assign(pairs, 0);
    std::array<int, kMaxPrefix> numbers{};
    for (unsigned mask = 0; mask < (1u << q_); ++mask) {
      const int count = Numbers(mask, s, numbers);
      const int t = count + 2;
      const CountTables::TableLevel& level = tables_.levels_[static_cast<std::size_t>(t)];
      const bool withIds = withIds_ && t == guarantee_;
      uint32_t* cell = pair_[t].data();
      if (level.dense) {
        // The rank of T'' + lo + (lo + 1), where the block of the pairs from lo on starts.
        const auto first = static_cast<std::size_t>(
            Binomial(n_, t) - 1 - n_ - After(numbers, count, t) - Binomial(n_ - lo_, 2) + lo_ + 1);
        const uint32_t* counts = level.counts.data() + first;
        for (std::size_t k = 0; k < pairs; ++k)
          cell[k] += counts[k];
        if (!withIds) continue;
        const uint64_t* ids = level.ids.data() + first;
        for (std::size_t k = 0; k < pairs; ++k)
          pairIds_[k] += ids[k];
        continue;
      }
      const auto [begin, end] = Find(level.byPairPrefix, Pack(numbers.data(), count));
      for (uint32_t e = begin; e < end; ++e) {
        const int y = level.second[e];
        if (y < lo_) continue;
        const std::size_t at = Cell(y, level.last[e]);
        cell[at] += level.counts[e];
        if (withIds) pairIds_[at] += level.ids[e];
      }
    }
  }

  std::size_t Cell(int y, int x) const {
    return rowStart_[y] + static_cast<std::size_t>(x - y - 1);
  }

  // Counts the subsets Q + y + x from (y, x) on in order, at most `remaining` of them; returns
  // how many remain.
  int64_t CountPairs(const Subset& s, int y, int x, int64_t remaining) {
    for (; y < n_; ++y, x = y + 1) {
      const int last = static_cast<int>(std::min<int64_t>(n_, x + remaining - 1));
      Resolve(y, x, last);
      for (int v = x; v <= last; ++v) {  // neighbours tally apart: equal entries do not wait
        ++copyHistograms_[static_cast<std::size_t>((v & (copies_ - 1)) * histogram_ +
                                                   level_[v] * columns_ + matches_[v])];
      }
      if (guarantee_ != 0) {
        for (int v = x; v <= last; ++v)
          Guarantee(s, y, v);
      }
      remaining -= last - x + 1;
      if (remaining == 0) return 0;
    }
    return remaining;
  }

  // The best level and match count of Q + y + x for x in first..last, level by level from the
  // top over the whole run so that the loops vectorise; the first level with a_t > 0 wins, and
  // the levels below are skipped once every subset of the run has found its level.
  void Resolve(int y, int first, int last) {
    const std::size_t row = Cell(y, first);
    for (int x = first; x <= last; ++x) {
      level_[x] = 0;
      matches_[x] = static_cast<uint32_t>(tables_.rowCount_);
    }
    int open = last - first + 1;
    const auto keep = [this, &open](int x, uint32_t level, uint32_t a) {
      const bool found = a != 0 && level_[x] == 0;
      level_[x] = found ? level : level_[x];
      matches_[x] = found ? a : matches_[x];
      open -= found ? 1 : 0;
    };
    for (int t = m_; t >= 1 && open > 0; --t) {
      const auto level = static_cast<uint32_t>(t);
      const uint32_t* pair = t >= 2 ? pair_[t].data() + row : nullptr;  // from x = first
      const uint32_t* value = value_[q_][t].data();
      if (t == m_) {  // only a row holding all of Q + y + x
        for (int x = first; x <= last; ++x)
          keep(x, level, pair[x - first]);
        continue;
      }
      const uint32_t fromY = value[y] - start_[q_][t];
      if (t == 1) {
        for (int x = first; x <= last; ++x)
          keep(x, level, value[x] + fromY);
        continue;
      }
      for (int x = first; x <= last; ++x)
        keep(x, level, pair[x - first] + value[x] + fromY);
    }
  }

  // A hole is listed; a covered subset counts for the one row that covers it, if only one does.
  void Guarantee(const Subset& s, int y, int x) {
    const int level = static_cast<int>(level_[x]);
    if (level < guarantee_) {
      if (tally_.holes.size() < tally_.holeRoom) {
        Subset hole = s;
        hole[q_] = static_cast<int16_t>(y);
        hole[q_ + 1] = static_cast<int16_t>(x);
        tally_.holes.push_back(hole);
      }
    } else if (withIds_) {
      Necessity(Cell(y, x), y, x, level);
    }
  }

  // a_t(Q + y + x) for level t.
  int64_t At(int t, std::size_t cell, int y, int x) const {
    int64_t a = t >= 2 ? pair_[t][cell] : 0;
    if (t <= m_ - 1) {
      const auto& row = value_[q_][t];
      a += int64_t{row[y]} + row[x] - start_[q_][t];
    }
    return a;
  }

  // When exactly one row meets the subset at the guarantee level or above, counts it for that
  // row. n_j, the rows at level j, follow from a_j = sum over i >= j of n_i C(i, j).
  void Necessity(std::size_t cell, int y, int x, int best) {
    std::array<int64_t, kLevels> rows{};
    int64_t total = 0;
    int single = 0;
    for (int j = best; j >= guarantee_; --j) {
      int64_t at = At(j, cell, y, x);
      for (int i = j + 1; i <= best; ++i)
        at -= rows[static_cast<std::size_t>(i)] * Binomial(i, j);
      rows[static_cast<std::size_t>(j)] = at;
      total += at;
      if (at == 1) single = j;
    }
    if (total != 1) return;
    uint64_t sum = guarantee_ >= 2 ? pairIds_[cell] : 0;
    if (guarantee_ <= m_ - 1) sum += ids_[q_][y] + ids_[q_][x] - idStart_[q_];
    // The one row holds C(single, t) t-subsets of the subset, each adding its index once.
    ++tally_.necessity[sum / static_cast<uint64_t>(Binomial(single, guarantee_))];
  }

  const CountTables& tables_;
  CheckTally& tally_;
  const int n_;
  const int m_;
  const int q_;  // numbers before the last two
  const int guarantee_;
  const bool withIds_;
  const int columns_;
  const std::size_t histogram_;  // entries of one copy of the histogram
  const std::size_t copies_;     // a power of two
  std::vector<int64_t> copyHistograms_;
  std::array<std::array<ValueRow, kLevels>, kMaxSubsetSize> value_{};
  std::array<std::array<uint32_t, kLevels>, kMaxSubsetSize> start_{};
  std::array<IdRow, kMaxSubsetSize> ids_{};
  std::array<uint64_t, kMaxSubsetSize> idStart_{};
  std::array<std::vector<uint32_t>, kLevels> pair_;  // [t][the pair's place, see Cell]
  std::vector<uint64_t> pairIds_;
  int lo_ = 1;                                   // the smallest y
  std::array<std::size_t, kValues> rowStart_{};  // where the pairs of each y start
  std::array<uint32_t, kValues> level_{};        // of Q + y + x, by x
  std::array<uint32_t, kValues> matches_{};      // the same
};

void CountTables::Count(const Subset& first, int64_t count, CheckTally& tally) const {
  if (count <= 0) return;
  auto walk = std::make_unique<TableWalk>(*this, tally);
  walk->Run(first, count);
  walk->AddToTally();
}

}  // namespace quirmel
