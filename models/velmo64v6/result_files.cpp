#include "models/velmo64v6/result_files.h"

#include <string_view>

#include "models/calcium/report_output.h"
#include "models/velmo64v6/rows.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace velmo64v6 {

namespace {

using calcium::put_both;
using calcium::report_out;

std::string_view run_name(const parameters& p) { return {p.RUNNAME, runname_length}; }

}  // namespace

bool open_result_files(const parameters& p, std::string* error) {
  const std::string name = p.run_name();
  // A run name with leading blanks could make the echo file's name that of the
  // parameter file; never overwrite the user's input with its rounded copy.
  if (textio::trimmed_file_name(name + ".INP") == parameter_file_name) {
    *error = std::string(parameter_file_name) + ": the echo file of run name '" + name +
             "' would overwrite the parameter file";
    return false;
  }
  // One group, so that a file that cannot be created leaves every file of an
  // earlier run as it was.
  const std::string data = name + ".txt", echo = name + ".INP", summary = name + "_summary.txt",
                    window = name + "_sw.txt", flux = name + "_fluxes.txt",
                    spectrum = name + "_spec.txt", er = name + "_ER.txt";
  return textio::open_units({{calcium::data_unit, data},
                             {echo_unit, echo},
                             {calcium::run_info_unit, "tmp"},
                             {calcium::summary_unit, summary},
                             {calcium::window_unit, window},
                             {calcium::flux_unit, flux},
                             {calcium::spectrum_unit, spectrum},
                             {calcium::er_unit, er}},
                            error);
}

void write_run_information(const run_state& s) {
  const parameters& p = s.p;
  auto record = [](const textio::freeform& f) { textio::write_unit(calcium::run_info_unit, f.view()); };
  record(textio::freeform().text(run_name(p)));
  const double* t = p.TPHASE;
  record(textio::freeform().real((((t[0] + t[1]) + t[2]) + t[3]) + t[4]));
  record(textio::freeform().real(t[0]));
  record(textio::freeform().real(t[0] + t[1]));
  record(textio::freeform().real((t[0] + t[1]) + t[2]));
  record(textio::freeform().real(((t[0] + t[1]) + t[2]) + t[3]));
  record(textio::freeform().text(" (").text(s.stamp.date).text(", ").text(s.stamp.time).text(")"));
  for (double offset : p.OFFSET) record(textio::freeform().real(offset));
}

void write_run_header(const run_state& s) {
  put_both(report_out::summary, textio::blank_record());
  put_both(report_out::summary, textio::freeform()
                                    .text("Run ")
                                    .text(run_name(s.p))
                                    .text(" (")
                                    .text(s.stamp.date)
                                    .text(", ")
                                    .text(s.stamp.time)
                                    .text(")")
                                    .view());
  put_both(report_out::summary, textio::freeform().text("====================================  ").view());
}

void write_run_end() {
  put_both(report_out::summary, textio::blank_record());
  for (int unit : {calcium::flux_unit, calcium::er_unit, calcium::window_unit, calcium::data_unit, calcium::run_info_unit, calcium::spectrum_unit})
    textio::close_unit(unit);
  char time[9];
  textio::read_time_of_day(time);
  put_both(report_out::summary, textio::freeform().text("Execution ended at: ").text(time).view());
  put_both(report_out::summary, textio::blank_record());
  textio::close_unit(calcium::summary_unit);
}

}  // namespace velmo64v6
