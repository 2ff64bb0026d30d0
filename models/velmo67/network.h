// The velmo67 reaction network: the rate-constant block `ratcon`, the
// right-hand side `fex` and the (empty) Jacobian `jex` handed to the
// integrator. velmo66 uses the network unchanged and velmo65 its first 33
// equations (fex is called with NEQ 33 there).
//
// The state vector Y is indexed by the species of calcium/state_vector.h.
#pragma once

#include "models/calcium/ip3r_factors.h"
#include "models/calcium/ratcon.h"

namespace velmo67 {

// The global rate-constant block shared by the main program and fex, laid
// out by the slot rule of calcium/ratcon.h. ratcon[slot - 1] is slot `slot`;
// prefer the accessors below.
extern double ratcon[calcium::ratcon_slots];

// Slot `slot` (one-based, 1..84).
inline double& slot(int s) { return ratcon[s - 1]; }

// Rate constant kN (N = 1..78), e.g. k(51) is slot 53.
inline double& k(int n) { return calcium::k_in(ratcon, n); }

// Cooperativity of luminal Ca binding to STIM (slot 81).
inline double& coopstim() { return ratcon[calcium::coopstim_slot - 1]; }

// IP3-receptor calcium factors FE (k40, k41) and FES (k42, k43); the output
// step of the run frame forms them with the same expression.
inline double fe_factor(double ca) { return calcium::ip3r_ca_factor(ca, k(40), k(41)); }
inline double fes_factor(double ca) { return calcium::ip3r_ca_factor(ca, k(42), k(43)); }

// Ca_lum^COOPSTIM: 1 for a zero exponent or a base of 1; repeated squaring
// for an integral exponent below 2^31 in magnitude (reciprocal when
// negative); otherwise exp(c*ln b), NaN for a negative base.
double coop_power(double base, double exponent);

// Right-hand side: fills YDOT(1..33) always and YDOT(34), YDOT(35) when
// NEQ(1) >= 35; writes FE and FES into slots 51 and 52 first. T is unused.
// Matches integrator::rhs_routine.
void fex(int* NEQ, double* T, double* Y, double* YDOT);

// Jacobian routine: empty; never called with MF 22. Matches
// integrator::jac_routine.
void jex(int* NEQ, double* T, double* Y, int* ML, int* MU, double* PD, int* NROWPD);

}  // namespace velmo67
