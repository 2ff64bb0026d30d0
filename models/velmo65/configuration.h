// velmo65 as a configuration of the calcium run frame: the 33 state variables
// of velmo67's network without the Ca_lum and PMCA.M integrals, velmo66's
// parameter layout with an 11-character run name, k1 and k20 switches only,
// four result files (integrator messages on standard output), no maximum
// detection, no DTOUT reset and looser tolerances.
#pragma once

#include "models/calcium/frame_config.h"

namespace velmo65 {

const calcium::frame_config& configuration();

}  // namespace velmo65
