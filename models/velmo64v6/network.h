// velmo64v6 reaction network: 29 species, the rate-constant block of 70 used
// slots and the right-hand side handed to the integrator.
#pragma once

#include "models/calcium/ratcon.h"

namespace velmo64v6 {

constexpr int NEQ = 29;

// Zero-based positions of the species in the state vector Y.
enum species : int {
  Ca_cyt = 0, PMCA_M_star, Ca_ext, Ca_cyt_int, M, MCa4, B, BCa4, PMCA_M, PMCA,
  SERCA, Ca_lum, L, LCa30, S, R, R_S, ARCC, IP3R, IP3, Ind, Cacyt_Ind, S2,
  Gprot, GS2, PLC, NCX_M_star, NCX_M, NCX
};

// Rate-constant block: the slot rule of calcium/ratcon.h up to k68, slots
// 1..70 (ratcon[0] is slot 1): k1..k50, the receptor factors FE and FES that
// fex writes, k51..k68. There is no COOPSTIM.
constexpr int ratcon_slots = 70;
extern double ratcon[ratcon_slots];

inline double& k(int n) { return ratcon[calcium::k_slot(n) - 1]; }

// The IP3-receptor calcium factors: FE with (k40, k41), FES with (k42, k43).
// Unlike the frame's (calcium/ip3r_factors.h), the square of `ca` is divided
// by k_high: k_low/ca + (ca*ca/k_high + 1).
inline double ip3r_ca_factor(double ca, double k_high, double k_low) {
  return k_low / ca + (ca * ca / k_high + 1.0);
}

void fex(int* neq, double* t, double* y, double* ydot);
void jex(int* neq, double* t, double* y, int* ml, int* mu, double* pd, int* nrowpd);

}  // namespace velmo64v6
