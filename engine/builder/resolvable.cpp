#include "engine/builder/resolvable.h"

#include <array>
#include <cmath>

namespace quirmel {

namespace {

constexpr int kLookEvery = 4096;                // moves between two looks at the clock
constexpr int64_t kRestartMoves = 10'000'000;   // a search stuck this long starts again
constexpr int64_t kMostBaseNodes = 20'000'000;  // the base classes' searches, at most
constexpr int kBaseAttempts = 200;              // choices of the fixed classes tried
constexpr double kHeat = 0.3;                   // the temperature a search starts at

struct Resolution {
  int points = 0;  // real places; those from here up to `padded` stand for none
  int padded = 0;
  std::vector<std::vector<int>> tripleOf;                // by class and place
  std::vector<std::vector<std::array<int, 3>>> triples;  // by class and triple
  std::vector<int> count;  // by pair of real places (a * points + b, a < b): its triples
  // The pairs in no triple, for the aimed moves to draw from at once, and where each stands
  // among them (-1: covered).
  std::vector<int> open;
  std::vector<int> openAt;

  static std::size_t Index(int a, int b, int points) {
    return static_cast<std::size_t>(std::min(a, b) * points + std::max(a, b));
  }
  // The triples holding two real places, in either order.
  int& Pair(int a, int b) { return count[Index(a, b, points)]; }
  std::size_t uncovered() const { return open.size(); }
  bool Real(int a, int b) const { return a < points && b < points; }

  // Every pair of `triple` counted once more (`step` 1) or once less (-1).
  void Count(const std::array<int, 3>& triple, int step) {
    for (int i = 0; i < 3; ++i) {
      for (int j = i + 1; j < 3; ++j) {
        const int a = triple[i];
        const int b = triple[j];
        if (!Real(a, b)) continue;
        const std::size_t pair = Index(a, b, points);
        int& c = count[pair];
        if (c == 0 && step > 0) {  // covered now: out of the open pairs
          const int last = open.back();
          open[static_cast<std::size_t>(openAt[pair])] = last;
          openAt[static_cast<std::size_t>(last)] = openAt[pair];
          open.pop_back();
          openAt[pair] = -1;
        }
        c += step;
        if (c == 0) {
          openAt[pair] = static_cast<int>(open.size());
          open.push_back(static_cast<int>(pair));
        }
      }
    }
  }

  // How the uncovered pairs change when x and z (in two triples of class c) change places.
  int Delta(int c, int x, int z) {
    const auto& from = triples[c][tripleOf[c][x]];
    const auto& to = triples[c][tripleOf[c][z]];
    int delta = 0;
    for (const int y : from) {
      if (y == x) continue;
      if (Real(x, y) && Pair(x, y) == 1) ++delta;  // lost
      if (Real(z, y) && Pair(z, y) == 0) --delta;  // won
    }
    for (const int u : to) {
      if (u == z) continue;
      if (Real(z, u) && Pair(z, u) == 1) ++delta;
      if (Real(x, u) && Pair(x, u) == 0) --delta;
    }
    return delta;
  }

  void Swap(int c, int x, int z) {
    auto& from = triples[c][tripleOf[c][x]];
    auto& to = triples[c][tripleOf[c][z]];
    Count(from, -1);
    Count(to, -1);
    for (int& place : from)
      if (place == x) place = z;
    for (int& place : to)
      if (place == z) place = x;
    std::swap(tripleOf[c][x], tripleOf[c][z]);
    Count(from, 1);
    Count(to, 1);
  }
};

Resolution Start(int points, int classes, SearchRandom& random) {
  Resolution r;
  r.points = points;
  r.padded = (points + 2) / 3 * 3;
  r.count.assign(static_cast<std::size_t>(points * points), 0);
  r.openAt.assign(static_cast<std::size_t>(points * points), -1);
  for (int a = 0; a < points; ++a) {
    for (int b = a + 1; b < points; ++b) {
      r.openAt[Resolution::Index(a, b, points)] = static_cast<int>(r.open.size());
      r.open.push_back(static_cast<int>(Resolution::Index(a, b, points)));
    }
  }
  r.tripleOf.assign(static_cast<std::size_t>(classes), std::vector<int>(r.padded));
  r.triples.resize(static_cast<std::size_t>(classes));
  std::vector<int> order(static_cast<std::size_t>(r.padded));
  for (int c = 0; c < classes; ++c) {
    for (int p = 0; p < r.padded; ++p)
      order[p] = p;
    for (int p = r.padded - 1; p > 0; --p)
      std::swap(order[p], order[random.Below(static_cast<std::size_t>(p) + 1)]);
    for (int t = 0; t < r.padded / 3; ++t) {
      const std::array<int, 3> triple{order[3 * t], order[3 * t + 1], order[3 * t + 2]};
      r.triples[c].push_back(triple);
      for (const int place : triple)
        r.tripleOf[c][place] = t;
      r.Count(triple, 1);
    }
  }
  return r;
}

// A base class for a Kirkman system on Z_n x {0, 1, 2} (place i n + x for (x, i)): seven, or n,
// triples that part the places and whose pairs fall into distinct orbits under x -> x + 1, none
// of them an orbit the fixed classes take (`taken`). Depth-first, lowest free place first.
bool BaseClass(int n, std::vector<char>& used, std::vector<char>& taken, Rows& base,
               int64_t& nodes) {
  if (--nodes < 0) return false;
  const int places = 3 * n;
  int first = 0;
  while (first < places && used[first])
    ++first;
  if (first == places) return true;
  const auto orbit = [n](int p, int q) {
    const int i = p / n, x = p % n, j = q / n, y = q % n;
    const int half = (n - 1) / 2;
    if (i == j) {
      const int d = ((y - x) % n + n) % n;
      return i * half + std::min(d, n - d) - 1;
    }
    const int pair = i + j - 1;  // levels (0, 1), (0, 2), (1, 2): 0, 1, 2
    const int delta = i < j ? ((y - x) % n + n) % n : ((x - y) % n + n) % n;
    return 3 * half + pair * n + delta;
  };
  used[first] = 1;
  for (int q = first + 1; q < places; ++q) {
    if (used[q] || taken[orbit(first, q)]) continue;
    const int pq = orbit(first, q);
    taken[pq] = 1;
    used[q] = 1;
    for (int r = q + 1; r < places; ++r) {
      if (used[r]) continue;
      const int pr = orbit(first, r);
      const int qr = orbit(q, r);
      if (taken[pr] || taken[qr] || pr == qr) continue;
      taken[pr] = taken[qr] = 1;
      used[r] = 1;
      base.push_back({first, q, r});
      if (BaseClass(n, used, taken, base, nodes)) return true;
      base.pop_back();
      used[r] = 0;
      taken[pr] = taken[qr] = 0;
    }
    used[q] = 0;
    taken[pq] = 0;
  }
  used[first] = 0;
  return false;
}

}  // namespace

std::optional<std::vector<Rows>> KirkmanTriples(int points) {
  if (points < 9 || points % 6 != 3) return std::nullopt;
  const int n = points / 3;
  const int half = (n - 1) / 2;
  // Fixed classes {(x, 0), (x + a, 1), (x + b, 2)}: each takes the mixed orbits of differences
  // a, b and b - a; the translates of a base class take the rest. The shifts (a, b) tried are
  // (k, 2k) first, then others drawn at random with distinct differences.
  SearchRandom random(points);
  std::vector<std::pair<int, int>> shifts;
  Rows base;
  int64_t nodes = kMostBaseNodes;
  for (int attempt = 0; attempt < kBaseAttempts && nodes > 0; ++attempt) {
    shifts.clear();
    std::vector<char> taken(static_cast<std::size_t>(3 * half + 3 * n), 0);
    for (int k = 0; k < half; ++k) {
      int a = k;
      int b = 2 * k % n;
      for (int draw = 0; attempt > 0 && draw < 1000; ++draw) {
        a = static_cast<int>(random.Below(static_cast<std::size_t>(n)));
        b = static_cast<int>(random.Below(static_cast<std::size_t>(n)));
        if (!taken[3 * half + a] && !taken[3 * half + n + b] &&
            !taken[3 * half + 2 * n + (b - a + n) % n])
          break;
      }
      if (taken[3 * half + a] || taken[3 * half + n + b] ||
          taken[3 * half + 2 * n + (b - a + n) % n])
        break;
      taken[3 * half + a] = 1;                        // levels 0 and 1
      taken[3 * half + n + b] = 1;                    // 0 and 2
      taken[3 * half + 2 * n + (b - a + n) % n] = 1;  // 1 and 2
      shifts.emplace_back(a, b);
    }
    if (static_cast<int>(shifts.size()) < half) continue;
    std::vector<char> used(static_cast<std::size_t>(points), 0);
    base.clear();
    if (BaseClass(n, used, taken, base, nodes)) break;
    base.clear();
  }
  if (base.empty()) return std::nullopt;
  std::vector<Rows> classes;
  for (int shift = 0; shift < n; ++shift) {
    Rows shifted;
    for (const auto& triple : base) {
      std::vector<int> moved;
      for (const int place : triple)
        moved.push_back(place / n * n + (place % n + shift) % n);
      shifted.push_back(moved);
    }
    classes.push_back(shifted);
  }
  for (const auto& [a, b] : shifts) {
    Rows fixed;
    for (int x = 0; x < n; ++x)
      fixed.push_back({x, n + (x + a) % n, 2 * n + (x + b) % n});
    classes.push_back(fixed);
  }
  return classes;
}

std::optional<std::vector<Rows>> ResolvableTriples(int points, int classes, uint64_t seed,
                                                   const SearchControl& control) {
  if (points < 3 || classes < LeastClasses(points)) return std::nullopt;
  // A Kirkman system on up to two places more, those standing for none, when one is at hand.
  const int kirkman = KirkmanPlaces(points);
  if (kirkman > 0 && (kirkman - 1) / 2 <= classes) {
    if (std::optional<std::vector<Rows>> system = KirkmanTriples(kirkman)) return system;
  }
  SearchRandom random(seed);
  while (!control.Ended()) {
    Resolution r = Start(points, classes, random);
    for (int64_t move = 0; move < kRestartMoves && r.uncovered() > 0; ++move) {
      if (move % kLookEvery == 0 && control.Ended()) return std::nullopt;
      const double heat = kHeat * (1.0 - static_cast<double>(move) / kRestartMoves);
      const int c = static_cast<int>(random.Below(static_cast<std::size_t>(classes)));
      int x = static_cast<int>(random.Below(static_cast<std::size_t>(r.padded)));
      int z = static_cast<int>(random.Below(static_cast<std::size_t>(r.padded)));
      if (move % 2 == 0) {
        // Aimed: an uncovered pair (x, y) made a pair of class c's triples by moving y in.
        const int pair = r.open[random.Below(r.open.size())];
        int a = pair / points;
        int b = pair % points;
        if (random.Below(2) == 1) std::swap(a, b);
        const auto& home = r.triples[c][r.tripleOf[c][a]];
        x = home[random.Below(3)];
        if (x == a) continue;
        z = b;
      }
      if (r.tripleOf[c][x] == r.tripleOf[c][z]) continue;
      const int delta = r.Delta(c, x, z);
      if (delta <= 0 || (heat > 0 && random.Uniform() < std::exp(-delta / heat))) r.Swap(c, x, z);
    }
    if (r.uncovered() > 0) continue;
    std::vector<Rows> found(static_cast<std::size_t>(classes));
    for (int c = 0; c < classes; ++c) {
      for (const auto& triple : r.triples[c])
        found[c].push_back({triple.begin(), triple.end()});
    }
    return found;
  }
  return std::nullopt;
}

}  // namespace quirmel
