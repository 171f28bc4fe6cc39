#pragma once

// A wheel under construction, kept on t-subsets rather than on draws. A draw (an m-subset of the
// places) meets a row in t or more numbers exactly when one of its t-subsets lies inside that row;
// so the state keeps, for every t-subset of the places, how many rows hold it, the list of those
// no row holds (the uncovered ones) and, for every (t-1)-subset, the set of places that complete
// it to an uncovered t-subset (its link). The cost of the wheel is the number of unmet draws: the
// m-subsets all of whose t-subsets are uncovered. A move (one number of one row replaced) changes
// the counts of at most 2 C(k-1, t-1) t-subsets; the change of cost of each that becomes
// uncovered or covered is the number of unmet draws holding it, counted by a short walk over the
// link sets. Nothing is kept per draw: the memory grows with C(places, t).

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quirmel {

// A set of places 0..127.
struct PlaceSet {
  std::array<uint64_t, 2> word{};

  void Add(int place) { word[place >> 6] |= uint64_t{1} << (place & 63); }
  void Remove(int place) { word[place >> 6] &= ~(uint64_t{1} << (place & 63)); }
  bool Has(int place) const { return (word[place >> 6] >> (place & 63)) & 1; }
  int Size() const { return __builtin_popcountll(word[0]) + __builtin_popcountll(word[1]); }
  bool Empty() const { return (word[0] | word[1]) == 0; }
  PlaceSet operator&(const PlaceSet& other) const {
    return {{word[0] & other.word[0], word[1] & other.word[1]}};
  }
  PlaceSet& operator&=(const PlaceSet& other) { return *this = *this & other; }
  int Lowest() const {  // the set must not be empty
    return word[0] != 0 ? __builtin_ctzll(word[0]) : 64 + __builtin_ctzll(word[1]);
  }
  static PlaceSet FirstPlaces(int count);  // 0..count-1
};

struct CoverShape {
  int places = 0;     // P: the places 0..P-1 (at most 99)
  int rowSize = 6;    // k
  int guarantee = 3;  // t
  int drawSize = 3;   // m >= t
};

using DrawPlaces = std::array<uint8_t, 8>;  // the places of one m-subset, ascending

// A small fast generator (xoshiro256**), seeded by splitmix64; the searches draw from it
// millions of times a second.
class SearchRandom {
 public:
  using result_type = uint64_t;
  explicit SearchRandom(uint64_t seed) {
    for (uint64_t& word : state_) {
      seed += 0x9e3779b97f4a7c15;
      uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
      z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
      word = z ^ (z >> 31);
    }
  }
  static constexpr uint64_t min() { return 0; }
  static constexpr uint64_t max() { return ~uint64_t{0}; }
  uint64_t operator()() {
    const uint64_t result = Rotate(state_[1] * 5, 7) * 9;
    const uint64_t shifted = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= shifted;
    state_[3] = Rotate(state_[3], 45);
    return result;
  }
  // A whole number below n (n > 0), by the multiply-and-shift method.
  std::size_t Below(std::size_t n) {
    return static_cast<std::size_t>((static_cast<unsigned __int128>((*this)()) * n) >> 64);
  }
  double Uniform() { return static_cast<double>((*this)() >> 11) * 0x1.0p-53; }  // [0, 1)

 private:
  static uint64_t Rotate(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::array<uint64_t, 4> state_{};
};

class CoverState {
 public:
  explicit CoverState(const CoverShape& shape);

  // The bytes a state of this shape keeps (without its rows).
  static int64_t Bytes(const CoverShape& shape);

  const CoverShape& shape() const { return shape_; }
  int64_t cost() const { return cost_; }  // the draws no row meets in t numbers
  int rows() const { return static_cast<int>(rowSets_.size()); }
  std::span<const uint8_t> row(int r) const;  // places, ascending
  const PlaceSet& rowSet(int r) const { return rowSets_[static_cast<std::size_t>(r)]; }
  std::vector<std::vector<int>> Rows() const;

  void AddRow(std::span<const uint8_t> places);  // k distinct places, any order
  void RemoveRow(int r);                         // the last row takes its place
  // How much the cost would grow without row r.
  int64_t RemovalCost(int r);

  // Replaces `out` (in row r) by `in` (not in it) and returns the change of cost; Undo() takes
  // the last move back exactly. A change past `limit` may be returned before the move is done
  // (it is then only a lower bound), and must be undone.
  int64_t Move(int r, int out, int in, int64_t limit = INT64_MAX);
  void Undo();

  // An unmet draw, when the cost is positive.
  bool FindUnmet(SearchRandom& random, DrawPlaces& draw);
  // A row, chosen at random among those holding the most places of `drawn`.
  int RowHoldingMost(const PlaceSet& drawn, SearchRandom& random) const;
  // How many uncovered t-subsets the row would cover with `place` added to it.
  int NewlyCovered(std::span<const uint8_t> row, int place) const;

 private:
  struct Change {
    uint32_t rank;
    int8_t step;  // +1 or -1 on the count
    std::array<uint8_t, 8> subset;
  };

  int64_t Bump(const uint8_t* subset, int step, bool remember);
  void Unbump(const Change& change);
  void Uncover(uint32_t rank, const uint8_t* subset);
  void Cover(uint32_t rank, const uint8_t* subset);
  uint32_t RankWithout(const uint8_t* subset, int skip) const;
  int64_t UnmetDrawsHolding(const uint8_t* subset) const;
  int64_t CountSmall(const uint8_t* subset, PlaceSet candidates, int need) const;
  int64_t CountLevel(PlaceSet pool, int left, int depth) const;
  int64_t Extend(std::array<uint8_t, 8>& draw, int size, PlaceSet candidates, int need,
                 std::vector<DrawPlaces>* found) const;
  PlaceSet Narrow(const std::array<uint8_t, 8>& draw, int size, int place, PlaceSet next) const;
  bool Unmet(const DrawPlaces& draw) const;
  void CollectUnmet(uint32_t rank, std::size_t limit);
  void TouchRow(std::span<const uint8_t> sorted, int step, bool remember);

  CoverShape shape_;
  bool linked_;                      // m > t: the links are kept
  std::vector<uint32_t> count_;      // by colex rank: the rows holding the t-subset
  std::vector<uint32_t> where_;      // by rank: its place in uncovered_, or kNowhere
  std::vector<uint32_t> uncovered_;  // ranks of the t-subsets no row holds
  std::vector<PlaceSet> link_;       // by rank of a (t-1)-subset
  std::vector<uint8_t> rows_;        // k places a row, ascending
  std::vector<PlaceSet> rowSets_;
  std::vector<std::array<uint8_t, 8>> combos_;      // the (t-1)-subsets of k-1 positions
  std::vector<std::array<uint8_t, 8>> rowCombos_;   // the t-subsets of a row's k positions
  std::vector<std::array<uint8_t, 8>> drawCombos_;  // the t-subsets of a draw's m positions
  // For each level of the count of unmet draws: the places each candidate may be joined by.
  mutable std::vector<std::array<PlaceSet, 128>> scratch_;
  int64_t cost_ = 0;

  // The last move, for Undo().
  std::vector<Change> journal_;
  int64_t costBefore_ = 0;
  int movedRow_ = -1;
  uint8_t movedOut_ = 0;
  uint8_t movedIn_ = 0;

  std::vector<DrawPlaces> unmetSeen_;  // unmet draws found earlier; some may be met by now
};

}  // namespace quirmel
