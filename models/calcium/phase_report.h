// The phase report of the calcium programs (velmo67, velmo66, velmo65): the
// species table, the rate constants in force, the flux table, the NOUT line
// and the end-of-phase concentration lines (in the layout of the parameter
// file's initial-state lines), on the console and in the summary file.
//
// Pieces are exposed separately so that velmo64v6's report can reuse them;
// write_phase_report() runs them in the frame's order.
#pragma once

#include <span>
#include <string_view>

#include "models/calcium/derived.h"
#include "models/calcium/frame_config.h"
#include "models/calcium/report_output.h"
#include "textio/line.h"

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

// The headings of the report's blocks, each followed by IPHASE and ":".
inline constexpr std::string_view rate_constant_heading = "  rate constants ki at end of phase";
inline constexpr std::string_view flux_heading = "  Ca-fluxes at end of phase";
inline constexpr std::string_view concentration_heading = "   concentrations at end of phase ";

// The heading line `text`, IPHASE, ":", to the summary file, then the console.
void put_phase_heading(std::string_view text, int iphase);

// The two layouts of a flux-table line.
enum class flux_layout {
  fixed_text,  // "(4X,'<text>',1PE12.4)": four blanks and the 17-character text
  label_line,  // "(1X,A20,1PE12.4)": the 18-character label right-justified in 20
};

struct flux_line {
  flux_layout layout;
  const char* label;
  double value;
};

// The lines in order, to `to`.
void put_flux_lines(report_out to, std::span<const flux_line> lines);

// "(1X,1PE12.d,3(',',1PE12.d),A26)" into `l`: the four `elements` of Y and a
// species trailer right-justified in 26 characters, the layout of the
// parameter files' initial-state lines.
void form_state_line(textio::line& l, const double* Y, const int (&elements)[4], int digits,
                     std::string_view trailer);

// Species table: 51 label lines (50 without the <PMCA.M> row) and 9 blank
// records, to `to`.
void write_species_table(report_out to, const phase_report_data& p);

// "k<n>......" label lines for the constants `ks`, to `to`.
void write_rate_constant_table(report_out to, rate_constants k, std::span<const int> ks);

// The 10 flux lines, to `to`.
void write_flux_table(report_out to, const derived_quantities& d);

// The 8 "(1X,1PE12.5,3(',',1PE12.5),A26)" lines with species trailers: line
// i holds the elements initial_state_elements[i] (parameter_file.h).
inline constexpr int concentration_digits = 5;
extern const char* const concentration_trailers[8];
void write_concentration_lines(report_out to, const double* Y);

// The whole report (without the store row), with the console/summary order
// of each block; the store row and the closing blank record are the caller's.
void write_phase_report(const phase_report_data& p, std::span<const int> rate_constant_list);

}  // namespace calcium
