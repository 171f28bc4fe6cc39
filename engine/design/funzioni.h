#pragma once

// Number formatters of the coverage report.

#include <cstdint>
#include <string>

namespace quirmel {

struct NumberFormat {  // the user's regional separators, UTF-8
  std::string groupSeparator = ",";
  std::string decimalSeparator = ".";
};

// Decimal digits grouped by three from the right ("#,###,##0"): 13983816 -> "13,983,816".
std::string FormatCount(int32_t value, const NumberFormat& format);

// The same for the counts of the general check, which pass 2^31.
std::string FormatLargeCount(int64_t value, const NumberFormat& format);

// Four decimals rounded half away from zero from the exact binary value, a percent sign, and
// blanks in front up to nine characters ("##0.0000%"): 5.357142857 -> "  5.3571%".
std::string FormatPercent(double value, const NumberFormat& format);

// Number of characters (not bytes) of a UTF-8 text.
std::size_t Utf8Length(const std::string& text);

}  // namespace quirmel
