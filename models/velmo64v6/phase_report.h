// The report written at every phase end after the period list, to the console
// and the summary file: species table, rate constants, fluxes and the
// end-of-phase concentration lines (which paste back as initial-state lines).
#pragma once

#include "models/velmo64v6/run_state.h"

namespace velmo64v6 {

// The end-of-phase concentration lines: "(1X,1PE12.4,3(',',1PE12.4),A26)",
// the elements and report trailers of state_lines (parameter_layout.h).
constexpr int concentration_digits = 4;

void write_phase_report(const run_state& s);

}  // namespace velmo64v6
