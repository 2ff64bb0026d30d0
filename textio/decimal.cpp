// Exact decimal digits of doubles. A double is m * 2^q exactly, so
// floor(|v| * 10^s) and its remainder can be computed without error: with
// 128-bit integers for the values met in rows and reports, and with a small
// fixed-size big integer for the rest (tiny and huge magnitudes). Nothing
// allocates.
#include "textio/decimal.h"

#include <bit>
#include <cstring>

#include "textio/fields.h"

namespace textio::detail {
namespace {

using u128 = unsigned __int128;

struct pow5_table {
  u128 v[56];
  constexpr pow5_table() : v() {
    v[0] = 1;
    for (int i = 1; i < 56; ++i) v[i] = v[i - 1] * 5;
  }
};
constexpr pow5_table pow5;

int bit_length(u128 x) {
  const auto hi = static_cast<std::uint64_t>(x >> 64);
  if (hi != 0) return 128 - std::countl_zero(hi);
  return 64 - std::countl_zero(static_cast<std::uint64_t>(x));
}

// floor(m * 2^q * 10^s) into *quotient when it and every intermediate fit
// (quotient below 2^64); false otherwise.
bool fast_floor(binary_value b, int s, std::uint64_t* quotient, bool* half) {
  const u128 m = b.mantissa;
  const int q = b.exponent2;
  if (s >= 0) {
    if (s > 55) return false;
    const u128 p = pow5.v[s];
    if (bit_length(m) + bit_length(p) > 128) return false;
    const u128 num = m * p;  // x = num * 2^(q+s)
    const int e = q + s;
    if (e >= 0) {
      if (bit_length(num) + e > 64) return false;
      *quotient = static_cast<std::uint64_t>(num << e);
      *half = false;
      return true;
    }
    const int sh = -e;
    if (sh >= 128) return false;
    const u128 qt = num >> sh;
    if ((qt >> 64) != 0) return false;
    *quotient = static_cast<std::uint64_t>(qt);
    *half = ((num >> (sh - 1)) & 1) != 0;
    return true;
  }
  const int t = -s;  // x = m * 2^(q-t) / 5^t
  if (t > 55) return false;
  const u128 den5 = pow5.v[t];
  u128 num, den;
  if (q >= t) {
    const int e = q - t;
    if (bit_length(m) + e > 127) return false;
    num = m << e;
    den = den5;
  } else {
    const int e = t - q;
    if (bit_length(den5) + e > 126) return false;
    num = m;
    den = den5 << e;
  }
  const u128 qt = num / den;
  if ((qt >> 64) != 0) return false;
  const u128 rem = num - qt * den;
  *quotient = static_cast<std::uint64_t>(qt);
  *half = rem >= den - rem;  // 2*rem >= den without overflow
  return true;
}

// Fixed-capacity unsigned big integer, little-endian 32-bit limbs. Enough
// for m * 10^363 and 2^1074 with room for the digit loop.
class big {
 public:
  static constexpr int limbs_max = 48;

  explicit big(std::uint64_t v) {
    limb_[0] = static_cast<std::uint32_t>(v);
    limb_[1] = static_cast<std::uint32_t>(v >> 32);
    size_ = limb_[1] ? 2 : (limb_[0] ? 1 : 0);
  }

  void mul_small(std::uint32_t f) {
    std::uint64_t carry = 0;
    for (int i = 0; i < size_; ++i) {
      const std::uint64_t p = static_cast<std::uint64_t>(limb_[i]) * f + carry;
      limb_[i] = static_cast<std::uint32_t>(p);
      carry = p >> 32;
    }
    if (carry && size_ < limbs_max) limb_[size_++] = static_cast<std::uint32_t>(carry);
  }

  void mul_pow10(int n) {
    while (n >= 9) {
      mul_small(1000000000u);
      n -= 9;
    }
    if (n > 0) mul_small(static_cast<std::uint32_t>(pow10_u64[n]));
  }

  void shift_left(int bits) {
    if (size_ == 0 || bits == 0) return;
    const int words = bits / 32;
    const int rest = bits % 32;
    int n = size_ + words + 1;
    if (n > limbs_max) n = limbs_max;
    for (int i = n - 1; i >= 0; --i) {
      const int src = i - words;
      std::uint64_t w = 0;
      if (src >= 0 && src < size_) w = static_cast<std::uint64_t>(limb_[src]) << rest;
      if (rest && src - 1 >= 0 && src - 1 < size_) w |= limb_[src - 1] >> (32 - rest);
      limb_[i] = static_cast<std::uint32_t>(w);
    }
    size_ = n;
    trim();
  }

  friend int compare(const big& a, const big& b) {
    if (a.size_ != b.size_) return a.size_ < b.size_ ? -1 : 1;
    for (int i = a.size_ - 1; i >= 0; --i) {
      if (a.limb_[i] != b.limb_[i]) return a.limb_[i] < b.limb_[i] ? -1 : 1;
    }
    return 0;
  }

  // *this -= b, requires *this >= b.
  void subtract(const big& b) {
    std::int64_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
      std::int64_t d = static_cast<std::int64_t>(limb_[i]) - borrow -
                       (i < b.size_ ? static_cast<std::int64_t>(b.limb_[i]) : 0);
      borrow = d < 0;
      if (d < 0) d += (std::int64_t{1} << 32);
      limb_[i] = static_cast<std::uint32_t>(d);
    }
    trim();
  }

  bool is_zero() const { return size_ == 0; }

 private:
  void trim() {
    while (size_ > 0 && limb_[size_ - 1] == 0) --size_;
  }
  std::uint32_t limb_[limbs_max] = {};
  int size_ = 0;
};

int big_floor(binary_value b, int s, char* digits, int max_digits, bool* half) {
  big num(b.mantissa);
  big den(1);
  if (b.exponent2 > 0) num.shift_left(b.exponent2);
  if (b.exponent2 < 0) den.shift_left(-b.exponent2);
  if (s > 0) num.mul_pow10(s);
  if (s < 0) den.mul_pow10(-s);

  // The quotient has `len` digits: den * 10^(len-1) <= num < den * 10^len.
  int len = 0;
  big unit = den;  // den * 10^(len-1) once len >= 1
  if (compare(num, den) >= 0) {
    len = 1;
    for (;;) {
      big next = unit;
      next.mul_small(10);
      if (compare(num, next) < 0) break;
      unit = next;
      if (++len > max_digits) return -1;
    }
  }
  if (len > max_digits) return -1;
  if (len == 0) {
    // floor is 0; the fraction num/den is at least one half when 2num >= den.
    num.shift_left(1);
    *half = compare(num, den) >= 0;
    return 0;
  }
  for (int k = 0; k < len; ++k) {
    if (k > 0) num.mul_small(10);
    int d = 0;
    while (compare(num, unit) >= 0) {
      num.subtract(unit);
      ++d;
    }
    digits[k] = static_cast<char>('0' + d);
  }
  // The true remainder is num / 10^(len-1) against den, i.e. num against unit.
  num.shift_left(1);
  *half = compare(num, unit) >= 0;
  return len;
}

// Writes q as exactly `count` digits (leading zeros kept).
void write_digits(std::uint64_t q, int count, char* out) {
  static constexpr char pairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  int i = count;
  while (i >= 2) {
    const unsigned r = static_cast<unsigned>(q % 100);
    q /= 100;
    out[i - 1] = pairs[2 * r + 1];
    out[i - 2] = pairs[2 * r];
    i -= 2;
  }
  if (i == 1) out[0] = static_cast<char>('0' + q % 10);
}

int digit_count(std::uint64_t q) {
  int n = 1;
  while (n < 20 && q >= pow10_u64[n]) ++n;
  return n;
}

}  // namespace

binary_value decompose(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  const std::uint64_t frac = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0) return {frac, -1074};
  return {frac | (std::uint64_t{1} << 52), biased - 1075};
}

int scaled_floor(binary_value b, int scale, char* digits, int max_digits, bool* at_least_half) {
  std::uint64_t q;
  if (fast_floor(b, scale, &q, at_least_half)) {
    if (q == 0) return 0;
    const int n = digit_count(q);
    if (n > max_digits) return -1;
    write_digits(q, n, digits);
    return n;
  }
  return big_floor(b, scale, digits, max_digits, at_least_half);
}

bool increment_digits(char* digits, int len) {
  for (int i = len - 1; i >= 0; --i) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  return true;
}

int significant_digits_exact(double v, int count, char* digits) {
  const binary_value b = decompose(v);
  const int e2 = (63 - std::countl_zero(b.mantissa)) + b.exponent2;  // floor(log2 |v|)
  // floor(log10 |v|) is e10 or e10 + 1.
  int e10 = floor_log10_pow2(e2);

  if (count <= 18) {
    std::uint64_t q;
    bool half;
    if (fast_floor(b, count - 1 - e10, &q, &half)) {
      if (q >= pow10_u64[count]) {
        // One digit too many: the digit dropped decides (a true tie at
        // `count` digits has it 5 with nothing after, rounded away as well).
        half = q % 10 >= 5;
        q /= 10;
        ++e10;
      }
      q += half ? 1 : 0;
      if (q == pow10_u64[count]) {
        q = pow10_u64[count - 1];
        ++e10;
      }
      write_digits(q, count, digits);
      return e10 + 1;
    }
  }

  // e10 is exact for 2^e2, so never above floor(log10 |v|): the floor has
  // count or count + 1 digits.
  char buf[64];
  bool half;
  const int len = big_floor(b, count - 1 - e10, buf, count + 1, &half);
  if (len == count + 1) {
    half = buf[count] >= '5';
    ++e10;
  }
  std::memcpy(digits, buf, static_cast<std::size_t>(count));
  if (half && increment_digits(digits, count)) {
    digits[0] = '1';
    ++e10;
  }
  return e10 + 1;
}

void write_decimal(std::uint64_t q, int count, char* out) { write_digits(q, count, out); }

}  // namespace textio::detail

namespace textio {

int significant_digits(double v, int count, char* digits) {
  const detail::rounded_decimal r = detail::round_significant_fast(v, count);
  if (r.ok) {
    detail::write_decimal(r.digits, count, digits);
    return r.exponent10 + 1;
  }
  return detail::significant_digits_exact(v, count, digits);
}

}  // namespace textio
