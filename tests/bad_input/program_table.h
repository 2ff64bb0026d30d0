// The five programs as the bad-input tests see them: parameter file, example,
// line end, run-name length, the lines a complete file has, where the values
// worth breaking stand, and the suffixes of the result files.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace bad_input {

struct program_info {
  std::string name;            // "velmo67": the program and the example's directory
  std::string parameter_file;  // "VELMO67.INP"
  std::string line_end;        // "\n" or "\r\n": every line the program writes
  int runname_length;          // characters of the padded run name
  int lines;                   // value lines read; the example holds at least these
  int value_line;              // a line whose first value is a real (k1, VMAX)
  int integer_line;            // a line whose first value is an integer; 0: none
  int window_line;             // the NSW line; 0: none
  std::vector<std::string> suffixes;  // result files: run name + suffix ("tmp" aside)
};

inline void PrintTo(const program_info& p, std::ostream* os) { *os << p.name; }

inline const std::vector<program_info>& programs() {
  static const std::vector<program_info> table = {
      {"velmo67", "VELMO67.INP", "\n", 10, 161, 3, 154, 155,
       {".txt", "_summary.txt", "_sw.txt", "_fluxes.txt", "_spec.txt", "_jSOCC-Ca_lum.txt",
        "_ER.txt"}},
      {"velmo66", "VELMO66.INP", "\r\n", 10, 158, 3, 151, 152,
       {".txt", "_summary.txt", "_sw.txt", "_fluxes.txt", "_spec.txt", "_jSOCC-Ca_lum.txt",
        "_ER.txt"}},
      {"velmo65", "VELMO65.INP", "\r\n", 11, 158, 3, 151, 152,
       {".txt", "_summary.txt", "_fluxes.txt"}},
      {"velmo64v6", "VELMO64v6.INP", "\r\n", 12, 110, 3, 104, 104,
       {".txt", ".INP", "_summary.txt", "_sw.txt", "_fluxes.txt", "_spec.txt", "_ER.txt"}},
      {"nilpora", "NILPORA.INP", "\r\n", 10, 6, 3, 0, 0, {".txt", "-terminal-output.txt"}},
  };
  return table;
}

}  // namespace bad_input
