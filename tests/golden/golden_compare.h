// What the golden-output check compares: a program's output with the run
// stamp and the CPU times masked, and the first line where two texts part.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace golden {

// The text with every run stamp and CPU time replaced by a fixed mark: a
// date "10-Dec-26" by "DD-MON-YY", a time "14:13:04" by "HH:MM:SS", and the
// rest of an "Execution time (s):" or "System time    (s):" line, up to its
// line end, by " CPU". Everything else, line ends included, is kept.
std::string mask_run_stamp(std::string_view text);

// The first line, counted from 1, at which two texts differ. A line is
// compared with its line end, so a changed or missing CR or LF is a
// difference; a line that one text lacks is empty and marked missing.
struct line_difference {
  int line = 0;
  std::size_t column = 0;  // first differing byte of the line, from 1
  std::string expected, actual;
  bool expected_missing = false, actual_missing = false;
  int expected_lines = 0, actual_lines = 0;
};

std::optional<line_difference> first_difference(std::string_view expected, std::string_view actual);

// A line as a quoted C-style string, so that CR, LF and other control
// bytes show: " Phase   1\r\n".
std::string visible(std::string_view line);

// A failure message naming the file, the line and column, and both lines.
std::string describe(const std::string& file, const line_difference& d);

}  // namespace golden
