// The stiff ODE integrator: variable-order, variable-step Adams / BDF in
// Nordsieck form. One integration at a time per process; its state lives in
// the process-wide blocks solver_state and message_control between calls.
//
// Arguments follow the classic 17-argument contract, in this order. Arrays are
// the caller's; indices in the comments are one-based, as in the work-array
// tables (RWORK(11) is RWORK[10]).
#pragma once

namespace integrator {

// Right-hand side: fill YDOT(1..NEQ(1)) with f(T, Y). NEQ passes through
// unchanged from the caller of integrate.
using rhs_routine = void (*)(int* NEQ, double* T, double* Y, double* YDOT);

// Jacobian: store df(i)/dy(j) into PD (leading dimension NROWPD); band storage
// for iteration types 4 and 5. Called only for MF x1 and x4.
using jac_routine = void (*)(int* NEQ, double* T, double* Y, int* ML, int* MU, double* PD,
                             int* NROWPD);

void integrate(rhs_routine F, int* NEQ, double* Y, double& T, double& TOUT, int& ITOL, double* RTOL,
               double* ATOL, int& ITASK, int& ISTATE, int& IOPT, double* RWORK, int& LRW,
               int* IWORK, int& LIW, jac_routine JAC, int& MF);

}  // namespace integrator
