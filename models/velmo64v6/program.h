// velmo64v6 as a program description (calcium/program.h): "VELMO64v6.INP",
// its result files and echo file, five phases with the rate-constant ramps
// inside them, its rows and reports.
#pragma once

#include "models/calcium/program.h"

namespace velmo64v6 {

// The one run of the process (its data is large and lives as long).
calcium::program_description& program();

}  // namespace velmo64v6
