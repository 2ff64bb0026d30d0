#include "models/calcium/derived.h"

#include <cmath>

#include "models/calcium/ip3r_factors.h"
#include "models/calcium/state_vector.h"

namespace calcium {

double pmca_set_point(rate_constants k, const double* Y) { return k.k(6) / (k.k(5) * Y[PMCA_M]); }

void form_common_quantities(derived_quantities& d, const double* Y, rate_constants k,
                            double tprint) {
  d.j1 = k.k(1) * Y[Ca_ext];
  d.j2 = k.k(2) * Y[Ca_cyt];
  d.j3 = ((k.k(3) * Y[PMCA_M_star]) * Y[Ca_cyt]) / (k.k(4) + Y[Ca_cyt]);
  d.j2_plus_j3 = d.j2 + d.j3;
  d.jMon = ((k.k(8) * 4.0) * Y[Ca_cyt]) * Y[M];
  d.jMoff = (k.k(9) * 4.0) * Y[MCa4];
  d.jBon = ((k.k(10) * 4.0) * Y[Ca_cyt]) * Y[B];
  d.jBoff = (4.0 * k.k(11)) * Y[BCa4];
  d.j23 = ((k.k(23) * Y[SERCA]) * Y[Ca_cyt]) / (k.k(24) + Y[Ca_cyt]);
  d.j27 = Y[Ca_lum] * k.k(27);
  d.jARCC = (((k.k(36) * Y[ARCC]) * Y[Ca_ext]) * Y[R_S]) / (k.k(37) + Y[Ca_ext]);
  d.jNCX = ((k.k(63) * Y[Ca_cyt]) * Y[NCX_M_star]) / (k.k(64) + Y[Ca_cyt]);

  d.Ca_cyt_set_PMCA = pmca_set_point(k, Y);
  d.Ca_cyt_set_NCX = k.k(61) / (k.k(60) * Y[NCX_M]);
  d.mean_Ca_cyt = Y[Ca_cyt_int] / tprint;

  d.free_bound_Ca = (Y[Ca_cyt] + 4.0 * Y[MCa4]) + 4.0 * Y[BCa4];
  d.total_M = Y[M] + Y[MCa4];
  d.total_B = Y[B] + Y[BCa4];
  d.total_PMCA = (Y[PMCA_M] + Y[PMCA]) + Y[PMCA_M_star];
  d.total_NCX = (Y[NCX_M_star] + Y[NCX_M]) + Y[NCX];
  d.total_Ca_ER = 30.0 * Y[LCa30] + Y[Ca_lum];
  d.total_L = Y[LCa30] + Y[L];
  d.total_S = Y[R_S] + Y[S];
  d.total_R = Y[R] + Y[R_S];
  d.total_S2 = Y[S2] + Y[GS2];
  d.total_G = Y[GS2] + Y[Gprot];
}

void form_derived(derived_quantities& d, const double* Y, rate_constants k, double tprint,
                  bool lum_pmca_integrals) {
  form_common_quantities(d, Y, k, tprint);
  const double FE = ip3r_ca_factor(Y[Ca_cyt], k.k(40), k.k(41));
  const double FES = ip3r_ca_factor(Y[Ca_cyt], k.k(42), k.k(43));
  d.jIP3R = ((k.k(38) * Y[IP3R_IP3]) * Y[Ca_lum]) / ((FES * Y[Ca_lum]) + (FE * k.k(39)));
  d.jSOCC = (((k.k(73) * Y[STIM]) * Y[SOCC]) * Y[Ca_ext]) / (Y[Ca_ext] + k.k(74));
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
  jtot = jtot - ((Y[Ca_cyt] * k.k(50)) * Y[Ind]);
  d.jtot = jtot + (k.k(51) * Y[Cacyt_Ind]);

  d.Ca_lum_set_SERCA = k.k(20) / k.k(21);
  if (lum_pmca_integrals) {
    d.mean_Ca_lum = Y[Ca_lum_int] / tprint;
    d.mean_PMCA_M = Y[PMCA_M_int] / tprint;
    d.Ca_cyt_set_mean_PMCA_M = k.k(6) / (k.k(5) * d.mean_PMCA_M);
  }
}

double pmca_m_estimate(double kd, double m, double p) {
  const double km = kd + m;
  const double radicand = (((km * km + (2.0 * kd) * p) - (2.0 * p) * m) + p * p);
  return 0.5 * ((km + p) - std::sqrt(radicand));
}

}  // namespace calcium
