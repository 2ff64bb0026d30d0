#include "models/velmo67/network.h"

#include <cmath>

namespace velmo67 {

double ratcon[calcium::ratcon_slots] = {};

double coop_power(double base, double exponent) {
  if (exponent == 0.0) return 1.0;
  if (base == 1.0) return 1.0;
  const double magnitude = std::fabs(exponent);
  if (magnitude >= 1.0 && magnitude < 2147483648.0 &&
      std::trunc(exponent) == exponent) {
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
  auto y = [Y](int i) { return Y[i - 1]; };

  // The IP3-receptor factors go into the block before anything uses them.
  const double FE = fe_factor(y(1));
  const double FES = fes_factor(y(1));
  slot(calcium::fe_slot) = FE;
  slot(calcium::fes_slot) = FES;

  const double coop = coopstim();
  const double P = coop_power(y(12), coop);

  const double j1 = k(1) * y(3);
  const double j2 = k(2) * y(1);
  const double j3 = k(3) * y(2) * y(1) / (k(4) + y(1));
  const double jMon = 4.0 * k(8) * y(5) * y(1);
  const double jMoff = 4.0 * k(9) * y(6);
  const double jBon = 4.0 * k(10) * y(7) * y(1);
  const double jBoff = 4.0 * k(11) * y(8);
  const double j23 = k(23) * y(11) * y(1) / (k(24) + y(1));
  const double j27 = k(27) * y(12);
  const double jARCC = k(36) * y(18) * y(3) * y(17) / (k(37) + y(3));
  const double jIP3R = k(38) * y(19) * y(12) / (FES * y(12) + FE * k(39));
  const double jNCX = k(63) * y(1) * y(27) / (k(64) + y(1));
  const double jSOCC = k(73) * y(3) * y(32) * y(30) / (y(3) + k(74));

  const double pmca_release = k(6) * y(2) / (y(2) + k(7));
  const double ncx_release = k(61) * y(27) / (y(27) + k(62));
  const double stim_binding = k(71) * y(30) * P;
  const double ip3r_release = k(78) * y(19) * (y(1) + 1.0);

  double* d = YDOT;  // d[i - 1] is dY(i)/dt
  d[0] = j1 - j2 - j3 - jMon + jMoff - jBon + jBoff - j23 + j27 + jARCC +
         jIP3R + k(51) * y(22) - k(50) * y(1) * y(21) - jNCX + jSOCC;
  d[1] = k(5) * y(1) * y(9) - pmca_release;
  d[2] = 0.0;
  d[3] = y(1);
  d[4] = k(16) - k(17) * y(5) - k(12) * y(5) * y(10) + k(13) * y(9) +
         k(9) * y(6) - k(8) * y(1) * y(5) + k(68) * y(28) -
         k(67) * y(5) * y(29);
  d[5] = k(8) * y(1) * y(5) - k(9) * y(6);
  d[6] = k(18) - k(19) * y(7) - k(10) * y(7) * y(1) + k(11) * y(8);
  d[7] = k(10) * y(7) * y(1) - k(11) * y(8);
  d[8] = k(12) * y(10) * y(5) - k(13) * y(9) + pmca_release -
         k(5) * y(1) * y(9);
  d[9] = k(14) - k(15) * y(10) - k(12) * y(10) * y(5) + k(13) * y(9);
  d[10] = k(20) - k(21) * y(11) * y(12) / (y(11) + k(22));
  d[11] = j23 - j27 - 30.0 * k(25) * y(12) * y(13) + 30.0 * k(26) * y(14) -
          coop * k(71) * y(30) * P + coop * k(72) * y(31) - jIP3R;
  d[12] = k(28) - k(29) * y(13) - k(25) * y(12) * y(13) + k(26) * y(14);
  d[13] = k(25) * y(12) * y(13) - k(26) * y(14);
  d[14] = k(30) - k(31) * y(15) - k(34) * y(15) * y(16) + k(35) * y(17);
  d[15] = k(32) - k(33) * y(16) - k(34) * y(15) * y(16) + k(35) * y(17);
  d[16] = k(34) * y(15) * y(16) - k(35) * y(17);
  d[17] = k(44) - k(45) * y(18);
  d[18] = k(77) * y(20) * y(33) - ip3r_release;
  d[19] = k(46) * y(26) - k(47) * y(20) - k(77) * y(20) * y(33) + ip3r_release;
  d[20] = k(51) * y(22) - k(50) * y(1) * y(21);
  d[21] = k(50) * y(1) * y(21) - k(51) * y(22);
  d[22] = k(52) - k(53) * y(23) - k(54) * y(23) * y(24) + k(55) * y(25);
  d[23] = k(58) - k(59) * y(24) - k(54) * y(23) * y(24) + k(55) * y(25);
  d[24] = k(54) * y(23) * y(24) - k(55) * y(25);
  d[25] = k(56) * y(25) - k(57) * y(26);
  d[26] = k(60) * y(28) * y(1) - ncx_release;
  d[27] = k(67) * y(5) * y(29) - k(68) * y(28) - k(60) * y(28) * y(1) +
          ncx_release;
  d[28] = k(65) - k(66) * y(29) - k(67) * y(5) * y(29) + k(68) * y(28);
  d[29] = k(69) - k(70) * y(30) - stim_binding + k(72) * y(31);
  d[30] = stim_binding - k(72) * y(31);
  d[31] = k(75) - k(76) * y(32);
  d[32] = k(48) - k(49) * y(33) - k(77) * y(20) * y(33) + ip3r_release;
  if (*NEQ >= 35) {
    d[33] = y(12);
    d[34] = y(9);
  }
}

void jex(int* /*NEQ*/, double* /*T*/, double* /*Y*/, int* /*ML*/, int* /*MU*/,
         double* /*PD*/, int* /*NROWPD*/) {}

}  // namespace velmo67
