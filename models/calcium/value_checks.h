// Values of a calcium program's parameter file that the reader takes but a
// run cannot use, rejected as errors of the line that holds them. Shared by
// the frame's reader and velmo64v6's.
#pragma once

#include <string>

#include "textio/value_reader.h"

namespace calcium {

// A negative output interval never carries TOUT past a phase end. True when
// `dtout` (just read by `in`) is usable; otherwise fills *err.
bool check_output_interval(const textio::value_reader& in, double dtout, textio::read_error* err);

// The window holds 1..window_capacity samples. True when `nsw` (just read by
// `in`) fits; otherwise fills *err.
bool check_window_length(const textio::value_reader& in, int nsw, textio::read_error* err);

// "the window length must lie between 1 and 1000, found <nsw>"
std::string window_length_problem(int nsw);

}  // namespace calcium
