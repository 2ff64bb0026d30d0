// velmo64v6 reaction network: 29 species, the rate-constant block of 70 used
// slots and the right-hand side handed to the integrator.
#pragma once

#include "models/calcium/ratcon.h"

namespace velmo64v6 {

constexpr int NEQ = 29;

// Zero-based positions of the species in the state vector Y; the comments
// give the element numbers and labels of the model.
enum species : int {
  Ca_cyt = 0,   //  1
  PMCA_M_star,  //  2 PMCA.M*
  Ca_ext,       //  3
  Ca_cyt_int,   //  4
  M,            //  5
  MCa4,         //  6
  B,            //  7
  BCa4,         //  8
  PMCA_M,       //  9 PMCA.M
  PMCA,         // 10
  SERCA,        // 11
  Ca_lum,       // 12
  L,            // 13
  LCa30,        // 14
  S,            // 15
  R,            // 16
  R_S,          // 17 R.S
  ARCC,         // 18
  IP3R,         // 19
  IP3,          // 20
  Ind,          // 21
  Cacyt_Ind,    // 22 Cacyt.Ind
  S2,           // 23
  Gprot,        // 24
  GS2,          // 25
  PLC,          // 26
  NCX_M_star,   // 27 NCX.M*
  NCX_M,        // 28 NCX.M
  NCX,          // 29
};

// The species' labels, for the reader's messages (SERCA, not the trailers'
// "SERCA*").
extern const char* const species_label[NEQ];

// What each species is in this network.
extern const char* const species_meaning[NEQ];

// Rate-constant block: the slot rule of calcium/ratcon.h up to k68, slots
// 1..70 (ratcon[0] is slot 1): k1..k50, the receptor factors FE and FES that
// fex writes, k51..k68. There is no COOPSTIM.
constexpr int ratcon_slots = 70;
extern double ratcon[ratcon_slots];

inline double& k(int n) { return calcium::k_in(ratcon, n); }

// The IP3-receptor calcium factors: FE with (k40, k41), FES with (k42, k43).
// Unlike the frame's (calcium/ip3r_factors.h), the square of `ca` is divided
// by k_high: k_low/ca + (ca*ca/k_high + 1).
inline double ip3r_ca_factor(double ca, double k_high, double k_low) {
  return k_low / ca + (ca * ca / k_high + 1.0);
}

void fex(int* neq, double* t, double* y, double* ydot);
void jex(int* neq, double* t, double* y, int* ml, int* mu, double* pd, int* nrowpd);

}  // namespace velmo64v6
