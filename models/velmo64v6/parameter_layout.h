// Line layout of "VELMO64v6.INP" shared by the reader and the echo file: item
// names, annotation labels and where the echo file puts its blank lines.
#pragma once

#include "models/velmo64v6/parameters.h"

namespace velmo64v6 {

// Lines 3..70: kn on line n + 2.
struct rate_line {
  const char* name;   // "k1"
  const char* label;  // annotation written after the value in the echo file
  bool blank_after;
};
extern const rate_line rate_lines[68];

// Lines 71..96: a phase value, and on six lines a ramp coefficient.
struct phase_line {
  const char* name;
  const char* meaning;
  double phase_changes::*value;
  const char* coeff_name;  // nullptr on one-value lines
  const char* coeff_meaning;
  double phase_changes::*coeff;
  const char* label;
  bool blank_after;
};
extern const phase_line phase_lines[26];

// Lines 97..103: four elements of Y (zero-based) each.
struct state_line {
  int element[4];              // species
  const char* echo_trailer;    // trailer of the echo file
  const char* report_trailer;  // trailer of the end-of-phase lines
};
extern const state_line state_lines[7];

extern const char* const threshold_labels[3];
extern const char* const band_labels[3];
extern const char* const window_text;

}  // namespace velmo64v6
