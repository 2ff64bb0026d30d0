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

// Uncoupled f(i) = y(i)^2 + c: the quotient of column j is 2*y(j) + r(j), so
// the diagonal of the matrix shows the increment r(j) itself.
double square_shift = 0.0;
void square_f(int* neq, double*, double* y, double* ydot) {
  for (int i = 0; i < *neq; ++i) ydot[i] = y[i] * y[i] + square_shift;
}

TEST(IterationMatrix, DifferenceIncrementsFollowTheBaseIncrementRule) {
  constexpr int m2 = 2;
  struct row {
    int iteration;
    double shift, h, l0, y[m2], ewt[m2];
  } rows[] = {
      // f = 0 at y = 0: r0 falls back to 1, r(j) = 1/EWT(j).
      {2, 0.0, 0.5, 1.0, {0.0, 0.0}, {1.0, 4.0}},
      {5, 0.0, 0.5, 1.0, {0.0, 0.0}, {1.0, 4.0}},
      // A large step makes r0 = |H|*1000*ROUNDOFF*N*||f|| dominate.
      {2, 1.0, 1e10, 1e-10, {0.0, 0.5}, {1.0, 1.0}},
      {5, 1.0, 1e10, 1e-10, {0.0, 0.5}, {1.0, 1.0}},
  };
  for (const row& r : rows) {
    reset_blocks();
    solver_state_block& s = solver_state;
    s.ITERATION = r.iteration;
    s.NEQ_CURRENT = m2;
    s.H = r.h;
    s.COEF1_PRIOR = r.l0;
    s.ROUNDOFF = machine_constant(4);
    square_shift = r.shift;
    const double srur = std::sqrt(s.ROUNDOFF);
    std::vector<double> y(r.y, r.y + m2), hist(2 * m2, 0.0), ewt(r.ewt, r.ewt + m2), v(m2),
        fsave(m2);
    for (int i = 0; i < m2; ++i) hist[i] = y[i];
    int neq = m2;
    square_f(&neq, &s.TCUR, y.data(), fsave.data());
    const int ml = 1, mu = 1, w = 2 * ml + mu + 1;
    std::vector<double> wm(2 + w * m2, 0.0);
    std::vector<int> iwm(20 + m2, 0);
    iwm[0] = ml;
    iwm[1] = mu;
    wm[0] = srur;
    prepare_matrix(&neq, y.data(), hist.data(), m2, ewt.data(), v.data(), fsave.data(), wm.data(),
                   iwm.data(), square_f, no_jac);
    ASSERT_EQ(s.MATRIX_ERROR, 0);
    double r0 = std::fabs(s.H) * 1000.0 * s.ROUNDOFF * m2 * weighted_norm(m2, fsave.data(), r.ewt);
    if (r.shift == 0.0) {
      EXPECT_EQ(r0, 0.0);
      r0 = 1.0;
    }
    const double hl = s.H * s.COEF1_PRIOR;
    const bool band = r.iteration == 5;
    for (int j = 0; j < m2; ++j) {
      const double inc = std::max(srur * std::fabs(r.y[j]), r0 / r.ewt[j]);
      const double diag = 1.0 - hl * (2.0 * r.y[j] + inc);
      const double got = wm[2 + (band ? j * w + ml + mu : j * m2 + j)];
      EXPECT_NEAR(got, diag, 1e-12) << "type " << r.iteration << ", column " << j;
      if (!band) {
        EXPECT_EQ(wm[2 + j * m2 + (1 - j)], 0.0) << "column " << j;
      }
    }
  }
  square_shift = 0.0;
}

// A Jacobian routine that stores the diagonal alone: J(i,i) = -k(i).
double diag_k[3];
void diagonal_jac(int*, double*, double*, int*, int* mu, double* pd, int* nrowpd) {
  for (int j = 0; j < 3; ++j) pd[j * *nrowpd + (*mu != 0 ? *mu : j)] = -diag_k[j];
}

TEST(IterationMatrix, SuppliedJacobianAreaIsClearedFirst) {
  constexpr int n3 = 3, ml = 1, mu = 1, w = 2 * ml + mu + 1;
  struct row {
    int iteration;
    double k[n3];
    int matrix_error;
  } rows[] = {{1, {1.0, 2.0, 3.0}, 0},
              {4, {1.0, 2.0, 3.0}, 0},
              {1, {1.0, -2.0, 3.0}, 1},  // 1 + h*l0*k = 0: P singular
              {4, {1.0, -2.0, 3.0}, 1}};
  for (const row& r : rows) {
    reset_blocks();
    solver_state_block& s = solver_state;
    s.ITERATION = r.iteration;
    s.NEQ_CURRENT = n3;
    s.H = 0.5;
    s.COEF1_PRIOR = 1.0;
    s.ROUNDOFF = machine_constant(4);
    for (int i = 0; i < n3; ++i) diag_k[i] = r.k[i];
    std::vector<double> y(n3, 1.0), hist(2 * n3, 1.0), ewt(n3, 1.0), v(n3), fsave(n3, 0.0);
    std::vector<double> wm(2 + w * n3, 5.0);  // stale values everywhere
    std::vector<int> iwm(20 + n3, 0);
    iwm[0] = ml;
    iwm[1] = mu;
    int neq = n3;
    prepare_matrix(&neq, y.data(), hist.data(), n3, ewt.data(), v.data(), fsave.data(), wm.data(),
                   iwm.data(), zero_f, diagonal_jac);
    EXPECT_EQ(s.MATRIX_ERROR, r.matrix_error) << "type " << r.iteration;
    const bool band = r.iteration == 4;
    const int rows_per_column = band ? w : n3;
    for (int j = 0; j < n3; ++j)
      for (int i = 0; i < rows_per_column; ++i) {
        const bool on_diagonal = band ? i == ml + mu : i == j;
        EXPECT_EQ(wm[2 + j * rows_per_column + i], on_diagonal ? 1.0 + 0.5 * r.k[j] : 0.0)
            << "type " << r.iteration << ", place " << i << " of column " << j;
      }
    if (r.matrix_error == 0) {
      for (int i = 0; i < n3; ++i) EXPECT_EQ(iwm[20 + i], i + 1);
      std::vector<double> x{3.0, 4.0, 5.0};
      solve_system(wm.data(), iwm.data(), x.data(), nullptr);
      EXPECT_EQ(x[0], 2.0);
      EXPECT_EQ(x[1], 2.0);
      EXPECT_EQ(x[2], 2.0);
    }
  }
}

// f(i) = c(i) - y(i): the diagonal of P is 1 + h*l0 wherever the predicted
// change is weighed. With H = l0 = EWT = 1 the limit is ROUNDOFF itself.
double diag_c[3];
void relax_f(int*, double*, double* y, double* ydot) {
  for (int i = 0; i < 3; ++i) ydot[i] = diag_c[i] - y[i];
}
double diag_a[2];
void linear_f(int*, double*, double* y, double* ydot) {
  for (int i = 0; i < 2; ++i) ydot[i] = diag_a[i] * y[i];
}

struct diagonal_setup {
  std::vector<double> y, hist, ewt, v, fsave, wm;
  std::vector<int> iwm;
  explicit diagonal_setup(int n) : y(n, 0.0), hist(2 * n, 0.0), ewt(n, 1.0), v(n), fsave(n) {
    reset_blocks();
    solver_state_block& s = solver_state;
    s.ITERATION = 3;
    s.NEQ_CURRENT = n;
    s.H = 1.0;
    s.COEF1_PRIOR = 1.0;
    s.ROUNDOFF = machine_constant(4);
    wm.assign(2 + n + 1, 0.0);
    wm[2 + n] = 7.0;  // the place after the diagonal
    iwm.assign(20 + n, 0);
  }
  void prepare(rhs_routine f) {
    int neq = static_cast<int>(y.size());
    f(&neq, &solver_state.TCUR, y.data(), fsave.data());
    prepare_matrix(&neq, y.data(), hist.data(), neq, ewt.data(), v.data(), fsave.data(), wm.data(),
                   iwm.data(), f, no_jac);
  }
};

TEST(IterationMatrix, DiagonalTypeWeighsChangesFromTheRoundoffLimitOn) {
  diagonal_setup d(3);
  const double roundoff = solver_state.ROUNDOFF;
  diag_c[0] = roundoff;        // predicted change exactly at the limit: weighed
  diag_c[1] = 0.5 * roundoff;  // below it: reciprocal diagonal 1
  diag_c[2] = 1.0;
  d.prepare(relax_f);
  EXPECT_EQ(solver_state.MATRIX_ERROR, 0);
  EXPECT_EQ(solver_state.F_COUNT, 1);
  EXPECT_EQ(d.wm[1], 1.0);  // h*l0 at formation
  EXPECT_NEAR(d.wm[2], 0.5, 1e-12);
  EXPECT_EQ(d.wm[3], 1.0);
  EXPECT_NEAR(d.wm[4], 0.5, 1e-12);
  EXPECT_EQ(d.wm[5], 7.0);
}

TEST(IterationMatrix, DiagonalTypeStopsAtAnExactlyZeroDifference) {
  // f = y with H = l0 = 1: P(1,1) = 0, found exactly since every value is
  // exact; the second component is then never weighed.
  diagonal_setup d(2);
  diag_a[0] = 1.0;
  diag_a[1] = 3.0;
  d.hist[2] = d.hist[3] = -1.0;  // column 2: a change of 1 in both
  d.prepare(linear_f);
  EXPECT_EQ(solver_state.MATRIX_ERROR, 1);
  EXPECT_EQ(d.wm[2], 1.0);
  EXPECT_EQ(d.wm[3], 3.0 * 0.1);  // still the F value
}

// Reciprocal diagonals of P = 1 - hl*J for hl = 1: J = (-1, 0, -3) from
// 1/dg = (2, 1, 4). A new hl re-forms them as 1/(1 - hl*J) once.
TEST(IterationMatrix, DiagonalSolveFollowsANewStep) {
  constexpr int n3 = 3;
  struct row {
    double h, dg[n3];
    int solve_error;
    double after[n3], x[n3];
  } rows[] = {
      {1.0, {0.5, 1.0, 0.25}, 0, {0.5, 1.0, 0.25}, {1.5, 5.0, 1.75}},
      {2.0, {0.5, 1.0, 0.25}, 0, {1.0 / 3.0, 1.0, 1.0 / 7.0}, {(1.0 / 3.0) * 3.0, 5.0, 1.0}},
      // hl = -1 against the stored 1: P(2,2) = 1 - hl*J(2,2) = 0, an exact
      // zero; the first element is already re-formed, the third and x are not.
      {-1.0, {0.25, 0.5, 0.25}, 1, {-0.5, 0.5, 0.25}, {3.0, 5.0, 7.0}},
  };
  for (const row& r : rows) {
    reset_blocks();
    solver_state_block& s = solver_state;
    s.ITERATION = 3;
    s.NEQ_CURRENT = n3;
    s.H = r.h;
    s.COEF1_PRIOR = 1.0;
    const double srur = 1e-7;
    std::vector<double> wm{srur, 1.0, r.dg[0], r.dg[1], r.dg[2], 0.5};
    std::vector<int> iwm(20 + n3, 0);
    for (int pass = 0; pass < 2; ++pass) {
      std::vector<double> x{3.0, 5.0, 7.0};
      solve_system(wm.data(), iwm.data(), x.data(), nullptr);
      EXPECT_EQ(s.SOLVE_ERROR, r.solve_error) << "h " << r.h;
      for (int i = 0; i < n3; ++i) {
        EXPECT_EQ(wm[2 + i], r.after[i]) << "h " << r.h << ", pass " << pass << ", i " << i;
        EXPECT_EQ(x[i], r.x[i]) << "h " << r.h << ", pass " << pass << ", i " << i;
      }
      EXPECT_EQ(wm[0], srur);
      EXPECT_EQ(wm[1], r.h);
      EXPECT_EQ(wm[5], 0.5);
      if (r.solve_error != 0) break;
    }
  }
}

}  // namespace
}  // namespace integrator::testing
