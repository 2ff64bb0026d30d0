// The iteration matrix of every type, formed on one state and applied to one
// vector: difference quotients agree with the analytic Jacobian, band agrees
// with full, and each type costs the F calls it should.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "integrator/lu.h"
#include "integrator/matrix.h"
#include "integrator/solver_state.h"
#include "integrator/support.h"
#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

constexpr int n = 6;
int f_calls = 0;
int jac_calls = 0;

// A weakly nonlinear tridiagonal system.
void tri_f(int*, double*, double* y, double* ydot) {
  ++f_calls;
  for (int i = 0; i < n; ++i) {
    const double left = i > 0 ? y[i - 1] : 0.0;
    const double right = i + 1 < n ? y[i + 1] : 0.0;
    ydot[i] = -3.0 * y[i] * y[i] + left - 0.5 * right;
  }
}

void tri_jac(int*, double*, double* y, int* ml, int* mu, double* pd, int* nrowpd) {
  ++jac_calls;
  const bool band = *ml != 0 || *mu != 0;
  for (int j = 1; j <= n; ++j)
    for (int i = std::max(1, j - 1); i <= std::min(n, j + 1); ++i) {
      const double v = i == j ? -6.0 * y[i - 1] : (i == j + 1 ? 1.0 : -0.5);
      pd[(j - 1) * *nrowpd + ((band ? i - j + *mu + 1 : i) - 1)] = v;
    }
}

struct formed {
  std::vector<double> solution;  // P^-1 b
  int f_calls, jac_calls, counted_f;
  int matrix_error;
};

formed form_and_solve(int iteration, rhs_routine f = tri_f, bool predicted_change = false) {
  reset_blocks();
  solver_state_block& s = solver_state;
  s.ITERATION = iteration;
  s.NEQ_CURRENT = n;
  s.H = 0.01;
  s.COEF1_PRIOR = 0.5;
  s.ROUNDOFF = machine_constant(4);
  std::vector<double> y(n), hist(2 * n), ewt(n, 1e4), v(n), fsave(n);
  for (int i = 0; i < n; ++i) y[i] = hist[i] = 1.0 + 0.1 * i;
  int neq = n;
  f(&neq, &s.TCUR, y.data(), fsave.data());
  // Column 2 as predicted; with a predicted change the corrector would move
  // every component but the first by 10 % of h*f.
  for (int i = 0; i < n; ++i)
    hist[n + i] = s.H * fsave[i] * (predicted_change && i > 0 ? 0.9 : 1.0);
  std::vector<double> wm(2 + 5 * n * n, 0.0);
  std::vector<int> iwm(20 + n, 0);
  iwm[0] = 1;
  iwm[1] = 1;
  wm[0] = std::sqrt(s.ROUNDOFF);
  f_calls = jac_calls = 0;
  prepare_matrix(&neq, y.data(), hist.data(), n, ewt.data(), v.data(), fsave.data(), wm.data(),
                 iwm.data(), f, tri_jac);
  formed out{std::vector<double>(n, 1.0), f_calls, jac_calls, s.F_COUNT, s.MATRIX_ERROR};
  solve_system(wm.data(), iwm.data(), out.solution.data(), nullptr);
  EXPECT_EQ(s.JAC_COUNT, 1);
  EXPECT_EQ(s.JAC_CURRENT, 1);
  if (iteration != 3) {  // the diagonal type leaves Y perturbed
    for (int i = 0; i < n; ++i) EXPECT_EQ(y[i], hist[i]) << "Y restored";
  }
  return out;
}

TEST(IterationMatrix, EveryTypeSolvesWithTheMatrixItShould) {
  const formed exact = form_and_solve(1);
  EXPECT_EQ(exact.jac_calls, 1);
  EXPECT_EQ(exact.f_calls, 0);
  struct row {
    int iteration, f_calls, jac_calls;
    double tol;
  } rows[] = {{2, n, 0, 1e-7}, {4, 0, 1, 0.0}, {5, 3, 0, 1e-7}};
  for (const row& r : rows) {
    const formed got = form_and_solve(r.iteration);
    EXPECT_EQ(got.matrix_error, 0);
    EXPECT_EQ(got.f_calls, r.f_calls) << "type " << r.iteration;
    EXPECT_EQ(got.counted_f, r.f_calls) << "type " << r.iteration;
    EXPECT_EQ(got.jac_calls, r.jac_calls) << "type " << r.iteration;
    for (int i = 0; i < n; ++i)
      EXPECT_NEAR(got.solution[i], exact.solution[i], r.tol + 1e-15) << "type " << r.iteration;
  }
}

// Uncoupled: the diagonal approximation is then the whole Jacobian.
void uncoupled_f(int*, double*, double* y, double* ydot) {
  ++f_calls;
  for (int i = 0; i < n; ++i) ydot[i] = -3.0 * y[i] * y[i];
}

TEST(IterationMatrix, DiagonalTypeUsesOneExtraCallAndSkipsUnmovedComponents) {
  const formed diag = form_and_solve(3, uncoupled_f, true);
  EXPECT_EQ(diag.f_calls, 1);
  EXPECT_EQ(diag.counted_f, 1);
  EXPECT_EQ(diag.matrix_error, 0);
  EXPECT_EQ(diag.solution[0], 1.0);  // no predicted change: reciprocal diagonal 1
  // P(i,i) = 1 + h*l0*6*y(i), up to the difference's own error.
  for (int i = 1; i < n; ++i)
    EXPECT_NEAR(diag.solution[i], 1.0 / (1.0 + 0.005 * 6.0 * (1.0 + 0.1 * i)), 1e-5) << i;
}

// Each row of tri_f reads only its neighbours, so perturbing the columns of a
// group together must give, bit for bit, the quotients of perturbing each
// column alone with its own unperturbed value: the factors of the band matrix
// equal those of the band built column by column.
TEST(IterationMatrix, BandGroupsGiveTheQuotientsOfSingleColumns) {
  constexpr int ml = 1, mu = 1, m = ml + mu + 1, w = m + ml;
  reset_blocks();
  solver_state_block& s = solver_state;
  s.ITERATION = 5;
  s.NEQ_CURRENT = n;
  s.H = 0.01;
  s.COEF1_PRIOR = 0.5;
  s.ROUNDOFF = machine_constant(4);
  const double srur = std::sqrt(s.ROUNDOFF);
  std::vector<double> y(n), hist(2 * n), ewt(n, 1e4), v(n), fsave(n);
  for (int i = 0; i < n; ++i) y[i] = hist[i] = 1.0 + 0.1 * i;
  int neq = n;
  tri_f(&neq, &s.TCUR, y.data(), fsave.data());
  std::vector<double> wm(2 + w * n, 0.0), expected(w * n, 0.0);
  std::vector<int> iwm(20 + n, 0), pivots(n);
  iwm[0] = ml;
  iwm[1] = mu;
  wm[0] = srur;
  f_calls = 0;
  prepare_matrix(&neq, y.data(), hist.data(), n, ewt.data(), v.data(), fsave.data(), wm.data(),
                 iwm.data(), tri_f, no_jac);
  EXPECT_EQ(f_calls, m);

  const double hl = s.H * s.COEF1_PRIOR;
  const double r0 =
      std::fabs(s.H) * 1000.0 * s.ROUNDOFF * n * weighted_norm(n, fsave.data(), ewt.data());
  for (int j = 0; j < n; ++j) {
    std::vector<double> yj(hist.begin(), hist.begin() + n);
    const double r = std::max(srur * std::fabs(yj[j]), r0 / ewt[j]);
    yj[j] = yj[j] + r;
    tri_f(&neq, &s.TCUR, yj.data(), v.data());
    for (int i = std::max(j - mu, 0); i <= std::min(j + ml, n - 1); ++i)
      expected[j * w + (m - 1 + i - j)] = (v[i] - fsave[i]) * (-hl / r);
    expected[j * w + (m - 1)] += 1.0;
  }
  int status = -1;
  band_factor(expected.data(), w, n, ml, mu, pivots.data(), status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(s.MATRIX_ERROR, 0);
  for (int k = 0; k < w * n; ++k) EXPECT_EQ(wm[2 + k], expected[k]) << "band place " << k;
  for (int i = 0; i < n; ++i) EXPECT_EQ(iwm[20 + i], pivots[i]) << "pivot " << i;
}

void zero_f(int*, double*, double*, double* ydot) {
  for (int i = 0; i < n; ++i) ydot[i] = 0.0;
}

TEST(IterationMatrix, SteadyStateAndZeroSolutionStillGiveTheIdentity) {
  // f = 0 and y = 0: the base increment falls back to 1; a zero Jacobian
  // leaves P = I, which factors fine.
  reset_blocks();
  solver_state_block& s = solver_state;
  s.ITERATION = 2;
  s.NEQ_CURRENT = n;
  s.H = 0.01;
  s.COEF1_PRIOR = 1.0;
  s.ROUNDOFF = machine_constant(4);
  std::vector<double> y(n, 0.0), hist(2 * n, 0.0), ewt(n, 1.0), v(n), fsave(n, 0.0);
  std::vector<double> wm(2 + n * n, 0.0);
  std::vector<int> iwm(20 + n, 0);
  wm[0] = std::sqrt(s.ROUNDOFF);
  int neq = n;
  prepare_matrix(&neq, y.data(), hist.data(), n, ewt.data(), v.data(), fsave.data(), wm.data(),
                 iwm.data(), zero_f, no_jac);
  EXPECT_EQ(s.MATRIX_ERROR, 0);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) EXPECT_EQ(wm[2 + j * n + i], i == j ? 1.0 : 0.0);
}

}  // namespace
}  // namespace integrator::testing
