// Reading a calcium program's parameter file (layout in frame_config.h) into
// the run data and the rate-constant block, and the set-up that follows.
#pragma once

#include <string>

#include "models/calcium/frame_config.h"
#include "models/calcium/parameter_values.h"
#include "models/calcium/run_state.h"
#include "models/calcium/state_vector.h"
#include "textio/value_reader.h"

namespace calcium {

// The lines of the file that cfg.input describes, on the destinations of `r`
// and cfg.ratcon (sets r.runname_length).
parameter_layout_lines frame_parameter_lines(const frame_config& cfg, run_state& r);

// Reads every line of the file named by cfg.input into `r` and cfg.ratcon.
// Every destination starts at 0 (the run name at blanks), so an item that a
// slash leaves unread keeps 0. Besides the reader's own errors, a window
// length outside 1..1000, a NaN or infinite time of the time line and a
// negative output interval are rejected as bad values of their line. A run
// name cut to the field's length leaves the line that says so in
// *run_name_notice (when given; emptied otherwise). Returns false with *err
// filled on the first error.
bool read_parameter_file(const frame_config& cfg, run_state& r, textio::read_error* err,
                         std::string* run_name_notice = nullptr);

// The set-up after the file is closed: dissociation constants, indicator
// totals, window, detector, counters, TPRINT. False, with the set-up
// incomplete, when the window cannot take r.NSW (read_parameter_file never
// accepts such a length).
[[nodiscard]] bool set_up_after_reading(const frame_config& cfg, run_state& r);

// The Y elements of initial-state line i (0..7), four each.
extern const int initial_state_elements[8][4];

}  // namespace calcium
