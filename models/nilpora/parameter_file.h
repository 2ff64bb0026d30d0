// The parameter file NILPORA.INP: six value lines, read one statement each.
//   1 run name (10 characters)        4 KM
//   2 TOUT (first output time), DTOUT, TFINAL
//   3 VMAX (the asymptotic maximal rate, VMAX0)
//   5 KACT                            6 Y(1), Y(2)
#pragma once

#include <string>

#include "models/calcium/parameter_values.h"
#include "textio/units.h"
#include "textio/value_reader.h"

namespace nilpora {

inline constexpr const char* parameter_file_name = "NILPORA.INP";
inline constexpr int runname_length = 10;
// Of every line of every file, the console and the error line.
inline constexpr textio::line_end line_end = textio::line_end::crlf;

struct run_input {
  char RUNNAME[runname_length];  // blank-padded, no terminator
  double TOUT = 0.0;
  double DTOUT = 0.0;
  double TFINAL = 0.0;
  double VMAX0 = 0.0;
  double KM = 0.0;
  double KACT = 0.0;
  double Y[2] = {0.0, 0.0};
};

// The six lines on the destinations of *in.
calcium::parameter_layout_lines parameter_lines(run_input& in);

// Reads the six lines of `file` into *in. Returns false with *err filled on a
// missing file, a short file, a bad value, a NaN or infinite time of line 2,
// or an output interval that would never let the output loop reach TFINAL.
// A run name cut to 10 characters leaves the line that says so in
// *run_name_notice (when given; emptied otherwise).
bool read_parameter_file(const std::string& file, run_input* in, textio::read_error* err,
                         std::string* run_name_notice = nullptr);

// True when the output loop would repeat the same (or a receding) output time
// without end: DTOUT negative, or zero with a first output time other than the
// start time 0, while the first output time does not already pass TFINAL.
// DTOUT = 0 from output time 0 is left to the integrator's repeated-call stop.
bool output_interval_never_ends(double TOUT, double DTOUT, double TFINAL);

}  // namespace nilpora
