// The four rows of every output step: flux file (unit 4), data file (unit 8),
// ER file (unit 6) and sliding-window file (unit 7).
#pragma once

#include "models/velmo64v6/run_state.h"

namespace velmo64v6 {

constexpr int DATA_UNIT = 8, ER_UNIT = 6, FLUX_UNIT = 4, WINDOW_UNIT = 7, SPECTRUM_UNIT = 3;
constexpr int SUMMARY_UNIT = 5, INFO_UNIT = 9;

// 15 fields 1PE15.4: TPRINT, the fluxes, jtot, Ca_cyt.
void write_flux_row(const run_state& s);
// 34 fields 1PE15.6.
void write_data_row(const run_state& s);
// 7 fields 1PE15.6: TPRINT, SERCA, Ca_lum, L, LCa30, Ca_ER_set (theor), total L.
void write_er_row(const run_state& s);
// TPRINT, <Ca_cyt>sw in 1PE12.4.
void write_window_row(const run_state& s);

}  // namespace velmo64v6
