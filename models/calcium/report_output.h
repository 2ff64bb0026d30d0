// The two copies of the running report: every report line that the console
// and the summary file share is written to both, in an order fixed per line;
// tables are written whole to one output and then whole to the other.
// Shared by all five programs.
#pragma once

#include <span>
#include <string_view>

#include "models/calcium/output_units.h"

namespace calcium {

enum class report_out { console, summary };

// One line to one output.
void put(report_out to, std::string_view text);

// One line to both outputs, `first` getting it first.
void put_both(report_out first, std::string_view text);

// The other output.
constexpr report_out other(report_out o) {
  return o == report_out::console ? report_out::summary : report_out::console;
}

// Label line "(1X,A20,1PE12.4)": one blank, the label right-justified in 20
// characters, the value in a 12-character scientific field with 4 digits.
void put_label_line(report_out to, std::string_view label, double value);

// One row of a labelled table: a label line, or a blank record where `label`
// is null.
struct labelled {
  const char* label;  // 18 characters, or nullptr
  double value;
};
inline constexpr labelled blank_row{nullptr, 0.0};

// The rows in order, to `to`.
void put_labelled(report_out to, std::span<const labelled> rows);

// "k<n>" padded with dots to 18 characters ("k63...............").
// `out` receives 18 characters (no terminator).
void rate_constant_label(int n, char out[18]);

}  // namespace calcium
