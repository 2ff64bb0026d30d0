// Reference digits for the field checks: the exact decimal expansion of a
// double and rounding half away from zero applied to it. glibc's printf writes
// every digit of a binary double exactly, so nothing is rounded before we
// round, and the reference does not share any code with textio.
#pragma once

#include <string>

namespace fuzzcheck {

// A non-negative decimal 0.d1d2d3... x 10^exp. Empty digits mean zero.
struct decimal {
  std::string digits;  // significant digits, the first non-zero
  int exp = 0;
};

// The exact value of |v| (v finite).
decimal exact_decimal(double v);

// Rounded half away from zero to `count` (>= 1) significant digits; always
// exactly `count` digits (a carry out of the first digit raises exp).
decimal round_significant(const decimal& d, int count);

// Rounded half away from zero to `places` digits after the decimal point
// (places may be negative); zero comes back with empty digits.
decimal round_places(const decimal& d, int places);

// The digits before the point ("0" when there are none) and the `places`
// digits after it.
std::string fixed_text(const decimal& d, int places);

// Exponent as its sign and at least `width` digits: "+05", "-123".
std::string exponent_text(int e, int width);

}  // namespace fuzzcheck
