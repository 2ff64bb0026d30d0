// Quantities velmo64v6 forms from the clamped state at every output step; each
// keeps its value until the next step, so the phase report shows the last
// step's values.
#pragma once

namespace velmo64v6 {

struct step_quantities {
  double j1 = 0, j2 = 0, j3 = 0, j2_plus_j3 = 0, jMon = 0, jMoff = 0, jBon = 0, jBoff = 0;
  double j23 = 0, j27 = 0, jARCC = 0, jIP3R = 0, jNCX = 0, jtot = 0;
  double FE = 0, FES = 0;
  double Ca_cyt_set_PMCA = 0;   // k6/(k5*PMCA.M)
  double Ca_cyt_set_SERCA = 0;  // (k21*Ca_lum)/k20
  double Ca_ER_set_theor = 0;   // (k20*Ca_cyt)/k21
  double Ca_cyt_set_NCX = 0;    // k61/(k60*NCX.M)
  double mean_Ca_cyt = 0;       // Ca_cyt_int/TPRINT
  double free_bound_Ca = 0, total_M = 0, total_B = 0, total_PMCA = 0, total_NCX = 0;
  double total_Ca_ER = 0, total_L = 0, total_S = 0, total_R = 0, total_S2 = 0, total_G = 0;
  double PMCA_M_estimated = 0;  // formed later in the step, after the maximum detector
};

// Everything but PMCA_M_estimated, from the clamped Y (29 elements), the rate
// constants now in `ratcon` and this step's TPRINT.
void form_step_quantities(step_quantities& q, const double* Y, double tprint);

// Ca_cyt_set (PMCA) alone; the phase end recomputes it from the current state.
double pmca_set_point(const double* Y);

}  // namespace velmo64v6
