// The driver's allowances and start-up: MXSTEP and MXHNIL, the first step size
// and TOUT too close to T, the values every start sets, the maximum order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "integrator/driver_test_support.h"
#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

std::vector<std::string> mxstep_lines(int mxstep, double tcur) {
  return {text(messages::mxstep_reached), text(messages::mxstep_before_tout), ints(mxstep),
          one_real(tcur)};
}

void oscillator(int*, double*, double* y, double* ydot) {
  ydot[0] = omega * y[1];
  ydot[1] = -omega * y[0];
}

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
      want.push_back(text(messages::tiny_step));
      want.push_back(text(messages::tiny_step_machine));
      want.push_back(text(messages::tiny_step_goes_on));
      want.push_back(two_reals(1e10, 0.0).substr(0, 49) + "~");  // H varies
    }
    want.push_back(text(messages::tiny_step_limit));
    want.push_back(text(messages::tiny_step_not_again));
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
        first_step{.name = "given_capped_by_hmax_under_twice", .iopt = 1, .h0 = 0.15, .hmax = 0.1},
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
        first_step{.name = "given_one_trimmed",
                   .tout = 0.2,
                   .itask = 5,
                   .iopt = 1,
                   .h0 = 1.0,
                   .tcrit = 0.3},
        // T + H0 rounds to TCRIT exactly, yet TCRIT - T is not H0: H0 is kept
        first_step{.name = "given_ending_on_tcrit",
                   .t = 1.0,
                   .tout = 1.1,
                   .itask = 5,
                   .iopt = 1,
                   .h0 = 0.1,
                   .tcrit = 1.1},
        first_step{.name = "tcrit_at_tout_itask5", .t = 1.0, .tout = 1.2, .itask = 5, .tcrit = 1.2},
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
    const std::vector<std::string> want = {text(messages::tout_too_close), two_reals(below, t)};
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

// y' = c from 0 with H0 = 0.5: the first step ends on TOUT = 0.5 exactly,
// which counts as reached. (TCRIT = TOUT is legal at a start.)
TEST_F(DriverLimits, StepEndingExactlyOnToutEndsTheCall) {
  for (int itask : {1, 3, 4}) {
    SCOPED_TRACE("ITASK " + std::to_string(itask));
    reset_blocks();
    problem p(1, 22);
    p.y[0] = 1.0;
    p.rtol[0] = 1e-6;
    p.atol[0] = 1e-9;
    p.itask = itask;
    p.iopt = 1;
    p.rwork[4] = 0.5;
    p.rwork[0] = 0.5;  // TCRIT
    p.tout = 0.5;
    message_capture capture;
    p.call(linear_growth);
    EXPECT_EQ(p.istate, 2);
    EXPECT_EQ(p.steps(), 1);
    EXPECT_EQ(p.t, 0.5);
    EXPECT_EQ(p.rwork[12], 0.5);
    EXPECT_EQ(p.y[0], 1.25);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{});
  }
}

// TOLSF = ROUNDOFF*||Y/weight||, with ATOL 0 and one equation
// ROUNDOFF*(|Y|*(1/(RTOL*|Y|))), near ROUNDOFF/RTOL. Anything above 1 is too
// much accuracy, at the start (message 26, ISTATE -3) as after steps (message
// 203, ISTATE -2); exactly 1 is not.
TEST_F(DriverLimits, TooMuchAccuracyIsRefusedAboveOneNotOnlyAboveTwo) {
  auto tolsf_of = [](double rtol, double y) {
    return roundoff * std::fabs(y * (1.0 / (rtol * std::fabs(y))));
  };
  // the RTOL nearest ROUNDOFF/target, or for target 1 one that gives 1 exactly
  auto rtol_for = [&](double target, double y) {
    double r = roundoff / target;
    if (target != 1.0) return r;
    for (int k = 0; k < 64 && tolsf_of(r, y) != 1.0; ++k)
      r = std::nextafter(r, tolsf_of(r, y) > 1.0 ? 1.0 : 0.0);
    return r;
  };
  for (double target : {0.9, 1.0, 1.5}) {
    SCOPED_TRACE("TOLSF " + std::to_string(target));
    for (bool at_start : {true, false}) {
      SCOPED_TRACE(at_start ? "at the start" : "after a step");
      reset_blocks();
      problem p(1, 22);
      p.y[0] = 1.0;
      p.tout = 10.0;
      p.rtol[0] = 1e-6;
      if (!at_start) {
        p.itask = 2;
        p.call(linear_growth);
        ASSERT_EQ(p.istate, 2);
      }
      const double y = p.y[0];  // history column 1 after a one-step return
      p.rtol[0] = rtol_for(target, y);
      const double tolsf = tolsf_of(p.rtol[0], y);
      if (target == 1.0) {
        ASSERT_EQ(tolsf, 1.0);
      }
      p.rwork[13] = 0.0;
      message_capture capture;
      p.call(linear_growth);
      const std::vector<std::string> lines = capture.lines();
      if (target <= 1.0) {
        EXPECT_EQ(p.istate, 2);
        EXPECT_EQ(p.rwork[13], 0.0);
        EXPECT_EQ(lines, std::vector<std::string>{});
        continue;
      }
      EXPECT_EQ(p.istate, at_start ? -3 : -2);
      EXPECT_EQ(p.rwork[13], 2.0 * tolsf);
      EXPECT_NEAR(p.rwork[13], 3.0, 1e-13);
      ASSERT_EQ(lines.size(), 3u);
      EXPECT_EQ(lines[0],
                at_start ? text(messages::start_accuracy) : text(messages::too_much_accuracy));
    }
  }
}

// Message 202 names the component and gives its weight: the neighbours'
// weights differ from it (and the first one is already inverted).
TEST_F(DriverLimits, WeightThatBecomesNegativeIsReportedWithItsValue) {
  problem p(3, 22);
  p.y = {1.0, 2.0, -3.0};
  p.itol = 2;
  p.rtol[0] = 1e-4;
  p.atol = {1e-6, 1e-6, 1e-6};
  p.itask = 2;
  p.tout = 10.0;
  p.call(linear_growth);
  ASSERT_EQ(p.istate, 2);
  // continuation calls do not check the tolerances, only the weights
  p.rtol[0] = 0.0;
  p.atol = {1e-6, -2e-6, 3e-6};
  message_capture capture;
  p.call(linear_growth);
  EXPECT_EQ(p.istate, -6);
  const std::vector<std::string> want = {text(messages::ewt_became_nonpositive), ints(2),
                                         two_reals(p.rwork[12], -2e-6)};
  EXPECT_EQ(capture.lines(), want);
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

}  // namespace
}  // namespace integrator::testing
