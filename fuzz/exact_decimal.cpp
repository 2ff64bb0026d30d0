#include "fuzz/exact_decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzzcheck {

// Significant digits of the exact expansion of v = M * 2^q (M odd): with
// q < 0 it ends -q places after the point. A few more are asked for, so that
// an error in the logarithm cannot make printf round.
int exact_digit_count(double v) {
  int e2 = 0;
  double f = std::frexp(v, &e2);  // v = f * 2^e2, f in [0.5, 1)
  auto m = static_cast<unsigned long long>(std::ldexp(f, 53));
  int q = e2 - 53;
  while ((m & 1) == 0) {
    m >>= 1;
    ++q;
  }
  int leading = static_cast<int>(std::floor(std::log10(v)));  // 10^leading <= v
  int count = q < 0 ? leading + 1 - q : leading + 1;
  return std::min(count + 3, 800);
}

decimal exact_decimal(double v) {
  decimal d;
  v = std::fabs(v);
  if (v == 0.0) return d;
  // A small cache: each value is checked in several layouts.
  static std::uint64_t cached_bits[64];
  static decimal cached[64];
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  std::size_t slot = (bits ^ (bits >> 29)) % 64;
  if (cached_bits[slot] == bits) return cached[slot];

  char buf[900];
  int n = std::snprintf(buf, sizeof buf, "%.*e", exact_digit_count(v), v);
  if (n <= 0 || n >= static_cast<int>(sizeof buf)) std::abort();
  char* e = buf;
  while (*e != 'e') ++e;
  d.digits.push_back(buf[0]);
  d.digits.append(buf + 2, e);
  d.exp = std::atoi(e + 1) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  cached_bits[slot] = bits;
  cached[slot] = d;
  return d;
}

decimal round_significant(const decimal& d, int count) {
  decimal r;
  r.exp = d.exp;
  r.digits = d.digits.substr(0, count);
  r.digits.resize(count, '0');
  if (static_cast<int>(d.digits.size()) > count && d.digits[count] >= '5') {
    int i = count - 1;
    while (i >= 0 && r.digits[i] == '9') r.digits[i--] = '0';
    if (i >= 0) {
      ++r.digits[i];
    } else {
      r.digits.insert(r.digits.begin(), '1');
      r.digits.pop_back();
      ++r.exp;
    }
  }
  return r;
}

decimal round_places(const decimal& d, int places) {
  if (d.digits.empty()) return d;
  int keep = d.exp + places;
  if (keep > 0) return round_significant(d, keep);
  decimal r;
  // Every kept position is zero; only a first digit of 5 or more, right
  // after the last kept position, rounds up to one unit.
  if (keep == 0 && d.digits[0] >= '5') {
    r.digits = "1";
    r.exp = d.exp + 1;
  }
  return r;
}

std::string fixed_text(const decimal& d, int places) {
  auto digit = [&](int i) {  // i-th digit, 0-based from the first significant
    return (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[i] : '0';
  };
  std::string s;
  if (d.digits.empty() || d.exp <= 0) {
    s = "0";
  } else {
    for (int i = 0; i < d.exp; ++i) s.push_back(digit(i));
  }
  s.push_back('.');
  for (int j = 0; j < places; ++j) s.push_back(d.digits.empty() ? '0' : digit(d.exp + j));
  return s;
}

std::string exponent_text(int e, int width) {
  std::string digits = std::to_string(e < 0 ? -e : e);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return (e < 0 ? "-" : "+") + digits;
}

}  // namespace fuzzcheck
