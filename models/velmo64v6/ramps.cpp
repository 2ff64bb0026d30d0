#include "models/velmo64v6/ramps.h"

#include <cmath>

#include "models/velmo64v6/network.h"

namespace velmo64v6 {

void apply_phase_switch(int phase, const phase_changes& pc) {
  switch (phase) {
    case 2:
      k(1) = pc.K1P2; k(2) = pc.K2P2; k(3) = pc.K3P2; k(23) = pc.K23P2; k(27) = pc.K27P2;
      k(30) = pc.K30P2; k(38) = pc.K38P2; k(56) = pc.K56P2; k(63) = pc.K63P2;
      break;
    case 3:
      k(1) = pc.K1P3; k(2) = pc.K2P3; k(3) = pc.K3P3; k(23) = pc.K23P3; k(27) = pc.K27P3;
      k(30) = pc.K30P3; k(38) = pc.K38P3; k(56) = pc.K56P3; k(63) = pc.K63P3;
      break;
    case 4:
      k(1) = pc.K1P4; k(2) = pc.K2P4; k(3) = pc.K3P4; k(63) = pc.K63P4;
      break;
    case 5:
      k(1) = pc.K1P5; k(2) = pc.K2P5; k(3) = pc.K3P5; k(63) = pc.K63P5;
      break;
    default:
      break;
  }
}

double ramp_time(double tprint, const double tphase[5], int phase) {
  double before = 0.0;
  for (int i = 0; i < phase - 1; ++i) before += tphase[i];
  return tprint - before;
}

void apply_ramp(int phase, double tau, const parameters& p, double* k3end2, double* k3end4) {
  const phase_changes& pc = p.pc;
  // A coefficient switches its ramp off only when exactly zero (NaN counts as set).
  switch (phase) {
    case 2:
      k(3) = p.K3READ + tau * pc.K3P2COEFF;
      *k3end2 = k(3);
      k(1) = p.K1READ + pc.K1P2 * (1.0 - std::exp(-(tau * pc.K1P2COEFF)));
      if (pc.K3P2COEFF == 0.0) {
        *k3end2 = pc.K3P2;
        k(3) = pc.K3P2;
      }
      break;
    case 3:
      k(3) = p.K3READ + (*k3end2 - p.K3READ) * std::exp(-(tau * pc.K3P3COEFF));
      if (pc.K3P3COEFF == 0.0) k(3) = pc.K3P3;
      break;
    case 4:
      k(3) = pc.K3P3 + tau * pc.K3P4COEFF;
      *k3end4 = k(3);
      k(1) = pc.K1P3 + pc.K1P4 * (1.0 - std::exp(-(tau * pc.K1P4COEFF)));
      if (pc.K3P4COEFF == 0.0) {
        *k3end4 = pc.K3P4;
        k(3) = pc.K3P4;
      }
      break;
    case 5:
      k(3) = pc.K3P5 + (*k3end4 - pc.K3P5) * std::exp(-(tau * pc.K3P5COEFF));
      if (pc.K3P5COEFF == 0.0) k(3) = pc.K3P5;
      break;
    default:
      break;
  }
}

}  // namespace velmo64v6
