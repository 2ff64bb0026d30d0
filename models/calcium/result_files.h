// Result files of the calcium programs: names (run name + fixed suffix) and
// the order of creation, and the end-of-run report with the closing of the
// files. "tmp", the run header and the end report's lines: run_report.h.
#pragma once

#include <string>

#include "models/calcium/frame_config.h"
#include "models/calcium/output_units.h"
#include "models/calcium/run_state.h"

namespace calcium {

// The file name on `unit` for run name `runname` (whole, blank-padded) as an
// 80-character blank-padded text: "tmp" for run_info_unit, else run name +
// suffix.
std::string result_file_name(std::string_view runname, int unit);

// Creates the result files of cfg.files in the programs' order (data, tmp,
// summary, window, flux, spectrum, store), reads the run stamp into
// r.start_stamp, then creates the ER file. Nothing is written. The files
// named after the run stay locked for the run; "tmp" is shared with other
// runs in the directory. On failure returns false with *error naming the
// file and the reason.
bool open_result_files(const frame_config& cfg, run_state& r, std::string* error);

// The end of the run: closes the result files, reads CPU time (when
// configured) and the clock, writes the end-of-run report and closes the
// summary file.
void end_of_run(const frame_config& cfg, const run_state& r);

}  // namespace calcium
