// nilpora's legend and its reader as calcium-layouts calls them.
#include "models/calcium/layout_doc.h"

#include "models/calcium/output_units.h"
#include "models/nilpora/data_row.h"
#include "models/nilpora/parameter_file.h"
#include "models/nilpora/program.h"

namespace nilpora {

calcium::program_doc layout_doc() {
  calcium::program_doc p;
  p.program = "nilpora";
  p.parameter_file = parameter_file_name;
  p.runname_length = runname_length;
  p.line_end = line_end;
  p.phases = 1;
  for (const calcium::result_file& rf : result_files) {
    switch (rf.unit) {
      case calcium::data_unit:
        p.files.push_back(calcium::row_file(std::string(rf.suffix), "data file",
                                            "the two pools and the maximal rate of an output step",
                                            "at every output step, also the one that fails",
                                            calcium::row_rule::every_step, data_row));
        break;
      case calcium::run_info_unit: {
        calcium::file_doc f;
        f.fixed_name = rf.fixed_name;
        f.title = "run-information file";
        f.holds = "one value or text a line; shared by every program in the directory";
        f.written = "at the start of the run";
        f.kind = calcium::file_kind::records;
        for (const record_name& r : run_information_records)
          f.fields.push_back({std::string(r.name), std::string(r.meaning)});
        p.files.push_back(std::move(f));
        break;
      }
      case calcium::summary_unit: {
        calcium::file_doc f = calcium::summary_file(std::string(rf.suffix));
        f.holds = "the console report: run header, initial concentrations, Vmax, final "
                  "concentrations and the end-of-run report";
        p.files.push_back(std::move(f));
        break;
      }
    }
  }
  run_input in;
  p.parameters = calcium::parameters_of(parameter_lines(in));
  return p;
}

calcium::parameter_reading read_as_program(const std::string& path) {
  run_input in;
  textio::read_error err;
  const bool read = read_parameter_file(path, &in, &err);
  return calcium::values_of(parameter_lines(in), read, err, parameter_file_name);
}

}  // namespace nilpora
