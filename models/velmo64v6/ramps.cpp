#include "models/velmo64v6/ramps.h"

#include <cmath>

#include "models/velmo64v6/network.h"

namespace velmo64v6 {

namespace {

// At the start of `phase`, rate constant k`k` takes the phase value `value`.
struct phase_switch {
  int phase;
  int k;
  double phase_changes::*value;
};

using pc = phase_changes;
constexpr phase_switch switches[] = {
    // phase, constant kN, its value for the phase
    {2, 1, &pc::K1P2},   {2, 2, &pc::K2P2},   {2, 3, &pc::K3P2},   {2, 23, &pc::K23P2},  //
    {2, 27, &pc::K27P2}, {2, 30, &pc::K30P2}, {2, 38, &pc::K38P2}, {2, 56, &pc::K56P2},  //
    {2, 63, &pc::K63P2},                                                                 //
    {3, 1, &pc::K1P3},   {3, 2, &pc::K2P3},   {3, 3, &pc::K3P3},   {3, 23, &pc::K23P3},  //
    {3, 27, &pc::K27P3}, {3, 30, &pc::K30P3}, {3, 38, &pc::K38P3}, {3, 56, &pc::K56P3},  //
    {3, 63, &pc::K63P3},                                                                 //
    {4, 1, &pc::K1P4},   {4, 2, &pc::K2P4},   {4, 3, &pc::K3P4},   {4, 63, &pc::K63P4},  //
    {5, 1, &pc::K1P5},   {5, 2, &pc::K2P5},   {5, 3, &pc::K3P5},   {5, 63, &pc::K63P5}};

}  // namespace

void apply_phase_switch(int phase, const phase_changes& values) {
  for (const phase_switch& s : switches)
    if (s.phase == phase) k(s.k) = values.*s.value;
}

double ramp_time(double tprint, const double tphase[5], int phase) {
  double before = 0.0;
  for (int i = 0; i < phase - 1; ++i) before += tphase[i];
  return tprint - before;
}

namespace {

// Phases 2 and 4: k3 rises linearly from `k3_from` (its value recorded in
// *k3_end for the next phase) and k1 rises from `k1_from` towards
// k1_from + k1_rise. A zero k3 coefficient holds k3 at the phase value
// `k3_phase` instead.
void rising_ramps(double tau, double k3_from, double k3_coeff, double k3_phase, double k1_from,
                  double k1_rise, double k1_coeff, double* k3_end) {
  k(3) = k3_from + tau * k3_coeff;
  *k3_end = k(3);
  k(1) = k1_from + k1_rise * (1.0 - std::exp(-(tau * k1_coeff)));
  if (k3_coeff == 0.0) {
    *k3_end = k3_phase;
    k(3) = k3_phase;
  }
}

// Phases 3 and 5: k3 relaxes from the last value of the phase before,
// `k3_end`, towards `k3_towards`; a zero coefficient holds it at `k3_phase`.
void relaxing_ramp(double tau, double k3_towards, double k3_end, double coeff, double k3_phase) {
  k(3) = k3_towards + (k3_end - k3_towards) * std::exp(-(tau * coeff));
  if (coeff == 0.0) k(3) = k3_phase;
}

}  // namespace

void apply_ramp(int phase, double tau, const parameters& p, double* k3end2, double* k3end4) {
  const phase_changes& pc = p.pc;
  // A coefficient switches its ramp off only when exactly zero (NaN counts as set).
  switch (phase) {
    case 2:
      rising_ramps(tau, p.K3READ, pc.K3P2COEFF, pc.K3P2, p.K1READ, pc.K1P2, pc.K1P2COEFF, k3end2);
      break;
    case 3:
      relaxing_ramp(tau, p.K3READ, *k3end2, pc.K3P3COEFF, pc.K3P3);  // k1 keeps K1P3
      break;
    case 4:
      rising_ramps(tau, pc.K3P3, pc.K3P4COEFF, pc.K3P4, pc.K1P3, pc.K1P4, pc.K1P4COEFF, k3end4);
      break;
    case 5:
      relaxing_ramp(tau, pc.K3P5, *k3end4, pc.K3P5COEFF, pc.K3P5);  // k1 keeps K1P5
      break;
    default:
      break;
  }
}

}  // namespace velmo64v6
