#include "models/velmo64v6/derived.h"

#include "models/velmo64v6/network.h"

namespace velmo64v6 {

double pmca_set_point(const double* Y) { return k(6) / (k(5) * Y[PMCA_M]); }

void form_step_quantities(step_quantities& q, const double* Y, double tprint) {
  const double ca = Y[Ca_cyt], ca_ext = Y[Ca_ext], ca_lum = Y[Ca_lum];

  q.j1 = k(1) * ca_ext;
  q.j2 = k(2) * ca;
  q.j3 = ((k(3) * Y[PMCA_M_star]) * ca) / (k(4) + ca);
  q.j2_plus_j3 = q.j2 + q.j3;
  q.jMon = ((k(8) * 4.0) * ca) * Y[M];
  q.jMoff = (k(9) * 4.0) * Y[MCa4];
  q.jBon = ((k(10) * 4.0) * ca) * Y[B];
  q.jBoff = (4.0 * k(11)) * Y[BCa4];
  q.j23 = ((k(23) * Y[SERCA]) * ca) / (k(24) + ca);
  q.j27 = ca_lum * k(27);
  q.jARCC = (((k(36) * Y[ARCC]) * ca_ext) * Y[R_S]) / (k(37) + ca_ext);
  q.jNCX = ((k(63) * ca) * Y[NCX_M_star]) / (k(64) + ca);
  q.FE = receptor_factor(k(41), k(40), ca);
  q.FES = receptor_factor(k(43), k(42), ca);
  q.jIP3R = ((k(38) * Y[IP3R]) * Y[IP3]) * ca_lum / ((q.FES * ca_lum) + (q.FE * k(39)));
  q.jtot = ((((((((((((q.j1 - q.j2) - q.j3) - q.jMon) + q.jMoff) - q.jBon) + q.jBoff) - q.j23) +
                  q.j27) +
                 q.jARCC) +
                q.jIP3R) -
               q.jNCX) -
              ((ca * k(50)) * Y[Ind])) +
           (k(51) * Y[Cacyt_Ind]);

  q.Ca_cyt_set_PMCA = pmca_set_point(Y);
  q.Ca_cyt_set_SERCA = (k(21) * ca_lum) / k(20);
  q.Ca_ER_set_theor = (k(20) * ca) / k(21);
  q.Ca_cyt_set_NCX = k(61) / (k(60) * Y[NCX_M]);
  q.mean_Ca_cyt = Y[Ca_cyt_int] / tprint;

  q.free_bound_Ca = (ca + 4.0 * Y[MCa4]) + 4.0 * Y[BCa4];
  q.total_M = Y[M] + Y[MCa4];
  q.total_B = Y[B] + Y[BCa4];
  q.total_PMCA = (Y[PMCA_M] + Y[PMCA]) + Y[PMCA_M_star];
  q.total_NCX = (Y[NCX_M_star] + Y[NCX_M]) + Y[NCX];
  q.total_Ca_ER = 30.0 * Y[LCa30] + ca_lum;
  q.total_L = Y[LCa30] + Y[L];
  q.total_S = Y[R_S] + Y[S];
  q.total_R = Y[R] + Y[R_S];
  q.total_S2 = Y[S2] + Y[GS2];
  q.total_G = Y[GS2] + Y[Gprot];
}

}  // namespace velmo64v6
