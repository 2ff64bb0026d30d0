// Right-hand side of the two-pool saturable leak, and its (unused) Jacobian
// routine, in the integrator's routine signatures.
#pragma once

namespace nilpora {

// YDOT(1) = -v, YDOT(2) = v with v = (VMAX * Y(1)) / (KM + Y(1)) from LEAKPAR.
// NEQ and T are not used.
void fex(int* NEQ, double* T, double* Y, double* YDOT);

// Never called: the method flag 22 forms the Jacobian by differences.
void jex(int* NEQ, double* T, double* Y, int* ML, int* MU, double* PD, int* NROWPD);

}  // namespace nilpora
