// The four rows of every output step: flux file, data file, ER file and
// sliding-window file (units of calcium/output_units.h). Their columns are
// the tables of rows.cpp, which the writers read and calcium-layouts exports.
#pragma once

#include "models/calcium/output_units.h"
#include "models/calcium/row_layout.h"
#include "models/velmo64v6/run_state.h"

namespace velmo64v6 {

// 15 fields 1PE15.4: TPRINT, the fluxes, jtot, Ca_cyt.
extern const calcium::row_layout<run_state> flux_row;
// 34 fields 1PE15.6.
extern const calcium::row_layout<run_state> data_row;
// 7 fields 1PE15.6: TPRINT, SERCA, Ca_lum, L, LCa30, Ca_ER_set (theor), total L.
extern const calcium::row_layout<run_state> er_row;
// TPRINT, <Ca_cyt>sw in 1PE12.4.
extern const calcium::row_layout<run_state> window_row;

inline void write_flux_row(const run_state& s) { write_row(calcium::flux_unit, flux_row, s); }
inline void write_data_row(const run_state& s) { write_row(calcium::data_unit, data_row, s); }
inline void write_er_row(const run_state& s) { write_row(calcium::er_unit, er_row, s); }
inline void write_window_row(const run_state& s) { write_row(calcium::window_unit, window_row, s); }

}  // namespace velmo64v6
