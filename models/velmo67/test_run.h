// Test support: run velmo67 on an input_file in a scratch directory and read
// its files back as lines.
#pragma once

#include <string>

#include "models/calcium/test_run.h"
#include "models/velmo67/test_input.h"

namespace velmo67_testing {

using calcium_testing::column;
using calcium_testing::file_prefix;
using calcium_testing::matching;
using calcium_testing::run;
using testing_support::run_result;
using testing_support::scratch_dir;
using testing_support::split_lines;

inline const calcium_testing::program velmo67_program{"velmo67", "VELMO67.INP", 10, false};

// Runs velmo67 on `in`; `runname` is what line 1 holds, padded to 10.
inline run run_velmo67(const input_file& in, std::string runname = "t67") {
  return calcium_testing::run_program(velmo67_program, in.text(), runname);
}

}  // namespace velmo67_testing
