#include "models/calcium/derived.h"

#include <cmath>

#include "models/calcium/ip3r_factors.h"

namespace calcium {

void form_derived(derived_quantities& d, const double* Y, rate_constants k,
                  double tprint, bool lum_pmca_integrals) {
  const double Ca_cyt = Y[0], PMCA_Ms = Y[1], Ca_ext = Y[2], Ca_cyt_int = Y[3];
  const double M = Y[4], MCa4 = Y[5], B = Y[6], BCa4 = Y[7], PMCA_M = Y[8];
  const double PMCA = Y[9], SERCA = Y[10], Ca_lum = Y[11], L = Y[12];
  const double LCa30 = Y[13], S = Y[14], R = Y[15], RS = Y[16], ARCC = Y[17];
  const double IP3R_IP3 = Y[18], Ind = Y[20], Cacyt_Ind = Y[21], S2 = Y[22];
  const double Gprot = Y[23], GS2 = Y[24], NCX_Ms = Y[26], NCX_M = Y[27];
  const double NCX = Y[28], STIM = Y[29], SOCC = Y[31];

  d.j1 = k.k(1) * Ca_ext;
  d.j2 = k.k(2) * Ca_cyt;
  d.j3 = ((k.k(3) * PMCA_Ms) * Ca_cyt) / (k.k(4) + Ca_cyt);
  d.j2_plus_j3 = d.j2 + d.j3;
  d.jMon = ((k.k(8) * 4.0) * Ca_cyt) * M;
  d.jMoff = (k.k(9) * 4.0) * MCa4;
  d.jBon = ((k.k(10) * 4.0) * Ca_cyt) * B;
  d.jBoff = (4.0 * k.k(11)) * BCa4;
  d.j23 = ((k.k(23) * SERCA) * Ca_cyt) / (k.k(24) + Ca_cyt);
  d.j27 = Ca_lum * k.k(27);
  d.jARCC = (((k.k(36) * ARCC) * Ca_ext) * RS) / (k.k(37) + Ca_ext);
  const double FE = ip3r_ca_factor(Ca_cyt, k.k(40), k.k(41));
  const double FES = ip3r_ca_factor(Ca_cyt, k.k(42), k.k(43));
  d.jIP3R = ((k.k(38) * IP3R_IP3) * Ca_lum) / ((FES * Ca_lum) + (FE * k.k(39)));
  d.jNCX = ((k.k(63) * Ca_cyt) * NCX_Ms) / (k.k(64) + Ca_cyt);
  d.jSOCC = (((k.k(73) * STIM) * SOCC) * Ca_ext) / (Ca_ext + k.k(74));
  // The terms of fex's Ca_cyt derivative, but summed left to right in jtot's
  // own order, not fex's: here jSOCC and jNCX come before the two indicator
  // terms, in fex after them. jtot may thus differ from dY(1)/dt in the last
  // bits; this order is the one the flux rows are defined with.
  double jtot = d.j1 - d.j2;
  jtot = jtot - d.j3;
  jtot = jtot - d.jMon;
  jtot = jtot + d.jMoff;
  jtot = jtot - d.jBon;
  jtot = jtot + d.jBoff;
  jtot = jtot - d.j23;
  jtot = jtot + d.j27;
  jtot = jtot + d.jARCC;
  jtot = jtot + d.jIP3R;
  jtot = jtot + d.jSOCC;
  jtot = jtot - d.jNCX;
  jtot = jtot - ((Ca_cyt * k.k(50)) * Ind);
  d.jtot = jtot + (k.k(51) * Cacyt_Ind);

  d.Ca_cyt_set_PMCA = k.k(6) / (k.k(5) * PMCA_M);
  d.Ca_lum_set_SERCA = k.k(20) / k.k(21);
  d.Ca_cyt_set_NCX = k.k(61) / (k.k(60) * NCX_M);
  d.mean_Ca_cyt = Ca_cyt_int / tprint;
  if (lum_pmca_integrals) {
    d.mean_Ca_lum = Y[33] / tprint;
    d.mean_PMCA_M = Y[34] / tprint;
    d.Ca_cyt_set_mean_PMCA_M = k.k(6) / (k.k(5) * d.mean_PMCA_M);
  }

  d.free_bound_Ca = (Ca_cyt + 4.0 * MCa4) + 4.0 * BCa4;
  d.total_M = M + MCa4;
  d.total_B = B + BCa4;
  d.total_PMCA = (PMCA_M + PMCA) + PMCA_Ms;
  d.total_NCX = (NCX_Ms + NCX_M) + NCX;
  d.total_Ca_ER = 30.0 * LCa30 + Ca_lum;
  d.total_L = LCa30 + L;
  d.total_S = RS + S;
  d.total_R = R + RS;
  d.total_S2 = S2 + GS2;
  d.total_G = GS2 + Gprot;
}

double pmca_m_estimate(double kd, double m, double p) {
  const double km = kd + m;
  const double radicand = (((km * km + (2.0 * kd) * p) - (2.0 * p) * m) + p * p);
  return 0.5 * ((km + p) - std::sqrt(radicand));
}

}  // namespace calcium
