// Test support: run a calcium program on an input_file in a scratch directory
// and read its files back as lines.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "models/calcium/test_input.h"
#include "testing/program_run.h"

namespace calcium_testing {

using testing_support::every_line_ends_in_crlf;
using testing_support::run_result;
using testing_support::scratch_dir;
using testing_support::split_lines;

// Trailing blanks of a run name do stand in the file names; leading ones not.
inline std::string file_prefix(const std::string& padded) {
  const auto first = padded.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : padded.substr(first);
}

// The lines of a text whose lines end in CR LF, without the CR LF. A line
// that lacks its CR (or a text without a final line end) is kept with a
// "<no CR LF>" mark, so that a comparison shows it.
inline std::vector<std::string> crlf_lines(const std::string& text) {
  std::vector<std::string> lines = split_lines(text);
  const bool last_open = !text.empty() && text.back() != '\n';
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string& l = lines[i];
    if (!l.empty() && l.back() == '\r' && !(last_open && i + 1 == lines.size()))
      l.pop_back();
    else
      l += "<no CR LF>";
  }
  return lines;
}

struct run {
  std::unique_ptr<scratch_dir> dir = std::make_unique<scratch_dir>();
  run_result result;
  std::string runname;  // as the program pads it
  bool crlf = false;    // the program's line end

  std::string file(const std::string& suffix) const {
    return dir->read(file_prefix(runname) + suffix);
  }
  std::vector<std::string> to_lines(const std::string& text) const {
    return crlf ? crlf_lines(text) : split_lines(text);
  }
  std::vector<std::string> lines(const std::string& suffix) const { return to_lines(file(suffix)); }
  std::vector<std::string> console() const { return to_lines(result.out); }
  std::vector<std::string> summary() const { return lines("_summary.txt"); }
};

// What distinguishes the programs for a test run.
struct program {
  const char* name;        // "velmo66"
  const char* input_name;  // "VELMO66.INP"
  int runname_length;      // 10 (11 in velmo65)
  bool crlf;
};

// Runs `p` on `text`; `runname` is what line 1 holds, padded as the program
// pads it.
inline run run_program(const program& p, const std::string& text, std::string runname) {
  run r;
  runname.resize(p.runname_length, ' ');
  r.runname = runname;
  r.crlf = p.crlf;
  r.dir->write(p.input_name, text);
  r.result = r.dir->run(p.name);
  return r;
}

// One case of a table of parameter files a program must refuse.
struct bad_file {
  const char* what;
  std::function<std::string()> text;
  const char* message;  // the start of the error line
};

// The text of `base` with line `line` replaced by `value`.
inline std::function<std::string()> with_line(const input_file& base, int line, std::string value) {
  return [base, line, value] {
    input_file in = base;
    in.set(line, value);
    return in.text();
  };
}

// Checks that `p` stops in its reader on `text`: exit status 2, one line on
// standard error that starts with `message` and ends with the program's line
// end, nothing on standard output, and no file but the parameter file.
inline void expect_reader_stop(const program& p, const std::string& text,
                               const std::string& message, const std::string& what) {
  scratch_dir dir;
  dir.write(p.input_name, text);
  const run_result r = dir.run(p.name);
  EXPECT_EQ(r.exit_status, 2) << what;
  EXPECT_EQ(r.err.rfind(message, 0), 0u) << what << ": " << r.err;
  if (p.crlf) {
    EXPECT_EQ(crlf_lines(r.err).size(), 1u) << what;
    EXPECT_TRUE(every_line_ends_in_crlf(r.err)) << what;
  } else {
    EXPECT_EQ(split_lines(r.err).size(), 1u) << what;
    EXPECT_TRUE(!r.err.empty() && r.err.back() == '\n') << what;
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << what;
  }
  EXPECT_EQ(r.out, "") << what;
  EXPECT_EQ(dir.files(), std::vector<std::string>{p.input_name}) << what;
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

// The `count` lines that follow the line `heading`; empty if there are fewer.
inline std::vector<std::string> block_after(const std::vector<std::string>& lines,
                                            const std::string& heading, std::size_t count) {
  auto it = std::find(lines.begin(), lines.end(), heading);
  if (it == lines.end() || static_cast<std::size_t>(lines.end() - it) <= count) return {};
  return {it + 1, it + 1 + static_cast<long>(count)};
}

// The rate-constant table of the report of `phase` in `report_lines`
// (`count` lines), as {label, value} pairs: "k46", 0.1.
inline std::vector<std::pair<std::string, double>> rate_constant_table(
    const std::vector<std::string>& report_lines, int phase, std::size_t count) {
  char heading[64];
  std::snprintf(heading, sizeof heading, "   rate constants ki at end of phase  %d :", phase);
  std::vector<std::pair<std::string, double>> table;
  for (const auto& l : block_after(report_lines, heading, count)) {
    std::string label = l.substr(3, 18);
    label.erase(label.find_last_not_of('.') + 1);
    table.emplace_back(label, std::stod(l.substr(21)));
  }
  return table;
}

}  // namespace calcium_testing
