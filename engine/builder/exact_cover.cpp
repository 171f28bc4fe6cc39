#include "engine/builder/exact_cover.h"

#include <algorithm>

namespace quirmel {

namespace {

constexpr int64_t kStopCheckEvery = 64;  // a step may cover thousands of entries

// The links: node 0 is the root, nodes 1..columns the column heads, then one node per entry.
class Links {
 public:
  explicit Links(const ExactCoverRequest& request) : request_(request) {
    const int heads = request.columns + 1;
    std::size_t entries = 0;
    for (const auto& row : request.rows)
      entries += row.size();
    const std::size_t nodes = static_cast<std::size_t>(heads) + entries;
    left_.resize(nodes);
    right_.resize(nodes);
    up_.resize(nodes);
    down_.resize(nodes);
    column_.resize(nodes);
    rowOf_.resize(nodes, -1);
    size_.assign(static_cast<std::size_t>(heads), 0);
    for (int c = 0; c < heads; ++c) {
      left_[At(c)] = (c + heads - 1) % heads;
      right_[At(c)] = (c + 1) % heads;
      up_[At(c)] = down_[At(c)] = column_[At(c)] = c;
    }
    int node = heads;
    for (std::size_t r = 0; r < request.rows.size(); ++r) {
      const int first = node;
      for (const int c : request.rows[r]) {
        const int head = c + 1;
        column_[At(node)] = head;
        rowOf_[At(node)] = static_cast<int>(r);
        up_[At(node)] = up_[At(head)];
        down_[At(node)] = head;
        down_[At(up_[At(head)])] = node;
        up_[At(head)] = node;
        ++size_[At(head)];
        left_[At(node)] = node == first ? node : node - 1;
        right_[At(node)] = first;
        right_[At(left_[At(node)])] = node;
        left_[At(first)] = node;
        ++node;
      }
    }
  }

  // Whether a cover was found; `chosen` then holds its rows.
  bool Search() {
    if (right_[0] == 0) return true;
    int best = right_[0];
    for (int c = right_[0]; c != 0; c = right_[At(c)]) {
      if (size_[At(c)] < size_[At(best)]) best = c;
    }
    if (size_[At(best)] == 0) return false;
    Cover(best);
    for (int node = down_[At(best)]; node != best; node = down_[At(node)]) {
      if (Ended()) break;
      chosen.push_back(rowOf_[At(node)]);
      for (int j = right_[At(node)]; j != node; j = right_[At(j)])
        Cover(column_[At(j)]);
      if (Search()) return true;
      for (int j = left_[At(node)]; j != node; j = left_[At(j)])
        Uncover(column_[At(j)]);
      chosen.pop_back();
    }
    Uncover(best);
    return false;
  }

  bool ended() const { return ended_; }

  std::vector<int> chosen;

 private:
  static std::size_t At(int node) { return static_cast<std::size_t>(node); }

  bool Ended() {
    ++steps_;
    if (ended_) return true;
    if (request_.maxSteps > 0 && steps_ > request_.maxSteps) ended_ = true;
    if (steps_ % kStopCheckEvery == 0 && request_.stopped && request_.stopped()) ended_ = true;
    return ended_;
  }

  void Cover(int c) {
    right_[At(left_[At(c)])] = right_[At(c)];
    left_[At(right_[At(c)])] = left_[At(c)];
    for (int i = down_[At(c)]; i != c; i = down_[At(i)]) {
      for (int j = right_[At(i)]; j != i; j = right_[At(j)]) {
        down_[At(up_[At(j)])] = down_[At(j)];
        up_[At(down_[At(j)])] = up_[At(j)];
        --size_[At(column_[At(j)])];
      }
    }
  }

  void Uncover(int c) {
    for (int i = up_[At(c)]; i != c; i = up_[At(i)]) {
      for (int j = left_[At(i)]; j != i; j = left_[At(j)]) {
        ++size_[At(column_[At(j)])];
        down_[At(up_[At(j)])] = j;
        up_[At(down_[At(j)])] = j;
      }
    }
    right_[At(left_[At(c)])] = c;
    left_[At(right_[At(c)])] = c;
  }

  const ExactCoverRequest& request_;
  std::vector<int> left_, right_, up_, down_, column_, rowOf_, size_;
  int64_t steps_ = 0;
  bool ended_ = false;
};

}  // namespace

std::optional<std::vector<int>> ExactCover(const ExactCoverRequest& request) {
  if (request.columns < 0) return std::nullopt;
  for (const auto& row : request.rows) {
    for (const int c : row) {
      if (c < 0 || c >= request.columns) return std::nullopt;
    }
  }
  Links links(request);
  if (!links.Search() || links.ended()) return std::nullopt;
  std::sort(links.chosen.begin(), links.chosen.end());
  return links.chosen;
}

}  // namespace quirmel
