// The failure paths of one step, one step per call (ITASK 2): error-test
// failures and their cuts, the restart at order 1, corrector failures with an
// old or a current matrix, singular iteration matrices, the HMIN bounds and
// the error returns they end in. The right-hand sides are built so that every
// attempt's fate is known in advance; a probe inside F records the step's
// state at each call, so each attempt's step size can be checked exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

// The step's state as F sees it; the first component only.
struct probe_record {
  double t, h, y, ydot, col2, ratio_max, coef1, conv_test;
  int order, ncoef, order_wait, matrix_due, step_result, conv_fail, jac_count;
};

std::vector<probe_record> calls;
const double* watched_rwork = nullptr;  // the running problem's RWORK, for the history

void note(double t, const double* y, const double* ydot) {
  const solver_state_block& s = solver_state;
  const double col2 = watched_rwork ? watched_rwork[20 + s.HIST_LEN] : 0.0;
  calls.push_back({t, s.H, y[0], ydot[0], col2, s.RATIO_MAX, s.COEF[0], s.CONV_TEST, s.ORDER,
                   s.NCOEF, s.ORDER_WAIT, s.MATRIX_DUE, s.STEP_RESULT, s.CONV_FAIL, s.JAC_COUNT});
}

// F calls grouped by attempt: a new attempt starts when the time, the step
// size, the failure count or the corrector flag changes.
struct attempt {
  probe_record first;
  int f_calls;
};
std::vector<attempt> attempts() {
  std::vector<attempt> out;
  for (const probe_record& r : calls) {
    if (!out.empty()) {
      const probe_record& f = out.back().first;
      if (f.t == r.t && f.h == r.h && f.step_result == r.step_result &&
          f.conv_fail == r.conv_fail) {
        ++out.back().f_calls;
        continue;
      }
    }
    out.push_back({r, 1});
  }
  return out;
}

// --- right-hand sides -------------------------------------------------------

// kick: f_i = base - decay*y_i, plus kick_i/(t - t0) once armed, for attempts
// from t0 longer than h_pass. The kick makes every correction about kick_i
// whatever the step size, so an attempt either fails the error test by the
// same margin or (at or below h_pass) is not disturbed at all.
struct kick_settings {
  double t0 = 0.0;
  double h_pass = 0.0;
  double base = 1.0;
  double decay = 0.0;
  double kick[3] = {0.0, 0.0, 0.0};
  bool armed = false;
};
kick_settings ks;

void kick_f(int* neq, double* t, double* y, double* ydot) {
  const double dt = *t - ks.t0;
  for (int i = 0; i < *neq; ++i) {
    ydot[i] = ks.base - ks.decay * y[i];
    if (ks.armed && dt > ks.h_pass) ydot[i] = ydot[i] + ks.kick[i] / dt;
  }
  note(*t, y, ydot);
}
// The kick does not depend on y: the Jacobian is the decay alone.
void kick_jac(int* neq, double*, double*, int*, int*, double* pd, int* ld) {
  for (int i = 0; i < *neq; ++i) pd[i * *ld + i] = -ks.decay;
}

// Past t0 (once armed) f = -lambda*y, else 0. JAC gives the true Jacobian,
// or 0 when `jac_lies` (the chord iteration then contracts by H*lambda).
struct switch_settings {
  double t0 = 0.0;
  double lambda = 0.0;
  bool armed = false;
  bool jac_lies = false;
};
switch_settings ss;

bool switched(double t) { return ss.armed && t > ss.t0; }
void switch_f(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i) ydot[i] = switched(*t) ? -ss.lambda * y[i] : 0.0;
  note(*t, y, ydot);
}
int jac_calls = 0;
void switch_jac(int* neq, double* t, double*, int*, int*, double* pd, int* ld) {
  ++jac_calls;
  const double j = switched(*t) && !ss.jac_lies ? -ss.lambda : 0.0;
  for (int i = 0; i < *neq; ++i) pd[i * *ld + i] = j;
}

// 1 at t0 and before, NaN after: no corrector pass can converge.
double nan_t0 = 0.0;
void nan_f(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i)
    ydot[i] = *t > nan_t0 ? std::numeric_limits<double>::quiet_NaN() : 1.0;
  note(*t, y, ydot);
}
void zero_jac(int*, double*, double*, int*, int*, double*, int*) {}

// f = 8*(y - 1). With H = 1/8 at order 1 (l0 = 1) the iteration matrix
// 1 - H*l0*8 is exactly 0, at H/4 it is 3/4.
void growth_f(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i) ydot[i] = 8.0 * (y[i] - 1.0);
  note(*t, y, ydot);
}
// Full (ML = MU = 0) and band storage with ML = MU = 0 coincide for NEQ 1.
void growth_jac(int*, double*, double*, int*, int*, double* pd, int*) { pd[0] = 8.0; }

// A Jacobian of 1/(H*l0) on the diagonal makes I - H*l0*J zero at every step
// size (exactly, while H is a power of two at order 1).
void flat_f(int* neq, double* t, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i) ydot[i] = 0.0;
  note(*t, y, ydot);
}
void always_singular_jac(int* neq, double*, double*, int*, int*, double* pd, int* ld) {
  const double j = 1.0 / (solver_state.H * solver_state.COEF1_PRIOR);
  for (int i = 0; i < *neq; ++i) pd[i * *ld + i] = j;
}

// --- message lines ----------------------------------------------------------

// The 21-character exponent field of a value line (13 significant digits).
std::string d_field(double v) {
  if (v == 0.0) return "  0.0000000000000D+00";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.12e", std::fabs(v));  // d.dddddddddddde+XX
  const std::string s = buf;
  const int exp10 = std::stoi(s.substr(s.find('e') + 1)) + 1;
  std::string digits = s.substr(0, 1) + s.substr(2, 12);
  char out[40];
  std::snprintf(out, sizeof out, "%s0.%sD%c%02d", v < 0 ? "-" : "", digits.c_str(),
                exp10 < 0 ? '-' : '+', std::abs(exp10));
  std::string f = out;
  return std::string(21 - f.size(), ' ') + f;
}
std::string two_reals(double r1, double r2) {
  return "      IN ABOVE,  R1 =" + d_field(r1) + "   R2 =" + d_field(r2);
}
std::vector<std::string> message_204(double tcur, double h) {
  return {text(messages::error_test_failed), text(messages::error_test_failed_repeatedly),
          two_reals(tcur, h)};
}
std::vector<std::string> message_205(double tcur, double h) {
  return {text(messages::corrector_failed), text(messages::corrector_failed_repeatedly),
          text(messages::corrector_failed_hmin), two_reals(tcur, h)};
}

// --- fixture ----------------------------------------------------------------

class StepFailures : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_blocks();
    calls.clear();
    ks = kick_settings{};
    ss = switch_settings{};
    nan_t0 = 0.0;
    jac_calls = 0;
  }
  void TearDown() override {
    watched_rwork = nullptr;
    reset_blocks();
  }
  // One step per call from y = y0, absolute tolerance only, first step h0.
  problem& start(int n, int mf, double y0, double atol, double h0, double hmin = 0.0) {
    p = problem(n, mf);
    for (int i = 0; i < n; ++i) p.y[i] = y0;
    p.atol[0] = atol;
    p.rtol[0] = 0.0;
    p.itask = 2;
    p.tout = 100.0;
    p.iopt = 1;
    p.rwork[4] = h0;
    p.rwork[6] = hmin;
    watched_rwork = p.rwork.data();
    return p;
  }
  double hu() const { return p.rwork[10]; }
  double h() const { return p.rwork[11]; }
  double tcur() const { return p.rwork[12]; }
  int order() const { return p.iwork[14]; }
  int largest() const { return p.iwork[15]; }
  double col1(int i) const { return p.rwork[20 + i]; }

  problem p{1};
};

// --- error-test failures ----------------------------------------------------

// Three equations with kicks (4, 8, 8): every disturbed attempt has the error
// ratio e = sqrt((16 + 64 + 64)/3)/2 at order 1 (error constant 2), the same
// ratio whatever H, and the largest weighted correction in components 2 and 3.
constexpr double h1 = 0.125;
const double kick_e = std::sqrt(48.0) / 2.0;
// The first cut: the same-order ratio; the second is capped at 0.2; from the
// third failure on each restart takes a tenth.
const double first_cut = 1.0 / (1.2 * std::sqrt(kick_e) + 1.2e-6);

// The step size of attempt k (1-based), as the cuts above give it.
double kick_h(int k) {
  double h = h1;
  if (k >= 2) h *= first_cut;
  if (k >= 3) h *= 0.2;
  for (int j = 4; j <= k; ++j) h *= 0.1;
  return h;
}

void arm_kick(double t0, double h_pass) {
  ks.t0 = t0;
  ks.h_pass = h_pass;
  ks.base = 1.0;
  ks.kick[0] = 4.0;
  ks.kick[1] = 8.0;
  ks.kick[2] = 8.0;
  ks.armed = true;
}

struct failure_count_case {
  const char* name;
  int failures;  // attempts disturbed before one that is not
};

class ErrorTestFailures : public StepFailures,
                          public ::testing::WithParamInterface<failure_count_case> {};

TEST_P(ErrorTestFailures, CutRestartAndGiveUpAtTheTenth) {
  const int n_fail = GetParam().failures;
  start(3, 21, 1.0, 1.0, h1);
  // Attempts 1..n_fail are disturbed, attempt n_fail + 1 is not.
  arm_kick(0.0, std::sqrt(kick_h(n_fail) * kick_h(n_fail + 1)));
  p.iwork[15] = 99;
  message_capture capture;
  p.call(kick_f, kick_jac);
  const std::vector<std::string> lines = capture.lines();

  const int failures = std::min(n_fail, 10);
  const bool passes = n_fail < 10;
  std::vector<attempt> tries, restarts;
  for (const attempt& a : attempts()) {
    if (a.first.t > 0.0)
      tries.push_back(a);
    else if (a.first.step_result < 0)  // not the start-up call
      restarts.push_back(a);
  }
  ASSERT_EQ(static_cast<int>(tries.size()), failures + (passes ? 1 : 0));
  const int expected_restarts = std::max(0, std::min(failures, 9) - 2);
  ASSERT_EQ(static_cast<int>(restarts.size()), expected_restarts);

  EXPECT_EQ(tries[0].first.h, h1);
  for (std::size_t k = 1; k < tries.size(); ++k) {
    const probe_record& r = tries[k].first;
    const double before = tries[k - 1].first.h;
    SCOPED_TRACE("attempt " + std::to_string(k + 1));
    EXPECT_EQ(r.step_result, -static_cast<int>(k));  // failures so far
    EXPECT_EQ(r.ratio_max, 2.0);
    EXPECT_EQ(r.order, 1);
    EXPECT_EQ(r.matrix_due, 1);
    if (k == 1) {
      EXPECT_DOUBLE_EQ(r.h, before * first_cut);
      EXPECT_GT(r.h, before * 0.2);  // the first cut is not capped
    } else if (k == 2) {
      EXPECT_EQ(r.h, before * 0.2);  // the same-order ratio would allow more
    } else {
      EXPECT_EQ(r.h, before * 0.1);
      EXPECT_EQ(r.order_wait, 5);
    }
  }
  // Each restart calls F afresh at the step's start and rebuilds column 2.
  for (std::size_t j = 0; j < restarts.size(); ++j) {
    const probe_record& r = restarts[j].first;
    const probe_record& next = tries[j + 3].first;
    EXPECT_EQ(restarts[j].f_calls, 1);
    EXPECT_EQ(r.step_result, -static_cast<int>(j + 3));
    EXPECT_EQ(r.h, next.h);
    EXPECT_EQ(next.col2, next.h * r.ydot);
  }
  // Disturbed attempts converge at the second pass, the last one at the first.
  const int f_calls = 1 + 2 * failures + expected_restarts + (passes ? 1 : 0);
  EXPECT_EQ(p.f_calls(), f_calls);
  EXPECT_EQ(static_cast<int>(calls.size()), f_calls);
  EXPECT_EQ(p.jacobians(), static_cast<int>(tries.size()));  // every attempt re-forms

  if (passes) {
    EXPECT_EQ(p.istate, 2);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(p.steps(), 1);
    EXPECT_EQ(hu(), tries.back().first.h);
    EXPECT_EQ(h(), hu());  // no change is weighed right after the cuts
    EXPECT_EQ(tcur(), hu());
    EXPECT_EQ(p.t, tcur());
    EXPECT_EQ(solver_state.ORDER_WAIT, failures >= 3 ? 4 : 1);
    EXPECT_EQ(solver_state.RATIO_MAX, 2.0);
    EXPECT_EQ(p.iwork[15], 99);  // set only on the error returns
  } else {
    EXPECT_EQ(p.istate, -4);
    EXPECT_EQ(lines, message_204(0.0, tries.back().first.h));
    EXPECT_EQ(solver_state.STEP_RESULT, -1);
    EXPECT_EQ(p.steps(), 0);
    EXPECT_EQ(hu(), 0.0);
    EXPECT_EQ(h(), tries.back().first.h);
    EXPECT_EQ(tcur(), 0.0);
    EXPECT_EQ(p.t, 0.0);
    EXPECT_EQ(order(), 1);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(p.y[i], col1(i));
      EXPECT_NEAR(p.y[i], 1.0, 1e-15);
    }
    EXPECT_EQ(largest(), 2);  // components 2 and 3 tie: the first wins
  }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ErrorTestFailures,
    ::testing::Values(failure_count_case{"one", 1}, failure_count_case{"two", 2},
                      failure_count_case{"three", 3}, failure_count_case{"nine", 9},
                      failure_count_case{"ten", 10}),
    [](const ::testing::TestParamInfo<failure_count_case>& i) { return i.param.name; });

TEST_F(StepFailures, AfterAnErrorTestFailureTheNextGrowthIsAtMostTwofold) {
  start(3, 21, 1.0, 1.0, h1);
  arm_kick(0.0, std::sqrt(kick_h(2) * kick_h(3)));
  p.call(kick_f, kick_jac);
  ASSERT_EQ(p.istate, 2);
  ASSERT_EQ(solver_state.ORDER_WAIT, 1);
  const double cut = hu();
  // Undisturbed from here on: the next step has no error at all, so only the
  // cap limits the growth weighed at its end.
  ks.armed = false;
  p.call(kick_f, kick_jac);
  ASSERT_EQ(p.istate, 2);
  EXPECT_EQ(hu(), cut);
  EXPECT_EQ(h(), cut * 2.0);
  EXPECT_EQ(solver_state.RATIO_MAX, 10.0);
}

// At |H| <= HMIN*1.00001 an error-test failure ends the call at once; just
// above, the cut is floored at HMIN and the next failure ends it.
struct hmin_case {
  const char* name;
  double hmin;
  int tries;       // attempts until the call gives up
  int floored_at;  // the attempt whose H is the floored one (0: none)
};

class ErrorTestAtHmin : public StepFailures, public ::testing::WithParamInterface<hmin_case> {};

TEST_P(ErrorTestAtHmin, EndsTheCallOrFloorsTheCut) {
  const hmin_case& c = GetParam();
  start(3, 21, 1.0, 1.0, h1, c.hmin);
  arm_kick(0.0, 0.0);
  message_capture capture;
  p.call(kick_f, kick_jac);
  const std::vector<std::string> lines = capture.lines();
  std::vector<attempt> tries;
  for (const attempt& a : attempts())
    if (a.first.t > 0.0) tries.push_back(a);
  ASSERT_EQ(static_cast<int>(tries.size()), c.tries);
  if (c.floored_at > 0) {
    const double before = tries[c.floored_at - 2].first.h;
    EXPECT_EQ(tries[c.floored_at - 1].first.h, before * (c.hmin / before));
  }
  EXPECT_EQ(p.istate, -4);
  EXPECT_EQ(h(), tries.back().first.h);
  EXPECT_EQ(lines, message_204(0.0, h()));
  EXPECT_EQ(p.t, 0.0);
  EXPECT_EQ(largest(), 2);
}

INSTANTIATE_TEST_SUITE_P(Bounds, ErrorTestAtHmin,
                         ::testing::Values(hmin_case{"at_the_bound", h1 / 1.000005, 1, 0},
                                           hmin_case{"just_above", h1 / 1.00005, 2, 2},
                                           // HMIN/|H| above 0.1 at the third failure: the restart
                                           // lands on HMIN, and the failure there ends the call.
                                           hmin_case{"restart_floor", std::sqrt(0.1) * kick_h(3), 4,
                                                     4}),
                         [](const ::testing::TestParamInfo<hmin_case>& i) { return i.param.name; });

// --- corrector failures -----------------------------------------------------

// f switches to -20*y after the first step. The matrix formed in the first
// step (J = 0) makes the chord iteration grow by H*lambda = 2.5 per pass: it
// diverges at the second pass. Being older than the step, the matrix is
// re-formed at the same H, and the true Jacobian converges.
TEST_F(StepFailures, ConvergenceFailureWithAnOldMatrixRetriesWithAFreshOne) {
  start(1, 21, 1.0, 1.0, h1);
  p.call(switch_f, switch_jac);
  ASSERT_EQ(p.istate, 2);
  ASSERT_EQ(tcur(), h1);
  ASSERT_EQ(p.jacobians(), 1);
  ss.t0 = h1;
  ss.lambda = 20.0;
  ss.armed = true;
  calls.clear();
  p.call(switch_f, switch_jac);
  ASSERT_EQ(p.istate, 2);
  const std::vector<attempt> a = attempts();
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].first.conv_fail, 0);
  EXPECT_EQ(a[0].f_calls, 2);  // the divergence test stops it at the second pass
  EXPECT_EQ(a[1].first.conv_fail, 1);
  EXPECT_EQ(a[1].first.matrix_due, 1);
  EXPECT_EQ(a[1].first.h, h1);  // same H
  EXPECT_EQ(a[1].first.t, 2.0 * h1);
  EXPECT_EQ(a[1].f_calls, 2);
  EXPECT_EQ(solver_state.CONV_FAIL, 1);
  EXPECT_EQ(hu(), h1);
  EXPECT_EQ(tcur(), 2.0 * h1);
  EXPECT_EQ(p.jacobians(), 2);
  EXPECT_EQ(jac_calls, 2);
  EXPECT_EQ(p.f_calls(), 1 + 1 + 2 + 2);
}

// With a Jacobian of 0 for f = -lambda*y the chord iteration from the first
// step's own (current) matrix multiplies each correction by -H*lambda, so the
// number of passes each attempt makes is known: it stops at the divergence
// test (m >= 2 and d > 2*d_prev), after MAX_CORR = 3 passes, or converges.
// Every corrector failure cuts H by 4 (exact: H stays a power of two).
struct corrector_case {
  const char* name;
  double lambda;
  std::vector<int> f_calls;  // per attempt; the last one converges
};

class CorrectorFailures : public StepFailures,
                          public ::testing::WithParamInterface<corrector_case> {};

TEST_P(CorrectorFailures, CutTheStepByFourWithAFreshMatrix) {
  const corrector_case& c = GetParam();
  start(1, 21, 1.0, 1.0, h1);
  ss.t0 = 0.0;
  ss.lambda = c.lambda;
  ss.armed = true;
  ss.jac_lies = true;
  p.call(switch_f, switch_jac);
  ASSERT_EQ(p.istate, 2);
  std::vector<attempt> tries;
  for (const attempt& a : attempts())
    if (a.first.t > 0.0) tries.push_back(a);
  ASSERT_EQ(tries.size(), c.f_calls.size());
  double hk = h1;
  int f_calls = 1;
  for (std::size_t k = 0; k < tries.size(); ++k) {
    SCOPED_TRACE("attempt " + std::to_string(k + 1));
    const probe_record& r = tries[k].first;
    EXPECT_EQ(tries[k].f_calls, c.f_calls[k]);
    EXPECT_EQ(r.h, hk);
    EXPECT_EQ(r.matrix_due, 1);
    if (k > 0) {
      EXPECT_EQ(r.conv_fail, 2);
      EXPECT_EQ(r.ratio_max, 2.0);
    }
    f_calls += c.f_calls[k];
    hk *= 0.25;
  }
  EXPECT_EQ(p.f_calls(), f_calls);
  EXPECT_EQ(p.jacobians(), static_cast<int>(tries.size()));
  EXPECT_EQ(hu(), tries.back().first.h);
  EXPECT_EQ(tcur(), hu());
  EXPECT_EQ(solver_state.CONV_FAIL, 2);
  EXPECT_EQ(solver_state.RATIO_MAX, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Rates, CorrectorFailures,
                         ::testing::Values(
                             // 2.5: diverges at the second pass; then 0.625 converges at the third.
                             corrector_case{"diverges", 20.0, {2, 3}},
                             // 1: the corrections keep their size, three passes; then 0.25 at once.
                             corrector_case{"stalls", 8.0, {3, 1}},
                             // 8 diverges; 2 doubles exactly (not divergence), three passes; 0.5.
                             corrector_case{"doubles", 64.0, {2, 3, 2}}),
                         [](const ::testing::TestParamInfo<corrector_case>& i) {
                           return i.param.name;
                         });

// NaN past the start: no attempt converges, whatever H. MAX_CONV_FAIL = 10
// failures end the call with message 205; H has been cut 9 times by 4.
TEST_F(StepFailures, TenCorrectorFailuresEndTheCall) {
  start(1, 21, 1.0, 1.0, h1);
  p.iwork[15] = 99;
  message_capture capture;
  p.call(nan_f, zero_jac);
  const std::vector<std::string> lines = capture.lines();
  const double h_last = h1 / 262144.0;  // 0.125 * 0.25^9 = 2^-21
  EXPECT_EQ(p.istate, -5);
  EXPECT_EQ(lines, message_205(0.0, h_last));
  EXPECT_EQ(lines[3], "      IN ABOVE,  R1 =  0.0000000000000D+00   R2 =  0.4768371582031D-06");
  EXPECT_EQ(h(), h_last);
  EXPECT_EQ(solver_state.STEP_RESULT, -2);
  EXPECT_EQ(solver_state.CONV_FAIL, 2);
  EXPECT_EQ(p.f_calls(), 1 + 10 * 3);  // three passes per attempt
  EXPECT_EQ(p.jacobians(), 10);
  EXPECT_EQ(p.steps(), 0);
  EXPECT_EQ(hu(), 0.0);
  EXPECT_EQ(tcur(), 0.0);
  EXPECT_EQ(p.t, 0.0);
  EXPECT_EQ(p.y[0], 1.0);  // the prediction undone (exactly: H a power of two)
  EXPECT_EQ(col1(0), 1.0);
  EXPECT_EQ(largest(), 1);
}

// At |H| <= HMIN*1.00001 a corrector failure ends the call at once; just
// above, the cut by 4 is floored at HMIN and the next failure ends it.
TEST_F(StepFailures, CorrectorFailureAtHmin) {
  struct {
    double hmin;
    int tries;
  } cases[] = {{h1 / 1.000005, 1}, {h1 / 1.00005, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tries);
    reset_blocks();
    calls.clear();
    start(1, 21, 1.0, 1.0, h1, c.hmin);
    message_capture capture;
    p.call(nan_f, zero_jac);
    const std::vector<std::string> lines = capture.lines();
    const double h_last = c.tries == 1 ? h1 : h1 * (c.hmin / h1);
    EXPECT_EQ(p.istate, -5);
    EXPECT_EQ(h(), h_last);
    EXPECT_EQ(lines, message_205(0.0, h_last));
    EXPECT_EQ(p.f_calls(), 1 + 3 * c.tries);
    EXPECT_EQ(p.jacobians(), c.tries);  // re-formed after the failure though H hardly changed
    EXPECT_EQ(p.t, 0.0);
    EXPECT_EQ(p.y[0], col1(0));
    EXPECT_NEAR(p.y[0], 1.0, 1e-15);
  }
}

// --- singular iteration matrices ---------------------------------------------

// The matrix is exactly singular at the first H = 1/8 and regular at 1/32:
// the step is cut by 4, the matrix re-formed and the step taken. For the
// difference quotients, y = 1 is a steady state, so the increment is the
// weight 1/16 and the quotient is exactly 8. For the diagonal form the
// predicted change 10 (from y = 11) makes every quantity exact.
struct singular_case {
  const char* name;
  int mf;
  double y0, atol;
  int f_calls;
};

class SingularMatrix : public StepFailures, public ::testing::WithParamInterface<singular_case> {};

TEST_P(SingularMatrix, CutsTheStepByFourAndRetries) {
  const singular_case& c = GetParam();
  start(1, c.mf, c.y0, c.atol, h1);
  p.call(growth_f, growth_jac);
  ASSERT_EQ(p.istate, 2);
  std::vector<attempt> tries;
  for (const attempt& a : attempts())
    if (a.first.t > 0.0) tries.push_back(a);
  ASSERT_EQ(tries.size(), 2u);
  EXPECT_EQ(tries[0].first.h, h1);
  EXPECT_EQ(tries[1].first.h, h1 * 0.25);
  EXPECT_EQ(tries[1].first.conv_fail, 2);
  EXPECT_EQ(tries[1].first.matrix_due, c.mf % 10);
  EXPECT_EQ(hu(), h1 * 0.25);
  EXPECT_EQ(tcur(), h1 * 0.25);
  EXPECT_EQ(p.jacobians(), 2);
  EXPECT_EQ(p.f_calls(), c.f_calls);
  EXPECT_EQ(solver_state.CONV_FAIL, 2);
  EXPECT_EQ(solver_state.RATIO_MAX, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SingularMatrix,
                         ::testing::Values(singular_case{"full_jac", 21, 1.0, 1.0 / 16, 3},
                                           singular_case{"full_differences", 22, 1.0, 1.0 / 16, 5},
                                           singular_case{"diagonal", 23, 11.0, 1.0, 6},
                                           singular_case{"band_jac", 24, 1.0, 1.0 / 16, 3},
                                           singular_case{"band_differences", 25, 1.0, 1.0 / 16, 5}),
                         [](const ::testing::TestParamInfo<singular_case>& i) {
                           return i.param.name;
                         });

// Singular at every H: the failures count toward MAX_CONV_FAIL. The
// corrections are never formed, so all are 0 and the component index is 1.
TEST_F(StepFailures, MatrixSingularAtEveryStepSize) {
  start(2, 21, 1.0, 1.0, h1);
  p.iwork[15] = 99;
  message_capture capture;
  p.call(flat_f, always_singular_jac);
  const std::vector<std::string> lines = capture.lines();
  EXPECT_EQ(p.istate, -5);
  EXPECT_EQ(h(), h1 / 262144.0);
  EXPECT_EQ(lines, message_205(0.0, h()));
  EXPECT_EQ(p.jacobians(), 10);
  EXPECT_EQ(p.f_calls(), 1 + 10);
  EXPECT_EQ(largest(), 1);
  EXPECT_EQ(p.y[0], 1.0);
  EXPECT_EQ(p.y[1], 1.0);
}

// A smooth decay raised to order 4, then a kick small enough that the first
// two failures keep the order: the third restarts at order 1 from there.
TEST_F(StepFailures, RestartFromAboveOrderOneReloadsOrderOne) {
  start(1, 21, 1.0, 1e-9, 1.0 / 1024);
  p.rtol[0] = 1e-6;
  ks.base = 0.0;
  ks.decay = 1.0;
  for (int k = 0; k < 100 && order() < 4; ++k) {
    p.call(kick_f, kick_jac);
    ASSERT_EQ(p.istate, 2);
  }
  ASSERT_EQ(order(), 4);
  const double t0 = tcur(), hu_before = hu();
  const int order_used_before = p.order_used();
  ks.t0 = t0;
  ks.kick[0] = 1e-5;
  ks.armed = true;
  calls.clear();
  message_capture capture;
  p.call(kick_f, kick_jac);
  const std::vector<std::string> lines = capture.lines();
  std::vector<attempt> tries, restarts;
  for (const attempt& a : attempts()) (a.first.t > t0 ? tries : restarts).push_back(a);
  ASSERT_EQ(tries.size(), 10u);
  ASSERT_EQ(restarts.size(), 7u);
  ASSERT_EQ(tries[2].first.order, 4);  // still above 1 at the third failure

  const probe_record& fresh = restarts[0].first;
  const probe_record& r = tries[3].first;
  EXPECT_EQ(fresh.t, t0);
  EXPECT_EQ(fresh.step_result, -3);
  EXPECT_EQ(r.h, tries[2].first.h * 0.1);
  EXPECT_EQ(r.order, 1);
  EXPECT_EQ(r.ncoef, 2);
  EXPECT_EQ(r.coef1, solver_state.COEF_TABLE[0][0]);
  EXPECT_EQ(r.conv_test, 0.5 / 3);
  EXPECT_EQ(r.order_wait, 5);
  EXPECT_EQ(r.matrix_due, 1);
  EXPECT_EQ(r.col2, r.h * fresh.ydot);

  EXPECT_EQ(p.istate, -4);
  EXPECT_EQ(order(), 1);
  EXPECT_EQ(lines, message_204(t0, h()));
  EXPECT_EQ(p.order_used(), order_used_before);  // of the last step taken
  EXPECT_EQ(hu(), hu_before);
  EXPECT_EQ(h(), tries.back().first.h);
  EXPECT_EQ(tcur(), t0);
  EXPECT_EQ(p.t, t0);
  EXPECT_EQ(p.y[0], col1(0));
  EXPECT_EQ(largest(), 1);
}

// Just after the order rose from 1 to 2 with a tiny step, the order-1
// candidate allows far more than the failed step: the order drops and the
// step is kept as it was (the ratio is capped at 1 after a failure).
TEST_F(StepFailures, OrderDropAfterAFailureKeepsTheStep) {
  start(1, 21, 1.0, 1e-9, 1.0 / 1073741824);  // 2^-30
  p.rtol[0] = 1e-6;
  ks.base = 0.0;
  ks.decay = 1.0;
  for (int k = 0; k < 20 && order() < 2; ++k) {
    p.call(kick_f, kick_jac);
    ASSERT_EQ(p.istate, 2);
  }
  ASSERT_EQ(order(), 2);
  ks.t0 = tcur();
  ks.h_pass = 0.5 * h();  // attempts at the step size reached are disturbed
  ks.kick[0] = 1e-3;
  ks.armed = true;
  calls.clear();
  p.call(kick_f, kick_jac);
  ASSERT_EQ(p.istate, 2);
  const std::vector<attempt> a = attempts();
  ASSERT_EQ(a.size(), 3u);  // the kept step fails again, the cut one passes
  EXPECT_EQ(a[0].first.order, 2);
  EXPECT_EQ(a[1].first.order, 1);
  EXPECT_EQ(a[1].first.step_result, -1);
  EXPECT_EQ(a[1].first.h, a[0].first.h);
}

}  // namespace
}  // namespace integrator::testing
