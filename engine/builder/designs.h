#pragma once

// Exact designs the builder constructs itself, to start its search from: Steiner systems, in
// which every t-subset of the points lies in exactly one row, so no covering design of the same
// shape has fewer rows. From the extended binary Golay code: S(5,8,24), S(4,7,23), S(3,6,22);
// the projective planes S(2,q+1,q^2+q+1) and affine planes S(2,q,q^2) of prime order q.

#include <string>
#include <vector>

namespace quirmel {

struct KnownDesign {
  std::string name;
  int points = 0;     // the places 0..points-1
  int rowSize = 0;    // k
  int guarantee = 0;  // t
  std::vector<std::vector<int>> rows;
};

const std::vector<KnownDesign>& KnownDesigns();

// A cover of every t-subset of `places` places by rows of k, from the known design of that k and
// t with the fewest rows among those on `places` points or a few more: the points past the pool
// are cut, and each row so shortened is filled up with the lowest places it lacks. Empty when no
// design fits.
struct DesignStart {
  std::string name;
  std::vector<std::vector<int>> rows;
};
std::vector<DesignStart> DesignStarts(int places, int rowSize, int guarantee);

}  // namespace quirmel
