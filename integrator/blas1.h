// The BLAS level-1 routines the LU code calls (system BLAS, Fortran symbols).
#pragma once

extern "C" {
int idamax_(const int* n, const double* x, const int* incx);
void dscal_(const int* n, const double* a, double* x, const int* incx);
void daxpy_(const int* n, const double* a, const double* x, const int* incx, double* y,
            const int* incy);
double ddot_(const int* n, const double* x, const int* incx, const double* y, const int* incy);
}

namespace integrator::blas {

inline int idamax(int n, const double* x) {
  const int one = 1;
  return idamax_(&n, x, &one);
}
inline void dscal(int n, double a, double* x) {
  const int one = 1;
  dscal_(&n, &a, x, &one);
}
inline void daxpy(int n, double a, const double* x, double* y) {
  const int one = 1;
  daxpy_(&n, &a, x, &one, y, &one);
}
inline double ddot(int n, const double* x, const double* y) {
  const int one = 1;
  return ddot_(&n, x, &one, y, &one);
}

}  // namespace integrator::blas
