// Result files of a velmo64v6 run: names and order of creation, their closing
// and the end-of-run report. "tmp" and the run header are the frame's
// (calcium/run_report.h).
#pragma once

#include <span>

#include "models/calcium/result_file.h"
#include "textio/clock.h"

namespace velmo64v6 {

// The echo file lives on a unit of its own while it is written, so that the
// ER file can hold unit 6 (the integrator's message unit) from the start.
constexpr int echo_unit = 10;

// The result files in the order of creation.
extern const std::span<const calcium::result_file> result_files;

// After the last phase: a blank record to the summary file, then closes the
// row files, "tmp" and the spectrum file.
void close_row_files();

// The end-of-run lines with the end stamp's time; closes the summary file.
void write_run_end(const textio::run_stamp& end);

}  // namespace velmo64v6
