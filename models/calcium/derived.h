// Quantities formed from the clamped state at every output step of a calcium
// program: fluxes, net cytosolic flux, set points, time averages and
// conservation totals, and the equilibrium estimate of PMCA.M. The rows and
// the phase report print them; each keeps its value until the next step.
#pragma once

#include "models/calcium/frame_config.h"

namespace calcium {

struct derived_quantities {
  // Fluxes.
  double j1 = 0.0, j2 = 0.0, j3 = 0.0, j2_plus_j3 = 0.0;
  double jMon = 0.0, jMoff = 0.0, jBon = 0.0, jBoff = 0.0;
  double j23 = 0.0, j27 = 0.0, jARCC = 0.0, jIP3R = 0.0, jNCX = 0.0, jSOCC = 0.0;
  double jtot = 0.0;  // net Ca flux into the cytosol: the terms of dCa_cyt/dt
  // Set points.
  double Ca_cyt_set_PMCA = 0.0;         // k6/(k5*PMCA.M)
  double Ca_lum_set_SERCA = 0.0;        // k20/k21
  double Ca_cyt_set_NCX = 0.0;          // k61/(k60*NCX.M)
  double Ca_cyt_set_mean_PMCA_M = 0.0;  // k6/(k5*<PMCA.M>)
  // Time averages (integral / TPRINT).
  double mean_Ca_cyt = 0.0, mean_Ca_lum = 0.0, mean_PMCA_M = 0.0;
  // Totals.
  double free_bound_Ca = 0.0, total_M = 0.0, total_B = 0.0, total_PMCA = 0.0;
  double total_NCX = 0.0, total_Ca_ER = 0.0, total_L = 0.0, total_S = 0.0;
  double total_R = 0.0, total_S2 = 0.0, total_G = 0.0;
  // Formed later in the step, after the maximum detector.
  double PMCA_M_estimated = 0.0;
};

// Ca_cyt_set (PMCA) = k6/(k5*PMCA.M); the phase end forms it again.
double pmca_set_point(rate_constants k, const double* Y);

// The quantities that velmo64v6 forms as the frame does: j1, j2, j3,
// j2+j3, jMon, jMoff, jBon, jBoff, j23, j27, jARCC, jNCX, Ca_cyt_set (PMCA),
// Ca_cyt_set (NCX), <Ca_cyt> and the totals. They read elements that stand
// at the same place in both generations' states (not IP3R.IP3, Ind,
// Cacyt.Ind or the STIM branch).
void form_common_quantities(derived_quantities& d, const double* Y, rate_constants k,
                            double tprint);

// Everything but PMCA_M_estimated, from the clamped Y (indexed by species),
// the current rate constants and this step's TPRINT. With
// `lum_pmca_integrals` false (33-element state) the averages of Ca_lum and
// PMCA.M and their set point are left as they are.
void form_derived(derived_quantities& d, const double* Y, rate_constants k, double tprint,
                  bool lum_pmca_integrals);

// Smaller root of x^2 - (Kd + M + P) x + M P = 0; NaN for a negative radicand.
double pmca_m_estimate(double kd, double m, double total_pmca);

}  // namespace calcium
