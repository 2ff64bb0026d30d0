#include "models/velmo67/network.h"

#include <cmath>

#include "models/calcium/state_vector.h"

namespace velmo67 {

double ratcon[calcium::ratcon_slots] = {};

double coop_power(double base, double exponent) {
  if (exponent == 0.0) return 1.0;
  if (base == 1.0) return 1.0;
  const double magnitude = std::fabs(exponent);
  if (magnitude >= 1.0 && magnitude < 2147483648.0 && std::trunc(exponent) == exponent) {
    unsigned long n = static_cast<unsigned long>(magnitude);
    double power = 1.0;
    double square = base;
    for (;;) {
      if (n & 1UL) power *= square;
      n >>= 1;
      if (n == 0) break;
      square *= square;
    }
    if (exponent > 0.0) return power;
    // A zero base of either sign goes to +infinity.
    return base == 0.0 ? HUGE_VAL : 1.0 / power;
  }
  if (std::trunc(exponent) == exponent && std::isfinite(exponent)) {
    // Integral exponent of 2^31 or more: keep the sign rule of odd powers.
    return std::pow(base, exponent);
  }
  if (base < 0.0) return std::nan("");
  if (base == 0.0) {
    if (exponent > 0.0) return 0.0;
    if (exponent < 0.0) return HUGE_VAL;
  }
  return std::exp(exponent * std::log(base));
}

void fex(int* NEQ, double* /*T*/, double* Y, double* YDOT) {
  using namespace calcium;  // the species: Y[Ca_cyt] is Y(1)

  // The IP3-receptor factors go into the block before anything uses them.
  const double FE = fe_factor(Y[Ca_cyt]);
  const double FES = fes_factor(Y[Ca_cyt]);
  slot(calcium::fe_slot) = FE;
  slot(calcium::fes_slot) = FES;

  const double coop = coopstim();
  const double P = coop_power(Y[Ca_lum], coop);

  const double j1 = k(1) * Y[Ca_ext];
  const double j2 = k(2) * Y[Ca_cyt];
  const double j3 = k(3) * Y[PMCA_M_star] * Y[Ca_cyt] / (k(4) + Y[Ca_cyt]);
  const double jMon = 4.0 * k(8) * Y[M] * Y[Ca_cyt];
  const double jMoff = 4.0 * k(9) * Y[MCa4];
  const double jBon = 4.0 * k(10) * Y[B] * Y[Ca_cyt];
  const double jBoff = 4.0 * k(11) * Y[BCa4];
  const double j23 = k(23) * Y[SERCA] * Y[Ca_cyt] / (k(24) + Y[Ca_cyt]);
  const double j27 = k(27) * Y[Ca_lum];
  const double jARCC = k(36) * Y[ARCC] * Y[Ca_ext] * Y[R_S] / (k(37) + Y[Ca_ext]);
  const double jIP3R = k(38) * Y[IP3R_IP3] * Y[Ca_lum] / (FES * Y[Ca_lum] + FE * k(39));
  const double jNCX = k(63) * Y[Ca_cyt] * Y[NCX_M_star] / (k(64) + Y[Ca_cyt]);
  const double jSOCC = k(73) * Y[Ca_ext] * Y[SOCC] * Y[STIM] / (Y[Ca_ext] + k(74));

  const double pmca_release = k(6) * Y[PMCA_M_star] / (Y[PMCA_M_star] + k(7));
  const double ncx_release = k(61) * Y[NCX_M_star] / (Y[NCX_M_star] + k(62));
  const double stim_binding = k(71) * Y[STIM] * P;
  const double ip3r_release = k(78) * Y[IP3R_IP3] * (Y[Ca_cyt] + 1.0);

  double* d = YDOT;  // d[Ca_cyt] is dY(1)/dt
  d[Ca_cyt] = j1 - j2 - j3 - jMon + jMoff - jBon + jBoff - j23 + j27 + jARCC + jIP3R +
              k(51) * Y[Cacyt_Ind] - k(50) * Y[Ca_cyt] * Y[Ind] - jNCX + jSOCC;
  d[PMCA_M_star] = k(5) * Y[Ca_cyt] * Y[PMCA_M] - pmca_release;
  d[Ca_ext] = 0.0;
  d[Ca_cyt_int] = Y[Ca_cyt];
  d[M] = k(16) - k(17) * Y[M] - k(12) * Y[M] * Y[PMCA] + k(13) * Y[PMCA_M] + k(9) * Y[MCa4] -
         k(8) * Y[Ca_cyt] * Y[M] + k(68) * Y[NCX_M] - k(67) * Y[M] * Y[NCX];
  d[MCa4] = k(8) * Y[Ca_cyt] * Y[M] - k(9) * Y[MCa4];
  d[B] = k(18) - k(19) * Y[B] - k(10) * Y[B] * Y[Ca_cyt] + k(11) * Y[BCa4];
  d[BCa4] = k(10) * Y[B] * Y[Ca_cyt] - k(11) * Y[BCa4];
  d[PMCA_M] =
      k(12) * Y[PMCA] * Y[M] - k(13) * Y[PMCA_M] + pmca_release - k(5) * Y[Ca_cyt] * Y[PMCA_M];
  d[PMCA] = k(14) - k(15) * Y[PMCA] - k(12) * Y[PMCA] * Y[M] + k(13) * Y[PMCA_M];
  d[SERCA] = k(20) - k(21) * Y[SERCA] * Y[Ca_lum] / (Y[SERCA] + k(22));
  d[Ca_lum] = j23 - j27 - 30.0 * k(25) * Y[Ca_lum] * Y[L] + 30.0 * k(26) * Y[LCa30] -
              coop * k(71) * Y[STIM] * P + coop * k(72) * Y[STIM_Ca] - jIP3R;
  d[L] = k(28) - k(29) * Y[L] - k(25) * Y[Ca_lum] * Y[L] + k(26) * Y[LCa30];
  d[LCa30] = k(25) * Y[Ca_lum] * Y[L] - k(26) * Y[LCa30];
  d[S] = k(30) - k(31) * Y[S] - k(34) * Y[S] * Y[R] + k(35) * Y[R_S];
  d[R] = k(32) - k(33) * Y[R] - k(34) * Y[S] * Y[R] + k(35) * Y[R_S];
  d[R_S] = k(34) * Y[S] * Y[R] - k(35) * Y[R_S];
  d[ARCC] = k(44) - k(45) * Y[ARCC];
  d[IP3R_IP3] = k(77) * Y[IP3] * Y[IP3R] - ip3r_release;
  d[IP3] = k(46) * Y[PLC] - k(47) * Y[IP3] - k(77) * Y[IP3] * Y[IP3R] + ip3r_release;
  d[Ind] = k(51) * Y[Cacyt_Ind] - k(50) * Y[Ca_cyt] * Y[Ind];
  d[Cacyt_Ind] = k(50) * Y[Ca_cyt] * Y[Ind] - k(51) * Y[Cacyt_Ind];
  d[S2] = k(52) - k(53) * Y[S2] - k(54) * Y[S2] * Y[Gprot] + k(55) * Y[GS2];
  d[Gprot] = k(58) - k(59) * Y[Gprot] - k(54) * Y[S2] * Y[Gprot] + k(55) * Y[GS2];
  d[GS2] = k(54) * Y[S2] * Y[Gprot] - k(55) * Y[GS2];
  d[PLC] = k(56) * Y[GS2] - k(57) * Y[PLC];
  d[NCX_M_star] = k(60) * Y[NCX_M] * Y[Ca_cyt] - ncx_release;
  d[NCX_M] = k(67) * Y[M] * Y[NCX] - k(68) * Y[NCX_M] - k(60) * Y[NCX_M] * Y[Ca_cyt] + ncx_release;
  d[NCX] = k(65) - k(66) * Y[NCX] - k(67) * Y[M] * Y[NCX] + k(68) * Y[NCX_M];
  d[STIM] = k(69) - k(70) * Y[STIM] - stim_binding + k(72) * Y[STIM_Ca];
  d[STIM_Ca] = stim_binding - k(72) * Y[STIM_Ca];
  d[SOCC] = k(75) - k(76) * Y[SOCC];
  d[IP3R] = k(48) - k(49) * Y[IP3R] - k(77) * Y[IP3] * Y[IP3R] + ip3r_release;
  if (*NEQ >= 35) {
    d[Ca_lum_int] = Y[Ca_lum];
    d[PMCA_M_int] = Y[PMCA_M];
  }
}

void jex(int* /*NEQ*/, double* /*T*/, double* /*Y*/, int* /*ML*/, int* /*MU*/, double* /*PD*/,
         int* /*NROWPD*/) {}

}  // namespace velmo67
