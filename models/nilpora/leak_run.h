// The nilpora main program: reads NILPORA.INP, integrates the leak over one
// interval and writes the data rows, the report and the run information.
#pragma once

namespace nilpora {

// Runs the whole program and ends the process: 0 after a normal end, 1 after
// an integrator failure, 2 when the parameter file or a result file fails.
[[noreturn]] void run_program();

}  // namespace nilpora
