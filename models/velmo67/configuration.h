// velmo67 as a configuration of the calcium run frame: its 161-line
// parameter file, phase switches, clamp list, report list, all eight result
// files, line feeds as line ends, maximum detection and the DTOUT reset,
// CPU-time lines, tolerances.
#pragma once

#include "models/calcium/frame_config.h"
#include "models/calcium/state_vector.h"

namespace velmo67 {

const calcium::frame_config& configuration();

// The small-value clamp of velmo67's network after every integrator call, in
// clamp order; velmo66 runs the same network and names it too.
inline constexpr int clamped_species[] = {calcium::Ca_cyt, calcium::SERCA,     calcium::Ca_lum,
                                          calcium::S,      calcium::R,         calcium::R_S,
                                          calcium::ARCC,   calcium::IP3R_IP3,  calcium::IP3,
                                          calcium::PLC,    calcium::NCX_M_star};

}  // namespace velmo67
