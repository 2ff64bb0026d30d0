// Result files of a velmo64v6 run: names, creation and the end-of-run report.
// "tmp" and the run header are the frame's (calcium/run_report.h).
#pragma once

#include <span>
#include <string>

#include "models/calcium/result_files.h"
#include "models/velmo64v6/run_state.h"

namespace velmo64v6 {

// The echo file lives on a unit of its own while it is written, so that the
// ER file can hold unit 6 (the integrator's message unit) from the start.
constexpr int echo_unit = 10;

// The result files in the order of creation.
extern const std::span<const calcium::result_file> result_files;

// Creates every result file (data, echo, "tmp", summary, window, flux,
// spectrum, ER) before anything is written; the files named after the run
// stay locked for the run. On failure returns false with *error naming the
// file and the reason; nothing on disk has changed then.
bool open_result_files(const parameters& p, std::string* error);

// Closes the row files, reads the clock again and writes the end-of-run lines.
void write_run_end();

}  // namespace velmo64v6
