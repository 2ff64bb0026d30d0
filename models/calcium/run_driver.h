// The run frame of the calcium programs velmo67, velmo66 and velmo65: read
// the parameter file, create the result files, write "tmp", the header and
// the spectra, run up to five phases of output steps with their phase
// switches and reports, and write the end-of-run report.
//
// Exit statuses (textio/exit_path.h): a normal end returns 0 from
// run_frame(), or 1 when output could not be written. A parameter file or a
// result file that cannot be used stops the process with status 2 before any
// result file is touched; an integrator failure (ERROR HALT, a fatal
// integrator message) stops it with status 1 and a stop signal with 128 +
// the signal, every file written out and closed.
#pragma once

#include "models/calcium/frame_config.h"

namespace calcium {

// Where the wall time of a run went (filled when asked for). The rest of
// total_seconds is reading the parameters, opening the files, "tmp", the
// header and spectra, the phase and end reports and closing the files.
struct run_timing {
  double integrate_seconds = 0.0;    // inside integrate()
  double step_output_seconds = 0.0;  // the output steps outside integrate():
                                     // derived quantities, optics, window,
                                     // maxima, forming and writing the rows
  double total_seconds = 0.0;        // the whole run_frame()
};

// Runs one program in the working directory, with the configuration's line
// end. Returns the exit status of a normal end.
int run_frame(const frame_config& cfg, run_timing* timing = nullptr);

}  // namespace calcium
