// Quantities velmo64v6 forms from the clamped state at every output step; each
// keeps its value until the next step, so the phase report shows the last
// step's values.
#pragma once

#include "models/calcium/derived.h"

namespace velmo64v6 {

// The frame's quantities that velmo64v6 forms alike (fluxes, totals, set
// points of PMCA and NCX, <Ca_cyt>), its own jIP3R and jtot in the same
// fields, and its two SERCA set points. The frame's jSOCC, Ca_lum_set
// (SERCA) and the Ca_lum and PMCA.M averages have no counterpart here and
// stay 0.
struct step_quantities : calcium::derived_quantities {
  double Ca_cyt_set_SERCA = 0;  // (k21*Ca_lum)/k20
  double Ca_ER_set_theor = 0;   // (k20*Ca_cyt)/k21
};

// Everything but PMCA_M_estimated, from the clamped Y (29 elements), the rate
// constants now in `ratcon` and this step's TPRINT.
void form_step_quantities(step_quantities& q, const double* Y, double tprint);

// Ca_cyt_set (PMCA) alone; the phase end recomputes it from the current state.
double pmca_set_point(const double* Y);

}  // namespace velmo64v6
