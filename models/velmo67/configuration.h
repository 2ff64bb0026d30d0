// velmo67 as a configuration of the calcium run frame: its 161-line
// parameter file, phase switches, clamp list, report list, all eight result
// files, maximum detection and the DTOUT reset, CPU-time lines, tolerances.
#pragma once

#include "models/calcium/frame_config.h"
#include "models/calcium/run_driver.h"

namespace velmo67 {

const calcium::frame_config& configuration();

// The whole program in the working directory: line end LF, then the frame.
// Returns the exit status of a normal end.
int run_velmo67(calcium::run_timing* timing = nullptr);

}  // namespace velmo67
