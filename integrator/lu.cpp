#include "integrator/lu.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "integrator/blas1.h"

namespace integrator {

namespace {

// One-based element (i, j) of a column-major array with leading dimension ld.
inline double& at(double* a, int ld, int i, int j) {
  return a[static_cast<std::ptrdiff_t>(j - 1) * ld + (i - 1)];
}
inline const double& at(const double* a, int ld, int i, int j) {
  return a[static_cast<std::ptrdiff_t>(j - 1) * ld + (i - 1)];
}

}  // namespace

void lu_factor(double* a, int lda, int n, int* p, int& status) {
  status = 0;
  for (int k = 1; k <= n - 1; ++k) {
    const int l = blas::idamax(n - k + 1, &at(a, lda, k, k)) + k - 1;
    p[k - 1] = l;
    if (at(a, lda, l, k) == 0.0) {
      status = k;
      continue;
    }
    if (l != k) std::swap(at(a, lda, l, k), at(a, lda, k, k));
    blas::dscal(n - k, -1.0 / at(a, lda, k, k), &at(a, lda, k + 1, k));
    for (int j = k + 1; j <= n; ++j) {
      const double t = at(a, lda, l, j);
      if (l != k) {
        at(a, lda, l, j) = at(a, lda, k, j);
        at(a, lda, k, j) = t;
      }
      blas::daxpy(n - k, t, &at(a, lda, k + 1, k), &at(a, lda, k + 1, j));
    }
  }
  p[n - 1] = n;
  if (at(a, lda, n, n) == 0.0) status = n;
}

void lu_solve(const double* a, int lda, int n, const int* p, double* b, int job) {
  if (job == 0) {
    // L then U.
    for (int k = 1; k <= n - 1; ++k) {
      const int l = p[k - 1];
      const double t = b[l - 1];
      if (l != k) {
        b[l - 1] = b[k - 1];
        b[k - 1] = t;
      }
      blas::daxpy(n - k, t, &at(a, lda, k + 1, k), &b[k]);
    }
    for (int k = n; k >= 1; --k) {
      b[k - 1] = b[k - 1] / at(a, lda, k, k);
      blas::daxpy(k - 1, -b[k - 1], &at(a, lda, 1, k), b);
    }
    return;
  }
  // Transposed: U' then L'.
  for (int k = 1; k <= n; ++k) {
    const double t = blas::ddot(k - 1, &at(a, lda, 1, k), b);
    b[k - 1] = (b[k - 1] - t) / at(a, lda, k, k);
  }
  for (int k = n - 1; k >= 1; --k) {
    b[k - 1] = b[k - 1] + blas::ddot(n - k, &at(a, lda, k + 1, k), &b[k]);
    const int l = p[k - 1];
    if (l != k) std::swap(b[l - 1], b[k - 1]);
  }
}

void band_factor(double* abd, int lda, int n, int ml, int mu, int* p, int& status) {
  const int m = ml + mu + 1;
  status = 0;
  // Fill-in room of the first columns.
  const int j1 = std::min(n, m) - 1;
  for (int jz = mu + 2; jz <= j1; ++jz)
    for (int i = m + 1 - jz; i <= ml; ++i) at(abd, lda, i, jz) = 0.0;
  int jz = j1;
  int ju = 0;
  for (int k = 1; k <= n - 1; ++k) {
    ++jz;
    if (jz <= n)
      for (int i = 1; i <= ml; ++i) at(abd, lda, i, jz) = 0.0;
    const int lm = std::min(ml, n - k);
    int l = blas::idamax(lm + 1, &at(abd, lda, m, k)) + m - 1;
    p[k - 1] = l + k - m;
    if (at(abd, lda, l, k) == 0.0) {
      status = k;
      continue;
    }
    if (l != m) std::swap(at(abd, lda, l, k), at(abd, lda, m, k));
    blas::dscal(lm, -1.0 / at(abd, lda, m, k), &at(abd, lda, m + 1, k));
    ju = std::min(std::max(ju, mu + p[k - 1]), n);
    int mm = m;
    for (int j = k + 1; j <= ju; ++j) {
      --l;
      --mm;
      const double t = at(abd, lda, l, j);
      if (l != mm) {
        at(abd, lda, l, j) = at(abd, lda, mm, j);
        at(abd, lda, mm, j) = t;
      }
      blas::daxpy(lm, t, &at(abd, lda, m + 1, k), &at(abd, lda, mm + 1, j));
    }
  }
  p[n - 1] = n;
  if (at(abd, lda, m, n) == 0.0) status = n;
}

void band_solve(const double* abd, int lda, int n, int ml, int mu, const int* p, double* b,
                int job) {
  const int m = mu + ml + 1;
  if (job == 0) {
    if (ml > 0) {
      for (int k = 1; k <= n - 1; ++k) {
        const int lm = std::min(ml, n - k);
        const int l = p[k - 1];
        const double t = b[l - 1];
        if (l != k) {
          b[l - 1] = b[k - 1];
          b[k - 1] = t;
        }
        blas::daxpy(lm, t, &at(abd, lda, m + 1, k), &b[k]);
      }
    }
    for (int k = n; k >= 1; --k) {
      b[k - 1] = b[k - 1] / at(abd, lda, m, k);
      const int lm = std::min(k, m) - 1;
      blas::daxpy(lm, -b[k - 1], &at(abd, lda, m - lm, k), &b[k - lm - 1]);
    }
    return;
  }
  for (int k = 1; k <= n; ++k) {
    const int lm = std::min(k, m) - 1;
    const double t = blas::ddot(lm, &at(abd, lda, m - lm, k), &b[k - lm - 1]);
    b[k - 1] = (b[k - 1] - t) / at(abd, lda, m, k);
  }
  if (ml > 0) {
    for (int k = n - 1; k >= 1; --k) {
      const int lm = std::min(ml, n - k);
      b[k - 1] = b[k - 1] + blas::ddot(lm, &at(abd, lda, m + 1, k), &b[k]);
      const int l = p[k - 1];
      if (l != k) std::swap(b[l - 1], b[k - 1]);
    }
  }
}

}  // namespace integrator
