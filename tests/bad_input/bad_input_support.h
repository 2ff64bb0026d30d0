// Helpers of the bad-input tests: the example parameter file as editable
// lines, the result-file names of a run name, sentinel files that a stopped
// run must leave alone, and the checks on the one error line.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "testing/program_run.h"
#include "testing/run_name_rule.h"
#include "tests/bad_input/program_table.h"

namespace bad_input {

using testing_support::read_file;
using testing_support::run_result;
using testing_support::scratch_dir;

// The example parameter file of a program, line by line (without line ends).
class parameter_text {
 public:
  explicit parameter_text(const program_info& p) {
    const std::string text =
        read_file(testing_support::source_dir() + "/examples/" + p.name + "/" + p.parameter_file);
    for (std::string& l : testing_support::split_lines(text)) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      lines_.push_back(std::move(l));
    }
  }

  int size() const { return static_cast<int>(lines_.size()); }
  const std::string& line(int n) const { return lines_.at(n - 1); }
  void set(int n, std::string text) { lines_.at(n - 1) = std::move(text); }

  // Replaces the `index`-th value (0-based) of line n, leaving the rest.
  void set_value(int n, int index, const std::string& value) {
    std::string& l = lines_.at(n - 1);
    std::size_t b = 0;
    for (int i = 0;; ++i) {
      b = l.find_first_not_of(" \t,", b);
      ASSERT_NE(b, std::string::npos) << "line " << n << " has no value " << index;
      const std::size_t e = std::min(l.find_first_of(" \t,", b), l.size());
      if (i == index) {
        l.replace(b, e - b, value);
        return;
      }
      b = e;
    }
  }

  // The first `count` lines, each with a line feed.
  std::string head(int count) const {
    std::string out;
    for (int i = 0; i < count && i < size(); ++i) out += lines_[i] + "\n";
    return out;
  }
  std::string text() const { return head(size()); }

  // The run name as program `p` takes it from line 1, and the line on
  // standard error that says so when it is cut.
  testing_support::taken_run_name run_name(const program_info& p) const {
    return testing_support::take_run_name(p, lines_.at(0));
  }
  std::string padded_run_name(const program_info& p) const { return run_name(p).padded; }
  // What a run of this text writes on standard error before anything else:
  // the notice of a cut run name, or nothing.
  std::string run_name_notice(const program_info& p) const { return run_name(p).notice; }

 private:
  std::vector<std::string> lines_;
};

// A file name with its leading and trailing blanks dropped, as opened.
inline std::string trimmed(const std::string& s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Every file a run with this padded run name writes, "tmp" last.
inline std::vector<std::string> result_files(const program_info& p, const std::string& padded) {
  std::vector<std::string> names;
  for (const std::string& s : p.suffixes) names.push_back(trimmed(padded + s));
  names.push_back("tmp");
  return names;
}

// Files put into the run directory before a run that must not touch them.
class sentinels {
 public:
  sentinels(const scratch_dir& dir, const std::vector<std::string>& names) : dir_(dir) {
    for (const std::string& n : names) {
      const std::string text = "earlier result kept: " + n + "\n1,2,3\n";
      dir.write(n, text);
      kept_[n] = text;
    }
  }

  // Every sentinel is there unchanged, and besides them only `others`.
  void expect_untouched(const std::vector<std::string>& others) const {
    std::vector<std::string> expected = others;
    for (const auto& [name, text] : kept_) {
      expected.push_back(name);
      EXPECT_EQ(dir_.read(name), text) << "'" << name << "' was changed";
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir_.files(), expected);
  }

 private:
  const scratch_dir& dir_;
  std::map<std::string, std::string> kept_;
};

// The error line of a stopped run, taken apart.
struct error_line {
  bool well_formed = false;
  std::string file;
  int line = 0;
  std::string item;
  std::string what;
};

// "<file> line <n>: <item>: <what>" followed by one line end.
inline error_line parse_error_line(const std::string& err) {
  static const std::regex form(R"(([^ ]+) line ([0-9]+): ([^:]+): (.+))");
  error_line e;
  std::string text = err;
  if (text.empty() || text.back() != '\n') return e;
  text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  std::smatch m;
  if (text.find('\n') != std::string::npos || !std::regex_match(text, m, form)) return e;
  e.well_formed = true;
  e.file = m[1];
  e.line = std::stoi(m[2]);
  e.item = m[3];
  e.what = m[4];
  return e;
}

// What every bad parameter file must give: exit status 2, nothing on
// standard output, and one short line on standard error naming the file,
// the line (when `line` > 0) and the item (when `item` is not empty).
inline void expect_reader_stop(const program_info& p, const run_result& r, int line,
                               const std::string& item = "") {
  EXPECT_EQ(r.exit_status, 2);
  EXPECT_EQ(r.out, "");
  const error_line e = parse_error_line(r.err);
  ASSERT_TRUE(e.well_formed) << "standard error: '" << r.err << "'";
  EXPECT_EQ(e.file, p.parameter_file);
  if (line > 0) {
    EXPECT_EQ(e.line, line) << r.err;
  }
  EXPECT_FALSE(e.item.empty());
  if (!item.empty()) {
    EXPECT_EQ(e.item, item) << r.err;
  }
  // The offending text is shown cut, never echoed whole.
  EXPECT_LT(r.err.size(), 300u);
}

}  // namespace bad_input
