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
  // One group, so that a file that cannot be created leaves every file of an
  // earlier run as it was. The group refuses a file that is the parameter
  // file itself, so the echo file never replaces the user's input with its
  // rounded copy (a run name ' ./VELMO64v6', a link).
  const std::string data = name + ".txt", echo = name + ".INP", summary = name + "_summary.txt",
                    window = name + "_sw.txt", flux = name + "_fluxes.txt",
                    spectrum = name + "_spec.txt", er = name + "_ER.txt";
  return textio::open_units({{DATA_UNIT, data},
                             {ECHO_UNIT, echo},
                             {INFO_UNIT, "tmp", textio::sharing::directory},
                             {SUMMARY_UNIT, summary},
                             {WINDOW_UNIT, window},
                             {FLUX_UNIT, flux},
                             {SPECTRUM_UNIT, spectrum},
                             {ER_UNIT, er}},
                            error);
}

void write_run_information(const run_state& s) {
  const textio::shared_write alone(INFO_UNIT);
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
  put_both(report_out::summary,
           textio::freeform().text("====================================  ").view());
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
