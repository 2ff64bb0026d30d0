// The nilpora main program: reads NILPORA.INP, integrates the leak over one
// interval and writes the data rows, the report and the run information.
#pragma once

#include <span>
#include <string_view>

#include "models/calcium/result_files.h"

namespace nilpora {

// The result files in the order of creation: data file, "tmp", summary file.
extern const std::span<const calcium::result_file> result_files;

// The names of "tmp"'s two records: the run name, then the run stamp.
struct record_name {
  std::string_view name;
  std::string_view meaning;
};
extern const std::span<const record_name> run_information_records;

// Runs the whole program and returns the exit status of
// textio/exit_path.h: 0 after a normal end, 1 after an integrator failure or
// output that could not be written, 2 when the parameter file or a result
// file cannot be used, 128 + signal after a stop signal.
int run_program();

}  // namespace nilpora
