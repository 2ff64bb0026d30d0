// Result files of the calcium programs velmo67, velmo66 and velmo65: names
// (run name + fixed suffix) and the order of creation, and the closing of
// the files at the end of the run. "tmp", the run header and the end
// report's lines: run_report.h.
#pragma once

#include <cstddef>
#include <span>

#include "models/calcium/frame_config.h"
#include "models/calcium/output_units.h"
#include "models/calcium/result_file.h"

namespace calcium {

// The frame's result files in the order of creation: data, tmp, summary,
// window, flux, spectrum, store and ER file. The ER file comes last: the
// integrator's messages go there once it is open.
extern const std::span<const result_file> frame_result_files;
inline constexpr std::size_t frame_file_count = 8;

// Whether a program with the files `f` writes the file on `unit`.
bool writes_file(const file_set& f, int unit);

// The files of frame_result_files that `f` writes, in their order, into
// `out`; returns their count.
std::size_t written_files(const file_set& f, result_file (&out)[frame_file_count]);

// After the last phase: a blank record to the summary file, then closes the
// result files but the summary file.
void close_frame_files(const file_set& f);

}  // namespace calcium
