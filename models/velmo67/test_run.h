// Test support: run velmo67 on an input_file in a scratch directory and read
// its files back as lines.
#pragma once

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "models/velmo67/test_input.h"
#include "testing/program_run.h"

namespace velmo67_testing {

using testing_support::run_result;
using testing_support::scratch_dir;
using testing_support::split_lines;

// Trailing blanks of a run name do stand in the file names; leading ones not.
inline std::string file_prefix(const std::string& padded) {
  const auto first = padded.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : padded.substr(first);
}

struct run {
  std::unique_ptr<scratch_dir> dir = std::make_unique<scratch_dir>();
  run_result result;
  std::string runname;  // the 10-character padded run name

  std::string file(const std::string& suffix) const { return dir->read(file_prefix(runname) + suffix); }
  std::vector<std::string> lines(const std::string& suffix) const {
    return split_lines(file(suffix));
  }
  std::vector<std::string> console() const { return split_lines(result.out); }
  std::vector<std::string> summary() const { return lines("_summary.txt"); }
};

// Runs velmo67 on `in`; `runname` is what line 1 holds, padded to 10.
inline run run_velmo67(const input_file& in, std::string runname = "t67") {
  run r;
  runname.resize(10, ' ');
  r.runname = runname;
  r.dir->write("VELMO67.INP", in.text());
  r.result = r.dir->run("velmo67");
  return r;
}

// Field `col` (1-based) of a comma-separated row.
inline double column(const std::string& row, int col) {
  std::size_t start = 0;
  for (int c = 1; c < col; ++c) start = row.find(',', start) + 1;
  return std::stod(row.substr(start, row.find(',', start) - start));
}

inline std::vector<std::string> matching(const std::vector<std::string>& lines,
                                         const std::string& pattern) {
  const std::regex re(pattern);
  std::vector<std::string> out;
  for (const auto& l : lines)
    if (std::regex_search(l, re)) out.push_back(l);
  return out;
}

}  // namespace velmo67_testing
