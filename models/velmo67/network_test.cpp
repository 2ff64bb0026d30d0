#include "models/velmo67/network.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

using velmo67::fex;
using velmo67::ratcon;

constexpr double inf = std::numeric_limits<double>::infinity();
const double nan_value = std::numeric_limits<double>::quiet_NaN();

// A small state with rate constants chosen so that every term of the
// derivatives below is an exact binary fraction; the expected values were
// worked out by hand from the reaction table.
class HandState : public ::testing::Test {
 protected:
  void SetUp() override {
    for (double& s : ratcon) s = 0.0;
    struct {
      int slot;
      double value;
    } constants[] = {
        {1, 3.0},   {2, 0.5},  {3, 2.0},   {4, 1.0},  {5, 1.0},  {6, 3.0},   {7, 2.0},
        {8, 1.0},   {9, 2.0},  {10, 0.25}, {11, 1.0}, {12, 2.0}, {13, 0.5},  {20, 1.0},
        {21, 3.0},  {22, 2.0}, {23, 3.0},  {24, 1.0}, {25, 0.5}, {26, 0.25}, {27, 0.25},
        {36, 1.0},  {37, 2.0}, {38, 6.5},  {39, 1.0}, {40, 1.0}, {41, 1.0},  {42, 2.0},
        {43, 0.5},  {46, 2.0}, {47, 0.25}, {48, 4.0}, {49, 1.0}, {50, 2.0},  {53, 1.0},  // k51
        {62, 2.0},                                                                       // k60
        {63, 1.0},                                                                       // k61
        {64, 1.0},                                                                       // k62
        {65, 4.0},                                                                       // k63
        {66, 1.0},                                                                       // k64
        {71, 5.0},                                                                       // k69
        {72, 1.0},                                                                       // k70
        {73, 0.25},                                                                      // k71
        {74, 0.5},                                                                       // k72
        {75, 3.0},                                                                       // k73
        {76, 1.0},                                                                       // k74
        {77, 1.0},                                                                       // k75
        {78, 0.25},                                                                      // k76
        {79, 3.0},                                                                       // k77
        {80, 0.5},                                                                       // k78
        {81, 2.0},                                                                       // COOPSTIM
    };
    for (const auto& c : constants) ratcon[c.slot - 1] = c.value;

    for (double& v : y) v = 0.0;
    const struct {
      int element;
      double value;
    } state[] = {
        {1, 1.0},  {2, 1.0},  {3, 2.0},  {4, 7.0},  {5, 0.5},   {6, 0.25}, {7, 1.0},  {8, 0.5},
        {9, 2.0},  {10, 1.0}, {11, 1.0}, {12, 2.0}, {13, 1.0},  {14, 0.5}, {17, 1.0}, {18, 1.0},
        {19, 1.0}, {20, 1.0}, {21, 1.0}, {22, 1.0}, {26, 1.0},  {27, 1.0}, {28, 1.0}, {30, 1.0},
        {31, 1.0}, {32, 1.0}, {33, 1.0}, {34, 9.0}, {35, 11.0},
    };
    for (const auto& s : state) y[s.element - 1] = s.value;
  }

  void call(int neq) {
    double t = 0.0;
    for (double& d : ydot) d = nan_value;
    fex(&neq, &t, y, ydot);
  }
  double dy(int element) const { return ydot[element - 1]; }

  double y[35];
  double ydot[35];
};

TEST_F(HandState, DerivativesMatchHandComputedValues) {
  call(35);
  const struct {
    int element;
    double expected;
  } rows[] = {
      // 6 - 0.5 - 1 - 2 + 2 - 1 + 2 - 1.5 + 0.5 + 0.5 + 2 + 1 - 2 - 2 + 2
      {1, 6.0},
      {2, 1.0},
      {3, 0.0},
      {4, 1.0},
      {9, -1.0},
      {11, -1.0},
      // 1.5 - 0.5 - 30 + 3.75 - 2 + 1 - 2
      {12, -28.25},
      {19, 2.0},
      {20, -0.25},
      {21, -1.0},
      {22, 1.0},
      {27, 1.5},
      {30, 3.5},
      {31, 0.5},
      {32, 0.75},
      {33, 1.0},
      {34, 2.0},
      {35, 2.0},
  };
  for (const auto& r : rows) EXPECT_EQ(dy(r.element), r.expected) << "element " << r.element;
  for (int i = 1; i <= 35; ++i)
    EXPECT_FALSE(std::isnan(dy(i))) << "element " << i << " not written";
  // FE = 1/1 + (1 + 1), FES = 0.5/1 + (0.25 + 1).
  EXPECT_EQ(ratcon[50], 3.0);
  EXPECT_EQ(ratcon[51], 1.75);
}

TEST_F(HandState, ZeroCytosolicCalciumSwitchesOffIp3Release) {
  y[0] = 0.0;
  call(35);
  EXPECT_EQ(ratcon[50], inf);
  EXPECT_EQ(ratcon[51], inf);
  // 6 + 2 + 2 + 0.5 + 0.5 + 1 + 2 (jIP3R, j2, j3, jMon, jBon, j23, jNCX vanish)
  EXPECT_EQ(dy(1), 14.0);
  EXPECT_EQ(dy(12), 0.0 - 0.5 - 30.0 + 3.75 - 2.0 + 1.0 - 0.0);
}

TEST_F(HandState, CooperativityRules) {
  // COOPSTIM 0: P = 1, STIM.Ca forms at k71*STIM and Ca_lum loses both STIM terms.
  ratcon[80] = 0.0;
  call(35);
  EXPECT_EQ(dy(31), 0.25 - 0.5);
  EXPECT_EQ(dy(12), 1.5 - 0.5 - 30.0 + 3.75 - 2.0);

  // Non-integral cooperativity with negative Ca_lum: NaN exactly where P enters.
  ratcon[80] = 1.5;
  y[11] = -0.5;
  call(35);
  for (int e : {12, 30, 31}) EXPECT_TRUE(std::isnan(dy(e))) << e;
  for (int e : {1, 13, 14, 33, 34}) EXPECT_FALSE(std::isnan(dy(e))) << e;
}

std::uint64_t bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// e^(c*ln b) and std::pow as the platform's library gives them when the
// program runs (the compiler would fold constant arguments with its own
// rounding).
double exp_c_ln_b(double b, double c) {
  volatile double base = b;
  return std::exp(c * std::log(base));
}
double library_pow(double b, double c) {
  volatile double base = b;
  return std::pow(base, c);
}

// Compared bit for bit: the power is part of the STIM derivatives, which are
// promised bit-identical. Where a rule leaves an exact result, the bases are
// chosen so that the other rules (std::pow, e^(c*ln b), the squaring) would
// each round differently.
TEST(CoopPower, FollowsTheRulesInOrder) {
  const struct {
    double base, exponent, expected;
  } cases[] = {
      // Zero exponent of either sign, then base 1.
      {0.0, 0.0, 1.0},
      {nan_value, 0.0, 1.0},
      {nan_value, -0.0, 1.0},
      {1.0, nan_value, 1.0},
      {1.0, 2.5, 1.0},
      // Integral exponents: repeated squaring, the reciprocal for a negative one.
      {-0.5, 2.0, 0.25},
      {-2.0, 3.0, -8.0},
      {3.0, 5.0, 243.0},
      {2.0, -2.0, 0.25},
      {-2.0, -3.0, -0.125},
      {0.0, -1.0, inf},
      {-0.0, -1.0, inf},
      {-0.0, -3.0, inf},
      {1.485, 3.0, 1.485 * (1.485 * 1.485)},
      {1.432, -3.0, 1.0 / (1.432 * (1.432 * 1.432))},
      {1.005, 5.0, 1.005 * ((1.005 * 1.005) * (1.005 * 1.005))},
      {-1.001, 3.0, -1.001 * (-1.001 * -1.001)},
      {1e300, 2.0, inf},
      // Non-integral exponents: e^(c*ln b); 0 and +infinity for a zero base.
      {0.0, 0.5, 0.0},
      {0.0, -0.5, inf},
      {4.0, 0.5, 2.0},
      {1.485, 2.5, exp_c_ln_b(1.485, 2.5)},
      {1.077, 2.5, exp_c_ln_b(1.077, 2.5)},
      {1.077, -2.5, exp_c_ln_b(1.077, -2.5)},
      {2.0, 1e6 + 0.5, inf},
      {0.5, 1e6 + 0.5, 0.0},
      // Integral exponents of 2^31 and beyond keep the sign rule of odd powers.
      {-1.0, 2147483649.0, -1.0},
      {-1.0, 2147483648.0, 1.0},
      {1.0000000001, 2147483648.0, library_pow(1.0000000001, 2147483648.0)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bits(velmo67::coop_power(c.base, c.exponent)), bits(c.expected))
        << c.base << "^" << c.exponent << " = " << velmo67::coop_power(c.base, c.exponent)
        << ", expected " << c.expected;
  }
  EXPECT_TRUE(std::isnan(velmo67::coop_power(-1.0, 0.5)));
  EXPECT_TRUE(std::isnan(velmo67::coop_power(-1.485, 2.5)));
  EXPECT_TRUE(std::isnan(velmo67::coop_power(nan_value, 2.0)));
}

// velmo65 runs the same right-hand side with NEQ 33: the first 33 derivatives
// must be bit-identical and the two integral slots untouched.
TEST(Fex, Neq33MatchesNeq35BitForBit) {
  for (int s = 0; s < calcium::ratcon_slots; ++s) ratcon[s] = 0.05 + 0.37 * s / (s + 3.0);
  ratcon[80] = 2.7;
  double y[35];
  for (int i = 0; i < 35; ++i) y[i] = 0.3 + 0.11 * i - 0.002 * i * i;
  double full[35];
  double short_run[35];
  for (int i = 0; i < 35; ++i) short_run[i] = -123.0;
  int neq = 35;
  double t = 1.5;
  fex(&neq, &t, y, full);
  const double fe35 = ratcon[50];
  const double fes35 = ratcon[51];
  neq = 33;
  fex(&neq, &t, y, short_run);
  EXPECT_EQ(0, std::memcmp(full, short_run, 33 * sizeof(double)));
  EXPECT_EQ(short_run[33], -123.0);
  EXPECT_EQ(short_run[34], -123.0);
  EXPECT_EQ(ratcon[50], fe35);
  EXPECT_EQ(ratcon[51], fes35);
  EXPECT_EQ(full[33], y[11]);
  EXPECT_EQ(full[34], y[8]);
}

TEST(Ratcon, NamedSlotsFollowTheSlotRule) {
  const struct { int n, slot; } cases[] = {{1, 1}, {50, 50}, {51, 53}, {63, 65}, {78, 80}};
  for (const auto& c : cases) {
    ratcon[c.slot - 1] = 1000.0 + c.n;
    EXPECT_EQ(velmo67::k(c.n), 1000.0 + c.n) << "k" << c.n;
  }
  ratcon[80] = 4.0;
  EXPECT_EQ(velmo67::coopstim(), 4.0);
}

}  // namespace
