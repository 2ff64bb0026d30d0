// Fixed-width fields. Each writes exactly `width` characters; digits come
// from the exact binary value (decimal.cpp), rounded half away from zero.
#include "textio/fields.h"

#include <cmath>
#include <cstring>

#include "textio/decimal.h"

namespace textio {
namespace {

char* fill(char* out, int n, char c) {
  if (n > 0) std::memset(out, c, static_cast<std::size_t>(n));
  return out + (n > 0 ? n : 0);
}

char* stars(char* out, int width) { return fill(out, width, '*'); }

// INF / NaN right-justified, '-' when the sign bit is set.
char* put_special(char* out, double value, int width) {
  const char* word = std::isnan(value) ? "NaN" : "INF";
  const bool minus = std::signbit(value);
  const int len = 3 + (minus ? 1 : 0);
  if (len > width) return stars(out, width);
  char* p = fill(out, width - len, ' ');
  if (minus) *p++ = '-';
  std::memcpy(p, word, 3);
  return out + width;
}

// Exponent part: "E+xx" or, for |x| of 100 to 999, "+xxx" without the letter.
// Always 4 characters.
char* put_exponent(char* p, int x, char letter) {
  const char sign = x < 0 ? '-' : '+';
  const int a = x < 0 ? -x : x;
  if (a < 100) {
    *p++ = letter;
    *p++ = sign;
    *p++ = static_cast<char>('0' + a / 10);
    *p++ = static_cast<char>('0' + a % 10);
  } else {
    *p++ = sign;
    *p++ = static_cast<char>('0' + a / 100);
    *p++ = static_cast<char>('0' + a / 10 % 10);
    *p++ = static_cast<char>('0' + a % 10);
  }
  return p;
}

constexpr int max_digits = 40;

}  // namespace

char* put_sci(char* out, double value, int width, int digits) {
  if (!std::isfinite(value)) return put_special(out, value, width);
  if (digits < 0 || digits + 1 > max_digits) return stars(out, width);
  const bool minus = value < 0;  // negative zero gets no sign
  const int len = (minus ? 1 : 0) + 2 + digits + 4;
  if (len > width) return stars(out, width);

  char d[max_digits];
  int x = 0;  // exponent of the leading digit
  if (value == 0) {
    std::memset(d, '0', static_cast<std::size_t>(digits + 1));
  } else {
    x = significant_digits(value, digits + 1, d) - 1;
  }
  if (x > 999 || x < -999) return stars(out, width);
  char* p = fill(out, width - len, ' ');
  if (minus) *p++ = '-';
  *p++ = d[0];
  *p++ = '.';
  std::memcpy(p, d + 1, static_cast<std::size_t>(digits));
  p += digits;
  put_exponent(p, x, 'E');
  return out + width;
}

char* put_dexp(char* out, double value, int width, int digits) {
  if (!std::isfinite(value)) return put_special(out, value, width);
  if (digits < 1 || digits > max_digits) return stars(out, width);
  const bool minus = value < 0;
  const int len = (minus ? 1 : 0) + 2 + digits + 4;
  if (len > width) return stars(out, width);

  char d[max_digits];
  int e = 0;  // value = 0.d1d2... x 10^e
  if (value == 0) {
    std::memset(d, '0', static_cast<std::size_t>(digits));
  } else {
    e = significant_digits(value, digits, d);
  }
  if (e > 999 || e < -999) return stars(out, width);
  char* p = fill(out, width - len, ' ');
  if (minus) *p++ = '-';
  *p++ = '0';
  *p++ = '.';
  std::memcpy(p, d, static_cast<std::size_t>(digits));
  p += digits;
  put_exponent(p, e, 'D');
  return out + width;
}

char* put_int(char* out, long long value, int width) {
  char buf[24];
  int n = 0;
  unsigned long long a = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                   : static_cast<unsigned long long>(value);
  do {
    buf[n++] = static_cast<char>('0' + a % 10);
    a /= 10;
  } while (a != 0);
  if (value < 0) buf[n++] = '-';
  if (n > width) return stars(out, width);
  char* p = fill(out, width - n, ' ');
  while (n > 0) *p++ = buf[--n];
  return out + width;
}

char* put_fixed(char* out, double value, int width, int digits) {
  if (!std::isfinite(value)) return put_special(out, value, width);
  if (digits < 0 || digits > max_digits || width < digits + 2) return stars(out, width);
  // A magnitude of 10^width or more cannot fit whatever the digits.
  if (std::fabs(value) >= std::pow(10.0, width)) return stars(out, width);

  // r = round(|value| * 10^digits), as decimal digits, at least digits + 1
  // of them so there is one before the point.
  char r[80];
  int n = 0;
  if (value != 0) {
    bool half = false;
    n = detail::scaled_floor(detail::decompose(value), digits, r + 1, 78, &half);
    if (n < 0) return stars(out, width);
    if (half && detail::increment_digits(r + 1, n)) {
      r[0] = '1';  // carried out: r[0..n] is 1 followed by zeros
      ++n;
    } else {
      std::memmove(r, r + 1, static_cast<std::size_t>(n));
    }
  }
  bool rounded_zero = true;
  for (int i = 0; i < n; ++i) rounded_zero = rounded_zero && r[i] == '0';
  // Pad with leading zeros to digits + 1.
  if (n < digits + 1) {
    const int pad = digits + 1 - n;
    std::memmove(r + pad, r, static_cast<std::size_t>(n));
    std::memset(r, '0', static_cast<std::size_t>(pad));
    n = digits + 1;
  }
  const bool minus = value < 0 && !rounded_zero;
  const int len = (minus ? 1 : 0) + n + 1;
  if (len > width) return stars(out, width);
  char* p = fill(out, width - len, ' ');
  if (minus) *p++ = '-';
  const int whole = n - digits;
  std::memcpy(p, r, static_cast<std::size_t>(whole));
  p += whole;
  *p++ = '.';
  std::memcpy(p, r + whole, static_cast<std::size_t>(digits));
  return out + width;
}

char* put_text(char* out, std::string_view text, int width) {
  if (width <= 0) return out;
  const auto w = static_cast<std::size_t>(width);
  if (text.size() >= w) {
    std::memcpy(out, text.data(), w);
  } else {
    char* p = fill(out, width - static_cast<int>(text.size()), ' ');
    std::memcpy(p, text.data(), text.size());
  }
  return out + width;
}

}  // namespace textio
