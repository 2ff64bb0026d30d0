// Exact decimal rounding of binary doubles, shared by the fields and the
// free-form line. Internal to textio.
#pragma once

#include <bit>
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
int scaled_floor(binary_value b, int scale, char* digits, int max_digits, bool* at_least_half);

// Adds one unit in the last place to digits[0..len): returns true when the
// carry runs out of the top (the digits are then all '0').
bool increment_digits(char* digits, int len);

// significant_digits without the common-case shortcut below; the two must
// agree for every value the shortcut takes.
int significant_digits_exact(double v, int count, char* digits);

// q as exactly `count` decimal digits, leading zeros kept.
void write_decimal(std::uint64_t q, int count, char* out);

// floor(log10(2^e2)), exact for |e2| <= 1100.
constexpr int floor_log10_pow2(int e2) { return (e2 * 78913) >> 18; }

inline constexpr std::uint64_t pow10_u64[20] = {
    1ull,
    10ull,
    100ull,
    1000ull,
    10000ull,
    100000ull,
    1000000ull,
    10000000ull,
    100000000ull,
    1000000000ull,
    10000000000ull,
    100000000000ull,
    1000000000000ull,
    10000000000000ull,
    100000000000000ull,
    1000000000000000ull,
    10000000000000000ull,
    100000000000000000ull,
    1000000000000000000ull,
    10000000000000000000ull,
};

// 5^0 .. 5^27, the powers below 2^63.
struct pow5_u64_table {
  std::uint64_t v[28];
  constexpr pow5_u64_table() : v() {
    v[0] = 1;
    for (int i = 1; i < 28; ++i) v[i] = v[i - 1] * 5;
  }
};
inline constexpr pow5_u64_table pow5_u64;

// The smallest double at or above 10^k for k = -30..19, so that for a double
// a >= 0, a >= 10^k exactly iff a >= least_pow10.v[k + 30]. The literals are
// the nearest doubles; the ones that fell below the power move up one step.
struct least_pow10_table {
  static constexpr int first = -30;
  static constexpr int count = 50;
  double v[count];
  constexpr least_pow10_table() : v() {
    constexpr double nearest[count] = {
        1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18,
        1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,
        1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,
        1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,
    };
    for (int i = 0; i < count; ++i) {
      const double c = nearest[i];
      v[i] = below_pow10(c, i + first) ? std::bit_cast<double>(std::bit_cast<std::uint64_t>(c) + 1)
                                       : c;
    }
  }
  // 10^0 .. 10^19 are exact. For k < 0, c = m * 2^q lies below 10^k iff
  // m * 5^-k < 2^(k-q); the product stays below 2^123 for k >= -30.
  static constexpr bool below_pow10(double c, int k) {
    if (k >= 0) return false;
    using u128 = unsigned __int128;
    const auto bits = std::bit_cast<std::uint64_t>(c);
    const u128 m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int q = static_cast<int>(bits >> 52) - 1075;
    u128 p = 1;
    for (int i = 0; i < -k; ++i) p *= 5;
    return m * p < (u128{1} << (k - q));
  }
};
inline constexpr least_pow10_table least_pow10;
static_assert(least_pow10.v[-6 - least_pow10_table::first] > 1e-6);   // 1e-6 lies below 10^-6
static_assert(least_pow10.v[-1 - least_pow10_table::first] == 1e-1);  // 1e-1 lies above

// The common case of significant_digits: normal |v| from about 1e-30 to 2^64
// and count 1..17, in 64/128-bit integers. `digits` is |v| rounded half away
// from zero to `count` significant digits, 10^(count-1) <= digits < 10^count,
// and exponent10 the exponent of its leading digit:
// |v| ~= digits * 10^(exponent10 - count + 1). ok is false (the rest unset)
// for values it leaves to the exact path.
struct rounded_decimal {
  std::uint64_t digits;
  int exponent10;
  bool ok;
};

inline rounded_decimal round_significant_fast(double v, int count) {
  using u128 = unsigned __int128;
  const auto bits = std::bit_cast<std::uint64_t>(v) & ~(std::uint64_t{1} << 63);
  const int e2 = static_cast<int>(bits >> 52) - 1023;  // floor(log2 |v|) for normal v
  // Zero, subnormals, INF and NaN fall outside this range as well.
  if (e2 < -100 || e2 > 63 || count < 1 || count > 17) return {0, 0, false};
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);

  int e10 = floor_log10_pow2(e2);  // floor(log10 |v|) is this or one more
  e10 += std::bit_cast<double>(bits) >= least_pow10.v[e10 + 1 - least_pow10_table::first] ? 1 : 0;

  // q = floor(|v| * 10^s) has `count` digits; its fraction decides the rounding.
  const int s = count - 1 - e10;
  std::uint64_t q;
  if (s >= 0) {
    // |v| * 10^s = m * 5^s * 2^-sh exactly. Shifted by sh - 1, the lowest
    // bit is the first bit of the fraction: set when it is at least one half.
    const int sh = 52 - e2 - s;
    if (s > 27 || sh < 1 || sh > 127) return {0, 0, false};  // 5^27 < 2^63
    const auto t = static_cast<std::uint64_t>((static_cast<u128>(m) * pow5_u64.v[s]) >> (sh - 1));
    q = (t >> 1) + (t & 1);
  } else {
    // |v| = n + f, integer n < 2^64, 0 <= f < 1. With p = 10^t (t >= 1), the
    // remainder n - q*p plus f reaches p/2, an integer, only when n - q*p does.
    const std::uint64_t n = e2 >= 52 ? m << (e2 - 52) : m >> (52 - e2);
    const std::uint64_t p = pow10_u64[-s];
    q = n / p;
    q += n - q * p >= p / 2 ? 1 : 0;
  }
  if (q == pow10_u64[count]) {  // rounded up into the next decade
    q = pow10_u64[count - 1];
    ++e10;
  }
  return {q, e10, true};
}

}  // namespace textio::detail
