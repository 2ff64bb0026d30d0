// Result files of the calcium programs: names (run name + fixed suffix) and
// the order of creation, and the end-of-run report with the closing of the
// files. "tmp", the run header and the end report's lines: run_report.h.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "models/calcium/frame_config.h"
#include "models/calcium/output_units.h"
#include "models/calcium/run_state.h"

namespace calcium {

// A result file: its unit and its name, the run name followed by `suffix`,
// or `fixed_name` ("tmp").
struct result_file {
  int unit;
  std::string_view suffix;
  std::string_view fixed_name;
};

// The name of `f` for the run name `runname` (whole, blank-padded).
std::string file_name(const result_file& f, std::string_view runname);

// The frame's result files in the order of creation.
extern const std::span<const result_file> frame_result_files;

// Whether a program with the files `f` writes the file on `unit`.
bool writes_file(const file_set& f, int unit);

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
