// velmo64v6's legend and its reader as calcium-layouts calls them.
#include "models/calcium/layout_doc.h"

#include <memory>

#include "models/calcium/parameter_lines.h"
#include "models/velmo64v6/parameter_layout.h"
#include "models/velmo64v6/phase_report.h"
#include "models/velmo64v6/result_files.h"
#include "models/velmo64v6/rows.h"
#include "models/velmo64v6/run_state.h"

namespace velmo64v6 {

namespace {

const char* const every_step = "at every output step";

calcium::file_doc echo_file(std::string suffix) {
  calcium::file_doc f;
  f.suffix = std::move(suffix);
  f.title = "echo file";
  f.holds = "every value of the parameter file as read, to five significant digits, each line "
            "followed by its label; copied to VELMO64v6.INP it is a valid parameter file";
  f.written = "once, before phase 1";
  f.kind = calcium::file_kind::parameter_file;
  return f;
}

}  // namespace

calcium::program_doc layout_doc() {
  calcium::program_doc p;
  p.program = "velmo64v6";
  p.parameter_file = parameter_file_name;
  p.runname_length = runname_length;
  p.line_end = line_end;
  p.phases = 5;
  p.maxima_phases = {1, calcium::detector_last_phase};
  p.echoed_phases = calcium::echoed_phases(maximum_echo);
  for (const calcium::result_file& rf : result_files) {
    const std::string suffix(rf.suffix);
    switch (rf.unit) {
      case calcium::data_unit:
        p.files.push_back(calcium::row_file(
            suffix, "data file",
            "the state, derived quantities and indicator values of an output step", every_step,
            calcium::row_rule::every_step, data_row));
        break;
      case echo_unit:
        p.files.push_back(echo_file(suffix));
        break;
      case calcium::run_info_unit:
        p.files.push_back(calcium::run_information_file());
        break;
      case calcium::summary_unit:
        p.files.push_back(calcium::summary_file(suffix));
        break;
      case calcium::window_unit:
        p.files.push_back(calcium::row_file(suffix, "sliding-window file",
                                            "the sliding-window mean of Ca_cyt", every_step,
                                            calcium::row_rule::every_step, window_row));
        break;
      case calcium::flux_unit:
        p.files.push_back(calcium::row_file(
            suffix, "flux file",
            "the calcium fluxes of an output step; the step that ends the run at an integrator "
            "failure writes its flux row too",
            every_step, calcium::row_rule::every_step, flux_row));
        break;
      case calcium::spectrum_unit:
        p.files.push_back(calcium::spectrum_file());
        break;
      case calcium::er_unit: {
        calcium::file_doc f = calcium::row_file(
            suffix, "ER file",
            "the ER state of an output step, and the integrator's messages (\"INTEG--\" lines "
            "and their value lines) where they occur",
            every_step, calcium::row_rule::every_step, er_row);
        f.integrator_messages = true;
        p.files.push_back(std::move(f));
        break;
      }
    }
  }
  auto params = std::make_unique<parameters>();
  p.parameters = calcium::parameters_of(parameter_lines(*params));
  p.concentration_digits = concentration_digits;
  for (const state_line& l : state_lines) {
    calcium::concentration_line_doc c;
    for (int e : l.element) c.values.push_back(species_label[e]);
    c.trailer = l.report_trailer;
    p.end_of_phase_lines.push_back(std::move(c));
  }
  return p;
}

calcium::parameter_reading read_as_program(const std::string& path) {
  auto s = std::make_unique<run_state>();
  textio::read_error err;
  const bool read = read_parameters(path, &s->p, &err);
  const bool set = read && set_up(*s);
  calcium::parameter_reading out =
      calcium::values_of(parameter_lines(s->p), read, err, parameter_file_name);
  if (read && !set) {  // as the program reports its set-up (program.cpp)
    out.accepted = false;
    out.message =
        std::string(parameter_file_name) + ": " + calcium::window_length_problem(s->p.NSW);
  }
  return out;
}

}  // namespace velmo64v6
