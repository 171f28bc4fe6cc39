#include "engine/core/funzioni.h"

#include <cmath>
#include <cstdio>

namespace quirmel {

namespace {

constexpr std::size_t kPercentWidth = 9;

std::string GroupDigits(const std::string& digits, const std::string& separator) {
  std::string grouped;
  grouped.reserve(digits.size() + (digits.size() / 3) * separator.size());
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
    grouped += digits[i];
  }
  return grouped;
}

// Rounds magnitude * 10^4 to the nearest integer, halves away from zero, exactly: the product's
// rounding error is recovered with a fused multiply-add, so a value whose binary expansion lies
// just below a half is not pushed up by the multiplication, nor one at a half rounded to even.
bool ScaledRound(double magnitude, long long& rounded) {
  const double product = magnitude * 10000.0;
  if (!(product < 9.0e15)) return false;  // also rejects NaN
  const double error = std::fma(magnitude, 10000.0, -product);
  const double whole = std::floor(product);
  const double fraction = product - whole;  // exact: both lie within one binade of 2^53
  const bool up = fraction > 0.5 || (fraction == 0.5 && error >= 0.0);
  rounded = static_cast<long long>(whole) + (up ? 1 : 0);
  return true;
}

std::string PercentDigits(double value, const NumberFormat& format) {
  std::string text;
  long long rounded = 0;
  if (ScaledRound(std::fabs(value), rounded)) {
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%04lld", rounded % 10000);
    if (std::signbit(value) && rounded != 0) text += '-';
    text += std::to_string(rounded / 10000) + format.decimalSeparator + fraction;
  } else {
    // Far outside any share (or not a number): shown as printf has it, never cut.
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    text = buffer;
  }
  return text + '%';
}

}  // namespace

std::size_t Utf8Length(const std::string& text) {
  std::size_t length = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++length;
  }
  return length;
}

std::string FormatCount(int32_t value, const NumberFormat& format) {
  return FormatLargeCount(value, format);
}

std::string FormatLargeCount(int64_t value, const NumberFormat& format) {
  std::string text = value < 0 ? "-" : "";
  const uint64_t magnitude =
      value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  text += GroupDigits(std::to_string(magnitude), format.groupSeparator);
  return text;
}

std::string GroupedText(int64_t count) {
  return FormatLargeCount(count, NumberFormat{});
}

std::string FormatPercent(double value, const NumberFormat& format) {
  std::string text = PercentDigits(value, format);
  const std::size_t length = Utf8Length(text);
  if (length < kPercentWidth) text.insert(0, kPercentWidth - length, ' ');
  return text;
}

double ShownShare(int64_t part, int64_t whole) {
  constexpr double kLast = 0.0001;  // the last decimal shown
  double share = whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0;
  if (part < whole) share = share < 100.0 - kLast ? share : 100.0 - kLast;
  if (part > 0) share = share > kLast ? share : kLast;
  return share;
}

std::string ShareText(int64_t part, int64_t whole) {
  return PercentDigits(ShownShare(part, whole), NumberFormat{});
}

std::string AmountText(double amount) {
  const auto cents = static_cast<int64_t>(amount * 100 + (amount < 0 ? -0.5 : 0.5));
  const int64_t whole = cents / 100;
  const int64_t part = cents < 0 ? -(cents % 100) : cents % 100;
  std::string text = cents < 0 && whole == 0 ? "-0" : GroupedText(whole);
  text += part < 10 ? ".0" : ".";
  text += std::to_string(part);
  return text;
}

std::string StakeText(int64_t tickets, double price) {
  return GroupedText(tickets) + (tickets == 1 ? " ticket x " : " tickets x ") + AmountText(price) +
         " = " + AmountText(price * static_cast<double>(tickets));
}

}  // namespace quirmel
