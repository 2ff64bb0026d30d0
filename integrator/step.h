// One step of the variable-order, variable-step method in Nordsieck form:
// predict, correct, test the local error, choose the next step size and
// order, retrying with smaller steps or a lower order after a failure. All
// state comes from and goes back to solver_state (START_MODE in, STEP_RESULT
// out); the vectors are slices of the caller's work arrays.
#pragma once

#include "integrator/integrate.h"

namespace integrator {

using matrix_routine = void (*)(int* NEQ, double* Y, const double* HIST, int HIST_LEN,
                                const double* EWT, double* V, const double* F_SAVE,
                                double* MATRIX_WORK, int* MATRIX_IWORK, rhs_routine F,
                                jac_routine JAC);
using solve_routine = void (*)(double* MATRIX_WORK, const int* MATRIX_IWORK, double* X,
                               const double* UNUSED);

// HIST is the history array (HIST_LEN rows, column-major); HIST_FLAT is the
// same storage seen as one vector (the prediction sweeps it whole).
void take_step(int* NEQ, double* Y, double* HIST, int HIST_LEN, double* HIST_FLAT, double* EWT,
               double* F_SAVE, double* CORR, double* MATRIX_WORK, int* MATRIX_IWORK, rhs_routine F,
               jac_routine JAC, matrix_routine prepare, solve_routine solve);

// Fills the coefficient and error-test tables of METHOD (2: backward
// differentiation formulas, orders 1..5; anything else: Adams-Moulton,
// orders 1..12). COEF_TABLE[q-1][i-1] is coefficient i of order q,
// TEST_TABLE[q-1][r-1] the error constant of row r for order q.
void set_coefficients(int METHOD, double (*COEF_TABLE)[13], double (*TEST_TABLE)[3]);

}  // namespace integrator
