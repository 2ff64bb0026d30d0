// Lines that the calcium programs' parameter files share and read alike:
// the time line, the initial-state lines, the window-length line, the
// threshold lines and the band lines (the frame's layout and velmo64v6's).
// Each builds its line's values on the destinations given.
#pragma once

#include <string>

#include "models/calcium/optics.h"
#include "models/calcium/parameter_values.h"

namespace calcium {

// TPRINT, DTOUT, TPHASE(1..5). A NaN or infinite time, or a negative DTOUT,
// never lets a phase end on time: each is rejected as a bad value of the line.
parameter_line time_line(double& TPRINT, double& DTOUT, double (&TPHASE)[5],
                         std::string dtout_meaning);

// One initial-state line: the four `elements` of Y, named by `labels` and
// meant by `meanings` (labels[e] and meanings[e] for element e).
parameter_line state_line(double* Y, const int (&elements)[4], const char* const* labels,
                          const char* const* meanings);

// NSW, rejected when the sliding window cannot hold it.
parameter_line window_length_line(int& NSW);

// OFFSET1, OFFSET2, OFFSET3, one a line; `detector`: the thresholds of the
// maximum detector (else only copied to "tmp").
parameter_layout_lines threshold_lines(double (&OFFSET)[3], bool detector);

// epsilon, sigma and lamda of BAND(1), BAND(2), BAND(3), one band a line.
parameter_layout_lines band_lines(band (&BAND)[3]);

// "the window length must lie between 1 and 1000, found <nsw>"
std::string window_length_problem(int nsw);

}  // namespace calcium
