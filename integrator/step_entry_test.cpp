// The step entered after ISTATE 3 (new method, new maximum order, H cut for
// TCRIT), the local error estimate a successful step leaves in CORR, the
// exact bounds of the error test and of HMIN, and the fresh derivative the
// restart after repeated error-test failures starts from. One step per call.
//
// Right-hand sides of t alone with a pure absolute tolerance make every
// weighted norm |v|/ATOL and the iteration matrix the identity; the first
// correction of an order-1 step from t = 0 with step h is then
// h*(f(h) - f(0)), exactly when h is a power of two.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

// The step's state as F sees it.
struct seen {
  double t, h, coef1, corr;  // corr: CORR(1)
  double y[2], col1[2];
  int order, order_wait, step_result;
};
std::vector<seen> probe;
const double* watched = nullptr;  // RWORK of the running problem

void note(const double* t, const double* y, int n) {
  const solver_state_block& s = solver_state;
  seen r{*t, s.H, s.COEF[0], 0.0, {0.0, 0.0}, {0.0, 0.0}, s.ORDER, s.ORDER_WAIT, s.STEP_RESULT};
  for (int i = 0; i < n && i < 2; ++i) {
    r.y[i] = y[i];
    r.col1[i] = watched ? watched[20 + i] : 0.0;
  }
  if (watched) {
    const int iteration = s.ITERATION;
    const int matrix_len = iteration == 0 ? 0 : n * n + 2;
    r.corr = watched[20 + (s.MAXORD + 1) * n + matrix_len + 2 * n];
  }
  probe.push_back(r);
}

double slope[2] = {1.0, 0.0};  // f_i = slope_i * t
void linear_in_t(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i) ydot[i] = slope[i] * *t;
  note(t, y, *neq);
}
void unit_slope(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i) ydot[i] = 1.0;
  note(t, y, *neq);
}
// f = ramp*t - decay*y, plus kick/(t - t0) past t0 once armed: the kick
// makes every correction about `kick` whatever H, so each attempt fails alike.
double kick = 0.0, kick_t0 = 0.0, ramp = 0.0, decay = 1.0;
bool kicked = false;
void kicked_decay(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i) {
    ydot[i] = ramp * *t - decay * y[i];
    if (kicked && *t > kick_t0) ydot[i] = ydot[i] + kick * (i + 1) / (*t - kick_t0);
  }
  note(t, y, *neq);
}
void decay_jac(int* neq, double*, double*, int*, int*, double* pd, int* ld) {
  for (int i = 0; i < *neq; ++i) pd[i * *ld + i] = -decay;
}
void nan_after_start(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i)
    ydot[i] = *t > 0.0 ? std::numeric_limits<double>::quiet_NaN() : 1.0;
  note(t, y, *neq);
}
void zero_jac(int*, double*, double*, int*, int*, double*, int*) {}

// f = -lambda*y for t in (window_lo, window_hi), plus kick/t past
// 0.95*kick_t0 (the first step's end): an attempt there converges in two
// passes and fails its error test; the cut attempt lands in the window, where
// the matrix of J = 0 (zero_jac) lets the chord iteration diverge.
double window_lo = 0.0, window_hi = 0.0, window_lambda = 0.0;
void window_f(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i) {
    ydot[i] = *t > window_lo && *t < window_hi ? -window_lambda * y[i] : 0.0;
    if (*t > 0.95 * kick_t0) ydot[i] = ydot[i] + kick / *t;
  }
  note(t, y, *neq);
}

class StepEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_blocks();
    probe.clear();
    slope[0] = 1.0;
    slope[1] = 0.0;
    kick = kick_t0 = ramp = 0.0;
    decay = 1.0;
    window_lo = window_hi = window_lambda = 0.0;
    kicked = false;
  }
  void TearDown() override {
    watched = nullptr;
    reset_blocks();
  }
  void start(int n, int mf, double y0, double atol, double h0, int maxord = 0, double hmin = 0.0) {
    p = problem(n, mf);
    for (int i = 0; i < n; ++i) p.y[i] = y0;
    p.step_by_step(h0, atol);
    p.rwork[6] = hmin;
    p.iwork[4] = maxord;
    watched = p.rwork.data();
  }
  // CORR, the last segment of RWORK, for the layout of the current call.
  double corr(int i) const {
    const int n = p.neq;
    const int maxord = solver_state.MAXORD;
    const int iteration = p.mf % 10;
    const int matrix_len = iteration == 0 ? 0 : n * n + 2;
    return p.rwork[20 + (maxord + 1) * n + matrix_len + 2 * n + i];
  }
  double hu() const { return p.rwork[10]; }
  double h() const { return p.rwork[11]; }
  double tcur() const { return p.rwork[12]; }
  int order() const { return p.iwork[14]; }
  // Smooth decay, rtol 1e-6, until the order reaches `q` with a wait other
  // than the NCOEF a fresh change sets.
  void raise_order_to(int q) {
    p.rtol[0] = 1.0e-6;
    for (int k = 0; k < 200 && !(order() == q && solver_state.ORDER_WAIT < q + 1); ++k) {
      p.call(kicked_decay, decay_jac);
      ASSERT_EQ(p.istate, 2);
    }
    ASSERT_EQ(order(), q);
    ASSERT_LT(solver_state.ORDER_WAIT, q + 1);
  }

  problem p{1};
  message_capture quiet;  // the failing cases' messages, kept off the console
};

// After a successful step CORR is the correction over the error constant of
// the order used (2 at order 1, either method): here slope_i*h^2/2.
TEST_F(StepEntry, CorrIsTheLocalErrorEstimate) {
  for (const int mf : {22, 10}) {
    SCOPED_TRACE(mf);
    reset_blocks();
    const double h = 1.0 / 64;
    start(2, mf, 0.0, 1.0, h);
    slope[0] = 1.0;
    slope[1] = 3.0;
    p.call(linear_in_t);
    ASSERT_EQ(p.istate, 2);
    ASSERT_EQ(hu(), h);
    ASSERT_EQ(p.order_used(), 1);
    EXPECT_EQ(corr(0), h * h / 2.0);
    EXPECT_EQ(corr(1), 3.0 * h * h / 2.0);
  }
}

// f = t, h = 1/64: the correction h^2 over ATOL = h^2/2 is exactly the error
// constant 2, an error ratio of exactly 1, which passes; one ulp less ATOL
// fails and the step is retried smaller.
TEST_F(StepEntry, ErrorRatioOfExactlyOnePasses) {
  const double h = 1.0 / 64;
  const double tie = h * h / 2.0;
  for (const double atol : {tie, std::nextafter(tie, 0.0)}) {
    SCOPED_TRACE(atol);
    reset_blocks();
    start(1, 22, 0.0, atol, h);
    p.call(linear_in_t);
    ASSERT_EQ(p.istate, 2);
    if (atol == tie) {
      EXPECT_EQ(hu(), h);
      EXPECT_EQ(corr(0), h * h / 2.0);
    } else {
      EXPECT_LT(hu(), h);
    }
  }
}

// |H| exactly HMIN*1.00001 at a failure ends the call with that H: no cut to
// HMIN is tried first.
TEST_F(StepEntry, FailureAtExactlyTheHminBoundEndsTheCall) {
  const double hmin = 1.0 / 128;
  const double h0 = hmin * 1.00001;
  {
    SCOPED_TRACE("error test");
    start(1, 22, 0.0, 1.0e-12, h0, 0, hmin);
    p.call(linear_in_t);
    EXPECT_EQ(p.istate, -4);
    EXPECT_EQ(h(), h0);
    EXPECT_EQ(p.steps(), 0);
    EXPECT_EQ(solver_state.START_MODE, 1);  // set on every return
  }
  {
    SCOPED_TRACE("corrector");
    reset_blocks();
    probe.clear();
    start(1, 21, 1.0, 1.0, h0, 0, hmin);
    p.call(nan_after_start, zero_jac);
    EXPECT_EQ(p.istate, -5);
    EXPECT_EQ(h(), h0);
    EXPECT_EQ(p.f_calls(), 1 + 3);  // one attempt of three passes
    EXPECT_EQ(p.jacobians(), 1);
  }
}

// From order 2, repeated error-test failures: each restart evaluates F at the
// step's start, from history column 1 in every component, and goes on at
// order 1.
TEST_F(StepEntry, RestartEvaluatesFAtTheHistoryAndDropsToOrderOne) {
  start(2, 21, 1.0, 1.0e-9, 1.0 / 1024);
  raise_order_to(2);
  const double t0 = tcur();
  const double y_start[2] = {p.y[0], p.y[1]};
  kick_t0 = t0;
  kick = 1.0e-5;
  kicked = true;
  probe.clear();
  p.call(kicked_decay, decay_jac);
  EXPECT_EQ(p.istate, -4);
  std::vector<seen> tries, restarts;
  for (const seen& r : probe) {
    if (r.t > t0) {
      if (tries.empty() || tries.back().h != r.h || tries.back().step_result != r.step_result)
        tries.push_back(r);
    } else {
      restarts.push_back(r);
    }
  }
  ASSERT_EQ(tries.size(), 10u);
  ASSERT_EQ(restarts.size(), 7u);
  ASSERT_EQ(tries[2].order, 2) << "the first two failures must keep the order";
  for (std::size_t j = 0; j < restarts.size(); ++j) {
    SCOPED_TRACE(j);
    const seen& r = restarts[j];
    EXPECT_EQ(r.t, t0);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(r.y[i], r.col1[i]);
      EXPECT_NEAR(r.y[i], y_start[i], 1e-12);
    }
    EXPECT_EQ(tries[j + 3].order, 1);
  }
}

// ISTATE 3 right after a step that left one step to wait: the wait becomes
// 2, so the next step weighs no change and the one after it does (y' = 1 has
// zero corrections: the first change grows H 10000-fold).
TEST_F(StepEntry, OptionsChangeRaisesAWaitOfOneToTwo) {
  const double h0 = 1.0 / 1024;
  start(1, 22, 0.0, 1.0e-6, h0);
  p.call(unit_slope);
  ASSERT_EQ(p.istate, 2);
  ASSERT_EQ(solver_state.ORDER_WAIT, 1);
  p.istate = 3;
  p.call(unit_slope);
  ASSERT_EQ(p.istate, 2);
  EXPECT_EQ(hu(), h0);
  EXPECT_EQ(h(), h0);
  EXPECT_EQ(solver_state.ORDER_WAIT, 1);
  EXPECT_EQ(solver_state.START_MODE, 1);
  p.call(unit_slope);
  ASSERT_EQ(p.istate, 2);
  EXPECT_EQ(hu(), h0);
  EXPECT_EQ(h(), h0 * 10000.0);
  EXPECT_EQ(solver_state.ORDER_WAIT, 2);
}

// A new method at ISTATE 3 (order 2 reached): the next attempt runs with the
// new method's order-2 leading coefficient (Adams 1/2, BDF 2/3) and waits
// NCOEF = 3 steps, also when the order is the maximum order.
struct method_change_case {
  int mf_from, mf_to, maxord;
  double coef1;
};

class MethodChange : public StepEntry, public ::testing::WithParamInterface<method_change_case> {};

TEST_P(MethodChange, RebuildsTheCoefficientsAndWaitsNcoefSteps) {
  const method_change_case c = GetParam();
  start(1, c.mf_from, 1.0, 1.0e-9, 1.0 / 1024, c.maxord);
  raise_order_to(2);
  const double h_before = h();
  p.mf = c.mf_to;
  p.istate = 3;
  probe.clear();
  p.call(kicked_decay, decay_jac);
  ASSERT_EQ(p.istate, 2);
  ASSERT_FALSE(probe.empty());
  const seen& first = probe.front();
  EXPECT_EQ(first.h, h_before);
  EXPECT_EQ(first.order, 2);
  EXPECT_EQ(first.coef1, c.coef1);
  EXPECT_EQ(first.order_wait, 3);
}

INSTANTIATE_TEST_SUITE_P(Methods, MethodChange,
                         ::testing::Values(method_change_case{10, 22, 0, 2.0 / 3.0},
                                           method_change_case{22, 12, 0, 0.5},
                                           method_change_case{10, 22, 2, 2.0 / 3.0},
                                           method_change_case{22, 12, 2, 0.5}));

// ISTATE 3 with MAXORD lowered to the current order: nothing to drop, so H
// and the wait stay (a wait of 1 raised to 2).
TEST_F(StepEntry, MaximumOrderEqualToTheOrderChangesNothing) {
  start(1, 22, 1.0, 1.0e-9, 1.0 / 1024);
  raise_order_to(2);
  const double h_before = h();
  const int wait = solver_state.ORDER_WAIT == 1 ? 2 : solver_state.ORDER_WAIT;
  p.iwork[4] = 2;
  p.istate = 3;
  probe.clear();
  p.call(kicked_decay, decay_jac);
  ASSERT_EQ(p.istate, 2);
  ASSERT_FALSE(probe.empty());
  EXPECT_EQ(probe.front().h, h_before);
  EXPECT_EQ(probe.front().order, 2);
  EXPECT_EQ(probe.front().order_wait, wait);
  EXPECT_EQ(hu(), h_before);
}

// f = t at order 2, then ISTATE 3 with MAXORD 1 and ITASK 5, TCRIT half a
// step ahead: the driver cuts H, and the order drop (whose own ratio is
// capped at 1) takes the cut as its ratio. The history is rescaled for the
// cut step, so its correction is H*(f(t+H) - f(t)) = H^2 and CORR H^2/2.
TEST_F(StepEntry, LoweredMaximumOrderWithACutStepTakesTheCut) {
  start(1, 22, 0.0, 1.0, 1.0 / 65536);
  for (int k = 0; k < 3; ++k) {
    p.call(linear_in_t);
    ASSERT_EQ(p.istate, 2);
  }
  ASSERT_EQ(order(), 2);
  const double h_before = h();
  const double tcrit = tcur() + 0.5 * h_before;
  p.rwork[0] = tcrit;
  p.itask = 5;
  p.tout = tcrit;
  p.iwork[4] = 1;
  p.istate = 3;
  p.call(linear_in_t);
  ASSERT_EQ(p.istate, 2);
  EXPECT_EQ(p.order_used(), 1);
  const double cut = hu();
  EXPECT_NEAR(cut, 0.5 * h_before, 1e-12 * h_before);
  EXPECT_NEAR(corr(0), cut * cut / 2.0, 1e-9 * cut * cut);
}

// The matrix formed for an attempt that converged but failed its error test
// is old for the next attempt: a corrector failure there is retried at the
// same H with a fresh matrix before H is cut by 4.
TEST_F(StepEntry, ConvergedAttemptMakesTheMatrixOldForTheNext) {
  const double h = 0.125;
  start(1, 21, 1.0, 1.0, h);
  kick_t0 = h;
  kick = 2.16;  // the error ratio 2.16/2 = 1.08, the cut about 0.80
  window_lo = 0.6 * h;
  window_hi = 0.9 * h;
  window_lambda = 40.0;  // H*lambda about 4: diverges at the second pass
  p.call(window_f, zero_jac);
  ASSERT_EQ(p.istate, 2);
  std::vector<seen> tries;
  for (const seen& r : probe)
    if (r.t > 0.0 && (tries.empty() || tries.back().t != r.t || tries.back().h != r.h))
      tries.push_back(r);
  ASSERT_EQ(tries.size(), 3u);
  ASSERT_GT(tries[1].t, window_lo);
  ASSERT_LT(tries[1].t, window_hi);
  EXPECT_EQ(tries[0].h, h);
  EXPECT_EQ(tries[2].h, tries[1].h * 0.25);
  // attempt 1, attempt 2 and its retry, the cut attempt
  EXPECT_EQ(p.jacobians(), 3);
  EXPECT_EQ(hu(), tries[2].h);
}

// Functional iteration: F is evaluated at history column 1 plus the leading
// coefficient times the correction; at Adams order 2 that is 1/2, not the
// coefficient 1 of column 2.
TEST_F(StepEntry, FunctionalIterationEvaluatesAtTheLeadingCoefficient) {
  start(1, 10, 1.0, 1.0e-9, 1.0 / 1024);
  raise_order_to(2);
  ASSERT_EQ(solver_state.COEF[0], 0.5);
  // A large kick after the order is reached makes an attempt iterate.
  kick_t0 = tcur();
  kick = 1.0e-2;
  kicked = true;
  probe.clear();
  p.call(kicked_decay);
  int checked = 0;
  for (std::size_t k = 1; k < probe.size(); ++k) {
    const seen& r = probe[k];
    if (r.t != probe[k - 1].t || r.h != probe[k - 1].h || r.order != 2) continue;
    // a further pass of the same attempt: Y = predicted column 1 + l0*CORR
    EXPECT_EQ(r.y[0], r.col1[0] + 0.5 * r.corr);
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

// After an error-test failure an order drop takes at most the failed step:
// the order-1 candidate, about 1.4 here, is capped at 1.
TEST_F(StepEntry, OrderDropAfterAFailureTakesAtMostTheFailedStep) {
  start(1, 21, 0.0, 1.0e-6, 1.0 / 1024);
  ramp = 1.0;
  decay = 0.0;
  for (int k = 0; k < 20 && order() < 2; ++k) {
    p.call(kicked_decay, decay_jac);
    ASSERT_EQ(p.istate, 2);
  }
  ASSERT_EQ(order(), 2);
  // Weights now make |column 3|/ATOL = 0.3 (the order-1 error constant of
  // order 2 is 1): the down ratio 1/(1.3*sqrt(0.3) + 1.3e-6) lies in (1, 2).
  const double col3 = std::fabs(p.rwork[20 + 2]);
  ASSERT_GT(col3, 0.0);
  p.atol[0] = col3 / 0.3;
  kick_t0 = tcur();
  kick = 1.0e3 * p.atol[0];
  kicked = true;
  probe.clear();
  p.call(kicked_decay, decay_jac);
  std::vector<seen> tries;
  for (const seen& r : probe)
    if (r.t > kick_t0 && (tries.empty() || tries.back().t != r.t || tries.back().h != r.h ||
                          tries.back().order != r.order))
      tries.push_back(r);
  ASSERT_GE(tries.size(), 2u);
  EXPECT_EQ(tries[0].order, 2);
  EXPECT_EQ(tries[1].order, 1);
  EXPECT_EQ(tries[1].h, tries[0].h);
}

// Twenty equations with nonzero corrections: the history update writes no
// place of RWORK before the history, so the caller's inputs there (places 1
// to 10) and the unused places 15 to 20 keep their values.
void scaled_t(int* neq, double* t, double*, double* ydot) {
  for (int i = 0; i < *neq; ++i) ydot[i] = (i + 1) * *t;
}
TEST_F(StepEntry, StepsLeaveThePlacesBeforeTheHistoryAlone) {
  const int n = 20;
  start(n, 22, 0.0, 1.0e-6, 1.0 / 1024);
  std::vector<double> before(20);
  for (int k = 0; k < 20; ++k) {
    if (k != 4 && k != 5 && k != 6 && (k < 10 || k > 13)) p.rwork[k] = 0.5 + k;
    before[k] = p.rwork[k];
  }
  for (int k = 0; k < 6; ++k) {
    p.call(scaled_t);
    ASSERT_EQ(p.istate, 2);
  }
  ASSERT_GT(std::fabs(corr(n - 1)), 0.0);
  for (int k = 0; k < 20; ++k) {
    if (k >= 10 && k <= 13) continue;  // outputs
    EXPECT_EQ(p.rwork[k], before[k]) << "place " << k + 1;
  }
}

}  // namespace
}  // namespace integrator::testing
