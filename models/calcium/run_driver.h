// The run frame of the calcium programs velmo67, velmo66 and velmo65, a
// program description (program.h) made from a configuration: the parameter
// file of frame_config's layout, the result files of its file set, "tmp",
// the header and the spectra, up to five phases of output steps with their
// phase switches and reports, and the end-of-run report.
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

// Runs one program in the working directory (run_program); returns the exit
// status (textio/exit_path.h).
int run_frame(const frame_config& cfg, run_timing* timing = nullptr);

}  // namespace calcium
