// The annotated copy of the parameter file, run name + ".INP": every value as
// read, five significant digits, each line followed by its label. It reads
// back as a parameter file, the run name included (quoted when it must be).
#pragma once

#include "models/velmo64v6/parameters.h"
#include "textio/clock.h"

namespace velmo64v6 {

// Writes the echo file on the open output unit `unit`.
void write_echo_file(int unit, const parameters& p, const textio::run_stamp& stamp);

}  // namespace velmo64v6
