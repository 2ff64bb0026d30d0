#include "models/calcium/run_report.h"

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
  // "tmp" is shared by every program in the directory: rewritten under its lock.
  const textio::shared_write alone(run_info_unit);
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
  put_both(report_out::summary,
           textio::freeform().text("====================================  ").view());
}

void write_end_of_run_report(std::string_view runname, const textio::run_stamp& end,
                             const textio::cpu_times* cpu, std::string_view rule) {
  put_both(report_out::summary, textio::freeform()
                                    .text("Execution of ")
                                    .text(runname)
                                    .text(" ended at: ")
                                    .text(end.time)
                                    .view());
  if (cpu) {
    const float execution = cpu->user + cpu->system;
    textio::freeform exec_line, system_line;
    exec_line.text("Execution time (s): ").single(execution);
    system_line.text("System time    (s): ").single(cpu->system);
    put(report_out::console, exec_line.view());
    put(report_out::console, system_line.view());
    put(report_out::summary, exec_line.view());
    put(report_out::summary, system_line.view());
  }
  put_both(report_out::console, textio::freeform().text("Date: ").text(end.date).view());
  put_both(report_out::summary, textio::freeform().text(rule).view());
  put_both(report_out::summary, textio::blank_record());
}

}  // namespace calcium
