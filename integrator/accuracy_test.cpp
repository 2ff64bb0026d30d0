// Accuracy against known solutions, for every method flag.
#include <gtest/gtest.h>

#include <cmath>

#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

// y1' = -y1, y2' = 99 y1 - 100 y2, y(0) = (1, 2):
// y1 = exp(-t), y2 = exp(-t) + exp(-100 t).
void linear_f(int*, double*, double* y, double* ydot) {
  ydot[0] = -y[0];
  ydot[1] = 99.0 * y[0] - 100.0 * y[1];
}

void linear_jac(int*, double*, double*, int* ml, int* mu, double* pd, int* nrowpd) {
  const int ld = *nrowpd;
  if (*ml == 0 && *mu == 0) {  // full
    pd[0] = -1.0;
    pd[1] = 99.0;
    pd[ld + 1] = -100.0;
  } else {  // band, MU = 0: (i - j + MU + 1, j)
    pd[0] = -1.0;
    pd[1] = 99.0;
    pd[ld] = -100.0;
  }
}

class LinearSystem : public ::testing::TestWithParam<int> {};

TEST_P(LinearSystem, FollowsTheExponentialSolution) {
  reset_blocks();
  problem p(2, GetParam());
  p.y = {1.0, 2.0};
  p.rtol[0] = 1e-7;
  p.atol[0] = 1e-10;
  p.iwork[0] = 1;  // ML, MU for the band types
  p.iwork[1] = 0;
  for (double tout : {0.01, 0.1, 0.5, 1.0, 2.0, 4.0}) {
    p.tout = tout;
    p.call(linear_f, linear_jac);
    ASSERT_EQ(p.istate, 2) << "MF " << GetParam() << " tout " << tout;
    EXPECT_EQ(p.t, tout);
    const double y1 = std::exp(-tout), y2 = y1 + std::exp(-100.0 * tout);
    // global error after up to four time constants and some 700 steps: it
    // grows well beyond the local tolerance, yet a wrong coefficient or
    // order rule would miss by orders of magnitude more
    EXPECT_NEAR(p.y[0], y1, 100 * (1e-7 * y1 + 1e-10)) << "MF " << GetParam() << " t " << tout;
    EXPECT_NEAR(p.y[1], y2, 100 * (1e-7 * y2 + 1e-10)) << "MF " << GetParam() << " t " << tout;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMethodFlag, LinearSystem,
                         ::testing::Values(10, 11, 12, 13, 14, 15, 20, 21, 22, 23, 24, 25));

// Robertson at t = 40 against the published reference solution.
struct robertson_case {
  int mf;
  double rtol, atol1, atol2, atol3;
  double factor;  // allowed multiple of the requested tolerance
};

class RobertsonReference : public ::testing::TestWithParam<robertson_case> {};

TEST_P(RobertsonReference, MatchesAtFortyWithinTheToleranceAsked) {
  const robertson_case& c = GetParam();
  const double ref[3] = {0.7158270687193, 9.185534764529e-06, 0.2841637457458};
  reset_blocks();
  problem p(3, c.mf);
  p.y = {1.0, 0.0, 0.0};
  p.itol = 2;
  p.rtol[0] = c.rtol;
  p.atol = {c.atol1, c.atol2, c.atol3};
  p.iwork[0] = 2;
  p.iwork[1] = 2;
  for (p.tout = 0.4; p.tout < 41.0; p.tout *= 10.0) {
    p.call(robertson_f, robertson_jac);
    ASSERT_EQ(p.istate, 2);
  }
  EXPECT_EQ(p.t, 40.0);
  const double atol[3] = {c.atol1, c.atol2, c.atol3};
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(p.y[i], ref[i], c.factor * (c.rtol * ref[i] + atol[i])) << "y" << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Tolerances, RobertsonReference,
                         ::testing::Values(robertson_case{21, 1e-4, 1e-6, 1e-10, 1e-6, 1.0},
                                           robertson_case{22, 1e-4, 1e-6, 1e-10, 1e-6, 1.0},
                                           robertson_case{22, 1e-8, 1e-12, 1e-16, 1e-12, 10.0},
                                           robertson_case{25, 1e-8, 1e-12, 1e-16, 1e-12, 10.0}));

}  // namespace
}  // namespace integrator::testing
