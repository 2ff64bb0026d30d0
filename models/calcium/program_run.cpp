// The run skeleton of every program (program.h).
#include <string>
#include <vector>

#include "models/calcium/output_units.h"
#include "models/calcium/program.h"
#include "textio/exit_path.h"
#include "textio/units.h"

namespace calcium {

namespace {

void read_and_set_up(program_description& p) {
  textio::read_error err;
  std::string run_name_notice;
  if (!p.read_parameters(&err, &run_name_notice)) textio::stop_before_output(err.message());
  if (!run_name_notice.empty()) textio::warn(run_name_notice);
  if (const std::string problem = p.set_up(); !problem.empty()) textio::stop_before_output(problem);
}

// All the result files open as one group before anything is written, so
// that a file that cannot be used leaves every file of an earlier run as it
// was. The files named after the run stay locked for the run.
void open_result_files(const program_description& p) {
  std::vector<std::string> names;
  std::vector<textio::unit_file> group;
  for (const result_file& f : p.result_files()) names.push_back(file_name(f, p.run_name()));
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int unit = p.result_files()[i].unit;
    group.push_back({unit, names[i],
                     unit == run_info_unit ? textio::sharing::directory : textio::sharing::run});
  }
  std::string error;
  if (!textio::open_units(group, &error)) textio::stop_before_output(error);
}

void write_run_information(program_description& p, const textio::run_stamp& start) {
  // "tmp" is shared by every program in the directory: rewritten under its lock.
  const textio::shared_write alone(run_info_unit);
  textio::stop_if_signalled();  // stopped while waiting for it: "tmp" untouched
  p.write_run_information(start);
}

void run_phases(program_description& p) {
  while (p.start_phase()) {
    do {
      textio::stop_if_signalled();
      const int istate = p.integrate_step();
      if (istate < 0) textio::error_halt(istate);
    } while (p.finish_step());
    p.end_phase();
  }
}

}  // namespace

int run_program(program_description& p) {
  textio::set_line_end(p.line_end());
  return textio::run([&p] {
    read_and_set_up(p);
    open_result_files(p);
    const textio::run_stamp start = textio::read_clock();
    p.write_before_run_information(start);
    write_run_information(p, start);
    p.write_run_start(start);
    run_phases(p);
    p.close_result_files();
    p.write_end_of_run_report(textio::read_clock());
  });
}

}  // namespace calcium
