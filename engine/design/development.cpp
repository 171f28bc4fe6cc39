#include "engine/design/development.h"

#include <algorithm>
#include <vector>

#include "engine/core/text_lines.h"

namespace quirmel {

namespace {

void DevelopRows(Wheel& wheel, int16_t poolSize) {
  for (int16_t r = 2; r <= wheel.rows(); ++r) {
    for (int16_t p = 1; p <= wheel.positions(); ++p) {
      int value = wheel.at(static_cast<int16_t>(r - 1), p) + 1;
      if (value > poolSize) value -= poolSize;
      wheel.at(r, p) = static_cast<int16_t>(value);
    }
  }
}

// Insertion sort with diminishing gaps (K / 2, halved down to 1); equal numbers never swap.
void SortRows(Wheel& wheel) {
  const int k = wheel.positions();
  for (int16_t r = 1; r <= wheel.rows(); ++r) {
    for (int gap = k / 2; gap >= 1; gap /= 2) {
      for (int i = gap + 1; i <= k; ++i) {
        for (int j = i - gap; j >= 1; j -= gap) {
          int16_t& left = wheel.at(r, static_cast<int16_t>(j));
          int16_t& right = wheel.at(r, static_cast<int16_t>(j + gap));
          if (left <= right) break;
          std::swap(left, right);
        }
      }
    }
  }
}

}  // namespace

Wheel DevelopKey(std::span<const int16_t> key, int16_t poolSize, int16_t rowCount) {
  Wheel wheel(rowCount, static_cast<int16_t>(key.size()));
  for (int16_t p = 1; p <= wheel.positions(); ++p)
    wheel.at(1, p) = key[static_cast<std::size_t>(p - 1)];
  DevelopRows(wheel, poolSize);
  SortRows(wheel);
  return wheel;
}

std::string DevelopedListing(const Wheel& wheel, const char* lineEnd) {
  std::string listing;
  listing.reserve(static_cast<std::size_t>(wheel.rows()) * (3 * wheel.positions() + 2));
  std::vector<int16_t> shown;
  for (int16_t r = 1; r <= wheel.rows(); ++r) {
    shown.clear();
    for (int16_t p = 1; p <= wheel.positions(); ++p) {
      if (wheel.at(r, p) <= kMaxKeyNumber) shown.push_back(wheel.at(r, p));
    }
    listing += TwoDigits(shown);
    listing += lineEnd;
  }
  return listing;
}

}  // namespace quirmel
