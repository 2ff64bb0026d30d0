#include "models/calcium/layout_doc.h"

#include <memory>

#include "models/calcium/frame_config.h"
#include "models/calcium/optics.h"
#include "models/calcium/parameter_file.h"
#include "models/calcium/parameter_lines.h"
#include "models/calcium/phase_report.h"
#include "models/calcium/result_files.h"
#include "models/calcium/rows.h"
#include "models/calcium/run_report.h"
#include "models/calcium/run_state.h"
#include "models/calcium/state_vector.h"

namespace calcium {

std::vector<parameter_doc> parameters_of(const parameter_layout_lines& lines) {
  std::vector<parameter_doc> out;
  int line = 0;
  for (const parameter_line& l : lines) {
    ++line;
    int item = 0;
    for (const parameter_value& v : l.values)
      out.push_back({line, ++item, v.name, v.meaning, kind_name(v.kind)});
  }
  return out;
}

parameter_reading values_of(const parameter_layout_lines& lines, bool accepted,
                            textio::read_error err, const std::string& file_name) {
  parameter_reading r;
  r.accepted = accepted;
  err.file = file_name;
  if (!accepted) r.message = err.message();
  const std::vector<parameter_doc> docs = parameters_of(lines);
  std::size_t i = 0;
  for (const parameter_line& l : lines)
    for (const parameter_value& v : l.values) {
      read_value out;
      out.where = docs[i++];
      if (v.real) out.real = *v.real;
      if (v.integer) out.integer = *v.integer;
      if (v.text) out.text.assign(v.text, static_cast<std::size_t>(v.text_length));
      r.values.push_back(std::move(out));
    }
  return r;
}

file_doc spectrum_file() {
  file_doc f = row_file("_spec.txt", "spectrum file",
                        "six emission spectra of the indicator, 601 rows each (wavelength 200 "
                        "to 800), for the bound-indicator amounts 0, 0.2, 0.4, 0.6, 0.8 and 1 "
                        "(single-precision steps of 0.2); a blank line after each block",
                        "once, before phase 1", row_rule::once, spectrum_row);
  f.kind = file_kind::spectrum;
  return f;
}

file_doc summary_file(std::string suffix) {
  file_doc f;
  f.suffix = std::move(suffix);
  f.title = "summary file";
  f.holds =
      "the console report: run header, phase headers, phase reports (species, rate-constant "
      "and flux tables, NOUT, the end-of-phase concentration lines) and the end-of-run report; "
      "not the period lists, the maximum echoes or the failure message";
  f.written = "as the report goes to the console";
  f.kind = file_kind::report;
  return f;
}

file_doc run_information_file() {
  file_doc f;
  f.fixed_name = "tmp";
  f.title = "run-information file";
  f.holds = "one value or text a line; shared by every program in the directory";
  f.written = "at the start of the run";
  f.kind = file_kind::records;
  for (const run_information_record& r : run_information_records)
    f.fields.push_back({std::string(r.name), std::string(r.meaning)});
  return f;
}

std::vector<concentration_line_doc> frame_concentration_lines() {
  std::vector<concentration_line_doc> out;
  for (int i = 0; i < 8; ++i) {
    concentration_line_doc l;
    for (int e : initial_state_elements[i]) l.values.push_back(species_label[e]);
    l.trailer = concentration_trailers[i];
    out.push_back(std::move(l));
  }
  return out;
}

namespace {

const char* const triple_written =
    "under the NOUT rule: with NOUT(phase) 0 at every output step, n > 0 at every n-th "
    "(counted on across the phases), negative never";

}  // namespace

program_doc frame_program_doc(const char* program, const frame_config& cfg) {
  program_doc p;
  p.program = program;
  p.parameter_file = cfg.input.file_name;
  p.runname_length = cfg.input.runname_length;
  p.line_end = cfg.line_end;
  p.phases = phase_count;
  p.nout_rule = true;
  p.dtout_after_phase2 = cfg.dtout_reset_after_phase2 ? static_cast<double>(0.1f) : 0.0;
  if (cfg.maxima) {
    p.maxima_phases = {1, detector_last_phase};
    p.echoed_phases = echoed_phases(frame_max_echo);
  }
  const frame_rows& rows = *cfg.rows;
  for (const result_file& rf : frame_result_files) {
    if (!writes_file(cfg.files, rf.unit)) continue;
    switch (rf.unit) {
      case data_unit:
        p.files.push_back(row_file(std::string(rf.suffix), "data file",
                                   "the state, derived quantities and indicator values of an "
                                   "output step",
                                   triple_written, row_rule::nout, rows.data));
        break;
      case run_info_unit:
        p.files.push_back(run_information_file());
        break;
      case summary_unit:
        p.files.push_back(summary_file(std::string(rf.suffix)));
        break;
      case window_unit:
        p.files.push_back(row_file(std::string(rf.suffix), "sliding-window file",
                                   "the sliding-window mean of Ca_cyt", "at every output step",
                                   row_rule::every_step, rows.window));
        break;
      case flux_unit:
        p.files.push_back(row_file(std::string(rf.suffix), "flux file",
                                   "the calcium fluxes of an output step", triple_written,
                                   row_rule::nout, rows.flux));
        break;
      case spectrum_unit:
        p.files.push_back(spectrum_file());
        break;
      case store_unit:
        p.files.push_back(row_file(std::string(rf.suffix), "store file",
                                   "luminal calcium and store-operated entry at a phase end; the "
                                   "n-th row belongs to phase n",
                                   "at each phase end", row_rule::phase_end, rows.store));
        break;
      case er_unit: {
        file_doc f = row_file(std::string(rf.suffix), "ER file",
                              "the ER and STIM/SOCC state of an output step, and the "
                              "integrator's messages (\"INTEG--\" lines and their value lines) "
                              "where they occur",
                              triple_written, row_rule::nout, rows.er);
        f.integrator_messages = true;
        p.files.push_back(std::move(f));
        break;
      }
    }
  }
  auto r = std::make_unique<run_state>();
  p.parameters = parameters_of(frame_parameter_lines(cfg, *r));
  p.concentration_digits = concentration_digits;
  p.end_of_phase_lines = frame_concentration_lines();
  return p;
}

parameter_reading read_as_frame_program(const frame_config& program_cfg, const std::string& path) {
  frame_config cfg = program_cfg;
  cfg.input.file_name = path.c_str();
  auto r = std::make_unique<run_state>();
  textio::read_error err;
  const bool read = read_parameter_file(cfg, *r, &err);
  const bool set_up = read && set_up_after_reading(cfg, *r);
  parameter_reading out =
      values_of(frame_parameter_lines(cfg, *r), read, err, program_cfg.input.file_name);
  if (read && !set_up) {  // as the frame reports it (run_driver.cpp)
    out.accepted = false;
    out.message = std::string(program_cfg.input.file_name) + ": " + window_length_problem(r->NSW);
  }
  return out;
}

}  // namespace calcium
