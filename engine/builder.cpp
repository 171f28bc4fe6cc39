#include "engine/builder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

#include "engine/check.h"
#include "engine/subsets.h"

namespace quirmel {

namespace {

constexpr int64_t kMaxCountBytes = int64_t{1} << 30;
constexpr uint32_t kCovered = ~uint32_t{0};  // the place of a met subset in the list of unmet ones

using Clock = std::chrono::steady_clock;

// The colex rank of an m-subset of the pool's places 0..P-1 (any order; sorted here).
int64_t Rank(std::array<int, kMaxSubsetSize> s, int m) {
  for (std::size_t i = 1; i < static_cast<std::size_t>(m) && i < s.size(); ++i) {
    const int value = s[i];  // insertion sort: at most 8 numbers
    std::size_t j = i;
    for (; j > 0 && s[j - 1] > value; --j)
      s[j] = s[j - 1];
    s[j] = value;
  }
  int64_t rank = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(m) && i < s.size(); ++i)
    rank += Binomial(s[i], static_cast<int>(i) + 1);
  return rank;
}

std::array<int, kMaxSubsetSize> Unrank(int64_t rank, int m) {
  std::array<int, kMaxSubsetSize> s{};
  for (int i = std::min(m, kMaxSubsetSize) - 1; i >= 0; --i) {
    int x = i;
    while (Binomial(x + 1, i + 1) <= rank)
      ++x;
    s[static_cast<std::size_t>(i)] = x;
    rank -= Binomial(x, i + 1);
  }
  return s;
}

// Calls visit(chosen) with every `count`-element combination of `from`, appended to `chosen`
// from slot `at` on.
template <typename Visit>
void Choose(const std::vector<int>& from, int count, std::array<int, kMaxSubsetSize>& chosen,
            int at, std::size_t first, Visit&& visit) {
  if (count == 0) {
    visit(chosen);
    return;
  }
  if (static_cast<std::size_t>(at) >= chosen.size()) return;
  for (std::size_t i = first; i + static_cast<std::size_t>(count) <= from.size(); ++i) {
    chosen[static_cast<std::size_t>(at)] = from[i];
    Choose(from, count - 1, chosen, at + 1, i + 1, visit);
  }
}

class Search {
 public:
  Search(const BuildRequest& request, int places)
      : p_(places),
        k_(request.rowSize),
        t_(request.guarantee),
        m_(request.drawSize),
        random_(request.seed),
        count_(static_cast<std::size_t>(Binomial(places, request.drawSize)), 0),
        where_(count_.size(), 0) {
    unmet_.resize(count_.size());
    for (std::size_t i = 0; i < count_.size(); ++i) {
      unmet_[i] = static_cast<uint32_t>(i);
      where_[i] = static_cast<uint32_t>(i);
    }
  }

  int64_t cost() const { return static_cast<int64_t>(unmet_.size()); }
  int rows() const { return static_cast<int>(rows_.size()); }
  const std::vector<std::vector<int>>& wheel() const { return rows_; }

  void AddRow(std::vector<int> row) {
    std::sort(row.begin(), row.end());
    ForEachMet(row, [this](int64_t rank) { Raise(rank); });
    rows_.push_back(std::move(row));
  }

  // Adds rows each built on an unmet subset until every subset is met.
  void Greedy() {
    while (!unmet_.empty()) {
      const auto subset = Unrank(unmet_[Pick(unmet_.size())], m_);
      std::vector<int> row(subset.begin(), subset.begin() + std::min({t_, m_, kMaxSubsetSize}));
      while (static_cast<int>(row.size()) < k_) {
        const int place = static_cast<int>(Pick(static_cast<std::size_t>(p_)));
        if (std::find(row.begin(), row.end(), place) == row.end()) row.push_back(place);
      }
      AddRow(row);
    }
  }

  // Drops the row, of a few tried, whose loss leaves the fewest subsets unmet.
  void DropRow() {
    std::size_t best = 0;
    int64_t fewest = INT64_MAX;
    for (int tries = 0; tries < 4; ++tries) {
      const std::size_t row = Pick(rows_.size());
      int64_t lost = 0;
      ForEachMet(rows_[row],
                 [&](int64_t rank) { lost += count_[static_cast<std::size_t>(rank)] == 1; });
      if (lost < fewest) {
        fewest = lost;
        best = row;
      }
    }
    ForEachMet(rows_[best], [this](int64_t rank) { Lower(rank); });
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(best));
  }

  // One annealing step at temperature `heat`; true when the move was made.
  bool Step(double heat) {
    std::size_t row = Pick(rows_.size());
    int out = -1;
    int in = -1;
    std::vector<int>& numbers = rows_[row];
    if (!unmet_.empty() && Pick(2) == 0) {
      // Towards an unmet subset: one of its numbers comes into a row, one that is not goes.
      const auto subset = Unrank(unmet_[Pick(unmet_.size())], m_);
      std::array<int, kMaxSubsetSize> missing{};
      int missingCount = 0;
      const auto drawn = subset.begin() + std::min(m_, kMaxSubsetSize);
      for (auto number = subset.begin(); number != drawn; ++number) {
        if (!std::binary_search(numbers.begin(), numbers.end(), *number))
          missing[static_cast<std::size_t>(missingCount++)] = *number;
      }
      std::array<int, kMaxRowLength> spare{};
      int spareCount = 0;
      for (const int number : numbers) {
        if (std::find(subset.begin(), drawn, number) == drawn)
          spare[static_cast<std::size_t>(spareCount++)] = number;
      }
      if (missingCount == 0 || spareCount == 0) return false;
      in = missing[Pick(static_cast<std::size_t>(missingCount))];
      out = spare[Pick(static_cast<std::size_t>(spareCount))];
    } else {
      out = numbers[Pick(numbers.size())];
      do {
        in = static_cast<int>(Pick(static_cast<std::size_t>(p_)));
      } while (std::binary_search(numbers.begin(), numbers.end(), in));
    }
    // The changed subsets are worked out once, for the change of cost and, if the move is
    // made, for the counts.
    changed_.clear();
    int64_t delta = 0;
    ForEachChanged(numbers, out, in, [&](int64_t rank, bool loses) {
      changed_.emplace_back(rank, loses);
      const uint32_t count = count_[static_cast<std::size_t>(rank)];
      delta += loses ? (count == 1) : -(count == 0);
    });
    if (delta > 0 && std::uniform_real_distribution<double>(0, 1)(random_) >=
                         std::exp(-static_cast<double>(delta) / heat))
      return false;
    for (const auto& [rank, loses] : changed_) {
      if (loses) {
        Lower(rank);
      } else {
        Raise(rank);
      }
    }
    numbers.erase(std::find(numbers.begin(), numbers.end(), out));
    numbers.insert(std::upper_bound(numbers.begin(), numbers.end(), in), in);
    return true;
  }

 private:
  std::size_t Pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }

  void Raise(int64_t rank) {
    const auto at = static_cast<std::size_t>(rank);
    if (count_[at]++ != 0) return;
    const uint32_t place = where_[at];  // no longer unmet: the last unmet one takes its place
    unmet_[place] = unmet_.back();
    where_[unmet_[place]] = place;
    unmet_.pop_back();
    where_[at] = kCovered;
  }

  void Lower(int64_t rank) {
    const auto at = static_cast<std::size_t>(rank);
    if (--count_[at] != 0) return;
    where_[at] = static_cast<uint32_t>(unmet_.size());
    unmet_.push_back(static_cast<uint32_t>(rank));
  }

  // The places outside the row (and other than `also`).
  std::vector<int> Outside(const std::vector<int>& row, int also) const {
    std::vector<int> outside;
    for (int place = 0; place < p_; ++place) {
      if (place != also && !std::binary_search(row.begin(), row.end(), place))
        outside.push_back(place);
    }
    return outside;
  }

  // Every m-subset the row meets in t numbers or more.
  template <typename Visit>
  void ForEachMet(const std::vector<int>& row, Visit&& visit) const {
    const std::vector<int> outside = Outside(row, -1);
    std::array<int, kMaxSubsetSize> chosen{};
    for (int j = t_; j <= std::min(k_, m_); ++j) {
      Choose(row, j, chosen, 0, 0, [&](std::array<int, kMaxSubsetSize>& inner) {
        Choose(outside, m_ - j, inner, j, 0,
               [&](std::array<int, kMaxSubsetSize>& whole) { visit(Rank(whole, m_)); });
      });
    }
  }

  // The m-subsets the row stops meeting (loses) or starts meeting when `out` leaves it for `in`:
  // those holding `out` but not `in` with exactly t numbers of the row, and those holding `in`
  // but not `out` with t - 1 numbers of the row.
  template <typename Visit>
  void ForEachChanged(const std::vector<int>& row, int out, int in, Visit&& visit) const {
    std::vector<int> rest;
    for (const int number : row) {
      if (number != out) rest.push_back(number);
    }
    const std::vector<int> outside = Outside(row, in);
    std::array<int, kMaxSubsetSize> chosen{};
    for (const bool loses : {true, false}) {
      chosen[0] = loses ? out : in;
      Choose(rest, t_ - 1, chosen, 1, 0, [&](std::array<int, kMaxSubsetSize>& inner) {
        Choose(outside, m_ - t_, inner, t_, 0,
               [&](std::array<int, kMaxSubsetSize>& whole) { visit(Rank(whole, m_), loses); });
      });
    }
  }

  const int p_;
  const int k_;
  const int t_;
  const int m_;
  std::mt19937_64 random_;
  std::vector<std::vector<int>> rows_;  // places, ascending
  std::vector<uint32_t> count_;         // by colex rank: rows meeting the subset in t or more
  std::vector<uint32_t> where_;         // by rank: its place in unmet_, or kCovered
  std::vector<uint32_t> unmet_;         // ranks of the subsets no row meets
  std::vector<std::pair<int64_t, bool>> changed_;  // of the move being weighed: rank, loses
};

// No covering design (m = t) has fewer rows than the Schoenheim bound
// ceil(P/k ceil((P-1)/(k-1) ... ceil((P-t+1)/(k-t+1)))); a cover that small is the smallest.
// Lotto designs (m > t) get the trivial bound 1.
int64_t LowerBound(int places, int k, int t, int m) {
  if (m != t) return 1;
  int64_t bound = 1;
  for (int i = t - 1; i >= 0; --i)
    bound = ((places - i) * bound + (k - i) - 1) / (k - i);
  return bound;
}

// The numbers the wheel is built over, ascending.
std::vector<int> PoolNumbers(const BuildRequest& request) {
  std::vector<int> numbers = request.numbers;
  if (numbers.empty()) {
    if (request.poolSize < 1 || request.poolSize > kMaxWheelNumber)
      throw std::invalid_argument("the pool holds 1 to 99 numbers");
    for (int v = 1; v <= request.poolSize; ++v)
      numbers.push_back(v);
  }
  std::sort(numbers.begin(), numbers.end());
  if (numbers.front() < 1 || numbers.back() > kMaxWheelNumber)
    throw std::invalid_argument("the numbers run from 1 to 99");
  if (std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end())
    throw std::invalid_argument("a number is given twice");
  return numbers;
}

void Validate(const BuildRequest& request, int places) {
  const auto refuse = [](const std::string& message) { throw std::invalid_argument(message); };
  if (request.rowSize < 2 || request.rowSize > kMaxRowLength) refuse("a row holds 2 to 20 numbers");
  if (request.drawSize < kMinDrawSize || request.drawSize > kMaxDrawSize)
    refuse("a draw holds 2 to 8 numbers");
  if (request.guarantee < 1) refuse("the guarantee is at least 1");
  if (request.guarantee > request.rowSize) refuse("the guarantee cannot pass the row size (t > k)");
  if (request.guarantee > request.drawSize)
    refuse("the guarantee cannot pass the draw size (t > m)");
  if (places < request.rowSize) refuse("the pool is smaller than a row");
  if (places < request.drawSize) refuse("the pool is smaller than a draw");
  const int64_t bytes = Binomial(places, request.drawSize) * 12;
  if (bytes > kMaxCountBytes) {
    refuse("the pool has " + std::to_string(Binomial(places, request.drawSize)) +
           " subsets to count, " + std::to_string(bytes >> 20) + " MiB, more than 1 GiB");
  }
}

AnyWheel ToWheel(const std::vector<std::vector<int>>& rows, const std::vector<int>& numbers) {
  AnyWheel wheel;
  std::vector<uint8_t> row;
  for (const auto& places : rows) {
    row.clear();
    for (const int place : places)
      row.push_back(static_cast<uint8_t>(numbers[static_cast<std::size_t>(place)]));
    wheel.AddRow(row);
  }
  return wheel;
}

// The general check over the places 1..P: no subset may be left unmet.
bool Verified(const std::vector<std::vector<int>>& rows, const BuildRequest& request, int places) {
  std::vector<int> identity(static_cast<std::size_t>(places));
  for (int i = 0; i < places; ++i)
    identity[static_cast<std::size_t>(i)] = i + 1;
  const AnyWheel wheel = ToWheel(rows, identity);
  const CheckResult check = CheckWheel({.wheel = &wheel,
                                        .poolSize = places,
                                        .drawSize = request.drawSize,
                                        .guarantee = request.guarantee});
  return check.holes == 0 && check.examined == check.subsets;
}

}  // namespace

BuildResult BuildWheel(const BuildRequest& request) {
  const std::vector<int> numbers = PoolNumbers(request);
  const int places = static_cast<int>(numbers.size());
  Validate(request, places);
  const auto started = Clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration<double>(Clock::now() - started).count();
  };

  Search search(request, places);
  if (request.start) {
    for (std::size_t r = 0; r < request.start->rowCount(); ++r) {
      std::vector<int> row;
      for (const uint8_t number : request.start->row(r)) {
        const auto at = std::lower_bound(numbers.begin(), numbers.end(), number);
        if (at == numbers.end() || *at != number)
          throw std::invalid_argument("the starting wheel holds a number outside the pool");
        row.push_back(static_cast<int>(at - numbers.begin()));
      }
      if (static_cast<int>(row.size()) != request.rowSize)
        throw std::invalid_argument("the starting wheel's rows must hold k numbers");
      search.AddRow(row);
    }
  }
  search.Greedy();

  BuildResult result;
  std::vector<std::vector<int>> best = search.wheel();
  const int64_t bound = LowerBound(places, request.rowSize, request.guarantee, request.drawSize);
  const auto smallest = [&] { return static_cast<int64_t>(best.size()) <= bound; };
  const auto reached = [&] {
    return request.targetRows && static_cast<int>(best.size()) <= *request.targetRows;
  };
  double heat = 0.6;
  int64_t sinceBest = 0;
  int64_t lowest = search.cost();
  double nextReport = 0;
  while (!reached() && !smallest() && search.rows() > 1) {
    if (search.cost() == 0) {
      best = search.wheel();
      if (reached() || smallest()) break;
      search.DropRow();
      lowest = search.cost();
      sinceBest = 0;
      continue;
    }
    search.Step(heat);
    ++result.moves;
    heat = std::max(heat * 0.9995, 0.02);
    if (search.cost() < lowest) {
      lowest = search.cost();
      sinceBest = 0;
    } else if (++sinceBest > 20000) {  // stuck: heat up again
      heat = 0.6;
      sinceBest = 0;
    }
    if (request.maxMoves > 0 && result.moves >= request.maxMoves) break;
    if ((result.moves & 15) != 0) continue;  // a slow move (a large pool) can take milliseconds
    const double now = elapsed();
    if (now >= request.seconds) break;
    if (request.progress && now >= nextReport) {
      nextReport = now + 0.1;
      if (request.progress({.rows = search.rows(),
                            .cost = search.cost(),
                            .bestRows = static_cast<int>(best.size()),
                            .moves = result.moves,
                            .seconds = now})) {
        result.stopped = true;
        break;
      }
    }
  }
  result.covered = Verified(best, request, places);
  result.wheel = ToWheel(best, numbers);
  result.reachedTarget = result.covered && reached();
  result.smallest = result.covered && smallest();
  result.seconds = elapsed();
  return result;
}

}  // namespace quirmel
