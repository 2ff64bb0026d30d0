// The integrator's message lines as the tests expect them printed.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "integrator/message_texts.h"

namespace integrator::testing {

// A message text line: one blank, the text, blanks up to whole groups of four.
inline std::string text(std::string_view t) {
  std::string s = " " + std::string(t);
  while ((s.size() - 1) % 4 != 0) s += ' ';
  return s;
}
inline std::string text(const message_line& line) { return text(line.text); }

// The line on standard error of a run that a fatal message stopped, as a
// regular expression: the message's text without its padding.
inline std::string stopped_run_pattern(const message_line& fatal) {
  const std::string_view t = fatal.text.substr(0, fatal.text.find_last_not_of(' ') + 1);
  std::string pattern = "the integrator stopped the run: ";
  for (char c : t) {
    if (std::strchr(".()[]{}*+?|^$\\", c) != nullptr) pattern += '\\';
    pattern += c;
  }
  return pattern;
}

// The value line of one or two integers.
inline std::string ints(int i1) {
  char b[64];
  std::snprintf(b, sizeof b, "      IN ABOVE MESSAGE,  I1 =%10d", i1);
  return b;
}
inline std::string ints(int i1, int i2) {
  char b[80];
  std::snprintf(b, sizeof b, "      IN ABOVE MESSAGE,  I1 =%10d   I2 =%10d", i1, i2);
  return b;
}

}  // namespace integrator::testing
