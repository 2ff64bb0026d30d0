// What sets the calcium programs velmo67, velmo66 and velmo65 apart. They
// share one run frame (reading, result files, run driver, rows, reports); a
// program is this configuration plus its network (ratcon, fex, jex).
#pragma once

#include <span>

#include "integrator/integrate.h"
#include "models/calcium/ratcon.h"
#include "textio/units.h"

namespace calcium {

inline constexpr int max_runname_length = 12;
inline constexpr int max_phase_change_lines = 64;
inline constexpr int phase_count = 5;

// Parameter-file layout. Every program's file has: run name line, time line,
// 78 rate-constant lines, the cooperativity line, `phase_change_lines`
// phase-change lines (one value each, two on `two_value_lines`), 8
// initial-state lines, the NOUT line, the window-length line, 3 threshold
// lines and 3 band lines, in this order.
struct parameter_layout {
  const char* file_name;                 // "VELMO67.INP"
  int runname_length;                    // 10 (11 in velmo65)
  int phase_change_lines;                // 64 (61)
  std::span<const int> two_value_lines;  // absolute line numbers
};

// First line of the phase-change block, and the line count of the file.
inline constexpr int first_phase_change_line = 82;
inline int parameter_line_count(const parameter_layout& p) {
  return first_phase_change_line + p.phase_change_lines + 8 + 1 + 1 + 3 + 3 - 1;
}

// At the start of `phase`, rate constant k`k` takes value `value` (1 or 2)
// of phase-change line `line`.
struct phase_switch {
  int phase;
  int k;
  int line;
  int value;
};

// Which of the optional result files a program writes. The data file, "tmp",
// the summary file and the flux file are always written.
struct file_set {
  bool sliding_window;  // run name + "_sw.txt"
  bool spectrum;        // run name + "_spec.txt"
  bool store;           // run name + "_jSOCC-Ca_lum.txt"
  bool er;              // run name + "_ER.txt", also the integrator's message unit 6
};

struct frame_rows;  // rows.h

struct frame_config {
  parameter_layout input;
  std::span<const phase_switch> switches;
  std::span<const int> clamp;                 // Y elements (species), in clamp order
  std::span<const int> rate_constant_report;  // k numbers of the phase report's table
  file_set files;
  textio::line_end line_end;      // of every line of every file and the console
  bool maxima;                    // maximum detector, echoes and period analysis
  bool dtout_reset_after_phase2;  // DTOUT := 0.1f at the end of phase 2
  bool cpu_time_lines;            // "Execution time"/"System time" in the end report
  // Y(34), Y(35) exist: <Ca_lum>, <PMCA.M>, Ca_cyt_set (<PMCA.M>) are formed
  // and the species table ends with "<PMCA.M>".
  bool lum_pmca_integrals;
  const frame_rows* rows;  // the columns of the data, ER, flux, window and store rows

  // The integrator's equations and tolerances; the rest of its controls are
  // every program's (integration.h).
  int NEQ;
  double RTOL;
  double ATOL;

  // The network: the global rate-constant block (ratcon_slots doubles,
  // slot s at ratcon[s-1]) that fex reads, and the routines.
  double* ratcon;
  integrator::rhs_routine fex;
  integrator::jac_routine jex;
};

}  // namespace calcium
