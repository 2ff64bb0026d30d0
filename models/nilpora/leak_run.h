// The nilpora main program: reads NILPORA.INP, integrates the leak over one
// interval and writes the data rows, the report and the run information.
#pragma once

namespace nilpora {

// Runs the whole program and ends the process with the statuses of
// textio/exit_path.h: 0 after a normal end, 1 after an integrator failure or
// output that could not be written, 2 when the parameter file or a result
// file cannot be used, 128 + signal after a stop signal.
[[noreturn]] void run_program();

}  // namespace nilpora
