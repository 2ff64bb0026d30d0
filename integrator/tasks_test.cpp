// Tasks, continuation paths, error returns and the optional outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "integrator/driver_test_support.h"
#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

int rhs_calls = 0;
int jac_calls = 0;

void decay(int*, double*, double* y, double* ydot) {
  ++rhs_calls;
  ydot[0] = -y[0];
}
void constant(int*, double*, double*, double* ydot) { ydot[0] = 0.0; }
void counted_robertson(int* neq, double* t, double* y, double* ydot) {
  ++rhs_calls;
  robertson_f(neq, t, y, ydot);
}
void counted_robertson_jac(int* neq, double* t, double* y, int* ml, int* mu, double* pd,
                           int* nrowpd) {
  ++jac_calls;
  robertson_jac(neq, t, y, ml, mu, pd, nrowpd);
}

class Tasks : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_blocks();
    p.y[0] = 1.0;
    p.rtol[0] = 1e-8;
    p.atol[0] = 1e-12;
  }
  void TearDown() override { reset_blocks(); }
  double tcur() const { return p.rwork[12]; }
  problem p{1, 22};
};

TEST_F(Tasks, NormalOutputInsideTheLastStepTakesNoStep) {
  p.tout = 0.4;
  p.call(decay);
  ASSERT_EQ(p.istate, 2);
  ASSERT_GT(tcur(), 0.4);
  const int steps = p.steps();
  const int calls = p.f_calls();
  p.tout = 0.5 * (0.4 + tcur());
  p.call(decay);
  EXPECT_EQ(p.istate, 2);
  EXPECT_EQ(p.t, p.tout);
  EXPECT_EQ(p.steps(), steps);
  EXPECT_EQ(p.f_calls(), calls);
  EXPECT_NEAR(p.y[0], std::exp(-p.tout), 1e-7);
}

TEST_F(Tasks, OneStepTaskReturnsAfterEveryStep) {
  p.itask = 2;
  p.tout = 1.0;
  double last_t = 0.0;
  for (int k = 1; k <= 6; ++k) {
    p.call(decay);
    ASSERT_EQ(p.istate, 2);
    EXPECT_EQ(p.steps(), k);
    EXPECT_EQ(p.t, tcur());
    EXPECT_GT(p.t, last_t);
    EXPECT_EQ(p.y[0], p.rwork[20]);  // history column 1
    last_t = p.t;
  }
}

TEST_F(Tasks, StepEndTaskStopsAtTheFirstStepEndPastTout) {
  p.itask = 3;
  p.tout = 0.3;
  p.call(decay);
  ASSERT_EQ(p.istate, 2);
  EXPECT_GE(p.t, 0.3);
  EXPECT_EQ(p.t, tcur());
  EXPECT_LT(p.t - p.rwork[10], 0.3);  // the step before ended short of TOUT
  const int steps = p.steps();
  p.call(decay);  // already there
  EXPECT_EQ(p.istate, 2);
  EXPECT_EQ(p.steps(), steps);
}

TEST_F(Tasks, CriticalTimeIsNeverPassed) {
  p.itask = 4;
  p.rwork[0] = 1.5;
  for (double tout : {0.5, 1.0, 1.5}) {
    p.tout = tout;
    p.call(decay);
    ASSERT_EQ(p.istate, 2);
    EXPECT_EQ(p.t, tout);
    EXPECT_LE(tcur(), 1.5);
    EXPECT_NEAR(p.y[0], std::exp(-tout), 1e-7);
  }
  // From there, with TCRIT moved on, the task goes on.
  p.rwork[0] = 3.0;
  p.tout = 2.0;
  p.call(decay);
  EXPECT_EQ(p.istate, 2);
  EXPECT_LE(tcur(), 3.0);
}

TEST_F(Tasks, OneStepTaskWithCriticalTimeEndsExactlyOnIt) {
  p.itask = 5;
  p.rwork[0] = 0.7;
  p.tout = 0.5;  // at the start TCRIT may not lie behind TOUT
  int calls = 0;
  do {
    p.call(decay);
    ASSERT_EQ(p.istate, 2);
    EXPECT_LE(tcur(), 0.7);
    ASSERT_LT(++calls, 200);
  } while (p.t != 0.7);
  EXPECT_NEAR(p.y[0], std::exp(-0.7), 1e-7);
}

TEST_F(Tasks, MxstepEndsTheCallAndTheNextCallHasAFreshAllowance) {
  reset_blocks();
  problem r(3, 22);
  robertson_values(r);
  r.iopt = 1;
  r.iwork[5] = 10;
  r.tout = 4e10;
  message_capture capture;
  r.call(robertson_f);
  EXPECT_EQ(r.istate, -1);
  EXPECT_EQ(r.steps(), 10);
  EXPECT_EQ(r.t, r.rwork[12]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(r.y[i], r.rwork[20 + i]);
  r.istate = 2;
  r.call(robertson_f);
  EXPECT_EQ(r.istate, -1);
  EXPECT_EQ(r.steps(), 20);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], text(messages::mxstep_reached));
  EXPECT_EQ(lines[1], text(messages::mxstep_before_tout));
  EXPECT_EQ(lines[2], "      IN ABOVE MESSAGE,  I1 =        10");
  EXPECT_EQ(lines[3].substr(0, 29), "      IN ABOVE MESSAGE,  R1 =");
}

// Tolerances are re-read on every call: tightening them beyond the machine
// after steps have been taken gives message 203; zeroing them message 202.
TEST_F(Tasks, ToleranceTroubleAfterTheStartEndsWithItsError) {
  p.tout = 0.5;
  p.call(decay);
  ASSERT_EQ(p.istate, 2);
  {
    message_capture capture;
    p.rtol[0] = 1e-17;
    p.atol[0] = 0.0;
    p.tout = 2.0;
    p.call(decay);
    EXPECT_EQ(p.istate, -2);
    EXPECT_GT(p.rwork[13], 1.0);
    EXPECT_EQ(p.t, tcur());
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], text(messages::too_much_accuracy));
    EXPECT_EQ(lines[1], text(messages::too_much_accuracy_tolsf));
    EXPECT_EQ(lines[2], two_reals(tcur(), p.rwork[13]));
  }
  {
    message_capture capture;
    p.rtol[0] = 0.0;
    p.istate = 2;
    p.call(decay);
    EXPECT_EQ(p.istate, -6);
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], text(messages::ewt_became_nonpositive));
    EXPECT_EQ(lines[1].substr(0, 39), "      IN ABOVE MESSAGE,  I1 =         1");
  }
}

void very_stiff(int*, double*, double* y, double* ydot) { ydot[0] = -1.0e6 * (y[0] - 1.0) - 1.0; }

// With HMIN as large as the first step, the first failure cannot be met by a
// smaller step: error-test failure (-4) or convergence failure (-5).
TEST_F(Tasks, FailureAtHminEndsWithTheFailureKind) {
  struct row {
    int mf, istate;
    std::size_t lines;
    message_line first;
  } rows[] = {{22, -4, 3, messages::error_test_failed}, {10, -5, 4, messages::corrector_failed}};
  for (const row& r : rows) {
    reset_blocks();
    problem q(1, r.mf);
    q.y[0] = r.mf == 22 ? 1.0 : 0.0;
    q.rtol[0] = 1e-10;
    q.atol[0] = 1e-14;
    q.iopt = 1;
    q.rwork[4] = 0.5;  // H0
    q.rwork[6] = 0.5;  // HMIN
    q.tout = 10.0;
    message_capture capture;
    q.call(r.mf == 22 ? decay : very_stiff);
    EXPECT_EQ(q.istate, r.istate) << "MF " << r.mf;
    EXPECT_EQ(q.iwork[15], 1);  // the only component
    EXPECT_EQ(q.t, 0.0);
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), r.lines);
    EXPECT_EQ(lines[0], text(r.first));
    EXPECT_EQ(lines.back().substr(0, 21), "      IN ABOVE,  R1 =");
  }
}

double rate[3];
void relaxing(int* neq, double*, double* y, double* ydot) {
  for (int i = 0; i < neq[0]; ++i) ydot[i] = -rate[i] * (y[i] - 1.0);
}

// Functional iteration with H*rate a little above 1 diverges slowly: the
// corrector fails at HMIN while every weighted correction is still below 1.
// IWORK(16) names the largest |CORR(i)*EWT(i)|, read back from RWORK.
TEST_F(Tasks, FailureNamesTheComponentWithTheLargestWeightedCorrection) {
  struct row {
    double rate[3];
    int largest;
  } rows[] = {{{2.2, 2.4, 2.6}, 3}, {{2.6, 2.2, 2.4}, 1}, {{2.2, 2.6, 2.4}, 2}};
  for (const row& r : rows) {
    SCOPED_TRACE("largest " + std::to_string(r.largest));
    reset_blocks();
    for (int i = 0; i < 3; ++i) rate[i] = r.rate[i];
    problem q(3, 10);
    q.y = {1.0001, 1.0001, 1.0001};
    q.rtol[0] = 0.0;
    q.atol[0] = 1e-3;
    q.iopt = 1;
    q.rwork[4] = 0.5;  // H0
    q.rwork[6] = 0.5;  // HMIN
    q.tout = 10.0;
    message_capture capture;
    q.call(relaxing);
    ASSERT_EQ(q.istate, -5);
    const double* corr = q.rwork.data() + solver_state.CORR_AT - 1;
    const double* ewt = q.rwork.data() + solver_state.EWT_AT - 1;
    int largest = 0;
    double big = -1.0;
    for (int i = 0; i < 3; ++i) {
      const double size = std::fabs(corr[i] * ewt[i]);
      EXPECT_LT(size, 1.0) << i;
      EXPECT_GT(size, 0.0) << i;
      if (size > big) {
        big = size;
        largest = i + 1;
      }
    }
    EXPECT_EQ(largest, r.largest);
    EXPECT_EQ(q.iwork[15], r.largest);
  }
}

TEST_F(Tasks, StepTooSmallForTheTimeIsWarnedAboutUpToMxhnilTimes) {
  problem q(1, 22);
  q.y[0] = 1.0;
  q.rtol[0] = 1e-6;
  q.atol[0] = 1e-6;
  q.t = 1e10;
  q.tout = 2e10;
  q.iopt = 1;
  q.rwork[4] = 1e-10;  // T + H = T
  q.iwork[6] = 2;      // MXHNIL
  message_capture capture;
  q.call(constant);
  EXPECT_EQ(q.istate, 2);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 2 * 4 + 3u);
  EXPECT_EQ(lines[0], text(messages::tiny_step));
  EXPECT_EQ(lines[1], text(messages::tiny_step_machine));
  EXPECT_EQ(lines[2], text(messages::tiny_step_goes_on));
  EXPECT_EQ(lines[3], "      IN ABOVE,  R1 =  0.1000000000000D+11   R2 =  0.1000000000000D-09");
  EXPECT_EQ(lines[8], text(messages::tiny_step_limit));
  EXPECT_EQ(lines[9], text(messages::tiny_step_not_again));
  EXPECT_EQ(lines[10], "      IN ABOVE MESSAGE,  I1 =         2");
}

TEST(Counters, CountWhatWasCalled) {
  for (int mf : {21, 22, 25}) {
    reset_blocks();
    problem r(3, mf);
    robertson_values(r);
    r.iwork[0] = r.iwork[1] = 1;
    rhs_calls = jac_calls = 0;
    for (r.tout = 0.4; r.tout < 5e5; r.tout *= 10.0) {
      r.call(counted_robertson, counted_robertson_jac);
      ASSERT_EQ(r.istate, 2);
      EXPECT_EQ(r.f_calls(), rhs_calls) << "MF " << mf;
      EXPECT_EQ(r.iwork[14], solver_state.ORDER);
      EXPECT_EQ(r.order_used(), solver_state.ORDER_USED);
    }
    EXPECT_EQ(r.jacobians(), mf == 21 ? jac_calls : solver_state.JAC_COUNT) << "MF " << mf;
    if (mf != 21) {
      EXPECT_EQ(jac_calls, 0);
      // beyond one call per attempt and iteration: N (or 2 groups) per matrix
      EXPECT_GE(r.f_calls(), r.steps() + (mf == 22 ? 3 : 2) * r.jacobians());
    }
  }
  reset_blocks();
}

TEST(ChangedInputs, LoweringTheMaximumOrderMidRunIsObeyed) {
  reset_blocks();
  problem r(3, 22);
  r.y = {1.0, 0.0, 0.0};
  r.itol = 2;
  r.rtol[0] = 1e-6;
  r.atol = {1e-8, 1e-12, 1e-8};
  for (r.tout = 0.4; r.tout < 41.0; r.tout *= 10.0) r.call(robertson_f);
  ASSERT_EQ(r.istate, 2);
  ASSERT_GT(r.iwork[14], 2);
  r.istate = 3;
  r.iopt = 1;
  r.iwork[4] = 2;
  for (; r.tout < 5e5; r.tout *= 10.0) {
    r.call(robertson_f);
    ASSERT_EQ(r.istate, 2);
    r.istate = 2;
    EXPECT_LE(r.iwork[14], 2);
    EXPECT_LE(r.order_used(), 2);
  }
  EXPECT_NEAR(r.y[0] + r.y[1] + r.y[2], 1.0, 1e-5);  // mass is conserved
  reset_blocks();
}

// An ISTATE 3 call that fails its checks must leave the running problem as
// it was: here the new MF would need more RWORK than there is.
TEST(ChangedInputs, IllegalChangeLeavesTheProblemRunningInItsOwnArrays) {
  reset_blocks();
  problem r(1, 10);
  r.y[0] = 1.0;
  r.rtol[0] = 1e-6;
  r.atol[0] = 1e-10;
  r.lrw = 20 + 13 + 3;  // exactly MF 10 for one equation
  for (std::size_t i = r.lrw; i < r.rwork.size(); ++i) r.rwork[i] = 12345.0;
  r.tout = 1.0;
  r.call(decay);
  ASSERT_EQ(r.istate, 2);
  {
    message_capture capture;
    r.istate = 3;
    r.mf = 12;  // Adams keeps its 13 history columns and adds a 1x1 matrix
    r.tout = 2.0;
    r.call(decay);
    EXPECT_EQ(r.istate, -3);
    EXPECT_EQ(r.iwork[16], 20 + 13 + 3 + 3);
  }
  r.istate = 2;
  r.call(decay);
  EXPECT_EQ(r.istate, 2);
  EXPECT_EQ(solver_state.ITERATION, 0);
  EXPECT_NEAR(r.y[0], std::exp(-2.0), 1e-5);
  for (std::size_t i = r.lrw; i < r.rwork.size(); ++i) ASSERT_EQ(r.rwork[i], 12345.0) << i;
  reset_blocks();
}

}  // namespace
}  // namespace integrator::testing
