// Rate-constant switches at phase starts and the ramps of k1 and k3 inside
// phases 2 to 5.
#pragma once

#include "models/velmo64v6/parameters.h"

namespace velmo64v6 {

// Writes the phase's switched constants into `ratcon` (phases 2..5; phase 1
// switches nothing).
void apply_phase_switch(int phase, const phase_changes& pc);

// Elapsed ramp time: tprint less the durations of the phases before `phase`,
// summed from the first on.
double ramp_time(double tprint, const double tphase[5], int phase);

// Sets k1 and k3 for ramp time `tau` in `phase` (2..5); phases 2 and 4 also
// record the ramp's end value in *k3end2 / *k3end4 for phases 3 and 5.
void apply_ramp(int phase, double tau, const parameters& p, double* k3end2, double* k3end4);

}  // namespace velmo64v6
