// The run frame of the calcium programs velmo67, velmo66 and velmo65: read
// the parameter file, create the result files, write "tmp", the header and
// the spectra, run up to five phases of output steps with their phase
// switches and reports, and write the end-of-run report.
//
// Exit statuses: a normal end returns 0 from run_frame(). A parameter-file
// error or a result file that cannot be created stops the process with
// status 2 before any result file is written (one line on standard error);
// an integrator failure writes the ERROR HALT line and stops with status 1
// after flushing and closing every file.
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
// end. Returns the exit status of a normal end (0).
int run_frame(const frame_config& cfg, run_timing* timing = nullptr);

}  // namespace calcium
