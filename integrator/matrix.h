// The iteration matrix P = I - h*l0*J of the chord corrector: formed and
// factored by prepare_matrix, used by solve_system. The matrix lives in
// MATRIX_WORK (from its element 3), the pivots in MATRIX_IWORK (from element
// 21), ML and MU in MATRIX_IWORK(1), (2). Results go to solver_state's
// MATRIX_ERROR and SOLVE_ERROR.
#pragma once

#include "integrator/integrate.h"

namespace integrator {

// On entry Y is the predicted solution (history column 1) and F_SAVE = f(Y).
// V is scratch for the F values of the difference quotients.
void prepare_matrix(int* NEQ, double* Y, const double* HIST, int HIST_LEN, const double* EWT,
                    double* V, const double* F_SAVE, double* MATRIX_WORK, int* MATRIX_IWORK,
                    rhs_routine F, jac_routine JAC);

// Overwrites X with P^-1 X. UNUSED is not read.
void solve_system(double* MATRIX_WORK, const int* MATRIX_IWORK, double* X, const double* UNUSED);

}  // namespace integrator
