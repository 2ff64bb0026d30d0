#include "textio/fields.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "textio/decimal.h"
#include "textio/line.h"

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double nan_ = std::numeric_limits<double>::quiet_NaN();

std::string sci(double v, int w, int d) {
  std::string s(static_cast<std::size_t>(w), '?');
  char* end = textio::put_sci(s.data(), v, w, d);
  EXPECT_EQ(end, s.data() + w);
  return s;
}
std::string dexp(double v, int w, int d) {
  std::string s(static_cast<std::size_t>(w), '?');
  EXPECT_EQ(textio::put_dexp(s.data(), v, w, d), s.data() + w);
  return s;
}
std::string fixed(double v, int w, int d) {
  std::string s(static_cast<std::size_t>(w), '?');
  EXPECT_EQ(textio::put_fixed(s.data(), v, w, d), s.data() + w);
  return s;
}
std::string integer(long long v, int w) {
  std::string s(static_cast<std::size_t>(w), '?');
  EXPECT_EQ(textio::put_int(s.data(), v, w), s.data() + w);
  return s;
}
std::string text(std::string_view t, int w) {
  std::string s(static_cast<std::size_t>(w), '?');
  EXPECT_EQ(textio::put_text(s.data(), t, w), s.data() + w);
  return s;
}

// Reference rounding, independent of the code under test: glibc prints the
// exact decimal expansion of a double when asked for enough digits (767
// significant digits suffice), and half away from zero only looks at the
// first dropped digit.
struct decimal {
  std::string digits;  // significant digits
  int exponent;        // of the first digit: v = d.ddd x 10^exponent
};
decimal exact(double v) {
  static char buf[1000];
  std::snprintf(buf, sizeof buf, "%.800e", std::fabs(v));
  decimal r;
  r.digits += buf[0];
  const char* p = buf + 2;
  while (*p != 'e') r.digits += *p++;
  r.exponent = std::atoi(p + 1);
  return r;
}
decimal rounded(double v, int count) {
  decimal e = exact(v);
  const bool up = e.digits[static_cast<std::size_t>(count)] >= '5';
  e.digits.resize(static_cast<std::size_t>(count));
  if (up) {
    int i = count - 1;
    while (i >= 0 && e.digits[static_cast<std::size_t>(i)] == '9')
      e.digits[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      e.digits.front() = '1';  // all nines became zeros
      ++e.exponent;
    } else {
      ++e.digits[static_cast<std::size_t>(i)];
    }
  }
  return e;
}

// Varied doubles: random bit patterns over the whole range, decimal-looking
// values, exact decimal ties (binary fractions end in 5), powers of two and
// ten with their neighbours.
std::vector<double> sample_values() {
  std::vector<double> v;
  std::mt19937_64 rng(20240611);
  for (int k = 0; k < 3000; ++k) {
    double x;
    do {
      const std::uint64_t bits = rng();
      std::memcpy(&x, &bits, sizeof x);
    } while (!std::isfinite(x) || x == 0);
    v.push_back(x);
  }
  for (int k = 0; k < 2000; ++k) {
    const double m = static_cast<double>(rng() % 100000000);
    const int e = static_cast<int>(rng() % 40) - 20;
    v.push_back((k % 2 ? -1 : 1) * m * std::pow(10.0, e));
  }
  for (int k = 0; k < 2000; ++k) {
    const double m = static_cast<double>(rng() % (1u << 24) + 1);
    const int sh = static_cast<int>(rng() % 30) + 1;
    v.push_back(std::ldexp(m, -sh));
  }
  for (int e = -1074; e <= 1023; e += 7) {
    const double p = std::ldexp(1.0, e);
    v.push_back(p);
    v.push_back(std::nextafter(p, 0.0));
  }
  for (int e = -323; e <= 308; ++e) {
    const double p = std::strtod(("1e" + std::to_string(e)).c_str(), nullptr);
    if (p == 0) continue;  // below the smallest subnormal
    v.push_back(p);
    v.push_back(std::nextafter(p, 0.0));
    v.push_back(std::nextafter(p, inf));
  }
  v.push_back(DBL_MAX);
  v.push_back(DBL_MIN);
  v.push_back(std::numeric_limits<double>::denorm_min());
  std::erase(v, 0.0);  // nextafter of the smallest subnormal
  return v;
}

TEST(SignificantDigits, MatchExactReferenceForEveryCount) {
  const std::vector<double> values = sample_values();
  char d[41];
  int checked = 0;
  for (double v : values) {
    for (int count : {1, 4, 5, 6, 7, 13, 15, 16, 17, 18, 19, 25, 40}) {
      const decimal want = rounded(v, count);
      const int e = textio::significant_digits(v, count, d);
      ASSERT_EQ(std::string(d, static_cast<std::size_t>(count)), want.digits)
          << "v=" << std::hexfloat << v << " count=" << count;
      ASSERT_EQ(e, want.exponent + 1) << "v=" << std::hexfloat << v << " count=" << count;
      const int e_exact = textio::detail::significant_digits_exact(v, count, d);
      ASSERT_EQ(std::string(d, static_cast<std::size_t>(count)), want.digits)
          << "exact path, v=" << std::hexfloat << v << " count=" << count;
      ASSERT_EQ(e_exact, want.exponent + 1) << "exact path, v=" << std::hexfloat << v;
      ++checked;
    }
  }
  EXPECT_GT(checked, 100000);
}

std::string reference_sci(double v, int w, int d);  // below, with the field tests

// Values where the integer shortcut of the digit generation meets its limits
// or rounding is closest to a decision: binary exponents where it hands over
// to the exact path, the largest decimal scale it takes, powers of ten and
// their neighbours, exact ties at 4 to 8 digits and the doubles beside them,
// and roundings that carry into the next decade.
std::vector<double> shortcut_boundary_values() {
  std::vector<double> v;
  const auto with_neighbours = [&v](double x) {
    v.push_back(x);
    v.push_back(std::nextafter(x, 0.0));
    v.push_back(std::nextafter(x, inf));
  };
  const auto parse = [](const std::string& s) { return std::strtod(s.c_str(), nullptr); };
  for (int e : {-102, -101, -100, -99, 51, 52, 53, 62, 63, 64, 65}) {
    with_neighbours(std::ldexp(1.0, e));
    with_neighbours(std::ldexp(1.6180339887, e));
  }
  for (int k = -32; k <= 21; ++k) {
    with_neighbours(parse("1e" + std::to_string(k)));
    with_neighbours(parse("5e" + std::to_string(k)));
  }
  // Ties of count digits: n + 0.5 and n * 10^j + 5 * 10^(j-1) with n of count
  // digits are exact doubles; so is every odd k / 2^j.
  std::mt19937_64 rng(5);
  for (int count = 4; count <= 8; ++count) {
    const long long lo = static_cast<long long>(std::pow(10.0, count - 1));
    for (long long n : {lo, lo + 1, 2 * lo + 3, 9 * lo + 7, 10 * lo - 1}) {
      with_neighbours(static_cast<double>(n) + 0.5);
      for (int j = 1; j <= 11; ++j)
        with_neighbours(static_cast<double>(n) * std::pow(10.0, j) + 5 * std::pow(10.0, j - 1));
    }
  }
  for (int j = 1; j <= 30; ++j) {
    for (int k = 0; k < 12; ++k)
      with_neighbours(std::ldexp(static_cast<double>(rng() % (1u << 20) | 1), -j));
  }
  with_neighbours(1.03125);
  // Rounding up into the next decade: 9.9999995 and its kin at every scale.
  for (int count = 1; count <= 8; ++count) {
    const std::string nines = std::string(static_cast<std::size_t>(count), '9') + "5";
    for (int k = -31; k <= 20; ++k) with_neighbours(parse("0." + nines + "e" + std::to_string(k)));
  }
  return v;
}

TEST(SignificantDigits, IntegerShortcutAgreesWithExactPathAtItsBoundaries) {
  const std::vector<double> values = shortcut_boundary_values();
  char d[41];
  int taken = 0;
  for (double v : values) {
    for (int count = 1; count <= 18; ++count) {
      const decimal want = rounded(v, count);
      const int e = textio::significant_digits(v, count, d);
      ASSERT_EQ(std::string(d, static_cast<std::size_t>(count)), want.digits)
          << "v=" << std::hexfloat << v << " count=" << count;
      ASSERT_EQ(e, want.exponent + 1) << "v=" << std::hexfloat << v << " count=" << count;
      const textio::detail::rounded_decimal r = textio::detail::round_significant_fast(v, count);
      if (r.ok) {
        ++taken;
        ASSERT_EQ(r.digits, std::stoull(want.digits))
            << "v=" << std::hexfloat << v << " count=" << count;
        ASSERT_EQ(r.exponent10, want.exponent) << "v=" << std::hexfloat << v << " count=" << count;
      }
    }
    for (const auto& l : {std::pair{15, 6}, {15, 4}, {12, 4}, {12, 5}, {10, 3}}) {
      ASSERT_EQ(sci(v, l.first, l.second), reference_sci(v, l.first, l.second))
          << std::hexfloat << v;
      ASSERT_EQ(sci(-v, l.first, l.second), reference_sci(-v, l.first, l.second))
          << std::hexfloat << -v;
    }
  }
  EXPECT_GT(taken, static_cast<int>(values.size()) * 10);  // the shortcut was really exercised
}

TEST(SignificantDigits, IntegerShortcutRange) {
  struct c {
    double v;
    int count;
    bool taken;
  };
  const c cases[] = {
      {1.03125, 5, true},
      {12345665.0, 7, true},  // integer part divided by 10^t
      {std::ldexp(1.0, 63), 7, true},
      {std::nextafter(std::ldexp(1.0, 64), 0.0), 7, true},
      {std::ldexp(1.0, 64), 7, false},  // integer part no longer fits 64 bits
      {1.5e-21, 7, true},               // scale 10^27
      {9.5e-22, 7, false},              // scale 10^28: 5^28 does not fit 64 bits
      {1.5e-27, 1, true},
      {9.5e-28, 1, false},
      {std::ldexp(1.0, -101), 1, false},
      {1.0, 17, true},
      {1.0, 18, false},
      {0.0, 7, false},
      {DBL_MIN / 4, 4, false},  // subnormal
      {inf, 7, false},
      {nan_, 7, false},
  };
  for (const c& k : cases) {
    EXPECT_EQ(textio::detail::round_significant_fast(k.v, k.count).ok, k.taken)
        << std::hexfloat << k.v << " count=" << k.count;
    EXPECT_EQ(textio::detail::round_significant_fast(-k.v, k.count).ok, k.taken)
        << std::hexfloat << -k.v << " count=" << k.count;
  }
}

TEST(SignificantDigits, TiesRoundAwayFromZero) {
  struct tie {
    double v;
    int count;
    const char* digits;
    int exponent;
  };
  const tie cases[] = {
      {1.03125, 5, "10313", 1},  // printf's nearest-even gives 1.0312
      {-1.03125, 5, "10313", 1},
      {2.5, 1, "3", 1},
      {0.125, 2, "13", 0},
      {12345665.0, 7, "1234567", 8},  // even would be 1234566
      {1234567890122.5, 13, "1234567890123", 13},
      {999.5, 3, "100", 4},           // carry into a new digit
      {0.0009765625, 4, "9766", -3},  // 2^-10 = 0.0009765625
  };
  char d[41];
  for (const tie& t : cases) {
    const int e = textio::significant_digits(t.v, t.count, d);
    EXPECT_EQ(std::string(d, static_cast<std::size_t>(t.count)), t.digits) << t.v;
    EXPECT_EQ(e, t.exponent) << t.v;
  }
}

struct field_case {
  double v;
  int w, d;
  const char* want;
};

TEST(ScaledScientific, Layouts) {
  const field_case cases[] = {
      // every width and digit count in use
      {1.0, 15, 6, "   1.000000E+00"},
      {-12345665.0, 15, 6, "  -1.234567E+07"},
      {123445.0, 15, 4, "     1.2345E+05"},
      {1.03125, 12, 4, "  1.0313E+00"},
      {-1.03125, 12, 4, " -1.0313E+00"},
      {1234565.0, 12, 5, " 1.23457E+06"},
      {12345.0, 10, 3, " 1.235E+04"},
      {-12345.0, 10, 3, "-1.235E+04"},
      // exponents: two and three digits of both signs
      {1.0e-150, 12, 4, "  1.0000-150"},
      {1.0e100, 10, 3, " 1.000+100"},
      {-1.0e-100, 10, 3, "-1.000-100"},
      {1.0e-99, 12, 4, "  1.0000E-99"},
      {1.0e99, 12, 4, "  1.0000E+99"},
      {9.99996e99, 12, 4, "  1.0000+100"},
      {0.05, 12, 4, "  5.0000E-02"},
      {DBL_MAX, 12, 4, "  1.7977+308"},
      {4.9406564584124654e-324, 12, 4, "  4.9407-324"},
      // rounding carries into the exponent
      {9.99996, 12, 4, "  1.0000E+01"},
      {9999.5, 10, 3, " 1.000E+04"},
      // zero of either sign
      {0.0, 12, 4, "  0.0000E+00"},
      {-0.0, 12, 4, "  0.0000E+00"},
      {0.0, 15, 6, "   0.000000E+00"},
      {-0.0, 10, 3, " 0.000E+00"},
      // INF and NaN
      {inf, 12, 4, "         INF"},
      {-inf, 12, 4, "        -INF"},
      {nan_, 15, 6, "            NaN"},
      {-nan_, 10, 3, "      -NaN"},
      // too narrow: asterisks
      {1.0, 9, 4, "*********"},
      {-1.0, 10, 4, "**********"},
      {1.0, 10, 4, "1.0000E+00"},
      {inf, 2, 4, "**"},
  };
  for (const field_case& c : cases) {
    EXPECT_EQ(sci(c.v, c.w, c.d), c.want) << c.v << " " << c.w << "." << c.d;
  }
}

// Layout built independently from the reference digits.
std::string reference_sci(double v, int w, int d) {
  const decimal r = rounded(v, d + 1);
  std::string s(v < 0 ? "-" : "");
  s += r.digits.front();
  s += '.';
  s.append(r.digits, 1);
  char ex[8];
  if (std::abs(r.exponent) < 100) {
    std::snprintf(ex, sizeof ex, "E%+03d", r.exponent);
  } else {
    std::snprintf(ex, sizeof ex, "%+04d", r.exponent);
  }
  s += ex;
  if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

TEST(ScaledScientific, MatchesReferenceOverVariedValues) {
  const std::vector<double> values = sample_values();
  const int layouts[][2] = {{15, 6}, {15, 4}, {12, 4}, {12, 5}, {10, 3}};
  for (double v : values) {
    for (const auto& l : layouts) {
      ASSERT_EQ(sci(v, l[0], l[1]), reference_sci(v, l[0], l[1])) << std::hexfloat << v;
    }
  }
}

// Layouts the programs do not use take the digit-at-a-time path of the
// field: wider than 16, more than 8 digits, or 5 to 8 digits in fewer than
// 12 columns.
TEST(ScaledScientific, OtherWidthsAndDigitCounts) {
  const field_case cases[] = {
      {1.5, 20, 10, "    1.5000000000E+00"},
      {-1.5, 20, 10, "   -1.5000000000E+00"},
      {123456789.0, 16, 8, "  1.23456789E+08"},
      {-9.87654321e-50, 17, 8, "  -9.87654321E-50"},
      {2.5e-7, 11, 5, "2.50000E-07"},
      {3.0, 7, 0, " 3.E+00"},
      {0.1, 24, 16, "  1.0000000000000001E-01"},
      {9.99999999996, 18, 9, "   1.000000000E+01"},
  };
  for (const field_case& c : cases) {
    EXPECT_EQ(sci(c.v, c.w, c.d), c.want) << c.v << " " << c.w << "." << c.d;
  }
  const std::vector<double> values = sample_values();
  const int layouts[][2] = {{20, 10}, {17, 8}, {16, 9}, {11, 5}, {7, 0}, {24, 16}};
  for (double v : values) {
    for (const auto& l : layouts) {
      ASSERT_EQ(sci(v, l[0], l[1]), reference_sci(v, l[0], l[1])) << std::hexfloat << v;
    }
  }
}

TEST(ExponentField, D21_13) {
  const field_case cases[] = {
      {1.5, 21, 13, "  0.1500000000000D+01"},
      {-1.5, 21, 13, " -0.1500000000000D+01"},
      {1.0e-150, 21, 13, "  0.1000000000000-149"},
      {-1.0e150, 21, 13, " -0.1000000000000+151"},
      {0.05, 21, 13, "  0.5000000000000D-01"},
      {1234567890122.5, 21, 13, "  0.1234567890123D+13"},
      {1.0e99, 21, 13, "  0.1000000000000+100"},
      {1.0e-100, 21, 13, "  0.1000000000000D-99"},
      {0.0, 21, 13, "  0.0000000000000D+00"},
      {-0.0, 21, 13, "  0.0000000000000D+00"},
      {inf, 21, 13, "                  INF"},
      {-nan_, 21, 13, "                 -NaN"},
      {1.0, 18, 13, "******************"},
  };
  for (const field_case& c : cases) {
    EXPECT_EQ(dexp(c.v, c.w, c.d), c.want) << c.v;
  }
}

TEST(FixedField, F10_3) {
  const field_case cases[] = {
      {0.5, 10, 3, "     0.500"},
      {2.0625, 10, 3, "     2.063"},  // exact tie, away from zero
      {-2.0625, 10, 3, "    -2.063"},
      {-0.0004, 10, 3, "     0.000"},  // rounds to zero: no minus sign
      {-0.0, 10, 3, "     0.000"},
      {-0.0005, 10, 3, "    -0.001"},  // 0.0005 is a little above the tie in binary
      {0.9995, 10, 3, "     1.000"},
      {123456.789, 10, 3, "123456.789"},
      {-123456.789, 10, 3, "**********"},
      {999999.9996, 10, 3, "**********"},  // rounds to 1000000.000
      {1.0e20, 10, 3, "**********"},
      {inf, 10, 3, "       INF"},
      {-inf, 10, 3, "      -INF"},
      {nan_, 10, 3, "       NaN"},
  };
  for (const field_case& c : cases) {
    EXPECT_EQ(fixed(c.v, c.w, c.d), c.want) << c.v;
  }
}

TEST(IntegerField, WidthsInUse) {
  struct c {
    long long v;
    int w;
    const char* want;
  };
  const c cases[] = {
      {7, 10, "         7"},
      {-7, 10, "        -7"},
      {0, 4, "   0"},
      {9999, 4, "9999"},
      {10000, 4, "****"},
      {-999, 4, "-999"},
      {-1000, 4, "****"},
      {123, 3, "123"},
      {-12, 3, "-12"},
      {-123, 3, "***"},
      {1000, 3, "***"},
      {2147483647, 10, "2147483647"},
      {-2147483647, 10, "**********"},
      {LLONG_MIN, 10, "**********"},
  };
  for (const c& k : cases) EXPECT_EQ(integer(k.v, k.w), k.want) << k.v;
}

TEST(TextField, RightJustifiedOrFirstCharacters) {
  EXPECT_EQ(text("abc", 5), "  abc");
  EXPECT_EQ(text("abcdef", 3), "abc");
  EXPECT_EQ(text("", 2), "  ");
  const std::string label = " peak 3 epsilon,sigma,lamda Ind";  // 31 characters
  EXPECT_EQ(text(label, 30), " peak 3 epsilon,sigma,lamda In");
  EXPECT_EQ(text(" !Ca_cyt,PMCA.M*,Ca_ext,M", 26), "  !Ca_cyt,PMCA.M*,Ca_ext,M");
  for (int w : {20, 24, 26, 30, 52}) {
    const std::string s = text("Ca_cyt", w);
    EXPECT_EQ(s.size(), static_cast<std::size_t>(w));
    EXPECT_EQ(s.substr(static_cast<std::size_t>(w) - 6), "Ca_cyt");
    EXPECT_EQ(s.find_first_not_of(' '), static_cast<std::size_t>(w) - 6);
  }
}

TEST(Line, ReadsLikeTheLayout) {
  textio::line l;
  l.x(1).sci(1.5, 12, 4).lit(",").sci(-2.0, 12, 4).a(" !note", 8).i(42, 4).f(0.5, 10, 3);
  EXPECT_EQ(l.view(), "   1.5000E+00, -2.0000E+00   !note  42     0.500");
  l.clear();
  l.x(6).lit("IN ABOVE MESSAGE,  R1 =").dexp(1.5, 21, 13);
  EXPECT_EQ(l.view(), "      IN ABOVE MESSAGE,  R1 =  0.1500000000000D+01");
}

TEST(Line, CutAtCapacityNeverOverruns) {
  textio::line l;
  for (int k = 0; k < 300; ++k) l.sci(1.0, 12, 4);
  EXPECT_EQ(l.size(), textio::line::capacity);
  EXPECT_EQ(l.view().substr(0, 12), "  1.0000E+00");
  // The last field is cut: 2048 = 170 * 12 + 8.
  EXPECT_EQ(l.view().substr(170 * 12), "  1.0000");
  l.lit("more").x(3);
  EXPECT_EQ(l.size(), textio::line::capacity);
}

}  // namespace
