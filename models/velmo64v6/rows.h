// The four rows of every output step: flux file, data file, ER file and
// sliding-window file (units of calcium/output_units.h).
#pragma once

#include "models/calcium/output_units.h"
#include "models/velmo64v6/run_state.h"

namespace velmo64v6 {

// 15 fields 1PE15.4: TPRINT, the fluxes, jtot, Ca_cyt.
void write_flux_row(const run_state& s);
// 34 fields 1PE15.6.
void write_data_row(const run_state& s);
// 7 fields 1PE15.6: TPRINT, SERCA, Ca_lum, L, LCa30, Ca_ER_set (theor), total L.
void write_er_row(const run_state& s);
// TPRINT, <Ca_cyt>sw in 1PE12.4.
void write_window_row(const run_state& s);

}  // namespace velmo64v6
