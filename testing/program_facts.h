// What the end-to-end tests know of one program. Each program states its
// own in models/<name>/test_facts.h; the tests go through them all (the
// generated calcium_program_facts.h, from models/programs.txt).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

struct program_facts {
  std::string name;            // "velmo67": the program and the example's directory
  std::string parameter_file;  // "VELMO67.INP"
  std::string line_end;        // "\n" or "\r\n": every line the program writes
  int runname_length;          // characters of the padded run name
  std::string runname_item;    // the name of line 1's run name in the reader's messages
  int lines;                   // value lines read; the example holds at least these
  int value_line;              // a line whose first value is a real (k1, VMAX)
  int integer_line;            // a line whose first value is an integer; 0: none
  int window_line;             // the NSW line; 0: none
  // Line 2 holds the output start and interval, then the phase durations
  // (TPHASE) or, with no phases, the final time.
  int phases;     // phase durations on line 2; 0: one interval up to the final time
  int tmp_lines;  // lines of the run-information file "tmp"
  std::vector<std::string> suffixes;  // result files: run name + suffix ("tmp" aside)
  // The items of line 2, the time line, in order ("TPRINT", "DTOUT", ...).
  std::vector<std::string> time_items;
};

inline void PrintTo(const program_facts& p, std::ostream* os) { *os << p.name; }

}  // namespace testing_support
