// nilpora as a program description (calcium/program.h): NILPORA.INP, one
// interval of output steps with a rising maximal leak rate, the data rows,
// the report and the run information.
#pragma once

#include <span>
#include <string_view>

#include "models/calcium/program.h"
#include "models/calcium/result_file.h"

namespace nilpora {

// The result files in the order of creation: data file, "tmp", summary file.
extern const std::span<const calcium::result_file> result_files;

// The names of "tmp"'s two records: the run name, then the run stamp.
struct record_name {
  std::string_view name;
  std::string_view meaning;
};
extern const std::span<const record_name> run_information_records;

// The one run of the process.
calcium::program_description& program();

}  // namespace nilpora
