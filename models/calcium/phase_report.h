// The phase report of the calcium programs (velmo67, velmo66, velmo65): the
// species table, the rate constants in force, the flux table, the NOUT line
// and the end-of-phase concentration lines (in the layout of the parameter
// file's initial-state lines), on the console and in the summary file.
//
// Pieces are exposed separately so that another program's report can reuse
// them; write_phase_report() runs them in the frame's order.
#pragma once

#include <span>

#include "models/calcium/derived.h"
#include "models/calcium/frame_config.h"
#include "models/calcium/report_output.h"

namespace calcium {

// What a phase end reports: the state and rate constants in force, the last
// output step's derived quantities and the constants fixed after reading.
struct phase_report_data {
  int iphase;
  int nout;
  const double* Y;  // indexed by species
  rate_constants k;
  const derived_quantities* d;
  double window_mean;  // <Ca_cyt>sw
  double period;       // <period>
  double Kd_M, Kd_B, Kd_PMCA_M, Kd_NCX_M;
  bool mean_pmca_m_row;  // the table ends with "<PMCA.M>.........."
};

// Species table: 51 label lines (50 without the <PMCA.M> row) and 9 blank
// records, to `to`.
void write_species_table(report_out to, const phase_report_data& p);

// "k<n>......" label lines for the constants `ks`, to `to`.
void write_rate_constant_table(report_out to, rate_constants k, std::span<const int> ks);

// The 10 flux lines, to `to`.
void write_flux_table(report_out to, const derived_quantities& d);

// The 8 "(1X,1PE12.5,3(',',1PE12.5),A26)" lines with species trailers.
void write_concentration_lines(report_out to, const double* Y);

// The whole report (without the store row), with the console/summary order
// of each block; the store row and the closing blank record are the caller's.
void write_phase_report(const phase_report_data& p, std::span<const int> rate_constant_list);

}  // namespace calcium
