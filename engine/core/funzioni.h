#pragma once

// Every formatter of numbers, shares and amounts, once: the report, the command line's texts and
// the messages built from the limits take them from here.

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

// "1,000,000": a count as the command line and the messages write it.
std::string GroupedText(int64_t count);

// Four decimals rounded half away from zero from the exact binary value, a percent sign, and
// blanks in front up to nine characters ("##0.0000%"): 5.357142857 -> "  5.3571%".
std::string FormatPercent(double value, const NumberFormat& format);

// part / whole as a percentage shown to four decimals: never 100% while some of the whole is
// missing, nor 0% while some is there (one hole in 1,120,529,256 subsets still shows).
double ShownShare(int64_t part, int64_t whole);

// That share as the command line writes it in a sentence, without the blanks: "99.9999%".
std::string ShareText(int64_t part, int64_t whole);

// "402,284.50": an amount of money as the command line writes it, two decimals, digits grouped.
std::string AmountText(double amount);

// "163 tickets x 2.50 = 407.50": what a wheel's tickets cost at a price.
std::string StakeText(int64_t tickets, double price);

// Number of characters (not bytes) of a UTF-8 text.
std::size_t Utf8Length(const std::string& text);

}  // namespace quirmel
