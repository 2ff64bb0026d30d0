// Fixed-width fields. Each writes exactly `width` characters; digits come
// from the exact binary value (decimal.cpp), rounded half away from zero.
#include "textio/fields.h"

#include <bit>
#include <cmath>
#include <cstdint>
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

// "E-99" .. "E+99" side by side, four characters each, for the row fields.
struct exponent_table {
  char text[199 * 4];
  constexpr exponent_table() : text() {
    for (int x = -99; x <= 99; ++x) {
      char* p = text + 4 * (x + 99);
      const int a = x < 0 ? -x : x;
      p[0] = 'E';
      p[1] = x < 0 ? '-' : '+';
      p[2] = static_cast<char>('0' + a / 10);
      p[3] = static_cast<char>('0' + a % 10);
    }
  }
};
constexpr exponent_table exponents;

// q < 10^8 as eight digit characters (leading zeros kept) packed in memory
// order on a little-endian machine. The halves, then the quarters, then the
// digits are split in parallel lanes of one register; the multiplications
// by 10486 / 2^20 and 103 / 2^10 equal division by 100 and 10 for the lane
// values met (below 10^4 and 100).
constexpr std::uint64_t eight_digits(std::uint32_t q) {
  const std::uint32_t hi = q / 10000, lo = q - hi * 10000;
  std::uint64_t x = hi | static_cast<std::uint64_t>(lo) << 32;
  std::uint64_t t = ((x * 10486) >> 20) & 0x0000007F0000007Full;
  x = (x - t * 100) << 16 | t;
  t = ((x * 103) >> 10) & 0x000F000F000F000Full;
  x = (x - t * 10) << 8 | t;
  return x | 0x3030303030303030ull;
}
static_assert(std::endian::native != std::endian::little ||
              eight_digits(12345678) == 0x3837363534333231ull);

// The row fields on little-endian machines: q holds the digits+1 rounded
// digits (at most 8), x the exponent of the leading one (|x| <= 99), and the
// field (width 8..16) has room for them. Blanks first, then the digits as one
// block that ends before the exponent, the zeros in front of the leading digit
// turned into blanks; the leading digit moves one place left to make room for
// the point. Every store has a fixed size. nullptr for other layouts.
char* put_sci_block(char* out, bool minus, std::uint64_t q, int x, int width, int digits) {
  if constexpr (std::endian::native != std::endian::little) return nullptr;
  const int count = digits + 1;
  if (width < 8 || width > 16 || count > 8 || (count > 4 && width < 12)) return nullptr;
  char* const end = out + width;
  constexpr std::uint64_t blanks = 0x2020202020202020ull;
  std::memcpy(out, &blanks, 8);
  std::memcpy(end - 8, &blanks, 8);
  const std::uint64_t all = eight_digits(static_cast<std::uint32_t>(q));
  const int zeros = 8 - count;  // in front of the leading digit
  const std::uint64_t keep = ~0ull << (8 * zeros);
  const std::uint64_t block = (all & keep) | (blanks & ~keep);
  char* lead;  // where the block has the leading digit
  if (count <= 4) {
    const auto half = static_cast<std::uint32_t>(block >> 32);
    std::memcpy(end - 8, &half, 4);
    lead = end - 12 + zeros;
  } else {
    std::memcpy(end - 12, &block, 8);
    lead = end - 12 + zeros;
  }
  std::memcpy(end - 4, exponents.text + 4 * (x + 99), 4);
  lead[-1] = static_cast<char>(all >> (8 * zeros));
  lead[0] = '.';
  // Blank or '-', stored either way when the field has room for a sign.
  if (width >= digits + 8) {
    lead[-2] = minus ? '-' : ' ';
  } else if (minus) {
    lead[-2] = '-';
  }
  return end;
}

// The same for any digit count and width, one digit at a time.
char* put_sci_digits(char* out, bool minus, std::uint64_t q, int x, int width, int digits) {
  char* const end = out + width;
  char* p = end - 4;
  std::memcpy(p, exponents.text + 4 * (x + 99), 4);
  for (int k = 0; k < digits; ++k) {
    *--p = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  *--p = '.';
  *--p = static_cast<char>('0' + q);
  if (minus) *--p = '-';
  fill(out, static_cast<int>(p - out), ' ');
  return end;
}

// Every other value and layout: zero, INF, NaN, subnormal, huge and tiny
// magnitudes, three-digit exponents, fields too narrow.
[[gnu::noinline]] char* put_sci_general(char* out, double value, int width, int digits);

}  // namespace

char* put_sci(char* out, double value, int width, int digits) {
  if (digits >= 0 && digits <= 16 && width >= digits + 7) {
    const detail::rounded_decimal r = detail::round_significant_fast(value, digits + 1);
    const std::uint64_t q = r.digits;
    const int x = r.exponent10;
    if (r.ok && x >= -99 && x <= 99) {
      const bool minus = std::signbit(value);  // not zero here
      if (width >= digits + 8 || !minus) {
        if (char* end = put_sci_block(out, minus, q, x, width, digits)) return end;
        return put_sci_digits(out, minus, q, x, width, digits);
      }
    }
  }
  return put_sci_general(out, value, width, digits);
}

namespace {

char* put_sci_general(char* out, double value, int width, int digits) {
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

}  // namespace

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
