// The velmo64v6 run from reading "VELMO64v6.INP" to the end-of-run report.
#pragma once

namespace velmo64v6 {

// Runs the whole program in the working directory and returns the exit
// status of textio/exit_path.h: 0 after a normal end, 1 after an
// integrator failure or output that could not be written, 2 when the
// parameter file or a result file cannot be used, 128 + signal after a stop
// signal.
int run_program();

}  // namespace velmo64v6
