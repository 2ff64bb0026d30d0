// The step-size and order choice, the step ratio caps and the re-formation of
// the iteration matrix, seen one step per call.
//
// Most problems here have a right-hand side that depends on t alone and a pure
// absolute tolerance: the Jacobian is then exactly zero, the iteration matrix
// the identity, every weighted norm |v|/ATOL, and the corrections of a first
// order step follow from the right-hand side by hand. With f(t) = a*t + b*t^2,
// starting at t = 0 with step h, the first two corrections are
//   h*(f(h) - f(0))  = a*h^2 + b*h^3   and   h*(f(2h) - f(h)) = a*h^2 + 3*b*h^3.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

double coef_a = 0.0;  // f(t) = coef_a*t + coef_b*t^2
double coef_b = 0.0;
void polynomial(int*, double* t, double*, double* ydot) {
  ydot[0] = coef_a * *t + coef_b * *t * *t;
}
void unit_slope(int*, double*, double*, double* ydot) { ydot[0] = 1.0; }
double switch_on = 0.0;  // f jumps from 0 to 1 here
void switched(int*, double* t, double*, double* ydot) { ydot[0] = *t >= switch_on ? 1.0 : 0.0; }

// 1/(c*x^p + c*1e-6), the ratio a scaled error x allows.
double allowed(double x, double p, double c) { return 1.0 / (c * std::pow(x, p) + c * 1.0e-6); }

// What one call returned.
struct after_step {
  double hu, h, tcur;
  int steps, f_calls, jacobians, order_used, order, order_wait;
  double conv_rate;
  double col2;  // history column 2 of a scalar problem
};

class StepChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_blocks();
    coef_a = coef_b = 0.0;
  }
  void TearDown() override { reset_blocks(); }

  // A scalar problem from y(0) = 0 with first step h0 and the weight ATOL
  // alone; one step per call.
  void start(double h0, double atol, double hmax = 0.0, int maxord = 0) {
    p.y[0] = 0.0;
    p.step_by_step(h0, atol);
    p.rwork[5] = hmax;
    p.iwork[4] = maxord;
  }
  after_step step(rhs_routine f) {
    p.call(f);
    EXPECT_EQ(p.istate, 2);
    return {p.rwork[10],
            p.rwork[11],
            p.rwork[12],
            p.steps(),
            p.f_calls(),
            p.jacobians(),
            p.iwork[13],
            p.iwork[14],
            solver_state.ORDER_WAIT,
            solver_state.CONV_RATE,
            p.rwork[21]};
  }
  std::vector<after_step> steps(rhs_routine f, int n) {
    std::vector<after_step> out;
    for (int k = 0; k < n && p.istate >= 0; ++k) out.push_back(step(f));
    return out;
  }
  problem p{1, 22};
};

// y' = 1 is integrated exactly at order 1: every correction is 0, so every
// candidate ratio is its limit 1/(c*1e-6) and the caps alone set the step.
TEST_F(StepChoice, ZeroCorrectionsGrowTenThousandFoldThenTenfold) {
  const double h0 = 1.0 / 1024;
  start(h0, 1.0e-6);
  const auto run = steps(unit_slope, 10);
  ASSERT_EQ(run.size(), 10u);
  double h = h0;
  for (int k = 0; k < 10; ++k) {
    const int step_no = k + 1;
    EXPECT_EQ(run[k].hu, h) << "step " << step_no;
    // A change after every second step: 1/(1.2e-6) > 1/(1.4e-6), so the
    // order stays 1 and the new H is held for NCOEF = 2 steps.
    if (step_no % 2 == 0) h = h * (step_no == 2 ? 10000.0 : 10.0);
    EXPECT_EQ(run[k].h, h) << "step " << step_no;
    EXPECT_EQ(run[k].order, 1) << "step " << step_no;
    EXPECT_EQ(run[k].order_wait, step_no % 2 == 0 ? 2 : 1) << "step " << step_no;
  }
}

// With MAXORD 1 and f(t) = t every step of size h has the correction h^2,
// hence the error ratio e = h^2/(2*ATOL) and the same-order ratio
// 1/(1.2*e^(1/2) + 1.2e-6). ATOL is chosen for the ratio wanted at the first
// change (after step 2).
struct same_order_case {
  double ratio;  // 1/(1.2*sqrt(e) + 1.2e-6) at the first change
  bool changes;
  double expected;  // new H / H0
};

class SameOrderRatio : public StepChoice, public ::testing::WithParamInterface<same_order_case> {};

TEST_P(SameOrderRatio, SetsTheStepOrHoldsItBelowElevenTenths) {
  const same_order_case c = GetParam();
  const double h0 = 1.0 / 64;
  const double root_e = (1.0 / c.ratio - 1.2e-6) / 1.2;
  start(h0, h0 * h0 / (2.0 * root_e * root_e), 0.0, 1);
  coef_a = 1.0;
  const auto run = steps(polynomial, 12);
  ASSERT_EQ(run.size(), 12u);
  EXPECT_EQ(run[0].h, h0);
  EXPECT_EQ(run[1].hu, h0);
  const double h = run[1].h;
  if (c.changes) {
    EXPECT_NEAR(h / h0, c.expected, 1e-10 * c.expected);
    EXPECT_EQ(run[1].order_wait, 2);
  } else {
    EXPECT_EQ(h, h0);
    EXPECT_EQ(run[1].order_wait, 3);
  }
  for (int k = 2; k < 12; ++k) {
    // At the new step the ratio is below 1.1: every later choice is
    // rejected and waits three steps.
    EXPECT_EQ(run[k].hu, h) << "step " << k + 1;
    EXPECT_EQ(run[k].h, h) << "step " << k + 1;
    EXPECT_EQ(run[k].order, 1) << "step " << k + 1;
    EXPECT_EQ(run[k].order_wait, run[k - 1].order_wait == 1 ? 3 : run[k - 1].order_wait - 1)
        << "step " << k + 1;
    // Column 2 is the history itself at MAXORD 1, h*f(TCUR); no kept
    // correction (h^2 here) may land there.
    const double scaled_slope = run[k].h * run[k].tcur;
    EXPECT_NEAR(run[k].col2, scaled_slope, 1e-12 * scaled_slope) << "step " << k + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Ratios, SameOrderRatio,
                         ::testing::Values(same_order_case{5000.0, true, 5000.0},
                                           same_order_case{1.11, true, 1.11},
                                           same_order_case{1.09, false, 1.0}));

// The first choice at order 1 weighs the order-2 candidate, formed from the
// difference of the step-2 correction and the one kept at step 1, against the
// same-order candidate: up = 1/(1.4*x^(1/3) + 1.4e-6) with
// x = |corr2 - corr1|/(3*ATOL) (BDF: error constant 3 for order 2 at order 1),
// same = 1/(1.2*e^(1/2) + 1.2e-6) with e = |corr2|/(2*ATOL).
struct order_rise_case {
  const char* name;
  double a, b, h0, atol;
  int order;           // order after the change
  bool keeps = false;  // the winning ratio is below 1.1: nothing changes
};

class OrderRise : public StepChoice, public ::testing::WithParamInterface<order_rise_case> {};

TEST_P(OrderRise, FollowsTheLargerOfTheSameAndUpRatios) {
  const order_rise_case c = GetParam();
  coef_a = c.a;
  coef_b = c.b;
  start(c.h0, c.atol);
  const double h = c.h0;
  const double corr1 = c.a * h * h + c.b * h * h * h;
  const double corr2 = c.a * h * h + 3.0 * c.b * h * h * h;
  const double up = allowed((corr2 - corr1) / c.atol / 3.0, 1.0 / 3.0, 1.4);
  const double same = allowed(corr2 / c.atol / 2.0, 1.0 / 2.0, 1.2);
  const double ratio = c.order == 2 ? up : same;
  ASSERT_EQ(c.order == 2 || c.keeps, up > same) << "case set up wrongly";
  ASSERT_EQ(c.keeps, std::max(up, same) < 1.1) << "case set up wrongly";
  ASSERT_LT(ratio, 10000.0);

  const auto run = steps(polynomial, 2);
  ASSERT_EQ(run.size(), 2u);
  EXPECT_EQ(run[0].order, 1);
  EXPECT_EQ(run[1].hu, h);
  EXPECT_EQ(run[1].order_used, 1);
  EXPECT_EQ(run[1].order, c.order);
  if (c.keeps) {
    EXPECT_EQ(run[1].h, h);
    EXPECT_EQ(run[1].order_wait, 3);
  } else {
    EXPECT_NEAR(run[1].h / h, ratio, 1e-8 * ratio);
    EXPECT_EQ(run[1].order_wait, c.order + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OrderRise,
    ::testing::Values(
        // nearly equal corrections: a large, uncapped up ratio (about 5000)
        order_rise_case{"NearlyEqualCorrections", 1.0, 2.6e-6, 1.0 / 128, 0.3, 2},
        // up just above same, both about 1.1
        order_rise_case{"UpJustAboveSame", 0.0, 1.0, 1.0 / 16, 1.0 / 4096 / 0.37, 2},
        // up (about 1.09) above same (about 1.05) but below 1.1: no change
        order_rise_case{"UpAboveSameBelowElevenTenths", 0.0, 1.0, 1.0 / 16, 1.0 / 4096 / 0.42, 1,
                        true},
        // a small error: the same order wins with a ratio about 680
        order_rise_case{"SmallErrorKeepsTheOrder", 0.0, 1.0, 1.0 / 16, 1.0 / 4096 / 1.0e-6, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Corrector convergence on f(t) = b*t^2 (first correction k = b*h^3/ATOL,
// the second 3k). At order 1 the test value of a first iterate is
// d*min(1, 1.5*CONV_RATE)/(2*0.5/3); a second iterate finds nothing left, so
// the rate becomes max(0.2*0.7, 0) and holds until the next matrix.
struct convergence_case {
  double k;
  int f_after_1, f_after_2;  // start call + prediction + matrix (+ 1 per extra iterate)
  double rate_after_1;
};

class Convergence : public StepChoice, public ::testing::WithParamInterface<convergence_case> {};

TEST_P(Convergence, CountsTheIteratesTheRateAllows) {
  const convergence_case c = GetParam();
  const double h0 = 1.0 / 16;
  coef_b = 1.0;
  start(h0, h0 * h0 * h0 / c.k);
  const auto run = steps(polynomial, 2);
  ASSERT_EQ(run.size(), 2u);
  EXPECT_EQ(run[0].f_calls, c.f_after_1);
  EXPECT_EQ(run[0].conv_rate, c.rate_after_1);
  EXPECT_EQ(run[1].f_calls, c.f_after_2);
  EXPECT_EQ(run[1].jacobians, 1);
  EXPECT_EQ(run[1].hu, h0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Convergence,
                         ::testing::Values(
                             // 3*0.32 <= 1: one iterate; step 2 (3*0.96 > 1) needs a second
                             convergence_case{0.32, 3, 5, 0.7},
                             // 3*0.335 > 1: a second iterate; step 2 at rate 0.14 converges at once
                             convergence_case{0.335, 4, 5, 0.2 * 0.7},
                             // step 2: 1.53*min(1, 1.5*0.14)*3 = 0.964 <= 1, at once
                             convergence_case{0.51, 4, 5, 0.2 * 0.7}));

// A convergence test value of exactly 1 converges. f(t) = a*t with h = 1/64
// and ATOL = h^2: the first correction a*h^2 weighs exactly a, and the test
// value at order 1 is a*min(1, 1.5*0.7)/(2*(0.5/3)), exactly 1 for
// a = 2*(0.5/3). One ulp more takes a second iterate.
TEST_F(StepChoice, ConvergenceTestValueOfExactlyOneConverges) {
  const double h0 = 1.0 / 64;
  const double tie = 2.0 * (0.5 / 3.0);
  for (const double a : {tie, std::nextafter(tie, 1.0)}) {
    SCOPED_TRACE(a);
    reset_blocks();
    p = problem(1, 22);
    coef_a = a;
    start(h0, h0 * h0);
    const after_step s = step(polynomial);
    EXPECT_EQ(s.hu, h0);
    // start call + prediction + matrix, and one more for a second iterate
    EXPECT_EQ(s.f_calls, a == tie ? 3 : 4);
    EXPECT_EQ(s.conv_rate, a == tie ? 0.7 : 0.2 * 0.7);
  }
}

// A candidate ratio of exactly 1.1 after a successful step changes the step.
// ATOL is walked one ulp at a time from its estimate until the ratio, formed
// from the weighted correction v/ATOL over the error constant k as
// 1/(c*(v/ATOL/k)^p + c*1e-6), is exactly 1.1 in double arithmetic.
double atol_for_ratio(double v, double k, double p, double c, double estimate) {
  double atol = estimate;
  for (int i = 0; i < 10000; ++i) {
    for (const double cand : {std::nextafter(atol, 0.0), atol}) {
      const double x = v * (1.0 / cand) / k;
      if (allowed(x, p, c) == 1.1) return cand;
    }
    atol = std::nextafter(atol, 1.0);
  }
  return 0.0;
}

TEST_F(StepChoice, SameOrderRatioOfExactlyElevenTenthsChangesTheStep) {
  // MAXORD 1, f(t) = t: every correction is h^2, the error constant 2.
  const double h0 = 1.0 / 64;
  const double root_e = (1.0 / 1.1 - 1.2e-6) / 1.2;
  const double atol = atol_for_ratio(h0 * h0, 2.0, 0.5, 1.2, h0 * h0 / (2.0 * root_e * root_e));
  ASSERT_GT(atol, 0.0) << "no ATOL gives the tie";
  start(h0, atol, 0.0, 1);
  coef_a = 1.0;
  const auto run = steps(polynomial, 2);
  ASSERT_EQ(run.size(), 2u);
  EXPECT_EQ(run[1].hu, h0);
  EXPECT_EQ(run[1].h, h0 * 1.1);
  EXPECT_EQ(run[1].order_wait, 2);
}

TEST_F(StepChoice, UpRatioOfExactlyElevenTenthsRaisesTheOrder) {
  // f(t) = t/16 + t^2, h = 1/16: corrections 2^-11 and 2^-10, their
  // difference 2^-11 over the order-2 constant 3 (at order 1) sets the up
  // ratio; the same-order one, about 0.92, stays below it.
  const double h0 = 1.0 / 16;
  coef_a = 1.0 / 16;
  coef_b = 1.0;
  const double diff = 2.0 * h0 * h0 * h0;
  const double root_x = (1.0 / 1.1 - 1.4e-6) / 1.4;
  const double atol =
      atol_for_ratio(diff, 3.0, 1.0 / 3.0, 1.4, diff / (3.0 * root_x * root_x * root_x));
  ASSERT_GT(atol, 0.0) << "no ATOL gives the tie";
  const double corr2 = coef_a * h0 * h0 + 3.0 * h0 * h0 * h0;
  ASSERT_LT(allowed(corr2 / atol / 2.0, 0.5, 1.2), 1.1) << "case set up wrongly";
  ASSERT_LE(corr2 / atol / 2.0, 1.0) << "case set up wrongly";
  start(h0, atol);
  const auto run = steps(polynomial, 2);
  ASSERT_EQ(run.size(), 2u);
  EXPECT_EQ(run[1].hu, h0);
  EXPECT_EQ(run[1].order, 2);
  EXPECT_EQ(run[1].h, h0 * 1.1);
  EXPECT_EQ(run[1].order_wait, 3);
}

// y' = 1 with HMAX = factor*H0: the first change wants 10000 and is cut to
// HMAX, so H*l changes by the factor; more than 30 % re-forms the matrix at
// the next attempt.
struct hmax_case {
  double factor;
  int jacobians_after_3;
};

class HmaxChange : public StepChoice, public ::testing::WithParamInterface<hmax_case> {};

TEST_P(HmaxChange, CapsTheStepAndReformsTheMatrixBeyondThreeTenths) {
  const hmax_case c = GetParam();
  const double h0 = 1.0 / 1024;
  const double hmax = c.factor * h0;
  start(h0, 1.0e-6, hmax);
  const auto run = steps(unit_slope, 12);
  ASSERT_EQ(run.size(), 12u);
  EXPECT_EQ(run[1].jacobians, 1);
  EXPECT_NEAR(run[1].h, hmax, 1e-15 * hmax);
  EXPECT_EQ(run[2].jacobians, c.jacobians_after_3);
  for (const after_step& s : run) {
    EXPECT_LE(s.hu, hmax * (1.0 + 1e-15));
    EXPECT_LE(s.h, hmax * (1.0 + 1e-15));
  }
  // Later changes are cut back to HMAX too: no further matrix.
  EXPECT_EQ(run.back().jacobians, c.jacobians_after_3);
}

INSTANTIATE_TEST_SUITE_P(Factors, HmaxChange,
                         ::testing::Values(hmax_case{1.25, 1}, hmax_case{1.35, 2}));

// H0 = HMAX (a power of two): every change is cut to the ratio 1 exactly, so
// only the age of the matrix makes it due: formed at the attempts of steps 1,
// 21, 41 (STEP_COUNT 0, 20, 40).
TEST_F(StepChoice, MatrixReformedEveryTwentySteps) {
  const double h0 = 1.0 / 1024;
  start(h0, 1.0e-6, h0);
  const auto run = steps(unit_slope, 45);
  ASSERT_EQ(run.size(), 45u);
  for (int k = 0; k < 45; ++k) {
    EXPECT_EQ(run[k].jacobians, 1 + k / 20) << "step " << k + 1;
    EXPECT_EQ(run[k].h, h0) << "step " << k + 1;
    // one F call per attempt, one per matrix (NEQ 1), one at the start
    EXPECT_EQ(run[k].f_calls, 1 + (k + 1) + run[k].jacobians) << "step " << k + 1;
  }
}

// f switches from 0 to 1 at t = 2. The step that first reaches past it
// fails its error test; the retry falls short of the switch, where the
// corrections are 0 again. The first change after that is capped at 2, the
// next at 10.
TEST_F(StepChoice, GrowthAfterAnErrorTestFailureIsAtMostTwofold) {
  switch_on = 2.0;
  const double h0 = 1.0 / 1024;
  start(h0, 1.0e-3);
  const auto run = steps(switched, 6);
  ASSERT_EQ(run.size(), 6u);
  EXPECT_EQ(run[1].h, h0 * 10000.0);
  // Step 3 was tried with h0*10000 (past the switch) and taken smaller.
  ASSERT_LT(run[2].hu, run[1].h);
  ASSERT_LT(run[2].tcur, switch_on);
  EXPECT_EQ(run[2].h, run[2].hu);  // held for NCOEF steps
  // Step 4 is still short of the switch: exact again, ratio wanted
  // 1/(1.2e-6), allowed 2.
  ASSERT_LT(run[3].tcur, switch_on);
  EXPECT_EQ(run[3].hu, run[2].hu);
  EXPECT_EQ(run[3].h, run[3].hu * 2.0);
  EXPECT_EQ(run[4].hu, run[3].h);
  ASSERT_LT(run[5].tcur, switch_on);
  EXPECT_EQ(run[5].h, run[5].hu * 10.0);
}

// Order 2 on f(t) = t is exact, and column 3 holds h^2/2. Lowering MAXORD to 1
// (ISTATE 3) drops the order with r = min(1, 1/(1.3*x^(1/2) + 1.3e-6)),
// x = (h^2/2)/ATOL (order-0 error constant 1), applied before the next step.
struct lowered_order_case {
  double atol;
  bool reduces;
};

class LoweredMaximumOrder : public StepChoice,
                            public ::testing::WithParamInterface<lowered_order_case> {};

TEST_P(LoweredMaximumOrder, ScalesTheStepByTheOrderDropRatio) {
  const lowered_order_case c = GetParam();
  const double h0 = 1.0 / 65536;
  coef_a = 1.0;
  start(h0, c.atol);
  auto run = steps(polynomial, 3);
  ASSERT_EQ(run.size(), 3u);
  ASSERT_EQ(run[1].order, 2);
  ASSERT_EQ(run[2].order_used, 2);
  const double h = run[2].h;
  const double r = allowed(h * h / 2.0 / c.atol, 0.5, 1.3);
  ASSERT_EQ(c.reduces, r < 1.0) << "case set up wrongly";
  p.iwork[4] = 1;
  p.istate = 3;
  const after_step s = step(polynomial);
  EXPECT_EQ(s.order_used, 1);
  if (c.reduces)
    EXPECT_NEAR(s.hu, h * r, 1e-10 * h * r);
  else
    EXPECT_EQ(s.hu, h);
}

INSTANTIATE_TEST_SUITE_P(Tolerances, LoweredMaximumOrder,
                         ::testing::Values(lowered_order_case{1.0e-5, true},
                                           lowered_order_case{1.0, false}));

// Robertson's problem, one step per call: the rules every change keeps.
TEST(StepChoiceRules, RobertsonKeepsTheChangeRules) {
  reset_blocks();
  problem p(3, 21);
  robertson_values(p);
  p.itask = 2;
  p.tout = 4.0e10;
  p.iopt = 1;
  p.rwork[5] = 1.0e9;  // HMAX
  const double hmax = 1.0e9;
  double h_prev = 0.0;
  int order_prev = 1, wait_prev = 0;
  bool changed_yet = false, failed_since_change = false;
  int changes = 0, rises = 0, failures = 0;
  for (int k = 1; k <= 400 && p.rwork[12] < 4.0e10; ++k) {
    p.call(robertson_f, robertson_jac);
    ASSERT_EQ(p.istate, 2) << "step " << k;
    const double hu = p.rwork[10], h = p.rwork[11];
    const int order = p.iwork[14], wait = solver_state.ORDER_WAIT;
    const bool failed = k > 1 && hu != h_prev;  // the step taken was not the one planned
    if (failed) {
      ++failures;
      failed_since_change = true;
      EXPECT_LT(hu, h_prev) << "step " << k;
    }
    EXPECT_LE(std::abs(order - order_prev), 1) << "step " << k;
    EXPECT_LE(hu, hmax * (1.0 + 1e-15)) << "step " << k;
    EXPECT_LE(h, hmax * (1.0 + 1e-15)) << "step " << k;
    const bool change = h != hu || order != p.iwork[13];
    if (change && !failed) {
      // Only when the wait ran out, with the new order's NCOEF to wait.
      EXPECT_EQ(wait_prev, 1) << "step " << k;
      EXPECT_EQ(wait, order + 1) << "step " << k;
      const double growth = h / hu;
      if (order > order_prev) ++rises;
      if (!changed_yet)
        EXPECT_LE(growth, 10000.0) << "step " << k;
      else if (failed_since_change)
        EXPECT_LE(growth, 2.0) << "step " << k;
      else
        EXPECT_LE(growth, 10.0) << "step " << k;
      changed_yet = true;
      failed_since_change = false;
      ++changes;
    } else if (!failed && k > 1) {
      // Nothing changed: the wait counts down, or restarts at 3 when a
      // change was weighed and rejected.
      EXPECT_EQ(wait, wait_prev == 1 ? 3 : wait_prev - 1) << "step " << k;
    }
    h_prev = h;
    order_prev = order;
    wait_prev = wait;
  }
  // The run must exercise the rules it checks.
  EXPECT_GT(changes, 20);
  EXPECT_GE(rises, 3);
}

}  // namespace
}  // namespace integrator::testing
