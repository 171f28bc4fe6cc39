#include "engine/builder/cover_search.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <thread>

#include "engine/builder/builder.h"
#include "engine/builder/designs.h"
#include "engine/builder/groups.h"
#include "engine/builder/halves.h"
#include "engine/builder/orbit_search.h"
#include "engine/builder/orbit_state.h"
#include "engine/builder/pigeonhole.h"
#include "engine/builder/resolvable.h"
#include "engine/builder/steiner_search.h"
#include "engine/core/worker_pool.h"
#include "engine/limits.h"

namespace quirmel {

namespace {

constexpr double kSplitShare = 0.5;       // of a lotto design's time (m > t), for the splits
constexpr double kEstimateShare = 0.1;    // of the splits' time, for greedy estimates of groups
constexpr double kFirstRound = 0.1;       // of the splits' time, for a first wheel of every plan,
constexpr double kFirstRoundSeconds = 1;  // and never more than this
constexpr int kPlansBuilt = 3;            // the plans of the smallest estimates, built in full
constexpr int kMaxSplitDepth = 2;         // splits within splits, at most
constexpr double kExtensionShare = 0.2;   // of the time, for designs with numbers added
constexpr int kMostAdded = 3;             // numbers added to a design, at most
constexpr double kTwoGroupsShare = 0.3;   // of the time, for covers of triples from two groups
constexpr int kLeastTwoGroupsPool = 18;   // (smaller pools have better covers of their own)
constexpr std::size_t kTwoGroupPlans = 3;
constexpr int kMostExtraClasses = 2;  // classes above the fewest a system may have
// Wheels larger than this are left to the free search alone: its moves are cheaper there, and
// a sub-search or an orbit search only takes its time.
constexpr int64_t kMostRowsSearchedApart = 5000;
constexpr double kQuickShare = 0.05;      // of the time, for a first short free search,
constexpr double kQuickSeconds = 1;       // and never more than this
constexpr double kOrbitShare = 0.5;       // of the time left, for the orbit searches
constexpr double kFirstOrbitRound = 0.4;  // of the orbit searches' time, for every group
constexpr int kMaxGroupsTried = 8;
constexpr double kSteinerShare = 0.2;  // of the time, for Steiner systems under a group
constexpr int kAnyOrder = 1 << 20;
constexpr double kBaseRowsAimed = 12;  // the groups tried first give about this many base rows
// A group tried has at most a quarter as many elements as the wheel is expected to have rows
// (coarser steps of rows are too coarse) and at least a 64th (a smaller one searches much as
// the free search does).
constexpr int kRowsPerOrbit = 4;
constexpr int kMostRowsPerOrbit = 64;

double Since(SearchClock::time_point from) {
  return std::chrono::duration<double>(SearchClock::now() - from).count();
}

double Left(const SearchControl& control) {
  return std::max(0.0,
                  std::chrono::duration<double>(control.deadline - SearchClock::now()).count());
}

// A part of the build's time: with a move limit (a repeatable run) every part runs its moves
// and only the build's own deadline applies.
SearchControl Slice(const SearchControl& control, double seconds, int64_t enough) {
  SearchControl part = control;
  if (control.maxMoves == 0) {
    part.deadline = std::min(control.deadline,
                             SearchClock::now() + std::chrono::duration_cast<SearchClock::duration>(
                                                      std::chrono::duration<double>(seconds)));
  }
  part.enough = enough;
  return part;
}

void Offer(FoundCover& found, Rows rows, const std::string& method, double at) {
  if (rows.empty()) return;
  if (found.firstCover < 0 || at < found.firstCover) found.firstCover = at;
  if (!found.rows.empty() && rows.size() >= found.rows.size()) return;
  found.rows = std::move(rows);
  found.method = method;
  found.bestAt = at;
}

void Absorb(FoundCover& found, SearchOutcome&& outcome, const std::string& method) {
  found.moves += outcome.moves;
  if (outcome.firstCover >= 0 && (found.firstCover < 0 || outcome.firstCover < found.firstCover))
    found.firstCover = outcome.firstCover;
  Offer(found, std::move(outcome.best), method, outcome.bestAt);
}

// The least rows a cover of this shape can have, where a bound is known (1 otherwise): where a
// search may stop.
int64_t Least(const CoverShape& shape) {
  return SchoenheimBound(shape.places, shape.rowSize, shape.guarantee, shape.drawSize).value_or(1);
}

std::string PlanText(const std::vector<PlaceGroup>& plan, const CoverShape& shape) {
  std::string text = "a split into ";
  int used = 0;
  for (std::size_t g = 0; g < plan.size(); ++g) {
    text += (g > 0 ? " + " : "") + std::to_string(plan[g].size) + " (" +
            std::to_string(shape.guarantee) + " if " + std::to_string(plan[g].threshold) + ")";
    used += plan[g].size;
  }
  if (used < shape.places) text += " + " + std::to_string(shape.places - used) + " without rows";
  return text + ", each with a wheel of its own";
}

bool Enough(const FoundCover& found, const SearchControl& control) {
  return !found.rows.empty() && static_cast<int64_t>(found.rows.size()) <= control.enough;
}

void Publish(SearchLive* live, const FoundCover& found) {
  if (live != nullptr && !found.rows.empty()) live->Publish(static_cast<int>(found.rows.size()));
}

// The wheel of a plan from its groups' wheels, offered when every group has one.
void OfferPlan(const std::vector<PlaceGroup>& plan, const CoverShape& shape,
               const std::map<std::pair<int, int>, Rows>& wheels, FoundCover& found,
               const SearchControl& control, SearchLive* live) {
  std::set<std::vector<int>> wheel;
  for (const PlaceGroup& group : plan) {
    if (group.size < group.threshold) continue;  // no draw puts that many into it
    if (group.size <= shape.rowSize) {
      std::vector<int> row;
      for (int place = 0; place < group.size; ++place)
        row.push_back(group.first + place);
      wheel.insert(FilledUp(row, shape.rowSize));
      continue;
    }
    const auto local = wheels.find({group.size, group.threshold});
    if (local == wheels.end()) return;
    for (const auto& places : local->second) {
      std::vector<int> row;
      for (const int place : places)
        row.push_back(group.first + place);
      wheel.insert(row);
    }
  }
  Offer(found, {wheel.begin(), wheel.end()}, PlanText(plan, shape), Since(control.started));
  Publish(live, found);
}

// The pigeonhole splits (see pigeonhole.h): the plans ordered by an estimate of their rows (the
// Schoenheim bound for a covering design, four fifths of a greedy wheel otherwise), the first
// few built, each group's wheel by these same phases in a share of the time.
// The first few plans by their estimated rows, as (rows, plan) pairs; the estimates take at most
// their share of the phase's `total` seconds from `started`.
std::vector<std::pair<int64_t, std::size_t>> OrderPlans(
    const std::vector<std::vector<PlaceGroup>>& plans, const CoverShape& shape,
    const SearchControl& control, uint64_t seed, SearchClock::time_point started, double total) {
  std::map<std::pair<int, int>, int64_t> estimates;
  const auto estimate = [&](int size, int threshold) -> int64_t {
    if (size < threshold) return 0;
    if (size <= shape.rowSize) return 1;
    if (threshold == shape.guarantee)
      return SchoenheimBound(size, shape.rowSize, shape.guarantee, shape.guarantee).value_or(1);
    const auto key = std::pair{size, threshold};
    if (const auto known = estimates.find(key); known != estimates.end()) return known->second;
    const CoverShape part{.places = size,
                          .rowSize = shape.rowSize,
                          .guarantee = shape.guarantee,
                          .drawSize = threshold};
    const int shrunk = size - (threshold - shape.guarantee);  // a cover of all but a few
    int64_t value =
        shrunk <= shape.rowSize
            ? 1
            : SchoenheimBound(shrunk, shape.rowSize, shape.guarantee, shape.guarantee).value_or(1) *
                  3 / 4;
    // (A repeatable run always takes the greedy estimate: its choices may not hang on the clock.)
    const bool inTime = control.maxMoves > 0 || Since(started) < kEstimateShare * total;
    if (inTime && CoverState::Bytes(part) <= kMaxBuildBytes / 4) {
      SearchControl greedy = control;
      greedy.maxMoves = 1;
      const SearchOutcome outcome = Anneal(part, {}, seed, greedy, nullptr, false);
      if (!outcome.best.empty()) value = static_cast<int64_t>(outcome.best.size()) * 4 / 5;
    }
    return estimates[key] = value;
  };
  std::vector<std::pair<int64_t, std::size_t>> order;
  for (std::size_t p = 0; p < plans.size() && !control.Ended(); ++p) {
    int64_t rows = 0;
    for (const PlaceGroup& group : plans[p])
      rows += estimate(group.size, group.threshold);
    order.emplace_back(rows, p);
  }
  std::stable_sort(order.begin(), order.end());
  if (order.size() > static_cast<std::size_t>(kPlansBuilt)) order.resize(kPlansBuilt);

  return order;
}

void SplitPhase(const CoverShape& shape, const SearchControl& control, uint64_t seed, int depth,
                const KnownCover& known, SearchLive* live, FoundCover& found) {
  const auto plans = GroupPlans(shape.places, shape.guarantee, shape.drawSize);
  if (plans.empty()) return;
  const auto started = SearchClock::now();
  const double total = Left(control) * kSplitShare;
  const auto order = OrderPlans(plans, shape, control, seed, started, total);
  std::set<std::pair<int, int>> parts;  // (size, threshold) of the groups that need a search
  for (const auto& [rows, p] : order) {
    for (const PlaceGroup& group : plans[p]) {
      if (group.size > shape.rowSize && group.size >= group.threshold)
        parts.emplace(group.size, group.threshold);
    }
  }
  // Two rounds: a quick one, so that a first split wheel is there early, and one that goes on
  // from its groups' wheels with the rest of the time. A group whose wheel is known starts
  // from it.
  const auto partShape = [&](int size, int threshold) {
    return CoverShape{.places = size,
                      .rowSize = shape.rowSize,
                      .guarantee = shape.guarantee,
                      .drawSize = threshold};
  };
  std::map<std::pair<int, int>, Rows> wheels;
  for (const auto& [size, threshold] : parts) {
    if (std::optional<Rows> rows = known ? known(partShape(size, threshold)) : std::nullopt)
      wheels[{size, threshold}] = std::move(*rows);
  }
  // Each plan is offered as soon as its groups have wheels (the known ones first, then each one a
  // search improves): the build may end there.
  const auto offerPlans = [&] {
    for (const auto& [rows, p] : order)
      OfferPlan(plans[p], shape, wheels, found, control, live);
    return Enough(found, control);
  };
  if (offerPlans()) return;
  // The first round's time counts from the end of the estimates, which may have taken as long.
  const double estimated = Since(started);
  for (const double roundEnd :
       {std::min(estimated + std::min(kFirstRound * total, kFirstRoundSeconds), total), total}) {
    std::size_t partsLeft = parts.size();
    for (const auto& [size, threshold] : parts) {
      const CoverShape part = partShape(size, threshold);
      const double seconds =
          std::max(0.0, roundEnd - Since(started)) / static_cast<double>(partsLeft--);
      if (CoverState::Bytes(part) > kMaxBuildBytes || control.Ended()) continue;
      const int64_t enough = Least(part);
      const auto have = wheels.find({size, threshold});
      if (have != wheels.end() && static_cast<int64_t>(have->second.size()) <= enough) continue;
      FoundCover sub =
          FindCover(part, Slice(control, seconds, enough), 1, seed, nullptr,
                    have != wheels.end() ? &have->second : nullptr, {}, depth + 1, known);
      found.moves += sub.moves;
      if (sub.rows.empty() || (have != wheels.end() && sub.rows.size() >= have->second.size()))
        continue;
      wheels[{size, threshold}] = std::move(sub.rows);
      if (offerPlans()) return;
    }
    if (control.maxMoves > 0) break;  // a repeatable run has one round of its moves
  }
}

// A Steiner system of the shape under one of the groups that fit the pool, within the control's
// time: the largest groups first (the fewest orbits, quickly settled), each taking an equal part
// of what is left.
std::optional<DesignStart> SteinerDesign(const CoverShape& shape, const SearchControl& control,
                                         uint64_t seed) {
  if (!SteinerRows(shape.places, shape.rowSize, shape.guarantee)) return std::nullopt;
  std::vector<PermutationGroup> groups = GroupsFor(shape.places, kAnyOrder);
  std::erase_if(groups, [&](const auto& group) { return !SteinerFits(shape, group); });
  for (std::size_t g = 0; g < groups.size() && !control.Ended(); ++g) {
    const double seconds = Left(control) / static_cast<double>(groups.size() - g);
    std::optional<Rows> rows =
        SteinerUnderGroup(shape, groups[g], seed, Slice(control, seconds, control.enough));
    if (!rows) continue;
    return DesignStart{.name = "S(" + std::to_string(shape.guarantee) + "," +
                               std::to_string(shape.rowSize) + "," + std::to_string(shape.places) +
                               ") under " + groups[g].name + ", by exact cover of its orbits",
                       .rows = std::move(*rows)};
  }
  return std::nullopt;
}

// The cover of the smaller pool that ExtensionPhase extends: the smallest known design, else
// the book's cover, or a Steiner system under a group, or (for t >= 3, at the top, while above
// the bound) a search from the book's; nothing when none is at hand.
std::optional<DesignStart> CoverToExtend(const CoverShape& smaller, const SearchControl& control,
                                         double seconds, uint64_t seed, int depth,
                                         const KnownCover& known, FoundCover& found) {
  std::vector<DesignStart> designs =
      DesignStarts(smaller.places, smaller.rowSize, smaller.guarantee);
  std::optional<Rows> book = designs.empty() && known ? known(smaller) : std::nullopt;
  const bool atBound = book && static_cast<int64_t>(book->size()) <= Least(smaller);
  if (designs.empty() && !atBound) {
    if (std::optional<DesignStart> steiner =
            SteinerDesign(smaller, Slice(control, seconds / 2, Least(smaller)), seed))
      designs.push_back(std::move(*steiner));
  }
  if (designs.empty() && !atBound && smaller.guarantee >= 3 && depth == 0 &&
      Least(smaller) <= kMostRowsSearchedApart) {
    FoundCover sub = FindCover(smaller, Slice(control, seconds / 2, Least(smaller)), 1, seed,
                               nullptr, book ? &*book : nullptr, book ? "the book" : "", depth + 1);
    found.moves += sub.moves;
    if (!sub.rows.empty()) designs.push_back({"", std::move(sub.rows)});
  } else if (designs.empty() && book) {
    designs.push_back({"", std::move(*book)});
  }
  if (designs.empty()) return std::nullopt;
  return *std::min_element(designs.begin(), designs.end(), [](const auto& a, const auto& b) {
    return a.rows.size() < b.rows.size();
  });
}

// Designs with a few numbers added: from a cover of every t-subset of v - u numbers (a known
// design) and a cover of every (t-1)-subset of them by rows of k - u, each row of the second
// joined by the u new numbers, every t-subset of v numbers lies in a row: one with no new number
// in a row of the first, one with j >= 1 new numbers with its t - j old ones in a row of the
// second. C(v, k, t) <= C(v - u, k, t) + C(v - u, k - u, t - 1). (For t = 2 the second is
// the old numbers cut into rows of k - u.)
void ExtensionPhase(const CoverShape& shape, const SearchControl& control, uint64_t seed, int depth,
                    const KnownCover& known, SearchLive* live, FoundCover& found) {
  const int k = shape.rowSize;
  const int t = shape.guarantee;
  if (t < 2) return;
  const double seconds = Left(control) * kExtensionShare / kMostAdded;
  for (int added = 1; added <= kMostAdded && k - added >= t - 1 && !control.Ended(); ++added) {
    const int base = shape.places - added;
    if (base <= k) continue;
    const CoverShape smaller{.places = base, .rowSize = k, .guarantee = t, .drawSize = t};
    const std::optional<DesignStart> design =
        CoverToExtend(smaller, control, seconds, seed, depth, known, found);
    if (!design) continue;
    const CoverShape part{
        .places = base, .rowSize = k - added, .guarantee = t - 1, .drawSize = t - 1};
    if (CoverState::Bytes(part) > kMaxBuildBytes) continue;
    // The book's cover of the smaller rows is taken, and searched from while above its bound.
    const std::optional<Rows> partBook = known ? known(part) : std::nullopt;
    const FoundCover joined = FindCover(
        part,
        Slice(control,
              partBook && static_cast<int64_t>(partBook->size()) <= Least(part) ? 0 : seconds,
              Least(part)),
        1, seed, nullptr, partBook ? &*partBook : nullptr, partBook ? "the book" : "", depth + 1);
    found.moves += joined.moves;
    if (joined.rows.empty()) continue;
    Rows rows = design->rows;
    for (std::vector<int> row : joined.rows) {
      for (int place = base; place < shape.places; ++place)
        row.push_back(place);
      rows.push_back(std::move(row));
    }
    const std::size_t named = design->name.find(')');
    Offer(
        found, std::move(rows),
        (named == std::string::npos ? std::string("a wheel") : design->name.substr(0, named + 1)) +
            " on " + std::to_string(base) + " numbers and " + std::to_string(added) +
            " more joined to every row of a C(" + std::to_string(base) + "," +
            std::to_string(k - added) + "," + std::to_string(t - 1) + ") wheel",
        Since(control.started));
    Publish(live, found);
  }
}

// A resolvable system of triples on `size` numbers: the fewest classes first (those of the
// Kirkman system a group is cut from, when it is: a search for fewer seldom ends); a class more
// when none is found soon (a Kirkman system is rare among the resolvable ones). Each try has
// `seconds` of its own.
std::optional<std::vector<Rows>> ClassesOf(int size, uint64_t seed, const SearchControl& control,
                                           double seconds) {
  const int fewest = KirkmanPlaces(size) > 0 ? LikelyClasses(size) : LeastClasses(size);
  for (int extra = 0; extra <= kMostExtraClasses; ++extra) {
    if (auto system =
            ResolvableTriples(size, fewest + extra, seed, Slice(control, seconds, control.enough)))
      return system;
  }
  return std::nullopt;
}

std::string TwoGroupsText(const TwoGroups& groups) {
  return "two groups of " + std::to_string(groups.sizeA) + " and " + std::to_string(groups.sizeB) +
         " numbers: every triple of each, and rows of a triple of each by resolvable systems of " +
         std::to_string(groups.classesA.size()) + " and " + std::to_string(groups.classesB.size()) +
         " classes";
}

// The splits a + b of the pool by their estimated rows, the few smallest first; `inside` takes
// the known covers of the groups' triples, by group size.
std::vector<std::pair<int64_t, int>> TwoGroupOrder(const CoverShape& shape, const KnownCover& known,
                                                   std::map<int, Rows>& inside) {
  const auto insideRows = [&](int size) -> int64_t {
    if (size <= shape.rowSize) return 1;
    if (const auto have = inside.find(size); have != inside.end())
      return static_cast<int64_t>(have->second.size());
    const CoverShape part{.places = size, .rowSize = 6, .guarantee = 3, .drawSize = 3};
    if (known) {
      if (std::optional<Rows> rows = known(part)) {
        inside[size] = std::move(*rows);
        return static_cast<int64_t>(inside[size].size());
      }
    }
    return Least(part);
  };
  std::vector<std::pair<int64_t, int>> order;  // (estimated rows, size of the smaller group)
  for (int a = 3; a <= shape.places / 2; ++a) {
    const int b = shape.places - a;
    order.emplace_back(
        MixedRows(a, b, LikelyClasses(a), LikelyClasses(b)) + insideRows(a) + insideRows(b), a);
  }
  std::stable_sort(order.begin(), order.end());
  if (order.size() > kTwoGroupPlans) order.resize(kTwoGroupPlans);
  return order;
}

// Every triple of the pool from two groups of it (see halves.h): each group's own cover (known,
// or searched for), and resolvable systems of triples on both for the rows that take numbers
// from both. The splits with the smallest estimates are built.
void TwoGroupsPhase(const CoverShape& shape, const SearchControl& control, uint64_t seed, int depth,
                    const KnownCover& known, SearchLive* live, FoundCover& found) {
  if (shape.rowSize != 6 || shape.guarantee != 3 || shape.drawSize != 3 ||
      shape.places < kLeastTwoGroupsPool || depth > 0)
    return;
  const auto started = SearchClock::now();
  const double total = Left(control) * kTwoGroupsShare;
  std::map<int, Rows> inside;  // by group size: a cover of its triples, when known
  const auto order = TwoGroupOrder(shape, known, inside);
  std::map<int, std::vector<Rows>> classes;  // by group size
  for (std::size_t plan = 0; plan < order.size() && !control.Ended(); ++plan) {
    const auto [estimate, a] = order[plan];
    if (!found.rows.empty() && estimate >= static_cast<int64_t>(found.rows.size())) break;
    const double seconds =
        std::max(0.0, total - Since(started)) / static_cast<double>(order.size() - plan);
    TwoGroups groups{.sizeA = a, .sizeB = shape.places - a};
    for (const int size : {groups.sizeA, groups.sizeB}) {
      const CoverShape part{.places = size, .rowSize = 6, .guarantee = 3, .drawSize = 3};
      if (size > shape.rowSize && !inside.contains(size)) {
        FoundCover sub = FindCover(part, Slice(control, seconds / 4, Least(part)), 1, seed, nullptr,
                                   nullptr, {}, depth + 1, known);
        found.moves += sub.moves;
        if (!sub.rows.empty()) inside[size] = std::move(sub.rows);
      }
      if (!classes.contains(size)) {
        if (auto system = ClassesOf(size, seed, control, seconds / 8))
          classes[size] = std::move(*system);
      }
    }
    const auto cover = [&](int size) -> std::optional<Rows> {
      if (size <= shape.rowSize) return Rows{FilledUp({}, size)};
      const auto have = inside.find(size);
      return have == inside.end() ? std::nullopt : std::optional<Rows>(have->second);
    };
    const std::optional<Rows> coverA = cover(groups.sizeA);
    const std::optional<Rows> coverB = cover(groups.sizeB);
    if (!coverA || !coverB || !classes.contains(groups.sizeA) || !classes.contains(groups.sizeB))
      continue;
    groups.insideA = *coverA;
    groups.insideB = *coverB;
    groups.classesA = classes[groups.sizeA];
    groups.classesB = classes[groups.sizeB];
    Offer(found, JoinTwoGroups(groups), TwoGroupsText(groups), Since(control.started));
    Publish(live, found);
  }
}

// A Steiner system under one of the groups that fit the pool, where the counts allow one and
// nothing found so far has its rows.
void SteinerPhase(const CoverShape& shape, const SearchControl& control, uint64_t seed,
                  SearchLive* live, FoundCover& found) {
  const std::optional<int64_t> rows = SteinerRows(shape.places, shape.rowSize, shape.guarantee);
  if (!rows || (!found.rows.empty() && static_cast<int64_t>(found.rows.size()) <= *rows)) return;
  std::optional<DesignStart> design =
      SteinerDesign(shape, Slice(control, Left(control) * kSteinerShare, control.enough), seed);
  if (!design) return;
  Offer(found, std::move(design->rows), design->name, Since(control.started));
  Publish(live, found);
}

// The groups worth an orbit search for this pool, the likeliest first.
std::vector<PermutationGroup> OrbitGroups(const CoverShape& shape, const SearchControl& control,
                                          int threads, uint64_t seed, const FoundCover& found) {
  int64_t estimate = static_cast<int64_t>(found.rows.size());
  if (estimate == 0) {
    const auto bound =
        SchoenheimBound(shape.places, shape.rowSize, shape.guarantee, shape.drawSize);
    if (bound) {
      estimate = *bound * 3 / 2;
    } else {
      SearchControl greedy = control;
      greedy.maxMoves = 1;
      estimate = static_cast<int64_t>(Anneal(shape, {}, seed, greedy, nullptr, false).best.size());
    }
  }
  if (estimate > kMostRowsSearchedApart * kRowsPerOrbit || control.Ended()) return {};
  // The groups nearest to about a dozen base rows first: the smallest covers found under a
  // group on the benchmark's cases have 6 to 20.
  std::vector<PermutationGroup> groups = GroupsFor(
      shape.places, static_cast<int>(std::min<int64_t>(estimate / kRowsPerOrbit, 1 << 20)));
  const auto distance = [&](const PermutationGroup& group) {
    return std::abs(std::log(static_cast<double>(estimate) / group.order / kBaseRowsAimed));
  };
  std::stable_sort(groups.begin(), groups.end(),
                   [&](const auto& a, const auto& b) { return distance(a) < distance(b); });
  std::erase_if(groups, [&](const PermutationGroup& group) {
    return group.order * kMostRowsPerOrbit < estimate ||
           !OrbitState::Fits(shape, group, kMaxBuildBytes / threads);
  });
  if (groups.size() > static_cast<std::size_t>(kMaxGroupsTried)) groups.resize(kMaxGroupsTried);
  return groups;
}

// Orbit searches under the groups that fit the pool, side by side on the threads.
void OrbitPhase(const CoverShape& shape, const SearchControl& control, int threads, uint64_t seed,
                SearchLive* live, FoundCover& found) {
  const std::vector<PermutationGroup> groups = OrbitGroups(shape, control, threads, seed, found);
  if (groups.empty()) return;
  // Two rounds: every group for a share of the time, then the groups that gave the smallest
  // covers again, with other seeds, for the rest.
  const double total = Left(control) * kOrbitShare;
  std::vector<std::size_t> tried(groups.size());
  for (std::size_t i = 0; i < tried.size(); ++i)
    tried[i] = i;
  std::vector<std::size_t> size(groups.size(), SIZE_MAX);  // by group: its smallest cover
  for (int round = 0; round < 2 && !tried.empty(); ++round) {
    const int used = std::min(threads, static_cast<int>(tried.size()));
    const std::size_t turns =
        (tried.size() + static_cast<std::size_t>(used) - 1) / static_cast<std::size_t>(used);
    const double slice =
        (round == 0 ? kFirstOrbitRound : 1 - kFirstOrbitRound) * total / static_cast<double>(turns);
    std::vector<SearchOutcome> outcomes(tried.size());
    SideBySide(used, [&](int j) {
      for (std::size_t i = static_cast<std::size_t>(j); i < tried.size();
           i += static_cast<std::size_t>(used)) {
        if (control.Ended()) break;
        outcomes[i] = OrbitSearch(shape, groups[tried[i]], seed + tried[i] + 1000 * round,
                                  Slice(control, slice, control.enough), live);
      }
    });
    for (std::size_t i = 0; i < tried.size(); ++i) {
      if (!outcomes[i].best.empty())
        size[tried[i]] = std::min(size[tried[i]], outcomes[i].best.size());
      Absorb(found, std::move(outcomes[i]), "orbit search under " + groups[tried[i]].name);
    }
    if (Enough(found, control) || control.maxMoves > 0) break;  // a repeatable run has one round
    // The best few again, as many as there are threads (two at least).
    std::vector<std::size_t> best;
    for (std::size_t g = 0; g < groups.size(); ++g) {
      if (size[g] != SIZE_MAX) best.push_back(g);
    }
    std::stable_sort(best.begin(), best.end(),
                     [&](std::size_t a, std::size_t b) { return size[a] < size[b]; });
    best.resize(std::min<std::size_t>(best.size(), static_cast<std::size_t>(std::max(2, threads))));
    tried = best;
  }
}

}  // namespace

FoundCover FindCover(const CoverShape& shape, const SearchControl& control, int threads,
                     uint64_t seed, SearchLive* live, const Rows* start,
                     const std::string& startMethod, int depth, const KnownCover& known) {
  FoundCover found;
  if (start != nullptr && !startMethod.empty()) {
    Offer(found, *start, startMethod, Since(control.started));
    Publish(live, found);
    if (Enough(found, control)) return found;
  }
  if (shape.drawSize == shape.guarantee) {
    for (DesignStart& design : DesignStarts(shape.places, shape.rowSize, shape.guarantee))
      Offer(found, std::move(design.rows), design.name, Since(control.started));
    Publish(live, found);
    SteinerPhase(shape, control, seed, live, found);
    if (Enough(found, control)) return found;
    if (depth < kMaxSplitDepth) ExtensionPhase(shape, control, seed, depth, known, live, found);
    TwoGroupsPhase(shape, control, seed, depth, known, live, found);
  } else if (depth < kMaxSplitDepth) {
    SplitPhase(shape, control, seed, depth, known, live, found);
  }
  const auto enough = [&] { return Enough(found, control); };
  if (enough()) return found;
  // The free searches start from the smallest cover so far or the player's start, when smaller.
  const auto freeStart = [&]() -> std::pair<Rows, std::string> {
    if (start != nullptr && (found.rows.empty() || start->size() < found.rows.size()))
      return {*start, "search"};
    if (found.method.empty()) return {found.rows, "search"};
    // A search from a search's wheel is said once: "search from <what it started from>".
    if (found.method.starts_with("search")) return {found.rows, found.method};
    return {found.rows, "search from " + found.method};
  };
  {
    // A short one first: a small wheel is often found at once, before any orbit search.
    const auto [from, method] = freeStart();
    Absorb(
        found,
        Anneal(shape, from, seed,
               Slice(control, std::min(Left(control) * kQuickShare, kQuickSeconds), control.enough),
               live, true),
        method);
  }
  if (enough()) return found;
  OrbitPhase(shape, control, threads, seed, live, found);
  if (enough()) return found;

  const auto begin = freeStart();
  std::vector<SearchOutcome> outcomes(static_cast<std::size_t>(threads));
  SideBySide(threads, [&](int j) {
    outcomes[static_cast<std::size_t>(j)] =
        Anneal(shape, begin.first, seed + static_cast<uint64_t>(j), control, live, j == 0);
  });
  found.last = outcomes.front().last;
  for (SearchOutcome& outcome : outcomes)
    Absorb(found, std::move(outcome), begin.second);
  return found;
}

}  // namespace quirmel
