// The velmo64v6 run from reading "VELMO64v6.INP" to the end-of-run report.
#pragma once

namespace velmo64v6 {

// Runs the whole program in the working directory and ends the process:
// 0 after a normal end, 1 after an integrator failure, 2 when the parameter
// file is unusable or a result file cannot be created.
[[noreturn]] void run_program();

}  // namespace velmo64v6
