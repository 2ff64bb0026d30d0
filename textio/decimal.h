// Exact decimal rounding of binary doubles, shared by the fields and the
// free-form line. Internal to textio.
#pragma once

#include <cstdint>

namespace textio::detail {

// |v| = mantissa * 2^exponent2 exactly, mantissa > 0 (v finite, non-zero).
struct binary_value {
  std::uint64_t mantissa;
  int exponent2;
};
binary_value decompose(double v);

// The decimal digits of floor(|v| * 10^scale) into digits[0..), without
// leading zeros (no digit at all when the floor is zero), and whether the
// dropped fraction is at least one half. Returns the number of digits, or -1
// when it would exceed max_digits. Exact for every finite v.
int scaled_floor(binary_value b, int scale, char* digits, int max_digits,
                 bool* at_least_half);

// Adds one unit in the last place to digits[0..len): returns true when the
// carry runs out of the top (the digits are then all '0').
bool increment_digits(char* digits, int len);

}  // namespace textio::detail
