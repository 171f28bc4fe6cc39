#include "engine/design/funzioni.h"

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

std::string FormatPercent(double value, const NumberFormat& format) {
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
  text += '%';
  const std::size_t length = Utf8Length(text);
  if (length < kPercentWidth) text.insert(0, kPercentWidth - length, ' ');
  return text;
}

}  // namespace quirmel
