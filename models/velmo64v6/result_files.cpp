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

std::string_view run_name(const parameters& p) { return {p.RUNNAME, RUNNAME_LEN}; }

}  // namespace

bool open_result_files(const parameters& p, std::string* error) {
  const std::string name = p.run_name();
  // A run name with leading blanks could make the echo file's name that of the
  // parameter file; never overwrite the user's input with its rounded copy.
  if (textio::trimmed_file_name(name + ".INP") == PARAMETER_FILE) {
    *error = std::string(PARAMETER_FILE) + ": the echo file of run name '" + name +
             "' would overwrite the parameter file";
    return false;
  }
  struct file {
    int unit;
    std::string name;
  };
  const file files[] = {
      {DATA_UNIT, name + ".txt"},           {ECHO_UNIT, name + ".INP"},
      {INFO_UNIT, "tmp"},                   {SUMMARY_UNIT, name + "_summary.txt"},
      {WINDOW_UNIT, name + "_sw.txt"},      {FLUX_UNIT, name + "_fluxes.txt"},
      {SPECTRUM_UNIT, name + "_spec.txt"},  {ER_UNIT, name + "_ER.txt"},
  };
  for (const file& f : files)
    if (!textio::open_unit(f.unit, f.name, error)) return false;
  return true;
}

void write_run_information(const run_state& s) {
  const parameters& p = s.p;
  auto record = [](const textio::freeform& f) { textio::write_unit(INFO_UNIT, f.view()); };
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
  for (int unit : {FLUX_UNIT, ER_UNIT, WINDOW_UNIT, DATA_UNIT, INFO_UNIT, SPECTRUM_UNIT})
    textio::close_unit(unit);
  char time[9];
  textio::read_time_of_day(time);
  put_both(report_out::summary, textio::freeform().text("Execution ended at: ").text(time).view());
  put_both(report_out::summary, textio::blank_record());
  textio::close_unit(SUMMARY_UNIT);
}

}  // namespace velmo64v6
