// velmo67 as a configuration of the calcium run frame: its 161-line
// parameter file, phase switches, clamp list, report list, all eight result
// files, line feeds as line ends, maximum detection and the DTOUT reset,
// CPU-time lines, tolerances.
#pragma once

#include "models/calcium/frame_config.h"

namespace velmo67 {

const calcium::frame_config& configuration();

}  // namespace velmo67
