// Robertson's problem run as the classic demonstration: outputs at 0.4, 4,
// 40, ... 4e10 with ISTATE carried over. The step, F and Jacobian counts are
// the published figures of this method; a different count means a rule of
// the step has been changed.
#include <gtest/gtest.h>

#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

struct counts {
  int steps, f_calls, jacobians, order;
};

struct robertson_run {
  counts at_40{};
  counts at_end{};
  double y40[3]{};
};

robertson_run run_robertson(int mf) {
  reset_blocks();
  problem p(3, mf);
  robertson_values(p);
  if (mf == 24 || mf == 25) {
    p.iwork[0] = 2;
    p.iwork[1] = 2;
  }
  robertson_run run;
  p.tout = 0.4;
  for (int k = 0; k < 12; ++k) {
    p.call(robertson_f, robertson_jac);
    EXPECT_EQ(p.istate, 2) << "output " << k;
    if (p.istate < 0) break;
    if (k == 2) {
      run.at_40 = {p.steps(), p.f_calls(), p.jacobians(), p.order_used()};
      for (int i = 0; i < 3; ++i) run.y40[i] = p.y[i];
    }
    p.tout *= 10.0;
  }
  run.at_end = {p.steps(), p.f_calls(), p.jacobians(), p.order_used()};
  return run;
}

TEST(Robertson, AnalyticJacobianTakesThePublishedSteps) {
  const robertson_run run = run_robertson(21);
  EXPECT_EQ(run.at_40.steps, 128);
  EXPECT_EQ(run.at_40.order, 4);
  EXPECT_EQ(run.at_end.steps, 330);
  EXPECT_EQ(run.at_end.f_calls, 405);
  EXPECT_EQ(run.at_end.jacobians, 69);
}

TEST(Robertson, DifferenceJacobianTakesTheSameStepsWithThreeMoreCallsPerMatrix) {
  const robertson_run run = run_robertson(22);
  EXPECT_EQ(run.at_40.steps, 128);
  EXPECT_EQ(run.at_end.steps, 330);
  EXPECT_EQ(run.at_end.jacobians, 69);
  EXPECT_EQ(run.at_end.f_calls, 612);
}

}  // namespace
}  // namespace integrator::testing
