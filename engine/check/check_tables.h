#pragma once

// The count-table method of the general check. c_t[T] is the number of rows holding the t-subset
// T; for a subset S, a_t(S), the sum of c_t[T] over the t-subsets T of S, is the number of
// (row, t-subset of S) pairs it holds. S's best level L is the largest t with a_t(S) > 0, and its
// match count is a_L(S), since a row at level L holds exactly one L-subset of S.
//
// Subsets are walked in lexicographic order. For each prefix P of d numbers and every candidate
// y for the next number, a_t(P + y) = a_t(P) + sum over the (t-1)-subsets T' of P of
// c_t[T' + y]; the entries c_t[T' + y] for consecutive y lie side by side in a dense table
// (lexicographic order of the t-subsets) or in one sorted list per T' in a sparse one. The last
// two numbers y < x are taken together: with Q the first m - 2 numbers,
// a_t(Q + y + x) = a_t(Q + y) + a_t(Q + x) - a_t(Q) + the sum over the (t-2)-subsets T'' of Q of
// c_t[T'' + y + x], whose entries for all pairs (y, x) lie in one block per T''.

#include <cstdint>
#include <vector>

#include "engine/core/any_wheel.h"
#include "engine/core/subsets.h"

namespace quirmel {

// Where one worker adds up what it counts.
struct CheckTally {
  std::vector<int64_t> histogram;  // [best level * columns + match count]
  std::vector<int64_t> necessity;  // per row; empty unless asked
  std::vector<Subset> holes;       // of the chunk being counted, at most holeRoom
  std::size_t holeRoom = 0;        // how many holes the chunk being counted may list
};

struct TableRequest {
  int poolSize = 0;
  int drawSize = 0;
  int guarantee = 0;  // 0: none
  bool necessity = false;
};

class CountTables {
 public:
  CountTables(const AnyWheel& wheel, const TableRequest& request);

  // The table entries a wheel needs, before building them; a measure of the build's time.
  static int64_t EntriesNeeded(const AnyWheel& wheel, int poolSize, int drawSize);
  // The most bytes the tables take while they are built, before building them (an upper bound:
  // a prefix index is counted as if every entry had a prefix of its own).
  static int64_t BytesNeeded(const AnyWheel& wheel, const TableRequest& request);

  // Adds the `count` subsets from `first` (included) on in lexicographic order to `tally`.
  void Count(const Subset& first, int64_t count, CheckTally& tally) const;

  // Entries keyed by a prefix of their numbers, packed 7 bits a number (first number highest).
  struct HashIndex {
    std::vector<uint64_t> keys;  // open addressing; a free slot holds ~0
    std::vector<uint32_t> begins;
    std::vector<uint32_t> ends;
    std::vector<uint64_t> present;  // one bit per hash of a key present: absent keys cost a test
    uint64_t slotMask = 0;
    uint64_t presentMask = 0;
  };

  struct TableLevel {
    bool dense = true;
    std::vector<uint32_t> counts;  // dense: by lexicographic rank; sparse: by entry
    std::vector<uint64_t> ids;     // the same layout: the sum of the rows' indexes
    // Sparse: the entries in lexicographic order, found by their first t - 1 numbers or by
    // their first t - 2.
    std::vector<uint8_t> last;
    std::vector<uint8_t> second;  // the number before the last
    HashIndex byFirst;            // first t - 1 numbers
    HashIndex byPairPrefix;       // first t - 2 numbers (t >= 2)
  };

 private:
  friend class TableWalk;
  TableRequest request_;
  int rowCount_ = 0;
  std::vector<TableLevel> levels_;  // by t = 1..m; element 0 unused
};

}  // namespace quirmel
