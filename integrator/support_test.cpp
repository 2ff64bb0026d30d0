// Weights, norm, unit roundoff, interpolation and the save / restore pair.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "integrator/support.h"
#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

TEST(SetWeights, PicksScalarOrArrayTolerancesByItol) {
  const double v[2] = {-2.0, 0.0};
  const double rtol[2] = {1e-8, 1e-3};
  const double atol[2] = {1e-13, 1e-5};
  struct row {
    int itol;
    double w1, w2;
  } rows[] = {{1, 1e-8 * 2 + 1e-13, 1e-13},
              {2, 1e-8 * 2 + 1e-13, 1e-5},
              {3, 1e-8 * 2 + 1e-13, 1e-13},
              {4, 1e-8 * 2 + 1e-13, 1e-5}};
  for (const row& r : rows) {
    double ewt[2];
    set_weights(2, r.itol, rtol, atol, v, ewt);
    EXPECT_EQ(ewt[0], r.w1) << "ITOL " << r.itol;
    EXPECT_EQ(ewt[1], r.w2) << "ITOL " << r.itol;
  }
  const double zero = 0.0;
  double ewt;
  set_weights(1, 1, &zero, &zero, &v[1], &ewt);
  EXPECT_EQ(ewt, 0.0);
}

TEST(WeightedNorm, IsTheRootMeanSquareOfTheProducts) {
  const double v[3] = {3.0, -3.0, 3.0};
  const double w[3] = {2.0, 2.0, 2.0};
  EXPECT_EQ(weighted_norm(3, v, w), 6.0);
  const double one_v = -5.0, one_w = 0.25;
  EXPECT_EQ(weighted_norm(1, &one_v, &one_w), 1.25);
  const double a[2] = {3.0, 4.0}, ones[2] = {1.0, 1.0};
  EXPECT_EQ(weighted_norm(2, a, ones), std::sqrt(12.5));
}

TEST(MachineConstant, IsSinglePrecisionOneEMinusFourteenForEveryArgument) {
  for (int i : {1, 4, 0, -3, 99}) {
    const double r = machine_constant(i);
    std::uint64_t bits;
    std::memcpy(&bits, &r, sizeof bits);
    EXPECT_EQ(bits, 0x3D06849B80000000ull) << i;
  }
  EXPECT_NEAR(machine_constant(4), 9.9999998245167e-15, 1e-27);
  EXPECT_NEAR(std::sqrt(machine_constant(4)), 9.99999991225835e-08, 1e-21);
}

TEST(SaveState, FreshBlocksAndARoundTrip) {
  reset_blocks();
  double reals[save_reals];
  int ints[save_ints];
  save_state(reals, ints);
  EXPECT_EQ(ints[39], 1);
  EXPECT_EQ(ints[40], 6);
  for (int i = 0; i < 39; ++i) EXPECT_EQ(ints[i], 0);

  solver_state.RESERVED_REAL = 1.5;
  solver_state.ROUNDOFF = 2.5;     // last double
  solver_state.ILLEGAL_COUNT = 3;  // first integer
  solver_state.ORDER_USED = 4;     // last integer
  message_control.PRINT_FLAG = 0;
  message_control.MESSAGE_UNIT = 9;
  save_state(reals, ints);
  EXPECT_EQ(reals[0], 1.5);
  EXPECT_EQ(reals[218], 2.5);
  EXPECT_EQ(ints[0], 3);
  EXPECT_EQ(ints[38], 4);
  EXPECT_EQ(ints[39], 0);
  EXPECT_EQ(ints[40], 9);

  reset_blocks();
  restore_state(reals, ints);
  EXPECT_EQ(solver_state.RESERVED_REAL, 1.5);
  EXPECT_EQ(solver_state.ROUNDOFF, 2.5);
  EXPECT_EQ(solver_state.ILLEGAL_COUNT, 3);
  EXPECT_EQ(solver_state.ORDER_USED, 4);
  EXPECT_EQ(message_control.PRINT_FLAG, 0);
  EXPECT_EQ(message_control.MESSAGE_UNIT, 9);
  reset_blocks();
}

void decay(int*, double*, double* y, double* ydot) { ydot[0] = -y[0]; }

// Two problems interleaved through save / restore give exactly the results
// of each run alone.
TEST(SaveState, InterleavesTwoProblems) {
  auto run_alone = [](double y0, int steps_out, std::vector<double>& out) {
    reset_blocks();
    problem p(1, 22);
    p.y[0] = y0;
    p.rtol[0] = 1e-6;
    p.atol[0] = 1e-10;
    for (int k = 1; k <= steps_out; ++k) {
      p.tout = 0.5 * k;
      p.call(decay);
      out.push_back(p.y[0]);
    }
  };
  std::vector<double> alone_a, alone_b;
  run_alone(1.0, 6, alone_a);
  run_alone(3.0, 6, alone_b);

  reset_blocks();
  problem a(1, 22), b(1, 22);
  for (problem* p : {&a, &b}) {
    p->rtol[0] = 1e-6;
    p->atol[0] = 1e-10;
  }
  a.y[0] = 1.0;
  b.y[0] = 3.0;
  double ra[save_reals], rb[save_reals];
  int ia[save_ints], ib[save_ints];
  save_state(rb, ib);  // b starts from fresh blocks too
  for (int k = 1; k <= 6; ++k) {
    if (k > 1) restore_state(ra, ia);
    a.tout = 0.5 * k;
    a.call(decay);
    save_state(ra, ia);
    restore_state(rb, ib);
    b.tout = 0.5 * k;
    b.call(decay);
    save_state(rb, ib);
    EXPECT_EQ(a.y[0], alone_a[k - 1]);
    EXPECT_EQ(b.y[0], alone_b[k - 1]);
  }
  reset_blocks();
}

// Places of members in the saved arrays: the doubles in declaration order,
// then the integers.
constexpr int real_place(std::size_t offset) { return static_cast<int>(offset / sizeof(double)); }
constexpr int int_place(std::size_t offset) {
  return static_cast<int>((offset - solver_state_reals * sizeof(double)) / sizeof(int));
}
constexpr int coef_at = real_place(offsetof(solver_state_block, COEF));
constexpr int coef_table_at = real_place(offsetof(solver_state_block, COEF_TABLE));
constexpr int hl_ratio_at = real_place(offsetof(solver_state_block, HL_RATIO));
constexpr int solve_error_at = int_place(offsetof(solver_state_block, SOLVE_ERROR));
constexpr int matrix_error_at = int_place(offsetof(solver_state_block, MATRIX_ERROR));
constexpr int order_at = int_place(offsetof(solver_state_block, ORDER));

// What a run leaves in the saved arrays. Loading the coefficients of order q
// sets COEF(1..q+1) only: after MAXORD is lowered to 2 from a higher order,
// COEF(1..3) are order 2's and the places beyond keep the higher orders'
// values. A run that solves succeeds in every solve (SOLVE_ERROR 0).
TEST(SaveState, AfterARunTheCoefficientsBeyondTheOrderKeepTheirValues) {
  reset_blocks();
  problem p(3, 22);
  robertson_values(p);
  p.tout = 40.0;
  p.call(robertson_f);
  ASSERT_EQ(p.istate, 2);
  double before[save_reals];
  int ints_before[save_ints];
  save_state(before, ints_before);
  ASSERT_GE(ints_before[order_at], 4);

  p.iwork[4] = 2;  // MAXORD
  p.iopt = 1;
  p.istate = 3;
  p.tout = 400.0;
  p.call(robertson_f);
  ASSERT_EQ(p.istate, 2);
  double after[save_reals];
  int ints_after[save_ints];
  save_state(after, ints_after);
  ASSERT_LE(ints_after[order_at], 2);

  const double* order2 = after + coef_table_at + 13 * 1;  // COEF_TABLE(., 2)
  for (int i = 0; i < 3; ++i) EXPECT_EQ(after[coef_at + i], order2[i]) << "COEF(" << i + 1 << ")";
  for (int i = 3; i < 13; ++i)
    EXPECT_EQ(after[coef_at + i], before[coef_at + i]) << "COEF(" << i + 1 << ")";
  EXPECT_NE(before[coef_at + 3], 0.0);  // a coefficient of order 3 or more stands there
  EXPECT_EQ(ints_after[solve_error_at], 0);
  EXPECT_EQ(ints_after[matrix_error_at], 0);
  reset_blocks();
}

// Functional iteration forms no matrix: HL_RATIO keeps its start value 0
// through every step-size change, and no solve ever sets SOLVE_ERROR.
TEST(SaveState, AfterAFunctionalIterationRunNoMatrixValuesStand) {
  reset_blocks();
  problem p(1, 10);
  p.y[0] = 1.0;
  p.rtol[0] = 1e-6;
  p.atol[0] = 1e-10;
  p.tout = 2.0;
  p.call(decay);
  ASSERT_EQ(p.istate, 2);
  ASSERT_GT(p.steps(), 5);
  double reals[save_reals];
  int ints[save_ints];
  save_state(reals, ints);
  EXPECT_EQ(reals[hl_ratio_at], 0.0);
  EXPECT_EQ(ints[solve_error_at], 0);
  EXPECT_EQ(ints[matrix_error_at], 0);
  EXPECT_EQ(p.jacobians(), 0);
  reset_blocks();
}

class Interpolation : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_blocks();
    p.y[0] = 1.0;
    p.rtol[0] = 1e-8;
    p.atol[0] = 1e-12;
    p.tout = 1.0;
    p.call(decay);
    ASSERT_EQ(p.istate, 2);
  }
  void TearDown() override { reset_blocks(); }
  const double* hist() const { return p.rwork.data() + 20; }
  problem p{1, 22};
};

TEST_F(Interpolation, AtTcurGivesTheFirstColumnAndInsideTheStepTheSolution) {
  const solver_state_block& s = solver_state;
  double d = -1.0;
  int status = 9;
  interpolate(s.TCUR, 0, hist(), s.HIST_LEN, &d, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(d, hist()[0]);
  const double t = s.TCUR - 0.5 * s.HU;
  interpolate(t, 0, hist(), s.HIST_LEN, &d, status);
  EXPECT_NEAR(d, std::exp(-t), 1e-7);
  interpolate(t, 1, hist(), s.HIST_LEN, &d, status);
  EXPECT_EQ(status, 0);
  EXPECT_NEAR(d, -std::exp(-t), 1e-5);
}

TEST_F(Interpolation, IllegalOrderAndTimeGiveTheirMessages) {
  const solver_state_block& s = solver_state;
  message_capture capture;
  double d = 42.0;
  int status = 0;
  interpolate(s.TCUR, s.ORDER + 1, hist(), s.HIST_LEN, &d, status);
  EXPECT_EQ(status, -1);
  interpolate(s.TCUR + 0.5 * s.HU, 0, hist(), s.HIST_LEN, &d, status);
  EXPECT_EQ(status, -2);
  EXPECT_EQ(d, 42.0);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 6u);
  char expected_k[64];
  std::snprintf(expected_k, sizeof expected_k, "      IN ABOVE MESSAGE,  I1 =%10d", s.ORDER + 1);
  EXPECT_EQ(lines[0], text(messages::interpolation_k_illegal));
  EXPECT_EQ(lines[1], expected_k);
  EXPECT_EQ(lines[2], text(messages::interpolation_t_illegal));
  EXPECT_EQ(lines[3].substr(0, 29), "      IN ABOVE MESSAGE,  R1 =");
  EXPECT_EQ(lines[4], text(messages::interpolation_t_outside));
  EXPECT_EQ(lines[4].size(), 61u);
  EXPECT_EQ(lines[5].substr(0, 21), "      IN ABOVE,  R1 =");
  EXPECT_EQ(lines[5].size(), 21u + 21 + 3 + 4 + 21);
}

// Steps whose powers are exact (a numerator over a power of two, every power
// below 2^53): the K-th derivative at TCUR is K! * column K+1 / H^K, and
// 1/H^K must be the correctly rounded reciprocal of the exact power for every
// K up to the order. Raising the rounded 1/H to the power K misses it.
TEST(InterpolationScaling, DividesByTheExactPowerOfTheStepOnce) {
  struct step {
    std::int64_t numerator;
    int two_exponent;  // H = numerator * 2^two_exponent
  } steps[] = {{3, 0}, {1, -1}, {10, 0}, {3, -1}, {-3, 0}, {5, -3}, {7, 0}};
  const int order = 12;
  for (const step& st : steps) {
    reset_blocks();
    solver_state_block& s = solver_state;
    const double h = std::ldexp(static_cast<double>(st.numerator), st.two_exponent);
    s.ORDER = order;
    s.NCOEF = order + 1;
    s.NEQ_CURRENT = 1;
    s.H = h;
    s.HU = h;
    s.TCUR = 2.0;
    s.ROUNDOFF = machine_constant(4);
    std::int64_t numerator_power = 1;
    double factorial = 1.0;
    for (int k = 1; k <= order; ++k) {
      numerator_power *= st.numerator;
      factorial *= k;
      if (std::llabs(numerator_power) >= (std::int64_t{1} << 53)) break;
      const double exact_power =
          std::ldexp(static_cast<double>(numerator_power), st.two_exponent * k);
      std::vector<double> hist(order + 1, 0.0);
      hist[k] = 1.0;
      double d = 0.0;
      int status = 9;
      interpolate(s.TCUR, k, hist.data(), 1, &d, status);
      ASSERT_EQ(status, 0);
      EXPECT_EQ(d, factorial * (1.0 / exact_power)) << "H " << h << ", K " << k;
    }
  }
  reset_blocks();
}

// y(S) = h1 + h2*S + h3*S^2 with S = (T - TCUR)/H: the K-th derivative in t
// at S = -1/2 for H = 2, written into the first N places only.
TEST(InterpolationScaling, DerivativesOfAQuadraticInsideTheStep) {
  struct row {
    int k;
    double expected;
  } rows[] = {{0, 1.0 - 1.5 + 1.25}, {1, (3.0 - 5.0) / 2.0}, {2, 2.0 * 5.0 / 4.0}};
  for (const row& r : rows) {
    reset_blocks();
    solver_state_block& s = solver_state;
    s.ORDER = 2;
    s.NCOEF = 3;
    s.NEQ_CURRENT = 1;
    s.H = 2.0;
    s.HU = 2.0;
    s.TCUR = 10.0;
    s.ROUNDOFF = machine_constant(4);
    const double hist[3] = {1.0, 3.0, 5.0};
    double d[2] = {-1.0, 7.0};
    int status = 9;
    interpolate(s.TCUR - 1.0, r.k, hist, 1, d, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(d[0], r.expected) << "K " << r.k;
    EXPECT_EQ(d[1], 7.0) << "K " << r.k << ": beyond N";
  }
  reset_blocks();
}

}  // namespace
}  // namespace integrator::testing
