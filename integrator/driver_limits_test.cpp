// The driver's limits and slack: the step and warning allowances, the first
// step size, the TCRIT and "TCUR - HU" time tests, the values every start
// sets, ISTATE 3 changes and the exact lengths of the caller's arrays.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "integrator/support.h"
#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

// The integrator's unit roundoff: the float nearest 1e-14, widened.
const double roundoff = std::bit_cast<double>(std::uint64_t{0x3D06849B80000000});
const double inf = std::numeric_limits<double>::infinity();

// A real in the 21-character exponent field (two-digit exponents only).
std::string field(double v) {
  if (v == 0.0) return "  0.0000000000000D+00";
  char e[32];
  std::snprintf(e, sizeof e, "%.12e", std::fabs(v));  // d.dddddddddddde+XX
  const int exponent = std::atoi(e + 15) + 1;
  char out[32];
  std::snprintf(out, sizeof out, "%s0.%c%.12sD%c%02d", v < 0 ? "-" : "", e[0], e + 2,
                exponent < 0 ? '-' : '+', std::abs(exponent));
  std::string s = out;
  return std::string(21 - s.size(), ' ') + s;
}
std::string one_real(double r1) { return "      IN ABOVE MESSAGE,  R1 =" + field(r1); }
std::string two_reals(double r1, double r2) {
  return "      IN ABOVE,  R1 =" + field(r1) + "   R2 =" + field(r2);
}

std::vector<std::string> mxstep_lines(int mxstep, double tcur) {
  return {text("INTEG--  AT CURRENT T (=R1), MXSTEP (=I1) STEPS   "),
          text("      TAKEN ON THIS CALL BEFORE REACHING TOUT     "), ints(mxstep), one_real(tcur)};
}

double omega = 1.0;
void oscillator(int*, double*, double* y, double* ydot) {
  ydot[0] = omega * y[1];
  ydot[1] = -omega * y[0];
}

// y' = c: every order of either method is exact, so each first attempt passes.
const double slope[3] = {0.5, -2.0, 3.0};
void linear_growth(int* neq, double*, double*, double* ydot) {
  for (int i = 0; i < neq[0]; ++i) ydot[i] = slope[i];
}

void decay3(int* neq, double*, double* y, double* ydot) {
  for (int i = 0; i < neq[0]; ++i) ydot[i] = -(i + 1.0) * y[i];
}

class DriverLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_blocks();
    omega = 1.0;
  }
  void TearDown() override { reset_blocks(); }
};

// --- MXSTEP and MXHNIL ---

struct step_limit {
  int iopt, iwork6, mxstep;
};

TEST_F(DriverLimits, EachCallTakesAtMostMxstepSteps) {
  // IOPT 0 ignores IWORK(6); with IOPT 1 a zero means the default.
  const step_limit rows[] = {{0, 37, 500}, {1, 0, 500}, {1, 37, 37}, {1, 1, 1}};
  for (const step_limit& r : rows) {
    SCOPED_TRACE("IOPT " + std::to_string(r.iopt) + " IWORK(6) " + std::to_string(r.iwork6));
    reset_blocks();
    problem p(2, 10);
    p.y = {1.0, 0.0};
    p.rtol[0] = 1e-6;
    p.atol[0] = 1e-9;
    p.iopt = r.iopt;
    p.iwork[5] = r.iwork6;
    p.tout = 1e5;                            // thousands of periods away
    for (int call = 1; call <= 2; ++call) {  // a fresh allowance per call
      message_capture capture;
      p.call(oscillator);
      EXPECT_EQ(p.istate, -1);
      EXPECT_EQ(p.steps(), call * r.mxstep);
      EXPECT_EQ(p.t, p.rwork[12]);
      EXPECT_EQ(p.y[0], p.rwork[20]);
      EXPECT_EQ(capture.lines(), mxstep_lines(r.mxstep, p.rwork[12]));
      p.istate = 2;
    }
  }
}

struct warning_limit {
  int iopt, iwork7, mxhnil, mxstep;
};

// At T = 1e10 the oscillator's steps of about 1e-9 all leave T unchanged: every
// step is preceded by the check, so HNIL_COUNT counts the steps.
TEST_F(DriverLimits, TPlusHEqualsTWarningIsIssuedMxhnilTimesPerProblem) {
  const warning_limit rows[] = {
      {0, 3, 10, 500}, {1, 0, 10, 30}, {1, 4, 4, 30}, {1, 12, 12, 30}, {1, 1, 1, 30}};
  auto expect_warnings = [](const std::vector<std::string>& lines, const warning_limit& r) {
    std::vector<std::string> want;
    for (int k = 1; k <= r.mxhnil; ++k) {
      want.push_back(text("INTEG--  WARNING..INTERNAL T (=R1) AND H (=R2) ARE"));
      want.push_back(text("      SUCH THAT IN THE MACHINE, T + H = T ON THE NEXT STEP  "));
      want.push_back(text("      (H = STEP SIZE). SOLVER WILL CONTINUE ANYWAY"));
      want.push_back(two_reals(1e10, 0.0).substr(0, 49) + "~");  // H varies
    }
    want.push_back(text("INTEG--  ABOVE WARNING HAS BEEN ISSUED I1 TIMES.  "));
    want.push_back(text("      IT WILL NOT BE ISSUED AGAIN FOR THIS PROBLEM"));
    want.push_back(ints(r.mxhnil));
    for (const std::string& l : mxstep_lines(r.mxstep, 1e10)) want.push_back(l);
    ASSERT_EQ(lines.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
      if (want[i].back() == '~') {
        EXPECT_EQ(lines[i].substr(0, 49), want[i].substr(0, 49)) << i;
        EXPECT_EQ(lines[i].size(), 70u) << i;
      } else {
        EXPECT_EQ(lines[i], want[i]) << i;
      }
    }
  };
  for (const warning_limit& r : rows) {
    SCOPED_TRACE("IOPT " + std::to_string(r.iopt) + " IWORK(7) " + std::to_string(r.iwork7));
    reset_blocks();
    omega = 1e8;
    problem p(2, 10);
    p.rtol[0] = 1e-6;
    p.atol[0] = 1e-6;
    p.iopt = r.iopt;
    p.iwork[5] = 30;
    p.iwork[6] = r.iwork7;
    for (int start = 0; start < 2; ++start) {  // a new problem warns again
      p.y = {1.0, 1.0};
      p.t = 1e10;
      p.tout = 2e10;
      p.istate = 1;
      {
        message_capture capture;
        p.call(oscillator);
        ASSERT_EQ(p.istate, -1);
        EXPECT_EQ(p.rwork[12], 1e10);
        EXPECT_EQ(solver_state.HNIL_COUNT, r.mxstep);
        expect_warnings(capture.lines(), r);
      }
      message_capture capture;  // the same problem goes on in silence
      p.istate = 2;
      p.call(oscillator);
      EXPECT_EQ(p.istate, -1);
      EXPECT_EQ(solver_state.HNIL_COUNT, 2 * r.mxstep);
      EXPECT_EQ(capture.lines(), mxstep_lines(r.mxstep, 1e10));
    }
  }
}

// --- the first step size ---

struct first_step {
  const char* name;
  int itol = 1;
  std::vector<double> rtol = {1e-4, 1e-4, 1e-4}, atol = {1e-6, 1e-6, 1e-6};
  std::vector<double> y = {1.0, 2.0, -3.0};
  double t = 0.0, tout = 10.0;
  int itask = 2, iopt = 0;
  double h0 = 0.0, hmax = 0.0, tcrit = 0.0;
};

// The first step size from its definition, with the inputs of the row.
double expected_first_step(const first_step& r) {
  const int n = 3;
  auto rtoli = [&](int i) { return r.itol >= 3 ? r.rtol[i] : r.rtol[0]; };
  auto atoli = [&](int i) { return r.itol == 2 || r.itol == 4 ? r.atol[i] : r.atol[0]; };
  double h0 = r.h0;
  if (h0 != 0.0 && (r.itask == 4 || r.itask == 5) && (r.t + h0 - r.tcrit) * h0 > 0.0)
    h0 = r.tcrit - r.t;
  if (h0 == 0.0) {
    const double tdist = std::fabs(r.tout - r.t);
    const double w0 = std::max(std::fabs(r.t), std::fabs(r.tout));
    double tol = 0.0;
    for (int i = 0; i < n; ++i) tol = std::max(tol, rtoli(i));
    if (tol == 0.0)
      for (int i = 0; i < n; ++i)
        if (r.y[i] != 0.0) tol = std::max(tol, atoli(i) / std::fabs(r.y[i]));
    tol = std::min(std::max(tol, 100.0 * roundoff), 0.001);
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      const double p = slope[i] * (1.0 / (rtoli(i) * std::fabs(r.y[i]) + atoli(i)));
      sum += p * p;
    }
    sum = std::sqrt(sum / n);
    h0 = 1.0 / std::sqrt(tol * (sum * sum) + 1.0 / (tol * (w0 * w0)));
    h0 = std::min(h0, tdist);
    if (r.tout < r.t) h0 = -h0;
  }
  if (r.hmax > 0.0 && std::fabs(h0) * (1.0 / r.hmax) > 1.0)
    h0 = h0 / (std::fabs(h0) * (1.0 / r.hmax));
  return h0;
}

class FirstStep : public ::testing::TestWithParam<first_step> {
 protected:
  void SetUp() override { reset_blocks(); }
  void TearDown() override { reset_blocks(); }
};

// The first attempt always passes on y' = c, so HU after it is the H it used.
TEST_P(FirstStep, IsTheStepOfTheFirstAttempt) {
  const first_step& r = GetParam();
  problem p(3, 22);
  p.itol = r.itol;
  p.rtol = r.rtol;
  p.atol = r.atol;
  p.y = r.y;
  p.t = r.t;
  p.tout = r.tout;
  p.itask = r.itask;
  p.iopt = r.iopt;
  p.rwork[0] = r.tcrit;
  p.rwork[4] = r.h0;
  p.rwork[5] = r.hmax;
  p.call(linear_growth);
  ASSERT_EQ(p.istate, 2);
  EXPECT_EQ(p.steps(), 1);
  EXPECT_EQ(p.rwork[10], expected_first_step(r));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FirstStep,
    ::testing::Values(
        first_step{.name = "relative_tolerance"},
        first_step{.name = "tolerance_floor", .rtol = {1e-15}, .atol = {1.0}},
        first_step{.name = "tolerance_cap", .rtol = {0.01}},
        first_step{.name = "largest_rtol_itol3", .itol = 3, .rtol = {1e-6, 1e-4, 1e-5}},
        first_step{.name = "largest_rtol_itol4",
                   .itol = 4,
                   .rtol = {1e-5, 2e-4, 1e-7},
                   .atol = {1e-8, 1e-9, 1e-8}},
        first_step{.name = "atol_over_y_itol1", .rtol = {0.0}, .y = {0.5, 0.0, 4.0}},
        first_step{.name = "atol_over_y_itol2",
                   .itol = 2,
                   .rtol = {0.0},
                   .atol = {1e-6, 1e-5, 3e-5},
                   .y = {0.5, 0.0, 4.0}},
        first_step{.name = "atol_over_y_itol3",
                   .itol = 3,
                   .rtol = {0.0, 0.0, 0.0},
                   .atol = {2e-6, 1.0, 1.0},
                   .y = {0.5, 0.0, 4.0}},
        first_step{.name = "atol_over_y_itol4",
                   .itol = 4,
                   .rtol = {0.0, 0.0, 0.0},
                   .atol = {1e-6, 1e-5, 3e-5},
                   .y = {0.5, 0.0, 4.0}},
        first_step{.name = "all_y_zero", .rtol = {0.0}, .y = {0.0, 0.0, 0.0}},
        first_step{.name = "tout_close", .t = 1000.0, .tout = 1000.001},
        first_step{.name = "backward", .tout = -10.0},
        first_step{.name = "backward_toward_zero", .t = 10.0, .tout = 1.0},
        first_step{.name = "backward_tout_close", .t = -1000.0, .tout = -1000.001},
        first_step{.name = "hmax_caps_computed", .iopt = 1, .hmax = 1e-4},
        first_step{.name = "hmax_caps_computed_backward", .tout = -10.0, .iopt = 1, .hmax = 1e-4},
        first_step{.name = "hmax_above_computed", .iopt = 1, .hmax = 1e3},
        first_step{.name = "given", .iopt = 1, .h0 = 0.0123},
        first_step{.name = "given_beyond_tout", .tout = 0.01, .iopt = 1, .h0 = 0.05},
        first_step{.name = "given_capped_by_hmax", .iopt = 1, .h0 = 0.5, .hmax = 0.1},
        first_step{.name = "given_trimmed_itask5",
                   .t = 1.0,
                   .tout = 1.2,
                   .itask = 5,
                   .iopt = 1,
                   .h0 = 0.5,
                   .tcrit = 1.3},
        first_step{.name = "given_trimmed_itask4",
                   .t = 1.0,
                   .tout = 1.2,
                   .itask = 4,
                   .iopt = 1,
                   .h0 = 0.5,
                   .tcrit = 1.3},
        first_step{.name = "given_short_of_tcrit",
                   .t = 1.0,
                   .tout = 1.2,
                   .itask = 5,
                   .iopt = 1,
                   .h0 = 0.1,
                   .tcrit = 1.3},
        first_step{.name = "tcrit_unused_itask2",
                   .t = 1.0,
                   .tout = 1.2,
                   .iopt = 1,
                   .h0 = 0.5,
                   .tcrit = 1.3}),
    [](const ::testing::TestParamInfo<first_step>& info) { return std::string(info.param.name); });

// T < TOUT < 0 with TOUT - T exactly 2*ROUNDOFF*|T|: D = 2^(j+7) lies on the
// grid of T = -D/(2*ROUNDOFF), 128 units of its last place.
TEST_F(DriverLimits, ToutCloserToTThanTwiceTheRoundoffCannotStart) {
  double t = 0.0, d = 0.0;
  for (int j = -30; j <= 0 && d == 0.0; ++j) {
    const double dj = std::ldexp(1.0, j + 7);
    const double tj = -(dj / (2.0 * roundoff));
    if ((tj + dj) - tj == dj && 2.0 * roundoff * std::fabs(tj) == dj) {
      t = tj;
      d = dj;
    }
  }
  ASSERT_NE(d, 0.0);
  const double at_bound = t + d;
  const double below = std::nextafter(at_bound, t);
  {
    message_capture capture;
    problem p(3, 22);
    p.rtol[0] = 1e-4;
    p.atol[0] = 1e-6;
    p.t = t;
    p.tout = below;
    p.call(linear_growth);
    EXPECT_EQ(p.istate, -3);
    EXPECT_EQ(p.t, t);
    const std::vector<std::string> want = {
        text("INTEG--  TOUT (=R1) TOO CLOSE TO T(=R2) TO START INTEGRATION"), two_reals(below, t)};
    EXPECT_EQ(capture.lines(), want);
  }
  reset_blocks();
  message_capture capture;
  problem p(3, 22);
  p.y = {1.0, 2.0, -3.0};
  p.rtol[0] = 1e-4;
  p.atol[0] = 1e-6;
  p.t = t;
  p.tout = at_bound;
  p.call(linear_growth);
  EXPECT_EQ(p.istate, 2);
  EXPECT_EQ(p.t, at_bound);
  EXPECT_EQ(capture.lines(), std::vector<std::string>{});
}

// --- values set at every start ---

TEST_F(DriverLimits, EveryStartSetsItsCountersLimitsAndStartUpStep) {
  solver_state_block& s = solver_state;
  auto spoil = [&s] {
    s.H = 7.0;
    s.HU = 7.0;
    s.HL_CHANGE_MAX = 7.0;
    s.ORDER = 7;
    s.F_COUNT = s.STEP_COUNT = s.JAC_COUNT = s.ORDER_USED = s.HNIL_COUNT = s.STEPS_AT_CALL = 7;
    s.MAX_CORR = s.MAX_MATRIX_AGE = s.MAX_CONV_FAIL = 7;
  };
  problem p(3, 22);
  p.y = {1.0, 0.0, 2.0};
  p.rtol[0] = 1e-4;
  p.tout = 1.0;  // ATOL 0 and Y(2) = 0: the start stops at the zero weight
  spoil();
  {
    message_capture capture;
    p.call(linear_growth);
    ASSERT_EQ(p.istate, -3);
  }
  EXPECT_EQ(s.H, 1.0);
  EXPECT_EQ(s.HU, 0.0);
  EXPECT_EQ(s.ORDER, 1);
  EXPECT_EQ(s.F_COUNT, 1);
  EXPECT_EQ(s.STEP_COUNT + s.JAC_COUNT + s.ORDER_USED + s.HNIL_COUNT + s.STEPS_AT_CALL, 0);
  EXPECT_EQ(s.HL_CHANGE_MAX, 0.3);
  EXPECT_EQ(s.MAX_CORR, 3);
  EXPECT_EQ(s.MAX_MATRIX_AGE, 20);
  EXPECT_EQ(s.MAX_CONV_FAIL, 10);
  // and on a start that goes on to its first step
  p.atol[0] = 1e-6;
  p.istate = 1;
  p.itask = 2;
  spoil();
  p.call(linear_growth);
  ASSERT_EQ(p.istate, 2);
  EXPECT_EQ(p.steps(), 1);
  EXPECT_EQ(s.HL_CHANGE_MAX, 0.3);
  EXPECT_EQ(s.MAX_CORR, 3);
  EXPECT_EQ(s.MAX_MATRIX_AGE, 20);
  EXPECT_EQ(s.MAX_CONV_FAIL, 10);
}

struct order_limit {
  int mf, iopt, iwork5, maxord;
};

// The maximum order also sets the history's share of RWORK (IWORK(17)).
TEST_F(DriverLimits, MaximumOrderComesFromTheMethodOrIwork5) {
  const order_limit rows[] = {{10, 0, 3, 12},  {22, 0, 3, 5}, {10, 1, 0, 12}, {22, 1, 0, 5},
                              {10, 1, 7, 7},   {22, 1, 7, 5}, {22, 1, 3, 3},  {10, 1, 12, 12},
                              {10, 1, 13, 12}, {22, 1, 6, 5}, {22, 1, 1, 1}};
  for (const order_limit& r : rows) {
    SCOPED_TRACE("MF " + std::to_string(r.mf) + " IOPT " + std::to_string(r.iopt) + " IWORK(5) " +
                 std::to_string(r.iwork5));
    reset_blocks();
    problem p(3, r.mf);
    p.y = {1.0, 1.0, 1.0};
    p.rtol[0] = 1e-6;
    p.atol[0] = 1e-9;
    p.itask = 2;
    p.tout = 1.0;
    p.iopt = r.iopt;
    p.iwork[4] = r.iwork5;
    p.call(decay3);
    ASSERT_EQ(p.istate, 2);
    EXPECT_EQ(solver_state.MAXORD, r.maxord);
    const int matrix_len = r.mf == 22 ? 3 * 3 + 2 : 0;
    EXPECT_EQ(p.iwork[16], 20 + (r.maxord + 1) * 3 + matrix_len + 3 * 3);
  }
}

// --- time tests after some steps ---

struct now {
  double dir, tcur, h, hu;
  double tp() const { return tcur - hu * (1.0 + 100.0 * roundoff); }
  double ahead(double x) const { return std::nextafter(x, dir * inf); }
  double behind(double x) const { return std::nextafter(x, -dir * inf); }
  // The farthest TCRIT ahead that counts as hit, |TCUR - TCRIT| <= 100*ROUNDOFF*HMX.
  double last_hit() const {
    const double bound = 100.0 * roundoff * (std::fabs(tcur) + std::fabs(h));
    double c = tcur + dir * bound;
    while (std::fabs(tcur - c) > bound) c = behind(c);
    while (std::fabs(tcur - ahead(c)) <= bound) c = ahead(c);
    return c;
  }
};

// y' = 0.5 from 0 in direction dir, three single steps.
now stepped(problem& p, double dir) {
  p.y[0] = 1.0;
  p.rtol[0] = 1e-6;
  p.atol[0] = 1e-9;
  p.itask = 2;
  p.tout = 10.0 * dir;
  for (int k = 0; k < 3; ++k) {
    p.call(linear_growth);
    p.istate = 2;
  }
  return {dir, p.rwork[12], p.rwork[11], p.rwork[10]};
}

enum class ends { at_tout, at_tcrit, at_tcur };

struct continuation {
  const char* name;
  int itask;
  std::function<void(problem&, const now&)> set;  // TOUT and TCRIT
  int istate, steps;
  ends t;
  std::function<std::vector<std::string>(const problem&, const now&)> lines;
};

std::vector<std::string> none(const problem&, const now&) { return {}; }

std::vector<std::string> trouble_at_tout(const problem& p, const now& n) {
  return {text("INTRP--  T (=R1) ILLEGAL      "),
          one_real(p.tout),
          text("      T NOT IN INTERVAL TCUR - HU (= R1) TO TCUR (=R2)      "),
          two_reals(n.tp(), n.tcur),
          text("INTEG--  TROUBLE FROM INTRP. ITASK = I1, TOUT = R1"),
          ints(p.itask),
          one_real(p.tout)};
}

std::vector<std::string> tcrit_behind_tcur(const problem& p, const now& n) {
  return {text("INTEG--  ITASK = 4 OR 5 AND TCRIT (=R1) BEHIND TCUR (=R2)   "),
          two_reals(p.rwork[0], n.tcur)};
}

class Continuation : public ::testing::TestWithParam<continuation> {
 protected:
  void SetUp() override { reset_blocks(); }
  void TearDown() override { reset_blocks(); }
};

TEST_P(Continuation, TimeTestsWithTheirSlack) {
  const continuation& c = GetParam();
  for (double dir : {1.0, -1.0}) {
    SCOPED_TRACE(dir > 0 ? "forward" : "backward");
    reset_blocks();
    problem p(1, 22);
    const now n = stepped(p, dir);
    ASSERT_EQ(p.steps(), 3);
    p.itask = c.itask;
    c.set(p, n);
    message_capture capture;
    p.call(linear_growth);
    EXPECT_EQ(p.istate, c.istate);
    EXPECT_EQ(p.steps(), 3 + c.steps);
    if (c.istate == 2) {
      const double t = c.t == ends::at_tout ? p.tout : c.t == ends::at_tcrit ? p.rwork[0] : n.tcur;
      EXPECT_EQ(p.t, t);
    }
    EXPECT_EQ(capture.lines(), c.lines(p, n));
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, Continuation,
                         ::testing::Values(
                             continuation{"itask3_tout_at_tp", 3,
                                          [](problem& p, const now& n) { p.tout = n.tp(); }, 2, 0,
                                          ends::at_tcur, none},
                             continuation{
                                 "itask3_tout_behind_tp", 3,
                                 [](problem& p, const now& n) { p.tout = n.behind(n.tp()); }, -3, 0,
                                 ends::at_tcur,
                                 [](const problem& p, const now& n) -> std::vector<std::string> {
                                   return {text("INTEG--  ITASK = I1 AND TOUT (=R1) BEHIND TCUR - "
                                                "HU (= R2)  "),
                                           ints(3), two_reals(p.tout, n.tp())};
                                 }},
                             continuation{"itask1_tout_at_tp", 1,
                                          [](problem& p, const now& n) { p.tout = n.tp(); }, 2, 0,
                                          ends::at_tout, none},
                             continuation{"itask1_tout_at_tcur", 1,
                                          [](problem& p, const now& n) { p.tout = n.tcur; }, 2, 0,
                                          ends::at_tout, none},
                             continuation{"itask1_tout_behind_tp", 1,
                                          [](problem& p, const now& n) {
                                            p.tout = n.behind(n.tp());
                                          },
                                          -3, 0, ends::at_tout, trouble_at_tout},
                             continuation{"itask4_tout_behind_tp", 4,
                                          [](problem& p, const now& n) {
                                            p.tout = n.behind(n.tp());
                                            p.rwork[0] = n.tcur + n.h;
                                          },
                                          -3, 0, ends::at_tout, trouble_at_tout},
                             continuation{"itask5_tcrit_at_tcur", 5,
                                          [](problem& p, const now& n) { p.rwork[0] = n.tcur; }, 2,
                                          0, ends::at_tcrit, none},
                             continuation{"itask4_tcrit_at_tcur", 4,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = p.tout = n.tcur;
                                          },
                                          2, 0, ends::at_tout, none},
                             continuation{"itask5_tcrit_behind_tcur", 5,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = n.behind(n.tcur);
                                          },
                                          -3, 0, ends::at_tcrit, tcrit_behind_tcur},
                             // TCRIT behind TOUT as well: the TCUR test comes first
                             continuation{"itask4_tcrit_behind_tcur", 4,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = n.behind(n.tcur);
                                            p.tout = n.tcur + n.h;
                                          },
                                          -3, 0, ends::at_tcrit, tcrit_behind_tcur},
                             continuation{"itask4_tcrit_behind_tout", 4,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = n.tcur + n.h;
                                            p.tout = n.ahead(p.rwork[0]);
                                          },
                                          -3, 0, ends::at_tcrit,
                                          [](const problem& p,
                                             const now&) -> std::vector<std::string> {
                                            return {text("INTEG--  ITASK = 4 OR 5 AND TCRIT (=R1) "
                                                         "BEHIND TOUT (=R2)   "),
                                                    two_reals(p.rwork[0], p.tout)};
                                          }},
                             continuation{"itask4_tcrit_at_tout", 4,
                                          [](problem& p,
                                             const now& n) { p.rwork[0] = p.tout = n.tcur + n.h; },
                                          2, 1, ends::at_tout, none},
                             // within the hit slack no step is taken; just beyond it, one step to
                             // TCRIT
                             continuation{"itask5_tcrit_last_hit", 5,
                                          [](problem& p,
                                             const now& n) { p.rwork[0] = n.last_hit(); },
                                          2, 0, ends::at_tcrit, none},
                             continuation{"itask5_tcrit_first_miss", 5,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = n.ahead(n.last_hit());
                                          },
                                          2, 1, ends::at_tcrit, none},
                             continuation{"itask4_tcrit_last_hit", 4,
                                          [](problem& p,
                                             const now& n) { p.rwork[0] = p.tout = n.last_hit(); },
                                          2, 0, ends::at_tcrit, none},
                             continuation{"itask4_tcrit_first_miss", 4,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = p.tout = n.ahead(n.last_hit());
                                          },
                                          2, 1, ends::at_tcrit, none}),
                         [](const ::testing::TestParamInfo<continuation>& info) {
                           return std::string(info.param.name);
                         });

// A step whose end, stretched by 4*ROUNDOFF, would pass TCRIT is cut to
// (TCRIT - TCUR)*(1 - 4*ROUNDOFF); the step routine then applies the cut as
// the ratio to the step it had planned. TCRIT at TCUR + H*(1 + k*ROUNDOFF):
// with k = 3.5 the step is cut, with k = 4.5 it is not. (Right at the bound
// the cut step would equal the planned one.)
TEST_F(DriverLimits, StepThatWouldPassTcritIsCutShortOfIt) {
  for (int itask : {4, 5}) {
    for (double dir : {1.0, -1.0}) {
      for (double k : {3.5, 4.5}) {
        SCOPED_TRACE("ITASK " + std::to_string(itask) + (dir > 0 ? " forward" : " backward") +
                     " k " + std::to_string(k));
        reset_blocks();
        problem p(1, 22);
        const now n = stepped(p, dir);
        const double tcrit = n.tcur + n.h * (1.0 + k * roundoff);
        p.itask = itask;
        p.rwork[0] = tcrit;
        p.tout = tcrit;
        p.call(linear_growth);
        ASSERT_EQ(p.istate, 2);
        EXPECT_EQ(p.steps(), 4);
        EXPECT_EQ(p.t, tcrit);
        const double cut = (tcrit - n.tcur) * (1.0 - 4.0 * roundoff);
        EXPECT_EQ(p.rwork[10], k < 4.0 ? n.h * (cut / n.h) : n.h);
        EXPECT_NE(cut, n.h);  // the two outcomes differ
      }
    }
  }
}

// --- interpolation inside the last step ---

TEST_F(DriverLimits, InterpolationAcceptsExactlyTheWidenedLastStep) {
  for (double dir : {1.0, -1.0}) {
    SCOPED_TRACE(dir > 0 ? "forward" : "backward");
    reset_blocks();
    problem p(1, 22);
    const now n = stepped(p, dir);
    const solver_state_block& s = solver_state;
    const double* hist = p.rwork.data() + 20;
    message_capture capture;
    double d = 42.0;
    int status = 9;
    for (double t : {n.tcur, n.tp()}) {
      for (int k : {0, s.ORDER}) {
        interpolate(t, k, hist, s.HIST_LEN, &d, status);
        EXPECT_EQ(status, 0) << "K " << k;
      }
    }
    d = 42.0;
    interpolate(n.tcur, -1, hist, s.HIST_LEN, &d, status);
    EXPECT_EQ(status, -1);
    const double outside[] = {n.behind(n.tp()), n.ahead(n.tcur)};
    for (double t : outside) {
      interpolate(t, 0, hist, s.HIST_LEN, &d, status);
      EXPECT_EQ(status, -2);
    }
    EXPECT_EQ(d, 42.0);
    std::vector<std::string> want = {text("INTRP--  K (=I1) ILLEGAL      "), ints(-1)};
    for (double t : outside) {
      want.push_back(text("INTRP--  T (=R1) ILLEGAL      "));
      want.push_back(one_real(t));
      want.push_back(text("      T NOT IN INTERVAL TCUR - HU (= R1) TO TCUR (=R2)      "));
      want.push_back(two_reals(n.tp(), n.tcur));
    }
    EXPECT_EQ(capture.lines(), want);
  }
}

// --- ISTATE 3 ---

// TOUT = TCUR: the ISTATE 3 call interpolates and takes no step, so what it
// did to the work arrays can be read afterwards.
struct neq_change {
  int neq;
  bool zeroed;
};

TEST_F(DriverLimits, FewerEquationsZeroTheHistoryColumnsBeyondTheOrder) {
  for (const neq_change& r : {neq_change{3, false}, neq_change{2, true}, neq_change{1, true}}) {
    SCOPED_TRACE("NEQ 3 to " + std::to_string(r.neq));
    reset_blocks();
    problem p(3, 22);
    p.y = {1.0, 1.0, 1.0};
    p.rtol[0] = 1e-6;
    p.atol[0] = 1e-9;
    p.itask = 2;
    p.tout = 10.0;
    for (int k = 0; k < 3; ++k) {
      p.call(decay3);
      ASSERT_EQ(p.istate, 2);
    }
    const int ncoef = solver_state.NCOEF;
    const int maxord = 5;
    ASSERT_LT(ncoef, maxord + 1);
    auto column = [&p](int j) { return p.rwork.begin() + 20 + (j - 1) * 3; };
    const std::vector<double> kept(column(ncoef + 1), column(maxord + 2));
    std::fill(column(ncoef + 1), column(maxord + 2), 7.0);
    const int matrix_work1 = 20 + (maxord + 1) * 3;
    p.rwork[matrix_work1] = 0.0;
    const std::vector<double> before = p.rwork;

    // tolerance arrays of exactly NEQ elements from now on
    p.neq = r.neq;
    p.itol = 4;
    p.rtol = std::vector<double>(r.neq, 1e-6);
    p.atol = std::vector<double>(r.neq, 1e-9);
    p.istate = 3;
    p.itask = 1;
    p.tout = p.rwork[12];
    p.call(decay3);
    ASSERT_EQ(p.istate, 2);
    EXPECT_EQ(p.steps(), 3);
    EXPECT_TRUE(std::equal(column(1), column(ncoef + 1), before.begin() + 20));
    for (auto v = column(ncoef + 1); v != column(maxord + 2); ++v)
      EXPECT_EQ(*v, r.zeroed ? 0.0 : 7.0) << "place " << (v - p.rwork.begin()) + 1;
    EXPECT_EQ(p.rwork[matrix_work1], std::sqrt(roundoff));

    if (!r.zeroed) std::copy(kept.begin(), kept.end(), column(ncoef + 1));
    p.istate = 2;
    p.tout = 2.0;
    p.call(decay3);
    ASSERT_EQ(p.istate, 2);
    for (int i = 0; i < r.neq; ++i) EXPECT_NEAR(p.y[i], std::exp(-(i + 1.0) * 2.0), 1e-5);
  }
}

// Lowering MAXORD below ORDER: column MAXORD + 2 now lies where MATRIX_WORK
// begins, and is saved into F_SAVE before that place gets sqrt(ROUNDOFF).
TEST_F(DriverLimits, LoweredMaximumOrderSavesTheColumnBeyondIt) {
  for (int drop : {1, 0}) {
    SCOPED_TRACE("MAXORD = ORDER - " + std::to_string(drop));
    reset_blocks();
    problem p(3, 22);
    p.y = {1.0, 0.0, 0.0};
    p.itol = 2;
    p.rtol[0] = 1e-6;
    p.atol = {1e-8, 1e-12, 1e-8};
    for (p.tout = 0.4; p.tout < 41.0; p.tout *= 10.0) p.call(robertson_f);
    ASSERT_EQ(p.istate, 2);
    const int order = solver_state.ORDER;
    ASSERT_GE(order, 3);
    const int maxord = order - drop;
    const int matrix_at = 20 + (maxord + 1) * 3;  // zero-based
    const int f_save_at = matrix_at + (3 * 3 + 2) + 3;
    for (int i = 0; i < 3; ++i) p.rwork[f_save_at + i] = 99.0;
    const std::vector<double> column(p.rwork.begin() + matrix_at, p.rwork.begin() + matrix_at + 3);

    p.istate = 3;
    p.iopt = 1;
    p.iwork[4] = maxord;
    p.tout = p.rwork[12];
    p.call(robertson_f);
    ASSERT_EQ(p.istate, 2);
    EXPECT_EQ(solver_state.MAXORD, maxord);
    EXPECT_EQ(p.iwork[16], 20 + (maxord + 1) * 3 + 11 + 9);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p.rwork[f_save_at + i], drop ? column[i] : 99.0) << i;
    EXPECT_EQ(p.rwork[matrix_at], std::sqrt(roundoff));
  }
}

// --- exact lengths of the caller's arrays ---

// Tolerances that are scalars are read at their first element only, arrays
// at NEQ elements: poison beyond what may be read changes nothing, and the
// exact-size storage lets the address sanitizer see any read past it.
TEST_F(DriverLimits, ToleranceStorageIsReadNoFurtherThanItsKind) {
  const double rtols[3] = {1e-6, 1e-5, 1e-7};
  const double atols[3] = {1e-9, 1e-8, 1e-10};
  for (int itol = 1; itol <= 4; ++itol) {
    const std::size_t nr = itol >= 3 ? 3 : 1;
    const std::size_t na = itol == 2 || itol == 4 ? 3 : 1;
    struct outcome {
      int istate, steps;
      std::vector<double> y;
      bool operator==(const outcome&) const = default;
    };
    auto run = [itol](std::vector<double> rtol, std::vector<double> atol) {
      reset_blocks();
      problem p(3, 22);
      p.y = {1.0, 1.0, 1.0};
      p.itol = itol;
      p.tout = 2.0;
      integrate(decay3, &p.neq, p.y.data(), p.t, p.tout, p.itol, rtol.data(), atol.data(), p.itask,
                p.istate, p.iopt, p.rwork.data(), p.lrw, p.iwork.data(), p.liw, no_jac, p.mf);
      return outcome{p.istate, p.steps(), p.y};
    };
    const outcome clean =
        run(std::vector<double>(rtols, rtols + nr), std::vector<double>(atols, atols + na));
    ASSERT_EQ(clean.istate, 2) << "ITOL " << itol;
    for (double poison : {-1.0, 0.5}) {
      std::vector<double> rtol(rtols, rtols + nr), atol(atols, atols + na);
      rtol.resize(6, poison);
      atol.resize(6, poison);
      message_capture capture;  // a poisoned read would show as message 19 or 20
      EXPECT_TRUE(run(rtol, atol) == clean) << "ITOL " << itol << " poison " << poison;
    }
  }
}

void banded3(int*, double*, double* y, double* ydot) {
  ydot[0] = -y[0] + 0.1 * y[1];
  ydot[1] = 0.2 * y[0] - 2.0 * y[1] + 0.1 * y[2];
  ydot[2] = 0.3 * y[0] + 0.3 * y[1] - 3.0 * y[2];
}

struct layout {
  int mf, ml, mu, matrix_len, pivots;
};

TEST_F(DriverLimits, WorkArraysOfExactlyTheNeededLengthAreEnough) {
  const int n = 3;
  const layout rows[] = {{10, 0, 0, 0, 0},
                         {13, 0, 0, n + 2, 0},
                         {22, 0, 0, n * n + 2, n},
                         {25, 2, 1, (2 * 2 + 1 + 1) * n + 2, n}};
  for (const layout& r : rows) {
    const int maxord = r.mf < 20 ? 12 : 5;
    const int lenrw = 20 + (maxord + 1) * n + r.matrix_len + 3 * n;
    const int leniw = 20 + r.pivots;
    for (int short_by : {0, 1, 2}) {  // none, RWORK, IWORK
      SCOPED_TRACE("MF " + std::to_string(r.mf) + " short " + std::to_string(short_by));
      reset_blocks();
      int neq = n, itol = 1, itask = 1, istate = 1, iopt = 0, mf = r.mf;
      std::vector<double> y = {1.0, 1.0, 1.0};
      double t = 0.0, tout = 1.0, rtol = 1e-6, atol = 1e-9;
      int lrw = lenrw - (short_by == 1), liw = leniw - (short_by == 2);
      std::vector<double> rwork(lrw, 0.0);
      std::vector<int> iwork(liw, 0);
      iwork[0] = r.ml;
      iwork[1] = r.mu;
      message_capture capture;
      integrate(banded3, &neq, y.data(), t, tout, itol, &rtol, &atol, itask, istate, iopt,
                rwork.data(), lrw, iwork.data(), liw, no_jac, mf);
      const std::vector<std::string> lines = capture.lines();
      EXPECT_EQ(iwork[16], lenrw);
      EXPECT_EQ(iwork[17], leniw);
      if (short_by == 0) {
        EXPECT_EQ(istate, 2);
        EXPECT_EQ(t, 1.0);
        EXPECT_EQ(lines, std::vector<std::string>{});
      } else if (short_by == 1) {
        EXPECT_EQ(istate, -3);
        EXPECT_EQ(lines, (std::vector<std::string>{
                             text("INTEG--  RWORK LENGTH NEEDED, LENRW (=I1), EXCEEDS LRW (=I2)"),
                             ints(lenrw, lrw)}));
      } else {
        EXPECT_EQ(istate, -3);
        EXPECT_EQ(lines, (std::vector<std::string>{
                             text("INTEG--  IWORK LENGTH NEEDED, LENIW (=I1), EXCEEDS LIW (=I2)"),
                             ints(leniw, liw)}));
      }
    }
  }
}

}  // namespace
}  // namespace integrator::testing
