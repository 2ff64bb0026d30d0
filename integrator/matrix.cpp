#include "integrator/matrix.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "integrator/lu.h"
#include "integrator/solver_state.h"
#include "integrator/support.h"

namespace integrator {

namespace {

constexpr int pivots_at = 20;  // MATRIX_IWORK(21) onward, zero-based 20

// Base increment of the difference quotients, scaled to the step and to the
// size of f; a steady state (f = 0) falls back to 1.
double base_increment(int n, const double* F_SAVE, const double* EWT) {
  const solver_state_block& s = solver_state;
  const double fac = weighted_norm(n, F_SAVE, EWT);
  double r0 = std::fabs(s.H) * 1000.0 * s.ROUNDOFF * static_cast<double>(n) * fac;
  if (r0 == 0.0) r0 = 1.0;
  return r0;
}

void full_from_jac(int* NEQ, double* Y, double* pd, int n, jac_routine JAC, double hl) {
  const std::size_t len = static_cast<std::size_t>(n) * n;
  std::fill(pd, pd + len, 0.0);
  double t = solver_state.TCUR;
  int ml = 0, mu = 0, ld = n;
  JAC(NEQ, &t, Y, &ml, &mu, pd, &ld);
  const double con = -hl;
  for (std::size_t i = 0; i < len; ++i) pd[i] = pd[i] * con;
}

void full_by_differences(int* NEQ, double* Y, const double* EWT, double* v, const double* F_SAVE,
                         double* wm, double* pd, int n, rhs_routine F, double hl) {
  solver_state_block& s = solver_state;
  const double srur = wm[0];
  const double r0 = base_increment(n, F_SAVE, EWT);
  for (int j = 0; j < n; ++j) {
    const double yj = Y[j];
    const double r = std::max(srur * std::fabs(yj), r0 / EWT[j]);
    Y[j] = Y[j] + r;
    const double fac = -hl / r;
    double t = s.TCUR;
    F(NEQ, &t, Y, v);
    double* col = pd + static_cast<std::ptrdiff_t>(j) * n;
    for (int i = 0; i < n; ++i) col[i] = (v[i] - F_SAVE[i]) * fac;
    Y[j] = yj;
  }
  s.F_COUNT += n;
}

void diagonal(int* NEQ, double* Y, const double* HIST, int HIST_LEN, const double* EWT,
              const double* F_SAVE, double* wm, int n, rhs_routine F, double hl) {
  solver_state_block& s = solver_state;
  wm[1] = hl;
  const double* col2 = HIST + HIST_LEN;
  const double r = 0.1 * s.COEF1_PRIOR;
  for (int i = 0; i < n; ++i) Y[i] = Y[i] + r * (s.H * F_SAVE[i] - col2[i]);
  double* dg = wm + 2;
  double t = s.TCUR;
  F(NEQ, &t, Y, dg);
  s.F_COUNT += 1;
  for (int i = 0; i < n; ++i) {
    const double e = s.H * F_SAVE[i] - col2[i];
    const double q = 0.1 * e - s.H * (dg[i] - F_SAVE[i]);
    dg[i] = 1.0;
    if (!(std::fabs(e) >= s.ROUNDOFF / EWT[i])) continue;  // change too small to weigh
    if (q == 0.0) {
      s.MATRIX_ERROR = 1;
      return;
    }
    dg[i] = 0.1 * e / q;
  }
}

void band_from_jac(int* NEQ, double* Y, double* wm, int* iwm, int n, jac_routine JAC, double hl) {
  int ml = iwm[0], mu = iwm[1];
  int w = 2 * ml + mu + 1;
  const std::size_t len = static_cast<std::size_t>(w) * n;
  double* pd = wm + 2;
  std::fill(pd, pd + len, 0.0);
  double t = solver_state.TCUR;
  JAC(NEQ, &t, Y, &ml, &mu, pd + ml, &w);
  const double con = -hl;
  for (std::size_t i = 0; i < len; ++i) pd[i] = pd[i] * con;
}

void band_by_differences(int* NEQ, double* Y, const double* HIST, const double* EWT, double* v,
                         const double* F_SAVE, double* wm, const int* iwm, int n, rhs_routine F,
                         double hl) {
  solver_state_block& s = solver_state;
  const int ml = iwm[0], mu = iwm[1];
  const int m = ml + mu + 1;
  const int w = m + ml;
  const int groups = std::min(m, n);
  const double srur = wm[0];
  const double r0 = base_increment(n, F_SAVE, EWT);
  double* pd = wm + 2;
  for (int j = 1; j <= groups; ++j) {
    for (int i = j; i <= n; i += m) {
      const double yi = Y[i - 1];
      const double r = std::max(srur * std::fabs(yi), r0 / EWT[i - 1]);
      Y[i - 1] = Y[i - 1] + r;
    }
    double t = s.TCUR;
    F(NEQ, &t, Y, v);
    for (int jj = j; jj <= n; jj += m) {
      Y[jj - 1] = HIST[jj - 1];
      const double yjj = Y[jj - 1];
      const double r = std::max(srur * std::fabs(yjj), r0 / EWT[jj - 1]);
      const double fac = -hl / r;
      const int i1 = std::max(jj - mu, 1);
      const int i2 = std::min(jj + ml, n);
      double* col = pd + static_cast<std::ptrdiff_t>(jj - 1) * w;
      for (int i = i1; i <= i2; ++i) col[m + i - jj - 1] = (v[i - 1] - F_SAVE[i - 1]) * fac;
    }
  }
  s.F_COUNT += groups;
}

}  // namespace

void prepare_matrix(int* NEQ, double* Y, const double* HIST, int HIST_LEN, const double* EWT,
                    double* V, const double* F_SAVE, double* MATRIX_WORK, int* MATRIX_IWORK,
                    rhs_routine F, jac_routine JAC) {
  solver_state_block& s = solver_state;
  s.JAC_COUNT += 1;
  s.MATRIX_ERROR = 0;
  s.JAC_CURRENT = 1;
  const double hl = s.H * s.COEF1_PRIOR;
  const int n = s.NEQ_CURRENT;
  double* pd = MATRIX_WORK + 2;
  int* pivots = MATRIX_IWORK + pivots_at;
  int status = 0;

  switch (s.ITERATION) {
    case 1:
    case 2: {
      if (s.ITERATION == 1)
        full_from_jac(NEQ, Y, pd, n, JAC, hl);
      else
        full_by_differences(NEQ, Y, EWT, V, F_SAVE, MATRIX_WORK, pd, n, F, hl);
      for (int i = 0; i < n; ++i) pd[static_cast<std::ptrdiff_t>(i) * (n + 1)] += 1.0;
      lu_factor(pd, n, n, pivots, status);
      break;
    }
    case 3:
      diagonal(NEQ, Y, HIST, HIST_LEN, EWT, F_SAVE, MATRIX_WORK, n, F, hl);
      return;
    case 4:
    case 5: {
      if (s.ITERATION == 4)
        band_from_jac(NEQ, Y, MATRIX_WORK, MATRIX_IWORK, n, JAC, hl);
      else
        band_by_differences(NEQ, Y, HIST, EWT, V, F_SAVE, MATRIX_WORK, MATRIX_IWORK, n, F, hl);
      const int ml = MATRIX_IWORK[0], mu = MATRIX_IWORK[1];
      const int m = ml + mu + 1;
      const int w = m + ml;
      for (int i = 0; i < n; ++i) pd[static_cast<std::ptrdiff_t>(i) * w + (m - 1)] += 1.0;
      band_factor(pd, w, n, ml, mu, pivots, status);
      break;
    }
    default:
      return;
  }
  if (status != 0) s.MATRIX_ERROR = 1;
}

void solve_system(double* MATRIX_WORK, const int* MATRIX_IWORK, double* X,
                  const double* /*UNUSED*/) {
  solver_state_block& s = solver_state;
  s.SOLVE_ERROR = 0;
  const int n = s.NEQ_CURRENT;
  const int* pivots = MATRIX_IWORK + pivots_at;
  switch (s.ITERATION) {
    case 1:
    case 2:
      lu_solve(MATRIX_WORK + 2, n, n, pivots, X, 0);
      return;
    case 3: {
      const double old = MATRIX_WORK[1];
      const double hl = s.H * s.COEF1_PRIOR;
      MATRIX_WORK[1] = hl;
      double* dg = MATRIX_WORK + 2;
      if (hl != old) {
        const double r = hl / old;
        for (int i = 0; i < n; ++i) {
          const double d = 1.0 - r * (1.0 - 1.0 / dg[i]);
          if (d == 0.0) {
            s.SOLVE_ERROR = 1;
            return;
          }
          dg[i] = 1.0 / d;
        }
      }
      for (int i = 0; i < n; ++i) X[i] = dg[i] * X[i];
      return;
    }
    case 4:
    case 5: {
      const int ml = MATRIX_IWORK[0], mu = MATRIX_IWORK[1];
      band_solve(MATRIX_WORK + 2, 2 * ml + mu + 1, n, ml, mu, pivots, X, 0);
      return;
    }
    default:
      return;
  }
}

}  // namespace integrator
