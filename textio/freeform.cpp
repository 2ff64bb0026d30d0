// Free-form report line.
//
// Reading of the layout, as built here:
// - double: zero (either sign) is 0.000000000000000. Otherwise, when
//   0.1 <= |v| < 1e15 (tested on the value itself), fixed form with 15
//   significant digits, the count of decimals taken from the rounded value
//   so there are always 15 digits (1.5 -> 1.50000000000000, 0.25 ->
//   0.250000000000000, 123.0 -> 123.000000000000, 1e14 -> 100000000000000.);
//   a value that rounds up to 1e15 keeps no decimals (1000000000000000.).
//   Else one digit, the point, 15 digits (16 significant), E, sign and three
//   exponent digits: 0.001 -> 1.000000000000000E-003.
// - single: likewise with 6 significant digits in fixed form when
//   0.1 <= |v| < 1e6 (0.1f -> 0.100000, 1.5f -> 1.50000) and one digit, the
//   point, 6 digits, E, sign and two exponent digits otherwise
//   (1e-3f -> 1.000000E-03). Zero is 0.000000.
// - INF and NaN are written as INF and NaN, like the fixed fields.
// Digits are exact and rounded half away from zero.
#include "textio/freeform.h"

#include <cmath>
#include <cstring>

#include "textio/fields.h"

namespace textio {
namespace {

// Fixed form of |v| with `sig` significant digits; returns characters written.
int fixed_form(double v, int sig, char* out) {
  char d[40];
  const int e = significant_digits(v, sig, d);  // |v| ~ 0.d x 10^e
  char* p = out;
  if (e <= 0) {  // only e == 0 here, as |v| >= 0.1
    *p++ = '0';
    *p++ = '.';
    for (int k = 0; k < -e; ++k) *p++ = '0';
    std::memcpy(p, d, static_cast<std::size_t>(sig));
    p += sig;
    return static_cast<int>(p - out);
  }
  const int whole = e < sig ? e : sig;
  std::memcpy(p, d, static_cast<std::size_t>(whole));
  p += whole;
  for (int k = sig; k < e; ++k) *p++ = '0';
  *p++ = '.';
  if (e < sig) {
    std::memcpy(p, d + e, static_cast<std::size_t>(sig - e));
    p += sig - e;
  }
  return static_cast<int>(p - out);
}

// One digit, the point, sig-1 digits, E, sign and exp_digits exponent digits.
int exponent_form(double v, int sig, int exp_digits, char* out) {
  char d[40];
  const int x = significant_digits(v, sig, d) - 1;
  char* p = out;
  *p++ = d[0];
  *p++ = '.';
  std::memcpy(p, d + 1, static_cast<std::size_t>(sig - 1));
  p += sig - 1;
  *p++ = 'E';
  *p++ = x < 0 ? '-' : '+';
  int a = x < 0 ? -x : x;
  for (int k = exp_digits - 1; k >= 0; --k) {
    p[k] = static_cast<char>('0' + a % 10);
    a /= 10;
  }
  return static_cast<int>(p - out) + exp_digits;
}

int special_form(double v, char* out) {
  std::memcpy(out, std::isnan(v) ? "NaN" : "INF", 3);
  return 3;
}

}  // namespace

freeform::freeform() {
  buf_[0] = ' ';
  len_ = 1;
}

freeform& freeform::text(std::string_view s) {
  if (last_was_number_ && len_ < capacity) buf_[len_++] = ' ';
  const std::size_t n = s.size() < capacity - len_ ? s.size() : capacity - len_;
  std::memcpy(buf_ + len_, s.data(), n);
  len_ += n;
  last_was_number_ = false;
  return *this;
}

void freeform::number_start(bool negative) {
  const char lead[2] = {' ', negative ? '-' : ' '};
  for (char c : lead) {
    if (len_ < capacity) buf_[len_++] = c;
  }
  last_was_number_ = true;
}

freeform& freeform::integer(long long v) {
  char digits[24];
  int n = 0;
  unsigned long long a =
      v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  do {
    digits[n++] = static_cast<char>('0' + a % 10);
    a /= 10;
  } while (a != 0);
  number_start(v < 0);
  while (n > 0 && len_ < capacity) buf_[len_++] = digits[--n];
  return *this;
}

freeform& freeform::real(double v) {
  char s[48];
  int n;
  if (!std::isfinite(v)) {
    n = special_form(v, s);
  } else if (v == 0) {
    n = 17;
    std::memcpy(s, "0.000000000000000", 17);
  } else if (std::fabs(v) >= 0.1 && std::fabs(v) < 1e15) {
    n = fixed_form(v, 15, s);
  } else {
    n = exponent_form(v, 16, 3, s);
  }
  number_start(std::signbit(v) && !(v == 0));
  const std::size_t k = static_cast<std::size_t>(n) < capacity - len_ ? n : capacity - len_;
  std::memcpy(buf_ + len_, s, k);
  len_ += k;
  return *this;
}

freeform& freeform::single(float f) {
  const double v = f;  // exact
  char s[32];
  int n;
  if (!std::isfinite(v)) {
    n = special_form(v, s);
  } else if (v == 0) {
    n = 8;
    std::memcpy(s, "0.000000", 8);
  } else if (std::fabs(v) >= 0.1 && std::fabs(v) < 1e6) {
    n = fixed_form(v, 6, s);
  } else {
    n = exponent_form(v, 7, 2, s);
  }
  number_start(std::signbit(v) && !(v == 0));
  const std::size_t k = static_cast<std::size_t>(n) < capacity - len_ ? n : capacity - len_;
  std::memcpy(buf_ + len_, s, k);
  len_ += k;
  return *this;
}

std::string_view blank_record() { return "  "; }

}  // namespace textio
