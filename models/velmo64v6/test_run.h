// Helpers of the velmo64v6 end-to-end tests: run the program on a parameter
// file in a scratch directory and take its rows apart.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "models/velmo64v6/test_input.h"
#include "testing/program_run.h"

namespace velmo64v6_test {

using testing_support::run_result;
using testing_support::scratch_dir;

// Lines of a CR LF text without their line ends (a bare LF keeps its line
// whole, so all_crlf() is the test of the line ends themselves).
inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines = testing_support::split_lines(text);
  for (std::string& l : lines)
    if (!l.empty() && l.back() == '\r') l.pop_back();
  return lines;
}

// Result-file name: the run name padded to 12 characters, then the suffix.
inline std::string file_of(const std::string& run, const std::string& suffix) {
  return run + std::string(12 - run.size(), ' ') + suffix;
}

inline run_result run_with(const scratch_dir& dir, const input_file& in) {
  dir.write("VELMO64v6.INP", in.text());
  return dir.run("velmo64v6");
}

// Lines of a CR LF file, without their line ends.
inline std::vector<std::string> lines_of(const scratch_dir& dir, const std::string& name) {
  return split_lines(dir.read(name));
}

// The comma-separated fields of a row as numbers (INF and NaN included).
inline std::vector<double> fields(const std::string& row) {
  return testing_support::row_values(row);
}

inline std::vector<std::vector<double>> rows_of(const scratch_dir& dir, const std::string& name) {
  std::vector<std::vector<double>> rows;
  for (const std::string& l : lines_of(dir, name)) rows.push_back(fields(l));
  return rows;
}

// Every '\n' preceded by '\r', and the text ends with a line end (or is empty).
inline bool all_crlf(const std::string& text) {
  return text.empty() || testing_support::every_line_ends_in_crlf(text);
}

// A value rounded to five significant digits, as the echo file writes it.
inline double five_digits(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.4E", v);
  return std::strtod(buf, nullptr);
}

}  // namespace velmo64v6_test
