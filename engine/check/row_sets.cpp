#include "engine/check/row_sets.h"

#include <algorithm>
#include <cstddef>

#include "engine/core/popcount_clones.h"

#if defined(__GNUC__)
#define QUIRMEL_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define QUIRMEL_ALWAYS_INLINE inline
#endif

namespace quirmel {

namespace {

RowSets EmptyRowSets(int rowCount, int poolSize, int subsetSize) {
  RowSets sets;
  sets.poolSize = poolSize;
  sets.subsetSize = subsetSize;
  sets.rowCount = rowCount;
  sets.words = std::max(1, (rowCount + 63) / 64);
  const auto words = static_cast<std::size_t>(sets.words);
  sets.rowsOf.assign(static_cast<std::size_t>(poolSize + 1) * words, 0);
  sets.allRows.assign(words, 0);
  sets.noRows.assign(words, 0);
  for (int row = 0; row < rowCount; ++row)
    sets.allRows[static_cast<std::size_t>(row / 64)] |= uint64_t{1} << (row % 64);
  return sets;
}

// Row `row` (from 0) holds `value`; numbers outside 1..poolSize are left out.
void AddNumber(RowSets& sets, int row, int value) {
  if (value < 1 || value > sets.poolSize) return;
  const auto word = static_cast<std::size_t>(value) * static_cast<std::size_t>(sets.words) +
                    static_cast<std::size_t>(row / 64);
  sets.rowsOf[word] |= uint64_t{1} << (row % 64);
}

}  // namespace

RowSets BuildRowSets(const AnyWheel& wheel, int poolSize, int subsetSize) {
  RowSets sets = EmptyRowSets(static_cast<int>(wheel.rowCount()), poolSize, subsetSize);
  for (std::size_t row = 0; row < wheel.rowCount(); ++row) {
    for (const uint8_t value : wheel.row(row))
      AddNumber(sets, static_cast<int>(row), value);
  }
  return sets;
}

namespace {

// W is the number of 64-bit words of a row set; 0 stands for a width known only at run time.
//
// The walk keeps, for the first k - 2 numbers of the subset, the rows grouped by how many of those
// numbers they hold (level sets). For the last two numbers only the two highest groups matter:
// adding the second-to-last number gives the top group and the one below it, and the last number
// then decides each subset with two AND + popcount operations.
template <int W>
class Walker {
 public:
  explicit Walker(const RowSets& sets)
      : sets_(sets),
        words_(W > 0 ? W : sets.words),
        drawSize_(sets.subsetSize),
        columns_(sets.rowCount + 1),
        tally_(static_cast<std::size_t>(kCopies * kLevels * columns_), 0) {
    if constexpr (W == 0) {
      levels_.assign(static_cast<std::size_t>(kDepths * kLevels * words_), 0);
      pair_.assign(static_cast<std::size_t>(2 * words_), 0);
    }
  }

  QUIRMEL_ALWAYS_INLINE void Run(Subset s, int64_t remaining) {
    const int k = drawSize_;
    const int n = sets_.poolSize;
    std::copy(sets_.allRows.begin(), sets_.allRows.end(), Level(0, 0));
    tops_[0] = 0;
    Extend(s, 0);
    for (;;) {
      remaining -= CountLastTwo(s[k - 2], s[k - 1], remaining);
      if (remaining <= 0) break;
      // The last two slots have run out: the rightmost earlier slot below its bound steps up,
      // the later ones follow it. Subsets remain, so such a slot exists (for k = 2 the first
      // call counts them all).
      const int stepped = NextSubset(s.data(), k - 2, k, n);
      if (stepped < 0) __builtin_unreachable();  // subsets remain, so some slot steps
      Extend(s, stepped);
    }
  }

  // Hands every (best level, match count, subsets) of the walk to `sink`.
  template <typename Sink>
  void Fold(Sink&& sink) const {
    for (int copy = 0; copy < kCopies; ++copy) {
      for (int level = 0; level < kLevels; ++level) {
        const int32_t* row = tally_.data() + (copy * kLevels + level) * columns_;
        for (int m = 1; m < columns_; ++m) {
          if (row[m] != 0) sink(level, m, row[m]);
        }
      }
    }
  }

 private:
  static constexpr int kDepths = kMaxSubsetSize - 1;  // prefixes of 0..k-2 numbers
  static constexpr int kLevels = kMaxSubsetSize + 1;  // hit counts 0..k
  static constexpr int kCopies = 2;                   // even and odd last numbers tally apart
  static constexpr int kCopyStride = kLevels;         // rows per copy

  QUIRMEL_ALWAYS_INLINE int Words() const { return W > 0 ? W : words_; }

  // Level set `level` after `depth` numbers; LevelOrEmpty reads levels below 0 as empty.
  QUIRMEL_ALWAYS_INLINE uint64_t* Level(int depth, int level) {
    return levels_.data() + (depth * kLevels + level) * Words();
  }
  QUIRMEL_ALWAYS_INLINE const uint64_t* LevelOrEmpty(int depth, int level) {
    return level >= 0 ? Level(depth, level) : sets_.noRows.data();
  }
  QUIRMEL_ALWAYS_INLINE const uint64_t* RowsOf(int value) const {
    return sets_.rowsOf.data() + value * Words();
  }

  // Recomputes the level sets of depths from+1 .. k-2: the rows holding the added number rise one
  // level. Levels above the highest occupied one stay empty and are not touched.
  QUIRMEL_ALWAYS_INLINE void Extend(const Subset& s, int from) {
    const int words = Words();
    for (int depth = from; depth < drawSize_ - 2; ++depth) {
      const uint64_t* holds = RowsOf(s[depth]);
      const int top = tops_[depth];
      uint64_t risen = 0;
      for (int level = 0; level <= top + 1; ++level) {
        uint64_t* out = Level(depth + 1, level);
        const uint64_t* same = Level(depth, level);
        const uint64_t* below = LevelOrEmpty(depth, level - 1);
        for (int w = 0; w < words; ++w) {
          const uint64_t stay = level <= top ? same[w] & ~holds[w] : 0;
          const uint64_t rise = below[w] & holds[w];
          out[w] = stay | rise;
          if (level == top + 1) risen |= rise;
        }
      }
      tops_[depth + 1] = risen != 0 ? top + 1 : top;
    }
  }

  // Counts the subsets that share the first k - 2 numbers, from (..., a, b) on in order, at most
  // `limit` of them; returns how many.
  QUIRMEL_ALWAYS_INLINE int64_t CountLastTwo(int a, int b, int64_t limit) {
    const int n = sets_.poolSize;
    const int depth = drawSize_ - 2;
    const int top = tops_[depth];
    const uint64_t* t0 = Level(depth, top);
    const uint64_t* t1 = LevelOrEmpty(depth, top - 1);
    const uint64_t* t2 = LevelOrEmpty(depth, top - 2);
    int64_t counted = 0;
    for (;;) {
      AddSecondToLast(RowsOf(a), top, t0, t1, t2);
      counted += CountLast(b, limit - counted);
      if (counted >= limit || ++a >= n) return counted;
      b = a + 1;
    }
  }

  // The two highest groups of rows once the second-to-last number is added to the groups t0
  // (the top, at level `top`), t1 and t2 below it.
  QUIRMEL_ALWAYS_INLINE void AddSecondToLast(const uint64_t* holds, int top, const uint64_t* t0,
                                             const uint64_t* t1, const uint64_t* t2) {
    const int words = Words();
    uint64_t risen = 0;
    for (int w = 0; w < words; ++w)
      risen |= t0[w] & holds[w];
    uint64_t* high = pair_.data();
    uint64_t* below = pair_.data() + words;
    if (risen != 0) {
      pairTop_ = top + 1;
      for (int w = 0; w < words; ++w) {
        high[w] = t0[w] & holds[w];
        below[w] = (t0[w] & ~holds[w]) | (t1[w] & holds[w]);
      }
    } else {
      pairTop_ = top;
      for (int w = 0; w < words; ++w) {
        high[w] = t0[w] | (t1[w] & holds[w]);
        below[w] = (t1[w] & ~holds[w]) | (t2[w] & holds[w]);
      }
    }
    pairTopCount_ = 0;
    for (int w = 0; w < words; ++w)
      pairTopCount_ += __builtin_popcountll(high[w]);
  }

  // Counts the subsets that share the prefix and end with first, first + 1, ... up to N, at most
  // `limit` of them; returns how many. The best level is the top level plus one when some top
  // row holds the last number (match count: those rows), else the top level (match count: the
  // top rows and the rows one below that hold it). Match counts are capped when folded, and the
  // tally is spread over copies so that runs of equal entries do not wait on each other.
  QUIRMEL_ALWAYS_INLINE int64_t CountLast(int first, int64_t limit) {
    int32_t* const even = tally_.data() + pairTop_ * columns_;
    int32_t* const odd = even + kCopyStride * columns_;
    const int last = static_cast<int>(std::min<int64_t>(sets_.poolSize, first + limit - 1));
    int v = first;
    for (; v < last; v += 2) {
      Tally(v, even);
      Tally(v + 1, odd);
    }
    if (v == last) Tally(v, even);
    return last - first + 1;
  }

  // One subset: its entry is (top + 1, raised) when some top row holds v, else
  // (top, topCount + joined).
  QUIRMEL_ALWAYS_INLINE void Tally(int v, int32_t* topRow) {
    const int words = Words();
    const uint64_t* high = pair_.data();
    const uint64_t* below = pair_.data() + words;
    const uint64_t* holds = RowsOf(v);
    int raised = 0;
    int joined = 0;
    for (int w = 0; w < words; ++w) {
      raised += __builtin_popcountll(high[w] & holds[w]);
      joined += __builtin_popcountll(below[w] & holds[w]);
    }
    const bool rises = raised != 0;
    const int matches = rises ? raised : pairTopCount_ + joined;
    const int row = rises ? columns_ : 0;
    ++topRow[row + matches];
  }

  template <std::size_t Size>
  using Store = std::conditional_t<(W > 0), std::array<uint64_t, Size>, std::vector<uint64_t>>;

  const RowSets& sets_;
  const int words_;
  const int drawSize_;
  const int columns_;  // match counts 0..rowCount
  std::vector<int32_t> tally_;
  Store<kDepths * kLevels*(W > 0 ? W : 1)> levels_{};
  std::array<int, kDepths> tops_{};    // highest non-empty level at each depth
  Store<2 * (W > 0 ? W : 1)> pair_{};  // the two highest groups after the second-to-last number
  int pairTop_ = 0;
  int pairTopCount_ = 0;
};

template <int W, typename Sink>
QUIRMEL_ALWAYS_INLINE void WalkWith(const RowSets& sets, const Subset& first, int64_t count,
                                    Sink&& sink) {
  Walker<W> walker(sets);
  walker.Run(first, count);
  walker.Fold(sink);
}

template <typename Sink>
QUIRMEL_ALWAYS_INLINE void Walk(const RowSets& sets, const Subset& first, int64_t count,
                                Sink&& sink) {
  if (count <= 0) return;
  switch (sets.words) {
    case 1:
      return WalkWith<1>(sets, first, count, sink);
    case 2:
      return WalkWith<2>(sets, first, count, sink);
    case 3:
      return WalkWith<3>(sets, first, count, sink);
    case 4:
      return WalkWith<4>(sets, first, count, sink);
    default:
      return WalkWith<0>(sets, first, count, sink);
  }
}

}  // namespace

QUIRMEL_POPCOUNT_CLONES
void CountSubsets(const RowSets& sets, const Subset& first, int64_t count, int64_t* histogram) {
  const int columns = sets.rowCount + 1;
  Walk(sets, first, count, [histogram, columns](int level, int matches, int32_t subsets) {
    histogram[level * columns + matches] += subsets;
  });
}

}  // namespace quirmel
