// velmo64v6 reaction network: 29 species, the rate-constant block of 70 used
// slots and the right-hand side handed to the integrator.
#pragma once

namespace velmo64v6 {

constexpr int NEQ = 29;

// Zero-based positions of the species in the state vector Y.
enum species : int {
  CA_CYT = 0, PMCA_M_ACT, CA_EXT, CA_CYT_INT, M, MCA4, B, BCA4, PMCA_M, PMCA,
  SERCA, CA_LUM, L, LCA30, S, R, RS, ARCC, IP3R, IP3, IND, CACYT_IND, S2,
  GPROT, GS2, PLC, NCX_M_ACT, NCX_M, NCX
};

// Rate-constant block: slots 1..70 (ratcon[0] is slot 1). Slots 1..50 hold
// k1..k50, slots 51 and 52 the receptor factors FE and FES that fex writes,
// slots 53..70 hold k51..k68.
constexpr int RATCON_SLOTS = 70;
extern double ratcon[RATCON_SLOTS];

constexpr int slot_of(int n) { return n <= 50 ? n : n + 2; }  // kN -> slot
inline double& k(int n) { return ratcon[slot_of(n) - 1]; }
constexpr int FE_SLOT = 51;
constexpr int FES_SLOT = 52;

// FE and FES of a cytosolic calcium value (the square over K1E / K1ES).
inline double receptor_factor(double low_ca, double high_ca, double ca) {
  return low_ca / ca + (ca * ca / high_ca + 1.0);
}

void fex(int* neq, double* t, double* y, double* ydot);
void jex(int* neq, double* t, double* y, int* ml, int* mu, double* pd, int* nrowpd);

}  // namespace velmo64v6
