// A parameter file's line layout as data: every line's values with their
// names (as the reader's messages call them), meanings, kinds and
// destinations. A program's reader builds the layout on its run data and
// reads it line by line; calcium-layouts exports the same layout as the
// legend of the file, and reads a file with it to show what the program
// would take.
#pragma once

#include <string>
#include <vector>

#include "textio/value_reader.h"

namespace calcium {

struct parameter_value;

// A value the reader takes but the run cannot use: the reason, or empty.
using value_problem = std::string (*)(const parameter_value&);

struct parameter_value {
  std::string name;     // "k20", "TPHASE(2)", "Ca_cyt"
  std::string meaning;  // one line for the legend
  textio::item::kind kind = textio::item::kind::real;
  double* real = nullptr;
  int* integer = nullptr;
  char* text = nullptr;  // blank-padded, text_length characters
  int text_length = 0;
  value_problem problem = nullptr;  // checked right after its line is read

  textio::item item() const;
};

// One statement of the reader: the values it takes from one line (and from
// the lines after it, when the line holds too few).
struct parameter_line {
  std::vector<parameter_value> values;
};

using parameter_layout_lines = std::vector<parameter_line>;

parameter_value real_value(std::string name, std::string meaning, double& dest,
                           value_problem problem = nullptr);
parameter_value integer_value(std::string name, std::string meaning, int& dest,
                              value_problem problem = nullptr);
parameter_value text_value(std::string name, std::string meaning, char* dest, int length);

// Reads one line's statement into its destinations, then checks its values'
// problems (each reported as an error of the statement's last line). False
// with *err filled on the first problem. A line of one text value is a run
// name, read by textio::read_run_name: with `run_name_notice` given, a name
// cut to its field leaves there the line that says so.
bool read_parameter_line(textio::value_reader& in, const parameter_line& line,
                         textio::read_error* err, std::string* run_name_notice = nullptr);

// Every line in order (`run_name_notice` as above).
bool read_parameter_lines(textio::value_reader& in, const parameter_layout_lines& lines,
                          textio::read_error* err, std::string* run_name_notice = nullptr);

// "real", "integer" or "text".
const char* kind_name(textio::item::kind k);

}  // namespace calcium
