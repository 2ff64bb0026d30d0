#include "models/calcium/run_information.h"

#include "models/calcium/output_units.h"
#include "models/calcium/report_output.h"
#include "textio/units.h"

namespace calcium {

textio::freeform& add_stamp(textio::freeform& f, std::string_view open,
                            const textio::run_stamp& stamp) {
  return f.text(open).text(stamp.date).text(", ").text(stamp.time).text(")");
}

void write_run_information(std::string_view runname, const double (&TPHASE)[5],
                           const textio::run_stamp& stamp, const double (&OFFSET)[3]) {
  const double* t = TPHASE;
  auto record = [](const textio::freeform& f) { textio::write_unit(run_info_unit, f.view()); };
  record(textio::freeform().text(runname));
  record(textio::freeform().real((((t[0] + t[1]) + t[2]) + t[3]) + t[4]));
  record(textio::freeform().real(t[0]));
  record(textio::freeform().real(t[0] + t[1]));
  record(textio::freeform().real((t[0] + t[1]) + t[2]));
  record(textio::freeform().real(((t[0] + t[1]) + t[2]) + t[3]));
  textio::freeform when;
  record(add_stamp(when, " (", stamp));
  for (double offset : OFFSET) record(textio::freeform().real(offset));
}

void write_run_header(std::string_view runname, const textio::run_stamp& stamp) {
  put_both(report_out::summary, textio::blank_record());
  textio::freeform run;
  put_both(report_out::summary, add_stamp(run.text("Run ").text(runname), " (", stamp).view());
  put_both(report_out::summary, textio::freeform().text("====================================  ").view());
}

}  // namespace calcium
