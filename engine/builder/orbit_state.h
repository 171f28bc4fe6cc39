#pragma once

// A wheel made of whole orbits of a group (see groups.h), kept on the orbits of t-subsets and of
// draws. A draw meets a row of the wheel in t numbers exactly when one of its t-subsets lies in
// some row, and a t-subset lies in an image of a base row exactly when its orbit holds one of the
// base row's own t-subsets; so the state keeps, for every orbit of t-subsets, how many t-subsets
// of base rows fall into it, and, when m > t, for every orbit of draws how many t-subsets of its
// representative fall into covered orbits. The cost is the number of draws met by no row (whole
// orbits at a time). A move replaces one number of one base row: it changes the orbits of the
// 2 C(k-1, t-1) t-subsets through the two numbers, and so whole orbits of draws at once.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/builder/cover_state.h"
#include "engine/builder/groups.h"

namespace quirmel {

class OrbitState {
 public:
  // Whether the tables of this shape under this group stay within `bytes` and take little
  // time to set up (the draws are enumerated once).
  static bool Fits(const CoverShape& shape, const PermutationGroup& group, int64_t bytes);

  // Setting up walks every draw once (m > t); `cancelled`, asked every few thousand draws,
  // ends it early, and the state is then not complete().
  OrbitState(const CoverShape& shape, const PermutationGroup& group,
             const std::function<bool()>& cancelled = {});

  bool complete() const { return complete_; }

  const CoverShape& shape() const { return shape_; }
  const PermutationGroup& group() const { return *group_; }
  int64_t cost() const { return cost_; }  // draws no row meets in t numbers
  int bases() const { return static_cast<int>(bases_.size()) / shape_.rowSize; }
  std::span<const uint8_t> base(int b) const;  // places, ascending

  void AddBase(std::span<const uint8_t> places);  // k distinct places, any order
  void RemoveBase(int b);                         // the last base row takes its place
  int64_t RemovalCost(int b);                     // how much the cost would grow without it
  // Replaces `out` (in base row b) by `in` (not in it); returns the change of cost. The same
  // move with `in` and `out` swapped takes it back exactly.
  int64_t Move(int b, int out, int in);

  // An unmet draw (an image, at random, of an unmet orbit's representative), when cost > 0.
  bool FindUnmet(SearchRandom& random, DrawPlaces& draw) const;
  // The draws (orbit sizes summed) that a base row would newly meet with `place` added to it.
  int64_t NewlyCovered(std::span<const uint8_t> row, int place) const;

  // Every row of the wheel: the images of every base row, each once, ascending.
  std::vector<std::vector<int>> Rows() const;

 private:
  void NumberSubsetOrbits();
  bool OrbitDraws(const std::function<bool()>& cancelled);
  void TouchThrough(uint8_t* row, int at, int step);  // the t-subsets through position `at`
  void TouchAll(const uint8_t* row, int step);        // every t-subset of a sorted row
  void Bump(int32_t orbit, int step);
  void SetUnmet(int32_t drawOrbit, bool unmet);
  int32_t OrbitOf(const uint8_t* sorted) const;

  CoverShape shape_;
  const PermutationGroup* group_;
  bool lotto_;                       // m > t: draws kept apart from t-subsets
  std::vector<int32_t> orbitOf_;     // by colex rank of a t-subset
  std::vector<int32_t> count_;       // by orbit of t-subsets: t-subsets of base rows in it
  std::vector<DrawPlaces> drawRep_;  // by orbit of draws (m = t: of t-subsets)
  std::vector<int64_t> drawSize_;    // its size
  std::vector<int32_t> hits_;        // m > t: t-subsets of the representative covered
  std::vector<uint32_t> listStart_;  // m > t: by orbit of t-subsets, the draw orbits holding
  std::vector<int32_t> list_;        //   one of its t-subsets (once per such t-subset)
  std::vector<int32_t> unmet_;       // the orbits of draws no row meets
  std::vector<int32_t> unmetAt_;     // by orbit: its place in unmet_, or -1
  std::vector<std::array<uint8_t, 8>> combos_;  // the (t-1)-subsets of k-1 positions
  std::vector<uint8_t> bases_;                  // k places a base row, ascending
  int64_t cost_ = 0;
  bool complete_ = true;
};

}  // namespace quirmel
