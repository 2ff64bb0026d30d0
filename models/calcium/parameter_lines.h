// Lines that the calcium programs' parameter files share and read alike:
// the time line, the initial-state lines, the window-length line, the
// threshold lines and the band lines (the frame's reader and velmo64v6's).
// Each function reads its lines with `in` and returns false with *err
// filled on the first problem, a value the run cannot use included.
#pragma once

#include <string>

#include "models/calcium/optics.h"
#include "textio/value_reader.h"

namespace calcium {

// TPRINT, DTOUT, TPHASE(1..5). A NaN or infinite time, or a negative DTOUT,
// never lets a phase end on time: each is rejected as a bad value of the line.
bool read_time_line(textio::value_reader& in, double& TPRINT, double& DTOUT, double (&TPHASE)[5],
                    textio::read_error* err);

// One initial-state line: the four `elements` of Y, named by `labels`
// (labels[e] for element e) in the reader's messages.
bool read_state_line(textio::value_reader& in, double* Y, const int (&elements)[4],
                     const char* const* labels, textio::read_error* err);

// NSW, rejected when the sliding window cannot hold it.
bool read_window_length(textio::value_reader& in, int& NSW, textio::read_error* err);

// OFFSET1, OFFSET2, OFFSET3, one a line.
bool read_thresholds(textio::value_reader& in, double (&OFFSET)[3], textio::read_error* err);

// epsilon, sigma and lamda of BAND(1), BAND(2), BAND(3), one band a line.
bool read_bands(textio::value_reader& in, band (&BAND)[3], textio::read_error* err);

// "the window length must lie between 1 and 1000, found <nsw>"
std::string window_length_problem(int nsw);

}  // namespace calcium
