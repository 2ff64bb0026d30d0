// What a program's files look like, gathered from the tables its writers
// and its reader use: the columns of every result file, the records of
// "tmp", the end-of-phase concentration lines of the console report, and
// every value of the parameter file. calcium-layouts prints it (JSON, or
// Markdown: each program's results.md); it also reads a parameter file as
// the program would.
// Each program's library provides, in its layout_doc.cpp,
//   calcium::program_doc <program>::layout_doc();
//   calcium::parameter_reading <program>::read_as_program(const std::string& path);
#pragma once

#include <string>
#include <vector>

#include "models/calcium/oscillation.h"
#include "models/calcium/parameter_values.h"
#include "models/calcium/row_layout.h"
#include "textio/units.h"

namespace calcium {

struct frame_config;

struct named_value {
  std::string name;
  std::string meaning;
};

enum class file_kind {
  rows,            // rows of fields, one column list
  spectrum,        // blocks of rows, each block followed by a blank record
  records,         // one value or text a line ("tmp")
  report,          // the console report's copy
  parameter_file,  // an annotated copy of the parameter file
};

// When a row file gets its rows.
enum class row_rule {
  none,        // not a row file
  every_step,  // at every output step
  nout,        // at the output steps that the NOUT rule makes due
  phase_end,   // one at each phase end
  once,        // once, before phase 1
};

struct file_doc {
  std::string suffix;      // after the run name; empty when fixed_name is the name
  std::string fixed_name;  // "tmp"
  std::string title;       // "data file"
  std::string holds;       // what its lines are
  std::string written;     // when a line is written
  file_kind kind = file_kind::rows;
  row_rule rows = row_rule::none;
  int width = 0;                     // of each field of a row
  int digits = 0;                    // after the point
  std::vector<named_value> fields;   // the columns of a row, the records of "tmp"
  bool integrator_messages = false;  // "INTEG--" message lines stand among the rows
};

struct parameter_doc {
  int line;  // of the file, counting one statement a line
  int item;  // on that line
  std::string name;
  std::string meaning;
  std::string kind;  // "real", "integer", "text"
};

// An end-of-phase concentration line: four values and a species trailer.
struct concentration_line_doc {
  std::vector<std::string> values;
  std::string trailer;
};

struct program_doc {
  std::string program;         // "velmo67"
  std::string parameter_file;  // "VELMO67.INP"
  int runname_length = 0;
  textio::line_end line_end = textio::line_end::lf;
  int phases = 0;          // 5; 1 for one interval
  bool nout_rule = false;  // the data, ER and flux rows follow NOUT(phase)
  // The output interval from phase 3 on, or 0 when the file's holds throughout.
  double dtout_after_phase2 = 0.0;
  // The period analysis: the phases whose Ca_cyt maxima the detector finds
  // (none: no analysis; <period> of the phase report stays 0) and those whose
  // maxima the console echoes, one line each.
  phase_span maxima_phases{0, -1};
  phase_span echoed_phases{0, -1};
  std::vector<file_doc> files;
  std::vector<parameter_doc> parameters;
  int concentration_digits = 0;  // of the 1PE12.d fields; 0: no such lines
  std::vector<concentration_line_doc> end_of_phase_lines;
};

// What a program's reader made of a parameter file.
struct read_value {
  parameter_doc where;
  double real = 0.0;
  int integer = 0;
  std::string text;
};
struct parameter_reading {
  bool accepted = false;
  std::string message;             // the program's line on standard error when not accepted
  std::vector<read_value> values;  // every value of the layout, read or not
};

template <class Source>
std::vector<named_value> columns_of(const row_layout<Source>& l) {
  std::vector<named_value> out;
  for (const column<Source>& c : l.columns)
    out.push_back({std::string(c.name), std::string(c.meaning)});
  return out;
}

template <class Source>
file_doc row_file(std::string suffix, std::string title, std::string holds, std::string written,
                  row_rule rows, const row_layout<Source>& l) {
  file_doc f;
  f.rows = rows;
  f.suffix = std::move(suffix);
  f.title = std::move(title);
  f.holds = std::move(holds);
  f.written = std::move(written);
  f.width = l.width;
  f.digits = l.digits;
  f.fields = columns_of(l);
  return f;
}

// The legend of a parameter file's lines, numbered one statement a line.
std::vector<parameter_doc> parameters_of(const parameter_layout_lines& lines);

// The values that `lines` point to, after a read; a refusal is `err` as the
// program reports it, with its own parameter file's name `file_name`.
parameter_reading values_of(const parameter_layout_lines& lines, bool accepted,
                            textio::read_error err, const std::string& file_name);

// The spectrum file as the calcium programs write it.
file_doc spectrum_file();

// The summary file: the console report's copy.
file_doc summary_file(std::string suffix);

// "tmp" of the calcium programs: ten records.
file_doc run_information_file();

// The end-of-phase concentration lines of velmo67, velmo66 and velmo65.
std::vector<concentration_line_doc> frame_concentration_lines();

// The whole legend of a program built on the calcium frame.
program_doc frame_program_doc(const char* program, const frame_config& cfg);

// Reads `path` as the frame program with `cfg` would (reader and set-up).
parameter_reading read_as_frame_program(const frame_config& cfg, const std::string& path);

}  // namespace calcium
